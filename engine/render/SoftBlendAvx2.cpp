// SoftBlend's loops on AVX2 registers: eight pixels a step. This file alone is built for AVX2; SoftBlend calls it
// only where the CPU has it.
#include <immintrin.h>

#include "render/SoftBlendKernels.h"

namespace engine::softblend {

namespace {
struct Avx2 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    static V load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static V set32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static V lanes(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
        const auto s = [](uint16_t v) { return static_cast<short>(v); };
        return _mm256_setr_epi16(s(a), s(b), s(c), s(d), s(a), s(b), s(c), s(d), s(a), s(b), s(c), s(d), s(a), s(b),
                                 s(c), s(d));
    }
    // Unpacking and packing work within each 128-bit half alike, so pixels come back in their order.
    static V lo(V v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
    static V hi(V v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
    static V pack(V l, V h) { return _mm256_packus_epi16(l, h); }
    static V mul(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V add(V a, V b) { return _mm256_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V shr8(V a) { return _mm256_srli_epi16(a, 8); }
    static V andv(V a, V b) { return _mm256_and_si256(a, b); }
    static V orv(V a, V b) { return _mm256_or_si256(a, b); }
    static V andnot(V a, V b) { return _mm256_andnot_si256(a, b); }
    static V eq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V alphas(V v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF); }
    static bool all(V mask) { return _mm256_movemask_epi8(mask) == -1; }
};
} // namespace

const Loops& avx2Loops() {
    static constexpr Loops loops = loopsFor<Avx2>();
    return loops;
}

} // namespace engine::softblend
