#include "render/Texture2D.h"

#include <SDL.h>

#include <cstring>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Renderer.h"

namespace engine {

namespace {
SDL_Renderer* currentRenderer() {
    Renderer* renderer = Director::getInstance()->getRenderer();
    return renderer ? renderer->getSDLRenderer() : nullptr;
}

uint64_t newContentId() {
    static uint64_t last = 0;
    return ++last;
}
} // namespace

Texture2D::Texture2D() = default;

Texture2D::~Texture2D() { releaseTexture(); }

void Texture2D::releaseTexture() {
    if (_texture && _ownsTexture) {
        SDL_DestroyTexture(_texture);
    }
    _texture = nullptr;
    _streaming = false;
    _contentId = 0;
}

Size Texture2D::getContentSize() const {
    const float csf = Director::getInstance()->getContentScaleFactor();
    return Size(_pixelsWide / csf, _pixelsHigh / csf);
}

bool Texture2D::initWithSurface(SDL_Surface* surface) {
    SDL_Renderer* renderer = currentRenderer();
    if (!surface || !renderer) {
        return false;
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
    if (!texture) {
        log("texture: %s", SDL_GetError());
        return false;
    }
    releaseTexture();
    _texture = texture;
    _ownsTexture = true;
    _pixelsWide = surface->w;
    _pixelsHigh = surface->h;
    _contentId = newContentId();
    SDL_SetTextureBlendMode(_texture, SDL_BLENDMODE_BLEND);
    return true;
}

bool Texture2D::initWithData(const void* data, ssize_t dataLen, PixelFormat format, int pixelsWide, int pixelsHigh,
                             const Size&) {
    SDL_Renderer* renderer = currentRenderer();
    if (!data || pixelsWide <= 0 || pixelsHigh <= 0 || !renderer) {
        return false;
    }
    const ssize_t needed = static_cast<ssize_t>(pixelsWide) * pixelsHigh * 4;
    if (dataLen < needed) {
        log("texture data too short: %zd of %zd bytes", dataLen, needed);
        return false;
    }
    const Uint32 sdlFormat = format == PixelFormat::BGRA8888 ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_RGBA32;
    Uint32 currentFormat = 0;
    if (!_streaming || _pixelsWide != pixelsWide || _pixelsHigh != pixelsHigh ||
        SDL_QueryTexture(_texture, &currentFormat, nullptr, nullptr, nullptr) != 0 || currentFormat != sdlFormat) {
        releaseTexture();
        _texture = SDL_CreateTexture(renderer, sdlFormat, SDL_TEXTUREACCESS_STREAMING, pixelsWide, pixelsHigh);
        if (!_texture) {
            log("texture: %s", SDL_GetError());
            return false;
        }
        _ownsTexture = true;
        _streaming = true;
        _pixelsWide = pixelsWide;
        _pixelsHigh = pixelsHigh;
        SDL_SetTextureBlendMode(_texture, SDL_BLENDMODE_BLEND);
    }
    _contentId = newContentId();
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(_texture, nullptr, &pixels, &pitch) != 0) {
        return SDL_UpdateTexture(_texture, nullptr, data, pixelsWide * 4) == 0;
    }
    const int rowBytes = pixelsWide * 4;
    if (pitch == rowBytes) {
        std::memcpy(pixels, data, static_cast<size_t>(needed));
    } else {
        for (int y = 0; y < pixelsHigh; ++y) {
            std::memcpy(static_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch,
                        static_cast<const uint8_t*>(data) + static_cast<size_t>(y) * rowBytes, rowBytes);
        }
    }
    SDL_UnlockTexture(_texture);
    return true;
}

bool Texture2D::initWithTarget(SDL_Texture* target, int pixelsWide, int pixelsHigh) {
    if (!target) {
        return false;
    }
    releaseTexture();
    _texture = target;
    _ownsTexture = true;
    _pixelsWide = pixelsWide;
    _pixelsHigh = pixelsHigh;
    return true;
}

} // namespace engine
