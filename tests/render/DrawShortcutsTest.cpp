// The software renderer's shortcuts against the plain road's pictures: rotated quads blitted by SDL_RenderCopyEx
// instead of rasterised, steady tints drawn from tinted copies.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "AddSprite.h"
#include "base/Director.h"
#include "render/CopyCache.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"
#include "scene/RenderTexture.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "ui/Layout.h"

using namespace engine;
using rendertest::addSprite;

namespace {

constexpr int kWidth = 1280, kHeight = 720;

// 64x40, red growing to the right and green downwards by a few levels a texel: any turn, flip or stretch that
// differs from the rasteriser's shows as a large difference, a texel more or less as a small one. The translucent
// one fades from opaque at the top to a third at the bottom.
std::vector<uint8_t> gradientPixels(bool translucent, uint8_t blue = 128) {
    const int w = 64, h = 40;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(40 + x * 3);
            p[1] = static_cast<uint8_t>(40 + y * 4);
            p[2] = blue;
            p[3] = translucent ? static_cast<uint8_t>(255 - y * 4) : 255;
        }
    }
    return pixels;
}

Texture2D* gradient(bool translucent = false, uint8_t blue = 128) {
    const std::vector<uint8_t> pixels = gradientPixels(translucent, blue);
    auto* texture = new Texture2D();
    texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888, 64, 40,
                          Size(64, 40));
    texture->autorelease();
    return texture;
}

void upload(Texture2D* texture, const std::vector<uint8_t>& pixels) {
    ASSERT_TRUE(texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()),
                                      Texture2D::PixelFormat::RGBA8888, 64, 40, Size(64, 40)));
}

// Frames drawn in full, as the shortcuts are about drawing (unchanged frames are otherwise not drawn again).
void drawFrames(int frames) {
    for (int i = 0; i < frames; ++i) {
        Director::getInstance()->getRenderer()->invalidate();
        Director::getInstance()->mainLoop(support::kFrame);
    }
}

std::vector<uint8_t> readFrame() {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    Director::getInstance()->getRenderer()->readPixels(rgba, w, h);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    return rgba;
}

int channelDifference(const uint8_t* p, const uint8_t* q) {
    return std::max({std::abs(p[0] - q[0]), std::abs(p[1] - q[1]), std::abs(p[2] - q[2])});
}

// Pixels of `a` with no pixel of `b` within one pixel of them that is within the tolerance: rounding moves an
// edge or a texel boundary by a pixel, a wrong turn, flip, size or place moves much more.
long mismatches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int tolerance) {
    long count = 0;
    for (int y = 1; y < kHeight - 1; ++y) {
        for (int x = 1; x < kWidth - 1; ++x) {
            const uint8_t* p = &a[(static_cast<size_t>(y) * kWidth + x) * 4];
            int best = 255;
            for (int dy = -1; dy <= 1 && best > tolerance; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    best =
                        std::min(best, channelDifference(p, &b[(static_cast<size_t>(y + dy) * kWidth + x + dx) * 4]));
                }
            }
            count += best > tolerance;
        }
    }
    return count;
}

constexpr int kTolerance = 16;
// Where a slanted edge steps, the step may fall two pixels from where the rasteriser put it: such pixels, at most
// one in a hundred of those covered, are rounding; an edge two pixels out all along is not.
constexpr long kMismatchShare = 100;

int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int largest = 0;
    for (size_t i = 0; i + 3 < std::min(a.size(), b.size()); i += 4) {
        largest = std::max(largest, channelDifference(&a[i], &b[i]));
    }
    return a.size() == b.size() ? largest : 255;
}

long coveredPixels(const std::vector<uint8_t>& frame) {
    long count = 0;
    for (size_t i = 0; i < frame.size(); i += 4) {
        count += frame[i] != 0 || frame[i + 1] != 0 || frame[i + 2] != 0;
    }
    return count;
}

struct Pictures {
    std::vector<uint8_t> plain, shortcut;
    Renderer::Stats stats; // what the frames with the shortcuts on did
};

Renderer::Stats operator-(const Renderer::Stats& a, const Renderer::Stats& b) {
    Renderer::Stats d = a;
    d.rotatedCopies -= b.rotatedCopies;
    d.tintedCopyDraws -= b.tintedCopyDraws;
    d.tintedCopiesMade -= b.tintedCopiesMade;
    return d;
}

