// SSE2 row kernels: four 32-bit or eight 16-bit pixels at a time, the scalar kernels for the
// row tails. Every result equals the scalar reference exactly.
#include <emmintrin.h>

#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/pixel_kernels_scalar.h"

namespace mobu::kernels {

namespace {

// x div 255 for 16-bit lanes holding at most 255 × 255.
inline __m128i Div255(__m128i x)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8);
}

// (d·(255 − a) + s·a) shr 8 on the bytes of four 32-bit pixels; a and na are 16-bit lanes.
inline __m128i Mix32(__m128i d, __m128i s, __m128i a_lo, __m128i a_hi, __m128i na_lo, __m128i na_hi)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), na_lo), _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), a_lo));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), na_hi), _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), a_hi));
    return _mm_and_si128(_mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8)), _mm_set1_epi32(0x00FFFFFF));
}

void Blend32Row(uint32_t* dst, const uint32_t* src, int count, int alpha, int32_t key)
{
    __m128i a = _mm_set1_epi16(static_cast<short>(alpha)), na = _mm_set1_epi16(static_cast<short>(255 - alpha));
    __m128i k = _mm_set1_epi32(key);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i keep = _mm_cmpeq_epi32(s, k);
        __m128i mixed = Mix32(d, s, a, a, na, na);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, mixed)));
    }
    scalar::Blend32Row(dst + i, src + i, count - i, alpha, key);
}

void Blend24Row(uint8_t* dst, const uint8_t* src, int count, int alpha, int32_t key)
{
    if (key >= 0) {
        scalar::Blend24Row(dst, src, count, alpha, key);
        return;
    }
    // Without a key every byte is blended alike.
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_set1_epi16(static_cast<short>(alpha)), na = _mm_set1_epi16(static_cast<short>(255 - alpha));
    int bytes = 3 * count, i = 0;
    for (; i + 16 <= bytes; i += 16) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), na), _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), a)));
        __m128i hi = Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), na), _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), a)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < bytes; ++i) dst[i] = static_cast<uint8_t>(((255 - alpha) * dst[i] + alpha * src[i]) / 255);
}

void Blend16Row(uint16_t* dst, const uint16_t* src, int count, int alpha, int32_t key, bool is565)
{
    __m128i a = _mm_set1_epi16(static_cast<short>(alpha)), na = _mm_set1_epi16(static_cast<short>(255 - alpha));
    bool keyed = key >= 0 && key <= 0xFFFF;
    __m128i k = _mm_set1_epi16(static_cast<short>(key));
    const int red_shift = is565 ? 11 : 10;
    const __m128i five = _mm_set1_epi16(31), green_bits = _mm_set1_epi16(is565 ? 63 : 31);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        auto channel = [&](__m128i v, int shift, __m128i bits) { return _mm_and_si128(_mm_srli_epi16(v, shift), bits); };
        __m128i r = Div255(_mm_add_epi16(_mm_mullo_epi16(channel(d, red_shift, five), na), _mm_mullo_epi16(channel(s, red_shift, five), a)));
        __m128i g = Div255(_mm_add_epi16(_mm_mullo_epi16(channel(d, 5, green_bits), na), _mm_mullo_epi16(channel(s, 5, green_bits), a)));
        __m128i b = Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(d, five), na), _mm_mullo_epi16(_mm_and_si128(s, five), a)));
        __m128i mixed = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, red_shift), _mm_slli_epi16(g, 5)), b);
        __m128i keep = keyed ? _mm_cmpeq_epi16(s, k) : _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, mixed)));
    }
    scalar::Blend16Row(dst + i, src + i, count - i, alpha, key, is565);
}

