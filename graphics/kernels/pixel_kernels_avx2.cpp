// AVX2 row kernels: eight 32-bit or sixteen 16-bit pixels at a time. Each function carries
// its own target attribute, so the library is built without -mavx2 and this table is only
// chosen when the processor reports AVX2. Every result equals the scalar reference exactly.
#include <immintrin.h>

#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/pixel_kernels_scalar.h"

#define MOBU_AVX2 __attribute__((target("avx2")))

namespace mobu::kernels {

namespace {

MOBU_AVX2 inline __m256i Div255(__m256i x)
{
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)), 8);
}

MOBU_AVX2 inline __m256i Mix32(__m256i d, __m256i s, __m256i a_lo, __m256i a_hi, __m256i na_lo, __m256i na_hi)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), na_lo),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), a_lo));
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), na_hi),
                                  _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), a_hi));
    return _mm256_and_si256(_mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8)),
                            _mm256_set1_epi32(0x00FFFFFF));
}

MOBU_AVX2 void Blend32Row(uint32_t* dst, const uint32_t* src, int count, int alpha, int32_t key)
{
    __m256i a = _mm256_set1_epi16(static_cast<short>(alpha)), na = _mm256_set1_epi16(static_cast<short>(255 - alpha));
    __m256i k = _mm256_set1_epi32(key);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i keep = _mm256_cmpeq_epi32(s, k);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(Mix32(d, s, a, a, na, na), d, keep));
    }
    scalar::Blend32Row(dst + i, src + i, count - i, alpha, key);
}

MOBU_AVX2 void Blend24Row(uint8_t* dst, const uint8_t* src, int count, int alpha, int32_t key)
{
    if (key >= 0) {
        scalar::Blend24Row(dst, src, count, alpha, key);
        return;
    }
    const __m256i zero = _mm256_setzero_si256();
    __m256i a = _mm256_set1_epi16(static_cast<short>(alpha)), na = _mm256_set1_epi16(static_cast<short>(255 - alpha));
    int bytes = 3 * count, i = 0;
    for (; i + 32 <= bytes; i += 32) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i lo = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), na), _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), a)));
        __m256i hi = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), na), _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), a)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
    }
    for (; i < bytes; ++i) dst[i] = static_cast<uint8_t>(((255 - alpha) * dst[i] + alpha * src[i]) / 255);
}

MOBU_AVX2 void Blend16Row(uint16_t* dst, const uint16_t* src, int count, int alpha, int32_t key, bool is565)
{
    __m256i a = _mm256_set1_epi16(static_cast<short>(alpha)), na = _mm256_set1_epi16(static_cast<short>(255 - alpha));
    bool keyed = key >= 0 && key <= 0xFFFF;
    __m256i k = _mm256_set1_epi16(static_cast<short>(key));
    const int red_shift = is565 ? 11 : 10;
    const __m256i five = _mm256_set1_epi16(31), green_bits = _mm256_set1_epi16(is565 ? 63 : 31);
    const __m128i rs = _mm_cvtsi32_si128(red_shift);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i r = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srl_epi16(d, rs), five), na),
                                            _mm256_mullo_epi16(_mm256_and_si256(_mm256_srl_epi16(s, rs), five), a)));
        __m256i g = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi16(d, 5), green_bits), na),
                                            _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi16(s, 5), green_bits), a)));
        __m256i b = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, five), na), _mm256_mullo_epi16(_mm256_and_si256(s, five), a)));
        __m256i mixed = _mm256_or_si256(_mm256_or_si256(_mm256_sll_epi16(r, rs), _mm256_slli_epi16(g, 5)), b);
        __m256i keep = keyed ? _mm256_cmpeq_epi16(s, k) : _mm256_setzero_si256();
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(mixed, d, keep));
    }
    scalar::Blend16Row(dst + i, src + i, count - i, alpha, key, is565);
}

MOBU_AVX2 void Masked32Row(uint32_t* dst, const uint32_t* src, const uint8_t* alpha, int count)
{
    const __m256i full = _mm256_set1_epi16(255);
    // Spreads alpha byte j of each 128-bit lane's four pixels over that pixel's 16-bit lanes.
    const __m256i spread_lo = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 1, -1, 1, -1, 1, -1, 1, -1,
                                               4, -1, 4, -1, 4, -1, 4, -1, 5, -1, 5, -1, 5, -1, 5, -1);
    const __m256i spread_hi = _mm256_setr_epi8(2, -1, 2, -1, 2, -1, 2, -1, 3, -1, 3, -1, 3, -1, 3, -1,
                                               6, -1, 6, -1, 6, -1, 6, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t eight;
        __builtin_memcpy(&eight, alpha + i, 8);
        if (eight == 0) continue;
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        if (eight == ~uint64_t{0}) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
            continue;
        }
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        // Pixels 0–3 in the low lane read bytes 0–3; pixels 4–7 in the high lane bytes 4–7.
        __m256i a8 = _mm256_set1_epi64x(static_cast<long long>(eight));
        __m256i a_lo = _mm256_shuffle_epi8(a8, spread_lo), a_hi = _mm256_shuffle_epi8(a8, spread_hi);
        __m256i mixed = Mix32(d, s, a_lo, a_hi, _mm256_sub_epi16(full, a_lo), _mm256_sub_epi16(full, a_hi));
        __m256i word_alpha = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + i)));
        __m256i skip = _mm256_cmpeq_epi32(word_alpha, _mm256_setzero_si256());
        __m256i copy = _mm256_cmpeq_epi32(word_alpha, _mm256_set1_epi32(255));
        __m256i out = _mm256_blendv_epi8(_mm256_blendv_epi8(mixed, s, copy), d, skip);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), out);
    }
    scalar::Masked32Row(dst + i, src + i, alpha + i, count - i);
}

