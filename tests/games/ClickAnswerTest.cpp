// The click-the-answer game through real touches: a round from Start to the result, and a round stopped early.
#include "games/ClickAnswer.h"
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

class ClickAnswerGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(3);
        writeGame();
        frame = openFrame();
        choosePupil(frame, 1);
        chosenId = GDataManager::getInstance()->students[frame->selectedStudent].id;
        press(frame, "StartBtn");
    }
    // Clicks the right choice of the question shown and waits for the answer to count.
    void answerRight() {
        const int before = frame->answeredCount;
        engine::Node* right = option(frame, answerOf(shownSlot(frame)));
        ASSERT_NE(right, nullptr);
        support::click(right);
        // A second click while the effect plays finds the game stopped.
        support::click(right);
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount != before; }));
        support::stepFrames(2);
        EXPECT_EQ(frame->answeredCount, before + 1);
    }
    GameLayer* frame = nullptr;
    int chosenId = -1;
};

} // namespace

TEST_F(ClickAnswerGame, RoundFromStartToTheRankBoard) {
    EXPECT_EQ(frame->state(), 2);
    EXPECT_TRUE(frame->running());
    EXPECT_FALSE(shown(frame, "StartBtn"));
    EXPECT_TRUE(shown(frame, "PauseBtn"));
    const int first = shownSlot(frame);
    ASSERT_GE(first, 0);

    // A wrong choice stops the clock while the feedback plays, then the same question waits again.
    support::click(option(frame, answerOf(first) % 4 + 1));
    EXPECT_FALSE(frame->running());
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_EQ(shownSlot(frame), first);

    answerRight();
    EXPECT_EQ(textOf(frame, "ScoreText"), "20");
    EXPECT_NE(shownSlot(frame), first);
    support::saveScreenshot("games_click_answer_play");

    for (int k = 0; k < 4; ++k) {
        answerRight();
    }
    EXPECT_FALSE(frame->running());
    EXPECT_TRUE(shown(frame, "LeftBtn"));
    expectWon(frame, chosenId, "games_click_answer_result");
    EXPECT_EQ(frame->state(), 3);
    EXPECT_FALSE(frame->running()) << "closing the board after a finished game changes nothing";
    EXPECT_EQ(GDataManager::getInstance()->students[frame->selectedStudent].id, chosenId);
}

TEST_F(ClickAnswerGame, StopEndsTheGameForGoodAndKeepsTheEarlierResult) {
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.gameScore = pupil.id == chosenId ? 100 : 0;
        pupil.gameTime = pupil.id == chosenId ? 30 : 0;
    }
    support::click(option(frame, answerOf(shownSlot(frame))));
    press(frame, "StopBtn");
    // The effect of the answer given before Stop ends after it: nothing is counted and nothing runs again.
    support::stepFrames(90);
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_FALSE(frame->running());
    EXPECT_EQ(frame->state(), 2);
    EXPECT_EQ(pupilWithId(chosenId).gameScore, 100);
    EXPECT_EQ(pupilWithId(chosenId).gameTime, 30);
    EXPECT_EQ(tipText(), "") << "a stopped round has no result to tell";

    frame->onStartBtn();
    EXPECT_FALSE(frame->running());
    press(frame, "RankBtn");
    EXPECT_FALSE(shown(frame, "StartBtn"));
    press(engine::Director::getInstance()->getRunningScene(), "CloseBtn");
    EXPECT_FALSE(frame->running()) << "the rank board does not revive an ended game";
    EXPECT_FALSE(shown(frame, "StartBtn"));
}

TEST_F(ClickAnswerGame, PauseStopsClicksAndStartShowsTheQuestionAgain) {
    const int slot = shownSlot(frame);
    press(frame, "PauseBtn");
    support::click(option(frame, answerOf(slot)));
    support::stepFrames(60);
    EXPECT_EQ(frame->answeredCount, 0);
    static_cast<engine::ui::Text*>(find(frame, "TitleText"))->setString("");
    press(frame, "StartBtn");
    EXPECT_EQ(shownSlot(frame), slot);
    EXPECT_TRUE(frame->running());
}
