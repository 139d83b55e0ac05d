// Demonstration pages: the demonstration animation names, checked drops, numbers written into targets, the tap
// chain, and pages that never lock when an animation is missing.
#include <gtest/gtest.h>

#include "TopicFixture.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "topics/DemoTopic.h"
#include "ui/Text.h"
#include "ui/Widget.h"

using engine::Node;
using engine::Value;
using engine::ValueMap;
using engine::ValueVector;

namespace {

TopicManage* manage() {
    return TopicManage::getInstance();
}

class DemoPages : public topics_test::TopicTest {
protected:
    void open(int code) {
        host = openDemoTopic("0101010208", code);
        ASSERT_NE(host, nullptr);
        page = dynamic_cast<DemoTopic*>(host->getTypeLayer());
        ASSERT_NE(page, nullptr) << code;
    }

    Node* widget(const std::string& prefix, int number) const {
        return UITools::seekChildByName(page->getRootNode(), prefix + std::to_string(number));
    }

    void dragTo(int picture, int target) {
        support::drag(support::worldCenter(widget("OperImg", picture)),
                      support::worldCenter(widget("PanelImg", target)));
        support::stepFrames(1);
    }

    bool judged() {
        playedSounds.clear();
        page->showAnswer();
        support::stepFrames(1);
        const bool right = !playedSounds.empty() && playedSounds.back().find("RightCommon") != std::string::npos;
        EXPECT_TRUE(support::stepUntil([] { return !SFAnimation::getInstance()->isResultBusy(); }));
        return right;
    }

    TopicLayer* host = nullptr;
    DemoTopic* page = nullptr;
};

} // namespace

TEST_F(DemoPages, DemonstrationStepsNameTheirAnimationAndNeverLock) {
    open(100103);
    // Lecture 0101010208: grade 1, phase 2, lesson 8; 100103 is the first topic of kind 1.
    const std::string folder = FileManager::getInstance()->getTopicAniPath();
    dragTo(2, 1);
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_TRUE(SFAnimation::getInstance()->getAnimationCallback(folder + "120811-2110"));
    EXPECT_FALSE(widget("AniImg", 1)->isVisible());
    // No such animation: it ends on the next frame and the page takes the next drag.
    support::stepFrames(2);
    const engine::Vec2 home = widget("OperImg", 1)->getPosition();
    dragTo(1, 1);
    EXPECT_EQ(widget("OperImg", 1)->getPosition(), home) << "the same target as the last drop";
    EXPECT_EQ(manage()->stepCount, 1);
    dragTo(1, 2);
    EXPECT_EQ(manage()->stepCount, 2);
    EXPECT_TRUE(SFAnimation::getInstance()->getAnimationCallback(folder + "120811-1221"));
    EXPECT_EQ(DemoTopic::getPairIndex(3, 2), 3);
    EXPECT_EQ(DemoTopic::getPairIndex(1, 1), 0);
}

TEST_F(DemoPages, SlotsAndNumberedTargetsAreCheckedByShowAnswer) {
    open(100106);
    dragTo(2, 1);
    const engine::Vec2 home = widget("OperImg", 1)->getPosition();
    dragTo(1, 1);
    EXPECT_EQ(widget("OperImg", 1)->getPosition(), home) << "an occupied target";
    dragTo(3, 2);
    EXPECT_FALSE(judged()) << "target 3 is still empty";
    dragTo(1, 3);
    EXPECT_TRUE(judged());

    struct Case {
        int code;
        const char* text;
    } cases[] = {{100113, "3"}, {100115, "5"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        open(c.code);
        dragTo(3, 1);
        EXPECT_FALSE(widget("OperImg", 3)->isVisible());
        auto* number = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(widget("PanelImg", 1), "Content"));
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->getString(), c.text);
        dragTo(1, 2);
        dragTo(2, 3);
        EXPECT_TRUE(judged());
        EXPECT_EQ(number->getTextColor().r, c.code == 100113 ? 104 : 255);
    }
}

TEST_F(DemoPages, CheckedDropsAndTheTapChain) {
    open(100110);
    const engine::Vec2 home = widget("OperImg", 1)->getPosition();
    dragTo(1, 1);
    EXPECT_EQ(widget("OperImg", 1)->getPosition(), home) << "target 1 wants picture 2";
    EXPECT_FALSE(SFAnimation::getInstance()->isResultBusy()) << "a wrong drop only returns";
    dragTo(2, 1);
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_TRUE(SFAnimation::getInstance()->isResultBusy());

    open(100107);
    auto* second = dynamic_cast<engine::ui::Widget*>(widget("OperImg", 2));
    EXPECT_FALSE(second->isTouchEnabled()) << "only the first picture is tappable at first";
    support::click(widget("OperImg", 1));
    EXPECT_EQ(manage()->stepCount, 1);
    ASSERT_TRUE(support::stepUntil([second] { return second->isTouchEnabled(); }));
    support::click(second);
    EXPECT_EQ(manage()->stepCount, 2);

    open(100109);
    for (int k = 1; k <= 3; ++k) {
        support::click(widget("OperImg", k));
        support::stepFrames(1);
    }
    EXPECT_TRUE(manage()->isStepDone());
    EXPECT_TRUE(widget("AnswerImg", 3)->isVisible());
    const engine::Vec2 at = widget("OperImg", 1)->getPosition();
    support::drag(support::worldCenter(widget("AnswerImg", 1)), engine::Vec2(640, 300));
    EXPECT_EQ(widget("OperImg", 1)->getPosition(), at) << "a finished page takes nothing";
}
