// The dragon game through real touches: a wrong target plays the failure animation, ten right ones the closing
// animation, and the result reaches the rank board.
#include "games/Dragon.h"
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

class DragonGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(3);
        std::string animations =
            "<key>Animations</key><dict><key>Celebrate</key><string>GameCelebrate</string>"
            "<key>Effect</key><string>DragonFail</string><key>Effect5</key><string>DragonWin</string>";
        for (int k = 1; k <= 4; ++k) {
            animations +=
                "<key>Effect" + std::to_string(k) + "</key><string>DragonHit" + std::to_string(k) + "</string>";
        }
        writeGame(animations + "</dict>", 10, 111);
        frame = openFrame();
        game = gameOf<Dragon>(frame);
        ASSERT_NE(game, nullptr);
        choosePupil(frame, 0);
        pupilId = GDataManager::getInstance()->students[frame->selectedStudent].id;
        press(frame, "StartBtn");
    }
    GameLayer* frame = nullptr;
    Dragon* game = nullptr;
    int pupilId = -1;
};

} // namespace

TEST_F(DragonGame, WrongTargetsFailAndTheTenthRightOneCloses) {
    ASSERT_NE(game->restFigure, nullptr);
    const int first = shownSlot(frame);
    support::click(option(frame, answerOf(first) % 4 + 1));
    EXPECT_FALSE(game->restFigure->isVisible()) << "the failure animation takes the dragon's place";
    EXPECT_FALSE(frame->running());
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_TRUE(game->restFigure->isVisible());
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_EQ(shownSlot(frame), first);

    for (int k = 1; k <= 10; ++k) {
        support::click(option(frame, answerOf(shownSlot(frame))));
        EXPECT_FALSE(game->restFigure->isVisible());
        if (k == 2) {
            support::stepFrames(4);
            support::saveScreenshot("games_dragon_play");
        }
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == k; })) << k;
        EXPECT_EQ(game->restFigure->isVisible(), k < 10) << "the closing animation keeps the dragon away";
    }
    expectWon(frame, pupilId, "games_dragon_result");
}

TEST_F(DragonGame, StopDuringAnAnimationEndsTheGame) {
    support::click(option(frame, answerOf(shownSlot(frame))));
    press(frame, "StopBtn");
    support::stepFrames(90);
    EXPECT_EQ(frame->answeredCount, 0) << "an animation ending after the game counts nothing";
    EXPECT_TRUE(game->restFigure->isVisible());
    EXPECT_EQ(frame->state(), 2);
    EXPECT_FALSE(frame->running());
}
