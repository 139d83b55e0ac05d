#include "tools/RankLayer.h"

#include "base/StringUtils.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "tools/BoardRows.h"

namespace {

constexpr int kRowsPerPage = 5;

} // namespace

RankLayer::~RankLayer() = default;

bool RankLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    CommonTools::getInstance()->sortStudents(3);
    CommonTools::getInstance()->sortStudents(2);
    fillPage();
    return true;
}

void RankLayer::initData() {
    closeCallback = nullptr;
    currentPage = 1;
}

void RankLayer::initRes() {
    root = UITools::createCsbNode("RankLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::addClickListener(
        root, [this] { onClose(); }, false, "BtnClick.mp3", "CloseBtn");
    BoardRows::onTouchEnded(UITools::seekChildByName(root, "UpBtn"), [this](engine::Node*) { onPageButton(-1); });
    BoardRows::onTouchEnded(UITools::seekChildByName(root, "DownBtn"), [this](engine::Node*) { onPageButton(1); });
}

void RankLayer::onClose() {
    retain();
    if (closeCallback) {
        closeCallback();
    }
    removeFromParentAndCleanup(true);
    release();
}

void RankLayer::onPageButton(int delta) {
    const int count = static_cast<int>(GDataManager::getInstance()->students.size());
    currentPage = BoardRows::turnPage(currentPage, delta, BoardRows::pageCount(count, kRowsPerPage));
    fillPage();
}

void RankLayer::fillPage() {
    BoardRows::clearHeadItems(headItems);
    const std::vector<StudentRecord>& pupils = GDataManager::getInstance()->students;
    std::vector<engine::Node*> rows;
    for (int r = 1; r <= kRowsPerPage; ++r) {
        rows.push_back(UITools::seekChildByName(root, engine::StringUtils::format("RankPanel%d", r)));
    }
    BoardRows::showPage(
        root, rows, currentPage, static_cast<int>(pupils.size()), [this, &pupils](engine::Node* row, int p) {
            const StudentRecord& pupil = pupils[p];
            BoardRows::fillRankRow(row, p, currentPage, pupil, pupil.gameScore, headItems);
            BoardRows::setText(row, "TimeText",
                               engine::StringUtils::format("%.2d:%.2d", pupil.gameTime / 60, pupil.gameTime % 60));
        });
}
