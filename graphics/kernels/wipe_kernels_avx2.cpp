// The transitions' row kernels with AVX2: eight pixels a step, the grey levels worked out in
// 32-bit lanes; the tails go through the scalar table. Compiled without global AVX2 flags:
// every function carries the target attribute and the table is only used after the processor
// reported AVX2.
#include <immintrin.h>

#include "graphics/kernels/wipe_kernels.h"

#pragma GCC diagnostic ignored "-Wpsabi"

#define MOBU_AVX2 __attribute__((target("avx2")))

namespace mobu::kernels {
namespace {

MOBU_AVX2 inline __m256i Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
MOBU_AVX2 inline void Store(void* p, __m256i v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
// Eight bytes widened to eight 32-bit lanes.
MOBU_AVX2 inline __m256i Bytes(const uint8_t* p)
{
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

MOBU_AVX2 void Select32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i keep = _mm256_cmpeq_epi32(Bytes(mask + i), _mm256_setzero_si256());
        Store(dst + i, _mm256_blendv_epi8(Load(to + i), Load(from + i), keep));
    }
    kScalarWipeKernels.select32(dst + i, from + i, to + i, mask + i, n - i);
}

MOBU_AVX2 void Blend32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n)
{
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_cmpeq_epi32(zero, zero);
    const __m256i c255 = _mm256_set1_epi16(255);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        // Each pixel's level in all four of its bytes.
        const __m256i m = _mm256_mullo_epi32(Bytes(mask + i), _mm256_set1_epi32(0x01010101));
        const __m256i s = Load(to + i), d = Load(from + i);
        const __m256i mlo = _mm256_unpacklo_epi8(m, zero), mhi = _mm256_unpackhi_epi8(m, zero);
        const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), mlo),
                                            _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(c255, mlo)));
        const __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), mhi),
                                            _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(c255, mhi)));
        __m256i r = _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
        r = _mm256_blendv_epi8(r, s, _mm256_cmpeq_epi32(m, ones));
        r = _mm256_blendv_epi8(r, d, _mm256_cmpeq_epi32(m, zero));
        Store(dst + i, r);
    }
    kScalarWipeKernels.blend32(dst + i, from + i, to + i, mask + i, n - i);
}

MOBU_AVX2 void ShiftLevels8(uint8_t* out, const uint8_t* levels, size_t n, int shift)
{
    const int magnitude = shift < 0 ? -shift : shift;
    const __m256i amount = _mm256_set1_epi8(static_cast<char>(static_cast<uint8_t>(magnitude > 255 ? 255 : magnitude)));
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i l = Load(levels + i);
        Store(out + i, shift < 0 ? _mm256_subs_epu8(l, amount) : _mm256_adds_epu8(l, amount));
    }
    kScalarWipeKernels.shift_levels8(out + i, levels + i, n - i, shift);
}

// Eight pixels from eight values v (32-bit lanes, any range: clamped to 0..511 here).
MOBU_AVX2 inline void ThroughEight(uint32_t* dst, const uint32_t* from, const uint32_t* to, __m256i v, bool subtract)
{
    v = _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), _mm256_set1_epi32(511));
    const __m256i take_new = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(255));
    const __m256i g = _mm256_blendv_epi8(v, _mm256_sub_epi32(_mm256_set1_epi32(511), v), take_new);
    const __m256i grey = _mm256_or_si256(g, _mm256_or_si256(_mm256_slli_epi32(g, 8), _mm256_slli_epi32(g, 16)));
    const __m256i pixel = _mm256_blendv_epi8(Load(from), Load(to), take_new);
    Store(dst, subtract ? _mm256_subs_epu8(pixel, grey) : _mm256_adds_epu8(pixel, grey));
}

MOBU_AVX2 void ThroughGrey32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* levels, size_t n,
                             int shift, bool subtract)
{
    const __m256i amount = _mm256_set1_epi32(shift);
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        ThroughEight(dst + i, from + i, to + i, _mm256_add_epi32(Bytes(levels + i), amount), subtract);
    kScalarWipeKernels.through_grey32(dst + i, from + i, to + i, levels + i, n - i, shift, subtract);
}

MOBU_AVX2 void ThroughWhiteStarts32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const int32_t* starts,
                                    size_t n, int32_t base)
{
    const __m256i b = _mm256_set1_epi32(base);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) ThroughEight(dst + i, from + i, to + i, _mm256_sub_epi32(b, Load(starts + i)), false);
    kScalarWipeKernels.through_white_starts32(dst + i, from + i, to + i, starts + i, n - i, base);
}

}  // namespace

const TWipeKernels kAvx2WipeKernels = {"avx2", Select32, Blend32, ShiftLevels8, ThroughGrey32, ThroughWhiteStarts32};

}  // namespace mobu::kernels
