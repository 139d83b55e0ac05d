#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include "base/Director.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "scene/Label.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"

using namespace engine;

namespace {

std::string writePng(const support::ScratchDir& dir, const std::string& name, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, r, g, b, 255));
    const std::string path = dir.file(name);
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

class Rendering : public support::HeadlessTest {
protected:
    support::ScratchDir dir;
};

} // namespace

TEST_F(Rendering, TextureSizeInPointsIsPixelsOverTheContentScale) {
    Director::getInstance()->setContentScaleFactor(0.8f);
    auto* sprite = Sprite::create(writePng(dir, "a.png", 100, 40, 255, 0, 0));
    ASSERT_NE(sprite, nullptr);
    EXPECT_FLOAT_EQ(sprite->getContentSize().width, 125.f);
    EXPECT_FLOAT_EQ(sprite->getContentSize().height, 50.f);
}

TEST_F(Rendering, SpriteCreateIsNullForMissingOrUndecodableFiles) {
    EXPECT_EQ(Sprite::create(dir.file("missing.png")), nullptr);
    FILE* f = fopen(dir.file("bad.png").c_str(), "w");
    fputs("not a png", f);
    fclose(f);
    EXPECT_EQ(Sprite::create(dir.file("bad.png")), nullptr);
    EXPECT_EQ(Sprite::create(""), nullptr);
}

TEST_F(Rendering, UnusedTexturesArePurgedButShownOnesSurvive) {
    auto* cache = Director::getInstance()->getTextureCache();
    const std::string shown = writePng(dir, "shown.png", 4, 4, 0, 0, 255);
    const std::string unused = writePng(dir, "unused.png", 4, 4, 0, 255, 0);
    auto* sprite = Sprite::create(shown);
    sprite->retain();
    cache->addImage(unused);
    cache->removeUnusedTextures();
    EXPECT_NE(cache->getTextureForKey(shown), nullptr);
    EXPECT_EQ(cache->getTextureForKey(unused), nullptr);
    sprite->release();
}

TEST_F(Rendering, AsyncLoadsCallBackOnTheMainThreadAndAtOnceWhenCached) {
    auto* cache = Director::getInstance()->getTextureCache();
    const std::string path = writePng(dir, "async.png", 8, 8, 255, 255, 0);
    Texture2D* loaded = nullptr;
    bool called = false;
    cache->addImageAsync(path, [&](Texture2D* t) {
        called = true;
        loaded = t;
    });
    EXPECT_FALSE(called);
    ASSERT_TRUE(support::waitFor([&] { return called; }));
    EXPECT_NE(loaded, nullptr);
    bool immediate = false;
    cache->addImageAsync(path, [&](Texture2D*) { immediate = true; });
    EXPECT_TRUE(immediate);
    bool failed = false, failedCalled = false;
    cache->addImageAsync(dir.file("none.png"), [&](Texture2D* t) {
        failedCalled = true;
        failed = t == nullptr;
    });
    ASSERT_TRUE(support::waitFor([&] { return failedCalled; }));
    EXPECT_TRUE(failed);
}

TEST_F(Rendering, DrawsTintedSpritesWhereTheyStand) {
    auto* scene = Scene::create();
    auto* sprite = Sprite::create(writePng(dir, "white.png", 100, 100, 255, 255, 255));
    sprite->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    sprite->setPosition(0, 0);
    sprite->setColor(Color3B(0, 255, 0));
    scene->addChild(sprite);
    support::runScene(scene);
    support::stepFrames(1);
    // Bottom-left origin: the sprite covers the lowest 100 rows of the window.
    const Color4B inside = support::readPixel(50, 719 - 50);
    EXPECT_EQ(inside.g, 255);
    EXPECT_EQ(inside.r, 0);
    const Color4B outside = support::readPixel(50, 50);
    EXPECT_EQ(outside.g, 0);
}

TEST_F(Rendering, ZeroScaleDrawsNothing) {
    auto* scene = Scene::create();
    auto* sprite = Sprite::create(writePng(dir, "white.png", 100, 100, 255, 255, 255));
    sprite->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    sprite->setScaleX(0);
    scene->addChild(sprite);
    support::runScene(scene);
    support::stepFrames(1);
    EXPECT_EQ(support::readPixel(50, 669).r, 0);
}

TEST_F(Rendering, LabelWidthIsTheRenderedTextWidth) {
    auto* empty = Label::createWithTTF("", getDefaultFont(), 24);
    ASSERT_NE(empty, nullptr);
    EXPECT_FLOAT_EQ(empty->getContentSize().width, 0.f);
    auto* shortText = Label::createWithTTF("ab", getDefaultFont(), 24);
    auto* longText = Label::createWithTTF("abcdefgh", getDefaultFont(), 24);
    EXPECT_GT(longText->getContentSize().width, shortText->getContentSize().width);
    EXPECT_EQ(Label::createWithTTF("x", "/no/such/font.ttf", 24), nullptr);
}

TEST_F(Rendering, StreamingTextureUploadsFramesWithoutReallocating) {
    std::vector<uint8_t> frame(64 * 32 * 4, 200);
    auto* texture = new Texture2D();
    ASSERT_TRUE(
        texture->initWithData(frame.data(), frame.size(), Texture2D::PixelFormat::RGBA8888, 64, 32, Size(64, 32)));
    SDL_Texture* first = texture->getSDLTexture();
    frame.assign(frame.size(), 10);
    ASSERT_TRUE(
        texture->initWithData(frame.data(), frame.size(), Texture2D::PixelFormat::RGBA8888, 64, 32, Size(64, 32)));
    EXPECT_EQ(texture->getSDLTexture(), first);
    EXPECT_FALSE(texture->initWithData(frame.data(), 10, Texture2D::PixelFormat::RGBA8888, 64, 32, Size(64, 32)));
    texture->release();
}
