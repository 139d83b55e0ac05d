// The special topic pages on the demo lectures, answered through the touch dispatcher: drops by code, taps,
// keypads, show answer and reset.
#include <gtest/gtest.h>

#include <algorithm>

#include "TopicFixture.h"
#include "topics/SpecialTopic.h"
#include "ui/Text.h"
#include "ui/Widget.h"

using namespace topics_test;

namespace {

class SpecialTopics : public TopicTest {
protected:
    SpecialTopic* special() const { return dynamic_cast<SpecialTopic*>(host->getTypeLayer()); }

    std::string textOf(const std::string& name) const {
        auto* text = dynamic_cast<engine::ui::Text*>(widget(name));
        return text ? text->getString() : "<missing>";
    }

    int sounds(const std::string& file) const {
        return static_cast<int>(std::count_if(playedSounds.begin(), playedSounds.end(), [&file](const std::string& s) {
            return s.find(file) != std::string::npos;
        }));
    }

    bool atWidget(const engine::Vec2& at, const std::string& name) const {
        return at.distance(widget(name)->getPosition()) < 0.5f;
    }
};

enum class Lands { Target, Start, Released, PosNode, RightOfTarget };

} // namespace

TEST_F(SpecialTopics, DropsLandOrReturnByCode) {
    struct Case {
        int code, picture, target;
        Lands lands;
        int steps;
        const char* sound;
    };
    const Case cases[] = {
        {101504, 1, 1, Lands::Target, 1, "RightCommon"},
        {101504, 2, 1, Lands::Start, 0, "WrongCommon"},
        {101304, 3, 3, Lands::Target, 0, "RightCommon"},
        {101304, 1, 3, Lands::Start, 0, "WrongCommon"},
        {101542, 2, 1, Lands::Target, 1, ""},
        {101542, 1, 1, Lands::Start, 0, ""},
        {101503, 2, 2, Lands::Target, 1, ""},
        {101302, 2, 2, Lands::PosNode, 0, ""},
        {101302, 1, 2, Lands::Start, 0, ""},
        {101527, 4, 4, Lands::RightOfTarget, 0, ""},
        {101508, 3, 1, Lands::Target, 0, ""},
        {101550, 1, 0, Lands::Released, 0, ""},
        {101502, 2, 2, Lands::Target, 0, ""},
        {101516, 1, 2, Lands::Start, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(open(c.code));
        const engine::Vec2 start = widget("OperImg", c.picture)->getPosition();
        playedSounds.clear();
        const engine::Vec2 at = dragTo(c.picture, c.target);
        const std::string target = "PanelImg" + std::to_string(c.target);
        switch (c.lands) {
        case Lands::Target:
            EXPECT_TRUE(atWidget(at, target));
            break;
        case Lands::Start:
            EXPECT_EQ(at, start);
            break;
        case Lands::Released:
            EXPECT_LT(at.distance(engine::Vec2(640, 700)), 0.5f) << "kept where it was let go";
            break;
        case Lands::PosNode:
            EXPECT_TRUE(atWidget(at, "PosNode" + std::to_string(c.picture)));
            break;
        case Lands::RightOfTarget:
            EXPECT_NEAR(at.x, widget(target)->getPositionX() + widget(target)->getContentSize().width / 2, 0.5f);
            break;
        }
        EXPECT_EQ(manage()->stepCount, c.steps);
        const bool silent = std::string(c.sound).empty();
        EXPECT_EQ(sounds(silent ? "Common" : c.sound), silent ? 0 : 1);
        settle();
    }
}

TEST_F(SpecialTopics, SlotsJudgeTheirFillingsAndResetStartsAgain) {
    ASSERT_TRUE(open(101508));
    dragTo(2, 1);
    const engine::Vec2 start = widget("OperImg3")->getPosition();
    EXPECT_EQ(dragTo(3, 1), start) << "a filled slot keeps its first picture";
    dragTo(3, 2);
    EXPECT_FALSE(judged()) << "the third slot is still empty";
    dragTo(1, 3);
    EXPECT_TRUE(judged());
    support::saveScreenshot("topics_special_101508_done");
    ASSERT_TRUE(support::click("Btn_Func2"));
    support::stepFrames(1);
    EXPECT_EQ(special()->getPupilValues(), std::vector<int>({0, 0, 0})) << "reset makes a fresh page";
    EXPECT_FALSE(judged());

    ASSERT_TRUE(open(101507));
    for (auto [picture, target] : {std::pair{2, 1}, {1, 2}, {3, 3}}) {
        dragTo(picture, target);
    }
    EXPECT_FALSE(judged()) << "slots 2 and 3 hold the wrong pictures";
    support::saveScreenshot("topics_special_101507_marked");
}

TEST_F(SpecialTopics, DropOrdersAreJudgedAgainstEveryAcceptedOrder) {
    for (int code : {101502, 101303}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        dragTo(2, 1);
        dragTo(1, 2);
        EXPECT_TRUE(judged()) << "[[1, 2], [2, 1]] accepts 2 then 1";
    }
    // 101303: the target under the finger takes the picture, which then stays there.
    ASSERT_TRUE(open(101303));
    EXPECT_TRUE(atWidget(dragTo(1, 2), "PanelImg2"));
    EXPECT_TRUE(atWidget(dragTo(1, 1), "PanelImg2")) << "a placed picture cannot be dragged again";
    dragTo(2, 1);
    EXPECT_EQ(special()->getDropValues(), std::vector<int>({1, 2}));

    ASSERT_TRUE(open(101502));
    dragTo(1, 1);
    EXPECT_FALSE(judged()) << "one picture is no accepted order";
}

TEST_F(SpecialTopics, MatchedPicturesCountOnceAndCelebrateOnce) {
    ASSERT_TRUE(open(101504));
    playedSounds.clear();
    for (int k = 1; k <= 3; ++k) {
        dragTo(k, k);
        settle();
    }
    dragTo(3, 3);
    settle();
    EXPECT_EQ(manage()->stepCount, 3) << "a picture dropped on its place again counts nothing";
    EXPECT_EQ(sounds("RightCommon"), 5) << "four right feedbacks and one celebration";

    ASSERT_TRUE(open(101501));
    dragTo(1, 1);
    EXPECT_FALSE(widget("OperImg1")->isVisible());
    EXPECT_FALSE(widget("PanelImg1")->isVisible());
    EXPECT_EQ(manage()->stepCount, 1);
    const engine::Vec2 second = widget("OperImg2")->getPosition();
    EXPECT_EQ(dragTo(2, 2), second) << "no drag while the result plays";
    ASSERT_TRUE(support::stepUntil([this] { return widget("AniImg1")->isVisible(); }));
    dragTo(3, 2);
    EXPECT_TRUE(played("WrongCommon"));
    EXPECT_EQ(manage()->stepCount, 1);
}

TEST_F(SpecialTopics, TwoGroupsOfFiveEachPlayWhenFull) {
    ASSERT_TRUE(open(101505));
    for (int k : {6, 7, 8, 9}) {
        dragTo(k, k);
    }
    EXPECT_TRUE(widget("ResultImg2")->isVisible()) << "the second group starts empty";
    for (int k = 1; k <= 5; ++k) {
        dragTo(k, k);
    }
    EXPECT_FALSE(widget("ResultImg1")->isVisible());
    EXPECT_TRUE(special()->getDropValues().empty());
    const engine::Vec2 start = widget("OperImg10")->getPosition();
    EXPECT_EQ(dragTo(10, 1), start) << "a wrong place";
    dragTo(10, 10);
    EXPECT_FALSE(widget("ResultImg2")->isVisible());
    EXPECT_EQ(manage()->stepCount, 10);
    ASSERT_TRUE(support::stepUntil([this] { return widget("ResultImg1")->isVisible(); }));
}

TEST_F(SpecialTopics, CopiesKeepsAndHides) {
    ASSERT_TRUE(open(101543));
    const size_t children = special()->getChildrenCount();
    dragTo(2, 1);
    EXPECT_EQ(special()->getChildrenCount(), children + 1);
    EXPECT_FALSE(widget("PanelImg1")->isVisible());
    EXPECT_EQ(manage()->stepCount, 1);

    ASSERT_TRUE(open(101521));
    const size_t before = special()->getChildrenCount();
    const engine::Vec2 start = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 0), start);
    EXPECT_EQ(special()->getChildrenCount(), before + 1) << "a copy wherever it was released";

    ASSERT_TRUE(open(101533));
    const engine::Vec2 onTray = support::worldCenter(widget("PanelImg2")) + engine::Vec2(40, 10);
    support::drag(support::worldCenter(widget("OperImg1")), onTray);
    EXPECT_NEAR(widget("OperImg1")->getPositionX(), onTray.x, 0.5f);

    ASSERT_TRUE(open(101537));
    EXPECT_TRUE(widget("OperImg21")->isVisible());
    EXPECT_FALSE(widget("OperImg22")->isVisible());
    dragTo(1, 1);
    EXPECT_FALSE(widget("OperImg1")->isVisible()) << "put into the basket";
    tap("ContImg2");
    EXPECT_TRUE(widget("OperImg1")->isVisible()) << "the first hidden picture comes back";
    support::saveScreenshot("topics_special_101537");
}

