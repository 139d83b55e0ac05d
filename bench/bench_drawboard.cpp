// The drawing board over a lesson screen: main-thread time of each touch move of a stroke, and the frame time
// with a canvas painted all over, each beside the same measure without the board.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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

struct Stats {
    double mean = 0, p95 = 0, max = 0;
};

Stats summarize(std::vector<double> ms) {
    Stats s;
    for (double v : ms) {
        s.mean += v;
    }
    s.mean /= static_cast<double>(ms.size());
    std::sort(ms.begin(), ms.end());
    s.p95 = ms[static_cast<size_t>(ms.size() * 0.95)];
    s.max = ms.back();
    return s;
}

template <class Work> double timed(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

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
std::vector<double> stroke(float step) {
    GLView* view = Director::getInstance()->getOpenGLView();
    Vec2 at(100, 300);
    float dx = step;
    view->injectTouch(TouchPhase::BEGAN, at);
    std::vector<double> ms;
    for (int i = 0; i < kMoves; ++i) {
        if (at.x + dx > 1180 || at.x + dx < 100) {
            dx = -dx;
            at.y += 3;
        }
        at.x += dx;
        ms.push_back(timed([&] { view->injectTouch(TouchPhase::MOVED, at); }));
    }
    view->injectTouch(TouchPhase::ENDED, at);
    return ms;
}

// Frames drawn in full: unchanged frames are not drawn again, so each is marked as needing a full draw, as a frame
// during a stroke is (the canvas changed).
std::vector<double> frames() {
    std::vector<double> ms;
    for (int i = 0; i < kFrames; ++i) {
        Director::getInstance()->getRenderer()->invalidate();
        ms.push_back(timed([] { Director::getInstance()->mainLoop(1 / 60.f); }));
    }
    return ms;
}

void print(const char* what, const Stats& s) {
    std::printf("%-44s mean %.3f ms, p95 %.3f ms, max %.3f ms\n", what, s.mean, s.p95, s.max);
}

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        support::PackResources pack;
        support::ScratchDir dir;
        support::runScene(lessonScreen(dir));
        support::stepFrames(10);
        const Stats lessonFrames = summarize(frames());
        const Stats noBoardMoves = summarize(stroke(6.f));

        DrawBoardLayer* board = DrawBoardLayer::create();
        Director::getInstance()->getRunningScene()->addChild(board, 105);
        support::stepFrames(10);
        const Stats slowMoves = summarize(stroke(6.f));
        const Stats fastMoves = summarize(stroke(30.f));
        // Every pixel of the canvas painted, half transparent.
        board->getCanvas()->clear(0.9f, 0.f, 0.07f, 0.5f);
        support::stepFrames(10);
        const Stats boardFrames = summarize(frames());

        std::printf("drawing board at 1280x720, %d moves a stroke, %d frames (goals: move < 1 ms, frame < 8 ms)\n",
                    kMoves, kFrames);
        print("touch move, no board (reference)", noBoardMoves);
        print("touch move, 6-point moves (6 stamps)", slowMoves);
        print("touch move, 30-point moves (30 stamps)", fastMoves);
        print("frame, lesson screen (reference)", lessonFrames);
        print("frame, lesson screen + full canvas", boardFrames);
    }
    support::stopHeadless();
    return 0;
}
