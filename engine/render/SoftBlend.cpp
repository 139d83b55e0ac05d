#include "render/SoftBlend.h"

#include <SDL.h>
#include <emmintrin.h>

#include <algorithm>

#include "base/Log.h"
#include "render/SoftBlendKernels.h"

namespace engine {

namespace {
struct Sse2 {
    using V = __m128i;
    static constexpr int kPixels = 4;
    static V load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V set32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static V lanes(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
        const auto s = [](uint16_t v) { return static_cast<short>(v); };
        return _mm_setr_epi16(s(a), s(b), s(c), s(d), s(a), s(b), s(c), s(d));
    }
    static V lo(V v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
    static V hi(V v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
    static V pack(V l, V h) { return _mm_packus_epi16(l, h); }
    static V mul(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V add(V a, V b) { return _mm_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm_sub_epi16(a, b); }
    static V shr8(V a) { return _mm_srli_epi16(a, 8); }
    static V andv(V a, V b) { return _mm_and_si128(a, b); }
    static V orv(V a, V b) { return _mm_or_si128(a, b); }
    static V andnot(V a, V b) { return _mm_andnot_si128(a, b); }
    static V eq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V alphas(V v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF); }
    static bool all(V mask) { return _mm_movemask_epi8(mask) == 0xFFFF; }
};

constexpr softblend::Loops kSse2Loops = softblend::loopsFor<Sse2>();

bool cpuHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// Chosen once at start-up.
const softblend::Loops* g_loops = cpuHasAvx2() ? &softblend::avx2Loops() : &kSse2Loops;
bool g_mismatch = false;

bool is8888WithAlpha(uint32_t format) {
    return format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_ABGR8888;
}

SDL_Rect intersect(const SDL_Rect& a, const SDL_Rect& b) {
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    return SDL_Rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

// Noise that reaches every alpha, with fully transparent and fully opaque pixels among it.
struct Noise {
    uint32_t state = 12345;
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    uint32_t pixel() {
        const uint32_t v = next() ^ (next() >> 16);
        switch (next() >> 29) {
        case 0:
            return v & 0x00ffffffu;
        case 1:
            return v | softblend::kAlphaMask;
        default:
            return v;
        }
    }
};
} // namespace

SoftBlend::SoftBlend(uint32_t targetFormat) : _targetFormat(is8888WithAlpha(targetFormat) ? targetFormat : 0) {}

bool SoftBlend::hasAvx2() {
    static const bool has = cpuHasAvx2();
    return has;
}

void SoftBlend::useAvx2(bool use) {
    g_loops = use && hasAvx2() ? &softblend::avx2Loops() : &kSse2Loops;
}

void SoftBlend::setMismatchForTesting(bool mismatch) {
    g_mismatch = mismatch;
}

bool SoftBlend::supports(uint32_t pictureFormat) const {
    return _targetFormat != 0 && is8888WithAlpha(pictureFormat);
}

SoftBlend::Case SoftBlend::caseFor(uint32_t pictureFormat, bool stretchedOrModulated) const {
    if (stretchedOrModulated) {
        return Case::Divided;
    }
    return pictureFormat == _targetFormat ? Case::SameFormat : Case::OtherFormat;
}

uint32_t SoftBlend::mapColour(uint8_t r, uint8_t g, uint8_t b, uint8_t a) const {
    const bool redLow = _targetFormat == SDL_PIXELFORMAT_ABGR8888;
    const uint32_t low = redLow ? r : b, high = redLow ? b : r;
    return low | uint32_t{g} << 8 | high << 16 | uint32_t{a} << 24;
}

bool SoftBlend::ready(Case which, uint32_t pictureFormat) {
    if (_targetFormat == 0) {
        return false;
    }
    if (which == Case::Colour) {
        pictureFormat = 0;
    }
    for (const Check& check : _checks) {
        if (check.which == which && check.format == pictureFormat) {
            return check.passed;
        }
    }
    const bool passed = runCheck(which, pictureFormat);
    if (!passed) {
        log("blending: own loop for case %d differs from SDL's blit, SDL's kept", static_cast<int>(which));
    }
    _checks.push_back({which, pictureFormat, passed});
    return passed;
}

void SoftBlend::blendColour(const Pixels& target, const SDL_Rect& rect, const SDL_Rect& visible, uint32_t colour) {
    const SDL_Rect area = intersect(intersect(rect, visible), SDL_Rect{0, 0, target.width, target.height});
    for (int y = area.y; y < area.y + area.h; ++y) {
        g_loops->colour(target.data + static_cast<size_t>(y) * target.pitch + area.x, area.w, colour);
    }
}

void SoftBlend::blendPicture(const Pixels& target, const SDL_Rect& rect, const SDL_Rect& visible,
                             const Picture& picture, uint32_t modulation, Case which) {
    const SDL_Rect area = intersect(intersect(rect, visible), SDL_Rect{0, 0, target.width, target.height});
    if (area.w <= 0 || area.h <= 0 || rect.w <= 0 || rect.h <= 0) {
        return;
    }
    const bool stretched = rect.w != picture.width || rect.h != picture.height;
    // SDL steps through a stretched source in 16.16 fixed point, starting half a step in.
    const int64_t stepX = (int64_t{picture.width} << 16) / rect.w, stepY = (int64_t{picture.height} << 16) / rect.h;
    if (stretched) {
        _columns.resize(static_cast<size_t>(area.w));
        _row.resize(static_cast<size_t>(area.w));
        for (int i = 0; i < area.w; ++i) {
            _columns[i] = static_cast<int>((stepX / 2 + stepX * (area.x - rect.x + i)) >> 16);
        }
    }
    const bool modulated = modulation != 0xffffffffu;
    int gathered = -1;
    for (int y = area.y; y < area.y + area.h; ++y) {
        const int sourceY = stretched ? static_cast<int>((stepY / 2 + stepY * (y - rect.y)) >> 16) : y - rect.y;
        const uint32_t* sourceRow = picture.data + static_cast<size_t>(sourceY) * picture.pitch;
        const uint32_t* source = sourceRow + (area.x - rect.x);
        if (stretched) {
            if (sourceY != gathered) {
                for (int i = 0; i < area.w; ++i) {
                    _row[i] = sourceRow[_columns[i]];
                }
                gathered = sourceY;
            }
            source = _row.data();
        }
        uint32_t* row = target.data + static_cast<size_t>(y) * target.pitch + area.x;
        switch (which) {
        case Case::SameFormat:
            g_loops->same(row, source, area.w);
            break;
        case Case::OtherFormat:
            g_loops->other(row, source, area.w);
            break;
        default:
            g_loops->divided(row, source, area.w, modulation, modulated);
            break;
        }
    }
}

bool SoftBlend::runCheck(Case which, uint32_t pictureFormat) {
    constexpr int kWidth = 96, kHeight = 64, kPictureWidth = 40, kPictureHeight = 24;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, _targetFormat);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    SDL_Surface* source = which == Case::Colour
                              ? nullptr
                              : SDL_CreateRGBSurfaceWithFormat(0, kPictureWidth, kPictureHeight, 32, pictureFormat);
    SDL_Surface* converted = source ? SDL_ConvertSurfaceFormat(source, _targetFormat, 0) : nullptr;
    bool passed = renderer && (which == Case::Colour || converted);
    Noise noise;
    std::vector<uint32_t> ours(static_cast<size_t>(kWidth) * kHeight);
    if (passed) {
        for (int y = 0; y < kHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < kWidth; ++x) {
                row[x] = ours[static_cast<size_t>(y) * kWidth + x] = noise.next();
            }
        }
    }
    SDL_Texture* texture = nullptr;
    if (passed && source) {
        for (int y = 0; y < kPictureHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(source->pixels) + y * source->pitch);
            for (int x = 0; x < kPictureWidth; ++x) {
                row[x] = noise.pixel();
            }
        }
        SDL_FreeSurface(converted);
        converted = SDL_ConvertSurfaceFormat(source, _targetFormat, 0);
        texture = converted ? SDL_CreateTextureFromSurface(renderer, source) : nullptr;
        Uint32 format = 0;
        passed =
            texture && SDL_QueryTexture(texture, &format, nullptr, nullptr, nullptr) == 0 && format == pictureFormat;
        if (passed) {
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
        }
    }
    struct Draw {
        SDL_Rect rect, region, clip;
        SDL_Color colour;
    };
    const SDL_Rect whole{0, 0, kPictureWidth, kPictureHeight}, noClip{0, 0, 0, 0};
    const SDL_Color white{255, 255, 255, 255};
    std::vector<Draw> draws;
    switch (which) {
    case Case::SameFormat:
    case Case::OtherFormat:
        draws = {{{-5, 10, 40, 24}, whole, noClip, white},
                 {{70, 50, 40, 24}, whole, noClip, white},
                 {{20, 20, 30, 18}, {4, 3, 30, 18}, {25, 22, 30, 10}, white}};
        break;
    case Case::Divided:
        draws = {{{3, 2, 57, 37}, whole, noClip, white},
                 {{50, 30, 23, 15}, whole, noClip, white},
                 {{-7, 44, 40, 24}, whole, noClip, {200, 100, 255, 180}},
                 {{30, 5, 61, 29}, {5, 4, 30, 17}, noClip, {255, 255, 255, 128}},
                 {{10, 12, 30, 20}, {6, 2, 30, 20}, {15, 14, 40, 9}, {90, 255, 40, 255}}};
        break;
    default:
        draws = {{{-3, -3, 50, 40}, whole, noClip, {30, 200, 90, 140}},
                 {{40, 20, 60, 50}, whole, noClip, {250, 10, 120, 1}},
                 {{10, 30, 20, 20}, whole, noClip, {5, 70, 255, 254}},
                 {{0, 0, 96, 64}, whole, {12, 8, 30, 40}, {128, 128, 128, 100}}};
        break;
    }
    const Pixels target{ours.data(), kWidth, kWidth, kHeight};
    for (const Draw& draw : draws) {
        if (!passed) {
            break;
        }
        const bool clipped = draw.clip.w > 0;
        SDL_RenderSetClipRect(renderer, clipped ? &draw.clip : nullptr);
        const SDL_Rect visible = clipped ? draw.clip : SDL_Rect{0, 0, kWidth, kHeight};
        const SDL_Rect& r = draw.rect;
        // The quad as the renderer sends it: bottom left, bottom right, top right, top left.
        const float xs[4] = {float(r.x), float(r.x + r.w), float(r.x + r.w), float(r.x)};
        const float ys[4] = {float(r.y + r.h), float(r.y + r.h), float(r.y), float(r.y)};
        const SDL_Rect& g = draw.region;
        const float u0 = float(g.x) / kPictureWidth, u1 = float(g.x + g.w) / kPictureWidth;
        const float v0 = float(g.y) / kPictureHeight, v1 = float(g.y + g.h) / kPictureHeight;
        const float us[4] = {u0, u1, u1, u0}, vs[4] = {v1, v1, v0, v0};
        SDL_Vertex vertices[4];
        for (int i = 0; i < 4; ++i) {
            vertices[i] = SDL_Vertex{{xs[i], ys[i]}, draw.colour, {us[i], vs[i]}};
        }
        const SDL_Color& c = draw.colour;
        if (which == Case::Colour) {
            static const int fan[6] = {0, 1, 2, 0, 2, 3};
            SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
            passed = SDL_RenderGeometry(renderer, nullptr, vertices, 4, fan, 6) == 0;
            blendColour(target, r, visible, mapColour(c.r, c.g, c.b, c.a));
        } else {
            static const int split[6] = {0, 1, 3, 1, 2, 3};
            passed = SDL_RenderGeometry(renderer, texture, vertices, 4, split, 6) == 0;
            const Picture picture{static_cast<const uint32_t*>(converted->pixels) + g.y * (converted->pitch / 4) + g.x,
                                  converted->pitch / 4, g.w, g.h, pictureFormat};
            blendPicture(target, r, visible, picture, mapColour(c.r, c.g, c.b, c.a), which);
        }
    }
    if (passed) {
        SDL_RenderFlush(renderer);
        if (g_mismatch) {
            ours[static_cast<size_t>(kHeight / 2) * kWidth + kWidth / 2] ^= 1;
        }
        for (int y = 0; y < kHeight && passed; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
            passed = std::equal(row, row + kWidth, ours.begin() + static_cast<ptrdiff_t>(y) * kWidth);
        }
    }
    if (texture) {
        SDL_DestroyTexture(texture);
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
    }
    SDL_FreeSurface(converted);
    SDL_FreeSurface(source);
    SDL_FreeSurface(surface);
    return passed;
}

} // namespace engine
