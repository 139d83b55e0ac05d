#include "topics/Jigsaw.h"

#include <algorithm>

#include "base/Touch.h"
#include "common/DragTools.h"
#include "common/UITools.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

} // namespace

void Jigsaw::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage* data = topicData();
    data->loadTopicImages(rootNode, true);
    layoutBoard();
    for (engine::ui::Widget* piece : data->getWidget(rootNode, "OperImg", 1)) {
        operImgs.push_back(piece);
    }
}

void Jigsaw::layoutBoard() {
    TopicManage* data = topicData();
    const int pieces = static_cast<int>(data->getImages("OperImgs").size());
    data->initContentPanel(rootNode, "OperImg", 1, 1, pieces, 1);
    engine::Node* board = UITools::seekChildByName(rootNode, "ContImg1");
    const int type = data->getAutoLayoutType();
    const int rows = data->getRowNum();
    const int columns = data->getColNum();
    if (!board || rows < 1 || columns < 1) {
        return;
    }
    const float w = board->getContentSize().width;
    const float h = board->getContentSize().height;
    const float x = board->getPositionX();
    const float y = board->getPositionY();
    auto place = [this](int number, const engine::Size& size, const engine::Vec2& at) {
        engine::Node* cell = numbered("PanelImg", number);
        if (!cell) {
            return;
        }
        if (auto* widget = dynamic_cast<engine::ui::Widget*>(cell)) {
            widget->ignoreContentAdaptWithSize(false);
        }
        cell->setContentSize(size);
        cell->setPosition(at);
        panelImgs.push_back(cell);
    };
    if (type == 1) {
        for (int i = 1; i <= columns; ++i) {
            place(i, {w / columns, h}, {x - w / 2 + (2 * i - 1) * w / (2 * columns), y});
        }
    } else if (type == 2) {
        for (int i = 1; i <= rows; ++i) {
            place(i, {w, h / rows}, {x, y - h / 2 + (2 * rows - 2 * i + 1) * h / (2 * rows)});
        }
    } else if (type == 3) {
        for (int k = 0; k < rows * columns; ++k) {
            const int r = k / columns, c = k % columns;
            place(k + 1, {w / columns, h / rows},
                  {x - w / 2 + (2 * c + 1) * w / (2 * columns), y - h / 2 + (2 * (rows - r) - 1) * h / (2 * rows)});
        }
    }
}

void Jigsaw::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    DragTools::placeAt(dragged, touch->getLocation());
    onDrop(touch->getLocation());
    dragged = nullptr;
}

void Jigsaw::onDrop(const engine::Vec2& location) {
    if (!dragged) {
        return;
    }
    TopicManage* data = topicData();
    const engine::ValueVector answers = data->getFirstAnswers();
    // Cells are found whether their picture shows or not.
    auto cell = std::find_if(panelImgs.begin(), panelImgs.end(),
                             [&location](engine::Node* node) { return DragTools::hits(node, location); });
    bool right = false;
    if (cell != panelImgs.end()) {
        const int j = (*cell)->getTag() - TopicManage::kTargetTagBase;
        right =
            answers.empty() || (j >= 1 && entryAt(answers, j - 1) == dragged->getTag() - TopicManage::kPieceTagBase);
    }
    if (right) {
        dragged->setPosition((*cell)->getPosition());
        fillRight(*cell, dragged);
    } else {
        returnDragged();
    }
    report(right, nullptr);
}
