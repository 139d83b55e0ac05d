// Base of the topic types whose pupils drag pictures: the picture under the finger, where it started, and the
// touch handlers the drag types share.
#pragma once

#include <map>
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
    // No picture picked and no pictures or targets known.
    void initData() override;

    // Picks the first visible picture of operImgs under the finger; nothing once the topic is complete.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    // Moves the picked picture under the finger.
    void onTouchMoved(engine::Touch* touch, engine::Event* event) override;

protected:
    DragTopicLayer() = default;

    enum class PickRule {
        First,       // the first picture under the finger; draw order untouched
        FirstRaised, // the first one, drawn above the others
        LastRaised,  // the last one in the list, drawn above the others
    };
    // dragged = the visible picture of operImgs under the world point by rule; true when there is one.
    bool pickAt(const engine::Vec2& location, PickRule rule);
    void returnDragged();
    // Puts the picked picture at the world point and returns the first visible target of panelImgs there; with
    // none the picture goes back to where it was picked up.
    engine::Node* dropOnTargets(const engine::Vec2& location);
    // True when the picture tags are as many as the group's numbers and each is among them (order free).
    static bool holdsExactly(const std::vector<int>& tags, const engine::ValueVector& group);
    // operImgs and panelImgs = the visible "OperImg%d" and "PanelImg%d" of the page.
    void collectPictures();
    // place now holds piece (null: a copy or a written value, which never moves) and is right; the piece's earlier
    // place is empty again. The step counter follows the most places ever right at once, so filling a place again
    // counts nothing. True when a step was counted.
    bool fillRight(const void* place, const engine::Node* piece);
    // The place piece made right is empty again.
    void leavePlace(const engine::Node* piece);

    engine::Node* dragged = nullptr;
    engine::Vec2 dragStart;
    std::vector<engine::Node*> operImgs;
    std::vector<engine::Node*> panelImgs;

private:
    // Places right now, with the piece on each.
    std::map<const void*, const engine::Node*> filledRight;
    int mostFilled = 0;
};
