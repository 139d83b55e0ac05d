// The puzzle game through real touches: ten tiles go dark at the first start, right answers uncover them in the
// order drawn, a resume leaves them as they are, and Stop ends the game.
#include <set>

#include "games/GamesFixture.h"
#include "games/Puzzle.h"

using games_test::GameTest;

namespace {

const engine::Color3B kDark(77, 77, 77);

class PuzzleGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(4);
        std::string tiles = "<string>Games/PuzzleFrame.png</string>";
        for (int k = 1; k <= 16; ++k) {
            tiles += "<string>Games/PuzzleTile" + std::to_string(k) + ".png</string>";
        }
        writeGame("<key>ContImgs</key><array>" + tiles + "</array>", 5, 61, 120);
        frame = openFrame();
        game = gameOf<Puzzle>(frame);
        ASSERT_NE(game, nullptr);
        choosePupil(frame, 3);
        pupilId = GDataManager::getInstance()->students[frame->selectedStudent].id;
        press(frame, "StartBtn");
    }
    // Tiles (entries of contImgs) that are dark now.
    std::set<int> darkTiles() const {
        std::set<int> out;
        for (size_t i = 0; i < game->contImgs.size(); ++i) {
            if (game->contImgs[i]->getColor() == kDark) {
                out.insert(static_cast<int>(i));
            }
        }
        return out;
    }
    void answerRight(int count) {
        support::click(option(frame, answerOf(shownSlot(frame))));
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == count; })) << count;
        support::stepFrames(40);
    }
    GameLayer* frame = nullptr;
    Puzzle* game = nullptr;
    int pupilId = -1;
};

} // namespace

TEST_F(PuzzleGame, RightAnswersUncoverTheTilesInDrawnOrder) {
    ASSERT_EQ(game->contImgs.size(), 17u);
    const std::vector<int> drawn = game->hiddenTiles;
    ASSERT_EQ(drawn.size(), 10u);
    EXPECT_EQ(darkTiles(), std::set<int>(drawn.begin(), drawn.end()));
    EXPECT_EQ(darkTiles().count(0), 0u) << "the frame is never a tile";

    // A wrong answer uncovers nothing; a resume shows the question again and leaves the picture as it is.
    const int first = shownSlot(frame);
    support::click(option(frame, answerOf(first) % 4 + 1));
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    press(frame, "PauseBtn");
    press(frame, "StartBtn");
    EXPECT_EQ(shownSlot(frame), first);
    EXPECT_EQ(game->hiddenTiles, drawn);

    answerRight(1);
    answerRight(2);
    EXPECT_EQ(game->contImgs[drawn[0]]->getColor(), engine::Color3B::WHITE);
    EXPECT_EQ(game->contImgs[drawn[1]]->getColor(), engine::Color3B::WHITE);
    EXPECT_EQ(darkTiles(), std::set<int>(drawn.begin() + 2, drawn.end()));
    EXPECT_EQ(textOf(frame, "ScoreText"), "40");
    support::saveScreenshot("games_puzzle_play");

    // Stop while the effect of a right answer plays: the answer and its tile stay as they were.
    support::click(option(frame, answerOf(shownSlot(frame))));
    press(frame, "StopBtn");
    support::stepFrames(60);
    EXPECT_EQ(frame->answeredCount, 2);
    EXPECT_EQ(game->contImgs[drawn[2]]->getColor(), kDark);
    EXPECT_EQ(frame->state(), 2);
    EXPECT_EQ(pupilWithId(pupilId).gameScore, 0);
}
