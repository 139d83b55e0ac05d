#include "platform/Application.h"

#include <SDL.h>
#include <malloc.h>

#include "base/Director.h"
#include "base/Log.h"
#include "platform/FramePacer.h"
#include "platform/GLView.h"

namespace engine {

Application* Application::s_instance = nullptr;

// Blocks of 128 KB and more (pictures, movie frames, unpacked files) come straight from the system and go back to it
// when freed. By default the C library raises that bound to the largest block freed so far (up to 32 MB), after
// which such blocks stay in its heaps once freed: 15 to 25 MB more resident over a lesson with a movie.
constexpr int kMmapThreshold = 128 * 1024;
// Each thread that allocates would otherwise get a heap of its own, up to eight a CPU (libvlc starts a dozen
// threads for a movie), each keeping its freed blocks: two heaps keep 4 MB less resident while a movie plays.
constexpr int kMallocArenas = 2;

Application::Application() {
    s_instance = this;
    fixMmapThreshold();
}

void Application::fixMmapThreshold() {
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
    mallopt(M_ARENA_MAX, kMallocArenas);
}

Application::~Application() {
    if (s_instance == this) {
        s_instance = nullptr;
    }
}

Application* Application::getInstance() {
    return s_instance;
}

int Application::run() {
    initGLContextAttrs();
    if (!applicationDidFinishLaunching()) {
        return 1;
    }
    Director* director = Director::getInstance();
    GLView* view = director->getOpenGLView();
    if (view) {
        view->onEnterBackground = [this] { applicationDidEnterBackground(); };
        view->onEnterForeground = [this] { applicationWillEnterForeground(); };
    }
    FramePacer pacer;
    while (!director->hasEnded() && !(view && view->windowShouldClose())) {
        director->mainLoop();
        pacer.waitForNextFrame(director->getAnimationInterval());
    }
    if (!director->hasEnded()) {
        director->startAnimation();
        director->end();
        director->mainLoop(0.f);
    }
    return 0;
}

} // namespace engine
