// The topic types on the demo lectures' pages, answered through the touch dispatcher: single pages, characters,
// tap-to-reveal, drag-picture and demonstration pages.
#include <gtest/gtest.h>

#include "TopicFixture.h"
#include "scene/Sprite.h"
#include "topics/DemoTopic.h"
#include "ui/Text.h"
#include "ui/Widget.h"

using namespace topics_test;

namespace {

class TopicPages : public TopicTest {};

// The sprite on the stage's parent at the stage's place: the playing animation (z-order 105) or the last frame.
engine::Sprite* spriteOnStage(Node* stage, bool playing) {
    for (Node* child : stage->getParent()->getChildren()) {
        auto* sprite = dynamic_cast<engine::Sprite*>(child);
        if (sprite && sprite != stage && sprite->isVisible() && sprite->getPosition() == stage->getPosition() &&
            (sprite->getLocalZOrder() == 105) == playing) {
            return sprite;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(TopicPages, SinglePageArrangesItsPicturesInARow) {
    ASSERT_TRUE(open(101001));
    const auto pictures = manage()->getWidget(page(), "ContImg", 1);
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_LT(pictures[0]->getPositionX(), pictures[1]->getPositionX());
    EXPECT_NEAR(pictures[1]->getPositionX(), 630.f, 0.5f) << "the middle of three sits at the centre";
    support::saveScreenshot("topics_single_101001");
}

TEST_F(TopicPages, CharacterPagesRevealOrAnimateOncePerStep) {
    ASSERT_TRUE(open(320201));
    for (int k = 1; k <= 3; ++k) {
        const engine::Vec2 at = widget("OperImg", k)->getPosition();
        tap("OperImg" + std::to_string(k));
        EXPECT_TRUE(widget("AnswerImg", k)->isVisible()) << k;
        EXPECT_EQ(widget("AnswerImg", k)->getPosition(), at);
    }
    EXPECT_EQ(manage()->stepCount, 3);

    ASSERT_TRUE(open(320101));
    tap("OperImg1");
    EXPECT_TRUE(played("voice_a1.mp3")) << "the speaker plays the first sound";
    playedSounds.clear();
    tap("AniImg2");
    EXPECT_FALSE(widget("AniImg2")->isVisible());
    EXPECT_TRUE(playedSounds.empty()) << "320101 animates without sound";
    tap("AniImg3");
    EXPECT_TRUE(widget("AniImg3")->isVisible()) << "ignored while an animation plays";
    ASSERT_TRUE(support::stepUntil([] { return manage()->stepCount == 1; }));
    support::stepFrames(2);
    tap("AniImg3");
    EXPECT_FALSE(widget("AniImg3")->isVisible());
}

TEST_F(TopicPages, TapToRevealCountsEachRightPictureOnce) {
    ASSERT_TRUE(open(201));
    const engine::Vec2 fourth = widget("OperImg4")->getPosition();
    tap("OperImg4");
    EXPECT_EQ(widget("AnswerImg1")->getPosition(), fourth);
    EXPECT_TRUE(widget("AnswerImg1")->isVisible());
    EXPECT_TRUE(host->isResultShowing()) << "201 has a configured right animation";
    EXPECT_TRUE(played("RightCommon.mp3"));
    settle();
    tap("OperImg4");
    EXPECT_EQ(manage()->stepCount, 1) << "the same right picture again";
    settle();
    tap("OperImg3");
    EXPECT_TRUE(played("WrongCommon.mp3"));
    EXPECT_EQ(manage()->stepCount, 1);
    settle();
    tap("OperImg2");
    EXPECT_TRUE(widget("AnswerImg2")->isVisible());
    settle();
    EXPECT_TRUE(played("RightCommon.mp3")) << "the celebration's sound once the steps are done";
    support::saveScreenshot("topics_reveal_201_done");
    playedSounds.clear();
    tap("OperImg1");
    EXPECT_TRUE(playedSounds.empty()) << "a finished topic takes no taps";
}

TEST_F(TopicPages, RevealCodesPlaceTheirAnswersAndReportByCode) {
    const std::tuple<int, const char*, bool> cases[] = {{202, "AnswerImg1", true}, {203, "AnswerImg2", false},
                                                        {206, "AnswerImg1", true}, {209, "AnswerImg2", false},
                                                        {208, "AnswerImg2", true}, {212, "AnswerImg2", false}};
    for (const auto& [code, answer, reported] : cases) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        tap("OperImg2");
        EXPECT_TRUE(widget(answer)->isVisible());
        EXPECT_EQ(manage()->stepCount, 1);
        EXPECT_EQ(SFAnimation::getInstance()->isResultBusy() || host->isResultShowing(), reported);
        settle();
    }
    // 209 shows only the latest answer; 208 celebrates the last step at once instead of reporting it.
    ASSERT_TRUE(open(209));
    tap("OperImg2");
    tap("OperImg4");
    EXPECT_FALSE(widget("AnswerImg2")->isVisible());
    EXPECT_TRUE(widget("AnswerImg4")->isVisible());
    EXPECT_FALSE(widget("ContImg1")->isVisible());
    ASSERT_TRUE(open(208));
    tap("OperImg2");
    settle();
    tap("OperImg4");
    EXPECT_EQ(widget("AnswerImg4")->getPosition(), widget("ContImg1")->getPosition());
    EXPECT_FALSE(SFAnimation::getInstance()->isResultBusy());
    EXPECT_TRUE(played("RightCommon.mp3"));
    // 205 gives the whole page to its final picture; 204 hides a tapped picture and plays its sound.
    ASSERT_TRUE(open(205));
    tap("OperImg3");
    settle();
    EXPECT_TRUE(widget("AnswerImg1")->isVisible());
    EXPECT_FALSE(widget("OperImg1")->isVisible());
    ASSERT_TRUE(open(204));
    tap("OperImg1");
    EXPECT_FALSE(widget("OperImg1")->isVisible());
    EXPECT_TRUE(played("voice_a1.mp3"));
    EXPECT_EQ(manage()->stepCount, 0) << "picture 1 is not an answer";
}

TEST_F(TopicPages, TwoGroupsAreRightOnlyWithExactlyTheirPictures) {
    ASSERT_TRUE(open(501));
    for (auto [picture, target] : {std::pair{3, 1}, {1, 1}, {2, 2}, {4, 2}}) {
        dragTo(picture, target);
    }
    support::saveScreenshot("topics_drag_501");
    EXPECT_TRUE(judged());
    dragTo(1, 2);
    EXPECT_FALSE(judged()) << "picture 1 moved into the second group";
    const engine::Vec2 before = widget("OperImg3")->getPosition();
    EXPECT_EQ(dragTo(3, 0), before) << "a drop beside every target returns";
}

TEST_F(TopicPages, AnswerTargetsJudgeEachDropAndFreeDropsCountSteps) {
    ASSERT_TRUE(open(502));
    const engine::Vec2 start = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 1), start) << "target 1 wants picture 2";
    settle();
    EXPECT_EQ(manage()->stepCount, 0);
    EXPECT_EQ(dragTo(2, 1), widget("PanelImg1")->getPosition());
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_TRUE(SFAnimation::getInstance()->isResultBusy());

    ASSERT_TRUE(open(508));
    for (int picture = 1; picture <= 3; ++picture) {
        EXPECT_EQ(dragTo(picture, picture), widget("PanelImg", picture)->getPosition());
    }
    EXPECT_EQ(manage()->stepCount, 3);
    const engine::Vec2 placed = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 2), placed) << "a finished topic takes no drags";
    settle();
    ASSERT_TRUE(support::click("Btn_Func2"));
    support::stepFrames(1);
    EXPECT_EQ(manage()->stepCount, 0) << "reset starts the topic again";
    EXPECT_NE(widget("OperImg1")->getPosition(), placed);
    EXPECT_EQ(dragTo(1, 1), widget("PanelImg1")->getPosition());
}

