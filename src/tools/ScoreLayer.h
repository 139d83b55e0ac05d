// The score board: the class's pupils four to a page, best first, with plus and minus per pupil; with groups,
// one button per group with its own score and plus and minus, and a view of one group.
#pragma once

#include <functional>
#include <vector>

#include "common/BaseLayer.h"
#include "common/ClassroomRecords.h"
#include "common/LifeToken.h"

namespace engine::ui {
class Widget;
} // namespace engine::ui

class ScoreLayer : public BaseLayer {
public:
    ScoreLayer() = default;
    ~ScoreLayer() override;
    bool init() override;
    void initRes() override;

    // Rebuilds the whole board in the stored order; also the grouping scene's return callback.
    void refresh();

    void onPageButton(int delta);
    void onAllButton();
    void onGoGroup();
    void onGroupButton(engine::Node* sender, int groupIndex);
    // The sender's tag is the group index.
    void onGroupScoreButton(engine::Node* sender, int delta);
    // The sender's tag is the pupil's position in the whole list.
    void onPupilScoreButton(engine::Node* sender, int delta);

    int getCurrentPage() const { return currentPage; }
    int getGroupFilter() const { return groupFilter; }

private:
    void buildGroupButtons();
    void showAllPage();
    void showGroupPage();
    void showCurrentView();
    // The page of count rows, pupilAt giving the pupil of each position shown.
    void showRows(int count, const std::function<const StudentRecord&(int position)>& pupilAt);
    int getPageCount() const;
    void updateGroupScores();
    void sortByScore();
    void highlightGroup(engine::Node* button);

    engine::Node* root = nullptr;
    engine::ui::Widget* goGroupButton = nullptr;
    int currentPage = 1;
    std::vector<engine::Node*> groupButtons;
    std::vector<engine::Node*> rowPanels;
    int groupFilter = 0;
    int selectedNumber = -1;
    std::vector<StudentRecord> groupMembers;
    std::vector<engine::Node*> headItems;
    // The grouping scene calls back after this board may have gone.
    LifeToken life;
};
