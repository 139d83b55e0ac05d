#include "topics/DragSort.h"

#include "base/Touch.h"
#include "common/DragTools.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

constexpr int kStackCode = 901;
constexpr int kColumnsCode = 902;
constexpr int kStackZOrder = 100;

} // namespace

void DragSort::initData() {
    DragTopicLayer::initData();
    stackItems.clear();
    columnItems.clear();
}

void DragSort::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage::getInstance()->loadTopicImages(rootNode, true);
    arrangeWidgets();
}

void DragSort::arrangeWidgets() {
    TopicManage* data = TopicManage::getInstance();
    if (data->getLayoutModel() == kStackCode) {
        data->initContentPanel(rootNode, "OperImg", 1, 0, 0, 0);
    }
    collectPictures();
}

bool DragSort::onTouchBegan(engine::Touch* touch, engine::Event* event) {
    return pickAt(touch->getLocation(), PickRule::LastRaised);
}

void DragSort::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    const engine::Vec2 location = touch->getLocation();
    DragTools::placeAt(dragged, location);
    const int code = TopicManage::getInstance()->getLayoutModel();
    if (code == kStackCode) {
        dropOnStack(location);
    } else if (code == kColumnsCode) {
        dropInColumns(location);
    } else {
        returnDragged();
    }
    dragged = nullptr;
}

void DragSort::dropOnStack(const engine::Vec2& location) {
    engine::Node* target = numbered("PanelImg", 1);
    if (!target || !DragTools::hits(target, location)) {
        returnDragged();
        return;
    }
    // A picture dropped again is stacked again: the list keeps both drops.
    stackItems.push_back(dragged);
    engine::Vec2 at = target->getPosition();
    for (size_t i = 0; i < stackItems.size(); ++i) {
        if (i > 0) {
            at.y += stackItems[i - 1]->getContentSize().height;
        }
        stackItems[i]->setLocalZOrder(kStackZOrder + static_cast<int>(i));
        stackItems[i]->setPosition(at);
    }
}

void DragSort::dropInColumns(const engine::Vec2& location) {
    auto* picture = dynamic_cast<engine::ui::Widget*>(dragged);
    for (int k = 1; k <= kColumnCount && picture; ++k) {
        engine::Node* column = numbered("PanelImg", k);
        if (!column || !DragTools::hits(column, location)) {
            continue;
        }
        std::vector<engine::Node*>& items = columnItems[k];
        if (static_cast<int>(items.size()) >= kColumnHeight) {
            break;
        }
        // One copy of the dropped picture at the column's new top slot; the copies below stay as they are.
        engine::Vec2 at = column->getPosition();
        for (engine::Node* below : items) {
            at.y += below->getContentSize().height;
        }
        items.push_back(dragged);
        engine::ui::Widget* copy = picture->clone();
        copy->setVisible(true);
        copy->setLocalZOrder(kStackZOrder + static_cast<int>(items.size()) - 1);
        addChild(copy);
        DragTools::placeAt(copy, column->getParent()->convertToWorldSpace(at));
    }
    // The picture itself always goes back to be dropped again.
    returnDragged();
}

void DragSort::showAnswer() {
    TopicManage* data = TopicManage::getInstance();
    if (data->getLayoutModel() != kStackCode) {
        return;
    }
    const engine::ValueVector answers = data->getFirstAnswers();
    bool right = answers.size() == stackItems.size();
    for (size_t i = 0; right && i < answers.size(); ++i) {
        right = answers[i].asInt() == stackItems[i]->getTag() - TopicManage::kPieceTagBase;
    }
    report(right, nullptr);
}

std::vector<engine::Node*> DragSort::getColumn(int column) const {
    auto it = columnItems.find(column);
    return it != columnItems.end() ? it->second : std::vector<engine::Node*>();
}
