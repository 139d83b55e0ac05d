// Tap-to-play, colour-fill, drag-sort and number pages of the demo lecture, answered through the touch dispatcher,
// judged by show answer and reset.
#include <gtest/gtest.h>

#include "TopicFixture.h"
#include "topics/ClickPlay.h"
#include "topics/DragSort.h"
#include "topics/FillNumSymbol.h"
#include "ui/Text.h"

using namespace topics_test;

namespace {

const char* const kLecture = "0101010212";

class TapAndFillPages : public TopicTest {
protected:
    bool openPage(int code) { return open(code, kLecture); }

    void reset() {
        ASSERT_TRUE(support::click("Btn_Func2"));
        support::stepFrames(1);
    }

    std::string blankText(int blank) const {
        auto* text = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(widget("PanelImg", blank), "Content"));
        return text ? text->getString() : "<no text>";
    }
};

} // namespace

TEST_F(TapAndFillPages, TapToPlayRevealsOnTheRightPictureAndWrongTapsNeverCount) {
    for (int code : {102, 103}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(openPage(code));
        tap("OperImg1");
        EXPECT_TRUE(played("WrongCommon.mp3"));
        tap("OperImg3");
        EXPECT_TRUE(widget("OperImg3")->isVisible()) << "taps wait for the wrong feedback";
        settle();
        EXPECT_EQ(manage()->stepCount, 0) << "a wrong tap is no step";
        tap("OperImg2");
        EXPECT_FALSE(widget("OperImg2")->isVisible());
        EXPECT_TRUE(widget("AnswerImg1")->isVisible());
        EXPECT_FALSE(widget("AniImg1")->isVisible()) << "the animation plays at the stage";
        EXPECT_TRUE(played("voice_c2.mp3")) << "the next step's content voice";
        ASSERT_TRUE(support::stepUntil([] { return manage()->isStepDone(); }));
        if (code == 102) {
            support::saveScreenshot("topics_tap_102_done");
        }
        reset();
        EXPECT_EQ(manage()->stepCount, 0);
        EXPECT_TRUE(widget("OperImg2")->isVisible());
    }
    // Feedback of another page still playing would drop this one's end: the wrong tap is ignored, not locking.
    ASSERT_TRUE(openPage(102));
    auto* play = dynamic_cast<ClickPlay*>(page());
    SFAnimation::getInstance()->playResultAnimation(true, nullptr);
    tap("OperImg1");
    EXPECT_FALSE(play->isBusy());
    settle();
    tap("OperImg1");
    EXPECT_TRUE(play->isBusy());
    settle();
    EXPECT_FALSE(play->isBusy());

    ASSERT_TRUE(openPage(101));
    tap("AniImg1");
    tap("AniImg2");
    EXPECT_TRUE(widget("AniImg2")->isVisible()) << "ignored while the first animation plays";
    ASSERT_TRUE(support::stepUntil([] { return manage()->stepCount == 1; }));
    tap("AniImg2");
    EXPECT_FALSE(widget("AniImg2")->isVisible());
    EXPECT_TRUE(played("voice_a2.mp3"));
    ASSERT_TRUE(support::stepUntil([] { return manage()->stepCount == 2; }));
    // The third picture's animation is not in the topic: its step ends once, on the next frame.
    ValueMap topic = manage()->topics[manage()->currentTopic].asValueMap();
    ValueMap animations = topic["Animations"].asValueMap();
    animations["Contents"] = Value(ValueVector{Value("TopicAni1")});
    topic["Animations"] = Value(animations);
    manage()->topics[manage()->currentTopic] = Value(topic);
    tap("AniImg3");
    support::stepFrames(10);
    EXPECT_EQ(manage()->stepCount, 3);
    EXPECT_FALSE(dynamic_cast<ClickPlay*>(page())->isBusy());
}

