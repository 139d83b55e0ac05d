// The blending loops of SoftBlend, written once over a register type: SoftBlend.cpp instantiates them for SSE2,
// SoftBlendAvx2.cpp (built for AVX2) for AVX2. Pixels are 32 bits with alpha in the top byte, in the target's
// channel order. Each loop gives exactly what SDL's blitter of the same case gives:
// - a picture copied 1:1 in the target's own format, and a translucent colour (as SDL fills a triangle):
//   c = (s*a >> 8) + (d*(255-a) >> 8), alpha (255*a >> 8) + (da*(255-a) >> 8); a = 0 keeps d, a = 255 gives s;
// - a picture copied 1:1 from the other byte order: c = (s*a + d*(256-a)) >> 8, alpha (a*256 + da*(255-a)) >> 8,
//   with the same two ends;
// - a stretched or modulated picture: s and a first multiplied by the modulation and divided by 255, then
//   c = s*a/255 + d*(255-a)/255, alpha a + da*(255-a)/255, all divisions truncated.
#pragma once

#include <cstdint>

namespace engine::softblend {

constexpr uint32_t kAlphaMask = 0xff000000u;

// x / 255 truncated, for x up to 255 * 255.
static inline uint32_t div255(uint32_t x) {
    return (x + 1 + (x >> 8)) >> 8;
}

static inline uint32_t channel(uint32_t pixel, int shift) {
    return pixel >> shift & 0xff;
}

static inline uint32_t blendSameOne(uint32_t d, uint32_t s) {
    const uint32_t a = s >> 24;
    if (a == 0) {
        return d;
    }
    if (a == 255) {
        return s;
    }
    uint32_t out = (((255 * a) >> 8) + ((channel(d, 24) * (255 - a)) >> 8)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= (((channel(s, shift) * a) >> 8) + ((channel(d, shift) * (255 - a)) >> 8)) << shift;
    }
    return out;
}

static inline uint32_t blendOtherOne(uint32_t d, uint32_t s) {
    const uint32_t a = s >> 24;
    if (a == 0) {
        return d;
    }
    if (a == 255) {
        return s;
    }
    uint32_t out = ((a * 256 + channel(d, 24) * (255 - a)) >> 8) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= ((channel(s, shift) * a + channel(d, shift) * (256 - a)) >> 8) << shift;
    }
    return out;
}

static inline uint32_t modulateOne(uint32_t s, uint32_t modulation) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        out |= div255(channel(s, shift) * channel(modulation, shift)) << shift;
    }
    return out;
}

static inline uint32_t blendDividedOne(uint32_t d, uint32_t s) {
    const uint32_t a = s >> 24;
    uint32_t out = (a + div255(channel(d, 24) * (255 - a))) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= (div255(channel(s, shift) * a) + div255(channel(d, shift) * (255 - a))) << shift;
    }
    return out;
}

// The colour's own part of the result, c*a >> 8 per channel and 255*a >> 8 for alpha, is the same for every pixel.
template <class T> void blendColourRow(uint32_t* dst, int count, uint32_t colour) {
    using V = typename T::V;
    const uint32_t a = colour >> 24;
    const uint16_t k0 = static_cast<uint16_t>((channel(colour, 0) * a) >> 8);
    const uint16_t k1 = static_cast<uint16_t>((channel(colour, 8) * a) >> 8);
    const uint16_t k2 = static_cast<uint16_t>((channel(colour, 16) * a) >> 8);
    const uint16_t kA = static_cast<uint16_t>((255 * a) >> 8);
    const V own = T::lanes(k0, k1, k2, kA);
    const V keep = T::lanes(255 - a, 255 - a, 255 - a, 255 - a);
    int i = 0;
    for (; i + T::kPixels <= count; i += T::kPixels) {
        const V d = T::load(dst + i);
        const V lo = T::add(own, T::shr8(T::mul(T::lo(d), keep)));
        const V hi = T::add(own, T::shr8(T::mul(T::hi(d), keep)));
        T::store(dst + i, T::pack(lo, hi));
    }
    const uint32_t own1 = k0 | uint32_t{k1} << 8 | uint32_t{k2} << 16 | uint32_t{kA} << 24;
    for (; i < count; ++i) {
        const uint32_t d = dst[i];
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            out |= (channel(own1, shift) + ((channel(d, shift) * (255 - a)) >> 8)) << shift;
        }
        dst[i] = out;
    }
}

// Pixels fully transparent keep the target, fully opaque ones replace it; the rest by the formula.
template <class T> typename T::V pickEnds(typename T::V s, typename T::V d, typename T::V blended) {
    using V = typename T::V;
    const V alpha = T::andv(s, T::set32(kAlphaMask));
    const V opaque = T::eq32(alpha, T::set32(kAlphaMask));
    const V clear = T::eq32(alpha, T::set32(0));
    const V out = T::orv(T::andv(opaque, s), T::andnot(opaque, blended));
    return T::orv(T::andv(clear, d), T::andnot(clear, out));
}

