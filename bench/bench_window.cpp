// The program in a real 1280x720 window on a virtual X display (an Xvfb the bench starts), as a user under such a
// display runs it, with each of SDL's renderers: the GL one (Mesa's, on the CPU where there is no graphics card),
// the software one presenting through a GL texture (SDL's default for a window surface) and through X11 shared
// memory, and whatever the program picks itself. Four screens, each in a fresh process with the real paced frame
// loop (60 frames a second) left alone: a screen without animation (the course list), the login screen's
// animations, the lucky wheel spinning, and the 10 s movie over a page. Measured: the CPU time of the program's
// process (all threads) and of its main thread, and the X server's, per second of wall time; both as the machine is
// and with 8 busy processes. BENCH_WINDOW_SECONDS sets the seconds measured (default 6).
#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "BenchCompare.h"
#include "BenchDemoGame.h"
#include "BenchLoad.h"
#include "BenchProcess.h"
#include "app/AppDelegate.h"
#include "base/Director.h"
#include "games/GameLayer.h"
#include "games/GameManager.h"
#include "lesson/VideoPlaySprite.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "platform/FramePacer.h"
#include "platform/GLView.h"
#include "render/Texture2D.h"
#include "scene/Scene.h"
#include "scenes/CourseScene.h"
#include "scenes/LoginScene.h"
#include "support/ClientTest.h"
#include "support/VirtualDisplay.h"
#include "ui/Layout.h"
#include "ui/TextField.h"

using namespace engine;
using bench::cpuSeconds;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kScreens[] = {"idle", "login", "wheel", "movie"};

struct RendererChoice {
    const char* label;
    const char* driver;       // SDL_RENDER_DRIVER, or null for the program's own choice
    const char* acceleration; // SDL_FRAMEBUFFER_ACCELERATION, or null
};
const RendererChoice kRenderers[] = {
    {"GL (opengl)", "opengl", nullptr},
    {"software, through a GL texture", "software", nullptr},
    {"software, X11 shared memory", "software", "0"},
    {"the program's choice", nullptr, nullptr},
};

double measureSeconds() {
    const char* seconds = std::getenv("BENCH_WINDOW_SECONDS");
    return seconds && std::atof(seconds) > 0 ? std::atof(seconds) : 6.0;
}

// CPU seconds (user + system) of another process, from /proc/<pid>/stat.
double processCpuSeconds(pid_t pid) {
    FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!file) {
        return 0;
    }
    char text[1024] = {};
    const size_t got = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[got] = 0;
    const char* after = std::strrchr(text, ')');
    unsigned long user = 0, system = 0;
    // Fields 14 and 15 (utime, stime) follow the name's closing parenthesis and twelve other fields.
    if (!after || std::sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2) {
        return 0;
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The screen set up in the window; the real frame loop then runs on its own.
class WindowProgram : public support::ClientTest {
public:
    WindowProgram() { SetUp(); }
    ~WindowProgram() override {
        network::HttpClient::destroyInstance();
        TearDown();
    }
    void TestBody() override {}

    bool openWindow() {
        GLViewImpl* view = GLViewImpl::createWithRect("bench_window", Rect(0, 0, 1280, 720));
        if (!view || view->isHeadless()) {
            return false;
        }
        Director::getInstance()->setOpenGLView(view);
        view->setDesignResolutionSize(1280, 720, ResolutionPolicy::FIXED_WIDTH);
        return true;
    }

    bool setUpScreen(const std::string& screen) {
        if (screen == "idle" || screen == "login") {
            return programScreen(screen == "idle");
        }
        return screen == "wheel" ? spinningWheel() : playingMovie();
    }

    // Program name of the SDL renderer and, for a GL one, its GL_RENDERER.
    static std::string rendererName() {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(Director::getInstance()->getOpenGLView()->getSDLRenderer(), &info);
        std::string name = info.name ? info.name : "?";
        const char* acceleration = SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
        if (name == "software") {
            name += acceleration && *acceleration == '0' ? "/shm" : "/texture";
        }
        return name;
    }

private:
    bool programScreen(bool logIn) {
        if (!app.applicationDidFinishLaunching() || !waitFor(sceneIs<LoginScene>) ||
            !waitFor([] { return !HttpManager::getInstance()->getLoadingPanel(); })) {
            return false;
        }
        support::stepFrames(60);
        if (!logIn) {
            return true;
        }
        auto* user = dynamic_cast<ui::TextField*>(support::findByName("UserName"));
        auto* password = dynamic_cast<ui::TextField*>(support::findByName("PassWord"));
        if (!user || !password) {
            return false;
        }
        user->setString("teacher");
        password->setString("1234");
        if (!support::click("Btn_Login") || !waitFor(sceneIs<CourseScene>) ||
            !waitFor([] { return !HttpManager::getInstance()->getLoadingPanel(); })) {
            return false;
        }
        support::stepFrames(90);
        return true;
    }

    // The lucky wheel of the first demo lecture that has one, started: it turns until stopped.
    static bool spinningWheel() {
        bench::addDemoPupils();
        if (!bench::useFirstDemoGameOfModel(8)) {
            return false;
        }
        GameLayer* frame = bench::openDemoGame(true);
        return frame != nullptr;
    }

    // The movie over an opaque page under the player's black backdrop, as the lesson plays it.
    static bool playingMovie() {
        Scene* scene = Scene::create();
        support::runScene(scene);
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 1280, 720, 32, SDL_PIXELFORMAT_RGB888);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xc0, 0xd8, 0xf0));
        auto* texture = new Texture2D();
        texture->initWithSurface(surface);
        SDL_FreeSurface(surface);
        Sprite* page = Sprite::createWithTexture(texture);
        texture->release();
        page->setPosition(Vec2(640, 360));
        scene->addChild(page, -2);
        ui::Layout* backdrop = ui::Layout::create();
        backdrop->setContentSize(Size(1280, 720));
        backdrop->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
        backdrop->setBackGroundColor(Color3B::BLACK);
        scene->addChild(backdrop, -1);
        auto* video = new VideoPlaySprite();
        if (!video->init("bench-media/Video10s.mp4", nullptr)) {
            delete video;
            return false;
        }
        video->autorelease();
        video->setPosition(Vec2(640, 360));
        scene->addChild(video);
        video->play();
        return support::waitFor([video] { return video->getShownFrameCount() > 0; });
    }

    template <class T> static bool sceneIs() {
        return dynamic_cast<T*>(Director::getInstance()->getRunningScene()) != nullptr;
    }

    AppDelegate app;
};

