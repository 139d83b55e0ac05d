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
    if (entry.copy) {
        SDL_DestroyTexture(entry.copy);
        entry.copy = nullptr;
        _bytes -= entry.bytes;
        --_copyCount;
    }
    entry.bytes = 0;
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

SDL_Texture* CopyCache::find(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint) {
    return lookUp(texture, region, tint, region.w, region.h);
}

SDL_Texture* CopyCache::findScaled(const Texture2D* texture, const SDL_Rect& region, int width, int height) {
    if (!texture || width <= 0 || height <= 0 || !texture->isOpaque(region)) {
        return nullptr;
    }
    return lookUp(texture, region, Color4B::WHITE, width, height);
}

SDL_Texture* CopyCache::lookUp(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint, int width,
                               int height) {
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
    if (entry.copy || _frame - entry.firstFrame + 1 < kSteadyFrames) {
        return entry.copy;
    }
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    if (makeRoom(bytes)) {
        entry.copy = makeCopy(texture, region, tint, width, height);
    }
    if (!entry.copy) {
        // Too big for the budget or not made: ask again only after a fresh run of steady frames.
        entry.firstFrame = _frame;
        return nullptr;
    }
    entry.bytes = bytes;
    _bytes += entry.bytes;
    ++_copyCount;
    ++_copiesMade;
    return entry.copy;
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
            if (entry.copy && entry.lastFrame + 1 < _frame && (!oldest || entry.lastFrame < oldest->lastFrame)) {
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

SDL_Texture* CopyCache::makeCopy(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint, int width,
                                 int height) {
    SDL_Texture* source = texture->getSDLTexture();
    Uint32 format = 0;
    if (SDL_QueryTexture(source, &format, nullptr, nullptr, nullptr) != 0) {
        return nullptr;
    }
    if (!SDL_ISPIXELFORMAT_ALPHA(format)) {
        format = SDL_PIXELFORMAT_ARGB8888;
    }
    SDL_Texture* copy = SDL_CreateTexture(_renderer, format, SDL_TEXTUREACCESS_TARGET, width, height);
    if (!copy) {
        log("tinted copy: %s", SDL_GetError());
        return nullptr;
    }
    // Switching targets resets the clip rectangle: it is put back as it was.
    SDL_Texture* previous = SDL_GetRenderTarget(_renderer);
    const bool clipped = SDL_RenderIsClipEnabled(_renderer);
    SDL_Rect clip{};
    SDL_RenderGetClipRect(_renderer, &clip);
    if (SDL_SetRenderTarget(_renderer, copy) != 0) {
        log("tinted copy: %s", SDL_GetError());
        SDL_DestroyTexture(copy);
        return nullptr;
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
    const bool ok = SDL_RenderCopy(_renderer, source, &region, nullptr) == 0;
    SDL_SetTextureBlendMode(source, blend);
    SDL_SetTextureColorMod(source, r, g, b);
    SDL_SetTextureAlphaMod(source, a);
    SDL_SetRenderTarget(_renderer, previous);
    SDL_RenderSetClipRect(_renderer, clipped ? &clip : nullptr);
    if (!ok) {
        log("tinted copy: %s", SDL_GetError());
        SDL_DestroyTexture(copy);
        return nullptr;
    }
    SDL_SetTextureBlendMode(copy, SDL_BLENDMODE_BLEND);
    return copy;
}

} // namespace engine
