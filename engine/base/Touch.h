// Touches (the mouse is a touch), listeners and the dispatcher.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "base/Geometry.h"
#include "base/Ref.h"

namespace engine {

class Node;

class Touch : public Ref {
public:
    Touch() = default;
    Vec2 getLocation() const { return _location; }
    Vec2 getPreviousLocation() const { return _previousLocation; }
    Vec2 getStartLocation() const { return _startLocation; }
    Vec2 getDelta() const { return _location - _previousLocation; }
    int getID() const { return _id; }

    void setTouchInfo(int id, const Vec2& location, bool start);

private:
    int _id = 0;
    Vec2 _location, _previousLocation, _startLocation;
};

class Event {
public:
    enum class Type { TOUCH };
    explicit Event(Type type) : _type(type) {}
    Type getType() const { return _type; }
    void stopPropagation() { _stopped = true; }
    bool isStopped() const { return _stopped; }
    Node* getCurrentTarget() const { return _currentTarget; }
    void setCurrentTarget(Node* node) { _currentTarget = node; }

private:
    Type _type;
    bool _stopped = false;
    Node* _currentTarget = nullptr;
};

class EventTouch : public Event {
public:
    enum class EventCode { BEGAN, MOVED, ENDED, CANCELLED };
    explicit EventTouch(EventCode code) : Event(Type::TOUCH), _code(code) {}
    EventCode getEventCode() const { return _code; }

private:
    EventCode _code;
};

class EventListener : public Ref {
public:
    void setEnabled(bool enabled) { _enabled = enabled; }
    bool isEnabled() const { return _enabled; }
    Node* getAssociatedNode() const { return _node; }

protected:
    friend class EventDispatcher;
    EventListener() = default;
    bool _enabled = true;
    bool _registered = false;
    Node* _node = nullptr;
};

class EventListenerTouchOneByOne : public EventListener {
public:
    static EventListenerTouchOneByOne* create();

    std::function<bool(Touch*, Event*)> onTouchBegan;
    std::function<void(Touch*, Event*)> onTouchMoved;
    std::function<void(Touch*, Event*)> onTouchEnded;
    std::function<void(Touch*, Event*)> onTouchCancelled;

    // Off by default; a claimed touch then reaches no listener after this one.
    void setSwallowTouches(bool swallow) { _swallow = swallow; }
    bool isSwallowTouches() const { return _swallow; }

private:
    friend class EventDispatcher;
    bool _swallow = false;
    std::vector<int> _claimedTouches;
};

enum class TouchPhase { BEGAN, MOVED, ENDED, CANCELLED };

class EventDispatcher : public Ref {
public:
    EventDispatcher();
    ~EventDispatcher() override;

    // Active only while the node runs; removed with the node's cleanup or destructor.
    void addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node);
    void removeEventListener(EventListener* listener);
    void removeEventListenersForTarget(Node* node, bool recursive = false);
    void removeAllEventListeners();
    size_t getListenerCount() const { return _listeners.size(); }

    // Dispatches one touch event at once, in design points: front to back in drawing order.
    void dispatchTouch(TouchPhase phase, const Vec2& location, int id = 0);
    // Cancels every touch that is down (focus loss).
    void cancelAllTouches();
    bool isTouchDown(int id) const { return _touches.count(id) != 0; }

private:
    void collectListeners(Node* node, std::vector<EventListenerTouchOneByOne*>& out) const;

    std::multimap<Node*, EventListener*> _listeners;
    std::map<int, Touch*> _touches;
};

} // namespace engine
