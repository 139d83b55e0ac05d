#include "topics/DragTopicLayer.h"

#include "base/Touch.h"
#include "topics/TopicManage.h"

bool DragTopicLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [this](engine::Touch* touch, engine::Event* event) { return onTouchBegan(touch, event); };
    listener->onTouchMoved = [this](engine::Touch* touch, engine::Event* event) { onTouchMoved(touch, event); };
    listener->onTouchEnded = [this](engine::Touch* touch, engine::Event* event) { onTouchEnded(touch, event); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    return true;
}

bool DragTopicLayer::hits(const engine::Node* node, const engine::Vec2& worldPoint) {
    if (!node) {
        return false;
    }
    const engine::Vec2 point = node->getParent() ? node->getParent()->convertToNodeSpace(worldPoint) : worldPoint;
    return node->getBoundingBox().containsPoint(point);
}

engine::Node* DragTopicLayer::firstHit(const std::vector<engine::Node*>& nodes, const engine::Vec2& worldPoint) {
    for (engine::Node* node : nodes) {
        if (node->isVisible() && hits(node, worldPoint)) {
            return node;
        }
    }
    return nullptr;
}

void DragTopicLayer::placeAt(engine::Node* node, const engine::Vec2& worldPoint) {
    node->setPosition(node->getParent() ? node->getParent()->convertToNodeSpace(worldPoint) : worldPoint);
}

void DragTopicLayer::returnDragged() {
    if (dragged) {
        dragged->setPosition(dragStart);
    }
}

bool DragTopicLayer::onTouchBegan(engine::Touch* touch, engine::Event* event) {
    dragged = nullptr;
    dragStart = engine::Vec2::ZERO;
    if (TopicManage::getInstance()->isStepDone()) {
        return false;
    }
    const engine::Vec2 location = touch->getLocation();
    for (engine::Node* picture : operImgs) {
        picture->setLocalZOrder(1);
        // A hidden picture (placed, or not in the topic) cannot be dragged.
        if (picture->isVisible() && hits(picture, location)) {
            picture->setLocalZOrder(2);
            dragged = picture;
            dragStart = picture->getPosition();
            break;
        }
    }
    return dragged != nullptr;
}

void DragTopicLayer::onTouchMoved(engine::Touch* touch, engine::Event* event) {
    if (dragged) {
        placeAt(dragged, touch->getLocation());
    }
}
