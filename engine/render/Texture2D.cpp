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

constexpr size_t kOpaqueRegionsKept = 32;
} // namespace

Texture2D::Texture2D() = default;

Texture2D::~Texture2D() {
    releaseTexture();
}

void Texture2D::releaseTexture() {
    if (_texture && _ownsTexture) {
        SDL_DestroyTexture(_texture);
    }
    _texture = nullptr;
    _streaming = false;
    _contentId = 0;
    _revision = newContentId();
    _opaque = false;
    _opaqueBits.clear();
    _opaqueRegions.clear();
}

void Texture2D::markChanged() {
    _revision = newContentId();
    // New content: copies made from the old pixels no longer match.
    if (_contentId != 0) {
        _contentId = _revision;
    }
}

void Texture2D::readOpacity(SDL_Surface* surface) {
    _opaque = false;
    _opaqueBits.clear();
    _opaqueRegions.clear();
    const Uint32 format = surface->format->format;
    if (!SDL_ISPIXELFORMAT_ALPHA(format) && !SDL_ISPIXELFORMAT_INDEXED(format) && !SDL_HasColorKey(surface)) {
        _opaque = true;
        return;
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGBA32, 0);
    if (!rgba) {
        return;
    }
    const int words = (rgba->w + 63) / 64;
    std::vector<uint64_t> bits(static_cast<size_t>(words) * rgba->h, 0);
    bool all = true, any = false;
    for (int y = 0; y < rgba->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        uint64_t* rowBits = &bits[static_cast<size_t>(y) * words];
        for (int x = 0; x < rgba->w; ++x) {
            if (row[x * 4 + 3] == 255) {
                rowBits[x / 64] |= uint64_t{1} << (x % 64);
                any = true;
            } else {
                all = false;
            }
        }
    }
    SDL_FreeSurface(rgba);
    _opaque = all;
    if (!all && any) {
        _opaqueBits = std::move(bits);
    }
}

bool Texture2D::isOpaque(const SDL_Rect& region) const {
    if (region.x < 0 || region.y < 0 || region.w <= 0 || region.h <= 0 || region.x + region.w > _pixelsWide ||
        region.y + region.h > _pixelsHigh) {
        return false;
    }
    if (_opaque || _opaqueBits.empty()) {
        return _opaque;
    }
    for (const OpaqueRegion& r : _opaqueRegions) {
        if (r.x == region.x && r.y == region.y && r.w == region.w && r.h == region.h) {
            return r.opaque;
        }
    }
    const int words = (_pixelsWide + 63) / 64;
    bool opaque = true;
    for (int y = region.y; y < region.y + region.h && opaque; ++y) {
        const uint64_t* rowBits = &_opaqueBits[static_cast<size_t>(y) * words];
        for (int x = region.x; x < region.x + region.w; ++x) {
            if ((rowBits[x / 64] >> (x % 64) & 1) == 0) {
                opaque = false;
                break;
            }
        }
    }
    if (_opaqueRegions.size() >= kOpaqueRegionsKept) {
        _opaqueRegions.clear();
    }
    _opaqueRegions.push_back({region.x, region.y, region.w, region.h, opaque});
    return opaque;
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
    releaseTexture();
    readOpacity(surface);
    // An opaque picture in the target's own format is copied row by row; one with translucent pixels keeps the
    // format SDL picks, as its blending would otherwise round differently.
    SDL_Surface* converted = nullptr;
    const uint32_t targetFormat = Director::getInstance()->getRenderer()->getTargetFormat();
    if (_opaque && targetFormat != 0 && surface->format->format != targetFormat) {
        converted = SDL_ConvertSurfaceFormat(surface, targetFormat, 0);
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, converted ? converted : surface);
    if (converted) {
        SDL_FreeSurface(converted);
    }
    if (!texture) {
        log("texture: %s", SDL_GetError());
        _opaque = false;
        _opaqueBits.clear();
        return false;
    }
    _texture = texture;
    _ownsTexture = true;
    _pixelsWide = surface->w;
    _pixelsHigh = surface->h;
    _contentId = newContentId();
    _revision = _contentId;
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
    if (!prepareStreaming(sdlFormat, pixelsWide, pixelsHigh)) {
        return false;
    }
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

bool Texture2D::prepareStreaming(uint32_t sdlFormat, int pixelsWide, int pixelsHigh) {
    Uint32 currentFormat = 0;
    if (!_streaming || _pixelsWide != pixelsWide || _pixelsHigh != pixelsHigh ||
        SDL_QueryTexture(_texture, &currentFormat, nullptr, nullptr, nullptr) != 0 || currentFormat != sdlFormat) {
        releaseTexture();
        _texture = SDL_CreateTexture(currentRenderer(), sdlFormat, SDL_TEXTUREACCESS_STREAMING, pixelsWide, pixelsHigh);
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
    _revision = _contentId;
    return true;
}

bool Texture2D::initWithYUV(const void* planes, int pitch, int pixelsWide, int pixelsHigh) {
    if (!planes || pixelsWide <= 0 || pixelsHigh <= 0 || pitch < pixelsWide || !currentRenderer()) {
        return false;
    }
    const uint32_t targetFormat = Director::getInstance()->getRenderer()->getTargetFormat();
    const Uint32 sdlFormat = targetFormat != 0 ? targetFormat : static_cast<Uint32>(SDL_PIXELFORMAT_RGBA32);
    if (!prepareStreaming(sdlFormat, pixelsWide, pixelsHigh)) {
        return false;
    }
    void* pixels = nullptr;
    int texturePitch = 0;
    if (SDL_LockTexture(_texture, nullptr, &pixels, &texturePitch) != 0) {
        log("texture: %s", SDL_GetError());
        return false;
    }
    const bool converted = SDL_ConvertPixels(pixelsWide, pixelsHigh, SDL_PIXELFORMAT_IYUV, planes, pitch, sdlFormat,
                                             pixels, texturePitch) == 0;
    SDL_UnlockTexture(_texture);
    if (!converted) {
        log("texture: %s", SDL_GetError());
    }
    return converted;
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
    // Its content is known, so a canvas left unchanged is blended from a kept copy of its pixels like a picture.
    _contentId = newContentId();
    _revision = _contentId;
    return true;
}

} // namespace engine
