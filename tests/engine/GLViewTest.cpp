// Which GL renderers draw on the CPU, where the window takes SDL's software renderer instead.
#include <gtest/gtest.h>

#include "platform/GLView.h"

TEST(GLView, TellsTheRasterisersThatDrawOnTheCpu) {
    const struct {
        const char* glRenderer;
        bool cpu;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Mesa X11 swrast", true},
        {"Software Rasterizer", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 580 (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0)", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(engine::GLView::isSoftwareRasteriser(c.glRenderer), c.cpu) << c.glRenderer;
    }
}