TEST_F(TapAndFillPages, ColourFillCoversARegionOnlyWithItsColour) {
    for (int code : {401, 402, 403}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(openPage(code));
        Node* first = widget("OperImg1");
        Node* second = widget("OperImg2");
        EXPECT_EQ(first->getPositionY() == second->getPositionY(), code == 403) << "a row for 403, else a column";
        EXPECT_EQ(first->getPositionX() == second->getPositionX(), code != 403);
        tap("OperImg3");
        tap("OperImg2");
        EXPECT_FLOAT_EQ(widget("OperImg2")->getScale(), 1.2f);
        EXPECT_FLOAT_EQ(widget("OperImg3")->getScale(), 1.f);
        // Regions want the swatches 2, 1 and 2.
        const engine::Vec2 region = widget("PanelImg1")->getPosition();
        tap("PanelImg1");
        EXPECT_TRUE(played("RightCommon.mp3"));
        EXPECT_FALSE(widget("PanelImg1")->isVisible());
        EXPECT_EQ(widget("AnswerImg1")->getPosition(), region);
        EXPECT_EQ(manage()->stepCount, 1);
        settle();
        tap("PanelImg2");
        EXPECT_TRUE(played("WrongCommon.mp3"));
        EXPECT_TRUE(widget("PanelImg2")->isVisible());
        EXPECT_EQ(manage()->stepCount, 1);
        settle();
        if (code == 401) {
            support::saveScreenshot("topics_colour_401_one_done");
        }
        reset();
        EXPECT_TRUE(widget("PanelImg1")->isVisible());
        EXPECT_FALSE(widget("AnswerImg1")->isVisible());
    }
}

TEST_F(TapAndFillPages, StackIsRightOnlyInTheAnswersOrder) {
    ASSERT_TRUE(openPage(901));
    const engine::Vec2 base = widget("PanelImg1")->getPosition();
    for (int picture : {3, 1, 4}) {
        dragTo(picture, 1);
    }
    EXPECT_EQ(widget("OperImg3")->getPosition(), base) << "the first one sits on the base";
    EXPECT_NEAR(widget("OperImg4")->getPositionY(), base.y + 2 * widget("OperImg3")->getContentSize().height, 0.5f);
    const engine::Vec2 stacked = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 0), stacked) << "a stacked picture dropped beside returns to its place";
    EXPECT_FALSE(judged()) << "picture 2 is still missing";
    dragTo(2, 1);
    support::saveScreenshot("topics_sort_901_stacked");
    EXPECT_TRUE(judged());
    dragTo(2, 1);
    EXPECT_FALSE(judged()) << "a picture stacked twice";
    reset();
    dragTo(1, 1);
    EXPECT_TRUE(dynamic_cast<DragSort*>(page())->getStack().size() == 1u) << "reset starts an empty stack";
}

TEST_F(TapAndFillPages, ColumnsTakeOneCopyAtTheirTopUpToSeven) {
    ASSERT_TRUE(openPage(902));
    auto* sort = dynamic_cast<DragSort*>(page());
    const size_t children = sort->getChildrenCount();
    const engine::Vec2 home = widget("OperImg2")->getPosition();
    dragTo(1, 3);
    EXPECT_EQ(dragTo(2, 3), home) << "the picture itself goes back";
    ASSERT_EQ(sort->getChildrenCount(), children + 2) << "one copy per drop";
    Node* top = sort->getChildren().back();
    Node* below = sort->getChildren().at(sort->getChildren().size() - 2);
    EXPECT_EQ(top->getTag(), widget("OperImg2")->getTag()) << "the new top is the dropped picture";
    EXPECT_EQ(below->getTag(), widget("OperImg1")->getTag()) << "the copy beneath stays as it was";
    EXPECT_NEAR(top->getPositionY() - below->getPositionY(), below->getContentSize().height, 0.5f);
    for (int k = 0; k < 6; ++k) {
        dragTo(3, 3);
    }
    EXPECT_EQ(sort->getColumn(3).size(), 7u);
    EXPECT_EQ(sort->getChildrenCount(), children + 7) << "the eighth drop adds nothing";
    dragTo(3, 12);
    support::saveScreenshot("topics_sort_902_columns");
    EXPECT_EQ(sort->getColumn(12).size(), 1u);
}

