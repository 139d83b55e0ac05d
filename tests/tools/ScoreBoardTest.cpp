// The score board: the pupil and group buttons, the sort after a change, the group view and the grouping scene.
#include "scenes/GroupScene.h"
#include "tools/ScoreLayer.h"
#include "tools/ToolsFixture.h"

using tools_test::ToolsTest;

namespace {

class ScoreBoard : public ToolsTest {
protected:
    static GroupScene* runningGroupScene() {
        return dynamic_cast<GroupScene*>(engine::Director::getInstance()->getRunningScene());
    }
    engine::Node* row(ScoreLayer* board, int k) { return find(board, "RandPanel" + std::to_string(k)); }
    // The row's plus or minus button.
    void pressInRow(ScoreLayer* board, int k, const std::string& name) { press(row(board, k), name); }
    int visibleIcons(engine::Node* panel) {
        int count = 0;
        for (int k = 1; k <= 10; ++k) {
            count += shown(panel, "IconImg" + std::to_string(k)) ? 1 : 0;
        }
        return count;
    }
};

} // namespace

TEST_F(ScoreBoard, PupilPointsResortAndTurnToThePupilsPage) {
    makeClass(9, {1, 1, 1, 1, 1, 1, 0, 0, 0});
    ScoreLayer* board = open<ScoreLayer>();
    press(board, "DownBtn");
    // Place 6 takes a point and rises to place 1: page 1 shows it first, marked.
    pressInRow(board, 2, "AddBtn");
    EXPECT_EQ(numbers(), (std::vector<int>{6, 1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(textOf(board, "PageText"), "1/3");
    EXPECT_TRUE(shown(row(board, 1), "SelectImg"));
    EXPECT_FALSE(shown(row(board, 2), "SelectImg"));
    EXPECT_EQ(textOf(row(board, 1), "ScoreText"), "2");
    // Place 4 loses its point and falls behind the equal scores to place 6, on page 2.
    pressInRow(board, 4, "MinBtn");
    EXPECT_EQ(numbers(), (std::vector<int>{6, 1, 2, 4, 5, 3, 7, 8, 9}));
    EXPECT_EQ(textOf(board, "PageText"), "2/3");
    EXPECT_TRUE(shown(row(board, 2), "SelectImg"));
    EXPECT_EQ(textOf(row(board, 2), "RandText"), "6");
    EXPECT_FALSE(shown(row(board, 1), "RandImage"));
}

TEST_F(ScoreBoard, ScoresStopAtZeroIconsShowUpToTenAndReturnCloses) {
    makeClass(3, {0, 12, 3});
    ScoreLayer* board = open<ScoreLayer>();
    EXPECT_EQ(visibleIcons(row(board, 1)), 0);
    EXPECT_EQ(visibleIcons(row(board, 2)), 10);
    EXPECT_EQ(visibleIcons(row(board, 3)), 3);
    EXPECT_TRUE(shown(row(board, 3), "RandImage"));
    pressInRow(board, 1, "MinBtn");
    // Still re-sorted, and the unchanged pupil is marked on its new place.
    EXPECT_EQ(numbers(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(GDataManager::getInstance()->students[2].score, 0);
    EXPECT_TRUE(shown(row(board, 3), "SelectImg"));
    EXPECT_EQ(textOf(row(board, 3), "ScoreText"), "0");
    // Without groups the board offers grouping instead of group buttons.
    EXPECT_TRUE(shown(board, "GoGroupBtn"));
    EXPECT_FALSE(shown(board, "GroupBtn1"));
    support::saveScreenshot("tools_score_pupil");
    board->retain();
    press(board, "Btn_Return");
    support::stepFrames(30);
    EXPECT_EQ(board->getParent(), nullptr);
    board->release();
}

TEST_F(ScoreBoard, GroupsHaveTheirOwnScoresAndView) {
    GDataManager::getInstance()->groupCount = 3;
    CommonTools::getInstance()->groupScores = {0, 2, 0, 7};
    makeClass(7, {1, 0, 4, 2, 0, 3, 6}, {1, 2, 1, 2, 1, 3, 2});
    ScoreLayer* board = open<ScoreLayer>();
    EXPECT_FALSE(shown(board, "GoGroupBtn"));
    EXPECT_TRUE(shown(board, "GroupBtn3"));
    EXPECT_FALSE(shown(board, "GroupBtn4"));
    EXPECT_EQ(textOf(find(board, "GroupBtn2"), "ScoreText"), "2");

    // Group 1 minus: its score stays 0, members above 0 lose a point; the view turns to group 1.
    press(find(board, "GroupBtn1"), "MinBtn");
    EXPECT_EQ(CommonTools::getInstance()->groupScores[0], 0);
    EXPECT_EQ(board->getGroupFilter(), 1);
    EXPECT_TRUE(dynamic_cast<engine::ui::Widget*>(find(board, "GroupBtn1"))->isHighlighted());
    EXPECT_EQ(textOf(row(board, 1), "ScoreText"), "3");
    EXPECT_EQ(textOf(row(board, 2), "ScoreText"), "0");
    EXPECT_EQ(textOf(row(board, 3), "ScoreText"), "0");
    EXPECT_FALSE(row(board, 4)->isVisible());
    EXPECT_EQ(textOf(board, "PageText"), "1/1");

    // Group 2 plus: its own counter and every member.
    press(find(board, "GroupBtn2"), "AddBtn");
    EXPECT_EQ(CommonTools::getInstance()->groupScores[1], 3);
    EXPECT_EQ(textOf(find(board, "GroupBtn2"), "ScoreText"), "3");
    EXPECT_EQ(textOf(row(board, 1), "ScoreText"), "7");
    EXPECT_EQ(textOf(row(board, 3), "RandText"), "3");
    EXPECT_TRUE(shown(row(board, 3), "RandImage"));

    // A pupil's own plus in the group view changes the pupil but not the group's counter.
    pressInRow(board, 3, "AddBtn");
    EXPECT_EQ(CommonTools::getInstance()->groupScores[1], 3);
    EXPECT_EQ(textOf(row(board, 3), "ScoreText"), "2");
    EXPECT_TRUE(shown(row(board, 3), "SelectImg"));
    support::saveScreenshot("tools_score_group");

    press(board, "AllBtn");
    EXPECT_EQ(board->getGroupFilter(), 0);
    EXPECT_FALSE(dynamic_cast<engine::ui::Widget*>(find(board, "GroupBtn2"))->isHighlighted());
    EXPECT_EQ(textOf(board, "PageText"), "1/2");
}

TEST_F(ScoreBoard, GroupingSceneReturnRebuildsTheBoardWithTheGroups) {
    makeClass(4, {3, 2, 1, 0});
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.isSign = true;
    }
    ScoreLayer* board = open<ScoreLayer>();
    press(board, "DownBtn");
    press(board, "GoGroupBtn");
    ASSERT_TRUE(support::stepUntil([] { return runningGroupScene(); }, 120));
    EXPECT_EQ(GDataManager::getInstance()->enteredFrom, 3);
    EXPECT_FALSE(shown(board, "GroupBtn1"));

    // The grouping scene leaves by popping; its release runs the board's refresh.
    GDataManager::getInstance()->groupCount = 2;
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.group = 1 + pupil.number % 2;
    }
    runningGroupScene()->enterLesson();
    ASSERT_TRUE(support::stepUntil([] { return !runningGroupScene(); }, 120));
    support::stepFrames(2);
    EXPECT_FALSE(shown(board, "GoGroupBtn"));
    EXPECT_TRUE(shown(board, "GroupBtn1"));
    EXPECT_TRUE(shown(board, "GroupBtn2"));
    EXPECT_FALSE(shown(board, "GroupBtn3"));
    EXPECT_EQ(board->getCurrentPage(), 1);
    press(find(board, "GroupBtn2"), "AddBtn");
    EXPECT_EQ(textOf(board, "PageText"), "1/1");
    EXPECT_EQ(textOf(row(board, 1), "ScoreText"), "4");
}
