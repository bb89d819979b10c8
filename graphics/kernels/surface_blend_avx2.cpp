// AVX2 row kernels: eight 32-bit or sixteen 16-bit pixels per step. Compiled without global
// AVX2 flags: every function carries the target attribute and is only called after the
// processor reported AVX2.
#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "graphics/kernels/surface_kernel_levels.h"

#pragma GCC diagnostic ignored "-Wpsabi"

namespace mobu::kernels {

#define V __m256i
#define N32 size_t{8}
#define N16 size_t{16}
#define X_ATTR __attribute__((target("avx2")))
#define X_FN(name) name##_avx2
#define X_LOAD(p) _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))
#define X_STORE(p, v) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v)
#define X_ZERO() _mm256_setzero_si256()
#define X_SET1_16(x) _mm256_set1_epi16(x)
#define X_SET1_32(x) _mm256_set1_epi32(x)
#define X_UNPLO8 _mm256_unpacklo_epi8
#define X_UNPHI8 _mm256_unpackhi_epi8
#define X_UNPLO16 _mm256_unpacklo_epi16
#define X_UNPHI16 _mm256_unpackhi_epi16
#define X_MULLO16 _mm256_mullo_epi16
#define X_ADD16 _mm256_add_epi16
#define X_SUB16 _mm256_sub_epi16
#define X_SRLI16 _mm256_srli_epi16
#define X_SLLI16 _mm256_slli_epi16
#define X_SRL16 _mm256_srl_epi16
#define X_SLL16 _mm256_sll_epi16
#define X_SRL32 _mm256_srl_epi32
#define X_SLL32 _mm256_sll_epi32
#define X_SLLI32 _mm256_slli_epi32
#define X_SRAI32 _mm256_srai_epi32
#define X_PACKUS16 _mm256_packus_epi16
#define X_PACKS32 _mm256_packs_epi32
#define X_CMPEQ16 _mm256_cmpeq_epi16
#define X_CMPEQ32 _mm256_cmpeq_epi32
#define X_AND _mm256_and_si256
#define X_ANDNOT _mm256_andnot_si256
#define X_OR _mm256_or_si256
#define X_ADDSU8 _mm256_adds_epu8
#define X_SUBSU8 _mm256_subs_epu8
#define X_SUBSU16 _mm256_subs_epu16
#define X_MIN16 _mm256_min_epi16
// Unpacks and packs work inside each 128-bit half; put the pixels back in order.
#define X_ORDER_WIDE(lo, hi)                                   \
    do {                                                       \
        __m256i first = _mm256_permute2x128_si256(lo, hi, 0x20); \
        hi = _mm256_permute2x128_si256(lo, hi, 0x31);          \
        lo = first;                                            \
    } while (0)
#define X_ORDER_PACKED(v) (v = _mm256_permute4x64_epi64(v, 0xD8))

// Eight mask bytes, each spread over the four bytes of its pixel.
X_ATTR inline __m256i LoadMask32_avx2(const uint8_t* p)
{
    int64_t bytes;
    std::memcpy(&bytes, p, 8);
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,  //
                                            4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
    return _mm256_shuffle_epi8(_mm256_set1_epi64x(bytes), spread);
}
// Sixteen mask bytes widened to 16-bit lanes.
X_ATTR inline __m256i LoadMask16_avx2(const uint8_t* p)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}
#define X_LOAD_MASK32(p) LoadMask32_avx2(p)
#define X_LOAD_MASK16(p) LoadMask16_avx2(p)

#include "graphics/kernels/surface_blend_simd_body.inc"

namespace {

// Eight columns at a time. When they fall inside eight consecutive source pixels (any
// enlargement, flipped or not) one load and a permute serve; otherwise a hardware gather.
X_ATTR void Gather32_avx2(uint32_t* dst, const uint32_t* row, size_t row_length, const int32_t* offsets, size_t n)
{
    size_t i = 0;
    const __m256i seven = _mm256_set1_epi32(7);
    for (; i + 8 <= n; i += 8) {
        __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + i));
        int32_t base = std::min(offsets[i], offsets[i + 7]);
        __m256i relative = _mm256_sub_epi32(index, _mm256_set1_epi32(base));
        // Unsigned relative <= 7 for all lanes: max(relative, 7) == 7 as unsigned.
        __m256i outside = _mm256_xor_si256(_mm256_max_epu32(relative, seven), seven);
        if (static_cast<size_t>(base) + 8 <= row_length && _mm256_testz_si256(outside, outside)) {
            __m256i window = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base));
            X_STORE(dst + i, _mm256_permutevar8x32_epi32(window, relative));
        } else {
            X_STORE(dst + i, _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), index, 4));
        }
    }
    kScalarKernels.gather32(dst + i, row, row_length, offsets + i, n - i);
}

}  // namespace

// Sampling along a rotated row: the 16.16 coordinates are stepped in 32-bit lanes, which the
// caller allows only while every coordinate and byte offset fits in 31 bits.
X_ATTR void RotateGather32Avx2(uint32_t* dst, const TRotateSpan& span, size_t n)
{
    size_t i = 0;
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(span.u0)),
                                 _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(span.du))));
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(span.v0)),
                                 _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(span.dv))));
    const __m256i du8 = _mm256_set1_epi32(static_cast<int>(span.du * 8));
    const __m256i dv8 = _mm256_set1_epi32(static_cast<int>(span.dv * 8));
    const __m256i pitch = _mm256_set1_epi32(static_cast<int>(span.pitch));
    const __m256i mirror_columns = _mm256_set1_epi32(span.mirror_columns);
    const __m256i mirror_rows = _mm256_set1_epi32(span.mirror_rows);
    const bool flip_columns = span.mirror_columns >= 0, flip_rows = span.mirror_rows >= 0;
    for (; i + 8 <= n; i += 8) {
        __m256i column = _mm256_srai_epi32(u, 16), row = _mm256_srai_epi32(v, 16);
        if (flip_columns) column = _mm256_sub_epi32(mirror_columns, column);
        if (flip_rows) row = _mm256_sub_epi32(mirror_rows, row);
        __m256i offset = _mm256_add_epi32(_mm256_mullo_epi32(row, pitch), _mm256_slli_epi32(column, 2));
        X_STORE(dst + i, _mm256_i32gather_epi32(reinterpret_cast<const int*>(span.base), offset, 1));
        u = _mm256_add_epi32(u, du8);
        v = _mm256_add_epi32(v, dv8);
    }
    TRotateSpan rest = span;
    rest.u0 += static_cast<int64_t>(i) * span.du;
    rest.v0 += static_cast<int64_t>(i) * span.dv;
    RotateGather32Scalar(dst + i, rest, n - i);
}

const TKernelTable kAvx2Kernels = {
    Alpha32_avx2,     Add32_avx2,       Mask32_avx2,       AlphaMask32_avx2, AddMask32_avx2,
    Keyed32_avx2,     FillAlpha32_avx2, FillAdd32_avx2,    FillSub32_avx2,   ColourMask32_avx2,
    Gather32_avx2,
    Alpha16_avx2,     AddRow16_avx2,    Mask16_avx2,       AlphaMask16_avx2, AddMask16_avx2,
    Keyed16_avx2,     FillAlpha16_avx2, FillAdd16_avx2,    FillSub16_avx2,   ColourMask16_avx2,
    kScalarKernels.gather16,
    Widen16To32_avx2, Narrow32To16_avx2,
};

}  // namespace mobu::kernels
