// Bit-count conversions, dithering, resampling and blurring worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "graphics/dib_surface.h"

using namespace mobu;

TEST(PixelStoreConvert, SetBitCountWidensByRepeatingTopBits)
{
    TDIBSurface s(1, 1, 16);
    s.SetPixel(0, 0, (17u << 11) | (33u << 5) | 1u);
    s.SetBitCount(32);
    // 5 bits v → v·8 + v div 4; 6 bits v → v·4 + v div 16.
    EXPECT_EQ(s.GetPixel(0, 0), static_cast<uint32_t>((17 * 8 + 4) << 16 | (33 * 4 + 2) << 8 | (8 + 0)));
    s.SetBitCount(15);
    EXPECT_EQ(s.GetPixel(0, 0), (17u << 10) | (16u << 5) | 1u);
    TDIBSurface p(2, 1, 4);
    p.SetPaletteEntry(5, 0x102030);
    p.SetPixel(1, 0, 5);
    p.SetBitCount(8);
    EXPECT_EQ(p.BitCount(), 8);
    EXPECT_EQ(p.GetPixel(1, 0), 5u);
    EXPECT_EQ(p.PaletteEntry(5), 0x102030u);
    p.SetBitCount(24);
    EXPECT_EQ(p.GetPixel(1, 0), 0x102030u);
}

TEST(PixelStoreConvert, ChangeBitCountWithoutDither)
{
    TDIBSurface s(1, 1, 16);
    s.SetPixel(0, 0, 0xFFFF);
    s.ChangeBitCount(32, 0, true);  // from 16 bits: shifted to the top, low bits 0, fourth byte 255
    EXPECT_EQ(s.GetPixel(0, 0), 0xFFF8FCF8u);
    TDIBSurface t(1, 1, 24);
    t.SetPixel(0, 0, 0xFFFFFF);
    t.ChangeBitCount(16, 0, false);
    EXPECT_EQ(t.GetPixel(0, 0), 0xFFFFu);
    // A wider palette keeps the old entries and fills the rest with black.
    TDIBSurface p(1, 1, 1);
    p.SetPaletteEntry(1, 0xFFFFFF);
    p.SetPaletteEntry(2, 0x123456);
    p.SetPixel(0, 0, 1);
    p.ChangeBitCount(8, 256, false);
    EXPECT_EQ(p.BitCount(), 8);
    EXPECT_EQ(p.GetPixel(0, 0), 1u);
    EXPECT_EQ(p.PaletteEntry(1), 0xFFFFFFu);
    EXPECT_EQ(p.PaletteEntry(2), 0u);
}

TEST(PixelStoreConvert, ReductionToAPaletteKeepsColoursInUse)
{
    TDIBSurface s(3, 1, 24);
    s.SetPixel(0, 0, 0x123456);
    s.SetPixel(1, 0, 0xABCDEF);
    s.SetPixel(2, 0, 0x123456);
    s.ChangeBitCount(4, 16, false);
    ASSERT_EQ(s.BitCount(), 4);
    EXPECT_EQ(s.PaletteEntry(static_cast<int>(s.GetPixel(0, 0))), 0x123456u);
    EXPECT_EQ(s.PaletteEntry(static_cast<int>(s.GetPixel(1, 0))), 0xABCDEFu);
    EXPECT_EQ(s.GetPixel(0, 0), s.GetPixel(2, 0));
}

TEST(PixelStoreConvert, FloydSteinbergTowards565)
{
    // Every channel 100. Row 0 left to right: red and blue 13, 12, 13 (errors −4, +2, −4);
    // row 1 right to left with the diffused errors: 12, 13, 12 from the right. Green 100 has
    // no dropped bits at 6 bits and stays 25 everywhere.
    TDIBSurface s(3, 2, 24);
    s.FillValue(s.Bounds(), 0x646464);
    s.ChangeBitCount(16, 0, true);
    const int expected[2][3] = {{13, 12, 13}, {12, 13, 12}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint32_t q = static_cast<uint32_t>(expected[y][x]);
            EXPECT_EQ(s.GetPixel(x, y), q << 11 | 25u << 5 | q) << x << "," << y;
        }
}

