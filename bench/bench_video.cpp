// A 1280x720 30 fps movie played for 10 s through the movie sprite, headless, over a stand-in lesson page (an
// opaque window-sized picture) under the player's black backdrop, with the frame loop paced at 60 fps
// as the program runs it. Measured: the process's CPU time (user + sys of all its threads, CLOCK_PROCESS_CPUTIME_ID)
// per second of movie, the main thread's share of it, the resident memory before and during the movie, the main
// thread's time in the sprite's draw (upload + draw) per frame, and the share of the movie's frames that reached the
// screen. CPU time, unlike a wall-clock share, is not inflated by other processes on a shared machine.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "BenchProcess.h"
#include "base/Director.h"
#include "lesson/VideoPlaySprite.h"
#include "render/Texture2D.h"
#include "scene/Scene.h"
#include "support/Headless.h"
#include "ui/Layout.h"

using namespace engine;
using bench::cpuSeconds;
using bench::statusMegabytes;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSourceFrames = 300; // 10 s at 30 fps, as the build makes the movie
constexpr double kMovieSeconds = kSourceFrames / 30.0;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string loadAverage() {
    double one = 0, five = 0;
    if (FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf %lf", &one, &five) != 2) {
            one = five = 0;
        }
        std::fclose(file);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f (1 min), %.1f (5 min)", one, five);
    return text;
}

// Wall time of each call: min / median / max.
struct Times {
    std::vector<double> values;
    template <class F> void measure(F&& work) {
        const auto start = Clock::now();
        work();
        values.push_back(millisecondsSince(start));
    }
    void print(const char* what) {
        std::sort(values.begin(), values.end());
        if (values.empty()) {
            std::printf("%-40s no samples\n", what);
            return;
        }
        std::printf("%-40s min %.3f ms, median %.3f, max %.3f (%zu frames)\n", what, values.front(),
                    values[values.size() / 2], values.back(), values.size());
    }
};

// Times the draws that uploaded a new picture.
class TimedVideoSprite : public VideoPlaySprite {
public:
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override {
        const uint64_t shown = getShownFrameCount();
        const auto start = Clock::now();
        VideoPlaySprite::draw(renderer, transform, flags);
        if (getShownFrameCount() != shown) {
            upload.values.push_back(millisecondsSince(start));
        }
    }
    Times upload;
};

// The lesson page: an opaque picture, as loaded pictures are kept.
Sprite* lessonPage() {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 1280, 720, 32, SDL_PIXELFORMAT_RGB888);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xc0, 0xd8, 0xf0));
    auto* texture = new Texture2D();
    texture->initWithSurface(surface);
    SDL_FreeSurface(surface);
    Sprite* sprite = Sprite::createWithTexture(texture);
    texture->release();
    sprite->setPosition(Vec2(640, 360));
    return sprite;
}

} // namespace

int main() {
    std::printf("load average at start: %s\n", loadAverage().c_str());
    support::startHeadless(Size(1280, 720));
    {
        Scene* scene = Scene::create();
        Director::getInstance()->runWithScene(scene);
        scene->addChild(lessonPage(), -2);
        // The player's backdrop.
        ui::Layout* backdrop = ui::Layout::create();
        backdrop->setContentSize(Size(1280, 720));
        backdrop->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
        backdrop->setBackGroundColor(Color3B::BLACK);
        scene->addChild(backdrop, -1);
        support::stepFrames(2);
        const double rssBefore = statusMegabytes("VmRSS:");

        bool ended = false;
        auto* video = new TimedVideoSprite();
        if (!video->init("bench-media/Video10s.mp4", [&] { ended = true; })) {
            std::printf("movie sprite: libvlc could not be set up\n");
            return 1;
        }
        video->autorelease();
        video->setPosition(Vec2(640, 360));
        scene->addChild(video);

        const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID),
                     mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        double rssMax = 0;
        Times newPicture, samePicture, newPictureCpu, samePictureCpu;
        int frame = 0;
        const auto begin = Clock::now();
        auto next = begin;
        video->play();
        while (!ended && millisecondsSince(begin) < 20000) {
            next += std::chrono::microseconds(16667);
            const uint64_t shown = video->getShownFrameCount();
            const auto start = Clock::now();
            const double cpuStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            Director::getInstance()->mainLoop(1.f / 60.f);
            const double wall = millisecondsSince(start), cpu = (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart) * 1e3;
            (video->getShownFrameCount() != shown ? newPicture : samePicture).values.push_back(wall);
            (video->getShownFrameCount() != shown ? newPictureCpu : samePictureCpu).values.push_back(cpu);
            if (++frame % 30 == 0) {
                rssMax = std::max(rssMax, statusMegabytes("VmRSS:"));
            }
            std::this_thread::sleep_until(next);
        }
        const double seconds = millisecondsSince(begin) / 1000.0;
        const double processCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
        const double mainCpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainStart;
        const uint64_t shown = video->getShownFrameCount();
        std::printf("movie 1280x720 30 fps, %d frames, played in %.1f s%s\n", kSourceFrames, seconds,
                    ended ? "" : " (end not reached)");
        std::printf("process CPU per second of movie: %.1f %% of a core (goal < 20 %%), main thread %.1f %%, "
                    "other threads %.1f %%\n",
                    100.0 * processCpu / kMovieSeconds, 100.0 * mainCpu / kMovieSeconds,
                    100.0 * (processCpu - mainCpu) / kMovieSeconds);
        std::printf("resident memory: %.1f MB before the movie, %.1f MB at most while it played (+%.1f MB)\n",
                    rssBefore, rssMax, rssMax - rssBefore);
        video->upload.print("movie sprite's upload:");
        newPicture.print("frame with a new picture (< 1 ms):");
        newPictureCpu.print("  its main-thread CPU:");
        samePicture.print("frame without one:");
        samePictureCpu.print("  its main-thread CPU:");
        std::printf("frames decoded %llu, reached the screen %llu = %.1f %% of the source (goal >= 95 %%)\n",
                    static_cast<unsigned long long>(video->getDecodedFrameCount()),
                    static_cast<unsigned long long>(shown), 100.0 * static_cast<double>(shown) / kSourceFrames);
    }
    support::stopHeadless();
    std::printf("load average at end: %s\n", loadAverage().c_str());
    return 0;
}