void Masked32Row(uint32_t* dst, const uint32_t* src, const uint8_t* alpha, int count)
{
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        uint32_t four;
        __builtin_memcpy(&four, alpha + i, 4);
        if (four == 0) continue;
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (four == 0xFFFFFFFFu) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // Each alpha byte spread over its pixel's four 16-bit lanes.
        __m128i a8 = _mm_cvtsi32_si128(static_cast<int>(four));
        __m128i a16 = _mm_unpacklo_epi8(a8, zero);           // a0 a1 a2 a3 as 16-bit
        __m128i a32 = _mm_unpacklo_epi16(a16, a16);          // a0 a0 a1 a1 a2 a2 a3 a3
        __m128i a_lo = _mm_unpacklo_epi32(a32, a32);         // a0 ×4, a1 ×4
        __m128i a_hi = _mm_unpackhi_epi32(a32, a32);         // a2 ×4, a3 ×4
        __m128i mixed = Mix32(d, s, a_lo, a_hi, _mm_sub_epi16(full, a_lo), _mm_sub_epi16(full, a_hi));
        __m128i word_alpha = _mm_unpacklo_epi16(a16, zero);  // a0 a1 a2 a3 as 32-bit
        __m128i skip = _mm_cmpeq_epi32(word_alpha, zero), copy = _mm_cmpeq_epi32(word_alpha, _mm_set1_epi32(255));
        __m128i out = _mm_or_si128(_mm_and_si128(copy, s), _mm_andnot_si128(copy, mixed));
        out = _mm_or_si128(_mm_and_si128(skip, d), _mm_andnot_si128(skip, out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
    scalar::Masked32Row(dst + i, src + i, alpha + i, count - i);
}

void Masked16Row(uint16_t* dst, const uint16_t* src, const uint8_t* alpha, int count, bool is565)
{
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
    const int red_shift = is565 ? 11 : 10;
    const __m128i five = _mm_set1_epi16(31), green_bits = _mm_set1_epi16(is565 ? 63 : 31);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + i)), zero);
        __m128i na = _mm_sub_epi16(full, a);
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        auto channel = [&](__m128i v, int shift, __m128i bits) { return _mm_and_si128(_mm_srli_epi16(v, shift), bits); };
        __m128i r = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(channel(d, red_shift, five), na), _mm_mullo_epi16(channel(s, red_shift, five), a)), 8);
        __m128i g = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(channel(d, 5, green_bits), na), _mm_mullo_epi16(channel(s, 5, green_bits), a)), 8);
        __m128i b = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(d, five), na), _mm_mullo_epi16(_mm_and_si128(s, five), a)), 8);
        __m128i mixed = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, red_shift), _mm_slli_epi16(g, 5)), b);
        __m128i skip = _mm_cmpeq_epi16(a, zero), copy = _mm_cmpeq_epi16(a, full);
        __m128i out = _mm_or_si128(_mm_and_si128(copy, s), _mm_andnot_si128(copy, mixed));
        out = _mm_or_si128(_mm_and_si128(skip, d), _mm_andnot_si128(skip, out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
    scalar::Masked16Row(dst + i, src + i, alpha + i, count - i, is565);
}

// Four 16-bit values (in 32-bit lanes) widened to 0x00RRGGBB words.
inline __m128i Widen4(__m128i v, bool is565, bool replicate, __m128i top)
{
    const __m128i five = _mm_set1_epi32(31);
    __m128i b = _mm_and_si128(v, five);
    __m128i g = _mm_and_si128(_mm_srli_epi32(v, 5), _mm_set1_epi32(is565 ? 63 : 31));
    __m128i r = _mm_and_si128(_mm_srli_epi32(v, is565 ? 11 : 10), five);
    if (replicate) {
        b = _mm_or_si128(_mm_slli_epi32(b, 3), _mm_srli_epi32(b, 2));
        r = _mm_or_si128(_mm_slli_epi32(r, 3), _mm_srli_epi32(r, 2));
        g = is565 ? _mm_or_si128(_mm_slli_epi32(g, 2), _mm_srli_epi32(g, 4)) : _mm_or_si128(_mm_slli_epi32(g, 3), _mm_srli_epi32(g, 2));
    } else {
        b = _mm_slli_epi32(b, 3);
        r = _mm_slli_epi32(r, 3);
        g = _mm_slli_epi32(g, is565 ? 2 : 3);
    }
    return _mm_or_si128(_mm_or_si128(top, _mm_slli_epi32(r, 16)), _mm_or_si128(_mm_slli_epi32(g, 8), b));
}

void Widen16To32Row(uint32_t* dst, const uint16_t* src, int count, bool is565, bool replicate, uint32_t top)
{
    const __m128i zero = _mm_setzero_si128(), t = _mm_set1_epi32(static_cast<int>(top));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Widen4(_mm_unpacklo_epi16(v, zero), is565, replicate, t));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), Widen4(_mm_unpackhi_epi16(v, zero), is565, replicate, t));
    }
    scalar::Widen16To32Row(dst + i, src + i, count - i, is565, replicate, top);
}

