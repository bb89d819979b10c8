// SSE2 smooth resampling: the channel arithmetic of each target pixel in packed doubles
// (blue and green in one register, red in the other), in the same order as the scalar
// reference, so every pixel comes out identical.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/kernels/resample_kernels.h"

namespace mobu::kernels {

namespace {

inline uint32_t Pixel24(const uint8_t* row, int x)
{
    const uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
}

inline void Store24(uint8_t* row, int x, uint32_t v)
{
    uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}

// Blue and green of a pixel as two doubles, and red as the low one of another.
inline void Channels(uint32_t p, __m128d& bg, __m128d& r)
{
    bg = _mm_cvtepi32_pd(_mm_setr_epi32(static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF), 0, 0));
    r = _mm_set_sd(static_cast<double>((p >> 16) & 0xFF));
}

// Nearest integer with ties to even (the default rounding mode), clamped to a byte.
inline uint32_t Pack(__m128d bg, __m128d r)
{
    __m128i lo = _mm_cvtpd_epi32(bg), hi = _mm_cvtpd_epi32(r);
    int b = std::clamp(_mm_cvtsi128_si32(lo), 0, 255), g = std::clamp(_mm_cvtsi128_si32(_mm_srli_si128(lo, 4)), 0, 255);
    int red = std::clamp(_mm_cvtsi128_si32(hi), 0, 255);
    return static_cast<uint32_t>(red << 16 | g << 8 | b);
}

void BilinearSse2(const TResampleImage& to, const TResampleImage& from, int32_t key)
{
    double sx = static_cast<double>(from.width) / to.width;
    double sy = static_cast<double>(from.height) / to.height;
    uint32_t t = static_cast<uint32_t>(key);
    // Source columns and fractions are the same on every row.
    std::vector<int> first(static_cast<size_t>(to.width)), second(first.size());
    std::vector<double> fractions(first.size());
    for (int x = 0; x < to.width; ++x) {
        double u = (x + 0.5) * sx - 0.5;
        double fx_floor = std::floor(u);
        int ix = static_cast<int>(fx_floor);
        fractions[static_cast<size_t>(x)] = u - fx_floor;
        first[static_cast<size_t>(x)] = std::clamp(ix, 0, from.width - 1);
        second[static_cast<size_t>(x)] = std::clamp(ix + 1, 0, from.width - 1);
    }
    for (int y = 0; y < to.height; ++y) {
        double v = (y + 0.5) * sy - 0.5;
        double fy_floor = std::floor(v);
        int iy = static_cast<int>(fy_floor);
        double fy = v - fy_floor;
        const uint8_t* row0 = from.Row(std::clamp(iy, 0, from.height - 1));
        const uint8_t* row1 = from.Row(std::clamp(iy + 1, 0, from.height - 1));
        uint8_t* out = to.Row(y);
        __m128d vfy = _mm_set1_pd(fy);
        for (int x = 0; x < to.width; ++x) {
            int x0 = first[static_cast<size_t>(x)], x1 = second[static_cast<size_t>(x)];
            double fx = fractions[static_cast<size_t>(x)];
            uint32_t o00 = Pixel24(row0, x0), o01 = Pixel24(row0, x1), o10 = Pixel24(row1, x0), o11 = Pixel24(row1, x1);
            uint32_t p00 = o00, p01 = o01, p10 = o10, p11 = o11;
            if (key >= 0) {
                bool k00 = o00 == t, k01 = o01 == t, k10 = o10 == t, k11 = o11 == t;
                if (k00 && k01 && k10 && k11) {
                    Store24(out, x, t);
                    continue;
                }
                if (k00) p00 = !k10 ? o10 : !k01 ? o01 : o11;
                if (k10) p10 = !k00 ? o00 : !k01 ? o01 : o11;
                if (k01) p01 = !k00 ? o00 : !k10 ? o10 : o11;
                if (k11) p11 = !k00 ? o00 : !k10 ? o10 : o01;
            }
            __m128d a_bg, a_r, b_bg, b_r, d_bg, d_r, e_bg, e_r;
            Channels(p00, a_bg, a_r);
            Channels(p01, b_bg, b_r);
            Channels(p10, d_bg, d_r);
            Channels(p11, e_bg, e_r);
            __m128d vfx = _mm_set1_pd(fx), vfxfy = _mm_set1_pd(fx * fy);
            // fx·(b − a) + fx·fy·(a + e − b − d) + fy·(d − a) + a, term by term as in scalar.
            auto lerp = [&](__m128d a, __m128d b, __m128d d, __m128d e) {
                __m128d sum = _mm_mul_pd(vfx, _mm_sub_pd(b, a));
                sum = _mm_add_pd(sum, _mm_mul_pd(vfxfy, _mm_sub_pd(_mm_sub_pd(_mm_add_pd(a, e), b), d)));
                sum = _mm_add_pd(sum, _mm_mul_pd(vfy, _mm_sub_pd(d, a)));
                return _mm_add_pd(sum, a);
            };
            Store24(out, x, Pack(lerp(a_bg, b_bg, d_bg, e_bg), lerp(a_r, b_r, d_r, e_r)));
        }
    }
}

void AreaAverageSse2(const TResampleImage& to, const TResampleImage& from, int32_t key)
{
    double sx = static_cast<double>(from.width) / to.width;
    double sy = static_cast<double>(from.height) / to.height;
    std::vector<TSpan> columns = Spans(to.width, from.width), rows = Spans(to.height, from.height);
    uint32_t t = static_cast<uint32_t>(key);
    for (int y = 0; y < to.height; ++y) {
        const TSpan& rs = rows[static_cast<size_t>(y)];
        uint8_t* out = to.Row(y);
        for (int x = 0; x < to.width; ++x) {
            const TSpan& cs = columns[static_cast<size_t>(x)];
            __m128d sum_bg = _mm_setzero_pd(), sum_r = _mm_setzero_pd();
            int total = 0, counted = 0;
            for (int j = rs.first; j <= rs.last; ++j) {
                const uint8_t* row = from.Row(j);
                double wy = rs.weights[static_cast<size_t>(j - rs.first)];
                for (int i = cs.first; i <= cs.last; ++i) {
                    ++total;
                    uint32_t p = Pixel24(row, i);
                    if (key >= 0 && p == t) continue;
                    ++counted;
                    __m128d w = _mm_set1_pd(cs.weights[static_cast<size_t>(i - cs.first)] * wy);
                    __m128d bg, r;
                    Channels(p, bg, r);
                    sum_bg = _mm_add_pd(sum_bg, _mm_mul_pd(w, bg));
                    sum_r = _mm_add_sd(sum_r, _mm_mul_sd(w, r));
                }
            }
            float e = static_cast<float>(sx * sy * counted / std::max(total, 1));
            if (e > 0) {
                __m128d ve = _mm_set1_pd(static_cast<double>(e));
                Store24(out, x, Pack(_mm_div_pd(sum_bg, ve), _mm_div_pd(sum_r, ve)));
            } else {
                Store24(out, x, t);
            }
        }
    }
}

}  // namespace

const TResampleKernels* Sse2ResampleKernels()
{
    static const TResampleKernels table = {"sse2", BilinearSse2, AreaAverageSse2};
    return __builtin_cpu_supports("sse2") ? &table : nullptr;
}

}  // namespace mobu::kernels
