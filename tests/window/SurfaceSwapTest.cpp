// A surface made anew at the same size and place (as SDL remakes a window's): the next frame is drawn on it in full,
// not skipped as the frame drawn last, nor put back from the frame kept under a tip's backdrop.
#include <gtest/gtest.h>

#include "base/Director.h"
#include "common/TipsManager.h"
#include "platform/GLView.h"
#include "render/Renderer.h"
#include "scene/Scene.h"
#include "support/Headless.h"
#include "support/PackResources.h"
#include "ui/Layout.h"

namespace {

using engine::Director;

struct SwapCase {
    const char* name;
    bool underTip; // a tip's backdrop dims the page, so a frame is kept under it
    int swaps;     // surfaces made anew, a frame after each
};

const SwapCase kSwapCases[] = {
    {"PlainPage", false, 1},
    {"PageUnderATip", true, 1},
    {"PageUnderATipTwice", true, 2},
};

class SurfaceSwap : public support::HeadlessTest, public ::testing::WithParamInterface<SwapCase> {
protected:
    support::PackResources pack;
};

TEST_P(SurfaceSwap, DrawsTheNextFrameInFullOnTheNewSurface) {
    const SwapCase& row = GetParam();
    auto* scene = engine::Scene::create();
    auto* page = engine::ui::Layout::create();
    page->setContentSize(engine::Size(1280, 720));
    page->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    page->setBackGroundColor(engine::Color3B(200, 220, 240));
    scene->addChild(page);
    support::runScene(scene);
    if (row.underTip) {
        TipsManager::getInstance()->showTips("The class's results are kept", nullptr, nullptr);
    }
    support::stepFrames(60);
    engine::Renderer* renderer = Director::getInstance()->getRenderer();
    const uint64_t reusedBefore = renderer->getStats().dimmedReuses;
    for (int i = 0; i < 2; ++i) { // the first keeps the frame under the backdrop, the second puts it back
        renderer->redrawFrame();
        support::stepFrames(1);
    }
    ASSERT_EQ(renderer->getStats().dimmedReuses - reusedBefore, row.underTip ? 1u : 0u) << "a frame is kept";
    const engine::Color4B shown = support::readPixel(20, 20);
    ASSERT_GT(shown.a, 0);

    for (int swap = 0; swap < row.swaps; ++swap) {
        Director::getInstance()->getOpenGLView()->renewOffscreenPixels();
        ASSERT_EQ(support::readPixel(20, 20).a, 0) << "the new surface starts empty";
        const engine::Renderer::Stats before = renderer->getStats();
        support::stepFrames(1);
        const engine::Renderer::Stats after = renderer->getStats();
        EXPECT_EQ(support::readPixel(20, 20), shown) << "swap " << swap << ": the page on the new surface";
        EXPECT_EQ(after.framesDrawn - before.framesDrawn, 1u) << "swap " << swap;
        EXPECT_EQ(after.dimmedReuses, before.dimmedReuses) << "swap " << swap << ": the kept frame is the old one's";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SurfaceSwap, ::testing::ValuesIn(kSwapCases),
                         [](const ::testing::TestParamInfo<SwapCase>& info) { return info.param.name; });

} // namespace
