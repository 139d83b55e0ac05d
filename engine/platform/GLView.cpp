#include "platform/GLView.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Renderer.h"
#if __has_include("ui/TextField.h")
#include "ui/TextField.h"
#define ENGINE_HAS_TEXT_FIELD 1
#endif

namespace engine {

namespace {
GLContextAttrs g_contextAttrs;

// GL_RENDERER of the renderer's context; "" for a renderer that is not GL.
std::string glRendererName(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) {
        return "";
    }
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : "";
}
} // namespace

bool GLView::isSoftwareRasteriser(const std::string& glRenderer) {
    for (const char* cpu : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (glRenderer.find(cpu) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void GLView::setGLContextAttrs(GLContextAttrs& attrs) {
    g_contextAttrs = attrs;
}
GLContextAttrs GLView::getGLContextAttrs() {
    return g_contextAttrs;
}

GLView::~GLView() {
    if (_renderer) {
        SDL_DestroyRenderer(_renderer);
    }
    if (_surface) {
        SDL_FreeSurface(_surface);
    }
    if (_window) {
        SDL_DestroyWindow(_window);
    }
}

void GLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
    if (width <= 0 || height <= 0) {
        return;
    }
    if (policy != ResolutionPolicy::FIXED_WIDTH) {
        log("resolution policy: only fixed width is supported");
    }
    _designSize = Size(width, height);
    _policy = ResolutionPolicy::FIXED_WIDTH;
    _scale = _frameSize.width / width;
}

Size GLView::getVisibleSize() const {
    if (_policy == ResolutionPolicy::UNKNOWN || _scale <= 0.f) {
        return _frameSize;
    }
    return Size(_designSize.width, _frameSize.height / _scale);
}

Vec2 GLView::pixelToPoint(float px, float py) const {
    const float scale = _scale > 0.f ? _scale : 1.f;
    return Vec2(px / scale, (_frameSize.height - py) / scale);
}

void GLView::injectTouch(TouchPhase phase, const Vec2& designPoint, int id) {
    Director::getInstance()->getEventDispatcher()->dispatchTouch(phase, designPoint, id);
}

bool GLView::initWindow(const std::string& name, int width, int height, bool fullScreen) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        log("video: %s", SDL_GetError());
        return false;
    }
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    _window = SDL_CreateWindow(name.empty() ? "Classroom" : name.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!_window) {
        log("window: %s", SDL_GetError());
        return false;
    }
    _renderer = SDL_CreateRenderer(_window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    // A GL rasteriser on the CPU costs several times SDL's own software renderer (docs/performance.md), which then
    // puts its frames straight on the window (X11 shared memory) rather than through a GL texture. A renderer asked
    // for by SDL_RENDER_DRIVER is kept.
    const std::string glRenderer = _renderer ? glRendererName(_renderer) : "";
    if (!SDL_GetHint(SDL_HINT_RENDER_DRIVER) && isSoftwareRasteriser(glRenderer)) {
        log("window: %s draws on the CPU; using the software renderer", glRenderer.c_str());
        SDL_DestroyRenderer(_renderer);
        _renderer = nullptr;
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    }
    if (!_renderer) {
        _renderer = SDL_CreateRenderer(_window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    }
    if (!_renderer) {
        log("renderer: %s", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0) {
        // The window's surface is the software renderer's target, where the renderer's own loops may draw.
        _softwareWindow = true;
    }
    int w = width, h = height;
    SDL_GetRendererOutputSize(_renderer, &w, &h);
    _frameSize = Size(static_cast<float>(w), static_cast<float>(h));
    _fullScreen = fullScreen;
    SDL_StopTextInput();
    return true;
}

bool GLView::initHeadless(const Size& frame) {
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    const int w = static_cast<int>(frame.width), h = static_cast<int>(frame.height);
    if (w <= 0 || h <= 0) {
        return false;
    }
    _surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    if (!_surface) {
        log("off-screen surface: %s", SDL_GetError());
        return false;
    }
    _renderer = SDL_CreateSoftwareRenderer(_surface);
    if (!_renderer) {
        log("off-screen renderer: %s", SDL_GetError());
        return false;
    }
    _frameSize = frame;
    return true;
}

SDL_Surface* GLView::getOffscreenSurface() const {
    if (_surface) {
        return _surface;
    }
    return _softwareWindow ? SDL_GetWindowSurface(_window) : nullptr;
}

void GLView::renewOffscreenPixels() {
    if (!_surface) {
        return;
    }
    // Made while the old pixels live, so at another address; the old ones go with the spare surface.
    SDL_Surface* spare = SDL_CreateRGBSurfaceWithFormat(0, _surface->w, _surface->h, 32, _surface->format->format);
    if (spare) {
        std::swap(_surface->pixels, spare->pixels);
        SDL_FreeSurface(spare);
    }
}

uint32_t GLView::getPixelFormat() const {
    if (_window) {
        return SDL_GetWindowPixelFormat(_window);
    }
    return _surface ? _surface->format->format : 0;
}

void GLView::present() {
    if (_window) {
        SDL_RenderPresent(_renderer);
    } else if (_renderer) {
        SDL_RenderFlush(_renderer);
    }
}

bool GLView::pollEvents() {
    if (!_window) {
        // Off-screen: only the quit request (SIGINT/SIGTERM) matters.
        SDL_PumpEvents();
        if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) {
            _shouldClose = true;
        }
        return !_shouldClose;
    }
    auto* dispatcher = Director::getInstance()->getEventDispatcher();
    int windowW = 0, windowH = 0;
    SDL_GetWindowSize(_window, &windowW, &windowH);
    const float toPixelsX = windowW > 0 ? _frameSize.width / windowW : 1.f;
    const float toPixelsY = windowH > 0 ? _frameSize.height / windowH : 1.f;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            _shouldClose = true;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_MINIMIZED && onEnterBackground) {
                onEnterBackground();
            } else if (e.window.event == SDL_WINDOWEVENT_RESTORED && onEnterForeground) {
                onEnterForeground();
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST && _mouseDown) {
                _mouseDown = false;
                dispatcher->cancelAllTouches();
            }
            // The window system may have drawn over the window: the next frame draws it all again.
            if (Renderer* renderer = Director::getInstance()->getRenderer()) {
                renderer->redrawFrame();
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT && e.button.which != SDL_TOUCH_MOUSEID) {
                _mouseDown = true;
                dispatcher->dispatchTouch(TouchPhase::BEGAN,
                                          pixelToPoint(e.button.x * toPixelsX, e.button.y * toPixelsY));
            }
            break;
        case SDL_MOUSEMOTION:
            if (_mouseDown && e.motion.which != SDL_TOUCH_MOUSEID) {
                dispatcher->dispatchTouch(TouchPhase::MOVED,
                                          pixelToPoint(e.motion.x * toPixelsX, e.motion.y * toPixelsY));
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT && _mouseDown && e.button.which != SDL_TOUCH_MOUSEID) {
                _mouseDown = false;
                dispatcher->dispatchTouch(TouchPhase::ENDED,
                                          pixelToPoint(e.button.x * toPixelsX, e.button.y * toPixelsY));
            }
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            const TouchPhase phase = e.type == SDL_FINGERDOWN ? TouchPhase::BEGAN
                                     : e.type == SDL_FINGERUP ? TouchPhase::ENDED
                                                              : TouchPhase::MOVED;
            const int id = 1 + static_cast<int>(e.tfinger.fingerId & 0xFFFF);
            dispatcher->dispatchTouch(
                phase, pixelToPoint(e.tfinger.x * _frameSize.width, e.tfinger.y * _frameSize.height), id);
            break;
        }
#ifdef ENGINE_HAS_TEXT_FIELD
        case SDL_TEXTINPUT:
            ui::TextField::dispatchTextInput(e.text.text);
            break;
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_BACKSPACE) {
                ui::TextField::dispatchBackspace();
            }
            break;
