// The board game of the demo lecture through real touches: a wrong answer leaves the piece, each right answer
// walks it one cell on, and the eighth ends the game; a walk whose animation is missing still counts.
#include "games/AutoChess.h"
#include "games/GameManager.h"
#include "games/GamesFixture.h"

using games_test::GameTest;

namespace {

constexpr int kLastFrameTag = 10086;

class AutoChessGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(2);
        useDemoGame("0101010106");
    }
    void start() {
        frame = openFrame();
        game = gameOf<AutoChess>(frame);
        ASSERT_NE(game, nullptr);
        choosePupil(frame, 0);
        chosenId = GDataManager::getInstance()->students[0].id;
        press(frame, "StartBtn");
    }
    // The option holding the answer of the question shown, or another one.
    engine::Node* choice(bool right) const {
        const engine::ValueVector questions = GameManager::getInstance()->getQuestions();
        const std::string shown = textOf(frame, "TitleText");
        for (size_t slot = 0; slot < questions.size(); ++slot) {
            if (questions[slot].asString() == shown) {
                const int answer = GameManager::getInstance()->getAnswers()[slot];
                return option(frame, right ? answer : answer % 4 + 1);
            }
        }
        return nullptr;
    }
    // The stills of finished walks beside the piece.
    int stills() const {
        int count = 0;
        for (engine::Node* child : piece()->getParent()->getChildren()) {
            count += child->getTag() == kLastFrameTag;
        }
        return count;
    }
    engine::Node* piece() const { return find(frame, "AniImg"); }
    engine::Vec2 standOn(int cell) const {
        engine::Node* at = find(frame, "ContImg" + std::to_string(cell));
        return at->getPosition() + engine::Vec2(0, piece()->getContentSize().height / 2);
    }
    GameLayer* frame = nullptr;
    AutoChess* game = nullptr;
    int chosenId = -1;
};

} // namespace

TEST_F(AutoChessGame, EachRightAnswerWalksThePieceOneCell) {
    start();
    const engine::Vec2 start = piece()->getPosition();
    support::click(choice(false));
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);
    EXPECT_TRUE(piece()->isVisible());
    EXPECT_EQ(piece()->getPosition(), start);

    for (int k = 1; k <= 8; ++k) {
        support::click(choice(true));
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == k; })) << k;
        EXPECT_FALSE(piece()->isVisible());
        // The walk ends on cell k; its last frame is the one still left on the board.
        ASSERT_TRUE(support::stepUntil([&] { return game->pieceHome == standOn(k); })) << k;
        support::stepFrames(2);
        EXPECT_EQ(stills(), 1) << k;
        if (k == 3) {
            support::saveScreenshot("games_auto_chess_play");
        }
    }
    expectWon(frame, chosenId, "games_auto_chess_result");
}

TEST_F(AutoChessGame, AWalkWithoutItsAnimationStillCounts) {
    const std::string plist = resRoot() + "NetRes/0101010106/Topic.plist";
    std::string text = engine::FileUtils::getInstance()->getStringFromFile(plist);
    text.replace(text.find("ChessAction1"), 12, "NoSuchAction");
    engine::FileUtils::getInstance()->writeStringToFile(text, plist);
    start();
    support::click(choice(true));
    ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == 1; }));
    ASSERT_TRUE(support::stepUntil([&] { return piece()->getPosition() == standOn(1); }));
    EXPECT_TRUE(piece()->isVisible()) << "the piece walks itself";
    EXPECT_EQ(stills(), 0);
    EXPECT_TRUE(frame->running());
}
