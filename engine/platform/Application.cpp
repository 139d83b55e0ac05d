#include "platform/Application.h"

#include <SDL.h>

#include "base/Director.h"
#include "base/Log.h"
#include "platform/GLView.h"

namespace engine {

Application* Application::s_instance = nullptr;

Application::Application() { s_instance = this; }

Application::~Application() {
    if (s_instance == this) {
        s_instance = nullptr;
    }
}

Application* Application::getInstance() { return s_instance; }

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
    while (!director->hasEnded() && !(view && view->windowShouldClose())) {
        const uint64_t start = SDL_GetTicks64();
        director->mainLoop();
        const double intervalMs = director->getAnimationInterval() * 1000.0;
        const uint64_t spent = SDL_GetTicks64() - start;
        if (spent < intervalMs) {
            SDL_Delay(static_cast<Uint32>(intervalMs - spent));
        }
    }
    if (!director->hasEnded()) {
        director->startAnimation();
        director->end();
        director->mainLoop(0.f);
    }
    return 0;
}

} // namespace engine
