#include "common/DragTools.h"

namespace DragTools {

bool hits(const engine::Node* node, const engine::Vec2& worldPoint) {
    if (!node) {
        return false;
    }
    const engine::Vec2 point = node->getParent() ? node->getParent()->convertToNodeSpace(worldPoint) : worldPoint;
    return node->getBoundingBox().containsPoint(point);
}

engine::Node* firstHit(const std::vector<engine::Node*>& nodes, const engine::Vec2& worldPoint) {
    for (engine::Node* node : nodes) {
        if (node && node->isVisible() && hits(node, worldPoint)) {
            return node;
        }
    }
    return nullptr;
}

void placeAt(engine::Node* node, const engine::Vec2& worldPoint) {
    node->setPosition(node->getParent() ? node->getParent()->convertToNodeSpace(worldPoint) : worldPoint);
}

} // namespace DragTools
