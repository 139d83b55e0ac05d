// Translucent drawing by SoftBlend against SDL's own blending: the same pixels to the bit, and SDL's road whenever a
// loop disagrees with it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <functional>
#include <vector>

#include "base/Director.h"
#include "render/Renderer.h"
#include "render/SoftBlend.h"
#include "render/Texture2D.h"
#include "scene/ActionIntervals.h"
#include "scene/Label.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "ui/Layout.h"

using namespace engine;

namespace {

Renderer* renderer() {
    return Director::getInstance()->getRenderer();
}

// A loaded picture (static texture) of every alpha, 90x50, in the given SDL format.
Texture2D* picture(uint32_t format, bool opaque = false) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 90, 50, 32, format);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 90; ++x) {
            const auto alpha = static_cast<Uint8>(opaque ? 255 : (x * 7 + y * 13) % 256);
            const Uint32 pixel = SDL_MapRGBA(surface->format, static_cast<Uint8>(x * 3), static_cast<Uint8>(y * 5),
                                             static_cast<Uint8>(200 - x), alpha);
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch)[x] = pixel;
        }
    }
    auto* texture = new Texture2D();
    texture->initWithSurface(surface);
    SDL_FreeSurface(surface);
    texture->autorelease();
    return texture;
}

// A backdrop of many colours and alphas for the blending to show on.
void addBackdrop(Scene* scene) {
    for (int i = 0; i < 6; ++i) {
        auto* band = ui::Layout::create();
        band->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        band->setPosition(Vec2(0, 120.f * i));
        band->setContentSize(Size(1280, 120));
        band->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
        band->setBackGroundColor(Color3B(static_cast<GLubyte>(40 * i), static_cast<GLubyte>(250 - 37 * i), 90));
        band->setBackGroundColorOpacity(static_cast<GLubyte>(255 - 45 * i));
        scene->addChild(band);
    }
}

ui::Layout* addMask(Node* parent, const Size& size, GLubyte opacity) {
    auto* mask = ui::Layout::create();
    mask->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    mask->setContentSize(size);
    mask->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
    mask->setBackGroundColor(Color3B(10, 20, 30));
    mask->setBackGroundColorOpacity(opacity);
    parent->addChild(mask);
    return mask;
}

Sprite* addSprite(Node* parent, Texture2D* texture, const Vec2& at) {
    Sprite* sprite = Sprite::createWithTexture(texture);
    sprite->setPosition(at);
    parent->addChild(sprite);
    return sprite;
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

// The frame of this moment drawn by SDL alone.
std::vector<uint8_t> sdlFrame() {
    renderer()->setSoftBlendEnabled(false);
    std::vector<uint8_t> frame = drawAndRead(1, 0.f);
    renderer()->setSoftBlendEnabled(true);
    return frame;
}

// The scene drawn by SoftBlend (after the frames pictures need to count as steady), then the same moment by SDL.
struct Frames {
    std::vector<uint8_t> sdl, soft;
    Renderer::Stats stats; // of the frames drawn with SoftBlend
};

Frames drawBothWays(const std::function<void(Scene*)>& build, int softFrames = 4) {
    Scene* scene = Scene::create();
    build(scene);
    support::runScene(scene);
    Frames frames;
    const Renderer::Stats before = renderer()->getStats();
    frames.soft = drawAndRead(softFrames);
    frames.stats = renderer()->getStats();
    frames.stats.softPictures -= before.softPictures;
    frames.stats.softColours -= before.softColours;
    frames.stats.dimmedReuses -= before.dimmedReuses;
    frames.stats.clearsSkipped -= before.clearsSkipped;
    frames.sdl = sdlFrame();
    return frames;
}

long differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    long count = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2] || a[i + 3] != b[i + 3];
    }
    return count;
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
    const uint32_t formats[] = {SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_ARGB8888};
    const SoftBlend::Case cases[] = {SoftBlend::Case::SameFormat, SoftBlend::Case::OtherFormat,
                                     SoftBlend::Case::Divided, SoftBlend::Case::Colour};
    for (const bool avx2 : {false, true}) {
        if (avx2 && !SoftBlend::hasAvx2()) {
            continue;
        }
        SoftBlend::useAvx2(avx2);
        for (const uint32_t target : formats) {
            for (const uint32_t picture : formats) {
                SoftBlend blend(target);
                for (const SoftBlend::Case which : cases) {
                    if (blend.caseFor(picture, which == SoftBlend::Case::Divided) == which ||
                        which == SoftBlend::Case::Colour) {
                        EXPECT_TRUE(blend.ready(which, picture))
                            << "avx2 " << avx2 << " target " << SDL_GetPixelFormatName(target) << " picture "
                            << SDL_GetPixelFormatName(picture) << " case " << static_cast<int>(which);
                    }
                }
            }
        }
    }
}

