#include <string>
#include <vector>

#include "UiTestFixture.h"
#include "scene/Layer.h"
#include "ui/Button.h"
#include "ui/Layout.h"

using namespace engine;

class DispatchOrder : public uitest::UiTest {};
class Swallowing : public uitest::UiTest {};
class HiddenOrRemoved : public uitest::UiTest {};

namespace {

// A picture-less button of 100x100 centred on (x, y), recording its clicks.
ui::Button* addButton(Node* parent, float x, float y, std::vector<std::string>& clicks, const std::string& name,
                      int z = 0) {
    auto* button = ui::Button::create();
    button->setContentSize(Size(100, 100));
    button->setPosition(Vec2(x, y));
    button->setName(name);
    button->addClickEventListener([&clicks, name](Ref*) { clicks.push_back(name); });
    parent->addChild(button, z);
    return button;
}

// A plain listener on a node that records what reaches it.
EventListenerTouchOneByOne* addRecorder(Node* node, std::vector<std::string>& seen, const std::string& name, bool claim,
                                        bool swallow) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(swallow);
    listener->onTouchBegan = [&seen, name, claim](Touch*, Event*) {
        seen.push_back(name + ":began");
        return claim;
    };
    listener->onTouchMoved = [&seen, name](Touch*, Event*) { seen.push_back(name + ":moved"); };
    listener->onTouchEnded = [&seen, name](Touch*, Event*) { seen.push_back(name + ":ended"); };
    node->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
    return listener;
}

using Strings = std::vector<std::string>;

} // namespace

TEST_F(DispatchOrder, LaterSiblingAnswersFirst) {
    Strings clicks;
    addButton(scene, 300, 300, clicks, "first");
    addButton(scene, 320, 300, clicks, "second");
    tap(310, 300);
    EXPECT_EQ(clicks, Strings{"second"});
    tap(255, 300); // only the first covers it
    EXPECT_EQ(clicks, (Strings{"second", "first"}));
}

TEST_F(DispatchOrder, FollowsLocalZOrderAtOnce) {
    Strings clicks;
    auto* first = addButton(scene, 300, 300, clicks, "first");
    addButton(scene, 300, 300, clicks, "second");
    first->setLocalZOrder(0); // the same z changes nothing
    tap(300, 300);
    first->setLocalZOrder(1); // no frame step between
    tap(300, 300);
    first->setLocalZOrder(-1);
    tap(300, 300);
    EXPECT_EQ(clicks, (Strings{"second", "first", "second"}));
}

TEST_F(DispatchOrder, ChildrenAboveParentAndParentAboveNegativeZ) {
    Strings clicks;
    auto* panel = ui::Layout::create();
    panel->setContentSize(Size(400, 400));
    panel->setTouchEnabled(true);
    int panelBegan = 0;
    panel->addTouchEventListener(
        [&](Ref*, ui::Widget::TouchEventType type) { panelBegan += type == ui::Widget::TouchEventType::BEGAN; });
    scene->addChild(panel);
    addButton(panel, 100, 100, clicks, "above");
    addButton(panel, 300, 300, clicks, "below", -1);
    tap(100, 100);
    tap(300, 300);
    EXPECT_EQ(clicks, Strings{"above"});
    EXPECT_EQ(panelBegan, 1);
}

TEST_F(DispatchOrder, WidgetOnALayerBeatsTheLayerListener) {
    Strings clicks, seen;
    auto* layer = Layer::create();
    scene->addChild(layer);
    addRecorder(layer, seen, "layer", true, true);
    addButton(layer, 200, 200, clicks, "tool");
    tap(200, 200);
    EXPECT_EQ(clicks, Strings{"tool"});
    EXPECT_TRUE(seen.empty());
    tap(600, 600);
    EXPECT_EQ(seen, (Strings{"layer:began", "layer:ended"}));
}

TEST_F(Swallowing, PlainListenersShareUnlessOneSwallows) {
    Strings seen;
    auto* below = Node::create();
    auto* above = Node::create();
    scene->addChild(below);
    scene->addChild(above);
    addRecorder(below, seen, "below", true, false);
    auto* top = addRecorder(above, seen, "above", true, false);
    touch(TouchPhase::BEGAN, 10, 10);
    touch(TouchPhase::MOVED, 12, 10);
    touch(TouchPhase::ENDED, 12, 10);
    EXPECT_EQ(seen,
              (Strings{"above:began", "below:began", "above:moved", "below:moved", "above:ended", "below:ended"}));
    seen.clear();
    top->setSwallowTouches(true);
    tap(10, 10);
    EXPECT_EQ(seen, (Strings{"above:began", "above:ended"}));
}

