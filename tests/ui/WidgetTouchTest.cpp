#include <string>
#include <vector>

#include "UiTestFixture.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Layout.h"

using namespace engine;
using Type = ui::Widget::TouchEventType;

class WidgetHitTest : public uitest::UiTest {
protected:
    // A 100x50 picture-less button centred on (200, 200): its box is [150, 250] x [175, 225].
    ui::Button* addButton(Node* parent = nullptr) {
        auto* button = ui::Button::create();
        button->setContentSize(Size(100, 50));
        button->setPosition(Vec2(200, 200));
        button->addClickEventListener([this](Ref*) { ++clicks; });
        (parent ? parent : scene)->addChild(button);
        return button;
    }
    int clicks = 0;
};

class WidgetTouchEvents : public WidgetHitTest {
protected:
    ui::Button* addRecordedButton() {
        auto* button = addButton();
        button->addTouchEventListener([this](Ref*, Type type) { events.push_back(static_cast<int>(type)); });
        button->addClickEventListener([this](Ref*) { events.push_back(9); });
        return button;
    }
    std::vector<int> events;
};

TEST_F(WidgetHitTest, EdgesAreInside) {
    addButton();
    tap(150, 175);
    tap(250, 225);
    tap(250, 200);
    EXPECT_EQ(clicks, 3);
    tap(250.5f, 200);
    tap(200, 174.5f);
    EXPECT_EQ(clicks, 3);
}

TEST_F(WidgetHitTest, FollowsScaleAndRotationOfTheTree) {
    auto* holder = Node::create();
    holder->setScale(2);
    scene->addChild(holder);
    auto* button = addButton(holder); // box [300, 500] x [350, 450] in the world
    tap(490, 440);
    EXPECT_EQ(clicks, 1);
    button->setRotation(90); // box turned about (400, 400): [350, 450] x [300, 500]
    tap(490, 440);
    tap(440, 490);
    EXPECT_EQ(clicks, 2);
}

TEST_F(WidgetHitTest, DisabledOrTouchDisabledWidgetsLetTouchesThrough) {
    auto* under = ui::Layout::create();
    under->setContentSize(Size(1280, 720));
    under->setTouchEnabled(true);
    int underBegan = 0;
    under->addTouchEventListener([&](Ref*, Type type) { underBegan += type == Type::BEGAN; });
    scene->addChild(under);
    auto* button = addButton();

    button->setEnabled(false);
    tap(200, 200);
    button->setEnabled(true);
    button->setTouchEnabled(false);
    tap(200, 200);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(underBegan, 2);
    button->setTouchEnabled(true);
    tap(200, 200);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(underBegan, 2);
}

TEST_F(WidgetHitTest, NotBrightAndTransparentWidgetsStayClickable) {
    auto* button = addButton();
    button->setBright(false);
    tap(200, 200);
    button->setBright(true);
    button->setOpacity(0);
    tap(200, 200);
    EXPECT_EQ(clicks, 2);
}

TEST_F(WidgetHitTest, ClippingAncestorCutsTheHitArea) {
    auto* clip = ui::Layout::create();
    clip->setContentSize(Size(200, 200)); // [100, 300] x [100, 300]
    clip->setPosition(Vec2(100, 100));
    clip->setClippingEnabled(true);
    scene->addChild(clip);
    auto* inner = Node::create();
    clip->addChild(inner);
    auto* button = addButton(inner);
    button->setPosition(Vec2(190, 100)); // world box [240, 340] x [175, 225]
    tap(320, 200);
    EXPECT_EQ(clicks, 0);
    tap(290, 200);
    EXPECT_EQ(clicks, 1);
    clip->setClippingEnabled(false);
    tap(320, 200);
    EXPECT_EQ(clicks, 2);
}

