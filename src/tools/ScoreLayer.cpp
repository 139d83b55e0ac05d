#include "tools/ScoreLayer.h"

#include <algorithm>

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/Routes.h"
#include "common/UITools.h"
#include "tools/BoardRows.h"
#include "ui/Widget.h"

namespace {

constexpr int kRowsPerPage = 4;
constexpr int kScoreIcons = 10;
const char* const kClickSound = "BtnClick.mp3";

std::vector<StudentRecord>& pupils() {
    return GDataManager::getInstance()->students;
}

// The parent's "AddBtn" and "MinBtn" carry tag and, on touch ended, run action with the sender and +1 or -1.
void bindPlusMinus(engine::Node* parent, int tag, const std::function<void(engine::Node*, int)>& action) {
    for (const auto& [name, delta] : {std::pair{"AddBtn", 1}, std::pair{"MinBtn", -1}}) {
        if (engine::Node* button = UITools::seekChildByName(parent, name)) {
            button->setTag(tag);
            BoardRows::onTouchEnded(button, [action, d = delta](engine::Node* sender) { action(sender, d); });
        }
    }
}

} // namespace

ScoreLayer::~ScoreLayer() = default;

bool ScoreLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    refresh();
    return true;
}

void ScoreLayer::initRes() {
    root = UITools::createCsbNode("ScoreLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::addClickListener(
        root, [this] { UITools::removeSelf(this); }, true, kClickSound, "Btn_Return");
    UITools::addClickListener(
        root, [this] { onPageButton(-1); }, false, kClickSound, "UpBtn");
    UITools::addClickListener(
        root, [this] { onPageButton(1); }, false, kClickSound, "DownBtn");
    UITools::addClickListener(
        root, [this] { onAllButton(); }, false, kClickSound, "AllBtn");
    goGroupButton = UITools::addClickListener(
        root, [this] { onGoGroup(); }, false, kClickSound, "GoGroupBtn");
}

void ScoreLayer::refresh() {
    groupButtons.clear();
    rowPanels.clear();
    currentPage = 1;
    groupFilter = 0;
    selectedNumber = -1;
    const bool grouped = GDataManager::getInstance()->groupCount > 0;
    if (goGroupButton) {
        goGroupButton->setVisible(!grouped);
    }
    if (grouped) {
        buildGroupButtons();
    }
    for (int i = 1; i <= kRowsPerPage; ++i) {
        rowPanels.push_back(UITools::seekChildByName(root, engine::StringUtils::format("RandPanel%d", i)));
    }
    updateGroupScores();
    showAllPage();
}

void ScoreLayer::buildGroupButtons() {
    const int groupCount = GDataManager::getInstance()->groupCount;
    for (int i = 1; i <= 4; ++i) {
        engine::Node* button = UITools::seekChildByName(root, engine::StringUtils::format("GroupBtn%d", i));
        groupButtons.push_back(button);
        if (!button || i - 1 >= groupCount) {
            continue;
        }
        button->setVisible(true);
        const int groupIndex = i - 1;
        BoardRows::onTouchEnded(button,
                                [this, groupIndex](engine::Node* sender) { onGroupButton(sender, groupIndex); });
        bindPlusMinus(button, groupIndex, [this](engine::Node* sender, int d) { onGroupScoreButton(sender, d); });
    }
}

int ScoreLayer::getPageCount() const {
    const size_t rows = groupFilter == 0 ? pupils().size() : groupMembers.size();
    return BoardRows::pageCount(static_cast<int>(rows), kRowsPerPage);
}

void ScoreLayer::showRows(int count, const std::function<const StudentRecord&(int position)>& pupilAt) {
    BoardRows::clearHeadItems(headItems);
    for (engine::Node* panel : rowPanels) {
        BoardRows::setVisible(panel, "SelectImg", false);
    }
    BoardRows::showPage(root, rowPanels, currentPage, count, [this, &pupilAt](engine::Node* panel, int p) {
        const StudentRecord& pupil = pupilAt(p);
        BoardRows::setVisible(panel, "SelectImg", pupil.number == selectedNumber);
        BoardRows::fillRankRow(panel, p, currentPage, pupil, pupil.score, headItems);
        for (int k = 1; k <= kScoreIcons; ++k) {
            BoardRows::setVisible(panel, engine::StringUtils::format("IconImg%d", k), k <= pupil.score);
        }
        bindPlusMinus(panel, pupil.listIndex, [this](engine::Node* sender, int d) { onPupilScoreButton(sender, d); });
    });
}