// Four 0x??RRGGBB words to 16-bit values, sign-extended in 32-bit lanes for packing.
inline __m128i Narrow4(__m128i v, bool is565)
{
    __m128i b = _mm_and_si128(_mm_srli_epi32(v, 3), _mm_set1_epi32(31));
    __m128i g = is565 ? _mm_and_si128(_mm_srli_epi32(v, 10), _mm_set1_epi32(63)) : _mm_and_si128(_mm_srli_epi32(v, 11), _mm_set1_epi32(31));
    __m128i r = _mm_and_si128(_mm_srli_epi32(v, 19), _mm_set1_epi32(31));
    __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi32(r, is565 ? 11 : 10), _mm_slli_epi32(g, 5)), b);
    return _mm_srai_epi32(_mm_slli_epi32(out, 16), 16);
}

void Narrow32To16Row(uint16_t* dst, const uint32_t* src, int count, bool is565)
{
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i lo = Narrow4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), is565);
        __m128i hi = Narrow4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4)), is565);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packs_epi32(lo, hi));
    }
    scalar::Narrow32To16Row(dst + i, src + i, count - i, is565);
}

void BlurAddRow(uint32_t* sums, const uint32_t* row, int count)
{
    for (int i = 0; i < count; ++i) {
        __m128i* p = reinterpret_cast<__m128i*>(sums + 4 * i);
        _mm_storeu_si128(p, _mm_add_epi32(_mm_loadu_si128(p), _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * i))));
    }
}

void BlurSubRow(uint32_t* sums, const uint32_t* row, int count)
{
    for (int i = 0; i < count; ++i) {
        __m128i* p = reinterpret_cast<__m128i*>(sums + 4 * i);
        _mm_storeu_si128(p, _mm_sub_epi32(_mm_loadu_si128(p), _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * i))));
    }
}

// One pixel's four sums divided by its count: the float quotient is correctly rounded and the
// counts stay below 65793, so truncating it gives the integer quotient.
inline __m128i Divide1(const uint32_t* sums, uint32_t n)
{
    __m128 q = _mm_div_ps(_mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums))),
                          _mm_set1_ps(static_cast<float>(n)));
    return _mm_cvttps_epi32(q);
}

void BlurDivideRow(uint32_t* out, const uint32_t* sums, const uint32_t* widths, uint32_t height_count, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i p0 = Divide1(sums + 4 * i, widths[i] * height_count);
        __m128i p1 = Divide1(sums + 4 * i + 4, widths[i + 1] * height_count);
        __m128i p2 = Divide1(sums + 4 * i + 8, widths[i + 2] * height_count);
        __m128i p3 = Divide1(sums + 4 * i + 12, widths[i + 3] * height_count);
        __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(bytes, _mm_set1_epi32(0x00FFFFFF)));
    }
    scalar::BlurDivideRow(out + i, sums + 4 * i, widths + i, height_count, count - i);
}

}  // namespace

const TPixelKernels* Sse2Kernels()
{
    static const TPixelKernels table = {
        "sse2",
        Blend32Row,
        Blend24Row,
        Blend16Row,
        Masked32Row,
        scalar::Masked24Row,
        Masked16Row,
        Widen16To32Row,
        Narrow32To16Row,
        scalar::Expand24To32Row,
        scalar::Pack32To24Row,
        BlurAddRow,
        BlurSubRow,
        BlurDivideRow,
    };
    return __builtin_cpu_supports("sse2") ? &table : nullptr;
}

}  // namespace mobu::kernels
