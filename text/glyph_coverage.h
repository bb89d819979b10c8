// Coverage of glyph masks: the four antialias levels, their sample grids and the tables
// that turn a count of covered samples into an opacity.
#pragma once

#include <cstdint>
#include <span>

namespace mobu {

constexpr int kAntialiasLevels = 4;

// Samples per pixel side at a level: 1 (monochrome), 2, 4, 8.
int SamplesPerSide(int level);

// Opacity for each coverage count of a level (level 0: 0 and 255; level 3: 65 entries).
std::span<const uint8_t> OpacityTable(int level);

// Turns a 1-bit sample image (most significant bit first, `pitch` bytes per row, top row
// first) rendered at `factor` (2, 4 or 8) samples per pixel side into opacities: each
// pixel counts the set samples of its factor x factor block and maps the count through
// the level's table. `out` holds `width` x `rows` bytes with `out_pitch` per row; `rows`
// pixel rows are read starting at the sample image's top.
void CountCoverage(const uint8_t* samples, int pitch, int factor, int width, int rows,
                   std::span<const uint8_t> table, uint8_t* out, int out_pitch);

// Level 0: a 1-bit image at one sample per pixel becomes 0 / 255.
void ExpandMonochrome(const uint8_t* bits, int pitch, int width, int rows, uint8_t* out, int out_pitch);

}  // namespace mobu
