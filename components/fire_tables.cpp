#include "components/fire_tables.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace mobu {
namespace {

struct TKey {
    int index;
    uint32_t colour;
};

constexpr TKey kKeys[] = {{0, 0x000000}, {32, 0x662703}, {112, 0xD56107},
                          {160, 0xF39D0D}, {192, 0xFFC037}, {255, 0xFFE6AF}};

struct TException {
    int index;
    uint32_t colour;
};

constexpr TException kExceptions[] = {
    {113, 0xD66207}, {115, 0xD76507}, {118, 0xD96808}, {119, 0xD96A08}, {123, 0xDC6E08}};

TFireColourTable Build32()
{
    TFireColourTable table{};
    for (size_t k = 0; k + 1 < std::size(kKeys); ++k) {
        const TKey a = kKeys[k], c = kKeys[k + 1];
        for (int i = a.index; i <= c.index; ++i) {
            uint32_t entry = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int from = static_cast<int>(a.colour >> shift & 0xFF);
                const int to = static_cast<int>(c.colour >> shift & 0xFF);
                const int value = from + (to - from) * (i - a.index) / (c.index - a.index);
                entry |= static_cast<uint32_t>(value) << shift;
            }
            table[static_cast<size_t>(i)] = entry;
        }
    }
    for (const TException& e : kExceptions) table[static_cast<size_t>(e.index)] = e.colour;
    return table;
}

TFireColourTable Build16()
{
    TFireColourTable table{};
    const TFireColourTable& wide = FireColours32();
    for (size_t i = 0; i < table.size(); ++i) {
        const uint32_t c = wide[i];
        table[i] = ((c >> 16 & 0xFF) >> 3) << 11 | ((c >> 8 & 0xFF) >> 2) << 5 | (c & 0xFF) >> 3;
    }
    return table;
}

TFireColourTable Build15()
{
    TFireColourTable table{};
    const TFireColourTable& narrow = FireColours16();
    for (size_t i = 0; i < table.size(); ++i) {
        const uint32_t v = narrow[i];
        table[i] = (v >> 11) << 10 | ((v >> 5 & 0x3F) >> 1) << 5 | (v & 0x1F);
    }
    return table;
}

}  // namespace

const TFireColourTable& FireColours32()
{
    static const TFireColourTable table = Build32();
    return table;
}

const TFireColourTable& FireColours16()
{
    static const TFireColourTable table = Build16();
    return table;
}

const TFireColourTable& FireColours15()
{
    static const TFireColourTable table = Build15();
    return table;
}

TFireDecayTable MakeFireDecayTable(int32_t power)
{
    long double x = 4.5L;
    if (power != kFirePowerUnset) {
        const long double p = std::clamp(power, 0, 255);
        x = (128.0L - p) / 128.0L * 1.2825L + 4.2175L;
    }
    TFireDecayTable table{};
    const int saved_mode = std::fegetround();
    std::fesetround(FE_TONEAREST);  // halves go to the even neighbour
    for (int n = 0; n < 1024; ++n) {
        const long double fall = (1023.0L - n) / 1023.0L;
        const long double value = std::nearbyintl(n / (x - fall * fall * fall * 0.05L));
        table[static_cast<size_t>(n)] = static_cast<uint8_t>(value >= 255.0L ? 254 : std::max(value, 0.0L));
    }
    std::fesetround(saved_mode);
    return table;
}

}  // namespace mobu
