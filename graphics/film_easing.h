// The three easings of film tracks: a property goes from its start value b to its end
// value e over c steps; step d = 0 gives b and d = c - 1 gives e.
//   0 linear:      b + d * (e - b) / (c - 1)             (the quotient truncates toward zero)
//   1 slowing in:  e - round((e - b) * sin((c - d - 1) * (pi / 2) / c))
//   2 slowing out: b + round(sin(d * (pi / 2) / c) * (e - b))
// Products and sums are taken in 64 bits and the result is held inside the 32-bit range;
// rounding sends halves to the even neighbour. Over a single step (c - 1 = 0) the start
// value holds; an unknown easing is linear.
#pragma once

#include <cstdint>

namespace mobu {

int32_t EaseValue(int64_t b, int64_t e, int64_t d, int64_t c, int easing);
// The same for each channel of a 0x00BBGGRR colour, linearly (the high byte from the end).
int32_t EaseColour(int32_t b, int32_t e, int64_t d, int64_t c);
// A 64-bit value held inside the 32-bit range.
int32_t ClampToInt32(int64_t value);
// A zoom factor as the 256 = 100 % scale: trunc(zoom * 256); NaN gives 256, values beyond
// the 32-bit range saturate.
int32_t ZoomToFixed(double zoom);
// Degrees to the 0..255 turn scale: round(angle * 256 / 360), negative angles wrapping.
int32_t DegreesToTurn(int32_t degrees);

}  // namespace mobu