TEST_F(TapAndFillPages, FreeFillingIsJudgedByShowAnswerAndIgnoresWhatNoTableNames) {
    // Tiles 1-7 carry 3, 4, 7, 2, plus, minus, equals; blanks want 3 + 4 = 7.
    ASSERT_TRUE(openPage(701));
    dragTo(5, 1);
    EXPECT_EQ(blankText(1), "") << "a symbol on a number blank";
    for (auto [tile, blank] : {std::pair{1, 1}, {5, 2}, {2, 3}, {7, 4}}) {
        dragTo(tile, blank);
    }
    EXPECT_FALSE(judged()) << "the last blank is empty";
    widget("OperImg4")->setTag(TopicManage::kPieceTagBase + 21);
    dragTo(4, 5);
    EXPECT_EQ(blankText(5), "") << "no number text for 21";
    const engine::Vec2 home = widget("OperImg3")->getPosition();
    EXPECT_EQ(dragTo(3, 5), home) << "tiles always return";
    EXPECT_EQ(blankText(2) + blankText(4) + blankText(5), "+=7");
    support::saveScreenshot("topics_fill_701_done");
    EXPECT_TRUE(judged());
    EXPECT_TRUE(manage()->isStepDone());
    reset();
    EXPECT_EQ(blankText(1), "");
    EXPECT_EQ(dynamic_cast<FillNumSymbol*>(page())->getFilledValues(), std::vector<int>(5, 0));
}

TEST_F(TapAndFillPages, CheckedBlanksTakeOnlyTheirAnswer) {
    // Tiles 1-6 carry 2 to 7, the blanks want 3, 4 and 7; 707's tiles are 2, 4 and 6 for the answers 2 and 6.
    const std::tuple<int, int, int, const char*, bool> cases[] = {
        {703, 2, 1, "3", true}, {707, 3, 2, "+4", true}, {707, 1, 1, "6", true}, {710, 6, 3, "7", false}};
    for (const auto& [code, tile, blank, text, feedback] : cases) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(openPage(code));
        playedSounds.clear();
        dragTo(code == 707 ? 2 : 1, blank);
        EXPECT_EQ(blankText(blank), "") << "a wrong tile";
        EXPECT_EQ(played("WrongCommon.mp3"), feedback);
        settle();
        if (code == 703) {
            support::saveScreenshot("topics_fill_703_wrong");
        }
        dragTo(tile, blank);
        EXPECT_EQ(blankText(blank), text);
        EXPECT_EQ(manage()->stepCount, 1);
        EXPECT_EQ(played("RightCommon.mp3"), feedback);
        settle();
    }
}

TEST_F(TapAndFillPages, TallerWindowPutsTheColumnCopiesOnTheirColumn) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    ASSERT_TRUE(openPage(902));
    dragTo(2, 5);
    Node* copy = page()->getChildren().back();
    Node* column = widget("PanelImg5");
    EXPECT_EQ(copy->getParent()->convertToWorldSpace(copy->getPosition()),
              column->getParent()->convertToWorldSpace(column->getPosition()));
    support::saveScreenshot("topics_sort_902_taller_window");
}

TEST_F(TapAndFillPages, ARightShowAnswerCountsItsStepOnce) {
    for (int code : {701, 708, 713, 714}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        for (auto [tile, blank] : {std::pair{1, 1}, {5, 2}, {2, 3}, {7, 4}, {3, 5}}) {
            dragTo(tile, blank);
        }
        EXPECT_TRUE(judged() && judged() && judged()) << "three presses";
        EXPECT_EQ(manage()->stepCount, 1);
    }
}
