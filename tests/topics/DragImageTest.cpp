// Drag-picture pages of the demo lecture, dragged through the touch dispatcher and judged by show answer.
#include <gtest/gtest.h>

#include "TopicFixture.h"
#include "base/Director.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "scene/Scene.h"
#include "topics/DragImage.h"
#include "topics/TopicLayer.h"

using engine::Node;

namespace {

TopicManage* manage() {
    return TopicManage::getInstance();
}

class DragPictures : public topics_test::TopicTest {
protected:
    void open(int code) {
        host = openDemoTopic("0101010207", code);
        ASSERT_NE(host, nullptr);
        ASSERT_NE(dynamic_cast<DragImage*>(host->getTypeLayer()), nullptr) << code;
    }

    Node* widget(const std::string& name, int number) const {
        // Below the page: copies of a picture carry its name too.
        auto* layer = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
        return UITools::seekChildByName(layer->getRootNode(), name + std::to_string(number));
    }

    // Drags picture onto target (0: to an empty spot) and returns where the picture ended.
    engine::Vec2 dragTo(int picture, int target) {
        Node* piece = widget("OperImg", picture);
        const engine::Vec2 to = target ? support::worldCenter(widget("PanelImg", target)) : engine::Vec2(640, 700);
        support::drag(support::worldCenter(piece), to);
        support::stepFrames(1);
        return piece->getPosition();
    }

    // Show answer, then the verdict by the feedback sound.
    bool judged() {
        playedSounds.clear();
        EXPECT_TRUE(support::click("Btn_Func3"));
        support::stepFrames(1);
        const bool right = !playedSounds.empty() && playedSounds.back().find("RightCommon") != std::string::npos;
        EXPECT_TRUE(support::stepUntil([] { return !SFAnimation::getInstance()->isResultBusy(); }));
        support::stepFrames(2);
        return right;
    }

    TopicLayer* host = nullptr;
};

} // namespace

TEST_F(DragPictures, TwoGroupsAreRightOnlyWithExactlyTheirPictures) {
    open(501);
    for (auto [picture, target] : {std::pair{3, 1}, {1, 1}, {2, 2}, {4, 2}}) {
        dragTo(picture, target);
    }
    support::saveScreenshot("topics_drag_501");
    EXPECT_TRUE(judged());
    dragTo(1, 2);
    EXPECT_FALSE(judged()) << "picture 1 moved into the second group";
    const engine::Vec2 before = widget("OperImg", 3)->getPosition();
    EXPECT_EQ(dragTo(3, 0), before) << "a drop beside every target returns";
}

TEST_F(DragPictures, AnswerTargetJudgesEachDropAtOnce) {
    open(502);
    const engine::Vec2 start = widget("OperImg", 1)->getPosition();
    EXPECT_EQ(dragTo(1, 1), start) << "target 1 wants picture 2";
    support::stepUntil([] { return !SFAnimation::getInstance()->isResultBusy(); });
    EXPECT_EQ(manage()->stepCount, 0);
    EXPECT_EQ(dragTo(2, 1), widget("PanelImg", 1)->getPosition());
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_TRUE(SFAnimation::getInstance()->isResultBusy());
}

TEST_F(DragPictures, SlotsTakeOnePictureAndRefuseTheEmptyAnswer) {
    open(503);
    const engine::Vec2 start = widget("OperImg", 3)->getPosition();
    EXPECT_EQ(dragTo(3, 2), start) << "an answer of 0 refuses every picture";
    EXPECT_EQ(dragTo(2, 1), widget("PanelImg", 1)->getPosition());
    EXPECT_EQ(dragTo(3, 1), start) << "a filled target";
    EXPECT_FALSE(judged());
    dragTo(1, 3);
    EXPECT_TRUE(judged());

    open(505);
    const size_t children = host->getTypeLayer()->getChildrenCount();
    const engine::Vec2 home = widget("OperImg", 1)->getPosition();
    EXPECT_EQ(dragTo(1, 1), home) << "copies leave the picture where it was";
    dragTo(1, 3);
    dragTo(2, 1);
    EXPECT_EQ(host->getTypeLayer()->getChildrenCount(), children + 2) << "no copy onto a filled target";
    dragTo(2, 2);
    EXPECT_TRUE(judged());
}

TEST_F(DragPictures, FreeDropsCountStepsUntilTheTopicIsDone) {
    open(508);
    for (int picture = 1; picture <= 3; ++picture) {
        EXPECT_EQ(dragTo(picture, picture), widget("PanelImg", picture)->getPosition());
    }
    EXPECT_EQ(manage()->stepCount, 3);
    const engine::Vec2 placed = widget("OperImg", 1)->getPosition();
    EXPECT_EQ(dragTo(1, 2), placed) << "a finished topic takes no drags";
}
