#include "scene/RenderTexture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Renderer.h"

namespace engine {

namespace {

SDL_Renderer* sdlRenderer() {
    Renderer* renderer = Director::getInstance()->getRenderer();
    return renderer ? renderer->getSDLRenderer() : nullptr;
}

GLubyte toByte(float v) {
    return static_cast<GLubyte>(std::clamp(v, 0.f, 1.f) * 255.f + 0.5f);
}

// Runs work with the SDL target switched to the texture, then puts the previous target back.
template <typename Work> bool onTarget(Texture2D* texture, Work work) {
    SDL_Renderer* renderer = sdlRenderer();
    if (!renderer || !texture || !texture->getSDLTexture()) {
        return false;
    }
    SDL_Texture* previous = SDL_GetRenderTarget(renderer);
    if (SDL_SetRenderTarget(renderer, texture->getSDLTexture()) != 0) {
        log("render texture: %s", SDL_GetError());
        return false;
    }
    const bool ok = work(renderer);
    SDL_SetRenderTarget(renderer, previous);
    return ok;
}

} // namespace

RenderTexture::RenderTexture() {
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

RenderTexture::~RenderTexture() {
    if (_drawing) {
        end();
    }
    if (_texture) {
        _texture->release();
    }
}

RenderTexture* RenderTexture::create(int w, int h, Texture2D::PixelFormat) {
    auto* node = new (std::nothrow) RenderTexture();
    if (node && node->initWithSize(w, h)) {
        node->autorelease();
        return node;
    }
    delete node;
    return nullptr;
}

bool RenderTexture::initWithSize(int w, int h) {
    if (w <= 0 || h <= 0) {
        log("render texture: bad size %dx%d", w, h);
        return false;
    }
    SDL_Renderer* renderer = sdlRenderer();
    if (!renderer) {
        return false;
    }
    const float csf = Director::getInstance()->getContentScaleFactor();
    const int pixelsWide = std::max(1, static_cast<int>(std::lround(w * csf)));
    const int pixelsHigh = std::max(1, static_cast<int>(std::lround(h * csf)));
    SDL_Texture* target =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_TARGET, pixelsWide, pixelsHigh);
    if (!target) {
        log("render texture: %s", SDL_GetError());
        return false;
    }
    SDL_SetTextureBlendMode(target, SDL_BLENDMODE_BLEND);
    _texture = new (std::nothrow) Texture2D();
    if (!_texture || !_texture->initWithTarget(target, pixelsWide, pixelsHigh)) {
        SDL_DestroyTexture(target);
        return false;
    }
    setContentSize(Size(static_cast<float>(w), static_cast<float>(h)));
    clear(0, 0, 0, 0);
    return true;
}

void RenderTexture::begin() {
    if (_drawing) {
        log("render texture: begin() called twice without end()");
        return;
    }
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer || !_texture) {
        return;
    }
    const float csf = Director::getInstance()->getContentScaleFactor();
    if (renderer->pushTarget(_texture->getSDLTexture(), _contentSize, csf)) {
        _drawing = true;
    }
}

void RenderTexture::beginWithClear(float r, float g, float b, float a) {
    begin();
    if (_drawing) {
        clear(r, g, b, a);
    }
}

void RenderTexture::end() {
    if (!_drawing) {
        log("render texture: end() without begin()");
        return;
    }
    _drawing = false;
    if (Renderer* renderer = Director::getInstance()->getRenderer()) {
        renderer->popTarget();
    }
    _texture->markChanged();
}

void RenderTexture::clear(float r, float g, float b, float a) {
    onTarget(_texture, [&](SDL_Renderer* renderer) {
        SDL_SetRenderDrawColor(renderer, toByte(r), toByte(g), toByte(b), toByte(a));
        return SDL_RenderClear(renderer) == 0;
    });
    if (_texture) {
        _texture->markChanged();
    }
}

Color4B RenderTexture::readPixel(int x, int y) {
    if (!_texture || x < 0 || y < 0 || x >= _texture->getPixelsWide() || y >= _texture->getPixelsHigh()) {
        log("render texture: pixel (%d, %d) out of range", x, y);
        return Color4B(0, 0, 0, 0);
    }
    uint8_t rgba[4] = {0, 0, 0, 0};
    const SDL_Rect rect{x, _texture->getPixelsHigh() - 1 - y, 1, 1};
    onTarget(_texture, [&](SDL_Renderer* renderer) {
        return SDL_RenderReadPixels(renderer, &rect, SDL_PIXELFORMAT_RGBA32, rgba, 4) == 0;
    });
    return Color4B(rgba[0], rgba[1], rgba[2], rgba[3]);
}

bool RenderTexture::saveToFile(const std::string& path) {
    if (!_texture) {
        return false;
    }
    const int w = _texture->getPixelsWide(), h = _texture->getPixelsHigh();
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    const bool read = onTarget(_texture, [&](SDL_Renderer* renderer) {
        return SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, rgba.data(), w * 4) == 0;
    });
    if (!read) {
        log("render texture: cannot read pixels for %s", path.c_str());
        return false;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
    const bool ok = surface && IMG_SavePNG(surface, path.c_str()) == 0;
    if (!ok) {
        log("render texture: cannot save %s", path.c_str());
    }
    SDL_FreeSurface(surface);
    return ok;
}

void RenderTexture::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    // A texture cannot be drawn into itself.
    if (!_texture || _drawing) {
        return;
    }
    const Rect source(0, 0, static_cast<float>(_texture->getPixelsWide()),
                      static_cast<float>(_texture->getPixelsHigh()));
    const Color4B color(_displayedColor.r, _displayedColor.g, _displayedColor.b, _displayedOpacity);
    renderer->drawTexture(_texture, source, transform, _contentSize, color);
}

} // namespace engine
