#include <string>
#include <vector>

#include "UiTestFixture.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ImageView.h"
#include "ui/Slider.h"
#include "ui/Text.h"
#include "ui/TextField.h"

using namespace engine;
using FieldEvent = ui::TextField::EventType;
using SliderEvent = ui::Slider::EventType;

class TextFieldInput : public uitest::UiTest {
protected:
    // A 200x40 field centred on (x, y) that records "<name>:<event>".
    ui::TextField* addField(const std::string& name, float x, float y) {
        auto* field = ui::TextField::create("placeholder", "", 24);
        field->setTextAreaSize(Size(200, 40));
        field->setPosition(Vec2(x, y));
        field->addEventListener([this, name](Ref*, FieldEvent type) {
            events.push_back(name + ":" + std::to_string(static_cast<int>(type)));
        });
        scene->addChild(field);
        return field;
    }
    std::vector<std::string> events;
};

class SliderEvents : public uitest::UiTest {};
class CheckBoxToggle : public uitest::UiTest {};
class WidgetClone : public uitest::UiTest {};

using Strings = std::vector<std::string>;

TEST_F(TextFieldInput, ReleaseInsideAttachesThenTypingAndBackspaceEditTheText) {
    auto* field = addField("a", 300, 300);
    ui::TextField::dispatchTextInput("lost");
    EXPECT_FALSE(ui::TextField::hasAttachedField());
    touch(TouchPhase::BEGAN, 300, 300);
    touch(TouchPhase::ENDED, 600, 300); // released outside
    EXPECT_FALSE(ui::TextField::hasAttachedField());
    tap(300, 300);
    EXPECT_TRUE(field->getAttachWithIME());
    ui::TextField::dispatchTextInput("ab");
    ui::TextField::dispatchTextInput("\xe4\xb8\xad"); // one CJK character
    EXPECT_EQ(field->getString(), "ab\xe4\xb8\xad");
    EXPECT_EQ(field->getStringLength(), 3);
    ui::TextField::dispatchBackspace();
    EXPECT_EQ(field->getString(), "ab");
    ui::TextField::dispatchBackspace();
    ui::TextField::dispatchBackspace();
    ui::TextField::dispatchBackspace(); // empty: nothing to delete, no event
    EXPECT_EQ(field->getString(), "");
    EXPECT_EQ(events, (Strings{"a:0", "a:2", "a:2", "a:3", "a:3", "a:3"}));
}

TEST_F(TextFieldInput, AnotherFieldAttachingDetachesTheFirst) {
    auto* first = addField("a", 300, 300);
    auto* second = addField("b", 300, 500);
    tap(300, 300);
    tap(300, 500);
    EXPECT_EQ(events, (Strings{"a:0", "a:1", "b:0"}));
    ui::TextField::dispatchTextInput("x");
    EXPECT_EQ(first->getString(), "");
    EXPECT_EQ(second->getString(), "x");
    tap(300, 500); // already attached
    EXPECT_EQ(events.size(), 4u);
}

TEST_F(TextFieldInput, LeavingTheTreeDetaches) {
    auto* field = addField("a", 300, 300);
    tap(300, 300);
    field->removeFromParent();
    EXPECT_FALSE(ui::TextField::hasAttachedField());
    ui::TextField::dispatchTextInput("x");
    EXPECT_EQ(events, (Strings{"a:0", "a:1"}));
}

TEST_F(TextFieldInput, MaxLengthCountsCharactersForTypingAndSetString) {
    auto* field = addField("a", 300, 300);
    field->setMaxLengthEnabled(true);
    field->setMaxLength(3);
    field->setString("\xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97\xe7\xac\xa6"); // four CJK characters
    EXPECT_EQ(field->getString(), "\xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97");
    field->setString("a");
    tap(300, 300);
    ui::TextField::dispatchTextInput("bcd");
    EXPECT_EQ(field->getString(), "abc");
    ui::TextField::dispatchTextInput("e"); // full: nothing changes, no event
    EXPECT_EQ(field->getString(), "abc");
    EXPECT_EQ(events, (Strings{"a:0", "a:2"}));
}

TEST_F(TextFieldInput, PasswordAndPlaceholderOnlyChangeTheLook) {
    auto* field = addField("a", 300, 300);
    EXPECT_EQ(field->getContentSize(), Size(200, 40));
    field->setPasswordEnabled(true);
    field->setString("secret");
    EXPECT_EQ(field->getString(), "secret");
    EXPECT_STREQ(field->getPasswordStyleText(), "*");
    EXPECT_EQ(field->getPlaceHolder(), "placeholder");
    EXPECT_EQ(field->getContentSize(), Size(200, 40));
}

TEST_F(SliderEvents, SetPercentClampsAndRaisesNothing) {
    auto* slider = ui::Slider::create();
    int events = 0;
    slider->addEventListener([&](Ref*, SliderEvent) { ++events; });
    slider->setContentSize(Size(200, 20));
    scene->addChild(slider);
    slider->setPercent(140);
    EXPECT_EQ(slider->getPercent(), 100);
    slider->setPercent(-3);
    EXPECT_EQ(slider->getPercent(), 0);
    slider->setPercent(40);
    EXPECT_EQ(slider->getSlidBallRenderer()->getPosition(), Vec2(80, 10));
    EXPECT_EQ(events, 0);
}

