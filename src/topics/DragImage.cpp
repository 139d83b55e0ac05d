#include "topics/DragImage.h"

#include <algorithm>

#include "base/Touch.h"
#include "common/DragTools.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

int visibleCount(engine::Node* root, const char* prefix) {
    return static_cast<int>(topicData()->getWidget(root, prefix, 1).size());
}

void oneRow(engine::Node* root, const char* prefix) {
    topicData()->initContentPanel(root, prefix, 1, 1, visibleCount(root, prefix), 1);
}

void oneColumn(engine::Node* root, const char* prefix) {
    topicData()->initContentPanel(root, prefix, 1, 2, 1, visibleCount(root, prefix));
}

void byAutoLayout(engine::Node* root, const char* prefix) {
    topicData()->initContentPanel(root, prefix, 1, 0, 0, 0);
}

} // namespace

void DragImage::initData() {
    DragTopicLayer::initData();
    for (auto& list : targetLists) {
        list.clear();
    }
    slotItems.fill(0);
}

void DragImage::initRes() {
    if (!loadPage()) {
        return;
    }
    topicData()->loadTopicImages(rootNode, true);
    arrangeWidgets();
}

void DragImage::arrangeWidgets() {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    switch (code) {
    case 501:
        oneRow(rootNode, "OperImg");
        oneRow(rootNode, "PanelImg");
        data->layoutAnchored(rootNode, "OperImg", 1);
        data->layoutAnchored(rootNode, "PanelImg", -1);
        break;
    case 502:
        oneColumn(rootNode, "OperImg");
        oneRow(rootNode, "ContImg");
        byAutoLayout(rootNode, "PanelImg");
        break;
    case 503:
    case 510:
        byAutoLayout(rootNode, "PanelImg");
        oneRow(rootNode, "OperImg");
        break;
    case 504:
        byAutoLayout(rootNode, "OperImg");
        oneRow(rootNode, "PanelImg");
        break;
    case 505:
        oneColumn(rootNode, "OperImg");
        break;
    case 506:
    case 508:
        byAutoLayout(rootNode, "PanelImg");
        data->initContentPanel(rootNode, "OperImg", 1, 1, 3, 1);
        break;
    case 507:
        oneRow(rootNode, "ContImg");
        oneRow(rootNode, "PanelImg");
        oneRow(rootNode, "OperImg");
        data->layoutAnchored(rootNode, "ContImg", -1);
        data->layoutWidgets(rootNode, "ContImg", "PanelImg", -10.f);
        data->layoutWidgets(rootNode, "PanelImg", "OperImg", -10.f);
        break;
    case 509:
        byAutoLayout(rootNode, "OperImg");
        break;
    case 511:
        oneRow(rootNode, "PanelImg");
        oneRow(rootNode, "OperImg");
        break;
    default:
        break;
    }
    collectPictures();
    if (among(code, {503, 505, 509, 510, 511})) {
        const engine::ValueVector answers = data->getFirstAnswers();
        for (size_t i = 0; i < answers.size() && i < panelImgs.size(); ++i) {
            if (answers[i].asInt() == 0) {
                panelImgs[i]->setTag(TopicManage::kTargetTagBase);
            }
        }
    }
}

void DragImage::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    if (engine::Node* target = dropOnTargets(touch->getLocation())) {
        onDropOnTarget(target);
    }
    dragged = nullptr;
}

void DragImage::onDropOnTarget(engine::Node* target) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    const int m = dragged->getTag() - TopicManage::kPieceTagBase;
    const int n = target->getTag() - TopicManage::kTargetTagBase;
    const engine::ValueVector answers = data->getFirstAnswers();
    const bool inSlots = n >= 1 && n <= kSlotCount;
    auto snap = [this, target] { dragged->setPosition(target->getPosition()); };
    switch (code) {
    case 501:
        if (n < 1 || n > static_cast<int>(targetLists.size())) {
            returnDragged();
            break;
        }
        for (auto& list : targetLists) {
            auto it = std::find(list.begin(), list.end(), dragged->getTag());
            if (it != list.end()) {
                list.erase(it);
            }
        }
        targetLists[n - 1].push_back(dragged->getTag());
        break;
    case 502:
    case 507: {
        const bool right = n >= 1 && entryAt(answers, n - 1) == m;
        report(right, nullptr);
        if (right) {
            fillRight(target, dragged);
            snap();
        } else {
            returnDragged();
        }
        break;
    }
    case 503:
    case 510:
    case 511:
        if (!inSlots || slotItems[n] > 0) {
            returnDragged();
            break;
        }
        slotItems[n] = m;
        snap();
        break;
    case 504: {
        const engine::ValueVector groups = data->getAnswers();
        bool accepted = false;
        if (n >= 1 && n <= static_cast<int>(groups.size())) {
            const engine::ValueVector& group = groups[n - 1].asValueVector();
            accepted = std::any_of(group.begin(), group.end(), [m](const engine::Value& v) { return v.asInt() == m; });
        }
        if (!accepted) {
            returnDragged();
        }
        break;
    }
    case 505:
    case 506:
    case 509:
        if (inSlots && slotItems[n] <= 0) {
            slotItems[n] = m;
            if (auto* picture = dynamic_cast<engine::ui::Widget*>(dragged)) {
                engine::ui::Widget* copy = picture->clone();
                copy->setVisible(true);
                addChild(copy);
                DragTools::placeAt(copy, target->getParent()->convertToWorldSpace(target->getPosition()));
            }
        }
        returnDragged();
        break;
    case 508:
        snap();
        fillRight(target, dragged);
        break;
    default:
        returnDragged();
        break;
    }
}

void DragImage::showAnswer() {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    bool right = true;
    if (code == 501) {
        const engine::ValueVector groups = data->getAnswers();
        right = groups.size() <= targetLists.size();
        for (size_t i = 0; right && i < groups.size(); ++i) {
            right = holdsExactly(targetLists[i], groups[i].asValueVector());
        }
    } else {
        const engine::ValueVector answers = data->getFirstAnswers();
        for (size_t i = 0; right && i < answers.size(); ++i) {
            right = i + 1 <= static_cast<size_t>(kSlotCount) && answers[i].asInt() == slotItems[i + 1];
        }
    }
    report(right, nullptr);
}