TEST_F(TopicPages, SlotsTakeOnePictureAndRefuseTheEmptyAnswer) {
    ASSERT_TRUE(open(503));
    const engine::Vec2 start = widget("OperImg3")->getPosition();
    EXPECT_EQ(dragTo(3, 2), start) << "an answer of 0 refuses every picture";
    EXPECT_EQ(dragTo(2, 1), widget("PanelImg1")->getPosition());
    EXPECT_EQ(dragTo(3, 1), start) << "a filled target";
    EXPECT_FALSE(judged());
    dragTo(1, 3);
    EXPECT_TRUE(judged());

    ASSERT_TRUE(open(505));
    const size_t children = page()->getChildrenCount();
    const engine::Vec2 home = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 1), home) << "copies leave the picture where it was";
    dragTo(1, 3);
    dragTo(2, 1);
    EXPECT_EQ(page()->getChildrenCount(), children + 2) << "no copy onto a filled target";
    dragTo(2, 2);
    EXPECT_TRUE(judged());
}

TEST_F(TopicPages, DemonstrationStepsPlayTheirAnimationAndKeepItsLastFrame) {
    // 0101010208: grade 1, phase 2, lesson 8, 100103 the first topic of kind 1; 0101010207: 100102 the tenth of kind 3.
    const struct {
        int code, picture, target; // target 0: the picture is tapped
        const char *lecture, *id;
    } steps[] = {{100103, 2, 1, "0101010208", "120811-2110"}, {100102, 1, 0, "0101010207", "1207310-1010"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.code);
        ASSERT_TRUE(open(step.code, step.lecture));
        Node* stage = widget("AniImg1");
        step.target ? (void)dragTo(step.picture, step.target) : tap("OperImg" + std::to_string(step.picture));
        EXPECT_EQ(manage()->stepCount, 1);
        EXPECT_NE(spriteOnStage(stage, true), nullptr) << "the step plays";
        EXPECT_FALSE(stage->isVisible());
        const bool ended = support::stepUntil([stage] { return spriteOnStage(stage, false) != nullptr; });
        support::saveScreenshot("topic_demo_step_" + std::to_string(step.code));
        ASSERT_TRUE(ended) << "no last frame in the stage's place";
        EXPECT_EQ(spriteOnStage(stage, true), nullptr);
        const std::string last = std::string(step.id) + "/" + step.id + "4.png";
        const std::string shown = spriteOnStage(stage, false)->getTexture()->getPath();
        EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), last.size())), last);
    }

    ASSERT_TRUE(open(100103, "0101010208"));
    dragTo(2, 1);
    ASSERT_TRUE(support::stepUntil([this] { return !spriteOnStage(widget("AniImg1"), true); }));
    const engine::Vec2 home = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 1), home) << "the same target as the last drop";
    EXPECT_EQ(manage()->stepCount, 1);
    dragTo(1, 2);
    EXPECT_EQ(manage()->stepCount, 2);
    const std::string folder = FileManager::getInstance()->getTopicAniPath();
    EXPECT_TRUE(SFAnimation::getInstance()->getAnimationCallback(folder + "120811-1221"));
    EXPECT_EQ(DemoTopic::getPairIndex(3, 2), 3);
    EXPECT_EQ(DemoTopic::getPairIndex(1, 1), 0);
}

