// The sorting game of the demo lecture through real touches: items carried to the waiting point, a wrong class, the
// right class carried over and dropped in, a pause, and the result.
#include "games/Classify.h"
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

class ClassifyGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(3);
        useDemoGame("0101010102");
        frame = openFrame();
        game = gameOf<Classify>(frame);
        ASSERT_NE(game, nullptr);
        choosePupil(frame, 2);
        chosenId = GDataManager::getInstance()->students[frame->selectedStudent].id;
        press(frame, "StartBtn");
        arrive();
    }
    // Steps until the carrier and the item stand at the waiting point.
    void arrive() {
        ASSERT_TRUE(support::stepUntil([&] { return item()->getPosition() == waiting(); }));
        EXPECT_EQ(carrier()->getPosition(), waiting());
    }
    engine::Node* item() const { return find(frame, "QImg"); }
    engine::Node* carrier() const { return find(frame, "AniImg1"); }
    engine::Vec2 waiting() const { return find(frame, "PosNode")->getPosition(); }
    // The target of the item's class (right) or of the other one.
    engine::Node* target(bool right) const {
        const bool odd = item()->getTag() % 2 == 1;
        return find(frame, odd == right ? "OperImg1" : "OperImg2");
    }
    GameLayer* frame = nullptr;
    Classify* game = nullptr;
    int chosenId = -1;
};

} // namespace

TEST_F(ClassifyGame, ItemsAreSortedByClassToTheResult) {
    const int first = item()->getTag();
    ASSERT_GE(first, 1);
    support::saveScreenshot("games_classify_play");

    // The wrong class: feedback, then the same item waits where it stood.
    support::click(target(false));
    EXPECT_FALSE(frame->running());
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_EQ(item()->getTag(), first);
    EXPECT_EQ(item()->getPosition(), waiting());

    for (int k = 1; k <= 5; ++k) {
        engine::Node* right = target(true);
        support::click(right);
        support::click(right);
        // Carried over the target, the carrier gone for the effect, then dropped in.
        ASSERT_TRUE(support::stepUntil([&] { return !carrier()->isVisible(); }));
        EXPECT_FLOAT_EQ(item()->getPositionX(), right->getPositionX());
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == k; })) << k;
        EXPECT_EQ(frame->answeredCount, k) << "a second click while carrying is ignored";
        if (k < 5) {
            EXPECT_TRUE(carrier()->isVisible());
            arrive();
        }
    }
    expectWon(frame, chosenId, "games_classify_result");
}

TEST_F(ClassifyGame, StartAfterPauseBringsTheSameItemFromHomeAgain) {
    const int tag = item()->getTag();
    const engine::Vec2 home = game->itemHome;
    press(frame, "PauseBtn");
    support::click(target(true));
    support::stepFrames(40);
    EXPECT_EQ(frame->answeredCount, 0);
    support::click(find(frame, "StartBtn"));
    EXPECT_EQ(item()->getPosition(), home);
    EXPECT_EQ(carrier()->getPosition(), game->carrierHome);
    EXPECT_EQ(item()->getTag(), tag);
    arrive();

    // Stop during the carry: the drop that follows counts nothing and nothing runs again.
    support::click(target(true));
    press(frame, "StopBtn");
    support::stepFrames(150);
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_FALSE(frame->running());
}
