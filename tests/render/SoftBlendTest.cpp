// Translucent drawing by SoftBlend against SDL's own blending: the same pixels to the bit, and SDL's road whenever a
// loop disagrees with it.
#include <gtest/gtest.h>

#include <SDL.h>
#include <malloc.h>

#include <functional>
#include <vector>

#include "AddSprite.h"
#include "base/Director.h"
#include "render/Renderer.h"
#include "render/SoftBlend.h"
#include "render/Texture2D.h"
#include "scene/ActionIntervals.h"
#include "scene/Label.h"
#include "scene/Scene.h"
#include "support/Headless.h"
#include "ui/Layout.h"

using namespace engine;
using rendertest::addSprite;

namespace {

constexpr uint32_t kOwn = SDL_PIXELFORMAT_ABGR8888, kOther = SDL_PIXELFORMAT_ARGB8888;

Renderer* renderer() {
    return Director::getInstance()->getRenderer();
}

// A loaded picture (static texture) of every alpha, 90x50, in the given SDL format.
Texture2D* picture(uint32_t format, bool opaque = false) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 90, 50, 32, format);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 90; ++x) {
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch)[x] =
                SDL_MapRGBA(surface->format, Uint8(x * 3), Uint8(y * 5), Uint8(200 - x),
                            Uint8(opaque ? 255 : (x * 7 + y * 13) % 256));
        }
    }
    auto* texture = new Texture2D();
    texture->initWithSurface(surface);
    SDL_FreeSurface(surface);
    texture->autorelease();
    return texture;
}

ui::Layout* addPanel(Node* parent, const Size& size, GLubyte opacity, const Color3B& colour = Color3B(10, 20, 30)) {
    auto* panel = ui::Layout::create();
    panel->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    panel->setContentSize(size);
    panel->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
    panel->setBackGroundColor(colour);
    panel->setBackGroundColorOpacity(opacity);
    parent->addChild(panel);
    return panel;
}

std::vector<uint8_t> drawAndRead(int frames, float dt = support::kFrame) {
    for (int i = 0; i < frames; ++i) {
        renderer()->redrawFrame();
        Director::getInstance()->mainLoop(dt);
    }
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    renderer()->readPixels(rgba, w, h);
    return rgba;
}

// The frame of this moment drawn by SDL alone is `soft`, to the bit.
void expectSdlDraws(const std::vector<uint8_t>& soft) {
    renderer()->setSoftBlendEnabled(false);
    EXPECT_TRUE(drawAndRead(1, 0.f) == soft);
    renderer()->setSoftBlendEnabled(true);
}

// The scene, on bands of many colours and alphas, drawn by SoftBlend (after the frames pictures need to count as
// steady) the same as by SDL; the stats of the frames drawn with SoftBlend.
Renderer::Stats drawBothWays(const std::function<void(Scene*)>& build, bool backdrop = true) {
    Scene* scene = Scene::create();
    for (int i = 0; backdrop && i < 6; ++i) {
        addPanel(scene, Size(1280, 120), GLubyte(255 - 45 * i), Color3B(GLubyte(40 * i), GLubyte(250 - 37 * i), 90))
            ->setPosition(Vec2(0, 120.f * i));
    }
    build(scene);
    support::runScene(scene);
    const Renderer::Stats before = renderer()->getStats();
    const std::vector<uint8_t> soft = drawAndRead(4);
    Renderer::Stats d = renderer()->getStats();
    d.softPictures -= before.softPictures, d.softColours -= before.softColours;
    d.dimmedReuses -= before.dimmedReuses, d.clearsSkipped -= before.clearsSkipped;
    expectSdlDraws(soft);
    return d;
}

// 64x40 RGBA of every alpha, in the given red.
std::vector<uint8_t> pixels(uint8_t red) {
    std::vector<uint8_t> rgba(64 * 40 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = red, rgba[i + 1] = uint8_t(i / 40), rgba[i + 2] = 90, rgba[i + 3] = uint8_t(i / 4 % 256);
    }
    return rgba;
}

