#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <string>

#include <gtest/gtest.h>

#include "ActionsFixture.h"
#include "render/Texture2D.h"
#include "scene/Sprite.h"
#include "scene/SpriteFrame.h"

using namespace engine;

namespace {

// Frames are told apart by their pixel width.
class AnimateTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        for (int width : {2, 3, 4, 5}) {
            writePng(width);
        }
        sprite = Sprite::create(png(5));
        ASSERT_NE(sprite, nullptr);
        layer->addChild(sprite);
    }

    std::string png(int width) const { return scratch.file("frame" + std::to_string(width) + ".png"); }

    void writePng(int width) const {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, 6, 32, SDL_PIXELFORMAT_RGBA32);
        ASSERT_NE(surface, nullptr);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 40 * width, 0, 0, 255));
        ASSERT_EQ(IMG_SavePNG(surface, png(width).c_str()), 0) << IMG_GetError();
        SDL_FreeSurface(surface);
    }

    // Frames of widths 2, 3, 4.
    Animation* threeFrames(float delay, int loops, bool restore) const {
        Animation* animation = Animation::create();
        for (int width : {2, 3, 4}) {
            animation->addSpriteFrameWithFile(png(width));
        }
        animation->setDelayPerUnit(delay);
        animation->setLoops(loops);
        animation->setRestoreOriginalFrame(restore);
        return animation;
    }

    int shownWidth() const { return sprite->getTexture() ? sprite->getTexture()->getPixelsWide() : 0; }

    support::ScratchDir scratch;
    Sprite* sprite = nullptr;
};

} // namespace

using AnimationFrames = AnimateTest;

TEST_F(AnimationFrames, DurationIsFramesTimesDelayTimesLoops) {
    Animation* animation = threeFrames(0.1f, 4, false);
    EXPECT_EQ(animation->getFrames().size(), 3u);
    EXPECT_FLOAT_EQ(animation->getDuration(), 1.2f);
    EXPECT_FLOAT_EQ(Animate::create(animation)->getDuration(), 1.2f);
    animation->setLoops(0);
    EXPECT_EQ(animation->getLoops(), 1);
    EXPECT_FLOAT_EQ(animation->getDuration(), 0.3f);
}

TEST_F(AnimationFrames, UnloadableFileIsSkipped) {
    Animation* animation = Animation::create();
    animation->addSpriteFrameWithFile(png(2));
    animation->addSpriteFrameWithFile(scratch.file("missing.png"));
    animation->addSpriteFrame(nullptr);
    EXPECT_EQ(animation->getFrames().size(), 1u);
    EXPECT_TRUE(logged("missing.png"));
}

TEST_F(AnimationFrames, FileFramesAreSharedThroughTheFrameCache) {
    Animation* first = threeFrames(0.1f, 1, false);
    Animation* second = threeFrames(0.1f, 1, false);
    EXPECT_EQ(first->getFrames().at(1), second->getFrames().at(1));
    EXPECT_EQ(SpriteFrameCache::getInstance()->getSpriteFrameByName(png(3)), first->getFrames().at(1));
}

using AnimatePlayback = AnimateTest;

TEST_F(AnimatePlayback, ShowsFrameIFromIDelaysInEachLoop) {
    sprite->runAction(Animate::create(threeFrames(0.1f, 2, false)));
    const int expected[] = {2, 3, 4, 2, 3, 4}; // at 0.05, 0.15, ... 0.55 s
    step(0.05f);
    EXPECT_EQ(shownWidth(), expected[0]);
    for (int i = 1; i < 6; ++i) {
        step(0.1f);
        EXPECT_EQ(shownWidth(), expected[i]) << "sample " << i;
    }
    step(0.1f);
    EXPECT_EQ(shownWidth(), 4); // no restore: the last frame stays
    EXPECT_EQ(sprite->getNumberOfRunningActions(), 0);
}

TEST_F(AnimatePlayback, RestoresTheOriginalPictureAtTheEnd) {
    Texture2D* original = sprite->getTexture();
    const Size originalSize = sprite->getContentSize();
    bool restoredInCallback = false;
    sprite->runAction(Sequence::create(Animate::create(threeFrames(0.1f, 1, true)),
                                       CallFunc::create([&] { restoredInCallback = sprite->getTexture() == original; }),
                                       nullptr));
    step(0.15f);
    EXPECT_EQ(shownWidth(), 3);
    EXPECT_FLOAT_EQ(sprite->getContentSize().width, 3.f);
    step(0.15f);
    EXPECT_TRUE(restoredInCallback);
    EXPECT_EQ(sprite->getTexture(), original);
    EXPECT_FLOAT_EQ(sprite->getTextureRectInPixels().size.width, 5.f);
    EXPECT_FLOAT_EQ(sprite->getContentSize().width, originalSize.width);
    EXPECT_FLOAT_EQ(sprite->getContentSize().height, originalSize.height);
}

TEST_F(AnimatePlayback, NoFramesLastsZeroAndTheNextCallbackRuns) {
    Texture2D* original = sprite->getTexture();
    Animation* empty = Animation::create();
    empty->setDelayPerUnit(0.1f);
    empty->setRestoreOriginalFrame(true);
    bool called = false;
    auto* animate = Animate::create(empty);
    EXPECT_FLOAT_EQ(animate->getDuration(), 0.f);
    sprite->runAction(Sequence::create(animate, CallFunc::create([&] { called = true; }), nullptr));
    step(support::kFrame);
    EXPECT_TRUE(called);
    EXPECT_EQ(sprite->getTexture(), original);
}

TEST_F(AnimatePlayback, CloneReplaysTheSameAnimation) {
    auto* animate = Animate::create(threeFrames(0.1f, 1, false));
    Sprite* other = Sprite::create(png(5));
    layer->addChild(other);
    sprite->runAction(animate);
    other->runAction(animate->clone());
    step(0.15f);
    EXPECT_EQ(other->getTexture(), sprite->getTexture());
    EXPECT_EQ(shownWidth(), 3);
}

TEST_F(AnimatePlayback, NonSpriteTargetOnlyTakesTime) {
    Node* node = addNode();
    bool called = false;
    node->runAction(Sequence::create(Animate::create(threeFrames(0.1f, 1, false)),
                                     CallFunc::create([&] { called = true; }), nullptr));
    EXPECT_TRUE(logged("not a sprite"));
    step(0.2f);
    EXPECT_FALSE(called);
    step(0.1f);
    EXPECT_TRUE(called);
}