TEST_F(SpecialTopics, TapsChooseRevealAndOrder) {
    ASSERT_TRUE(open(101101));
    tap("PanelImg1");
    EXPECT_TRUE(played("WrongCommon")) << "no picture chosen yet";
    settle();
    tap("OperImg2");
    tap("PanelImg1");
    EXPECT_TRUE(played("RightCommon"));
    EXPECT_TRUE(widget("AnswerImg1")->isVisible());
    settle();
    playedSounds.clear();
    special()->onPanelClick(nullptr, 7);
    EXPECT_TRUE(played("WrongCommon")) << "a place beyond the answers";
    settle();

    ASSERT_TRUE(open(101401));
    tap("OperImg1");
    EXPECT_TRUE(played("WrongCommon"));
    EXPECT_EQ(manage()->stepCount, 0);
    settle();
    for (int k : {2, 4}) {
        tap("OperImg" + std::to_string(k));
        settle();
    }
    EXPECT_EQ(manage()->stepCount, 2);
    EXPECT_TRUE(widget("AnswerImg2")->isVisible());
    playedSounds.clear();
    tap("OperImg2");
    EXPECT_TRUE(playedSounds.empty()) << "a finished topic takes no more taps";

    ASSERT_TRUE(open(101801));
    for (int k : {2, 1, 2}) {
        tap("OperImg" + std::to_string(k));
    }
    EXPECT_EQ(special()->getPupilValues(), std::vector<int>({1, 2}));
    EXPECT_TRUE(atWidget(widget("AnswerImg2")->getPosition(), "OperImg2"));
    EXPECT_GT(widget("AnswerImg2")->getLocalZOrder(), widget("OperImg2")->getLocalZOrder()) << "marks show on top";
    EXPECT_FALSE(judged());
    ASSERT_TRUE(open(101801));
    for (int k : {3, 1, 4, 2}) {
        tap("OperImg" + std::to_string(k));
    }
    EXPECT_TRUE(judged());

    ASSERT_TRUE(open(101208));
    tap("OperImg2");
    tap("OperImg2");
    EXPECT_TRUE(atWidget(widget("AnswerImg6")->getPosition(), "ContImg2")) << "the second tap shows answer k + 4";
}

