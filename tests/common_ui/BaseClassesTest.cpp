#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/AudioManager.h"
#include "common/BaseLayer.h"
#include "common/BaseScene.h"
#include "common/ExitApp.h"
#include "render/TextureCache.h"
#include "scene/Sprite.h"

using common_ui::CommonUiTest;
using engine::AudioEngine;

namespace {

class ResScene : public BaseScene {
public:
    static ResScene* create() { return createScene<ResScene>(); }
    void initRes() override { engine::log("ResScene::initRes"); }
};

class ResLayer : public BaseLayer {
public:
    static ResLayer* create() { return createLayer<ResLayer>(); }
    void initRes() override { engine::log("ResLayer::initRes"); }
};

int g_failingLayersDestroyed = 0;

class FailingLayer : public BaseLayer {
public:
    static FailingLayer* create() { return createLayer<FailingLayer>(); }
    ~FailingLayer() override { ++g_failingLayersDestroyed; }
    bool init() override { return false; }
};

} // namespace

class BaseInitOrder : public CommonUiTest {};

TEST_F(BaseInitOrder, SceneRunsDataResourcesAdaptationInOrder) {
    logLines.clear();
    ASSERT_NE(ResScene::create(), nullptr);
    EXPECT_EQ(logLines,
              (std::vector<std::string>{"BaseScene::initData", "ResScene::initRes", "BaseScene::screenAdaptation"}));
}

TEST_F(BaseInitOrder, LayerRunsAutoLayoutLast) {
    logLines.clear();
    ASSERT_NE(ResLayer::create(), nullptr);
    EXPECT_EQ(logLines, (std::vector<std::string>{"BaseLayer::initData", "ResLayer::initRes",
                                                  "BaseLayer::screenAdaptation", "BaseLayer::autoLayoutWidgets"}));
}

TEST_F(BaseInitOrder, FailedInitDeletesTheObjectAndGivesNull) {
    g_failingLayersDestroyed = 0;
    EXPECT_EQ(FailingLayer::create(), nullptr);
    EXPECT_EQ(g_failingLayersDestroyed, 1);
}

TEST_F(BaseInitOrder, CreatedObjectsAreHandedToTheAutoreleasePool) {
    BaseLayer* layer = BaseLayer::create();
    ASSERT_NE(layer, nullptr);
    EXPECT_TRUE(engine::AutoreleasePool::getInstance().contains(layer));
}

class BaseLayerDestructor : public CommonUiTest {};

TEST_F(BaseLayerDestructor, ClosingALayerStopsTheVoiceAndDropsItsCallback) {
    support::runScene(BaseScene::create());
    BaseLayer* layer = BaseLayer::create();
    engine::Director::getInstance()->getRunningScene()->addChild(layer);
    AudioManager* audio = AudioManager::getInstance();
    audio->playVoice("RightCommon.mp3", [](float) {}, true);
    const int voice = audio->voiceId;
    ASSERT_GT(voice, AudioEngine::INVALID_AUDIO_ID);

    layer->removeFromParentAndCleanup(true);

    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
    EXPECT_FALSE(audio->voiceCallback);
    EXPECT_EQ(AudioEngine::getState(voice), AudioEngine::AudioState::ERROR);
}

TEST_F(BaseLayerDestructor, WithoutAVoiceAStoredCallbackStays) {
    AudioManager* audio = AudioManager::getInstance();
    audio->voiceId = AudioEngine::INVALID_AUDIO_ID;
    audio->voiceCallback = [](float) {};
    BaseLayer* layer = BaseLayer::create();
    layer->retain();
    layer->release();
    support::stepFrames(1);
    EXPECT_TRUE(audio->voiceCallback);
    audio->voiceCallback = nullptr;
}

TEST_F(BaseLayerDestructor, UnusedTexturesGoButShownOnesStay) {
    support::runScene(BaseScene::create());
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    BaseLayer* layer = BaseLayer::create();
    engine::Director::getInstance()->getRunningScene()->addChild(layer);
    layer->addChild(engine::Sprite::create("RightCommon/RightCommon1.png"));
    ASSERT_NE(cache->addImage("RightCommon/RightCommon2.png"), nullptr);
    const std::string shown = engine::FileUtils::getInstance()->fullPathForFilename("RightCommon/RightCommon1.png");
    const std::string unused = engine::FileUtils::getInstance()->fullPathForFilename("RightCommon/RightCommon2.png");

    layer->removeFromParentAndCleanup(true);

    EXPECT_EQ(cache->getTextureForKey(unused), nullptr);
    // The layer's own child was still alive during its clean-up.
    EXPECT_NE(cache->getTextureForKey(shown), nullptr);
}

TEST_F(BaseLayerDestructor, ReplacedSceneReleasesItsUnusedTextures) {
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    support::runScene(BaseScene::create());
    ASSERT_NE(cache->addImage("RightCommon/RightCommon3.png"), nullptr);
    const std::string path = engine::FileUtils::getInstance()->fullPathForFilename("RightCommon/RightCommon3.png");
    support::runScene(BaseScene::create());
    EXPECT_EQ(cache->getTextureForKey(path), nullptr);
}

TEST(ExitApp, EndsTheProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitApp(), ::testing::ExitedWithCode(0), "");
}
