// The rank board: the order of the game results, the time text and the close callback.
#include "tools/RankLayer.h"
#include "tools/ToolsFixture.h"

using tools_test::ToolsTest;

namespace {

class RankBoard : public ToolsTest {
protected:
    static void setResults(const std::vector<std::pair<int, int>>& scoreAndTime) {
        makeClass(static_cast<int>(scoreAndTime.size()));
        for (size_t i = 0; i < scoreAndTime.size(); ++i) {
            GDataManager::getInstance()->students[i].gameScore = scoreAndTime[i].first;
            GDataManager::getInstance()->students[i].gameTime = scoreAndTime[i].second;
        }
    }
    engine::Node* row(RankLayer* board, int k) { return find(board, "RankPanel" + std::to_string(k)); }
};

} // namespace

TEST_F(RankBoard, HigherScoreFirstThenShorterTimeAndTheCloseCallback) {
    setResults({{0, 0}, {30, 95}, {10, 40}, {30, 80}, {30, 125}});
    RankLayer* board = open<RankLayer>(103);
    EXPECT_EQ(numbers(), (std::vector<int>{4, 2, 5, 3, 1}));
    struct Row {
        const char* place;
        const char* score;
        const char* time;
        bool medal;
    };
    const Row expected[] = {{"1", "30", "01:20", true},
                            {"2", "30", "01:35", true},
                            {"3", "30", "02:05", true},
                            {"4", "10", "00:40", false},
                            {"5", "0", "00:00", false}};
    for (int k = 1; k <= 5; ++k) {
        const Row& want = expected[k - 1];
        EXPECT_EQ(textOf(row(board, k), "RandText"), want.place);
        EXPECT_EQ(textOf(row(board, k), "ScoreText"), want.score);
        EXPECT_EQ(textOf(row(board, k), "TimeText"), want.time);
        EXPECT_EQ(shown(row(board, k), "RandImage"), want.medal) << k;
    }
    support::saveScreenshot("tools_rank");

    board->retain();
    int closed = 0;
    board->closeCallback = [&] { ++closed; };
    press(board, "CloseBtn");
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(board->getParent(), nullptr);
    board->release();
}
