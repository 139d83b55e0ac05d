// The pair game of the demo lecture through real touches: the pieces pop in, a piece clicked twice stays chosen, two
// that differ go back, a click while a pair flies is ignored, the fourth pair ends the game; loads that fail or end
// after the game went are safe.
#include "games/Supperzzle.h"
#include "games/GamesFixture.h"
#include "render/TextureCache.h"

using games_test::GameTest;

namespace {

class SupperzzleGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(2);
        useDemoGame("0101010205");
    }
    Supperzzle* open() {
        frame = openFrame();
        auto* game = gameOf<Supperzzle>(frame);
        EXPECT_NE(game, nullptr);
        return game;
    }
    // The pieces still on the board with that tag.
    std::vector<engine::Node*> pair(Supperzzle* game, int tag) const {
        std::vector<engine::Node*> found;
        for (engine::Node* piece : game->pieces) {
            if (piece->isVisible() && piece->getTag() == tag) {
                found.push_back(piece);
            }
        }
        return found;
    }
    GameLayer* frame = nullptr;
};

} // namespace

TEST_F(SupperzzleGame, PiecesPopInAndPairsAreFound) {
    Supperzzle* game = open();
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(waitFor([&] { return shown(frame, "StartBtn"); }));
    EXPECT_EQ(game->popIndex, 8);
    for (engine::Node* piece : game->pieces) {
        EXPECT_GT(piece->getScale(), 0.f);
    }
    choosePupil(frame, 1);
    const int id = GDataManager::getInstance()->students[frame->selectedStudent].id;
    press(frame, "StartBtn");
    // One piece twice stays chosen; a piece of another pair sends both back, counting nothing.
    engine::Node* first = pair(game, 1)[0];
    support::click(first);
    support::click(first);
    EXPECT_FLOAT_EQ(first->getScale(), 1.2f);
    EXPECT_EQ(game->selectedPieces.size(), 1u);
    support::click(pair(game, 2)[0]);
    EXPECT_FLOAT_EQ(first->getScale(), 1.f);
    EXPECT_TRUE(game->selectedPieces.empty());
    EXPECT_EQ(frame->answeredCount, 0);

    for (int tag = 1; tag <= 4; ++tag) {
        const std::vector<engine::Node*> both = pair(game, tag);
        ASSERT_EQ(both.size(), 2u);
        support::click(both[0]);
        support::click(both[1]);
        if (tag == 1) { // a click while the pair flies is ignored after Pause and Start: only that pair is hidden
            press(frame, "PauseBtn");
            press(frame, "StartBtn");
            support::click(pair(game, 2)[0]);
        }
        EXPECT_FALSE(frame->running());
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == tag; })) << tag;
        EXPECT_FALSE(both[0]->isVisible());
        EXPECT_EQ(both[0]->getPosition(), both[1]->getPosition());
        if (tag == 2) {
            support::stepFrames(3);
            support::saveScreenshot("games_pairs_play");
        }
    }
    expectWon(frame, id, "games_pairs_result");
}

TEST_F(SupperzzleGame, LoadsThatFailOrEndAfterTheGameAreSafe) {
    // A frame that goes while its pictures load: the loads end without reaching its game.
    GameLayer* gone = openFrame();
    gone->removeFromParentAndCleanup(true);
    support::stepFrames(60);

    // A picture that never loads counts as loaded: the pieces still pop in.
    const std::string plist = resRoot() + "NetRes/0101010205/Topic.plist";
    std::string text = engine::FileUtils::getInstance()->getStringFromFile(plist);
    text.replace(text.find("pair_dots4.png"), 14, "missing.png");
    engine::FileUtils::getInstance()->writeStringToFile(text, plist);
    engine::Director::getInstance()->getTextureCache()->removeUnusedTextures();
    open();
    ASSERT_TRUE(waitFor([&] { return shown(frame, "StartBtn"); }));
}
