// SSE2 row kernels: four 32-bit or eight 16-bit pixels per step.
#include <emmintrin.h>

#include <cstring>

#include "graphics/kernels/surface_kernel_levels.h"

namespace mobu::kernels {

#define V __m128i
#define N32 size_t{4}
#define N16 size_t{8}
#define X_ATTR
#define X_FN(name) name##_sse2
#define X_LOAD(p) _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))
#define X_STORE(p, v) _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v)
#define X_ZERO() _mm_setzero_si128()
#define X_SET1_16(x) _mm_set1_epi16(x)
#define X_SET1_32(x) _mm_set1_epi32(x)
#define X_UNPLO8 _mm_unpacklo_epi8
#define X_UNPHI8 _mm_unpackhi_epi8
#define X_UNPLO16 _mm_unpacklo_epi16
#define X_UNPHI16 _mm_unpackhi_epi16
#define X_MULLO16 _mm_mullo_epi16
#define X_ADD16 _mm_add_epi16
#define X_SUB16 _mm_sub_epi16
#define X_SRLI16 _mm_srli_epi16
#define X_SLLI16 _mm_slli_epi16
#define X_SRL16 _mm_srl_epi16
#define X_SLL16 _mm_sll_epi16
#define X_SRL32 _mm_srl_epi32
#define X_SLL32 _mm_sll_epi32
#define X_SLLI32 _mm_slli_epi32
#define X_SRAI32 _mm_srai_epi32
#define X_PACKUS16 _mm_packus_epi16
#define X_PACKS32 _mm_packs_epi32
#define X_CMPEQ16 _mm_cmpeq_epi16
#define X_CMPEQ32 _mm_cmpeq_epi32
#define X_AND _mm_and_si128
#define X_ANDNOT _mm_andnot_si128
#define X_OR _mm_or_si128
#define X_ADDSU8 _mm_adds_epu8
#define X_SUBSU8 _mm_subs_epu8
#define X_SUBSU16 _mm_subs_epu16
#define X_MIN16 _mm_min_epi16
#define X_ORDER_WIDE(lo, hi) ((void)0)
#define X_ORDER_PACKED(v) ((void)0)

// Four mask bytes, each spread over the four bytes of its pixel.
inline __m128i LoadMask32_sse2(const uint8_t* p)
{
    int32_t bytes;
    std::memcpy(&bytes, p, 4);
    __m128i m = _mm_cvtsi32_si128(bytes);
    m = _mm_unpacklo_epi8(m, m);
    return _mm_unpacklo_epi16(m, m);
}
// Eight mask bytes widened to 16-bit lanes.
inline __m128i LoadMask16_sse2(const uint8_t* p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}
#define X_LOAD_MASK32(p) LoadMask32_sse2(p)
#define X_LOAD_MASK16(p) LoadMask16_sse2(p)

#include "graphics/kernels/surface_blend_simd_body.inc"

const TKernelTable kSse2Kernels = {
    Alpha32_sse2,     Add32_sse2,       Mask32_sse2,       AlphaMask32_sse2, AddMask32_sse2,
    Keyed32_sse2,     FillAlpha32_sse2, FillAdd32_sse2,    FillSub32_sse2,   ColourMask32_sse2,
    kScalarKernels.gather32,  // no gather instruction before AVX2
    Alpha16_sse2,     AddRow16_sse2,    Mask16_sse2,       AlphaMask16_sse2, AddMask16_sse2,
    Keyed16_sse2,     FillAlpha16_sse2, FillAdd16_sse2,    FillSub16_sse2,   ColourMask16_sse2,
    kScalarKernels.gather16,
    Widen16To32_sse2, Narrow32To16_sse2,
};

}  // namespace mobu::kernels
