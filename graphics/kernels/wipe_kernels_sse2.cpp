// The transitions' row kernels with SSE2: sixteen mask bytes, eight levels or four pixels a
// step, the grey levels worked out in 16-bit lanes; the tails go through the scalar table.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "graphics/kernels/wipe_kernels.h"

namespace mobu::kernels {
namespace {

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
// a where the lane of `pick_a` is all ones, else b.
inline __m128i Pick(__m128i pick_a, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(pick_a, a), _mm_andnot_si128(pick_a, b));
}

void Select32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n)
{
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i keep = _mm_cmpeq_epi8(Load(mask + i), zero);  // 0xFF where the old pixel stays
        const __m128i words[2] = {_mm_unpacklo_epi8(keep, keep), _mm_unpackhi_epi8(keep, keep)};
        for (int half = 0; half < 2; ++half) {
            const __m128i lanes[2] = {_mm_unpacklo_epi16(words[half], words[half]),
                                      _mm_unpackhi_epi16(words[half], words[half])};
            for (int quarter = 0; quarter < 2; ++quarter) {
                const size_t at = i + static_cast<size_t>(8 * half + 4 * quarter);
                Store(dst + at, Pick(lanes[quarter], Load(from + at), Load(to + at)));
            }
        }
    }
    kScalarWipeKernels.select32(dst + i, from + i, to + i, mask + i, n - i);
}

// Per byte (m·s + (255 − m)·d) >> 8, m given in 16-bit lanes for the low and high halves.
inline __m128i BlendBytes(__m128i s, __m128i d, __m128i mlo, __m128i mhi)
{
    const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255);
    const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), mlo),
                                     _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(c255, mlo)));
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), mhi),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(c255, mhi)));
    return _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

void Blend32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* mask, size_t n)
{
    const __m128i zero = _mm_setzero_si128(), ones = _mm_cmpeq_epi32(zero, zero);
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        int32_t four;
        std::memcpy(&four, mask + i, 4);
        __m128i m = _mm_cvtsi32_si128(four);
        m = _mm_unpacklo_epi8(m, m);
        m = _mm_unpacklo_epi16(m, m);  // each pixel's level in all four of its bytes
        const __m128i s = Load(to + i), d = Load(from + i);
        __m128i r = BlendBytes(s, d, _mm_unpacklo_epi8(m, zero), _mm_unpackhi_epi8(m, zero));
        r = Pick(_mm_cmpeq_epi32(m, ones), s, r);
        r = Pick(_mm_cmpeq_epi32(m, zero), d, r);
        Store(dst + i, r);
    }
    kScalarWipeKernels.blend32(dst + i, from + i, to + i, mask + i, n - i);
}

void ShiftLevels8(uint8_t* out, const uint8_t* levels, size_t n, int shift)
{
    const __m128i amount = _mm_set1_epi8(static_cast<char>(static_cast<uint8_t>(std::min(255, shift < 0 ? -shift : shift))));
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i l = Load(levels + i);
        Store(out + i, shift < 0 ? _mm_subs_epu8(l, amount) : _mm_adds_epu8(l, amount));
    }
    kScalarWipeKernels.shift_levels8(out + i, levels + i, n - i, shift);
}

// Eight pixels from eight values v (16-bit lanes, already within 0..511).
inline void ThroughEight(uint32_t* dst, const uint32_t* from, const uint32_t* to, __m128i v, bool subtract)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i take_new = _mm_cmpgt_epi16(v, _mm_set1_epi16(255));
    const __m128i g = Pick(take_new, _mm_sub_epi16(_mm_set1_epi16(511), v), v);
    const __m128i g32[2] = {_mm_unpacklo_epi16(g, zero), _mm_unpackhi_epi16(g, zero)};
    const __m128i new32[2] = {_mm_unpacklo_epi16(take_new, take_new), _mm_unpackhi_epi16(take_new, take_new)};
    for (int half = 0; half < 2; ++half) {
        const __m128i grey = _mm_or_si128(g32[half], _mm_or_si128(_mm_slli_epi32(g32[half], 8), _mm_slli_epi32(g32[half], 16)));
        const __m128i pixel = Pick(new32[half], Load(to + 4 * half), Load(from + 4 * half));
        Store(dst + 4 * half, subtract ? _mm_subs_epu8(pixel, grey) : _mm_adds_epu8(pixel, grey));
    }
}

inline __m128i Clamp511(__m128i v) { return _mm_min_epi16(_mm_max_epi16(v, _mm_setzero_si128()), _mm_set1_epi16(511)); }

void ThroughGrey32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const uint8_t* levels, size_t n, int shift,
                   bool subtract)
{
    const __m128i amount = _mm_set1_epi16(static_cast<short>(shift));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i l = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(levels + i)), _mm_setzero_si128());
        ThroughEight(dst + i, from + i, to + i, Clamp511(_mm_add_epi16(l, amount)), subtract);
    }
    kScalarWipeKernels.through_grey32(dst + i, from + i, to + i, levels + i, n - i, shift, subtract);
}

void ThroughWhiteStarts32(uint32_t* dst, const uint32_t* from, const uint32_t* to, const int32_t* starts, size_t n,
                          int32_t base)
{
    const __m128i b = _mm_set1_epi32(base);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        // base − start, saturated to 16 bits, which the clamp to 0..511 does not notice.
        const __m128i d = _mm_packs_epi32(_mm_sub_epi32(b, Load(starts + i)), _mm_sub_epi32(b, Load(starts + i + 4)));
        ThroughEight(dst + i, from + i, to + i, Clamp511(d), false);
    }
    kScalarWipeKernels.through_white_starts32(dst + i, from + i, to + i, starts + i, n - i, base);
}

}  // namespace

const TWipeKernels kSse2WipeKernels = {"sse2", Select32, Blend32, ShiftLevels8, ThroughGrey32, ThroughWhiteStarts32};

}  // namespace mobu::kernels
