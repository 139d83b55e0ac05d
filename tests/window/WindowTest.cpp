// The program's window on an X display of its own: the renderer it takes (Mesa's GL there draws on the CPU), and
// frames under a tip's backdrop after a size change and in full screen, where SDL made the window's surface anew.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/Director.h"
#include "common/TipsManager.h"
#include "platform/GLView.h"
#include "render/Renderer.h"
#include "scene/Scene.h"
#include "support/Headless.h"
#include "support/PackResources.h"
#include "support/VirtualDisplay.h"
#include "ui/Layout.h"

namespace {

using engine::Director;

class Window : public support::HeadlessTest {
protected:
    void SetUp() override {
        if (support::VirtualDisplay::installed()) {
            xvfb = std::make_unique<support::VirtualDisplay>("1600x1000x24");
        }
        if (const char* display = std::getenv("DISPLAY")) {
            oldDisplay = display;
        }
        if (xvfb && xvfb->started()) {
            setenv("DISPLAY", xvfb->display().c_str(), 1);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            unsetenv("ENGINE_HEADLESS");
        }
        support::HeadlessTest::SetUp();
    }
    void TearDown() override {
        support::HeadlessTest::TearDown();
        // The X connection goes before its server.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("ENGINE_HEADLESS", "1", 1);
        oldDisplay.empty() ? unsetenv("DISPLAY") : setenv("DISPLAY", oldDisplay.c_str(), 1);
        if (xvfb && HasFailure()) {
            xvfb->keepLog();
        }
        xvfb.reset();
    }
    // The pixel at (20, 20) once the window is width x height, over frames drawn in full (each puts back the frame
    // kept under the backdrop); the dimmed frames reused meanwhile are added to `reused`.
    static engine::Color4B pixelAt(SDL_Window* window, int width, int height, uint64_t* reused = nullptr) {
        EXPECT_TRUE(support::waitFor([&] {
            int w = 0, h = 0;
            SDL_GetWindowSize(window, &w, &h);
            return w == width && h == height;
        }));
        engine::Renderer* renderer = Director::getInstance()->getRenderer();
        const uint64_t before = renderer->getStats().dimmedReuses;
        for (int i = 0; i < 3; ++i) {
            renderer->redrawFrame();
            support::stepFrames(1);
        }
        if (reused) {
            *reused += renderer->getStats().dimmedReuses - before;
        }
        return support::readPixel(20, 20);
    }
    std::unique_ptr<support::VirtualDisplay> xvfb;
    std::string oldDisplay;
    support::PackResources pack;
};

} // namespace

TEST_F(Window, TakesTheSoftwareRendererAndDrawsUnderATipAfterItsSizeChanges) {
    if (!xvfb) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it): no window to open";
    }
    ASSERT_TRUE(xvfb->started()) << "Xvfb did not start; its log: " << xvfb->logPath();
    auto* view = engine::GLViewImpl::createWithRect("", engine::Rect(0, 0, 1280, 720));
    ASSERT_TRUE(view && !view->isHeadless());
    Director::getInstance()->setOpenGLView(view);
    view->setDesignResolutionSize(1280, 720, engine::ResolutionPolicy::FIXED_WIDTH);
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(view->getSDLRenderer(), &info);
    EXPECT_STREQ(info.name, "software") << "GL on the CPU costs several times SDL's software renderer";

    auto* scene = engine::Scene::create();
    auto* page = engine::ui::Layout::create();
    page->setContentSize(engine::Size(1280, 720));
    page->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    page->setBackGroundColor(engine::Color3B(200, 220, 240));
    scene->addChild(page);
    support::runScene(scene);
    TipsManager::getInstance()->showTips("The class's results are kept", nullptr, nullptr);
    SDL_Window* window = view->getSDLWindow();
    const engine::Color4B dimmed = pixelAt(window, 1280, 720);
    EXPECT_LT(dimmed.b, 240) << "the backdrop dims the page";
    uint64_t reused = 0;
    SDL_SetWindowSize(window, 1000, 640);
    EXPECT_EQ(pixelAt(window, 1000, 640, &reused), dimmed);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(pixelAt(window, 1600, 1000, &reused), dimmed);
    EXPECT_GT(reused, 0u);
    support::saveScreenshot("window_tip_in_full_screen");
}