// The scene drawn with the shortcuts off, then for some frames with them on.
Pictures drawBothWays(const std::function<void(Scene*, Texture2D*)>& build, int framesOn = 1) {
    Renderer* renderer = Director::getInstance()->getRenderer();
    Scene* scene = Scene::create();
    build(scene, gradient());
    support::runScene(scene);
    Pictures pictures;
    renderer->setShortcutsEnabled(false);
    drawFrames(1);
    pictures.plain = readFrame();
    renderer->setShortcutsEnabled(true);
    const Renderer::Stats before = renderer->getStats();
    drawFrames(framesOn);
    pictures.shortcut = readFrame();
    pictures.stats = renderer->getStats() - before;
    return pictures;
}

class RotatedBlit : public support::HeadlessTest {
protected:
    // The blit road was taken and drew the rasteriser's picture to within rounding.
    void expectSamePicture(const std::function<void(Scene*, Texture2D*)>& build, uint64_t quads, long minCovered) {
        const Pictures pictures = drawBothWays(build);
        EXPECT_EQ(pictures.stats.rotatedCopies, quads);
        const long covered = coveredPixels(pictures.plain);
        EXPECT_GE(covered, minCovered);
        EXPECT_LE(mismatches(pictures.shortcut, pictures.plain, kTolerance), covered / kMismatchShare);
        EXPECT_LE(mismatches(pictures.plain, pictures.shortcut, kTolerance), covered / kMismatchShare);
    }
};

} // namespace

TEST_F(RotatedBlit, TurnedSpritesMatchTheRasteriser) {
    expectSamePicture(
        [](Scene* scene, Texture2D* texture) {
            const float angles[] = {30.f, 90.f, 137.f, 200.5f, 271.5f, -15.f};
            for (int i = 0; i < 6; ++i) {
                addSprite(scene, texture, Vec2(120.f + 200 * i + 0.3f, 400.7f))->setRotation(angles[i]);
            }
        },
        6, 6 * 64 * 40 * 9 / 10);
}

TEST_F(RotatedBlit, ScaledAndStretchedSpritesMatchTheRasteriser) {
    expectSamePicture(
        [](Scene* scene, Texture2D* texture) {
            addSprite(scene, texture, Vec2(150, 400))->setScale(2.5f);
            addSprite(scene, texture, Vec2(450, 400))->setScale(0.6f);
            Sprite* stretched = addSprite(scene, texture, Vec2(750, 400));
            stretched->setScaleX(2.f);
            stretched->setScaleY(0.7f);
            Sprite* anchored = addSprite(scene, texture, Vec2(1050, 400));
            anchored->setAnchorPoint(Vec2(0.1f, 0.8f));
            anchored->setScale(1.3f);
            for (Node* child : scene->getChildren()) {
                child->setRotation(33.f);
            }
        },
        4, 64 * 40 * (6 + 1 + 1) * 9 / 10);
}

TEST_F(RotatedBlit, MirroredSpritesMatchTheRasteriser) {
    expectSamePicture(
        [](Scene* scene, Texture2D* texture) {
            Sprite* flippedX = addSprite(scene, texture, Vec2(200, 400));
            flippedX->setFlippedX(true);
            Sprite* flippedY = addSprite(scene, texture, Vec2(500, 400));
            flippedY->setFlippedY(true);
            addSprite(scene, texture, Vec2(800, 400))->setScaleX(-1.5f);
            Sprite* both = addSprite(scene, texture, Vec2(1100, 400));
            both->setFlippedX(true);
            both->setFlippedY(true);
            for (Node* child : scene->getChildren()) {
                child->setRotation(-50.f);
            }
        },
        4, 64 * 40 * 4 * 9 / 10);
}

TEST_F(RotatedBlit, ChildrenOfTurnedAndScaledParentsMatchTheRasteriser) {
    expectSamePicture(
        [](Scene* scene, Texture2D* texture) {
            Node* parent = Node::create();
            parent->setPosition(500, 300);
            parent->setRotation(20);
            parent->setScale(1.5f);
            scene->addChild(parent);
            Sprite* child = addSprite(parent, texture, Vec2(50, 20));
            child->setRotation(25);
            child->setAnchorPoint(Vec2(0.2f, 0.9f));
            // Turned only by its parent.
            addSprite(parent, texture, Vec2(-150, -60));
        },
        2, 2 * 64 * 40 * 2);
}