MOBU_AVX2 void Masked16Row(uint16_t* dst, const uint16_t* src, const uint8_t* alpha, int count, bool is565)
{
    const __m256i zero = _mm256_setzero_si256(), full = _mm256_set1_epi16(255);
    const int red_shift = is565 ? 11 : 10;
    const __m128i rs = _mm_cvtsi32_si128(red_shift);
    const __m256i five = _mm256_set1_epi16(31), green_bits = _mm256_set1_epi16(is565 ? 63 : 31);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha + i)));
        __m256i na = _mm256_sub_epi16(full, a);
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i r = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srl_epi16(d, rs), five), na),
                                                       _mm256_mullo_epi16(_mm256_and_si256(_mm256_srl_epi16(s, rs), five), a)), 8);
        __m256i g = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi16(d, 5), green_bits), na),
                                                       _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi16(s, 5), green_bits), a)), 8);
        __m256i b = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, five), na), _mm256_mullo_epi16(_mm256_and_si256(s, five), a)), 8);
        __m256i mixed = _mm256_or_si256(_mm256_or_si256(_mm256_sll_epi16(r, rs), _mm256_slli_epi16(g, 5)), b);
        __m256i out = _mm256_blendv_epi8(_mm256_blendv_epi8(mixed, s, _mm256_cmpeq_epi16(a, full)), d, _mm256_cmpeq_epi16(a, zero));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), out);
    }
    scalar::Masked16Row(dst + i, src + i, alpha + i, count - i, is565);
}

MOBU_AVX2 void Widen16To32Row(uint32_t* dst, const uint16_t* src, int count, bool is565, bool replicate, uint32_t top)
{
    const __m256i t = _mm256_set1_epi32(static_cast<int>(top)), five = _mm256_set1_epi32(31);
    const __m256i green_bits = _mm256_set1_epi32(is565 ? 63 : 31);
    const __m128i rs = _mm_cvtsi32_si128(is565 ? 11 : 10);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i v = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
        __m256i b = _mm256_and_si256(v, five);
        __m256i g = _mm256_and_si256(_mm256_srli_epi32(v, 5), green_bits);
        __m256i r = _mm256_and_si256(_mm256_srl_epi32(v, rs), five);
        if (replicate) {
            b = _mm256_or_si256(_mm256_slli_epi32(b, 3), _mm256_srli_epi32(b, 2));
            r = _mm256_or_si256(_mm256_slli_epi32(r, 3), _mm256_srli_epi32(r, 2));
            g = is565 ? _mm256_or_si256(_mm256_slli_epi32(g, 2), _mm256_srli_epi32(g, 4))
                      : _mm256_or_si256(_mm256_slli_epi32(g, 3), _mm256_srli_epi32(g, 2));
        } else {
            b = _mm256_slli_epi32(b, 3);
            r = _mm256_slli_epi32(r, 3);
            g = _mm256_slli_epi32(g, is565 ? 2 : 3);
        }
        __m256i out = _mm256_or_si256(_mm256_or_si256(t, _mm256_slli_epi32(r, 16)), _mm256_or_si256(_mm256_slli_epi32(g, 8), b));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), out);
    }
    scalar::Widen16To32Row(dst + i, src + i, count - i, is565, replicate, top);
}

MOBU_AVX2 inline __m256i Narrow8(__m256i v, bool is565)
{
    __m256i b = _mm256_and_si256(_mm256_srli_epi32(v, 3), _mm256_set1_epi32(31));
    __m256i g = is565 ? _mm256_and_si256(_mm256_srli_epi32(v, 10), _mm256_set1_epi32(63))
                      : _mm256_and_si256(_mm256_srli_epi32(v, 11), _mm256_set1_epi32(31));
    __m256i r = _mm256_and_si256(_mm256_srli_epi32(v, 19), _mm256_set1_epi32(31));
    __m256i out = _mm256_or_si256(_mm256_or_si256(is565 ? _mm256_slli_epi32(r, 11) : _mm256_slli_epi32(r, 10), _mm256_slli_epi32(g, 5)), b);
    return _mm256_srai_epi32(_mm256_slli_epi32(out, 16), 16);
}

