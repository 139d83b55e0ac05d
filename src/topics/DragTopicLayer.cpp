#include "topics/DragTopicLayer.h"

#include <algorithm>

#include "common/DragTools.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

bool DragTopicLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    DragTools::listenToTouches(this);
    return true;
}

void DragTopicLayer::initData() {
    dragged = nullptr;
    dragStart = engine::Vec2::ZERO;
    operImgs.clear();
    panelImgs.clear();
    filledRight.clear();
    mostFilled = 0;
}

void DragTopicLayer::collectPictures() {
    TopicManage* data = TopicManage::getInstance();
    for (engine::ui::Widget* widget : data->getWidget(rootNode, "OperImg", 1)) {
        operImgs.push_back(widget);
    }
    for (engine::ui::Widget* widget : data->getWidget(rootNode, "PanelImg", 1)) {
        panelImgs.push_back(widget);
    }
}

bool DragTopicLayer::fillRight(const void* place, const engine::Node* piece) {
    leavePlace(piece);
    filledRight[place] = piece;
    if (static_cast<int>(filledRight.size()) <= mostFilled) {
        return false;
    }
    mostFilled = static_cast<int>(filledRight.size());
    ++TopicManage::getInstance()->stepCount;
    return true;
}

void DragTopicLayer::leavePlace(const engine::Node* piece) {
    if (!piece) {
        return;
    }
    std::erase_if(filledRight, [piece](const auto& entry) { return entry.second == piece; });
}

void DragTopicLayer::returnDragged() {
    if (dragged) {
        dragged->setPosition(dragStart);
    }
}

engine::Node* DragTopicLayer::dropOnTargets(const engine::Vec2& location) {
    DragTools::placeAt(dragged, location);
    engine::Node* target = DragTools::firstHit(panelImgs, location);
    if (!target) {
        returnDragged();
    }
    return target;
}

bool DragTopicLayer::holdsExactly(const std::vector<int>& tags, const engine::ValueVector& group) {
    return tags.size() == group.size() && std::all_of(tags.begin(), tags.end(), [&group](int tag) {
               return std::any_of(group.begin(), group.end(), [tag](const engine::Value& v) {
                   return v.asInt() == tag - TopicManage::kPieceTagBase;
               });
           });
}

bool DragTopicLayer::onTouchBegan(engine::Touch* touch, engine::Event* event) {
    dragged = nullptr;
    dragStart = engine::Vec2::ZERO;
    if (TopicManage::getInstance()->isStepDone()) {
        return false;
    }
    return pickAt(touch->getLocation(), PickRule::FirstRaised);
}

bool DragTopicLayer::pickAt(const engine::Vec2& location, PickRule rule) {
    dragged = nullptr;
    dragStart = engine::Vec2::ZERO;
    for (engine::Node* picture : operImgs) {
        if (rule != PickRule::First) {
            picture->setLocalZOrder(1);
        }
        // A hidden picture (placed, or not in the topic) cannot be dragged.
        if (picture->isVisible() && DragTools::hits(picture, location)) {
            if (rule != PickRule::First) {
                picture->setLocalZOrder(2);
            }
            dragged = picture;
            dragStart = picture->getPosition();
            if (rule != PickRule::LastRaised) {
                break;
            }
        }
    }
    return dragged != nullptr;
}

void DragTopicLayer::onTouchMoved(engine::Touch* touch, engine::Event* event) {
    if (dragged) {
        DragTools::placeAt(dragged, touch->getLocation());
    }
}