// In a fresh process: "result <renderer> <process %> <main thread %> <X server %> <frames drawn a second>".
int childMain(const std::string& screen, pid_t xServer) {
    WindowProgram program;
    if (!program.openWindow()) {
        std::fprintf(stderr, "bench_window: no window on DISPLAY=%s\n", std::getenv("DISPLAY"));
        return 1;
    }
    if (!program.setUpScreen(screen)) {
        std::fprintf(stderr, "bench_window: the %s screen could not be set up\n", screen.c_str());
        return 1;
    }
    Director* director = Director::getInstance();
    FramePacer pacer;
    const double seconds = measureSeconds();
    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID), mainStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double serverStart = processCpuSeconds(xServer);
    const auto start = Clock::now();
    double wall = 0;
    while ((wall = std::chrono::duration<double>(Clock::now() - start).count()) < seconds) {
        director->mainLoop();
        pacer.waitForNextFrame(director->getAnimationInterval());
    }
    std::printf("result %s %.2f %.2f %.2f\n", WindowProgram::rendererName().c_str(),
                100 * (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart) / wall,
                100 * (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainStart) / wall,
                100 * (processCpuSeconds(xServer) - serverStart) / wall);
    return 0;
}

struct Result {
    std::string renderer;
    double process = -1, main = -1, server = -1;
};

Result freshRun(const RendererChoice& renderer, const std::string& screen) {
    const auto set = [](const char* name, const char* value) {
        value ? setenv(name, value, 1) : unsetenv(name);
    };
    set("SDL_RENDER_DRIVER", renderer.driver);
    set("SDL_FRAMEBUFFER_ACCELERATION", renderer.acceleration);
    Result result;
    std::string output;
    if (!bench::freshProcessOutput(bench::selfPath(), {screen}, output)) {
        return result;
    }
    const size_t at = output.find("result ");
    if (at != std::string::npos) {
        std::istringstream line(output.substr(at + 7));
        line >> result.renderer >> result.process >> result.main >> result.server;
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "--fresh") == 0) {
        return childMain(argv[2], static_cast<pid_t>(std::atol(std::getenv("BENCH_XVFB_PID"))));
    }
    support::VirtualDisplay xvfb;
    if (!xvfb.started()) {
        std::printf("bench_window: Xvfb did not start (scripts/install-deps.sh installs it)\n");
        return 1;
    }
    const std::string& display = xvfb.display();
    const pid_t xServer = xvfb.pid();
    setenv("DISPLAY", display.c_str(), 1);
    setenv("BENCH_XVFB_PID", std::to_string(xServer).c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    unsetenv("ENGINE_HEADLESS");
    std::printf("the program in a 1280x720 window on Xvfb %s, %.0f s of the paced frame loop per screen, a fresh "
                "process each (goals: idle < 5 %%, an animated game < 30 %%, the movie < 50 %% of a core)\n",
                display.c_str(), measureSeconds());
    std::printf("at start: %s\n", bench::machineLoad().c_str());
    std::printf("%-32s %-7s %-7s %-16s %28s %10s %6s\n", "renderer", "screen", "pass", "SDL renderer",
                "CPU % of a core: program", "(main)", "Xvfb");
    bool failed = false;
    for (int loaded = 0; loaded < 2; ++loaded) {
        std::unique_ptr<bench::BusyProcesses> busy;
        if (loaded) {
            busy = std::make_unique<bench::BusyProcesses>(bench::kBusyProcesses);
        }
        for (const RendererChoice& renderer : kRenderers) {
            for (const char* screen : kScreens) {
                const Result r = freshRun(renderer, screen);
                if (r.process < 0) {
                    std::printf("%-32s %-7s failed (X server %s, its log %s)\n", renderer.label, screen,
                                xvfb.running() ? "running" : "gone", xvfb.logPath().c_str());
                    xvfb.keepLog();
                    failed = true;
                    continue;
                }
                std::printf("%-32s %-7s %-7s %-16s %28.1f %10.1f %6.1f   load %.1f%s\n", renderer.label, screen,
                            loaded ? "loaded" : "quiet", r.renderer.c_str(), r.process, r.main, r.server,
                            bench::loadAverage(), loaded ? "+8" : "");
                std::fflush(stdout);
            }
        }
    }
    std::printf("at end: %s\n", bench::machineLoad().c_str());
    return failed ? 1 : 0;
}