TEST_F(RotatedBlit, SpritesHalfOffTheTargetMatchTheRasteriser) {
    expectSamePicture(
        [](Scene* scene, Texture2D* texture) {
            addSprite(scene, texture, Vec2(5.4f, 300))->setRotation(40);
            addSprite(scene, texture, Vec2(600, 716.6f))->setRotation(130);
            addSprite(scene, texture, Vec2(1277, 3))->setRotation(-70);
        },
        3, 64 * 40 / 2);
}

TEST_F(RotatedBlit, ClippingStillHolds) {
    const Pictures pictures = drawBothWays([](Scene* scene, Texture2D* texture) {
        auto* panel = ui::Layout::create();
        panel->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        panel->setContentSize(Size(100, 100));
        panel->setPosition(Vec2(300, 300));
        panel->setClippingEnabled(true);
        scene->addChild(panel);
        addSprite(panel, texture, Vec2(0, 50))->setRotation(45);
    });
    EXPECT_EQ(pictures.stats.rotatedCopies, 1u);
    EXPECT_LE(mismatches(pictures.shortcut, pictures.plain, kTolerance),
              coveredPixels(pictures.plain) / kMismatchShare);
    // Nothing left of the panel's edge (window x 300), where the sprite would reach unclipped.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 250; x < 299; ++x) {
            ASSERT_EQ(pictures.shortcut[(static_cast<size_t>(y) * kWidth + x) * 4], 0) << x << "," << y;
        }
    }
}

TEST_F(RotatedBlit, SkewedQuadsKeepTheRasteriser) {
    const Pictures pictures = drawBothWays([](Scene* scene, Texture2D* texture) {
        Node* parent = Node::create();
        parent->setPosition(400, 300);
        parent->setScaleX(2.f);
        parent->setScaleY(0.5f);
        scene->addChild(parent);
        addSprite(parent, texture, Vec2::ZERO)->setRotation(30);
    });
    EXPECT_EQ(pictures.stats.rotatedCopies, 0u);
    EXPECT_GT(coveredPixels(pictures.plain), 64 * 40 * 9 / 10);
    EXPECT_EQ(pictures.shortcut, pictures.plain);
}

TEST_F(RotatedBlit, UnturnedQuadsKeepTheirRoad) {
    const Pictures pictures = drawBothWays([](Scene* scene, Texture2D* texture) {
        addSprite(scene, texture, Vec2(300.4f, 300.6f))->setScale(1.7f);
        Sprite* flipped = addSprite(scene, texture, Vec2(600, 300));
        flipped->setFlippedX(true);
        addSprite(scene, texture, Vec2(900, 300))->setRotation(180);
    });
    EXPECT_EQ(pictures.stats.rotatedCopies, 0u);
    EXPECT_EQ(pictures.shortcut, pictures.plain);
}

namespace {

constexpr int kSteady = static_cast<int>(CopyCache::kSteadyFrames);

// A green backdrop over the window, so that translucent pixels blend with something.
void addBackdrop(Node* parent) {
    auto* backdrop = ui::Layout::create();
    backdrop->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    backdrop->setContentSize(Size(kWidth, kHeight));
    backdrop->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
    backdrop->setBackGroundColor(Color3B(60, 140, 70));
    parent->addChild(backdrop, -1);
}

class TintedCopy : public support::HeadlessTest {
protected:
    static Renderer* renderer() { return Director::getInstance()->getRenderer(); }
    // The next frame drawn the plain way; the shortcuts start afresh afterwards.
    static std::vector<uint8_t> plainFrame() {
        renderer()->setShortcutsEnabled(false);
        drawFrames(1);
        std::vector<uint8_t> frame = readFrame();
        renderer()->setShortcutsEnabled(true);
        return frame;
    }
    Sprite* showTinted(Texture2D* texture, const Color3B& color, GLubyte opacity) {
        Scene* scene = Scene::create();
        addBackdrop(scene);
        Sprite* sprite = addSprite(scene, texture, Vec2(300.4f, 300.6f));
        sprite->setColor(color);
        sprite->setOpacity(opacity);
        support::runScene(scene);
        return sprite;
    }
    // Texel blending rounds a level either way.
    static constexpr int kRounding = 2;
};

} // namespace

