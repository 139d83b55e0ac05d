#include "scene/ActionManager.h"

#include <algorithm>

#include "base/Log.h"
#include "scene/Action.h"
#include "scene/Node.h"

namespace engine {

ActionManager::ActionManager() = default;

ActionManager::~ActionManager() {
    removeAllActions();
}

bool ActionManager::isActive(const Action* action) const {
    return std::any_of(_entries.begin(), _entries.end(),
                       [action](const Entry& e) { return !e.removed && e.action == action; });
}

bool ActionManager::isPausedTarget(const Node* target) const {
    return std::find(_pausedTargets.begin(), _pausedTargets.end(), target) != _pausedTargets.end();
}

void ActionManager::addAction(Action* action, Node* target, bool paused) {
    if (!action || !target) {
        log("ActionManager: an action needs an action and a target");
        return;
    }
    if (isActive(action)) {
        log("ActionManager: action already running on a node; give each node its own clone()");
        return;
    }
    action->retain();
    action->startWithTarget(target);
    Entry entry;
    entry.target = target;
    entry.action = action;
    entry.paused = paused || isPausedTarget(target);
    _entries.push_back(entry);
}

void ActionManager::finishRemoval(const std::vector<Action*>& stopped) {
    // The entries still hold their references, so every action is alive here.
    for (Action* action : stopped) {
        action->stop();
    }
    if (!_updating) {
        purgeRemoved();
    }
}

void ActionManager::purgeRemoved() {
    // Erase first: releasing may run destructors that come back into the manager.
    std::vector<Action*> released;
    std::vector<Entry> kept;
    kept.reserve(_entries.size());
    for (const Entry& e : _entries) {
        if (e.removed) {
            released.push_back(e.action);
        } else {
            kept.push_back(e);
        }
    }
    _entries.swap(kept);
    for (Action* action : released) {
        action->release();
    }
}

void ActionManager::removeAllActions() {
    std::vector<Action*> stopped;
    for (Entry& e : _entries) {
        if (!e.removed) {
            e.removed = true;
            stopped.push_back(e.action);
        }
    }
    _pausedTargets.clear();
    finishRemoval(stopped);
}

void ActionManager::removeAllActionsFromTarget(Node* target) {
    std::vector<Action*> stopped;
    for (Entry& e : _entries) {
        if (!e.removed && e.target == target) {
            e.removed = true;
            stopped.push_back(e.action);
        }
    }
    // Called by cleanup and by the node's destructor: the address may soon belong to another node.
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target), _pausedTargets.end());
    finishRemoval(stopped);
}

void ActionManager::removeAction(Action* action) {
    std::vector<Action*> stopped;
    for (Entry& e : _entries) {
        if (!e.removed && e.action == action) {
            e.removed = true;
            stopped.push_back(e.action);
            break;
        }
    }
    finishRemoval(stopped);
}

void ActionManager::removeActionByTag(int tag, Node* target) {
    std::vector<Action*> stopped;
    for (Entry& e : _entries) {
        if (!e.removed && e.target == target && e.action->getTag() == tag) {
            e.removed = true;
            stopped.push_back(e.action);
            break;
        }
    }
    finishRemoval(stopped);
}

Action* ActionManager::getActionByTag(int tag, const Node* target) const {
    for (const Entry& e : _entries) {
        if (!e.removed && e.target == target && e.action->getTag() == tag) {
            return e.action;
        }
    }
    return nullptr;
}

ssize_t ActionManager::getNumberOfRunningActionsInTarget(const Node* target) const {
    return std::count_if(_entries.begin(), _entries.end(),
                         [target](const Entry& e) { return !e.removed && e.target == target; });
}

void ActionManager::pauseTarget(Node* target) {
    if (!target) {
        return;
    }
    for (Entry& e : _entries) {
        if (e.target == target) {
            e.paused = true;
        }
    }
    if (!isPausedTarget(target)) {
        _pausedTargets.push_back(target);
    }
}

void ActionManager::resumeTarget(Node* target) {
    for (Entry& e : _entries) {
        if (e.target == target) {
            e.paused = false;
        }
    }
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target), _pausedTargets.end());
}

void ActionManager::update(float dt) {
    if (_updating) {
        return;
    }
    _updating = true;
    // Actions added by callbacks first advance in the next step.
    const size_t count = _entries.size();
    for (size_t i = 0; i < count; ++i) {
        // Index, not reference: callbacks may add entries and reallocate the list.
        if (_entries[i].removed || _entries[i].paused) {
            continue;
        }
        Node* target = _entries[i].target;
        Action* action = _entries[i].action;
        target->retain();
        action->retain();
        action->step(dt);
        if (!_entries[i].removed && action->isDone()) {
            _entries[i].removed = true;
            action->stop();
        }
        action->release();
        // May delete the target; its destructor marks its remaining entries removed.
        target->release();
    }
    _updating = false;
    purgeRemoved();
}

} // namespace engine
