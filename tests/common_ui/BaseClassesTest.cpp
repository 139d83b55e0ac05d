#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/AudioManager.h"
#include "common/BaseLayer.h"
#include "common/BaseScene.h"
#include "common/ExitApp.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "scene/Scene.h"
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

class BaseInit : public CommonUiTest {};

TEST_F(BaseInit, StepsRunInOrderWithTheSubclassVersions) {
    ASSERT_NE(ResScene::create(), nullptr);
    ASSERT_NE(ResLayer::create(), nullptr);
    EXPECT_EQ(logLines,
              (std::vector<std::string>{"BaseScene::initData", "ResScene::initRes", "BaseScene::screenAdaptation",
                                        "BaseLayer::initData", "ResLayer::initRes", "BaseLayer::screenAdaptation",
                                        "BaseLayer::autoLayoutWidgets"}));
}

TEST_F(BaseInit, FailedInitDeletesTheObjectAndGivesNull) {
    g_failingLayersDestroyed = 0;
    EXPECT_EQ(FailingLayer::create(), nullptr);
    EXPECT_EQ(g_failingLayersDestroyed, 1);
}

class BaseCleanUp : public CommonUiTest {
protected:
    // Nothing unused is kept, unless a test says so.
    void SetUp() override {
        CommonUiTest::SetUp();
        cache()->setKeptUnusedBytes(0);
    }
    void TearDown() override {
        cache()->setKeptUnusedBytes(engine::TextureCache::kKeptUnusedBytes);
        CommonUiTest::TearDown();
    }
    static engine::TextureCache* cache() { return engine::Director::getInstance()->getTextureCache(); }
    BaseLayer* addLayer() {
        support::runScene(BaseScene::create());
        BaseLayer* layer = BaseLayer::create();
        engine::Director::getInstance()->getRunningScene()->addChild(layer);
        return layer;
    }
};

TEST_F(BaseCleanUp, ClosingALayerStopsTheVoiceAndDropsItsCallback) {
    BaseLayer* layer = addLayer();
    AudioManager* audio = AudioManager::getInstance();
    audio->playVoice(
        "RightCommon.mp3", [](float) {}, true);
    const int voice = audio->voiceId;
    ASSERT_GT(voice, AudioEngine::INVALID_AUDIO_ID);
    layer->removeFromParentAndCleanup(true);
    support::stepFrames(1); // the pool lets the layer go at the end of the frame
    EXPECT_EQ(audio->voiceId, AudioEngine::INVALID_AUDIO_ID);
    EXPECT_FALSE(audio->voiceCallback);
    EXPECT_EQ(AudioEngine::getState(voice), AudioEngine::AudioState::ERROR);

    // With no voice playing, a stored callback stays.
    audio->voiceCallback = [](float) {};
    addLayer()->removeFromParentAndCleanup(true);
    support::stepFrames(1);
    EXPECT_TRUE(audio->voiceCallback);
    audio->voiceCallback = nullptr;
}

TEST_F(BaseCleanUp, UnusedTexturesGoButOnesShownByChildrenStay) {
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    BaseLayer* layer = addLayer();
    layer->addChild(engine::Sprite::create("RightCommon/RightCommon1.png"));
    ASSERT_NE(cache->addImage("RightCommon/RightCommon2.png"), nullptr);
    layer->removeFromParentAndCleanup(true);
    support::stepFrames(1);
    EXPECT_EQ(cache->getTextureForKey("RightCommon/RightCommon2.png"), nullptr);
    EXPECT_NE(cache->getTextureForKey("RightCommon/RightCommon1.png"), nullptr);

    // The next screen change frees what the layer's child held.
    support::runScene(BaseScene::create());
    EXPECT_EQ(cache->getTextureForKey("RightCommon/RightCommon1.png"), nullptr);
}

TEST_F(BaseCleanUp, AScreensPicturesGoWithIt) {
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    ResScene* screen = ResScene::create();
    screen->addChild(engine::Sprite::create("RightCommon/RightCommon1.png"));
    support::runScene(screen);
    // The next scene cleans nothing itself.
    support::runScene(engine::Scene::create());
    support::stepFrames(2);
    EXPECT_EQ(cache->getTextureForKey("RightCommon/RightCommon1.png"), nullptr);
}

TEST_F(BaseCleanUp, TheLastScreensPicturesStayWithinTheBudget) {
    const auto show = [](const char* picture) {
        ResScene* screen = ResScene::create();
        screen->addChild(engine::Sprite::create(picture));
        support::runScene(screen);
    };
    show("RightCommon/RightCommon1.png");
    engine::Texture2D* second = cache()->addImage("RightCommon/RightCommon2.png");
    ASSERT_NE(second, nullptr);
    cache()->setKeptUnusedBytes(static_cast<size_t>(second->getPixelsWide()) * second->getPixelsHigh() * 4);
    show("RightCommon/RightCommon2.png");
    support::runScene(ResScene::create());
    EXPECT_NE(cache()->getTextureForKey("RightCommon/RightCommon2.png"), nullptr);
    EXPECT_EQ(cache()->getTextureForKey("RightCommon/RightCommon1.png"), nullptr);
}

TEST(ExitApp, EndsTheProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitApp(), ::testing::ExitedWithCode(0), "");
}
