#pragma once

#include "scene/Node.h"

namespace engine {

class Touch;
class Event;

// A full-window node; subclasses bind the touch virtuals to a listener themselves.
class Layer : public Node {
public:
    static Layer* create();
    bool init() override;

    virtual bool onTouchBegan(Touch* touch, Event* event) { return false; }
    virtual void onTouchMoved(Touch* touch, Event* event) {}
    virtual void onTouchEnded(Touch* touch, Event* event) {}
    virtual void onTouchCancelled(Touch* touch, Event* event) {}

protected:
    Layer();
};

} // namespace engine