TEST_F(TintedCopy, SteadyTintsAreDrawnFromCopiesThatMatchTheModulatedPicture) {
    const Pictures pictures = drawBothWays(
        [](Scene* scene, Texture2D*) {
            addBackdrop(scene);
            Texture2D* texture = gradient(true);
            Sprite* tinted = addSprite(scene, texture, Vec2(300.4f, 300));
            tinted->setColor(Color3B(200, 120, 255));
            tinted->setOpacity(180);
            Sprite* scaled = addSprite(scene, texture, Vec2(700, 300));
            scaled->setScale(2.3f);
            scaled->setColor(Color3B(20, 220, 90));
            Sprite* faded = addSprite(scene, texture, Vec2(1000, 300));
            faded->setOpacity(100);
            // Untinted: drawn from the texture itself.
            addSprite(scene, texture, Vec2(1000, 500));
        },
        kSteady);
    EXPECT_EQ(pictures.stats.tintedCopiesMade, 3u);
    EXPECT_EQ(pictures.stats.tintedCopyDraws, 3u);
    EXPECT_LE(largestDifference(pictures.shortcut, pictures.plain), kRounding);
    // The sprites are there: the tinted one's centre is neither the backdrop nor the untinted texture.
    const uint8_t* centre = &pictures.plain[(static_cast<size_t>(kHeight - 300) * kWidth + 300) * 4];
    EXPECT_GT(channelDifference(centre, std::vector<uint8_t>{60, 140, 70}.data()), 40);
}

TEST_F(TintedCopy, TurnedSpritesWithASteadyTintAreBlittedFromTheCopy) {
    const Pictures pictures = drawBothWays(
        [](Scene* scene, Texture2D* texture) {
            Sprite* sprite = addSprite(scene, texture, Vec2(400, 300));
            sprite->setRotation(35);
            sprite->setColor(Color3B(255, 180, 60));
        },
        kSteady);
    EXPECT_EQ(pictures.stats.tintedCopiesMade, 1u);
    EXPECT_EQ(pictures.stats.rotatedCopies, 1u); // the last frame, from the copy
    const long covered = coveredPixels(pictures.plain);
    EXPECT_GT(covered, 64 * 40 * 9 / 10);
    EXPECT_LE(mismatches(pictures.shortcut, pictures.plain, kTolerance), covered / kMismatchShare);
    EXPECT_LE(mismatches(pictures.plain, pictures.shortcut, kTolerance), covered / kMismatchShare);
}

TEST_F(TintedCopy, ChangingTintsAreDrawnWithoutCopies) {
    Sprite* fading = showTinted(gradient(), Color3B::WHITE, 255);
    Sprite* blinking = addSprite(fading->getParent(), gradient(), Vec2(700, 300));
    const Renderer::Stats before = renderer()->getStats();
    for (int i = 0; i < 30; ++i) {
        fading->setOpacity(static_cast<GLubyte>(250 - i * 5));
        blinking->setColor(i % 2 ? Color3B::RED : Color3B::BLUE);
        drawFrames(1);
    }
    const Renderer::Stats done = renderer()->getStats() - before;
    EXPECT_EQ(done.tintedCopiesMade, 0u);
    EXPECT_EQ(done.tintedCopyDraws, 0u);
}

TEST_F(TintedCopy, ANewTintShowsAtOnceAndGetsItsOwnCopy) {
    Sprite* sprite = showTinted(gradient(true), Color3B(255, 60, 60), 200);
    const std::vector<uint8_t> red = plainFrame();
    sprite->setColor(Color3B(60, 60, 255));
    const std::vector<uint8_t> blue = plainFrame();
    ASSERT_GT(largestDifference(red, blue), 100);

    sprite->setColor(Color3B(255, 60, 60));
    drawFrames(kSteady);
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade, 1u);
    EXPECT_LE(largestDifference(readFrame(), red), kRounding);

    sprite->setColor(Color3B(60, 60, 255));
    drawFrames(1);
    EXPECT_LE(largestDifference(readFrame(), blue), kRounding);
    drawFrames(kSteady - 1);
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade, 2u);
    EXPECT_LE(largestDifference(readFrame(), blue), kRounding);
}

TEST_F(TintedCopy, NewPixelsShowAtOnce) {
    Texture2D* texture = gradient(true);
    Sprite* sprite = showTinted(texture, Color3B(255, 200, 100), 220);
    upload(texture, gradientPixels(true, 250));
    const std::vector<uint8_t> bluer = plainFrame();
    upload(texture, gradientPixels(true, 0));
    const std::vector<uint8_t> yellower = plainFrame();
    ASSERT_GT(largestDifference(bluer, yellower), 50);

    drawFrames(kSteady);
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade, 1u);
    EXPECT_LE(largestDifference(readFrame(), yellower), kRounding);
    // The same SDL texture with new pixels.
    upload(texture, gradientPixels(true, 250));
    drawFrames(1);
    EXPECT_LE(largestDifference(readFrame(), bluer), kRounding);
    // Another texture.
    upload(texture, gradientPixels(true, 0));
    drawFrames(kSteady);
    sprite->setTexture(gradient(true, 250));
    drawFrames(1);
    EXPECT_LE(largestDifference(readFrame(), bluer), kRounding);
}

