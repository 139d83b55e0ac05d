// Frames that would draw what the last one drew are not drawn again; every kind of change is.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/GLView.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"
#include "scene/ActionIntervals.h"
#include "scene/Label.h"
#include "scene/RenderTexture.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "ui/Button.h"

using namespace engine;

namespace {

Renderer* renderer() {
    return Director::getInstance()->getRenderer();
}

std::vector<uint8_t> solid(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> pixels(40 * 30 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
        pixels[i + 3] = 255;
    }
    return pixels;
}

Texture2D* solidTexture(uint8_t r, uint8_t g, uint8_t b) {
    auto* texture = new Texture2D();
    const std::vector<uint8_t> pixels = solid(r, g, b);
    texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888, 40, 30,
                          Size(40, 30));
    texture->autorelease();
    return texture;
}

std::vector<uint8_t> currentPixels() {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    renderer()->readPixels(rgba, w, h);
    return rgba;
}

// The frame as drawn in full now (no time passes for actions).
std::vector<uint8_t> fullFrame() {
    renderer()->invalidate();
    Director::getInstance()->mainLoop(0.f);
    return currentPixels();
}

class FrameSkip : public support::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        scene = Scene::create();
        sprite = Sprite::createWithTexture(solidTexture(200, 40, 40));
        sprite->setPosition(Vec2(200, 200));
        scene->addChild(sprite);
        label = Label::create("Text", "", 24);
        ASSERT_NE(label, nullptr);
        label->setPosition(Vec2(600, 400));
        scene->addChild(label);
        support::runScene(scene);
        support::stepFrames(2);
    }
    uint64_t drawn() const { return renderer()->getStats().framesDrawn; }

    // After `change`, the next frame is drawn, shows something new, and shows what a full drawing shows.
    void expectDrawn(const char* what, const std::function<void()>& change) {
        SCOPED_TRACE(what);
        support::stepFrames(1);
        const uint64_t before = drawn();
        const std::vector<uint8_t> old = currentPixels();
        change();
        support::stepFrames(1);
        EXPECT_EQ(drawn(), before + 1);
        const std::vector<uint8_t> shown = currentPixels();
        EXPECT_NE(shown, old);
        EXPECT_EQ(shown, fullFrame());
    }

    Scene* scene = nullptr;
    Sprite* sprite = nullptr;
    Label* label = nullptr;
    support::ScratchDir dir;
};

} // namespace

TEST_F(FrameSkip, AnUnchangedSceneIsNotDrawnAgainWhileEventsAndTimersRun) {
    int ticks = 0;
    scene->schedule([&](float) { ++ticks; }, "tick");
    const uint64_t before = drawn();
    const uint64_t skipped = renderer()->getStats().framesSkipped;
    support::tapAt(Vec2(1000, 600));
    support::stepFrames(30);
    EXPECT_EQ(drawn(), before);
    EXPECT_EQ(renderer()->getStats().framesSkipped, skipped + 30);
    EXPECT_EQ(ticks, 30);
    EXPECT_EQ(currentPixels(), fullFrame());
}

TEST_F(FrameSkip, EveryKindOfChangeIsDrawn) {
    expectDrawn("action", [&] { sprite->runAction(MoveBy::create(1.f, Vec2(100, 0))); });
    support::stepFrames(61);
    expectDrawn("text", [&] { label->setString("Other text"); });
    expectDrawn("text colour", [&] { label->setTextColor(Color4B(255, 0, 0, 255)); });
    expectDrawn("new pixels", [&] {
        const std::vector<uint8_t> pixels = solid(40, 200, 40);
        sprite->getTexture()->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()),
                                           Texture2D::PixelFormat::RGBA8888, 40, 30, Size(40, 30));
    });
    expectDrawn("texture", [&] { sprite->setTexture(solidTexture(40, 40, 200)); });
    expectDrawn("visibility", [&] { sprite->setVisible(false); });
    expectDrawn("timer", [&] { scene->scheduleOnce([&](float) { sprite->setVisible(true); }, 0.f, "show"); });
    expectDrawn("colour", [&] { sprite->setColor(Color3B(128, 128, 128)); });
    expectDrawn("main-thread function", [&] {
        Director::getInstance()->getScheduler()->performFunctionInMainThread([&] { sprite->setScale(2.f); });
    });
    RenderTexture* board = RenderTexture::create(40, 30);
    board->setPosition(Vec2(900, 200));
    scene->addChild(board);
    support::stepFrames(1);
    expectDrawn("render texture drawn into", [&] { board->clear(1, 1, 0, 1); });
}

TEST_F(FrameSkip, ATouchThatChangesAWidgetIsDrawn) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 60, 40, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 240, 240, 240, 255));
    const std::string file = dir.file("button.png");
    IMG_SavePNG(surface, file.c_str());
    SDL_FreeSurface(surface);
    auto* button = ui::Button::create(file);
    button->setPosition(Vec2(640, 300));
    button->setTouchEnabled(true);
    scene->addChild(button);
    support::stepFrames(1);
    GLView* view = Director::getInstance()->getOpenGLView();
    expectDrawn("press", [&] { view->injectTouch(TouchPhase::BEGAN, Vec2(640, 300)); });
    expectDrawn("release", [&] { view->injectTouch(TouchPhase::ENDED, Vec2(640, 300)); });
}

TEST_F(FrameSkip, DrawingOutsideTheFrameCapturesAndNodesThatAskAreDrawnAgain) {
    const auto drawnAfterOneFrame = [&] {
        const uint64_t before = drawn();
        support::stepFrames(1);
        return drawn() - before;
    };
    // A node drawn straight onto the window between frames.
    Sprite* loose = Sprite::createWithTexture(solidTexture(0, 0, 255));
    loose->setPosition(Vec2(50, 50));
    loose->visit();
    EXPECT_EQ(drawnAfterOneFrame(), 1u);
    EXPECT_EQ(drawnAfterOneFrame(), 0u);
    // A screenshot draws what is current.
    const uint64_t beforeShot = drawn();
    EXPECT_FALSE(support::saveScreenshot("frame_skip").empty());
    EXPECT_EQ(drawn(), beforeShot + 1);
    label->setNeedsRedraw();
    EXPECT_EQ(drawnAfterOneFrame(), 1u);
    label->setRedrawEveryFrame(true);
    EXPECT_EQ(drawnAfterOneFrame(), 1u);
    EXPECT_EQ(drawnAfterOneFrame(), 1u);
    label->setVisible(false);
    support::stepFrames(1);
    EXPECT_EQ(drawnAfterOneFrame(), 0u);
}