MOBU_AVX2 void Narrow32To16Row(uint16_t* dst, const uint32_t* src, int count, bool is565)
{
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        __m256i lo = Narrow8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), is565);
        __m256i hi = Narrow8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 8)), is565);
        // The pack works per 128-bit lane: put the quarters back in order.
        __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), packed);
    }
    scalar::Narrow32To16Row(dst + i, src + i, count - i, is565);
}

MOBU_AVX2 void Expand24To32Row(uint32_t* dst, const uint8_t* src, int count, uint32_t top)
{
    // Four 3-byte pixels of each 12-byte group spread to four words.
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i t = _mm256_set1_epi32(static_cast<int>(top));
    int i = 0;
    // Each step reads 24 bytes through two 16-byte loads, so it stops 16 bytes before the end.
    for (; i + 8 <= count && 3 * i + 28 <= 3 * count; i += 8) {
        __m128i lo = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i)), spread);
        __m128i hi = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i + 12)), spread);
        __m256i out = _mm256_or_si256(_mm256_set_m128i(hi, lo), t);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), out);
    }
    scalar::Expand24To32Row(dst + i, src + 3 * i, count - i, top);
}

MOBU_AVX2 void Pack32To24Row(uint8_t* dst, const uint32_t* src, int count)
{
    const __m128i gather = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int i = 0;
    // Each step writes 16 bytes of which 12 are pixels, so it stops while 16 bytes still fit.
    for (; i + 6 <= count; i += 4) {
        __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), gather);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * i), v);
    }
    scalar::Pack32To24Row(dst + 3 * i, src + i, count - i);
}

MOBU_AVX2 void BlurAddRow(uint32_t* sums, const uint32_t* row, int count)
{
    int i = 0, lanes = 4 * count;
    for (; i + 8 <= lanes; i += 8) {
        __m256i* p = reinterpret_cast<__m256i*>(sums + i);
        _mm256_storeu_si256(p, _mm256_add_epi32(_mm256_loadu_si256(p), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i))));
    }
    for (; i < lanes; ++i) sums[i] += row[i];
}

MOBU_AVX2 void BlurSubRow(uint32_t* sums, const uint32_t* row, int count)
{
    int i = 0, lanes = 4 * count;
    for (; i + 8 <= lanes; i += 8) {
        __m256i* p = reinterpret_cast<__m256i*>(sums + i);
        _mm256_storeu_si256(p, _mm256_sub_epi32(_mm256_loadu_si256(p), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i))));
    }
    for (; i < lanes; ++i) sums[i] -= row[i];
}

// Two pixels' sums divided by their counts (floats: exact below 65793, as in the SSE2 path).
MOBU_AVX2 inline __m256i Divide2(const uint32_t* sums, uint32_t n0, uint32_t n1)
{
    __m256 n = _mm256_setr_ps(static_cast<float>(n0), static_cast<float>(n0), static_cast<float>(n0), static_cast<float>(n0),
                              static_cast<float>(n1), static_cast<float>(n1), static_cast<float>(n1), static_cast<float>(n1));
    __m256 q = _mm256_div_ps(_mm256_cvtepi32_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums))), n);
    return _mm256_cvttps_epi32(q);
}

MOBU_AVX2 void BlurDivideRow(uint32_t* out, const uint32_t* sums, const uint32_t* widths, uint32_t height_count, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i p01 = Divide2(sums + 4 * i, widths[i] * height_count, widths[i + 1] * height_count);
        __m256i p23 = Divide2(sums + 4 * i + 8, widths[i + 2] * height_count, widths[i + 3] * height_count);
        __m256i p45 = Divide2(sums + 4 * i + 16, widths[i + 4] * height_count, widths[i + 5] * height_count);
        __m256i p67 = Divide2(sums + 4 * i + 24, widths[i + 6] * height_count, widths[i + 7] * height_count);
        // Lanes: packs gives (p0 p2 | p1 p3) and (p4 p6 | p5 p7); packus gives, per 128-bit
        // lane, words p0 p2 p4 p6 | p1 p3 p5 p7; the permute restores the order.
        __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(p01, p23), _mm256_packs_epi32(p45, p67));
        bytes = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_and_si256(bytes, _mm256_set1_epi32(0x00FFFFFF)));
    }
    scalar::BlurDivideRow(out + i, sums + 4 * i, widths + i, height_count, count - i);
}

}  // namespace

const TPixelKernels* Avx2Kernels()
{
    static const TPixelKernels table = {
        "avx2",
        Blend32Row,
        Blend24Row,
        Blend16Row,
        Masked32Row,
        scalar::Masked24Row,
        Masked16Row,
        Widen16To32Row,
        Narrow32To16Row,
        Expand24To32Row,
        Pack32To24Row,
        BlurAddRow,
        BlurSubRow,
        BlurDivideRow,
    };
    return __builtin_cpu_supports("avx2") ? &table : nullptr;
}

}  // namespace mobu::kernels