TEST_F(TintedCopy, RegionsOfOneTextureGetTheirOwnCopies) {
    const Pictures pictures = drawBothWays(
        [](Scene* scene, Texture2D* texture) {
            const Rect regions[] = {Rect(0, 0, 32, 20), Rect(32, 20, 32, 20), Rect(10, 5, 40, 30)};
            for (int i = 0; i < 3; ++i) {
                Sprite* sprite = addSprite(scene, texture, Vec2(200.f + 300 * i, 300));
                sprite->setTextureRectInPixels(regions[i]);
                sprite->setColor(Color3B(255, 200, 200));
            }
        },
        kSteady);
    EXPECT_EQ(pictures.stats.tintedCopiesMade, 3u);
    EXPECT_LE(largestDifference(pictures.shortcut, pictures.plain), kRounding);
}

TEST_F(TintedCopy, RenderTargetsLeftUnchangedAreCopiedAndEveryChangeShowsAtOnce) {
    RenderTexture* board = RenderTexture::create(64, 40);
    board->retain();
    board->clear(1, 0, 0, 1);
    Sprite* sprite = showTinted(board->getTexture(), Color3B(128, 255, 255), 255);
    drawFrames(kSteady + 2);
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade, 1u);
    EXPECT_EQ(support::readPixel(300, kHeight - 300), Color4B(128, 0, 0, 255));
    // Drawn into since: the screen follows.
    board->clear(0, 1, 0, 1);
    drawFrames(1);
    EXPECT_EQ(support::readPixel(300, kHeight - 300), Color4B(0, 255, 0, 255));
    EXPECT_EQ(sprite->getTexture(), board->getTexture());
    board->release();
}

TEST_F(TintedCopy, CopiesNotDrawnForAWhileAreDropped) {
    Sprite* sprite = showTinted(gradient(), Color3B(200, 100, 50), 255);
    drawFrames(kSteady);
    // The copy and its pixels, which SoftBlend blends from.
    EXPECT_EQ(renderer()->getStats().tintedCopyBytes, 2 * 64u * 40 * 4);
    sprite->setVisible(false);
    drawFrames(static_cast<int>(CopyCache::kKeepFrames));
    EXPECT_EQ(renderer()->getStats().tintedCopyBytes, 2 * 64u * 40 * 4);
    drawFrames(1);
    EXPECT_EQ(renderer()->getStats().tintedCopyBytes, 0u);
}

TEST_F(TintedCopy, CopiesStayWithinTheBudgetWithoutDroppingOnesInUse) {
    const size_t copyBytes = 64 * 40 * 4;
    CopyCache cache(renderer()->getSDLRenderer(), 3 * copyBytes);
    std::vector<Texture2D*> textures;
    for (int i = 0; i < 5; ++i) {
        textures.push_back(gradient(false, static_cast<uint8_t>(i * 50)));
    }
    const SDL_Rect whole{0, 0, 64, 40};
    const Color4B tint(255, 0, 0, 255);
    const auto frame = [&](size_t first, size_t last) {
        cache.beginFrame();
        int found = 0;
        for (size_t i = first; i < last; ++i) {
            found += cache.find(textures[i], whole, tint) != nullptr;
        }
        return found;
    };
    for (int i = 1; i < kSteady; ++i) {
        EXPECT_EQ(frame(0, 5), 0);
    }
    // Three fit; the other two would push out copies in use.
    EXPECT_EQ(frame(0, 5), 3);
    EXPECT_EQ(frame(0, 5), 3);
    EXPECT_EQ(cache.getCopyCount(), 3u);
    EXPECT_EQ(cache.getBytes(), 3 * copyBytes);
    // Once the first three are no longer drawn, the last two take their place.
    for (int i = 1; i < kSteady; ++i) {
        frame(3, 5);
    }
    EXPECT_EQ(frame(3, 5), 2);
    EXPECT_LE(cache.getBytes(), 3 * copyBytes);
    // Regions outside the texture, and textures bigger than the budget, are not copied.
    for (int i = 0; i <= kSteady; ++i) {
        cache.beginFrame();
        EXPECT_EQ(cache.find(textures[0], SDL_Rect{10, 10, 64, 40}, tint), nullptr);
    }
    CopyCache small(renderer()->getSDLRenderer(), copyBytes - 1);
    for (int i = 0; i <= kSteady; ++i) {
        small.beginFrame();
        EXPECT_EQ(small.find(textures[0], whole, tint), nullptr);
    }
    EXPECT_EQ(small.getCopiesMade(), 0u);
}

