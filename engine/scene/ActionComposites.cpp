#include "scene/ActionComposites.h"

#include <algorithm>
#include <new>

#include "base/Log.h"

namespace engine {

namespace {

// Copies the list up to its first null.
void collect(const std::vector<FiniteTimeAction*>& actions, Vector<FiniteTimeAction*>& into) {
    for (FiniteTimeAction* action : actions) {
        if (!action) {
            break;
        }
        into.pushBack(action);
    }
}

std::vector<FiniteTimeAction*> cloneAll(const Vector<FiniteTimeAction*>& actions) {
    std::vector<FiniteTimeAction*> copies;
    for (FiniteTimeAction* action : actions) {
        copies.push_back(action->clone());
    }
    return copies;
}

// Very short cycles could otherwise spin on a long step.
constexpr int kMaxCyclesPerStep = 100;

} // namespace

// Sequence

Sequence* Sequence::create(const std::vector<FiniteTimeAction*>& actions) {
    auto* sequence = new (std::nothrow) Sequence();
    if (!sequence) {
        return nullptr;
    }
    collect(actions, sequence->_actions);
    if (sequence->_actions.empty()) {
        log("Sequence: no actions; it ends at its first step");
    }
    float duration = 0;
    for (FiniteTimeAction* action : sequence->_actions) {
        duration += action->getDuration();
    }
    sequence->initWithDuration(duration);
    sequence->autorelease();
    return sequence;
}

Sequence* Sequence::createWithTwoActions(FiniteTimeAction* first, FiniteTimeAction* second) {
    return create(std::vector<FiniteTimeAction*>{first, second});
}

Sequence* Sequence::clone() const {
    return create(cloneAll(_actions));
}

void Sequence::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _current = 0;
    _leftover = 0;
    if (!_actions.empty()) {
        _actions.at(0)->startWithTarget(target);
    }
}

void Sequence::stop() {
    if (_target && _current < _actions.size()) {
        _actions.at(_current)->stop();
    }
    ActionInterval::stop();
}

void Sequence::step(float dt) {
    if (!_target) {
        return;
    }
    advance(dt);
    float time = std::max(0.f, dt);
    while (_current < _actions.size()) {
        FiniteTimeAction* action = _actions.at(_current);
        action->step(time);
        // A callback may have stopped the whole sequence.
        if (!_target || !action->isDone()) {
            return;
        }
        time = action->getLeftoverTime();
        action->stop();
        if (++_current < _actions.size()) {
            _actions.at(_current)->startWithTarget(_target);
        }
    }
    _leftover = time;
}

bool Sequence::isDone() const {
    return _stepped && _current >= _actions.size();
}

// Spawn

Spawn* Spawn::create(const std::vector<FiniteTimeAction*>& actions) {
    auto* spawn = new (std::nothrow) Spawn();
    if (!spawn) {
        return nullptr;
    }
    collect(actions, spawn->_actions);
    if (spawn->_actions.empty()) {
        log("Spawn: no actions; it ends at its first step");
    }
    float duration = 0;
    for (FiniteTimeAction* action : spawn->_actions) {
        duration = std::max(duration, action->getDuration());
    }
    spawn->initWithDuration(duration);
    spawn->autorelease();
    return spawn;
}

Spawn* Spawn::clone() const {
    return create(cloneAll(_actions));
}

void Spawn::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    for (FiniteTimeAction* action : _actions) {
        action->startWithTarget(target);
    }
}

void Spawn::stop() {
    for (FiniteTimeAction* action : _actions) {
        if (action->getTarget()) {
            action->stop();
        }
    }
    ActionInterval::stop();
}

void Spawn::step(float dt) {
    if (!_target) {
        return;
    }
    advance(dt);
    for (FiniteTimeAction* action : _actions) {
        if (!action->getTarget()) {
            continue; // finished earlier
        }
        action->step(dt);
        if (!_target) {
            return;
        }
        if (action->isDone()) {
            action->stop();
        }
    }
}

bool Spawn::isDone() const {
    return _stepped &&
           std::none_of(_actions.begin(), _actions.end(), [](FiniteTimeAction* a) { return a->getTarget(); });
}

// RepeatForever

RepeatForever* RepeatForever::create(ActionInterval* action) {
    if (!action) {
        log("RepeatForever: null action");
        return nullptr;
    }
    auto* repeat = new (std::nothrow) RepeatForever();
    if (!repeat) {
        return nullptr;
    }
    action->retain();
    repeat->_inner = action;
    repeat->autorelease();
    return repeat;
}

RepeatForever::~RepeatForever() {
    if (_inner) {
        _inner->release();
    }
}

RepeatForever* RepeatForever::clone() const {
    return create(_inner->clone());
}

void RepeatForever::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _inner->startWithTarget(target);
}

void RepeatForever::stop() {
    if (_target) {
        _inner->stop();
    }
    ActionInterval::stop();
}

void RepeatForever::step(float dt) {
    if (!_target) {
        return;
    }
    advance(dt);
    _inner->step(dt);
    for (int cycle = 0; cycle < kMaxCyclesPerStep && _target && _inner->isDone(); ++cycle) {
        const float leftover = _inner->getLeftoverTime();
        _inner->stop();
        // Starts again from the current state: a RotateBy continues from the angle it reached.
        _inner->startWithTarget(_target);
        if (leftover <= 0 || _inner->getDuration() <= 0) {
            break;
        }
        _inner->step(leftover);
    }
}

} // namespace engine
