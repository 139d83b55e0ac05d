// The rank board: the order of the game results, the time text, pages and the empty class.
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

TEST_F(RankBoard, HigherScoreFirstThenShorterTime) {
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
}

TEST_F(RankBoard, PagesOfFiveAndTheCloseCallback) {
    setResults(std::vector<std::pair<int, int>>(11, {5, 30}));
    RankLayer* board = open<RankLayer>(103);
    board->retain();
    int closed = 0;
    board->closeCallback = [&] { ++closed; };
    EXPECT_EQ(textOf(board, "PageText"), "1/3");
    press(board, "DownBtn");
    press(board, "DownBtn");
    press(board, "DownBtn");
    EXPECT_EQ(textOf(board, "PageText"), "3/3");
    EXPECT_TRUE(row(board, 1)->isVisible());
    EXPECT_FALSE(row(board, 2)->isVisible());
    EXPECT_EQ(textOf(row(board, 1), "RandText"), "11");
    EXPECT_FALSE(shown(row(board, 1), "RandImage"));
    press(board, "CloseBtn");
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(board->getParent(), nullptr);
    board->release();
}

TEST_F(RankBoard, EmptyClassStaysOnPageOneWithNoRows) {
    makeClass(0);
    RankLayer* board = open<RankLayer>(103);
    for (const char* button : {"UpBtn", "DownBtn"}) {
        press(board, button);
        EXPECT_EQ(textOf(board, "PageText"), "1/0") << button;
        EXPECT_EQ(board->getCurrentPage(), 1);
    }
    for (int k = 1; k <= 5; ++k) {
        EXPECT_FALSE(row(board, k)->isVisible());
    }
}