TEST_F(SliderEvents, TouchSetsThePercentAndRaisesDownChangedUp) {
    auto* slider = ui::Slider::create();
    slider->setContentSize(Size(200, 20));
    slider->setBallSize(Size(40, 40));
    slider->setPosition(Vec2(300, 300)); // bar [200, 400] x [290, 310]
    std::vector<int> events;
    slider->addEventListener([&](Ref*, SliderEvent type) { events.push_back(static_cast<int>(type)); });
    scene->addChild(slider);

    touch(TouchPhase::BEGAN, 250, 300);
    EXPECT_EQ(slider->getPercent(), 25);
    touch(TouchPhase::MOVED, 250.2f, 305); // same percent: no event
    touch(TouchPhase::MOVED, 500, 300);    // past the end: clamped
    EXPECT_EQ(slider->getPercent(), 100);
    touch(TouchPhase::ENDED, 500, 300);
    EXPECT_EQ(events, (std::vector<int>{1, 0, 0, 2}));

    events.clear();
    touch(TouchPhase::BEGAN, 400, 318); // on the ball, above the bar
    touch(TouchPhase::CANCELLED, 400, 318);
    EXPECT_EQ(events, (std::vector<int>{1, 0, 3}));
    touch(TouchPhase::BEGAN, 300, 340); // on neither
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(CheckBoxToggle, ClickTogglesOnlyWhenTouchEnabled) {
    auto* box = ui::CheckBox::create();
    box->setContentSize(Size(40, 40));
    box->setPosition(Vec2(100, 100));
    bool selectedInClick = false;
    box->addClickEventListener([&](Ref*) { selectedInClick = box->isSelected(); });
    scene->addChild(box);
    tap(100, 100);
    EXPECT_TRUE(box->isSelected());
    EXPECT_TRUE(selectedInClick);
    tap(100, 100);
    EXPECT_FALSE(box->isSelected());
    box->setTouchEnabled(false);
    tap(100, 100);
    EXPECT_FALSE(box->isSelected());
    box->setSelected(true);
    EXPECT_TRUE(box->isSelected());
}

TEST_F(WidgetClone, CopiesLookTransformFlagsListenersAndChildren) {
    putPicture("n.bmp", 30, 20, Color3B(255, 255, 255));
    auto* model = ui::Button::create("n.bmp");
    model->setContentSize(Size(100, 50));
    model->setAnchorPoint(Vec2(0, 1));
    model->setPosition(Vec2(200, 300));
    model->setScale(2, 3);
    model->setRotation(30);
    model->setLocalZOrder(4);
    model->setTag(10086);
    model->setName("OperImg3");
    model->setOpacity(100);
    model->setColor(Color3B(10, 20, 30));
    model->setTitleText("Go");
    std::vector<Ref*> senders;
    model->addClickEventListener([&](Ref* sender) { senders.push_back(sender); });
    model->addChild(ui::Text::create("child", "", 20), 0, 7);
    auto* marker = Node::create();
    marker->setName("PosNode");
    marker->addChild(ui::ImageView::create("n.bmp"));
    model->addChild(marker);
    scene->addChild(model);

    auto* copy = dynamic_cast<ui::Button*>(model->clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getParent(), nullptr);
    EXPECT_EQ(copy->getNormalFile(), "n.bmp");
    EXPECT_EQ(copy->getContentSize(), Size(100, 50));
    EXPECT_FALSE(copy->isIgnoreContentAdaptWithSize());
    EXPECT_EQ(copy->getAnchorPoint(), Vec2(0, 1));
    EXPECT_EQ(copy->getPosition(), Vec2(200, 300));
    EXPECT_EQ(copy->getScaleX(), 2);
    EXPECT_EQ(copy->getScaleY(), 3);
    EXPECT_EQ(copy->getRotation(), 30);
    EXPECT_EQ(copy->getLocalZOrder(), 4);
    EXPECT_EQ(copy->getTag(), 10086);
    EXPECT_EQ(copy->getName(), "OperImg3");
    EXPECT_EQ(copy->getOpacity(), 100);
    EXPECT_EQ(copy->getColor(), Color3B(10, 20, 30));
    EXPECT_TRUE(copy->isTouchEnabled());
    EXPECT_EQ(copy->getTitleText(), "Go");
    ASSERT_EQ(copy->getChildrenCount(), 2);
    auto* text = dynamic_cast<ui::Text*>(copy->getChildByTag(7));
    ASSERT_NE(text, nullptr);
    EXPECT_NE(text, model->getChildByTag(7));
    EXPECT_EQ(text->getString(), "child");
    Node* markerCopy = copy->getChildByName("PosNode");
    ASSERT_NE(markerCopy, nullptr);
    EXPECT_NE(markerCopy, marker);
    ASSERT_EQ(markerCopy->getChildrenCount(), 1);
    EXPECT_NE(dynamic_cast<ui::ImageView*>(markerCopy->getChildren().at(0)), nullptr);

    // The copy answers touches with itself as the sender.
    model->setVisible(false);
    copy->setRotation(0);
    copy->setScale(1);
    scene->addChild(copy);
    tap(250, 275);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], copy);
}

TEST_F(WidgetClone, IsAutoreleased) {
    auto* model = ui::ImageView::create();
    model->retain();
    step();
    auto* copy = model->clone();
    copy->retain();
    EXPECT_EQ(copy->getReferenceCount(), 2u);
    step();
    EXPECT_EQ(copy->getReferenceCount(), 1u);
    copy->release();
    model->release();
}
