// The score and rank boards' pages: turns stop at both ends, the last page shows only its rows, and an empty class
// stays on "1/0" with every row hidden and nothing written.
#include "tools/RankLayer.h"
#include "tools/ScoreLayer.h"
#include "tools/ToolsFixture.h"

using tools_test::ToolsTest;

namespace {

class PagedBoards : public ToolsTest {};

} // namespace

TEST_F(PagedBoards, TurnsStopAtBothEndsAndAnEmptyClassShowsNoRows) {
    // Eleven pupils make three pages; the last shows lastRows rows, the first of them at place lastPlace.
    struct Board {
        bool rank;
        const char* row;
        int rows, lastRows;
        const char* lastPlace;
    };
    for (const Board& b : {Board{false, "RandPanel", 4, 3, "9"}, Board{true, "RankPanel", 5, 1, "11"}}) {
        const auto openBoard = [&b] {
            return b.rank ? static_cast<engine::Node*>(open<RankLayer>(103)) : open<ScoreLayer>();
        };
        const auto shownRows = [&b](engine::Node* board) {
            int count = 0;
            for (int k = 1; k <= b.rows; ++k) {
                count += find(board, b.row + std::to_string(k))->isVisible() ? 1 : 0;
            }
            return count;
        };
        makeClass(11);
        engine::Node* board = openBoard();
        std::string pages;
        for (const char* button : {"UpBtn", "DownBtn", "DownBtn", "DownBtn"}) {
            press(board, button);
            pages += textOf(board, "PageText") + " ";
        }
        EXPECT_EQ(pages, "1/3 2/3 3/3 3/3 ") << b.row;
        EXPECT_EQ(shownRows(board), b.lastRows) << b.row;
        engine::Node* first = find(board, std::string(b.row) + "1");
        EXPECT_EQ(textOf(first, "RandText"), b.lastPlace) << b.row;
        EXPECT_FALSE(shown(first, "RandImage")) << b.row;
        press(board, "UpBtn");
        EXPECT_EQ(shownRows(board), b.rows) << b.row;
        board->removeFromParent();

        makeClass(0);
        board = openBoard();
        press(board, "DownBtn");
        press(board, "UpBtn");
        EXPECT_EQ(textOf(board, "PageText"), "1/0") << b.row;
        EXPECT_EQ(shownRows(board), 0) << b.row;
        EXPECT_TRUE(GDataManager::getInstance()->students.empty());
        board->removeFromParent();
    }
}
