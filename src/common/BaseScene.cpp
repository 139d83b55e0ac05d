#include "common/BaseScene.h"

#include "base/Director.h"
#include "base/Log.h"
#include "render/TextureCache.h"
#include "scene/SpriteFrame.h"

BaseScene::~BaseScene() {
    // This scene's own nodes go first, then the frames only the cache holds, so that their pictures go too.
    removeAllChildren();
    engine::SpriteFrameCache::getInstance()->removeUnusedSpriteFrames();
    if (engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache()) {
        cache->trimUnusedTextures();
    }
}

bool BaseScene::init() {
    if (!engine::Scene::init()) {
        return false;
    }
    initData();
    initRes();
    screenAdaptation();
    return true;
}

void BaseScene::initData() {
    engine::logDebug("BaseScene::initData");
}

void BaseScene::initRes() {
    engine::logDebug("BaseScene::initRes");
}

void BaseScene::screenAdaptation() {
    engine::logDebug("BaseScene::screenAdaptation");
}

bool BaseScene::loginShows() {
    const auto* scene = dynamic_cast<const BaseScene*>(engine::Director::getInstance()->getRunningScene());
    return scene && scene->isLoginScreen();
}
