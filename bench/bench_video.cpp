// A 1280x720 30 fps movie played for 10 s through the movie sprite, headless, with the frame loop paced at 60 fps
// as the program runs it: the main thread's time per frame in the sprite's draw (upload + draw), beside a still
// 1280x720 sprite drawn in the same frames as the reference, and the share of the movie's frames that reached
// the screen.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <thread>
#include <vector>

#include "base/Director.h"
#include "lesson/VideoPlaySprite.h"
#include "render/Texture2D.h"
#include "scene/Scene.h"
#include "support/Headless.h"

using namespace engine;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSourceFrames = 300; // 10 s at 30 fps, as the build makes the movie

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the calling thread: what the work costs, without the time the shared machine took the CPU away.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Times {
    std::vector<double> values;
    double mean() const {
        double total = 0;
        for (double v : values) {
            total += v;
        }
        return values.empty() ? 0 : total / static_cast<double>(values.size());
    }
    double percentile(int p) {
        if (values.empty()) {
            return 0;
        }
        std::sort(values.begin(), values.end());
        return values[values.size() * static_cast<size_t>(p) / 100];
    }
};

// Wall and CPU time of each call.
struct DrawTimes {
    Times wall, cpu;
    template <class F> void measure(F&& draw) {
        const auto start = Clock::now();
        const double cpuStart = threadMilliseconds();
        draw();
        cpu.values.push_back(threadMilliseconds() - cpuStart);
        wall.values.push_back(millisecondsSince(start));
    }
    void print(const char* what) {
        std::printf("%-36s wall mean %.3f ms, median %.3f, p95 %.3f; thread CPU mean %.3f ms\n", what, wall.mean(),
                    wall.percentile(50), wall.percentile(95), cpu.mean());
    }
};

class TimedVideoSprite : public VideoPlaySprite {
public:
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override {
        times.measure([&] { VideoPlaySprite::draw(renderer, transform, flags); });
    }
    DrawTimes times;
};

class TimedSprite : public Sprite {
public:
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override {
        times.measure([&] { Sprite::draw(renderer, transform, flags); });
    }
    DrawTimes times;
};

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        Scene* scene = Scene::create();
        Director::getInstance()->runWithScene(scene);
        support::stepFrames(2);

        // The reference: a still picture of the same size, drawn every frame without an upload.
        std::vector<uint8_t> still(1280u * 720u * 4u, 0x80);
        auto* texture = new Texture2D();
        texture->initWithData(still.data(), static_cast<ssize_t>(still.size()), Texture2D::PixelFormat::RGBA8888, 1280,
                              720, Size(1280, 720));
        auto* reference = new TimedSprite();
        reference->initWithTexture(texture);
        reference->autorelease();
        texture->release();
        reference->setPosition(Vec2(640, 360));
        scene->addChild(reference, -1); // under the movie, which covers it


        bool ended = false;
        auto* video = new TimedVideoSprite();
        if (!video->init("bench-media/Video10s.mp4", [&] { ended = true; })) {
            std::printf("movie sprite: libvlc could not be set up\n");
            return 1;
        }
        video->autorelease();
        video->setPosition(Vec2(640, 360));
        scene->addChild(video);

        DrawTimes frames;
        const auto begin = Clock::now();
        auto next = begin;
        video->play();
        while (!ended && millisecondsSince(begin) < 20000) {
            next += std::chrono::microseconds(16667);
            frames.measure([] { Director::getInstance()->mainLoop(1.f / 60.f); });
            std::this_thread::sleep_until(next);
        }
        const double seconds = millisecondsSince(begin) / 1000.0;
        const uint64_t shown = video->getShownFrameCount();
        std::printf("movie 1280x720 30 fps, %d frames, played in %.1f s%s\n", kSourceFrames, seconds,
                    ended ? "" : " (end not reached)");
        video->times.print("movie sprite (upload + draw, < 1 ms):");
        reference->times.print("still sprite (draw, reference):");
        frames.print("whole frame:");
        std::printf("frames decoded %llu, reached the screen %llu = %.1f %% of the source (goal >= 95 %%)\n",
                    static_cast<unsigned long long>(video->getDecodedFrameCount()),
                    static_cast<unsigned long long>(shown), 100.0 * static_cast<double>(shown) / kSourceFrames);
    }
    support::stopHeadless();
    return 0;
}
