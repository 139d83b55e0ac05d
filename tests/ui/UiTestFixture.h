// A headless director with a running scene, a scratch resource root, log capture, touch injection, pictures
// written at test time and pixel read-back.
#pragma once

#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Touch.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "render/Renderer.h"
#include "scene/Scene.h"

namespace uitest {

using namespace engine;

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/uitest-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        files = FileUtils::getInstance();
        savedRoot = files->getDefaultResourceRootPath();
        savedPaths = files->getSearchPaths();
        files->setDefaultResourceRootPath(scratch);
        files->setSearchPaths({""});
        setLogSink([this](const std::string& line) { logLines.push_back(line); });

        director = Director::getInstance();
        view = GLViewImpl::createHeadless(Size(1280, 720));
        ASSERT_NE(view, nullptr);
        director->setOpenGLView(view);
        view->setDesignResolutionSize(1280, 720, ResolutionPolicy::FIXED_WIDTH);
        scene = Scene::create();
        director->runWithScene(scene);
        step();
        ASSERT_EQ(director->getRunningScene(), scene);
    }

    void TearDown() override {
        director->reset();
        setLogSink(nullptr);
        files->setDefaultResourceRootPath(savedRoot);
        files->setSearchPaths(savedPaths);
        std::error_code ec;
        std::filesystem::remove_all(scratch, ec);
    }

    void step(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            director->mainLoop(1 / 60.f);
        }
    }

    void touch(TouchPhase phase, float x, float y, int id = 0) { view->injectTouch(phase, Vec2(x, y), id); }
    void tap(float x, float y) {
        touch(TouchPhase::BEGAN, x, y);
        touch(TouchPhase::ENDED, x, y);
    }

    std::string put(const std::string& relative, const std::string& content) {
        const std::string full = scratch + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << content;
        return full;
    }

    // A 24-bit picture (PNG, whatever the name says: the only other format decoded is JPEG); colour(x, y) with
    // y = 0 the top row.
    void putPicture(const std::string& relative, int w, int h, const std::function<Color3B(int, int)>& colour) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
        ASSERT_NE(surface, nullptr);
        for (int y = 0; y < h; ++y) {
            auto* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
            for (int x = 0; x < w; ++x) {
                const Color3B c = colour(x, y);
                row[x * 3] = c.r;
                row[x * 3 + 1] = c.g;
                row[x * 3 + 2] = c.b;
            }
        }
        const std::string full = put(relative, "");
        EXPECT_EQ(IMG_SavePNG(surface, full.c_str()), 0) << IMG_GetError();
        SDL_FreeSurface(surface);
    }
    void putPicture(const std::string& relative, int w, int h, Color3B colour) {
        putPicture(relative, w, h, [colour](int, int) { return colour; });
    }

    // The drawn colour at a design point (bottom-left origin) of the last frame; read back once per frame.
    Color4B pixel(float x, float y) {
        if (frameRead != director->getTotalFrames()) {
            if (!director->getRenderer() || !director->getRenderer()->readPixels(frame, frameW, frameH)) {
                ADD_FAILURE() << "no read-back";
                return Color4B();
            }
            frameRead = director->getTotalFrames();
        }
        const int px = static_cast<int>(x), py = frameH - 1 - static_cast<int>(y);
        const size_t at = (static_cast<size_t>(py) * frameW + px) * 4;
        return Color4B(frame[at], frame[at + 1], frame[at + 2], frame[at + 3]);
    }

    bool logged(const std::string& part) const {
        for (const auto& line : logLines) {
            if (line.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    int countLogged(const std::string& part) const {
        int n = 0;
        for (const auto& line : logLines) {
            n += line.find(part) != std::string::npos;
        }
        return n;
    }

    Director* director = nullptr;
    GLView* view = nullptr;
    Scene* scene = nullptr;
    FileUtils* files = nullptr;
    std::string scratch;
    std::string savedRoot;
    std::vector<std::string> savedPaths;
    std::vector<std::string> logLines;
    std::vector<uint8_t> frame;
    int frameW = 0, frameH = 0;
    uint64_t frameRead = ~uint64_t(0);
};

inline bool near(const Color4B& c, int r, int g, int b, int tolerance = 4) {
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}

inline std::string describe(const Color4B& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ", " +
           std::to_string(c.a) + ")";
}

} // namespace uitest
