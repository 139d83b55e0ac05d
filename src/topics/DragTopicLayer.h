// Base of the topic types whose pupils drag pictures: the picture under the finger, where it started, and the
// touch handlers the drag types share.
#pragma once

#include <vector>

#include "base/Geometry.h"
#include "topics/TopicTypeLayer.h"

namespace engine {
class Touch;
class Event;
} // namespace engine

class DragTopicLayer : public TopicTypeLayer {
public:
    // The BaseLayer steps, then a touch listener for the three touch handlers.
    bool init() override;

    // Picks the first visible picture of operImgs under the finger; nothing once the topic is complete.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    // Moves the picked picture under the finger.
    void onTouchMoved(engine::Touch* touch, engine::Event* event) override;

protected:
    DragTopicLayer() = default;

    // True when the world point lies in node's box; the point is taken into node's parent space first.
    static bool hits(const engine::Node* node, const engine::Vec2& worldPoint);
    // The first visible node of nodes under the world point, or null.
    static engine::Node* firstHit(const std::vector<engine::Node*>& nodes, const engine::Vec2& worldPoint);
    // Places node at the world point, in its parent's space.
    static void placeAt(engine::Node* node, const engine::Vec2& worldPoint);
    void returnDragged();

    engine::Node* dragged = nullptr;
    engine::Vec2 dragStart;
    std::vector<engine::Node*> operImgs;
};
