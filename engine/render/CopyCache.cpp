#include "render/CopyCache.h"

#include <SDL.h>

#include "base/Log.h"
#include "render/Texture2D.h"

namespace engine {

namespace {
uint32_t pack(const Color4B& c) {
    return static_cast<uint32_t>(c.r) << 24 | static_cast<uint32_t>(c.g) << 16 | static_cast<uint32_t>(c.b) << 8 | c.a;
}
} // namespace

CopyCache::CopyCache(SDL_Renderer* renderer, size_t budgetBytes) : _renderer(renderer), _budget(budgetBytes) {}

CopyCache::~CopyCache() {
    clear();
}

void CopyCache::clear() {
    for (auto& [key, entry] : _entries) {
        drop(entry);
    }
    _entries.clear();
}

void CopyCache::drop(Entry& entry) {
    if (entry.copy || !entry.pixels.empty()) {
        if (entry.copy) {
            SDL_DestroyTexture(entry.copy);
        }
        entry.copy = nullptr;
        entry.pixels = std::vector<uint32_t>();
        _bytes -= entry.bytes;
        --_copyCount;
    }
    entry.bytes = 0;
}

void CopyCache::setPixelFormat(uint32_t format) {
    // Copies made without their pixels are then drawn by SDL; pixels in another format are of no use.
    if (format != 0 && _pixelFormat != 0 && format != _pixelFormat) {
        clear();
    }
    _pixelFormat = format;
}

void CopyCache::beginFrame() {
    ++_frame;
    for (auto it = _entries.begin(); it != _entries.end();) {
        if (_frame - it->second.lastFrame > kKeepFrames) {
            drop(it->second);
            it = _entries.erase(it);
        } else {
            ++it;
        }
    }
}

SDL_Texture* CopyCache::find(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint,
                             const uint32_t** pixels) {
    Entry* entry = lookUp(texture, region, tint, region.w, region.h, false);
    if (pixels) {
        *pixels = entry && !entry->pixels.empty() ? entry->pixels.data() : nullptr;
    }
    return entry ? entry->copy : nullptr;
}

const uint32_t* CopyCache::findPixels(const Texture2D* texture) {
    if (_pixelFormat == 0 || !texture) {
        return nullptr;
    }
    const SDL_Rect whole{0, 0, texture->getPixelsWide(), texture->getPixelsHigh()};
    // Keyed apart from the copies by a size no copy has.
    Entry* entry = lookUp(texture, whole, Color4B::WHITE, -1, -1, true);
    return entry && !entry->pixels.empty() ? entry->pixels.data() : nullptr;
}

SDL_Texture* CopyCache::findScaled(const Texture2D* texture, const SDL_Rect& region, int width, int height) {
    if (!texture || width <= 0 || height <= 0 || !texture->isOpaque(region)) {
        return nullptr;
    }
    const Entry* entry = lookUp(texture, region, Color4B::WHITE, width, height, false);
    return entry ? entry->copy : nullptr;
}

CopyCache::Entry* CopyCache::lookUp(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint, int width,
                                    int height, bool pixelsOnly) {
    if (!texture || texture->getContentId() == 0 || !texture->getSDLTexture() || region.x < 0 || region.y < 0 ||
        region.w <= 0 || region.h <= 0 || region.x + region.w > texture->getPixelsWide() ||
        region.y + region.h > texture->getPixelsHigh()) {
        return nullptr;
    }
    const Key key{texture->getContentId(), pack(tint), region.x, region.y, region.w, region.h, width, height};
    auto [it, added] = _entries.try_emplace(key);
    Entry& entry = it->second;
    if (added || entry.lastFrame + 1 < _frame) {
        entry.firstFrame = _frame;
    }
    entry.lastFrame = _frame;
    const bool made = entry.copy || !entry.pixels.empty();
    if (made || _frame - entry.firstFrame + 1 < kSteadyFrames) {
        return made ? &entry : nullptr;
    }
    const int copyWidth = pixelsOnly ? region.w : width, copyHeight = pixelsOnly ? region.h : height;
    const size_t pixelBytes = static_cast<size_t>(copyWidth) * copyHeight * 4;
    const size_t bytes = (pixelsOnly ? 0 : pixelBytes) + (_pixelFormat != 0 ? pixelBytes : 0);
    if (!makeRoom(bytes) || !makeCopy(entry, texture, region, tint, copyWidth, copyHeight, pixelsOnly)) {
        // Too big for the budget or not made: ask again only after a fresh run of steady frames.
        entry.firstFrame = _frame;
        return nullptr;
    }
    entry.bytes = bytes;
    _bytes += entry.bytes;
    ++_copyCount;
    ++_copiesMade;
    return &entry;
}

bool CopyCache::makeRoom(size_t bytes) {
    if (bytes > _budget) {
        return false;
    }
    while (_bytes + bytes > _budget) {
        // Only copies drawn neither in this frame nor the last: dropping one in use would have it made again at
        // once, every frame.
        Entry* oldest = nullptr;
        for (auto& [key, entry] : _entries) {
            if ((entry.copy || !entry.pixels.empty()) && entry.lastFrame + 1 < _frame &&
                (!oldest || entry.lastFrame < oldest->lastFrame)) {
                oldest = &entry;
            }
        }
        if (!oldest) {
            return false;
        }
        drop(*oldest);
    }
    return true;
}

bool CopyCache::makeCopy(Entry& entry, const Texture2D* texture, const SDL_Rect& region, const Color4B& tint, int width,
                         int height, bool pixelsOnly) {
    SDL_Texture* source = texture->getSDLTexture();
    Uint32 format = 0;
    if (SDL_QueryTexture(source, &format, nullptr, nullptr, nullptr) != 0) {
        return false;
    }
    if (!SDL_ISPIXELFORMAT_ALPHA(format)) {
        format = SDL_PIXELFORMAT_ARGB8888;
    }
    SDL_Texture* copy = SDL_CreateTexture(_renderer, format, SDL_TEXTUREACCESS_TARGET, width, height);
    if (!copy) {
        log("tinted copy: %s", SDL_GetError());
        return false;
    }
    // Switching targets resets the clip rectangle: it is put back as it was.
    SDL_Texture* previous = SDL_GetRenderTarget(_renderer);
    const bool clipped = SDL_RenderIsClipEnabled(_renderer);
    SDL_Rect clip{};
    SDL_RenderGetClipRect(_renderer, &clip);
    if (SDL_SetRenderTarget(_renderer, copy) != 0) {
        log("tinted copy: %s", SDL_GetError());
        SDL_DestroyTexture(copy);
        return false;
    }
    SDL_BlendMode blend = SDL_BLENDMODE_BLEND;
    Uint8 r = 255, g = 255, b = 255, a = 255;
    SDL_GetTextureBlendMode(source, &blend);
    SDL_GetTextureColorMod(source, &r, &g, &b);
    SDL_GetTextureAlphaMod(source, &a);
    // Without blending the copy takes the modulated colour and alpha of every texel as they are; an opaque region
    // stretched so samples the same texels as the blended stretch of the frame.
    SDL_SetTextureBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_SetTextureColorMod(source, tint.r, tint.g, tint.b);
    SDL_SetTextureAlphaMod(source, tint.a);
    bool ok = SDL_RenderCopy(_renderer, source, &region, nullptr) == 0;
    if (ok && _pixelFormat != 0) {
        entry.pixels.resize(static_cast<size_t>(width) * height);
        ok = SDL_RenderReadPixels(_renderer, nullptr, _pixelFormat, entry.pixels.data(), width * 4) == 0;
    }
    SDL_SetTextureBlendMode(source, blend);
    SDL_SetTextureColorMod(source, r, g, b);
    SDL_SetTextureAlphaMod(source, a);
    SDL_SetRenderTarget(_renderer, previous);
    SDL_RenderSetClipRect(_renderer, clipped ? &clip : nullptr);
    if (!ok || pixelsOnly) {
        if (!ok) {
            log("tinted copy: %s", SDL_GetError());
            entry.pixels = std::vector<uint32_t>();
        }
        SDL_DestroyTexture(copy);
        return ok;
    }
    SDL_SetTextureBlendMode(copy, SDL_BLENDMODE_BLEND);
    entry.copy = copy;
    return true;
}

} // namespace engine
