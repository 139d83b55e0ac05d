// The program's own screens at 1280x720 on the software renderer, headless, against the demo server: the road
// from start-up through the login, course, subject, grade and class screens. On each screen, the frame time of
// 300 frames of mainLoop(1/60) (mean, p95, min, median, max), the same with every frame drawn in full, both again
// with 8 busy processes sharing the CPUs, and the process's CPU use over BENCH_IDLE_SECONDS (default 10) of the
// real paced frame loop left alone. The road is walked twice, with frames as fast as they go and then paced at the
// program's 60 a second as the client runs them (the user's figure): each step's wall time from the click to the
// next screen settled (its replies in, no loading panel) and its frames, and, paced, each frame's own work (its
// wall time less the pace's sleep).
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
#include "BenchPacing.h"
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
    // The sleeps of the frames before do not count against these.
    bench::PacedFrames::takeSleptMs();
    for (int i = 0; i < kFrames; ++i) {
        if (drawAll) {
            director->getRenderer()->redrawFrame();
        }
        times.time([director] { director->mainLoop(1 / 60.f); });
        times.wall.back() -= bench::PacedFrames::takeSleptMs();
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
        std::printf("%-8s %-13s %-44s %-44s %s\n", "screen", "run", "stepped ms: mean / p95 (min / median / max)",
                    "drawn in full ms: mean / p95 (min / median / max)", "load / idle CPU");
        bool ok = road(false);
        if (ok) {
            bench::PacedFrames pace;
            // Back to the login, as a teacher who signs out.
            Director::getInstance()->replaceScene(LoginScene::create());
            ok = road(true);
        }
        engine::network::HttpClient::destroyInstance();
        TearDown();
        if (!ok) {
            std::fprintf(stderr, "the road through the screens failed\n");
            return 1;
        }
        return 0;
    }

private:
    bool road(bool paced) {
        this->paced = paced;
        if ((!paced && !app.applicationDidFinishLaunching()) || !waitFor(sceneIs<LoginScene>) || !waitFor([] {
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
        startStep();
        if (!support::click("Btn_Login") || !waitFor(sceneIs<CourseScene>)) {
            return false;
        }
        settle("login to course");
        measure("course");

        startStep();
        if (!clickFirstPanelButton() || !waitFor(sceneIs<SubjectScene>)) {
            return false;
        }
        settle("course to subject");
        measure("subject");

        startStep();
        if (!clickFirstPanelButton() || !waitFor(sceneIs<GradeScene>)) {
            return false;
        }
        settle("subject to grade");
        measure("grade");

        startStep();
        if (!support::click("Btn_Grade1") || !waitFor(sceneIs<ClassScene>)) {
            return false;
        }
        settle("grade to class");
        measure("class");
        return true;
    }

    void startStep() {
        stepStart = Clock::now();
        stepFrame = Director::getInstance()->getTotalFrames();
    }

    // Replies and downloads done, entry animations over; the step from its click printed.
    void settle(const char* step) {
        waitFor([] { return !HttpManager::getInstance()->getLoadingPanel(); });
        std::printf("step %-18s %-8s %7.1f ms wall, %3d frames\n", step, bench::pacingName(paced),
                    std::chrono::duration<double, std::milli>(Clock::now() - stepStart).count(),
                    static_cast<int>(Director::getInstance()->getTotalFrames() - stepFrame));
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
            const std::string run = std::string(bench::runName(loaded)) + (paced ? ", paced" : "");
            std::printf("%-8s %-13s ", screen, run.c_str());
            bench::printSpread(stepped);
            std::printf("  ");
            bench::printSpread(full);
            std::printf("  %5.1f%s", load, loaded ? "+8" : "");
            if (!loaded && !paced) {
                std::printf(" / %4.1f %%", idleCpu(idleSeconds));
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }

    AppDelegate app;
    double idleSeconds = 10;
    bool paced = false;
    Clock::time_point stepStart;
    uint64_t stepFrame = 0;
};

} // namespace

int main() {
    ScreenBench bench;
    return bench.run();
}
