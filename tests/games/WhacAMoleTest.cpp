// The whack-a-mole game through real touches: moles pop up with the answer pictures, wrong and right hits and the
// result.
#include <set>

#include "games/GamesFixture.h"
#include "games/WhacAMole.h"

using games_test::GameTest;

namespace {

class WhacAMoleGame : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeClass(2);
        std::string lists;
        for (int s = 0; s < 10; ++s) {
            lists += "<array><string>opt1.png</string><string>opt2.png</string><string>opt3.png</string>"
                     "<string>opt4.png</string></array>";
        }
        writeGame("<key>AnswerImgs</key><array>" + lists + "</array>", 5, 31, 100);
        frame = openFrame();
        for (engine::Node* child : frame->getChildren()) {
            game = game ? game : dynamic_cast<WhacAMole*>(child);
        }
        ASSERT_NE(game, nullptr);
        choosePupil(frame, 0);
        press(frame, "StartBtn");
        support::stepFrames(20);
    }
    engine::Node* mole(int hole) const { return find(frame, "OperImg" + std::to_string(hole)); }
    // The popped-up mole whose answer number is number.
    engine::Node* moleWith(int number) const {
        for (int hole : game->moleHoles) {
            if (mole(hole)->getTag() == number) {
                return mole(hole);
            }
        }
        return nullptr;
    }
    GameLayer* frame = nullptr;
    WhacAMole* game = nullptr;
};

} // namespace

TEST_F(WhacAMoleGame, MolesPopUpAndTheRightHitCounts) {
    ASSERT_EQ(game->moleHoles.size(), 4u);
    EXPECT_EQ(std::set<int>(game->moleHoles.begin(), game->moleHoles.end()).size(), 4u);
    for (int hole = 1; hole <= 8; ++hole) {
        const auto used = std::find(game->moleHoles.begin(), game->moleHoles.end(), hole);
        const int expected = used == game->moleHoles.end() ? 0 : static_cast<int>(used - game->moleHoles.begin()) + 1;
        EXPECT_EQ(mole(hole)->getTag(), expected) << hole;
        if (expected) {
            EXPECT_EQ(mole(hole)->getPosition(), find(frame, "UpNode" + std::to_string(hole))->getPosition());
        }
    }
    support::saveScreenshot("games_whack_a_mole_play");

    const int answer = answerOf(shownSlot(frame));
    support::click(moleWith(answer % 4 + 1));
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);
    // A mole that stayed in its hole carries no answer.
    int spare = 1;
    while (std::count(game->moleHoles.begin(), game->moleHoles.end(), spare)) {
        ++spare;
    }
    support::click(mole(spare));
    ASSERT_TRUE(support::stepUntil([&] { return frame->running(); }));
    EXPECT_EQ(frame->answeredCount, 0);

    for (int k = 1; k <= 5; ++k) {
        support::click(moleWith(answerOf(shownSlot(frame))));
        ASSERT_TRUE(support::stepUntil([&] { return frame->answeredCount == k; })) << k;
        support::stepFrames(20);
    }
    EXPECT_EQ(frame->state(), 3);
    ASSERT_TRUE(support::stepUntil([] { return !tipText().empty(); }));
    support::saveScreenshot("games_whack_a_mole_result");
    EXPECT_EQ(GDataManager::getInstance()->students[0].gameScore, 100);
}

TEST_F(WhacAMoleGame, StartAfterPauseSendsTheMolesHome) {
    const std::vector<int> holes = game->moleHoles;
    const std::vector<engine::Vec2> homes = game->moleHomes;
    const int slot = shownSlot(frame);
    press(frame, "PauseBtn");
    press(frame, "StartBtn");
    EXPECT_EQ(shownSlot(frame), slot);
    for (size_t i = 0; i < holes.size(); ++i) {
        const bool again = std::count(game->moleHoles.begin(), game->moleHoles.end(), holes[i]) > 0;
        if (!again) {
            EXPECT_EQ(mole(holes[i])->getPosition(), homes[i]) << holes[i];
            EXPECT_EQ(mole(holes[i])->getTag(), 0);
        }
    }
}