TEST_F(SpecialTopics, VoiceGatedTapsAndSwaps) {
    ASSERT_TRUE(open(101601));
    tap("OperImg2");
    EXPECT_NE(support::findByName("Content"), nullptr) << "the tip asks for the voice first";
    EXPECT_EQ(manage()->stepCount, 0);
    for (int k : {2, 2, 4}) {
        manage()->voiceBusy = true;
        tap("OperImg" + std::to_string(k));
    }
    EXPECT_EQ(manage()->stepCount, 2) << "the same picture twice counts once";
    EXPECT_TRUE(judged());

    ASSERT_TRUE(open(101802));
    const engine::Vec2 first = widget("OperImg1")->getPosition(), second = widget("OperImg2")->getPosition();
    EXPECT_FALSE(judged());
    tap("OperImg1");
    tap("OperImg1");
    tap("OperImg2");
    EXPECT_EQ(widget("OperImg1")->getPosition(), second);
    EXPECT_EQ(widget("OperImg2")->getPosition(), first);
    EXPECT_EQ(widget("OperImg1")->getTag(), 10002);
    EXPECT_FLOAT_EQ(widget("OperImg1")->getScale(), 1.f);
    support::click("Btn_Func3");
    support::stepFrames(1);
    EXPECT_TRUE(widget("AniImg1")->isVisible());
    EXPECT_EQ(manage()->stepCount, 1);
}

