// Entry point: a first plain scene until the application delegate is in place.
#include "base/Director.h"
#include "platform/Application.h"
#include "platform/GLView.h"
#include "scene/Label.h"
#include "scene/Scene.h"

namespace {
class FirstApp : public engine::Application {
public:
    bool applicationDidFinishLaunching() override {
        auto* director = engine::Director::getInstance();
        auto* view = engine::GLViewImpl::createWithRect("", engine::Rect(0, 0, 1280, 720), 1.0f, false);
        director->setOpenGLView(view);
        view->setDesignResolutionSize(1280, 720, engine::ResolutionPolicy::FIXED_WIDTH);
        auto* scene = engine::Scene::create();
        auto* label = engine::Label::create("Classroom", "", 48);
        label->setPosition(640, 360);
        scene->addChild(label);
        director->runWithScene(scene);
        return true;
    }
    void applicationDidEnterBackground() override { engine::Director::getInstance()->stopAnimation(); }
    void applicationWillEnterForeground() override { engine::Director::getInstance()->startAnimation(); }
};
} // namespace

int main(int, char**) {
    FirstApp app;
    return engine::Application::getInstance()->run();
}
