// The tree-planting game through real touches: every second right answer waters the tree and grows a stage
// whose last frame stays, points after the growth, a wrong target, and a tree missing from the layout.
#include "games/PlantTrees.h"
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

constexpr int kKeptFrameTag = 10086;

class PlantTreesGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(4);
        useDemoGame("0101010203");
        frame = startGame(2);
    }
    int keptFrames() const {
        int count = 0;
        for (engine::Node* child : find(frame, "Garden")->getChildren()) {
            count += child->getTag() == kKeptFrameTag;
        }
        return count;
    }
    GameLayer* frame = nullptr;
};

} // namespace

TEST_F(PlantTreesGame, EverySecondAnswerGrowsTheTreeBeforeItsPointsCount) {
    engine::Node* tree = find(frame, "AniImg1");
    ASSERT_GT(rightChoice(frame), 0);
    support::click(option(frame, rightChoice(frame) % 4 + 1));
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);

    answerRight(frame);
    EXPECT_EQ(textOf(frame, "ScoreText"), "20") << "an odd answer scores at once";
    support::click(option(frame, rightChoice(frame)));
    ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == 2; }));
    EXPECT_EQ(frame->score, 20.f) << "the points wait for the growth";
    support::stepFrames(15);
    support::saveScreenshot("games_plant_trees_play");
    support::stepFrames(30);
    EXPECT_FALSE(tree->isVisible());
    ASSERT_TRUE(support::stepUntil([&] { return frame->score == 40.f; }));
    EXPECT_EQ(keptFrames(), 1);
    answerRight(frame);
    answerRight(frame);
    EXPECT_EQ(keptFrames(), 1) << "stage 2 replaces the last frame of stage 1";
    winRound(frame, "games_plant_trees_result");
}

TEST_F(PlantTreesGame, WithoutTheTreeTheAnswersStillCountUntilStop) {
    find(frame, "AniImg1")->removeFromParent();
    answerRight(frame);
    answerRight(frame);
    EXPECT_EQ(frame->score, 40.f);
    EXPECT_EQ(keptFrames(), 0);
    press(frame, "StopBtn");
    EXPECT_TRUE(frame->ended());
}