Texture2D* upload(Texture2D* texture, const std::vector<uint8_t>& rgba) {
    texture->initWithData(rgba.data(), ssize_t(rgba.size()), Texture2D::PixelFormat::RGBA8888, 64, 40, Size(64, 40));
    return texture;
}

void write(Texture2D* texture, uint8_t red) {
    SDL_UpdateTexture(texture->getSDLTexture(), nullptr, pixels(red).data(), 64 * 4);
}

class SoftBlendDrawing : public support::HeadlessTest {
protected:
    void TearDown() override {
        SoftBlend::setMismatchForTesting(false);
        SoftBlend::useAvx2(true);
        support::HeadlessTest::TearDown();
    }
};

} // namespace

TEST_F(SoftBlendDrawing, EveryLoopMatchesSdlWithEitherInstructionSet) {
    using Case = SoftBlend::Case;
    for (const bool avx2 : {false, SoftBlend::hasAvx2()}) {
        SoftBlend::useAvx2(avx2);
        for (const uint32_t target : {kOwn, kOther}) {
            for (const uint32_t format : {kOwn, kOther}) {
                SoftBlend blend(target);
                for (const Case which : {Case::SameFormat, Case::OtherFormat, Case::Divided, Case::Colour}) {
                    if (which == Case::Colour || blend.caseFor(format, which == Case::Divided) == which) {
                        EXPECT_TRUE(blend.ready(which, format))
                            << avx2 << " " << target << " " << format << " " << int(which);
                    }
                }
            }
        }
    }
}

