// The window (or an off-screen surface when headless), its design resolution and its input.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Geometry.h"
#include "base/Ref.h"
#include "base/Touch.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Surface;

namespace engine {

enum class ResolutionPolicy { EXACT_FIT, NO_BORDER, SHOW_ALL, FIXED_HEIGHT, FIXED_WIDTH, UNKNOWN };

struct GLContextAttrs {
    int red = 8, green = 8, blue = 8, alpha = 8, depth = 24, stencil = 8, multisamplingCount = 0;
};

class GLView : public Ref {
public:
    ~GLView() override;

    static void setGLContextAttrs(GLContextAttrs& attrs);
    static GLContextAttrs getGLContextAttrs();
    // True for a GL renderer string of a rasteriser that draws on the CPU (Mesa's llvmpipe, softpipe, swrast).
    static bool isSoftwareRasteriser(const std::string& glRenderer);

    // Only the fixed-width policy: scale = frame width / design width on both axes.
    void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    Size getDesignResolutionSize() const { return _designSize; }
    ResolutionPolicy getResolutionPolicy() const { return _policy; }
    Size getFrameSize() const { return _frameSize; }
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const { return Vec2::ZERO; }
    float getScaleX() const { return _scale; }
    float getScaleY() const { return _scale; }
    bool isHeadless() const { return _window == nullptr; }
    bool isFullScreen() const { return _fullScreen; }

    // Window pixel to design point.
    Vec2 pixelToPoint(float px, float py) const;

    // Tests: one touch event in design points, dispatched at once.
    void injectTouch(TouchPhase phase, const Vec2& designPoint, int id = 0);

    // Polls SDL events; false once the window was closed.
    bool pollEvents();
    bool windowShouldClose() const { return _shouldClose; }
    void setWindowShouldClose() { _shouldClose = true; }

    SDL_Renderer* getSDLRenderer() const { return _renderer; }
    // The pixel format of the window (or the off-screen surface).
    uint32_t getPixelFormat() const;
    // The surface the software renderer draws into: the off-screen one, or the window's own as it is now (SDL frees
    // it and makes another when the window's size changes: ask again each frame); null for a GL window.
    SDL_Surface* getOffscreenSurface() const;
    SDL_Window* getSDLWindow() const { return _window; }
    // Tests, headless: the off-screen surface's pixels made anew at the same size and place, as SDL may remake a
    // window's surface where the freed one was.
    void renewOffscreenPixels();
    void present();

    // Minimise / restore reach the application.
    std::function<void()> onEnterBackground;
    std::function<void()> onEnterForeground;

protected:
    GLView() = default;
    bool initWindow(const std::string& name, int width, int height, bool fullScreen);
    bool initHeadless(const Size& frame);

    SDL_Window* _window = nullptr;
    SDL_Renderer* _renderer = nullptr;
    SDL_Surface* _surface = nullptr;
    bool _softwareWindow = false;
    Size _frameSize;
    Size _designSize = Size(1280, 720);
    ResolutionPolicy _policy = ResolutionPolicy::UNKNOWN;
    float _scale = 1.f;
    bool _fullScreen = false;
    bool _shouldClose = false;
    bool _mouseDown = false;
};

class GLViewImpl : public GLView {
public:
    // Headless when SDL_VIDEODRIVER=dummy or ENGINE_HEADLESS=1: an off-screen surface of that size.
    static GLViewImpl* createWithRect(const std::string& name, const Rect& rect, float frameZoomFactor = 1.0f,
                                      bool resizable = false);
    // Headless full screen uses ENGINE_FRAME_SIZE ("WxH"), default 1920x1080.
    static GLViewImpl* createWithFullScreen(const std::string& name);
    static GLViewImpl* createHeadless(const Size& frame);
    static bool wantsHeadless();
};

} // namespace engine
