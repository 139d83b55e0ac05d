// Opaque pictures on the software renderer: kept in the target's pixel format, copied without blending and, when
// stretched, drawn from a copy stretched once; every pixel as the plain road draws it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <functional>
#include <random>
#include <vector>

#include "base/Director.h"
#include "render/CopyCache.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "ui/Layout.h"

using namespace engine;

namespace {

Renderer* renderer() {
    return Director::getInstance()->getRenderer();
}

// Every pixel different from its neighbours: a texel sampled one off shows.
Texture2D* noiseTexture(int w, int h, uint32_t format, uint32_t seed, bool translucentRim = false) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    std::mt19937 random(seed);
    auto* pixels = static_cast<uint8_t*>(surface->pixels);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = pixels + y * surface->pitch + x * 4;
            const uint32_t v = random();
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
            p[2] = static_cast<uint8_t>(v >> 16);
            const bool rim = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
            p[3] = translucentRim && rim ? static_cast<uint8_t>(v >> 24) % 200 : 255;
        }
    }
    SDL_Surface* loaded = SDL_ConvertSurfaceFormat(surface, format, 0);
    SDL_FreeSurface(surface);
    auto* texture = new Texture2D();
    EXPECT_TRUE(texture->initWithSurface(loaded));
    SDL_FreeSurface(loaded);
    texture->autorelease();
    return texture;
}

Sprite* addSprite(Node* parent, Texture2D* texture, const Vec2& position, float scaleX, float scaleY) {
    Sprite* sprite = Sprite::createWithTexture(texture);
    sprite->setPosition(position);
    sprite->setScale(scaleX, scaleY);
    parent->addChild(sprite);
    return sprite;
}

std::vector<uint8_t> frameAfter(int frames) {
    for (int i = 0; i < frames; ++i) {
        renderer()->invalidate();
        Director::getInstance()->mainLoop(support::kFrame);
    }
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    renderer()->readPixels(rgba, w, h);
    return rgba;
}

long differingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    long count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += a[i] != b[i];
    }
    return a.size() == b.size() ? count : -1;
}

class OpaquePictures : public support::HeadlessTest {
protected:
    // The scene over a noisy backdrop, drawn the plain way, then with the shortcuts until copies are steady: the
    // same pixels. Returns what the shortcut frames did.
    Renderer::Stats expectSamePixels(const std::function<void(Node*)>& build) {
        Scene* scene = Scene::create();
        addSprite(scene, noiseTexture(1280, 720, SDL_PIXELFORMAT_RGBA32, 7, true), Vec2(640, 360), 1, 1);
        build(scene);
        support::runScene(scene);
        renderer()->setShortcutsEnabled(false);
        const std::vector<uint8_t> plain = frameAfter(1);
        renderer()->setShortcutsEnabled(true);
        const Renderer::Stats before = renderer()->getStats();
        const std::vector<uint8_t> first = frameAfter(1);
        const std::vector<uint8_t> steady = frameAfter(static_cast<int>(CopyCache::kSteadyFrames));
        Renderer::Stats done = renderer()->getStats();
        EXPECT_EQ(differingBytes(first, plain), 0);
        EXPECT_EQ(differingBytes(steady, plain), 0);
        done.opaqueCopies -= before.opaqueCopies;
        done.scaledCopyDraws -= before.scaledCopyDraws;
        done.opaqueFills -= before.opaqueFills;
        return done;
    }
};

} // namespace

TEST_F(OpaquePictures, PicturesWithoutAlphaAreKeptInTheTargetFormat) {
    Texture2D* opaque = noiseTexture(40, 30, SDL_PIXELFORMAT_RGB24, 1);
    Texture2D* translucent = noiseTexture(40, 30, SDL_PIXELFORMAT_ARGB8888, 2, true);
    Uint32 format = 0;
    SDL_QueryTexture(opaque->getSDLTexture(), &format, nullptr, nullptr, nullptr);
    EXPECT_EQ(format, renderer()->getTargetFormat());
    EXPECT_TRUE(opaque->isOpaque());
    SDL_QueryTexture(translucent->getSDLTexture(), &format, nullptr, nullptr, nullptr);
    EXPECT_EQ(format, static_cast<Uint32>(SDL_PIXELFORMAT_ARGB8888));
    EXPECT_FALSE(translucent->isOpaque());
    EXPECT_TRUE(translucent->isOpaque(SDL_Rect{3, 3, 34, 24}));
    EXPECT_FALSE(translucent->isOpaque(SDL_Rect{2, 3, 34, 24}));
    EXPECT_FALSE(translucent->isOpaque(SDL_Rect{3, 3, 34, 25}));
}

