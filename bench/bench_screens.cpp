// The program's own screens at 1280x720 on the software renderer, headless, against the demo server: the road
// from start-up through the login, course, subject, grade and class screens. On each screen, the frame time of
// 300 frames of mainLoop(1/60) (mean, p95, min, median, max), the same with every frame drawn in full, both again
// with 8 busy processes sharing the CPUs, and the process's CPU use over BENCH_IDLE_SECONDS (default 10) of the
// real paced frame loop left alone.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchFrames.h"
#include "app/AppDelegate.h"
#include "base/Director.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "platform/FramePacer.h"
#include "render/Renderer.h"
#include "scenes/ClassScene.h"
#include "scenes/CourseScene.h"
#include "scenes/GradeScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SubjectScene.h"
#include "support/ClientTest.h"
#include "ui/TextField.h"

using engine::Director;
using engine::Node;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFrames = 300;

template <class T> bool sceneIs() {
    return dynamic_cast<T*>(Director::getInstance()->getRunningScene()) != nullptr;
}

double seconds(const Clock::time_point& since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// `kFrames` frames of mainLoop(1/60), each timed in milliseconds; `drawAll` has every one drawn in full.
bench::Spread timeFrames(bool drawAll) {
    Director* director = Director::getInstance();
    bench::Times times;
    for (int i = 0; i < kFrames; ++i) {
        if (drawAll) {
            director->getRenderer()->redrawFrame();
        }
        times.time([director] { director->mainLoop(1 / 60.f); });
    }
    return bench::spreadOf(times.wall);
}

// The share of one core the process used while the real frame loop ran on its own.
double idleCpu(double wallSeconds) {
    Director* director = Director::getInstance();
    engine::FramePacer pacer;
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    while (seconds(start) < wallSeconds) {
        director->mainLoop();
        pacer.waitForNextFrame(director->getAnimationInterval());
    }
    return (cpuSeconds() - cpuStart) / seconds(start) * 100;
}

class ScreenBench : public support::ClientTest {
public:
    void TestBody() override {}

    int run() {
        SetUp();
        const char* idle = std::getenv("BENCH_IDLE_SECONDS");
        idleSeconds = idle ? std::atof(idle) : 10.0;
        std::printf("screens at 1280x720 on the software renderer, %d frames a run; idle CPU over %.0f s; load "
                    "average at the start %.1f\n",
                    kFrames, idleSeconds, bench::loadAverage());
        std::printf("%-8s %-7s %-44s %-44s %s\n", "screen", "run", "stepped ms: mean / p95 (min / median / max)",
                    "drawn in full ms: mean / p95 (min / median / max)", "load / idle CPU");
        const bool ok = road();
        engine::network::HttpClient::destroyInstance();
        TearDown();
        if (!ok) {
            std::fprintf(stderr, "the road through the screens failed\n");
            return 1;
        }
        return 0;
    }

private:
    bool road() {
        if (!app.applicationDidFinishLaunching() || !waitFor(sceneIs<LoginScene>) || !waitFor([] {
                return !HttpManager::getInstance()->getLoadingPanel() && !support::findByName("Img_LoadingBg");
            })) {
            return false;
        }
        support::stepFrames(60);
        measure("login");

        auto* user = dynamic_cast<engine::ui::TextField*>(support::findByName("UserName"));
        auto* password = dynamic_cast<engine::ui::TextField*>(support::findByName("PassWord"));
        if (!user || !password) {
            return false;
        }
        user->setString("teacher");
        password->setString("1234");
        if (!support::click("Btn_Login") || !waitFor(sceneIs<CourseScene>)) {
            return false;
        }
        settle();
        measure("course");

        if (!clickFirstPanelButton() || !waitFor(sceneIs<SubjectScene>)) {
            return false;
        }
        settle();
        measure("subject");

        if (!clickFirstPanelButton() || !waitFor(sceneIs<GradeScene>)) {
            return false;
        }
        settle();
        measure("grade");

        if (!support::click("Btn_Grade1") || !waitFor(sceneIs<ClassScene>)) {
            return false;
        }
        settle();
        measure("class");
        return true;
    }

    // Replies and downloads done, entry animations over.
    void settle() {
        waitFor([] { return !HttpManager::getInstance()->getLoadingPanel(); });
        support::stepFrames(60);
    }

    static bool clickFirstPanelButton() {
        Node* panel = support::findByName("Panel_Layout");
        if (!panel) {
            return false;
        }
        for (Node* item : panel->getChildren()) {
            if (Node* button = support::findByName("Btn_Course", item)) {
                support::click(button);
                return true;
            }
        }
        return false;
    }

    void measure(const char* screen) {
        for (int loaded = 0; loaded < 2; ++loaded) {
            bench::Spread stepped, full;
            double load = 0;
            {
                std::unique_ptr<bench::BusyProcesses> busy;
                if (loaded) {
                    busy = std::make_unique<bench::BusyProcesses>(bench::kBusyProcesses);
                }
                stepped = timeFrames(false);
                full = timeFrames(true);
                load = bench::loadAverage();
            }
            std::printf("%-8s %-7s ", screen, loaded ? "loaded" : "quiet");
            bench::printSpread(stepped);
            std::printf("  ");
            bench::printSpread(full);
            std::printf("  %5.1f%s", load, loaded ? "+8" : "");
            if (!loaded) {
                std::printf(" / %4.1f %%", idleCpu(idleSeconds));
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }

    AppDelegate app;
    double idleSeconds = 10;
};

} // namespace

int main() {
    ScreenBench bench;
    return bench.run();
}
