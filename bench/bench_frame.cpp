// Frame time of a busy screen on the software renderer: 500 sprites and 100 labels, 300 frames at 60 fps, as the
// machine is and with 8 busy processes sharing the CPUs.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "BenchFrames.h"
#include "base/Director.h"
#include "scene/ActionComposites.h"
#include "scene/ActionIntervals.h"
#include "scene/Label.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"

using namespace engine;

namespace {

constexpr int kSprites = 500;
constexpr int kLabels = 100;
constexpr int kWarmUpFrames = 10;
constexpr int kFrames = 300;

// A 64x64 picture: a coloured disc with a soft edge on a transparent square.
std::string writePicture(const support::ScratchDir& dir, int index, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_RGBA32);
    auto* pixels = static_cast<Uint8*>(surface->pixels);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float d = std::hypot(x - 31.5f, y - 31.5f);
            Uint8* p = pixels + y * surface->pitch + x * 4;
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = static_cast<Uint8>(std::clamp((32.f - d) * 64.f, 0.f, 255.f));
        }
    }
    const std::string path = dir.file("picture" + std::to_string(index) + ".png");
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

Scene* buildScene(const std::vector<std::string>& pictures) {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> x(0, 1280), y(0, 720), angle(0, 360);
    Scene* scene = Scene::create();
    for (int i = 0; i < kSprites; ++i) {
        Sprite* sprite = Sprite::create(pictures[i % pictures.size()]);
        sprite->setPosition(x(random), y(random));
        // One in ten rotated (half of those spinning), one in ten tinted and faded.
        if (i % 10 == 0) {
            sprite->setRotation(angle(random));
        }
        if (i % 20 == 0) {
            sprite->runAction(RepeatForever::create(RotateBy::create(2.f, 360.f)));
        }
        if (i % 10 == 5) {
            sprite->setColor(Color3B(200, 120, 255));
            sprite->setOpacity(180);
        }
        scene->addChild(sprite);
    }
    for (int i = 0; i < kLabels; ++i) {
        Label* label = Label::create("Label " + std::to_string(i) + " 12 + 30 = 42", "", 24);
        if (!label) {
            std::fprintf(stderr, "no font for the labels\n");
            continue;
        }
        label->setPosition(x(random), y(random));
        label->setTextColor(Color4B(255, 255, 0, 255));
        scene->addChild(label);
    }
    return scene;
}

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        support::ScratchDir dir;
        const std::vector<std::string> pictures = {writePicture(dir, 0, 255, 80, 80), writePicture(dir, 1, 80, 255, 80),
                                                   writePicture(dir, 2, 80, 80, 255),
                                                   writePicture(dir, 3, 255, 255, 255)};
        support::runScene(buildScene(pictures));
        support::stepFrames(kWarmUpFrames);

        std::printf("frame at 1280x720, %d sprites, %d labels, %d frames a run (goal < 8 ms)\n", kSprites, kLabels,
                    kFrames);
        bench::printMachineLoad("at the start");
        bench::printTimesHeader("scene");
        bench::quietThenLoaded([](bool loaded) {
            bench::Times times;
            for (int i = 0; i < kFrames; ++i) {
                times.time([] { Director::getInstance()->mainLoop(1 / 60.f); });
            }
            bench::printTimes("500 sprites, 100 labels", loaded, times, 8);
        });
        bench::printMachineLoad("at the end");
    }
    support::stopHeadless();
    return 0;
}