TEST_F(OpaquePictures, UnscaledAndStretchedPicturesMatchTheBlendedOnes) {
    const Renderer::Stats done = expectSamePixels([](Node* scene) {
        const uint32_t formats[] = {SDL_PIXELFORMAT_RGB24, SDL_PIXELFORMAT_RGBA32, SDL_PIXELFORMAT_ARGB8888};
        const float scales[][2] = {{1, 1}, {1.25f, 1.25f}, {3.7f, 0.6f}, {0.5f, 2.f}, {80.f, 5.6f}};
        int i = 0;
        for (const uint32_t format : formats) {
            for (const auto& scale : scales) {
                Texture2D* texture = noiseTexture(16 + i, 12 + i % 5, format, 100 + i);
                addSprite(scene, texture, Vec2(60.f + (i % 8) * 150, 80.f + (i / 8) * 220), scale[0], scale[1]);
                ++i;
            }
        }
    });
    EXPECT_GT(done.opaqueCopies, 0u);
    EXPECT_GT(done.scaledCopyDraws, 0u);
}

TEST_F(OpaquePictures, PicturesHalfOffTheTargetOrClippedMatchTheBlendedOnes) {
    const Renderer::Stats done = expectSamePixels([](Node* scene) {
        addSprite(scene, noiseTexture(16, 128, SDL_PIXELFORMAT_RGB24, 3), Vec2(640, 360), 80, 8);
        addSprite(scene, noiseTexture(50, 40, SDL_PIXELFORMAT_RGB24, 4), Vec2(1270, 5), 1.3f, 2.1f);
        auto* panel = ui::Layout::create();
        panel->setContentSize(Size(200, 150));
        panel->setPosition(Vec2(400.5f, 300.25f));
        panel->setClippingEnabled(true);
        scene->addChild(panel);
        addSprite(panel, noiseTexture(30, 20, SDL_PIXELFORMAT_RGB24, 5), Vec2(10, 140), 4.3f, 2.7f);
        addSprite(panel, noiseTexture(30, 20, SDL_PIXELFORMAT_RGB24, 6), Vec2(150, 20), 1, 1);
    });
    EXPECT_GT(done.opaqueCopies, 0u);
    EXPECT_GT(done.scaledCopyDraws, 0u);
}

TEST_F(OpaquePictures, OpaqueRegionsOfTranslucentPicturesMatchAndTranslucentOnesBlend) {
    const Renderer::Stats done = expectSamePixels([](Node* scene) {
        Texture2D* texture = noiseTexture(64, 48, SDL_PIXELFORMAT_RGBA32, 8, true);
        // The centre of a nine-slice picture, stretched; the whole picture, rim included; a faded one.
        Sprite* centre = addSprite(scene, texture, Vec2(300, 300), 1, 1);
        centre->setTextureRectInPixels(Rect(3, 3, 58, 42));
        centre->setScale(4.5f, 3.25f);
        addSprite(scene, texture, Vec2(800, 300), 2.5f, 2.5f);
        addSprite(scene, noiseTexture(64, 48, SDL_PIXELFORMAT_RGB24, 9), Vec2(1000, 600), 1.5f, 1.5f)->setOpacity(120);
    });
    EXPECT_GT(done.opaqueCopies, 0u);
    EXPECT_GT(done.scaledCopyDraws, 0u);
}

TEST_F(OpaquePictures, OpaqueColourRectanglesOnWholePixelsMatchTheRasterisedOnes) {
    const Renderer::Stats done = expectSamePixels([](Node* scene) {
        const Rect boxes[] = {Rect(0, -152, 1280, 1024), Rect(100, 100, 300, 200), Rect(500.5f, 100, 300, 200.25f),
                              Rect(900, 100, 300, 200)};
        const GLubyte opacities[] = {255, 255, 255, 140};
        for (int i = 0; i < 4; ++i) {
            auto* box = ui::Layout::create();
            box->setContentSize(boxes[i].size);
            box->setPosition(boxes[i].origin);
            box->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
            box->setBackGroundColor(Color3B(static_cast<GLubyte>(40 * i), 180, 90));
            box->setBackGroundColorOpacity(opacities[i]);
            scene->addChild(box, i == 0 ? -1 : 0);
        }
    });
    // The two upright opaque ones on whole pixels, every frame.
    EXPECT_EQ(done.opaqueFills, 2u * (1 + CopyCache::kSteadyFrames));
}
