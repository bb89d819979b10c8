// Scalar reference of the smooth resampling.
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

// Nearest integer with halves to the even neighbour, clamped to a byte.
inline uint32_t RoundChannel(double v)
{
    double r = std::nearbyint(v);  // the default rounding mode: ties to even
    if (r < 0) r = 0;
    if (r > 255) r = 255;
    return static_cast<uint32_t>(r);
}

void BilinearScalar(const TResampleImage& to, const TResampleImage& from, int32_t key)
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
            uint32_t result = 0;
            for (int c = 0; c < 3; ++c) {
                int shift = 8 * c;
                double a = (p00 >> shift) & 0xFF, b = (p01 >> shift) & 0xFF, d = (p10 >> shift) & 0xFF,
                       e = (p11 >> shift) & 0xFF;
                double value = fx * (b - a) + fx * fy * (a + e - b - d) + fy * (d - a) + a;
                result |= RoundChannel(value) << shift;
            }
            Store24(out, x, result);
        }
    }
}

// Source span of one target coordinate: first and last source index and their weights.
void AreaAverageScalar(const TResampleImage& to, const TResampleImage& from, int32_t key)
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
            double sum[3] = {0, 0, 0};
            int total = 0, counted = 0;
            for (int j = rs.first; j <= rs.last; ++j) {
                const uint8_t* row = from.Row(j);
                double wy = rs.weights[static_cast<size_t>(j - rs.first)];
                for (int i = cs.first; i <= cs.last; ++i) {
                    ++total;
                    uint32_t p = Pixel24(row, i);
                    if (key >= 0 && p == t) continue;
                    ++counted;
                    double w = cs.weights[static_cast<size_t>(i - cs.first)] * wy;
                    sum[0] += w * (p & 0xFF);
                    sum[1] += w * ((p >> 8) & 0xFF);
                    sum[2] += w * ((p >> 16) & 0xFF);
                }
            }
            float e = static_cast<float>(sx * sy * counted / std::max(total, 1));
            if (e > 0) {
                Store24(out, x, RoundChannel(sum[0] / e) | RoundChannel(sum[1] / e) << 8 | RoundChannel(sum[2] / e) << 16);
            } else {
                Store24(out, x, t);
            }
        }
    }
}

}  // namespace

const TResampleKernels& ScalarResampleKernels()
{
    static const TResampleKernels table = {"scalar", BilinearScalar, AreaAverageScalar};
    return table;
}

const TResampleKernels& ActiveResampleKernels()
{
    static const TResampleKernels& chosen = [] () -> const TResampleKernels& {
        if (const TResampleKernels* sse2 = Sse2ResampleKernels()) return *sse2;
        return ScalarResampleKernels();
    }();
    return chosen;
}

std::vector<TSpan> Spans(int target, int source)
{
    double scale = static_cast<double>(source) / target;
    std::vector<TSpan> spans(static_cast<size_t>(target));
    for (int x = 0; x < target; ++x) {
        double x0 = x * scale, x1 = (x + 1) * scale - 0.000001;
        TSpan& s = spans[static_cast<size_t>(x)];
        s.first = std::clamp(static_cast<int>(std::floor(x0)), 0, source - 1);
        s.last = std::clamp(static_cast<int>(std::floor(x1)), s.first, source - 1);
        for (int i = s.first; i <= s.last; ++i) {
            double w = std::min<double>(i + 1, x1) - std::max<double>(i, x0);
            s.weights.push_back(w > 0 ? w : 0);
        }
    }
    return spans;
}

}  // namespace mobu::kernels
