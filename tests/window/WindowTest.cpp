// The program's window on a virtual X display of its own: the renderer it takes there (Mesa's GL draws on the CPU)
// and frames under a tip's translucent backdrop after the window's size changed and in full screen, where SDL has
// freed the surface the software renderer drew into and made another.
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
    // Frames drawn in full (as for a screenshot), so each one puts back the frame kept under the backdrop.
    static void drawFrames(int frames) {
        for (int i = 0; i < frames; ++i) {
            Director::getInstance()->getRenderer()->redrawFrame();
            support::stepFrames(1);
        }
    }
    static bool sizeBecomes(SDL_Window* window, int width, int height) {
        return support::waitFor([&] {
            int w = 0, h = 0;
            SDL_GetWindowSize(window, &w, &h);
            return w == width && h == height;
        });
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
    Director* director = Director::getInstance();
    director->setOpenGLView(view);
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
    drawFrames(3);
    const engine::Color4B dimmed = support::readPixel(20, 20);
    EXPECT_LT(dimmed.b, 240) << "the backdrop dims the page";

    SDL_Window* window = view->getSDLWindow();
    SDL_SetWindowSize(window, 1000, 640);
    ASSERT_TRUE(sizeBecomes(window, 1000, 640));
    const uint64_t reusedBefore = director->getRenderer()->getStats().dimmedReuses;
    drawFrames(3);
    EXPECT_EQ(support::readPixel(20, 20), dimmed);

    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    ASSERT_TRUE(sizeBecomes(window, 1600, 1000));
    drawFrames(3);
    EXPECT_EQ(support::readPixel(20, 20), dimmed);
    EXPECT_GT(director->getRenderer()->getStats().dimmedReuses, reusedBefore);
    support::saveScreenshot("window_tip_in_full_screen");
}