TEST_F(SoftBlendDrawing, PicturesAndColoursAreTheSameAsSdlsToTheBit) {
    struct Row {
        const char* name;
        std::function<void(Scene*)> build;
        bool softPictures;
    };
    const auto own = [] { return picture(SDL_PIXELFORMAT_ABGR8888); };
    const auto other = [] { return picture(SDL_PIXELFORMAT_ARGB8888); };
    const std::vector<Row> rows = {
        {"untinted, 1:1, own byte order",
         [&](Scene* s) {
             addBackdrop(s);
             addSprite(s, own(), Vec2(300, 301));
         },
         true},
        {"untinted, 1:1, other byte order",
         [&](Scene* s) {
             addBackdrop(s);
             addSprite(s, other(), Vec2(300, 301));
         },
         true},
        {"half off the window",
         [&](Scene* s) {
             addBackdrop(s);
             addSprite(s, own(), Vec2(10, 700)), addSprite(s, other(), Vec2(1275, 5));
         },
         true},
        {"stretched and shrunk",
         [&](Scene* s) {
             addBackdrop(s);
             addSprite(s, own(), Vec2(300, 300))->setScale(2.37f, 1.61f);
             addSprite(s, other(), Vec2(700, 300))->setScale(0.53f, 0.71f);
         },
         true},
        {"tinted, steady and changing",
         [&](Scene* s) {
             addBackdrop(s);
             Sprite* steady = addSprite(s, own(), Vec2(300, 300));
             steady->setColor(Color3B(200, 120, 255));
             steady->setOpacity(180);
             Sprite* fading = addSprite(s, other(), Vec2(700, 300));
             fading->setScale(1.3f);
             fading->runAction(FadeOut::create(1.f));
             fading->runAction(TintTo::create(1.f, 30, 250, 90));
         },
         true},
        {"opaque picture faded",
         [&](Scene* s) {
             addBackdrop(s);
             addSprite(s, picture(SDL_PIXELFORMAT_ABGR8888, true), Vec2(500, 300))->setOpacity(128);
         },
         true},
        {"rotated",
         [&](Scene* s) {
             addBackdrop(s);
             addSprite(s, own(), Vec2(500, 300))->setRotation(33);
         },
         false},
        {"text",
         [&](Scene* s) {
             addBackdrop(s);
             Label* label = Label::create("Dimmed 12 + 30", "", 40);
             label->setPosition(Vec2(400, 500));
             s->addChild(label);
         },
         true},
        {"colour masks, full window and clipped",
         [&](Scene* s) {
             addBackdrop(s);
             addMask(s, Size(1280, 720), 140);
             addSprite(s, own(), Vec2(300, 300));
             auto* clip = ui::Layout::create();
             clip->setClippingEnabled(true);
             clip->setPosition(Vec2(100.f, 100.f));
             clip->setContentSize(Size(300, 200));
             addMask(clip, Size(500, 500), 77)->setPosition(Vec2(-50.f, -50.f));
             s->addChild(clip);
         },
         true},
    };
    for (const Row& row : rows) {
        const Frames frames = drawBothWays(row.build);
        EXPECT_EQ(differingPixels(frames.sdl, frames.soft), 0) << row.name;
        EXPECT_EQ(frames.stats.softPictures > 0, row.softPictures) << row.name;
        EXPECT_GT(frames.stats.softColours, 0u) << row.name; // the backdrop's translucent bands
    }
}

TEST_F(SoftBlendDrawing, ALoopThatDisagreesWithSdlLeavesTheDrawingToSdl) {
    SoftBlend::setMismatchForTesting(true);
    const Frames frames = drawBothWays([](Scene* s) {
        addBackdrop(s);
        addMask(s, Size(1280, 720), 100);
        addSprite(s, picture(SDL_PIXELFORMAT_ABGR8888), Vec2(300, 300))->setScale(1.5f);
        addSprite(s, picture(SDL_PIXELFORMAT_ARGB8888), Vec2(700, 300));
    });
    EXPECT_EQ(frames.stats.softPictures + frames.stats.softColours, 0u);
    EXPECT_EQ(differingPixels(frames.sdl, frames.soft), 0);
}

