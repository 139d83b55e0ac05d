// The cannon game through real touches: the right target fires the shot of its choice while the resting cannon
// hides, a wrong target, Stop, and shots the Game map does not name.
#include "games/GamesFixture.h"

class BigGunGame : public games_test::GameTest {};

TEST_F(BigGunGame, RightTargetFiresItsShotAndTheRoundEndsOnTheRankBoard) {
    makeClass(2);
    useDemoGame("0101010202");
    GameLayer* frame = startGame(1);
    engine::Node* cannon = find(frame, "ContImg1");
    const int choice = rightChoice(frame);
    ASSERT_GT(choice, 0);
    support::click(option(frame, choice % 4 + 1));
    EXPECT_TRUE(cannon->isVisible()) << "a wrong target fires nothing";
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));

    engine::Node* muzzle = find(frame, "AniImg1");
    const size_t before = muzzle->getParent()->getChildrenCount();
    support::click(option(frame, choice));
    support::stepFrames(20);
    EXPECT_FALSE(cannon->isVisible());
    EXPECT_EQ(muzzle->getParent()->getChildrenCount(), before + 1) << "the shot plays beside the firing point";
    support::saveScreenshot("games_big_gun_play");
    ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == 1; }));
    EXPECT_TRUE(cannon->isVisible());
    winRound(frame, "games_big_gun_result");
}

TEST_F(BigGunGame, ShotsMissingFromTheGameMapStillCountAndStopEndsTheRound) {
    makeClass(2);
    writeGame("<key>Animations</key><dict><key>Celebrate</key><string>TopicCelebrate</string></dict>", 5, 91);
    GameLayer* frame = startGame();
    answerRight(frame);
    answerRight(frame);
    EXPECT_EQ(frame->answeredCount, 2);
    support::click(option(frame, rightChoice(frame)));
    press(frame, "StopBtn");
    support::stepFrames(30);
    EXPECT_EQ(frame->answeredCount, 2) << "the shot fired before Stop counts nothing";
    EXPECT_TRUE(shown(frame, "ContImg1"));
    EXPECT_EQ(GDataManager::getInstance()->students[frame->selectedStudent].gameScore, 0);
}