#endif
        default:
            break;
        }
    }
#ifdef ENGINE_HAS_TEXT_FIELD
    const bool wantText = ui::TextField::hasAttachedField();
    if (wantText != (SDL_IsTextInputActive() == SDL_TRUE)) {
        wantText ? SDL_StartTextInput() : SDL_StopTextInput();
    }
#endif
    return !_shouldClose;
}

namespace {

bool headlessAsked() {
    const char* headless = std::getenv("ENGINE_HEADLESS");
    if (headless && std::strcmp(headless, "1") == 0) {
        return true;
    }
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && std::strcmp(driver, "dummy") == 0;
}

bool hasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Whoever starts the program without a display learns why no window shows.
void tellWhyOffScreen() {
    if (!headlessAsked() && !hasDisplay()) {
        log("no display (DISPLAY and WAYLAND_DISPLAY are unset): drawing off-screen, no window opens");
    }
}

} // namespace

bool GLViewImpl::wantsHeadless() {
    return headlessAsked() || !hasDisplay();
}

GLViewImpl* GLViewImpl::createHeadless(const Size& frame) {
    auto* view = new GLViewImpl();
    if (!view->initHeadless(frame)) {
        delete view;
        return nullptr;
    }
    view->autorelease();
    return view;
}

GLViewImpl* GLViewImpl::createWithRect(const std::string& name, const Rect& rect, float frameZoomFactor, bool) {
    const Size frame(rect.size.width * frameZoomFactor, rect.size.height * frameZoomFactor);
    if (wantsHeadless()) {
        tellWhyOffScreen();
        return createHeadless(frame);
    }
    auto* view = new GLViewImpl();
    if (!view->initWindow(name, static_cast<int>(frame.width), static_cast<int>(frame.height), false)) {
        delete view;
        log("no window could be opened; drawing off-screen");
        return createHeadless(frame);
    }
    view->autorelease();
    return view;
}

GLViewImpl* GLViewImpl::createWithFullScreen(const std::string& name) {
    if (wantsHeadless()) {
        tellWhyOffScreen();
        Size frame(1920, 1080);
        if (const char* size = std::getenv("ENGINE_FRAME_SIZE")) {
            int w = 0, h = 0;
            if (std::sscanf(size, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
                frame = Size(static_cast<float>(w), static_cast<float>(h));
            }
        }
        return createHeadless(frame);
    }
    auto* view = new GLViewImpl();
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_DisplayMode mode;
    int w = 1920, h = 1080;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        w = mode.w;
        h = mode.h;
    }
    if (!view->initWindow(name, w, h, true)) {
        delete view;
        log("no window could be opened; drawing off-screen");
        return createHeadless(Size(static_cast<float>(w), static_cast<float>(h)));
    }
    view->autorelease();
    return view;
}

} // namespace engine
