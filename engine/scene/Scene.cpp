#include "scene/Scene.h"

#include "base/Director.h"

namespace engine {

Scene::Scene() {
    _ignoreAnchorPointForPosition = true;
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Scene* Scene::create() {
    Scene* scene = new (std::nothrow) Scene();
    if (scene && scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

bool Scene::init() {
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

} // namespace engine
