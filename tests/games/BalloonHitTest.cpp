// The balloon game through real touches: the right balloon flies up and bursts, a wrong balloon, a pause during a
// flight, Stop, and questions with fewer or more choices than balloons.
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

class BalloonHitGame : public GameTest {
protected:
    // The demo lecture's game, or the fixture's with n choices a question, all ten questions asked.
    void start(int n = 0) {
        makeClass(3);
        std::string options, lists;
        for (int k = 0; k < n; ++k) {
            options += "<string>opt1.png</string>";
        }
        for (int s = 0; s < 10; ++s) {
            lists += "<array>" + options + "</array>";
        }
        n ? writeGame("<key>SelectImgs</key><array>" + lists + "</array>", 10, 51) : useDemoGame("0101010104");
        frame = startGame();
    }
    GameLayer* frame = nullptr;
};

} // namespace

TEST_F(BalloonHitGame, RightBalloonFliesUpAndTheRoundEndsOnTheRankBoard) {
    start();
    const int choice = rightChoice(frame);
    ASSERT_GT(choice, 0);
    support::click(option(frame, choice % 4 + 1));
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);

    engine::Node* right = option(frame, choice);
    const engine::Vec2 home = right->getPosition();
    support::click(right);
    support::stepFrames(30);
    EXPECT_GT(right->getPositionY(), home.y + 100.f);
    support::saveScreenshot("games_balloon_hit_play");
    ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == 1; }));
    EXPECT_TRUE(right->isVisible());
    EXPECT_EQ(right->getPosition(), home) << "the flown balloon is back for the next question";
    winRound(frame, "games_balloon_hit_result");
}

TEST_F(BalloonHitGame, StartDuringAFlightWaitsForItAndStopEndsTheRound) {
    start();
    const std::string question = textOf(frame, "TitleText");
    engine::Node* right = option(frame, rightChoice(frame));
    ASSERT_NE(right, nullptr);
    const engine::Vec2 home = right->getPosition();
    support::click(right);
    support::stepFrames(20);
    press(frame, "PauseBtn");
    press(frame, "StartBtn");
    EXPECT_FALSE(frame->running()) << "the flying answer goes on first";
    ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == 1 && frame->running(); }));
    EXPECT_NE(textOf(frame, "TitleText"), question);
    EXPECT_EQ(right->getPosition(), home);

    press(frame, "StopBtn");
    EXPECT_TRUE(frame->ended());
    EXPECT_EQ(GDataManager::getInstance()->students[0].gameScore, 0);
}

TEST_F(BalloonHitGame, ChoicesBeyondTheFourBalloonsAreLeftOutAndMissingOnesLeaveABalloonAlone) {
    for (int n : {3, 6}) {
        SCOPED_TRACE(n);
        start(n);
        const std::string picture = static_cast<engine::ui::ImageView*>(find(frame, "OperImg4"))->getTextureFile();
        EXPECT_EQ(picture.find("opt1.png") != std::string::npos, n > 3) << picture;
        // The fourth balloon, right without a picture of its own, flies and comes home like the others.
        engine::Node* fourth = option(frame, 4);
        const engine::Vec2 home = fourth->getPosition();
        while (rightChoice(frame) != 4 && !HasFailure()) {
            answerRight(frame);
        }
        answerRight(frame);
        EXPECT_TRUE(fourth->isVisible());
        EXPECT_EQ(fourth->getPosition(), home);
        frame->removeFromParent();
    }
}