TEST_F(TintedCopy, MakingACopyInsideAClipKeepsTheClip) {
    Scene* scene = Scene::create();
    auto* panel = ui::Layout::create();
    panel->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    panel->setContentSize(Size(100, 100));
    panel->setPosition(Vec2(300, 300));
    panel->setClippingEnabled(true);
    scene->addChild(panel);
    Sprite* sprite = addSprite(panel, gradient(), Vec2(0, 50));
    sprite->setColor(Color3B(255, 255, 0));
    support::runScene(scene);
    const Renderer::Stats before = renderer()->getStats();
    for (int i = 0; i < kSteady; ++i) {
        drawFrames(1);
        // Nothing left of the panel's edge (window x 300), where the sprite would reach unclipped.
        for (int x = 260; x < 299; x += 3) {
            ASSERT_EQ(support::readPixel(x, kHeight - 350), Color4B(0, 0, 0, 255)) << "frame " << i;
        }
    }
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade - before.tintedCopiesMade, 1u);
    EXPECT_NE(support::readPixel(310, kHeight - 350), Color4B(0, 0, 0, 255));
}

TEST_F(TintedCopy, MakingACopyWhileDrawingIntoARenderTextureKeepsDrawingThere) {
    Scene* scene = Scene::create();
    RenderTexture* board = RenderTexture::create(200, 100);
    board->setPosition(640, 360);
    scene->addChild(board);
    support::runScene(scene);
    // A white pen stamp tinted red, stamped once a frame along a line.
    std::vector<uint8_t> white(16 * 16 * 4, 255);
    auto* texture = new Texture2D();
    texture->initWithData(white.data(), static_cast<ssize_t>(white.size()), Texture2D::PixelFormat::RGBA8888, 16, 16,
                          Size(16, 16));
    Sprite* pen = Sprite::createWithTexture(texture);
    texture->release();
    pen->retain();
    pen->setColor(Color3B::RED);
    for (int i = 0; i <= kSteady; ++i) {
        board->begin();
        pen->setPosition(20.f + 40 * i, 50.f);
        pen->visit();
        board->end();
        drawFrames(1);
    }
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade, 1u);
    for (int i = 0; i <= kSteady; ++i) {
        EXPECT_EQ(board->readPixel(20 + 40 * i, 50), Color4B(255, 0, 0, 255)) << "stamp " << i;
    }
    // The screen shows the board, and nothing landed outside it.
    EXPECT_EQ(support::readPixel(540 + 20 + 40 * kSteady, 360), Color4B(255, 0, 0, 255));
    EXPECT_EQ(support::readPixel(20 + 40 * kSteady, kHeight - 50), Color4B(0, 0, 0, 255));
    pen->release();
}

TEST_F(TintedCopy, MakingACopyInsideAClipWhileDrawingIntoARenderTextureKeepsTheClip) {
    support::runScene(Scene::create());
    RenderTexture* board = RenderTexture::create(200, 100);
    board->retain();
    // A 50x50 clipping panel drawn into the board, holding a sprite that reaches past its right edge.
    auto* panel = ui::Layout::create();
    panel->retain();
    panel->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    panel->setContentSize(Size(50, 50));
    panel->setClippingEnabled(true);
    Sprite* sprite = addSprite(panel, gradient(), Vec2(50, 25));
    sprite->setColor(Color3B(255, 255, 0));
    for (int i = 0; i < kSteady; ++i) {
        board->beginWithClear(0, 0, 0, 0);
        static_cast<Node*>(panel)->visit();
        board->end();
        drawFrames(1);
        EXPECT_EQ(board->readPixel(45, 25).a, 255) << "frame " << i;
        EXPECT_EQ(board->readPixel(55, 25).a, 0) << "frame " << i;
    }
    EXPECT_EQ(renderer()->getStats().tintedCopiesMade, 1u);
    panel->release();
    board->release();
}