TEST_F(SoftBlendDrawing, PicturesAndColoursAreTheSameAsSdlsToTheBit) {
    struct Row {
        const char* name;
        uint32_t format;
        Vec2 at, scale;
        Color4B tint;
        float rotation;
        bool clipped; // in a clipping panel at (100, 100), 300 x 200
        bool ours;    // rotated pictures, and stretched ones SDL clips, are SDL's
    };
    const Color4B white = Color4B::WHITE;
    const Row rows[] = {
        {"1:1, own byte order", kOwn, {300, 301}, {1, 1}, white, 0, false, true},
        {"1:1, other byte order", kOther, {300, 301}, {1, 1}, white, 0, false, true},
        {"half off the window", kOwn, {10, 700}, {1, 1}, white, 0, false, true},
        {"half off the window", kOther, {1275, 5}, {1, 1}, white, 0, false, true},
        {"stretched", kOwn, {300, 300}, {2.37f, 1.61f}, white, 0, false, true},
        {"shrunk", kOther, {700, 300}, {0.53f, 0.71f}, white, 0, false, true},
        {"tinted", kOwn, {300, 300}, {1, 1}, Color4B(200, 120, 255, 180), 0, false, true},
        {"rotated", kOwn, {500, 300}, {1, 1}, white, 33, false, false},
        {"stretched off the window", kOwn, {30, 697}, {2.37f, 1.61f}, white, 0, false, false},
        {"shrunk off the window", kOther, {1270, 9}, {0.53f, 0.71f}, white, 0, false, false},
        {"stretched across a clip edge", kOwn, {7, 183}, {2.37f, 1.61f}, white, 0, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Renderer::Stats stats = drawBothWays([&](Scene* s) {
            Node* parent = s;
            if (row.clipped) {
                auto* clip = addPanel(s, Size(300, 200), 0);
                clip->setClippingEnabled(true), clip->setPosition(Vec2(100.f, 100.f));
                parent = clip;
            }
            Sprite* sprite = addSprite(parent, picture(row.format), row.at);
            sprite->setScale(row.scale.x, row.scale.y), sprite->setRotation(row.rotation);
            sprite->setColor(Color3B(row.tint)), sprite->setOpacity(row.tint.a);
        });
        EXPECT_EQ(stats.softPictures > 0, row.ours);
        EXPECT_GT(stats.softColours, 0u); // the backdrop's translucent bands
    }
    // A changing tint, an opaque picture faded, and text.
    EXPECT_GT(drawBothWays([](Scene* s) {
                  Sprite* fading = addSprite(s, picture(kOther), Vec2(700, 300));
                  fading->setScale(1.3f), fading->runAction(FadeOut::create(1.f));
                  fading->runAction(TintTo::create(1.f, 30, 250, 90));
                  addSprite(s, picture(kOwn, true), Vec2(500, 300))->setOpacity(128);
                  Label* label = Label::create("Dimmed 12 + 30", "", 40);
                  label->setPosition(Vec2(400, 500));
                  s->addChild(label);
              }).softPictures,
              0u);
    // Colour masks over the window and clipped.
    drawBothWays([](Scene* s) {
        addPanel(s, Size(1280, 720), 140);
        addSprite(s, picture(kOwn), Vec2(300, 300));
        auto* clip = addPanel(s, Size(300, 200), 0);
        clip->setClippingEnabled(true), clip->setPosition(Vec2(100.f, 100.f));
        addPanel(clip, Size(500, 500), 77)->setPosition(Vec2(-50.f, -50.f));
    });
    // A full-window opaque background is not cleared under.
    const auto opaqueBackground = [](Scene* s) {
        addSprite(s, picture(kOwn, true), Vec2(640, 360))->setScale(1280.f / 90, 720.f / 50);
        addSprite(s, picture(kOwn), Vec2(300, 300));
    };
    EXPECT_GT(drawBothWays(opaqueBackground, false).clearsSkipped, 0u);
}

TEST_F(SoftBlendDrawing, ALoopThatDisagreesWithSdlLeavesTheDrawingToSdl) {
    SoftBlend::setMismatchForTesting(true);
    const Renderer::Stats stats = drawBothWays([](Scene* s) {
        addPanel(s, Size(1280, 720), 100);
        addSprite(s, picture(kOwn), Vec2(300, 300))->setScale(1.5f);
        addSprite(s, picture(kOther), Vec2(700, 300));
    });
    EXPECT_EQ(stats.softPictures + stats.softColours, 0u);
}

TEST_F(SoftBlendDrawing, NewPixelsShowAtOnceAndTheFrameUnderAMaskIsKeptWhileItStaysTheSame) {
    Texture2D* texture = upload(new Texture2D(), pixels(30));
    texture->autorelease();
    EXPECT_GT(drawBothWays([&](Scene* s) { addSprite(s, texture, Vec2(300, 300)); }).softPictures, 0u);
    // Uploaded again, and changed behind the texture's back with the node saying so.
    upload(texture, pixels(220));
    expectSdlDraws(drawAndRead(1));
    drawAndRead(4);
    write(texture, 120), texture->markChanged();
    expectSdlDraws(drawAndRead(1));

    Sprite *under = nullptr, *over = nullptr;
    Node* mask = nullptr;
    EXPECT_GT(drawBothWays([&](Scene* s) {
                  under = addSprite(s, texture, Vec2(300, 300));
                  mask = addPanel(s, Size(1280, 720), 150);
                  over = addSprite(s, picture(kOther), Vec2(600, 300));
              }).dimmedReuses,
              0u);
    // Above the mask a change is drawn on the kept frame; under it (also pixels only the node tells of) the frame
    // is drawn again.
    const std::pair<std::function<void()>, uint64_t> changes[] = {
        {[&] { over->setPosition(over->getPosition() + Vec2(37, 11)); }, 1},
        {[&] { under->setPosition(under->getPosition() + Vec2(37, 11)); }, 0},
        {[&] { write(texture, 40), under->setNeedsRedraw(); }, 0}};
    for (const auto& [change, reused] : changes) {
        const uint64_t before = renderer()->getStats().dimmedReuses;
        drawAndRead(2);
        const uint64_t reuses = renderer()->getStats().dimmedReuses;
        EXPECT_EQ(reuses - before, 1u);
        change();
        const std::vector<uint8_t> soft = drawAndRead(1);
        EXPECT_EQ(renderer()->getStats().dimmedReuses - reuses, reused);
        expectSdlDraws(soft);
    }
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // The kept frame is freed with the mask (the sanitizers replace the C library's allocator and its figures).
    const auto allocated = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    drawAndRead(2);
    const size_t before = allocated();
    mask->removeFromParent();
    drawAndRead(1);
    EXPECT_LE(allocated() + 1280u * 720u * 4u, before);
#endif
}
