// Touch helpers of the screens where things are dragged: hit tests and placing by world point, and the
// one-by-one touch listener that hands the touches to the owner's own handlers.
#pragma once

#include <vector>

#include "base/Geometry.h"
#include "base/Touch.h"
#include "scene/Node.h"

namespace DragTools {

// True when the world point lies in node's box; the point is taken into node's parent space first.
bool hits(const engine::Node* node, const engine::Vec2& worldPoint);
// The first visible node of nodes under the world point, or null.
engine::Node* firstHit(const std::vector<engine::Node*>& nodes, const engine::Vec2& worldPoint);
// Places node at the world point, in its parent's space.
void placeAt(engine::Node* node, const engine::Vec2& worldPoint);

// Sends owner's touches to its onTouchBegan, onTouchMoved and onTouchEnded, at its place in the scene graph.
template <class T> void listenToTouches(T* owner) {
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [owner](engine::Touch* touch, engine::Event* event) {
        return owner->onTouchBegan(touch, event);
    };
    listener->onTouchMoved = [owner](engine::Touch* touch, engine::Event* event) { owner->onTouchMoved(touch, event); };
    listener->onTouchEnded = [owner](engine::Touch* touch, engine::Event* event) { owner->onTouchEnded(touch, event); };
    owner->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, owner);
}

} // namespace DragTools
