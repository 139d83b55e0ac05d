// The lucky wheel game through real touches: the stop button judges the quarter the wheel stops in, a wrong stop
// spins it again, and the countdown ends a game.
#include "games/LuckyTurn.h"
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

class LuckyTurnGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(2);
        writeGame("", 5, 81, 120);
        frame = openFrame();
        game = gameOf<LuckyTurn>(frame);
        ASSERT_NE(game, nullptr);
        ASSERT_NE(game->wheel, nullptr);
        choosePupil(frame, 1);
        pupilId = GDataManager::getInstance()->students[frame->selectedStudent].id;
        press(frame, "StartBtn");
    }
    // Lets the wheel turn into quarter, then presses the stop button.
    void stopIn(int quarter) {
        ASSERT_TRUE(support::stepUntil([&] { return LuckyTurn::quarterOf(game->wheel->getRotation()) == quarter; }));
        press(frame, "Button1");
    }
    GameLayer* frame = nullptr;
    LuckyTurn* game = nullptr;
    int pupilId = -1;
};

} // namespace

TEST(LuckyTurnQuarters, RotationGivesTheQuarter) {
    const std::pair<float, int> cases[] = {{45.f, 1},  {90.f, 5},   {91.f, 2},  {180.f, 5},  {200.f, 3},
                                           {300.f, 4}, {359.9f, 4}, {450.f, 5}, {720.5f, 5}, {-30.f, 5}};
    for (const auto& [rotation, quarter] : cases) {
        EXPECT_EQ(LuckyTurn::quarterOf(rotation), quarter) << rotation;
    }
}

TEST_F(LuckyTurnGame, StopsAreJudgedUntilFiveAreRight) {
    const int first = shownSlot(frame);
    const int wrong = answerOf(first) % 4 + 1;
    stopIn(wrong);
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_EQ(shownSlot(frame), first);
    EXPECT_EQ(game->wheel->getNumberOfRunningActions(), 1) << "a wrong stop spins the wheel again";

    // Pause and start leave one turn on the wheel; a stop while paused is not judged.
    press(frame, "PauseBtn");
    press(frame, "StartBtn");
    EXPECT_EQ(game->wheel->getNumberOfRunningActions(), 1);
    press(frame, "PauseBtn");
    stopIn(answerOf(first));
    support::stepFrames(60);
    EXPECT_EQ(frame->answeredCount, 0);
    press(frame, "StartBtn");

    for (int k = 1; k <= 5; ++k) {
        stopIn(answerOf(shownSlot(frame)));
        if (k == 1) {
            support::saveScreenshot("games_lucky_turn_play");
        }
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == k; })) << k;
        support::stepFrames(1);
    }
    expectWon(frame, pupilId, "games_lucky_turn_result");
}

TEST_F(LuckyTurnGame, TheCountdownEndsTheGame) {
    stopIn(answerOf(shownSlot(frame)));
    ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == 1; }));
    ASSERT_TRUE(support::stepUntil([&] { return frame->ended(); }, 200, 0.5f));
    EXPECT_EQ(frame->state(), 2);
    EXPECT_EQ(pupilWithId(pupilId).gameScore, 20);
    EXPECT_GE(pupilWithId(pupilId).gameTime, 59);
    stopIn(answerOf(shownSlot(frame)));
    support::stepFrames(60);
    EXPECT_EQ(frame->answeredCount, 1) << "nothing is judged after the time is up";
}