void ScoreLayer::showAllPage() {
    // Each row shown writes its pupil's list position back into the list.
    showRows(static_cast<int>(pupils().size()), [](int p) -> const StudentRecord& {
        pupils()[p].listIndex = p;
        return pupils()[p];
    });
}

void ScoreLayer::showGroupPage() {
    groupMembers.clear();
    for (int i = 0; i < static_cast<int>(pupils().size()); ++i) {
        StudentRecord& pupil = pupils()[i];
        if (pupil.group == groupFilter) {
            pupil.listIndex = i;
            groupMembers.push_back(pupil);
        }
    }
    showRows(static_cast<int>(groupMembers.size()), [this](int p) -> const StudentRecord& { return groupMembers[p]; });
}

void ScoreLayer::showCurrentView() {
    if (groupFilter == 0) {
        showAllPage();
    } else {
        showGroupPage();
    }
}

void ScoreLayer::onPupilScoreButton(engine::Node* sender, int delta) {
    const int index = sender->getTag();
    if (index < 0 || index >= static_cast<int>(pupils().size())) {
        return;
    }
    StudentRecord& pupil = pupils()[index];
    pupil.score = std::max(0, pupil.score + delta);
    selectedNumber = pupil.number;
    sortByScore();
    if (groupFilter != 0) {
        showGroupPage();
        return;
    }
    const std::vector<StudentRecord>& list = pupils();
    for (size_t q = 0; q < list.size(); ++q) {
        if (list[q].number == selectedNumber) {
            currentPage = BoardRows::pageCount(static_cast<int>(q) + 1, kRowsPerPage);
            break;
        }
    }
    showAllPage();
}

void ScoreLayer::onGroupScoreButton(engine::Node* sender, int delta) {
    selectedNumber = -1;
    const int g = sender->getTag();
    if (g < 0 || g >= 4) {
        return;
    }
    int& groupScore = CommonTools::getInstance()->groupScores[g];
    groupScore = std::max(0, groupScore + delta);
    for (StudentRecord& pupil : pupils()) {
        if (pupil.group == g + 1) {
            pupil.score = std::max(0, pupil.score + delta);
        }
    }
    sortByScore();
    highlightGroup(g < static_cast<int>(groupButtons.size()) ? groupButtons[g] : nullptr);
    currentPage = 1;
    groupFilter = g + 1;
    updateGroupScores();
    showGroupPage();
}

void ScoreLayer::onGroupButton(engine::Node* sender, int groupIndex) {
    highlightGroup(sender);
    selectedNumber = -1;
    groupFilter = groupIndex + 1;
    currentPage = 1;
    showGroupPage();
}

void ScoreLayer::highlightGroup(engine::Node* button) {
    for (engine::Node* each : groupButtons) {
        if (auto* widget = dynamic_cast<engine::ui::Widget*>(each)) {
            widget->setHighlighted(false);
        }
    }
    if (auto* widget = dynamic_cast<engine::ui::Widget*>(button)) {
        widget->setHighlighted(true);
    }
}

void ScoreLayer::onAllButton() {
    groupFilter = 0;
    selectedNumber = -1;
    groupMembers.clear();
    highlightGroup(nullptr);
    showAllPage();
}

void ScoreLayer::onPageButton(int delta) {
    currentPage = BoardRows::turnPage(currentPage, delta, getPageCount());
    showCurrentView();
}

void ScoreLayer::onGoGroup() {
    GDataManager::getInstance()->enteredFrom = 3;
    // The scene calls back when it is released after its pop; the board may have gone by then.
    Routes::toGrouping(life.guard([this] { refresh(); }));
}

void ScoreLayer::updateGroupScores() {
    const auto& scores = CommonTools::getInstance()->groupScores;
    for (size_t i = 0; i < groupButtons.size() && i < scores.size(); ++i) {
        BoardRows::setText(groupButtons[i], "ScoreText", engine::StringUtils::format("%d", scores[i]));
    }
}

void ScoreLayer::sortByScore() {
    // Best first; equal scores keep their order.
    std::stable_sort(pupils().begin(), pupils().end(),
                     [](const StudentRecord& a, const StudentRecord& b) { return a.score > b.score; });
}