TEST_F(WidgetHitTest, WidgetWithoutPictureIsHitOnItsSize) {
    auto* empty = ui::ImageView::create();
    empty->setContentSize(Size(80, 80));
    empty->setPosition(Vec2(600, 300));
    empty->setTouchEnabled(true);
    empty->addClickEventListener([this](Ref*) { ++clicks; });
    scene->addChild(empty);
    tap(635, 335);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WidgetHitTest, FullWindowTouchPanelSwallowsEverything) {
    addButton();
    auto* mask = ui::Layout::create();
    mask->setContentSize(Size(1280, 720));
    scene->addChild(mask);
    tap(200, 200);
    EXPECT_EQ(clicks, 1); // a panel without touch lets it through
    mask->setTouchEnabled(true);
    tap(200, 200);
    tap(5, 715);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WidgetTouchEvents, PressInsideGivesBeganMovedEndedThenClick) {
    addRecordedButton();
    touch(TouchPhase::BEGAN, 200, 200);
    touch(TouchPhase::MOVED, 210, 200);
    touch(TouchPhase::ENDED, 210, 200);
    EXPECT_EQ(events, (std::vector<int>{0, 1, 2, 9}));
}

TEST_F(WidgetTouchEvents, ReleaseOutsideGivesCanceledAndNoClick) {
    auto* button = addRecordedButton();
    touch(TouchPhase::BEGAN, 200, 200);
    EXPECT_TRUE(button->isHighlighted());
    touch(TouchPhase::MOVED, 400, 200);
    EXPECT_FALSE(button->isHighlighted());
    touch(TouchPhase::ENDED, 400, 200);
    EXPECT_EQ(events, (std::vector<int>{0, 1, 3}));
    events.clear();
    // Sliding back in before the release still clicks.
    touch(TouchPhase::BEGAN, 200, 200);
    touch(TouchPhase::MOVED, 400, 200);
    touch(TouchPhase::MOVED, 220, 200);
    EXPECT_TRUE(button->isHighlighted());
    touch(TouchPhase::ENDED, 220, 200);
    EXPECT_EQ(events, (std::vector<int>{0, 1, 1, 2, 9}));
}

TEST_F(WidgetTouchEvents, BeganOutsideNeverClicks) {
    addRecordedButton();
    touch(TouchPhase::BEGAN, 400, 200);
    touch(TouchPhase::MOVED, 200, 200);
    touch(TouchPhase::ENDED, 200, 200);
    EXPECT_TRUE(events.empty());
}

TEST_F(WidgetTouchEvents, HighlightIsClearedBeforeTheClickAndMayBeSetThere) {
    auto* button = addButton();
    bool highlightedInClick = true;
    button->addClickEventListener([&](Ref* sender) {
        auto* widget = static_cast<ui::Widget*>(sender);
        highlightedInClick = widget->isHighlighted();
        widget->setHighlighted(true);
    });
    tap(200, 200);
    EXPECT_FALSE(highlightedInClick);
    step();
    EXPECT_TRUE(button->isHighlighted());
    button->setHighlighted(false);
    EXPECT_FALSE(button->isHighlighted());
}

TEST_F(WidgetTouchEvents, ANewListenerReplacesTheOldOneEvenFromInsideIt) {
    auto* button = addButton();
    std::vector<std::string> calls;
    button->addClickEventListener([&](Ref* sender) {
        calls.push_back("old");
        static_cast<ui::Widget*>(sender)->addClickEventListener([&](Ref*) { calls.push_back("new"); });
    });
    button->addTouchEventListener([&](Ref*, Type) { calls.push_back("touch-old"); });
    button->addTouchEventListener([&](Ref*, Type type) {
        if (type == Type::ENDED) {
            calls.push_back("touch-new");
        }
    });
    tap(200, 200);
    tap(200, 200);
    EXPECT_EQ(calls, (std::vector<std::string>{"touch-new", "old", "touch-new", "new"}));
}

TEST_F(WidgetTouchEvents, WidgetAddedAgainAfterRemovalTakesTouches) {
    auto* button = addButton();
    button->retain();
    button->removeFromParent();
    scene->addChild(button);
    button->release();
    tap(200, 200);
    EXPECT_EQ(clicks, 1);
}