TEST(PixelStoreConvert, ResampleEdgeCases)
{
    TDIBSurface s(4, 4, 24);
    s.FillValue(s.Bounds(), 0x336699);
    s.Resample(0, 3, false, -1, true);  // degenerate: nothing
    s.Resample(3, -1, false, -1, false);
    EXPECT_EQ(s.Width(), 4);
    s.Resample(3, 2, false, -1, true);  // one colour stays one colour
    EXPECT_EQ(s.Width(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(s.GetPixel(x, y), 0x336699u);
    TDIBSurface c(2, 2, 24);
    c.SetPixel(0, 0, 0x000010);
    c.SetPixel(1, 0, 0x000020);
    c.SetPixel(0, 1, 0x000030);
    c.SetPixel(1, 1, 0x000040);
    c.Resample(4, 4, false, -1, true);
    EXPECT_EQ(c.GetPixel(0, 0), 0x000010u);
    EXPECT_EQ(c.GetPixel(3, 0), 0x000020u);
    EXPECT_EQ(c.GetPixel(0, 3), 0x000030u);
    EXPECT_EQ(c.GetPixel(3, 3), 0x000040u);
    // (1, 0): u = 0.25, fx 0.25, fy 0 (clamped row): 16 + 0.25 × 16 = 20.
    EXPECT_EQ(c.GetPixel(1, 0), 0x000014u);
}

// A 15- or 16-bit key with middle channel values must still match its own pixels once the
// store is widened to 24 bits for smoothing (channels widen by repeating their top bits).
TEST(PixelStoreConvert, SmoothResampleSkipsKeysOfSixteenAndFifteenBitStores)
{
    struct Case {
        int bits;
        uint32_t key;
        uint32_t other;
    };
    const Case cases[] = {
        {16, (10u << 11) | (20u << 5) | 15u, (31u << 11) | (63u << 5) | 31u},
        {15, (10u << 10) | (20u << 5) | 15u, (31u << 10) | (31u << 5) | 31u},
        {16, (1u << 11) | (1u << 5) | 1u, 0},
    };
    for (const Case& c : cases) {
        TDIBSurface s(2, 1, c.bits);
        s.SetPixel(0, 0, c.key);
        s.SetPixel(1, 0, c.other);
        TDIBSurface expected(1, 1, c.bits);
        expected.SetPixel(0, 0, c.other);
        expected.SetBitCount(24);
        s.Resample(1, 1, false, static_cast<int32_t>(c.key), true);
        EXPECT_EQ(s.GetPixel(0, 0), expected.GetPixel(0, 0)) << c.bits << " " << c.key;
    }
}

TEST(PixelStoreConvert, AreaAverageSkipsTheKey)
{
    TDIBSurface s(2, 1, 24);
    s.SetPixel(0, 0, 0x0000FF);  // the key
    s.SetPixel(1, 0, 0x101010);
    s.Resample(1, 1, false, 0x0000FF, true);
    EXPECT_EQ(s.GetPixel(0, 0), 0x101010u);
    TDIBSurface k(2, 2, 24);
    k.FillValue(k.Bounds(), 0x0000FF);
    k.Resample(1, 1, false, 0x0000FF, true);
    EXPECT_EQ(k.GetPixel(0, 0), 0x0000FFu);
    // The span ends 0.000001 short, so the right pixel weighs a little less than the left:
    // (3 + 4·0.999999) / 2 = 3.499998 → 3, (1 + 2·0.999999) / 2 → 1, (0 + 1·0.999999) / 2 → 0.
    TDIBSurface h(2, 1, 24);
    h.SetPixel(0, 0, 0x030100);
    h.SetPixel(1, 0, 0x040201);
    h.Resample(1, 1, false, -1, true);
    EXPECT_EQ(h.GetPixel(0, 0), 0x030100u);
}

TEST(PixelStoreConvert, ResampleKeepsPaletteAndAlpha)
{
    TDIBSurface s(4, 4, 8);
    s.SetPaletteEntry(1, 0xFF0000);
    s.FillValue(s.Bounds(), 1);
    s.MakeAlphaPlane();
    s.OpaqueAlphaPlane();
    s.Resample(2, 2, true, -1, true);
    EXPECT_EQ(s.BitCount(), 8);
    EXPECT_EQ(s.GetPixel(1, 1), 1u);
    ASSERT_TRUE(s.HasAlphaPlane());
    EXPECT_EQ(s.AlphaPlane()->Width(), 2);
    EXPECT_EQ(s.AlphaPlane()->GetPixel(1, 1), 255u);
    TDIBSurface t(4, 2, 32);
    t.Resample(8, 4, true, -1, false);
    EXPECT_EQ(t.BitCount(), 32);
    EXPECT_EQ(t.Width(), 8);
}

TEST(PixelStoreConvert, BoxBlur)
{
    // 3 × 1, radius 1: (10 + 20) / 2 = 15, (10 + 20 + 40) / 3 = 23, (20 + 40) / 2 = 30.
    TDIBSurface s(3, 1, 24);
    s.SetPixel(0, 0, 0x0A0A0A);
    s.SetPixel(1, 0, 0x141414);
    s.SetPixel(2, 0, 0x282828);
    TDIBSurface copy = s;
    s.Blur(24, -1);
    EXPECT_EQ(s.GetPixel(0, 0), 0x0F0F0Fu);
    EXPECT_EQ(s.GetPixel(1, 0), 0x171717u);
    EXPECT_EQ(s.GetPixel(2, 0), 0x1E1E1Eu);
    copy.Blur(8, 1);  // grey: (R + G + B) div count div 3
    EXPECT_EQ(copy.GetPixel(1, 0), (3u * 70 / 3) / 3);
    EXPECT_EQ(copy.PaletteEntry(255), 0xFFFFFFu);
    TDIBSurface same(2, 2, 16);
    same.Blur(16, 0);
    EXPECT_EQ(same.BitCount(), 16);
}

// The running sums against the square averaged pixel by pixel: every channel the floor of the
// sum over the square clipped to the image by its pixel count, for radii narrower and wider
// than the image, on random 32-bit pictures.
TEST(PixelStoreConvert, BoxBlurIsTheClippedSquareAverage)
{
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{40, 3}, std::pair{19, 23}})
        for (int radius : {1, 2, 3, 6, 25}) {
            TDIBSurface s(w, h, 32);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) s.SetPixel(x, y, next() & 0xFFFFFFu);
            TDIBSurface blurred = s;
            blurred.Blur(32, radius);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    uint32_t sums[3] = {0, 0, 0}, count = 0;
                    for (int v = std::max(0, y - radius); v <= std::min(h - 1, y + radius); ++v)
                        for (int u = std::max(0, x - radius); u <= std::min(w - 1, x + radius); ++u, ++count)
                            for (int c = 0; c < 3; ++c) sums[c] += (s.GetPixel(u, v) >> (8 * c)) & 0xFFu;
                    const uint32_t expected = sums[2] / count << 16 | sums[1] / count << 8 | sums[0] / count;
                    ASSERT_EQ(blurred.GetPixel(x, y) & 0xFFFFFFu, expected)
                        << w << "x" << h << " r" << radius << " at " << x << "," << y;
                }
        }
}