TEST_F(Swallowing, MovedAndEndedOnlyAfterAClaimedBegan) {
    Strings seen;
    auto* node = Node::create();
    auto* other = Node::create();
    scene->addChild(node);
    scene->addChild(other);
    addRecorder(node, seen, "claims", true, false);
    addRecorder(other, seen, "declines", false, false);
    touch(TouchPhase::BEGAN, 10, 10);
    touch(TouchPhase::MOVED, 20, 10);
    touch(TouchPhase::ENDED, 20, 10);
    EXPECT_EQ(seen, (Strings{"declines:began", "claims:began", "claims:moved", "claims:ended"}));
}

TEST_F(HiddenOrRemoved, HiddenWidgetsGetNothingAndLetTouchesThrough) {
    Strings clicks;
    addButton(scene, 300, 300, clicks, "under");
    auto* holder = Node::create();
    scene->addChild(holder);
    auto* top = addButton(holder, 300, 300, clicks, "top");

    top->setVisible(false);
    tap(300, 300);
    top->setVisible(true);
    holder->setVisible(false);
    tap(300, 300);
    holder->setVisible(true);
    holder->setScaleX(0);
    tap(300, 300);
    holder->setScaleX(1);
    tap(300, 300);
    EXPECT_EQ(clicks, (Strings{"under", "under", "under", "top"}));
}

TEST_F(HiddenOrRemoved, RemovedNodesGetNothing) {
    Strings clicks, seen;
    auto* button = addButton(scene, 300, 300, clicks, "button");
    button->removeFromParent();
    auto* kept = Node::create();
    scene->addChild(kept);
    addRecorder(kept, seen, "plain", true, true);
    kept->retain();
    kept->removeFromParentAndCleanup(false); // listener kept, node not running
    tap(300, 300);
    EXPECT_TRUE(clicks.empty());
    EXPECT_TRUE(seen.empty());
    scene->addChild(kept);
    kept->release();
    tap(300, 300);
    EXPECT_EQ(seen, (Strings{"plain:began", "plain:ended"}));
}

TEST_F(HiddenOrRemoved, RemovalDuringATouchStopsItsLaterEvents) {
    Strings clicks;
    std::vector<int> events;
    auto* button = addButton(scene, 300, 300, clicks, "button");
    button->addTouchEventListener([&events](Ref* sender, ui::Widget::TouchEventType type) {
        events.push_back(static_cast<int>(type));
        if (type == ui::Widget::TouchEventType::BEGAN) {
            static_cast<Node*>(sender)->removeFromParent();
        }
    });
    touch(TouchPhase::BEGAN, 300, 300);
    touch(TouchPhase::MOVED, 301, 300);
    touch(TouchPhase::ENDED, 301, 300);
    step();
    EXPECT_EQ(events, std::vector<int>{0});
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(scene->getChildrenCount(), 0);
}

TEST_F(HiddenOrRemoved, RemovalInsideOwnClickOrOfAnAncestorIsSafe) {
    auto* layer = Layer::create();
    scene->addChild(layer);
    auto* own = ui::Button::create();
    own->setContentSize(Size(100, 100));
    own->setPosition(Vec2(100, 100));
    bool ownClicked = false;
    own->addClickEventListener([&](Ref* sender) {
        static_cast<Node*>(sender)->removeFromParent();
        ownClicked = true;
    });
    layer->addChild(own);
    auto* nested = ui::Button::create();
    nested->setContentSize(Size(100, 100));
    nested->setPosition(Vec2(400, 400));
    int nestedEnded = 0;
    nested->addTouchEventListener([&](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            ++nestedEnded;
            layer->removeFromParent(); // drops the last reference to the layer and the button
        }
    });
    layer->addChild(nested);

    tap(100, 100);
    EXPECT_TRUE(ownClicked);
    EXPECT_EQ(layer->getChildrenCount(), 1);
    tap(400, 400);
    EXPECT_EQ(nestedEnded, 1);
    EXPECT_EQ(scene->getChildrenCount(), 0);
    step();
}

TEST_F(Swallowing, CancelledTouchReachesTheClaimingWidget) {
    Strings clicks;
    std::vector<int> events;
    auto* button = addButton(scene, 300, 300, clicks, "button");
    button->addTouchEventListener(
        [&events](Ref*, ui::Widget::TouchEventType type) { events.push_back(static_cast<int>(type)); });
    touch(TouchPhase::BEGAN, 300, 300);
    touch(TouchPhase::CANCELLED, 300, 300);
    EXPECT_EQ(events, (std::vector<int>{0, 3}));
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_TRUE(clicks.empty());
}
