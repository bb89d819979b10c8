#include "text/glyph_coverage.h"

#include <array>
#include <bit>

namespace mobu {
namespace {

constexpr uint8_t kLevel0[] = {0, 255};
constexpr uint8_t kLevel1[] = {0, 79, 127, 207, 255};
constexpr uint8_t kLevel2[] = {0, 43, 55, 67, 79, 91, 103, 115, 159, 171, 183, 195, 207, 219, 231, 243, 255};
constexpr uint8_t kLevel3[] = {0,   18,  21,  24,  27,  30,  33,  36,  55,  58,  61,  64,  67,  70,  73,  76,  79,
                               82,  85,  88,  91,  94,  97,  100, 119, 122, 125, 128, 131, 134, 137, 140, 143, 146,
                               149, 152, 155, 158, 161, 164, 183, 186, 189, 192, 195, 198, 201, 204, 207, 210, 213,
                               216, 219, 222, 225, 228, 231, 234, 237, 240, 243, 246, 249, 252, 255};
static_assert(sizeof kLevel3 == 65 && sizeof kLevel2 == 17 && sizeof kLevel1 == 5);

// Set bits of every byte (the build targets processors without a population-count instruction).
constexpr std::array<uint8_t, 256> kBitCounts = [] {
    std::array<uint8_t, 256> counts{};
    for (int i = 0; i < 256; ++i) counts[i] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(i)));
    return counts;
}();

}  // namespace

int SamplesPerSide(int level)
{
    switch (level) {
    case 1: return 2;
    case 2: return 4;
    case 3: return 8;
    default: return 1;
    }
}

std::span<const uint8_t> OpacityTable(int level)
{
    switch (level) {
    case 1: return kLevel1;
    case 2: return kLevel2;
    case 3: return kLevel3;
    default: return kLevel0;
    }
}

void CountCoverage(const uint8_t* samples, int pitch, int factor, int width, int rows,
                   std::span<const uint8_t> table, uint8_t* out, int out_pitch)
{
    for (int y = 0; y < rows; ++y) {
        const uint8_t* block = samples + static_cast<ptrdiff_t>(y) * factor * pitch;
        uint8_t* target = out + static_cast<ptrdiff_t>(y) * out_pitch;
        if (factor == 8) {
            // One byte of each sample row is one pixel's row of 8 samples.
            for (int x = 0; x < width; ++x) {
                int count = 0;
                const uint8_t* column = block + x;
                for (int r = 0; r < 8; ++r) count += kBitCounts[column[static_cast<ptrdiff_t>(r) * pitch]];
                target[x] = table[count];
            }
        } else {
            // factor 4: a nibble per pixel row; factor 2: two bits.
            const int per_byte = 8 / factor;
            const unsigned mask = (1u << factor) - 1;
            for (int x = 0; x < width; ++x) {
                const int byte = x / per_byte;
                const int shift = 8 - factor * (x % per_byte + 1);
                int count = 0;
                for (int r = 0; r < factor; ++r)
                    count += kBitCounts[(block[static_cast<ptrdiff_t>(r) * pitch + byte] >> shift) & mask];
                target[x] = table[count];
            }
        }
    }
}

void ExpandMonochrome(const uint8_t* bits, int pitch, int width, int rows, uint8_t* out, int out_pitch)
{
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = bits + static_cast<ptrdiff_t>(y) * pitch;
        uint8_t* target = out + static_cast<ptrdiff_t>(y) * out_pitch;
        for (int x = 0; x < width; ++x) target[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    }
}

}  // namespace mobu
