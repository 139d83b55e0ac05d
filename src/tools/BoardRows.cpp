#include "tools/BoardRows.h"

#include <cmath>

#include "base/StringUtils.h"
#include "common/ClassroomRecords.h"
#include "common/UITools.h"
#include "ui/Text.h"
#include "ui/Widget.h"

namespace BoardRows {

void setText(engine::Node* root, const std::string& name, const std::string& text) {
    if (auto* label = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(root, name))) {
        label->setString(text);
    }
}

void setVisible(engine::Node* root, const std::string& name, bool visible) {
    if (engine::Node* node = UITools::seekChildByName(root, name)) {
        node->setVisible(visible);
    }
}

void onTouchEnded(engine::Node* widget, const std::function<void(engine::Node* sender)>& action) {
    auto* target = dynamic_cast<engine::ui::Widget*>(widget);
    if (!target) {
        return;
    }
    target->addTouchEventListener([action, target](engine::Ref*, engine::ui::Widget::TouchEventType type) {
        if (type == engine::ui::Widget::TouchEventType::ENDED && action) {
            action(target);
        }
    });
}

int pageCount(int rows, int rowsPerPage) {
    if (rows <= 0 || rowsPerPage <= 0) {
        return 0;
    }
    return static_cast<int>(std::ceil(static_cast<float>(rows) / static_cast<float>(rowsPerPage)));
}

int turnPage(int page, int delta, int pages) {
    page += delta;
    if (page > pages) {
        page = pages;
    }
    return page < 1 ? 1 : page;
}

int rowPosition(int row, int page, int rowsPerPage, int count) {
    const int position = row + (page - 1) * rowsPerPage;
    return position >= 0 && position < count ? position : -1;
}

void showPage(engine::Node* root, const std::vector<engine::Node*>& rows, int page, int count,
              const std::function<void(engine::Node* row, int position)>& fill) {
    const int rowsPerPage = static_cast<int>(rows.size());
    for (int r = 0; r < rowsPerPage; ++r) {
        if (engine::Node* row = rows[r]) {
            const int position = rowPosition(r, page, rowsPerPage, count);
            row->setVisible(position >= 0);
            if (position >= 0) {
                fill(row, position);
            }
        }
    }
    setText(root, "PageText", engine::StringUtils::format("%d/%d", page, pageCount(count, rowsPerPage)));
}

void fillRankRow(engine::Node* row, int position, int page, const StudentRecord& pupil, int score,
                 std::vector<engine::Node*>& items) {
    setVisible(row, "RandImage", page == 1 && position < 3);
    setText(row, "RandText", engine::StringUtils::format("%d", position + 1));
    if (engine::Node* item = UITools::createHeadItem2(pupil)) {
        if (engine::Node* place = UITools::seekChildByName(row, "PosNode")) {
            item->setPosition(place->getPosition());
        }
        row->addChild(item);
        items.push_back(item);
    }
    setText(row, "ScoreText", engine::StringUtils::format("%d", score));
}

void clearHeadItems(std::vector<engine::Node*>& items) {
    for (engine::Node* item : items) {
        item->removeFromParentAndCleanup(true);
    }
    items.clear();
}

} // namespace BoardRows