// The loop of the 1:1 cases: runs of opaque pixels are copied and runs of transparent ones skipped; the rest are
// mixed half a register at a time by `mix(s, d, a)` on 16-bit lanes, with the two ends picked afterwards.
template <class T, class Mix, class One>
void blendOneToOne(uint32_t* dst, const uint32_t* src, int count, Mix mix, One one) {
    using V = typename T::V;
    const V alphaByte = T::set32(kAlphaMask);
    int i = 0;
    for (; i + T::kPixels <= count; i += T::kPixels) {
        const V s = T::load(src + i);
        const V alpha = T::andv(s, alphaByte);
        if (T::all(T::eq32(alpha, alphaByte))) {
            T::store(dst + i, s);
            continue;
        }
        if (T::all(T::eq32(alpha, T::set32(0)))) {
            continue;
        }
        const V d = T::load(dst + i);
        const V lo = mix(T::lo(s), T::lo(d), T::alphas(T::lo(s)));
        const V hi = mix(T::hi(s), T::hi(d), T::alphas(T::hi(s)));
        T::store(dst + i, pickEnds<T>(s, d, T::pack(lo, hi)));
    }
    for (; i < count; ++i) {
        dst[i] = one(dst[i], src[i]);
    }
}

template <class T> void blendSameRow(uint32_t* dst, const uint32_t* src, int count) {
    using V = typename T::V;
    const V full = T::lanes(255, 255, 255, 255);
    // The source's alpha lane counts as 255: its part of the alpha is 255*a >> 8.
    const V alphaLane255 = T::lanes(0, 0, 0, 255);
    const auto mix = [&](V s, V d, V a) {
        return T::add(T::shr8(T::mul(T::orv(s, alphaLane255), a)), T::shr8(T::mul(d, T::sub(full, a))));
    };
    blendOneToOne<T>(dst, src, count, mix, &blendSameOne);
}

template <class T> void blendOtherRow(uint32_t* dst, const uint32_t* src, int count) {
    using V = typename T::V;
    const V colourLanes = T::lanes(0xffff, 0xffff, 0xffff, 0);
    const V alphaLane256 = T::lanes(0, 0, 0, 256);
    const V keepBase = T::lanes(256, 256, 256, 255);
    // Colour lanes s*a + d*(256-a); the alpha lane a*256 + da*(255-a).
    const auto mix = [&](V s, V d, V a) {
        const V sMul = T::orv(T::andv(a, colourLanes), alphaLane256);
        return T::shr8(T::add(T::mul(s, sMul), T::mul(d, T::sub(keepBase, a))));
    };
    blendOneToOne<T>(dst, src, count, mix, &blendOtherOne);
}

template <class T> typename T::V div255v(typename T::V x) {
    return T::shr8(T::add(T::add(x, T::lanes(1, 1, 1, 1)), T::shr8(x)));
}

// `modulated` false when the modulation is white: the source goes in as it is.
template <class T>
void blendDividedRow(uint32_t* dst, const uint32_t* src, int count, uint32_t modulation, bool modulated) {
    using V = typename T::V;
    const V full = T::lanes(255, 255, 255, 255);
    const V colourLanes = T::lanes(0xffff, 0xffff, 0xffff, 0);
    const V alphaLane255 = T::lanes(0, 0, 0, 255);
    const V mod =
        T::lanes(static_cast<uint16_t>(channel(modulation, 0)), static_cast<uint16_t>(channel(modulation, 8)),
                 static_cast<uint16_t>(channel(modulation, 16)), static_cast<uint16_t>(channel(modulation, 24)));
    const V alphaByte = T::set32(kAlphaMask);
    int i = 0;
    for (; i + T::kPixels <= count; i += T::kPixels) {
        const V raw = T::load(src + i);
        if (!modulated) {
            const V alpha = T::andv(raw, alphaByte);
            if (T::all(T::eq32(alpha, alphaByte))) {
                T::store(dst + i, raw);
                continue;
            }
            if (T::all(T::eq32(alpha, T::set32(0)))) {
                continue;
            }
        }
        const V d = T::load(dst + i);
        V out[2];
        for (int half = 0; half < 2; ++half) {
            V sh = half ? T::hi(raw) : T::lo(raw);
            if (modulated) {
                sh = div255v<T>(T::mul(sh, mod));
            }
            const V dh = half ? T::hi(d) : T::lo(d);
            const V a = T::alphas(sh);
            // Colour lanes s*a/255; the alpha lane a*255/255 = a.
            const V sMul = T::orv(T::andv(a, colourLanes), alphaLane255);
            out[half] = T::add(div255v<T>(T::mul(sh, sMul)), div255v<T>(T::mul(dh, T::sub(full, a))));
        }
        T::store(dst + i, T::pack(out[0], out[1]));
    }
    for (; i < count; ++i) {
        dst[i] = blendDividedOne(dst[i], modulated ? modulateOne(src[i], modulation) : src[i]);
    }
}

} // namespace engine::softblend

namespace engine::softblend {

// One set of loops, for one instruction set.
struct Loops {
    void (*colour)(uint32_t* dst, int count, uint32_t colour);
    void (*same)(uint32_t* dst, const uint32_t* src, int count);
    void (*other)(uint32_t* dst, const uint32_t* src, int count);
    void (*divided)(uint32_t* dst, const uint32_t* src, int count, uint32_t modulation, bool modulated);
};

template <class T> constexpr Loops loopsFor() {
    return Loops{&blendColourRow<T>, &blendSameRow<T>, &blendOtherRow<T>, &blendDividedRow<T>};
}

// Defined in SoftBlendAvx2.cpp; call only where the CPU has AVX2.
const Loops& avx2Loops();

} // namespace engine::softblend