TEST_F(SoftBlendDrawing, TheFrameUnderAFullWindowMaskIsKeptWhileItStaysTheSame) {
    Sprite* under = nullptr;
    Sprite* over = nullptr;
    Frames frames = drawBothWays([&](Scene* s) {
        addBackdrop(s);
        under = addSprite(s, picture(SDL_PIXELFORMAT_ABGR8888), Vec2(300, 300));
        addMask(s, Size(1280, 720), 150);
        over = addSprite(s, picture(SDL_PIXELFORMAT_ARGB8888), Vec2(600, 300));
    });
    EXPECT_GT(frames.stats.dimmedReuses, 0u);
    EXPECT_EQ(differingPixels(frames.sdl, frames.soft), 0);
    // Above the mask a change is drawn on the kept frame; under it the frame is drawn again.
    for (Sprite* moved : {over, under}) {
        drawAndRead(2);
        const uint64_t reuses = renderer()->getStats().dimmedReuses;
        moved->setPosition(moved->getPosition() + Vec2(37, 11));
        const std::vector<uint8_t> soft = drawAndRead(1);
        EXPECT_EQ(renderer()->getStats().dimmedReuses - reuses, moved == over ? 1u : 0u);
        EXPECT_EQ(differingPixels(sdlFrame(), soft), 0);
    }
}

TEST_F(SoftBlendDrawing, AFullWindowOpaqueBackgroundIsNotClearedUnder) {
    const Frames frames = drawBothWays([](Scene* s) {
        Sprite* background = addSprite(s, picture(SDL_PIXELFORMAT_ABGR8888, true), Vec2(640, 360));
        background->setScale(1280.f / 90, 720.f / 50);
        addSprite(s, picture(SDL_PIXELFORMAT_ABGR8888), Vec2(300, 300));
    });
    EXPECT_GT(frames.stats.clearsSkipped, 0u);
    EXPECT_EQ(differingPixels(frames.sdl, frames.soft), 0);
}

TEST_F(SoftBlendDrawing, NewPixelsOfAPictureShowAtOnce) {
    std::vector<uint8_t> pixels(64 * 40 * 4);
    const auto fill = [&](uint8_t red) {
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = red, pixels[i + 1] = static_cast<uint8_t>(i / 40), pixels[i + 2] = 90;
            pixels[i + 3] = static_cast<uint8_t>(i / 4 % 256);
        }
    };
    auto* texture = new Texture2D();
    texture->autorelease();
    const auto upload = [&] {
        texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888, 64,
                              40, Size(64, 40));
    };
    fill(30);
    upload();
    Frames frames = drawBothWays([&](Scene* s) {
        addBackdrop(s);
        addSprite(s, texture, Vec2(300, 300));
    });
    EXPECT_GT(frames.stats.softPictures, 0u);
    // Uploaded again, and changed behind the texture's back with the node saying so.
    fill(220);
    upload();
    std::vector<uint8_t> soft = drawAndRead(1);
    EXPECT_EQ(differingPixels(soft, sdlFrame()), 0);
    drawAndRead(4);
    fill(120);
    SDL_UpdateTexture(texture->getSDLTexture(), nullptr, pixels.data(), 64 * 4);
    texture->markChanged();
    soft = drawAndRead(1);
    EXPECT_EQ(differingPixels(soft, sdlFrame()), 0);
}

TEST_F(SoftBlendDrawing, ANodeChangedBehindItsCallsUnderAMaskIsDrawnAgain) {
    std::vector<uint8_t> pixels(64 * 40 * 4, 200);
    auto* texture = new Texture2D();
    texture->autorelease();
    texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888, 64, 40,
                          Size(64, 40));
    Sprite* under = nullptr;
    drawBothWays([&](Scene* s) {
        addBackdrop(s);
        under = addSprite(s, texture, Vec2(300, 300));
        addMask(s, Size(1280, 720), 150);
    });
    const uint64_t reuses = renderer()->getStats().dimmedReuses;
    drawAndRead(2);
    EXPECT_EQ(renderer()->getStats().dimmedReuses - reuses, 1u);
    std::fill(pixels.begin(), pixels.end(), 40);
    SDL_UpdateTexture(texture->getSDLTexture(), nullptr, pixels.data(), 64 * 4);
    under->setNeedsRedraw();
    const std::vector<uint8_t> soft = drawAndRead(1);
    EXPECT_EQ(differingPixels(soft, sdlFrame()), 0);
}
