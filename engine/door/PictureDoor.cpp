#include "door/PictureDoor.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "base/Log.h"
#include "render/ImageDecoder.h"

namespace engine::door {

int sideFor(PictureUse use) {
    return use == PictureUse::SMALL ? limits::kSmallPictureSide : limits::kPictureSide;
}

SDL_Surface* decodePicture(const std::string& fullPath, PictureUse use) {
    return ImageDecoder::load(fullPath, sideFor(use));
}

SDL_Surface* decodePictureBytes(const void* bytes, size_t size, PictureUse use) {
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
    if (!stream) {
        return nullptr;
    }
    SDL_Surface* surface = ImageDecoder::decode(stream, "picture bytes", sideFor(use), use == PictureUse::SMALL);
    SDL_RWclose(stream);
    return surface;
}

SDL_Surface* fitWithin(SDL_Surface* surface, int keptSide) {
    if (!surface || keptSide <= 0 || (surface->w <= keptSide && surface->h <= keptSide)) {
        return surface;
    }
    const int longer = std::max(surface->w, surface->h);
    const int w = std::max(1, static_cast<int>(int64_t{surface->w} * keptSide / longer));
    const int h = std::max(1, static_cast<int>(int64_t{surface->h} * keptSide / longer));
    SDL_Surface* small = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    if (!small || surface->format->format != SDL_PIXELFORMAT_RGBA32) {
        log("picture of %dx%d cannot be made smaller", surface->w, surface->h);
        SDL_FreeSurface(small);
        SDL_FreeSurface(surface);
        return nullptr;
    }
    // Each pixel the mean of the source pixels it covers.
    for (int y = 0; y < h; ++y) {
        const int top = static_cast<int>(int64_t{y} * surface->h / h);
        const int bottom = std::max(top + 1, static_cast<int>(int64_t{y + 1} * surface->h / h));
        auto* out = static_cast<uint8_t*>(small->pixels) + y * small->pitch;
        for (int x = 0; x < w; ++x) {
            const int left = static_cast<int>(int64_t{x} * surface->w / w);
            const int right = std::max(left + 1, static_cast<int>(int64_t{x + 1} * surface->w / w));
            uint32_t sum[4] = {};
            for (int sy = top; sy < bottom; ++sy) {
                const auto* in = static_cast<const uint8_t*>(surface->pixels) + sy * surface->pitch + left * 4;
                for (int sx = left; sx < right; ++sx, in += 4) {
                    sum[0] += in[0];
                    sum[1] += in[1];
                    sum[2] += in[2];
                    sum[3] += in[3];
                }
            }
            const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
            for (int c = 0; c < 4; ++c) {
                out[x * 4 + c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
            }
        }
    }
    SDL_FreeSurface(surface);
    return small;
}

} // namespace engine::door