TEST_F(TopicPages, DemonstrationSlotsAndNumberedTargetsAreCheckedByShowAnswer) {
    ASSERT_TRUE(open(100106, "0101010208"));
    dragTo(2, 1);
    const engine::Vec2 home = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 1), home) << "an occupied target";
    dragTo(3, 2);
    EXPECT_FALSE(judged()) << "target 3 is still empty";
    dragTo(1, 3);
    EXPECT_TRUE(judged());

    for (auto [code, text, red] : {std::tuple{100113, "3", 104}, {100115, "5", 255}}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code, "0101010208"));
        dragTo(3, 1);
        EXPECT_FALSE(widget("OperImg3")->isVisible());
        auto* number = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(widget("PanelImg1"), "Content"));
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->getString(), text);
        dragTo(1, 2);
        dragTo(2, 3);
        EXPECT_TRUE(judged());
        EXPECT_EQ(number->getTextColor().r, red);
    }
}

TEST_F(TopicPages, DemonstrationCheckedDropsAndTheTapChain) {
    ASSERT_TRUE(open(100110, "0101010208"));
    const engine::Vec2 home = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 1), home) << "target 1 wants picture 2";
    EXPECT_FALSE(SFAnimation::getInstance()->isResultBusy()) << "a wrong drop only returns";
    dragTo(2, 1);
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_TRUE(SFAnimation::getInstance()->isResultBusy());

    ASSERT_TRUE(open(100107, "0101010208"));
    auto* second = dynamic_cast<engine::ui::Widget*>(widget("OperImg2"));
    EXPECT_FALSE(second->isTouchEnabled()) << "only the first picture is tappable at first";
    support::click(widget("OperImg1"));
    EXPECT_EQ(manage()->stepCount, 1);
    ASSERT_TRUE(support::stepUntil([second] { return second->isTouchEnabled(); }));
    support::click(second);
    EXPECT_EQ(manage()->stepCount, 2);

    ASSERT_TRUE(open(100109, "0101010208"));
    for (int k = 1; k <= 3; ++k) {
        tap("OperImg" + std::to_string(k));
    }
    EXPECT_TRUE(manage()->isStepDone());
    EXPECT_TRUE(widget("AnswerImg3")->isVisible());
    const engine::Vec2 at = widget("OperImg1")->getPosition();
    support::drag(support::worldCenter(widget("AnswerImg1")), engine::Vec2(640, 300));
    EXPECT_EQ(widget("OperImg1")->getPosition(), at) << "a finished page takes nothing";
}

TEST_F(TopicPages, ARightPlaceFilledAgainCountsNoFurtherStep) {
    // Six drops of one picture, by turns on its right place and on other (0: the right place each time); 100105's
    // pictures are tapped.
    const struct {
        int code, picture, right, other;
    } cases[] = {{502, 2, 1, 0},    {507, 1, 2, 0},    {508, 1, 1, 2},    {703, 2, 1, 0},    {709, 2, 1, 0},
                 {100105, 1, 2, 0}, {100110, 2, 1, 0}, {100111, 2, 1, 0}, {319501, 1, 1, 2}, {319502, 1, 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(open(c.code));
        for (int drop = 0; drop < 6; ++drop) {
            c.code == 100105 ? tap("OperImg" + std::to_string(c.picture))
                             : (void)dragTo(c.picture, drop % 2 && c.other ? c.other : c.right);
            settle();
        }
        EXPECT_EQ(manage()->stepCount, 1);
        EXPECT_FALSE(manage()->isStepDone());
    }
}
