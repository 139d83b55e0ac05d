// The drawing board over a lesson screen: main-thread time of each touch move of a stroke, and the frame time
// with a canvas painted all over, each beside the same measure without the board; every measure as the machine is
// and with 8 busy processes sharing the CPUs.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>

#include "BenchFrames.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "platform/GLView.h"
#include "render/Renderer.h"
#include "scene/RenderTexture.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "support/PackResources.h"
#include "tools/DrawBoardLayer.h"

using namespace engine;

namespace {

constexpr int kMoves = 200;
constexpr int kFrames = 300;

// A stand-in for the lesson beneath: an opaque window-sized picture (a page) and the score board's head
// pictures scattered over it.
Scene* lessonScreen(const support::ScratchDir& dir) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 1280, 720, 32, SDL_PIXELFORMAT_RGBA32);
    for (int y = 0; y < 720; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < 1280; ++x) {
            row[x] = SDL_MapRGBA(surface->format, 200 + x % 40, 230, 250 - y / 8, 255);
        }
    }
    const std::string page = dir.file("page.png");
    IMG_SavePNG(surface, page.c_str());
    SDL_FreeSurface(surface);
    Scene* scene = BaseScene::create();
    if (Sprite* background = Sprite::create(page)) {
        background->setPosition(640, 360);
        scene->addChild(background);
    }
    for (int i = 0; i < 40; ++i) {
        if (Sprite* head = Sprite::create(i % 2 ? "HeadImg1.png" : "HeadImg2.png")) {
            head->setPosition(80 + (i % 10) * 120, 120 + (i / 10) * 150);
            scene->addChild(head);
        }
    }
    return scene;
}

// One stroke of kMoves moves of `step` points, zig-zagging over the window; the time of each move.
bench::Times stroke(float step) {
    GLView* view = Director::getInstance()->getOpenGLView();
    Vec2 at(100, 300);
    float dx = step;
    view->injectTouch(TouchPhase::BEGAN, at);
    bench::Times times;
    for (int i = 0; i < kMoves; ++i) {
        if (at.x + dx > 1180 || at.x + dx < 100) {
            dx = -dx;
            at.y += 3;
        }
        at.x += dx;
        times.time([&] { view->injectTouch(TouchPhase::MOVED, at); });
    }
    view->injectTouch(TouchPhase::ENDED, at);
    return times;
}

// Frames drawn in full: unchanged frames are not drawn again, so each is marked as needing a full draw, as a frame
// during a stroke is (the canvas changed).
bench::Times frames() {
    bench::Times times;
    for (int i = 0; i < kFrames; ++i) {
        Director::getInstance()->getRenderer()->invalidate();
        times.time([] { Director::getInstance()->mainLoop(1 / 60.f); });
    }
    return times;
}

// The measure, as the machine is and with the busy processes, printed against goalMs (none for a reference).
template <class Measure> void both(const char* label, double goalMs, int decimals, Measure measure) {
    bench::quietThenLoaded([&](bool loaded) { bench::printTimes(label, loaded, measure(), goalMs, decimals); });
}

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        support::PackResources pack;
        support::ScratchDir dir;
        support::runScene(lessonScreen(dir));
        support::stepFrames(10);
        std::printf("drawing board at 1280x720, %d moves a stroke, %d frames a run (goals: move < 1 ms, frame < 8 ms)\n",
                    kMoves, kFrames);
        bench::printMachineLoad("at the start");
        bench::printTimesHeader("measure");
        both("frame, lesson screen (reference)", 0, 2, frames);
        both("touch move, no board (reference)", 0, 3, [] { return stroke(6.f); });

        DrawBoardLayer* board = DrawBoardLayer::create();
        Director::getInstance()->getRunningScene()->addChild(board, 105);
        support::stepFrames(10);
        both("touch move, 6-point moves (6 stamps)", 1, 3, [] { return stroke(6.f); });
        both("touch move, 30-point moves (30 stamps)", 1, 3, [] { return stroke(30.f); });
        // Every pixel of the canvas painted, half transparent.
        board->getCanvas()->clear(0.9f, 0.f, 0.07f, 0.5f);
        support::stepFrames(10);
        both("frame, lesson screen + full canvas", 8, 2, frames);
        bench::printMachineLoad("at the end");
    }
    support::stopHeadless();
    return 0;
}
