// The single-page, character and tap-to-reveal topics of the demo lecture, answered through the touch dispatcher.
#include <gtest/gtest.h>

#include "TopicFixture.h"
#include "base/Director.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "scene/Scene.h"
#include "topics/ShiZiTopic.h"
#include "topics/ShowAnswer.h"
#include "topics/SingleTopic.h"
#include "topics/TopicLayer.h"
#include "ui/Widget.h"

using engine::Node;

namespace {

TopicManage* manage() {
    return TopicManage::getInstance();
}

class RevealTopics : public topics_test::TopicTest {
protected:
    TopicLayer* openDemoTopic(int code) {
        host = TopicTest::openDemoTopic("0101010207", code);
        return host;
    }

    Node* widget(const std::string& name) const { return UITools::seekChildByName(host->getTypeLayer(), name); }

    void tap(const std::string& name) {
        Node* node = widget(name);
        ASSERT_NE(node, nullptr) << name;
        support::click(node);
        support::stepFrames(1);
    }

    // Steps until no feedback plays.
    void settle() {
        ASSERT_TRUE(support::stepUntil(
            [this] { return !host->isResultShowing() && !SFAnimation::getInstance()->isResultBusy(); }));
        support::stepFrames(2);
    }

    bool played(const std::string& file) const {
        return !playedSounds.empty() && playedSounds.back().find(file) != std::string::npos;
    }

    TopicLayer* host = nullptr;
};

} // namespace

TEST_F(RevealTopics, SinglePageArrangesItsPicturesInARow) {
    ASSERT_NE(openDemoTopic(101001), nullptr);
    ASSERT_NE(dynamic_cast<SingleTopic*>(host->getTypeLayer()), nullptr);
    const auto pictures = manage()->getWidget(host->getTypeLayer(), "ContImg", 1);
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_LT(pictures[0]->getPositionX(), pictures[1]->getPositionX());
    EXPECT_NEAR(pictures[1]->getPositionX(), 630.f, 0.5f) << "the middle of three sits at the centre";
    support::saveScreenshot("topics_single_101001");
}

TEST_F(RevealTopics, CharacterPagesRevealOrAnimateOncePerStep) {
    ASSERT_NE(openDemoTopic(320201), nullptr);
    ASSERT_NE(dynamic_cast<ShiZiTopic*>(host->getTypeLayer()), nullptr);
    for (int k = 1; k <= 3; ++k) {
        const engine::Vec2 at = widget("OperImg" + std::to_string(k))->getPosition();
        tap("OperImg" + std::to_string(k));
        EXPECT_TRUE(widget("AnswerImg" + std::to_string(k))->isVisible()) << k;
        EXPECT_EQ(widget("AnswerImg" + std::to_string(k))->getPosition(), at);
    }
    EXPECT_EQ(manage()->stepCount, 3);
    EXPECT_TRUE(manage()->isStepDone());

    ASSERT_NE(openDemoTopic(320101), nullptr);
    tap("OperImg2");
    EXPECT_TRUE(played("voice_a1.mp3")) << "every character plays the first sound";
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

TEST_F(RevealTopics, TapToRevealCountsEachRightPictureOnce) {
    ASSERT_NE(openDemoTopic(201), nullptr);
    ASSERT_NE(dynamic_cast<ShowAnswer*>(host->getTypeLayer()), nullptr);
    const engine::Vec2 fourth = widget("OperImg4")->getPosition();
    tap("OperImg4");
    EXPECT_TRUE(widget("AnswerImg1")->isVisible());
    EXPECT_EQ(widget("AnswerImg1")->getPosition(), fourth);
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_TRUE(host->isResultShowing()) << "201 has a configured right animation";
    EXPECT_TRUE(played("RightCommon.mp3"));
    settle();
    tap("OperImg4");
    EXPECT_EQ(manage()->stepCount, 1) << "the same right picture again";
    EXPECT_FALSE(widget("AnswerImg2")->isVisible());
    settle();
    tap("OperImg3");
    EXPECT_TRUE(played("WrongCommon.mp3"));
    EXPECT_EQ(manage()->stepCount, 1);
    settle();
    tap("OperImg2");
    EXPECT_TRUE(widget("AnswerImg2")->isVisible());
    EXPECT_EQ(manage()->stepCount, 2);
    settle();
    EXPECT_TRUE(played("RightCommon.mp3")) << "the celebration's sound once the steps are done";
    support::saveScreenshot("topics_reveal_201_done");
    playedSounds.clear();
    tap("OperImg1");
    EXPECT_TRUE(playedSounds.empty()) << "a finished topic takes no taps";
}

TEST_F(RevealTopics, RevealCodesPlaceTheirAnswersAndReportByCode) {
    struct Case {
        int code;
        const char* answer; // shown after tapping picture 2
        bool reported;
    };
    const Case cases[] = {{202, "AnswerImg1", true},  {203, "AnswerImg2", false}, {206, "AnswerImg1", true},
                          {209, "AnswerImg2", false}, {208, "AnswerImg2", true},  {212, "AnswerImg2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_NE(openDemoTopic(c.code), nullptr);
        tap("OperImg2");
        EXPECT_TRUE(widget(c.answer)->isVisible());
        EXPECT_EQ(manage()->stepCount, 1);
        EXPECT_EQ(SFAnimation::getInstance()->isResultBusy() || host->isResultShowing(), c.reported);
        settle();
    }
    // 209 shows only the latest answer; 208 celebrates the last step at once instead of reporting it.
    ASSERT_NE(openDemoTopic(209), nullptr);
    tap("OperImg2");
    tap("OperImg4");
    EXPECT_FALSE(widget("AnswerImg2")->isVisible());
    EXPECT_TRUE(widget("AnswerImg4")->isVisible());
    EXPECT_FALSE(widget("ContImg1")->isVisible());
    ASSERT_NE(openDemoTopic(208), nullptr);
    tap("OperImg2");
    settle();
    tap("OperImg4");
    EXPECT_EQ(widget("AnswerImg4")->getPosition(), widget("ContImg1")->getPosition());
    EXPECT_FALSE(SFAnimation::getInstance()->isResultBusy());
    EXPECT_TRUE(played("RightCommon.mp3"));
    // 205 gives the whole page to its final picture; 204 hides a tapped picture and plays its sound.
    ASSERT_NE(openDemoTopic(205), nullptr);
    tap("OperImg3");
    settle();
    EXPECT_TRUE(widget("AnswerImg1")->isVisible());
    EXPECT_FALSE(widget("OperImg1")->isVisible());
    ASSERT_NE(openDemoTopic(204), nullptr);
    tap("OperImg1");
    EXPECT_FALSE(widget("OperImg1")->isVisible());
    EXPECT_TRUE(played("voice_a1.mp3"));
    EXPECT_EQ(manage()->stepCount, 0) << "picture 1 is not an answer";
}
