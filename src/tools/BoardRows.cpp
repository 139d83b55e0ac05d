#include "tools/BoardRows.h"

#include <cmath>

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

void clearHeadItems(std::vector<engine::Node*>& items) {
    for (engine::Node* item : items) {
        item->removeFromParentAndCleanup(true);
    }
    items.clear();
}

void addHeadItem(engine::Node* row, const StudentRecord& pupil, std::vector<engine::Node*>& items) {
    engine::Node* item = UITools::createHeadItem2(pupil);
    if (!row || !item) {
        return;
    }
    if (engine::Node* place = UITools::seekChildByName(row, "PosNode")) {
        item->setPosition(place->getPosition());
    }
    row->addChild(item);
    items.push_back(item);
}

} // namespace BoardRows