TEST_F(SpecialTopics, KeypadsWriteDigits) {
    ASSERT_TRUE(open(101901));
    EXPECT_FALSE(widget("ContImg2")->isVisible());
    tap("PanelImg1");
    ASSERT_TRUE(widget("ContImg2")->isVisible());
    playedSounds.clear();
    tap("OperImg4");
    tap("OperImg11");
    EXPECT_EQ(textOf("Content1"), "3");
    EXPECT_EQ(textOf("Content2"), "3") << "the digit itself";
    EXPECT_TRUE(playedSounds.empty());
    support::saveScreenshot("topics_special_101901");
    tap("OperImg8");
    tap("OperImg11");
    EXPECT_EQ(textOf("Content2"), "");
    EXPECT_TRUE(played("WrongCommon"));
    settle();

    ASSERT_TRUE(open(101902));
    tap("PanelImg2");
    for (int key : {2, 3, 4, 5}) {
        tap("OperImg" + std::to_string(key));
    }
    EXPECT_EQ(textOf("Content2"), "123");
    EXPECT_EQ(textOf("Content1"), "");
    tap("OperImg12");
    EXPECT_EQ(textOf("Content2"), "");
    tap("OperImg11");
    EXPECT_FALSE(widget("ContImg2")->isVisible());
}

TEST_F(SpecialTopics, OnlyARightVerdictCelebrates) {
    // Pictures dropped on targets (target 0: the picture tapped), then show answer where the drops are no verdict of
    // their own; a wrong answer, then a right one after reset. Every topic is complete from the start (no "Step").
    using Moves = std::vector<std::pair<int, int>>;
    const struct {
        int code;
        Moves wrong, right;
    } cases[] = {{101801, {{1, 0}}, {{3, 0}, {1, 0}, {4, 0}, {2, 0}}},
                 {101502, {{1, 1}}, {{1, 1}, {2, 2}}},
                 {101303, {{1, 1}}, {{1, 1}, {2, 2}}},
                 {101304, {{1, 3}}, {{3, 3}}},
                 {101504, {{2, 1}}, {{1, 1}}},
                 {101506, {{2, 1}}, {{1, 1}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(open(c.code));
        ValueMap topic = manage()->topics[manage()->currentTopic].asValueMap();
        topic["Step"] = Value(0);
        manage()->topics[manage()->currentTopic] = Value(topic);
        const bool showsAnswer = c.code == 101801 || c.code == 101502 || c.code == 101303;
        for (const Moves* moves : {&c.wrong, &c.right}) {
            playedSounds.clear();
            for (auto [picture, target] : *moves) {
                target ? (void)dragTo(picture, target) : tap("OperImg" + std::to_string(picture));
            }
            if (showsAnswer) {
                judged();
            }
            settle();
            const bool right = moves == &c.right;
            EXPECT_EQ(sounds("WrongCommon"), right ? 0 : 1);
            EXPECT_EQ(sounds("RightCommon"), right ? 2 : 0) << "the verdict's feedback, then the celebration";
            if (c.code == 101801 && !right) {
                support::saveScreenshot("topics_special_101801_wrong");
            }
            ASSERT_TRUE(support::click("Btn_Func2"));
            support::stepFrames(1);
        }
    }
}
