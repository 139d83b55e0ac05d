#include "base/Touch.h"

#include <algorithm>

#include "base/Director.h"
#include "scene/Node.h"
#include "scene/Scene.h"

namespace engine {

void Touch::setTouchInfo(int id, const Vec2& location, bool start) {
    _id = id;
    if (start) {
        _startLocation = location;
        _previousLocation = location;
    } else {
        _previousLocation = _location;
    }
    _location = location;
}

EventListenerTouchOneByOne* EventListenerTouchOneByOne::create() {
    auto* listener = new EventListenerTouchOneByOne();
    listener->autorelease();
    return listener;
}

EventDispatcher::EventDispatcher() = default;

EventDispatcher::~EventDispatcher() { removeAllEventListeners(); }

void EventDispatcher::addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node) {
    if (!listener || !node || listener->_registered) {
        return;
    }
    listener->retain();
    listener->_node = node;
    listener->_registered = true;
    _listeners.emplace(node, listener);
}

void EventDispatcher::removeEventListener(EventListener* listener) {
    if (!listener) {
        return;
    }
    for (auto it = _listeners.begin(); it != _listeners.end(); ++it) {
        if (it->second == listener) {
            _listeners.erase(it);
            listener->_registered = false;
            listener->_node = nullptr;
            listener->release();
            return;
        }
    }
}

void EventDispatcher::removeEventListenersForTarget(Node* node, bool recursive) {
    auto range = _listeners.equal_range(node);
    std::vector<EventListener*> removed;
    for (auto it = range.first; it != range.second; ++it) {
        removed.push_back(it->second);
    }
    _listeners.erase(range.first, range.second);
    for (EventListener* listener : removed) {
        listener->_registered = false;
        listener->_node = nullptr;
        listener->release();
    }
    if (recursive && node) {
        for (Node* child : node->getChildren()) {
            removeEventListenersForTarget(child, true);
        }
    }
}

void EventDispatcher::removeAllEventListeners() {
    auto listeners = std::move(_listeners);
    _listeners.clear();
    for (auto& [node, listener] : listeners) {
        listener->_registered = false;
        listener->_node = nullptr;
        listener->release();
    }
    for (auto& [id, touch] : _touches) {
        touch->release();
    }
    _touches.clear();
}

// Front to back: later children with z >= 0, the node, then children with z < 0.
void EventDispatcher::collectListeners(Node* node, std::vector<EventListenerTouchOneByOne*>& out) const {
    const std::vector<Node*> children = node->sortedChildren();
    auto firstNonNegative = std::find_if(children.begin(), children.end(),
                                         [](const Node* c) { return c->getLocalZOrder() >= 0; });
    for (auto it = children.rbegin(); it != std::make_reverse_iterator(firstNonNegative); ++it) {
        collectListeners(*it, out);
    }
    auto range = _listeners.equal_range(node);
    std::vector<EventListenerTouchOneByOne*> own;
    for (auto it = range.first; it != range.second; ++it) {
        if (auto* touchListener = dynamic_cast<EventListenerTouchOneByOne*>(it->second)) {
            own.push_back(touchListener);
        }
    }
    // The listener added last to a node answers first.
    out.insert(out.end(), own.rbegin(), own.rend());
    for (auto it = std::make_reverse_iterator(firstNonNegative); it != children.rend(); ++it) {
        collectListeners(*it, out);
    }
}

void EventDispatcher::dispatchTouch(TouchPhase phase, const Vec2& location, int id) {
    Scene* scene = Director::getInstance()->getRunningScene();
    Touch* touch = nullptr;
    if (phase == TouchPhase::BEGAN) {
        auto it = _touches.find(id);
        if (it != _touches.end()) {
            // A began without an end: cancel the old one first.
            dispatchTouch(TouchPhase::CANCELLED, it->second->getLocation(), id);
        }
        touch = new Touch();
        touch->setTouchInfo(id, location, true);
        _touches[id] = touch;
    } else {
        auto it = _touches.find(id);
        if (it == _touches.end()) {
            return;
        }
        touch = it->second;
        touch->setTouchInfo(id, location, false);
    }
    touch->retain();

    std::vector<EventListenerTouchOneByOne*> order;
    if (scene) {
        collectListeners(scene, order);
    }
    for (auto* listener : order) {
        listener->retain();
    }

    EventTouch event(phase == TouchPhase::BEGAN   ? EventTouch::EventCode::BEGAN
                     : phase == TouchPhase::MOVED ? EventTouch::EventCode::MOVED
                     : phase == TouchPhase::ENDED ? EventTouch::EventCode::ENDED
                                                  : EventTouch::EventCode::CANCELLED);
    for (auto* listener : order) {
        Node* node = listener->_node;
        if (!listener->_registered || !listener->_enabled || !node || !node->isRunning()) {
            continue;
        }
        auto& claimed = listener->_claimedTouches;
        const bool hasClaim = std::find(claimed.begin(), claimed.end(), id) != claimed.end();
        node->retain();
        event.setCurrentTarget(node);
        bool stop = false;
        if (phase == TouchPhase::BEGAN) {
            if (listener->onTouchBegan && listener->onTouchBegan(touch, &event)) {
                if (listener->_registered) {
                    claimed.push_back(id);
                }
                stop = listener->_swallow;
            }
        } else if (hasClaim) {
            if (phase != TouchPhase::MOVED) {
                claimed.erase(std::remove(claimed.begin(), claimed.end(), id), claimed.end());
            }
            if (phase == TouchPhase::MOVED && listener->onTouchMoved) {
                listener->onTouchMoved(touch, &event);
            } else if (phase == TouchPhase::ENDED && listener->onTouchEnded) {
                listener->onTouchEnded(touch, &event);
            } else if (phase == TouchPhase::CANCELLED && listener->onTouchCancelled) {
                listener->onTouchCancelled(touch, &event);
            }
            stop = listener->_swallow;
        }
        node->release();
        if (stop || event.isStopped()) {
            break;
        }
    }

    if (phase == TouchPhase::ENDED || phase == TouchPhase::CANCELLED) {
        // Listeners skipped above (their node left the tree) forget the touch too.
        for (auto& [node, listener] : _listeners) {
            if (auto* touchListener = dynamic_cast<EventListenerTouchOneByOne*>(listener)) {
                auto& claimed = touchListener->_claimedTouches;
                claimed.erase(std::remove(claimed.begin(), claimed.end(), id), claimed.end());
            }
        }
        auto it = _touches.find(id);
        if (it != _touches.end() && it->second == touch) {
            _touches.erase(it);
            touch->release();
        }
    }
    for (auto* listener : order) {
        listener->release();
    }
    touch->release();
}

void EventDispatcher::cancelAllTouches() {
    std::vector<std::pair<int, Vec2>> down;
    for (auto& [id, touch] : _touches) {
        down.emplace_back(id, touch->getLocation());
    }
    for (auto& [id, location] : down) {
        dispatchTouch(TouchPhase::CANCELLED, location, id);
    }
}

} // namespace engine
