#include "common/BaseLayer.h"

#include "audio/AudioEngine.h"
#include "base/Director.h"
#include "base/Log.h"
#include "common/AudioManager.h"
#include "render/TextureCache.h"
#include "scene/SpriteFrame.h"

using engine::AudioEngine;

BaseLayer::~BaseLayer() {
    // A voice started for this layer ends with it; a callback stored while nothing plays stays.
    if (AudioManager* audio = AudioManager::getInstance(); audio && audio->voiceId > AudioEngine::INVALID_AUDIO_ID) {
        AudioEngine::stop(audio->voiceId);
        audio->voiceId = AudioEngine::INVALID_AUDIO_ID;
        audio->voiceCallback = nullptr;
    }
    if (engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache()) {
        cache->trimUnusedTextures();
    }
    engine::SpriteFrameCache::getInstance()->removeUnusedSpriteFrames();
}

bool BaseLayer::init() {
    if (!engine::Layer::init()) {
        return false;
    }
    initData();
    initRes();
    screenAdaptation();
    autoLayoutWidgets();
    return true;
}

void BaseLayer::initData() {
    engine::logDebug("BaseLayer::initData");
}

void BaseLayer::initRes() {
    engine::logDebug("BaseLayer::initRes");
}

void BaseLayer::screenAdaptation() {
    engine::logDebug("BaseLayer::screenAdaptation");
}

void BaseLayer::autoLayoutWidgets() {
    engine::logDebug("BaseLayer::autoLayoutWidgets");
}
