// The colour and decay tables of the fire surface: 256 colours indexed by heat in the
// 32-bit (0x00RRGGBB), 16-bit (5-6-5) and 15-bit (5-5-5) forms, and the 1024-entry decay
// table a power makes.
#pragma once

#include <array>
#include <cstdint>

namespace mobu {

using TFireColourTable = std::array<uint32_t, 256>;
using TFireDecayTable = std::array<uint8_t, 1024>;

// A ramp through six key colours with five entries of their own.
const TFireColourTable& FireColours32();
// Each 32-bit entry keeping the top 5, 6 and 5 bits of red, green and blue.
const TFireColourTable& FireColours16();
// Each 16-bit entry with blue and the top five bits of green and red.
const TFireColourTable& FireColours15();

// The power no script has set yet: its divisor base is 4.5.
inline constexpr int32_t kFirePowerUnset = -1;
// d[n] = round(n / (x - ((1023 - n) / 1023)^3 * 0.05)), halves to even, 255 and above kept
// as 254; x = (128 - power) / 128 * 1.2825 + 4.2175, or 4.5 for kFirePowerUnset. The power
// is clamped to 0..255.
TFireDecayTable MakeFireDecayTable(int32_t power);

}  // namespace mobu
