// Start-up to the first drawn login frame, headless: the program's own delegate launched in a fresh process, from
// the delegate's construction to the end of the first frame that shows the login scene. Beside it, in the same
// run and in alternate order, the floor: a fresh process that makes the same off-screen view and draws one empty
// scene. Start-up has no warm case: every run is a fresh process. The program folder is a scratch folder under /tmp
// with the built resource pack searched behind it, so the runs leave nothing in the build tree.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchCompare.h"
#include "BenchProgramFolder.h"
#include "app/AppDelegate.h"
#include "base/Director.h"
#include "platform/GLView.h"
#include "scene/Scene.h"
#include "scenes/LoginScene.h"
#include "support/Headless.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 7;
constexpr float kFrame = 1.f / 60.f;

double launchLogin() {
    const auto start = Clock::now();
    AppDelegate app;
    if (!app.applicationDidFinishLaunching()) {
        return -1;
    }
    engine::Director* director = engine::Director::getInstance();
    for (int frame = 0; frame < 10; ++frame) {
        const bool loginShown = dynamic_cast<LoginScene*>(director->getRunningScene()) != nullptr;
        director->mainLoop(kFrame);
        if (loginShown) {
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    return -1;
}

double launchEmpty() {
    const auto start = Clock::now();
    engine::Director* director = engine::Director::getInstance();
    engine::GLView* view = engine::GLViewImpl::createWithRect("", engine::Rect(0, 0, 1280, 720), 1.0f, false);
    if (!view) {
        return -1;
    }
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1280, 720, engine::ResolutionPolicy::FIXED_WIDTH);
    director->runWithScene(engine::Scene::create());
    director->mainLoop(kFrame);
    director->mainLoop(kFrame);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the launch in a child process, so every run starts with cold singletons and caches.
double inChild(const std::function<double()>& launch) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const double ms = launch();
        (void)!write(fds[1], &ms, sizeof ms);
        _exit(0);
    }
    close(fds[1]);
    double ms = -1;
    if (read(fds[0], &ms, sizeof ms) != sizeof ms) {
        ms = -1;
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return ms;
}

void report(const char* what, const std::vector<double>& times) {
    const bench::Spread spread = bench::spreadOf(times);
    std::printf("  %-38s min / median / max %6.1f / %6.1f / %6.1f ms\n", what, spread.min, spread.median, spread.max);
}

} // namespace

int main() {
    std::printf("start-up to the first frame, %d alternated pairs (headless, fresh process per run); %s\n", kRuns,
                bench::machineLoad().c_str());
    support::ScratchDir folder;
    bench::useProgramFolder(folder.path());
    bench::Pairs runs;
    if (!bench::alternate(kRuns, [] { return inChild(launchLogin); }, [] { return inChild(launchEmpty); }, runs)) {
        std::fprintf(stderr, "a launch failed\n");
        return 1;
    }
    report("login scene (the program's delegate)", runs.a);
    report("empty scene (reference floor)", runs.b);
    std::printf("  goal: login under 300 ms; %s\n", bench::machineLoad().c_str());
    return 0;
}
