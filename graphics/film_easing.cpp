#include "graphics/film_easing.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace mobu {
namespace {

int64_t RoundEven(double value)
{
    double r = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (!(r >= -9.2e18)) return r > 0 ? INT64_MAX : INT64_MIN;
    if (r > 9.2e18) return INT64_MAX;
    return static_cast<int64_t>(r);
}

// a * b / q for |a|, |b| below 2^33 or so: taken in 128 bits so nothing wraps.
int64_t MulDiv(int64_t a, int64_t b, int64_t q)
{
    __int128 p = static_cast<__int128>(a) * b / q;
    if (p > INT64_MAX) return INT64_MAX;
    if (p < INT64_MIN) return INT64_MIN;
    return static_cast<int64_t>(p);
}

}  // namespace

int32_t ClampToInt32(int64_t value)
{
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t EaseValue(int64_t b, int64_t e, int64_t d, int64_t c, int easing)
{
    if (d <= 0 || c <= 1) return ClampToInt32(b);
    if (d >= c - 1) return ClampToInt32(e);
    const int64_t diff = e - b;
    constexpr double kQuarter = std::numbers::pi / 2;
    switch (easing) {
        case 1: {
            double s = std::sin(static_cast<double>(c - d - 1) * kQuarter / static_cast<double>(c));
            return ClampToInt32(e - RoundEven(static_cast<double>(diff) * s));
        }
        case 2: {
            double s = std::sin(static_cast<double>(d) * kQuarter / static_cast<double>(c));
            return ClampToInt32(b + RoundEven(s * static_cast<double>(diff)));
        }
        default: return ClampToInt32(b + MulDiv(d, diff, c - 1));
    }
}

int32_t EaseColour(int32_t b, int32_t e, int64_t d, int64_t c)
{
    uint32_t out = static_cast<uint32_t>(e) & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        int64_t cb = (static_cast<uint32_t>(b) >> shift) & 0xFF, ce = (static_cast<uint32_t>(e) >> shift) & 0xFF;
        out |= static_cast<uint32_t>(EaseValue(cb, ce, d, c, 0) & 0xFF) << shift;
    }
    return static_cast<int32_t>(out);
}

int32_t ZoomToFixed(double zoom)
{
    if (std::isnan(zoom)) return 256;
    double v = std::trunc(zoom * 256.0);
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t DegreesToTurn(int32_t degrees)
{
    int64_t turn = RoundEven(static_cast<double>(degrees) * 256.0 / 360.0);
    return static_cast<int32_t>(((turn % 256) + 256) % 256);
}

}  // namespace mobu
