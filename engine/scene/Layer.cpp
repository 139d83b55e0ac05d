#include "scene/Layer.h"

#include "base/Director.h"

namespace engine {

Layer::Layer() {
    _ignoreAnchorPointForPosition = true;
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Layer* Layer::create() {
    Layer* layer = new (std::nothrow) Layer();
    if (layer && layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool Layer::init() {
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

} // namespace engine
