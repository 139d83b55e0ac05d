#include "platform/Application.h"

#include <SDL.h>

#include "base/Director.h"
#include "base/Log.h"
#include "platform/FramePacer.h"
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
