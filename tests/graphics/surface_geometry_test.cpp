// Clipping, flips, stretching, rotation and tiling of memory surfaces, checked against plain
// per-pixel expectations.
#include "graphics/dibx.h"
#include "graphics/dibx_wave.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "graphics/kernels/surface_kernels.h"

namespace mobu {
namespace {

// A surface whose pixel (x, y) is a recognisable value.
void Number(TDIBX& s, int width, int height, int bits, uint32_t base = 0x00010000)
{
    s.SetSize(width, height, bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) s.SetPixel(x, y, bits == 32 ? base + static_cast<uint32_t>(y * 256 + x) : static_cast<uint32_t>(y * 32 + x + 1));
}

std::vector<uint32_t> Pixels(TDIBX& s)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) out.push_back(s.GetPixel(x, y));
    return out;
}

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

TEST(SurfaceClip, DrawCutOnEverySideWithAndWithoutFlips)
{
    TDIBX src;
    Number(src, 8, 7, 32);
    const TRect clips[] = {{1, 1, 5, 4}, {0, 0, 6, 5}, {2, 0, 3, 5}, {0, 3, 6, 4}};
    const TRect sources[] = {{0, 0, 8, 7}, {1, 2, 6, 5}, {-2, -1, 9, 9}, {6, 5, 12, 12}};
    for (const TRect& clip : clips)
        for (const TRect& s : sources)
            for (int flips = 0; flips < 4; ++flips)
                for (int x = -3; x <= 4; x += 1)
                    for (int y = -3; y <= 3; y += 3) {
                        bool hflip = flips & 1, vflip = flips & 2;
                        TDIBX dst;
                        dst.SetSize(6, 5, 32);
                        dst.Clear(0x00ABCDEF);
                        dst.ResetClip();
                        dst.IncludeClip(clip);
                        dst.Draw(x, y, src, s, false, hflip, vflip);
                        for (int dy = 0; dy < 5; ++dy)
                            for (int dx = 0; dx < 6; ++dx) {
                                uint32_t expected = 0x00ABCDEF;
                                int i = dx - x, j = dy - y;
                                if (Inside(clip, dx, dy) && i >= 0 && j >= 0 && i < s.Width() && j < s.Height()) {
                                    int column = hflip ? s.Right - 1 - i : s.Left + i;
                                    int row = vflip ? s.Bottom - 1 - j : s.Top + j;
                                    if (Inside(src.SurfaceRect(), column, row)) expected = src.GetPixel(column, row);
                                }
                                ASSERT_EQ(dst.GetPixel(dx, dy), expected)
                                    << "pixel " << dx << "," << dy << " clip " << clip.Left << "," << clip.Top << ","
                                    << clip.Right << "," << clip.Bottom << " src " << s.Left << "," << s.Top
                                    << " at " << x << "," << y << " flips " << flips;
                            }
                    }
}

TEST(SurfaceClip, MaskSmallerThanSourceLimitsTheDrawing)
{
    TDIBX src, mask, dst;
    Number(src, 8, 8, 32);
    mask.SetSize(3, 2, 8);
    mask.Clear(255);
    dst.SetSize(8, 8, 32);
    dst.Clear(0);
    dst.DrawMask(0, 0, src, src.SurfaceRect(), false, false, mask);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.GetPixel(x, y), x < 3 && y < 2 ? src.GetPixel(x, y) : 0u);
}

TEST(SurfaceClip, IncludeClipGrowsAndIgnoresOutsideRectangles)
{
    TDIBX s;
    s.SetSize(10, 10, 32);
    s.IncludeClip(TRect{20, 20, 30, 30});
    EXPECT_EQ(s.ClipRect.Right, 0);
    EXPECT_EQ(s.GetClipRect(), (TRect{0, 0, 10, 10}));
    s.IncludeClip(TRect{-5, 2, 3, 4});
    EXPECT_EQ(s.GetClipRect(), (TRect{0, 2, 3, 4}));
    s.IncludeClip(TRect{6, 7, 8, 9});
    EXPECT_EQ(s.GetClipRect(), (TRect{0, 2, 8, 9}));
    s.ResetClip();
    s.IncludeClip(TRect{4, 4, 5, 5});
    EXPECT_EQ(s.GetClipRect(), (TRect{4, 4, 5, 5}));
    // A clip stored unclamped never lets drawing leave the surface.
    s.SetClipRect(TRect{-100, -100, 100, 100});
    s.FillRect(TRect{-50, -50, 50, 50}, 0x123456);
    EXPECT_EQ(s.GetPixel(9, 9), 0x123456u);
}

TEST(SurfaceColour, ColorToPixelPacksRedFromTheLowByte)
{
    TDIBX s;
    s.SetSize(1, 1, 32);
    EXPECT_EQ(s.ColorToPixel(0x00332211), 0x00112233);
    EXPECT_EQ(s.ColorToPixel(-1), -1);
    s.SetSize(1, 1, 16);
    EXPECT_EQ(s.ColorToPixel(0x000000FF), 0xF800);
    EXPECT_EQ(s.ColorToPixel(0x0000FF00), 0x07E0);
    EXPECT_EQ(s.ColorToPixel(0x00FF0000), 0x001F);
    s.SetSize(1, 1, 15);
    EXPECT_EQ(s.ColorToPixel(0x00FFFFFF), 0x7FFF);
    EXPECT_EQ(s.ColorToPixel(0x0000F800), 0x03E0);
    s.SetSize(1, 1, 8);
    EXPECT_EQ(s.ColorToPixel(0x00000042), 0x42);
}

TEST(SurfaceFill, FrameRectDrawsOnlyTopAndBottomWhenTheBorderIsThick)
{
    TDIBX s;
    s.SetSize(6, 6, 32);
    s.Clear(0);
    s.FrameRect(TRect{0, 0, 6, 4}, 2, 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(s.GetPixel(x, y), y < 4 ? 1u : 0u);
    s.Clear(0);
    s.FrameRect(TRect{0, 0, 6, 6}, 1, 1);
    EXPECT_EQ(s.GetPixel(0, 3), 1u);
    EXPECT_EQ(s.GetPixel(5, 3), 1u);
    EXPECT_EQ(s.GetPixel(3, 3), 0u);
}

TEST(SurfaceStretch, NearestNeighbourColumnsAndClippedStartFraction)
{
    TDIBX src, dst;
    Number(src, 2, 2, 32);
    dst.SetSize(8, 8, 32);
    dst.Clear(0);
    // 2 -> 3 columns: steps of floor(2/3 · 65536) sample columns 0, 0, 1.
    dst.StretchDrawAlpha(TRect{0, 0, 3, 3}, src, src.SurfaceRect(), false, false, false, 255);
    EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(1, 0), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(2, 0), src.GetPixel(1, 0));
    EXPECT_EQ(dst.GetPixel(2, 2), src.GetPixel(1, 1));
    // The same with the first column clipped away samples the same source columns.
    dst.Clear(0);
    dst.IncludeClip(TRect{1, 0, 8, 8});
    dst.StretchDrawAlpha(TRect{0, 0, 3, 3}, src, src.SurfaceRect(), false, false, false, 255);
    EXPECT_EQ(dst.GetPixel(0, 0), 0u);
    EXPECT_EQ(dst.GetPixel(1, 0), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(2, 0), src.GetPixel(1, 0));
    // Flipped: from the far edge backwards.
    dst.ResetClip();
    dst.Clear(0);
    dst.StretchDrawAlpha(TRect{0, 0, 4, 2}, src, src.SurfaceRect(), false, true, false, 255);
    EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(1, 0));
    EXPECT_EQ(dst.GetPixel(1, 0), src.GetPixel(1, 0));
    EXPECT_EQ(dst.GetPixel(2, 0), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(3, 1), src.GetPixel(0, 1));
}

TEST(SurfaceStretch, SpansWiderThan1280AreDrawnWhole)
{
    TDIBX src, dst;
    Number(src, 3, 1, 32);
    dst.SetSize(3000, 1, 32);
    dst.Clear(0);
    dst.StretchDrawAlpha(TRect{0, 0, 3000, 1}, src, src.SurfaceRect(), false, false, false, 255);
    EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(1500, 0), src.GetPixel(1, 0));
    EXPECT_EQ(dst.GetPixel(2999, 0), src.GetPixel(2, 0));
}

TEST(SurfaceStretch, HugeDestinationsOnlyWorkOnTheVisiblePart)
{
    TDIBX src, dst;
    Number(src, 4, 4, 32);
    dst.SetSize(16, 16, 32);
    dst.Clear(0);
    auto start = std::chrono::steady_clock::now();
    dst.StretchDrawAlpha(TRect{-1000000000, -1000000000, 1000000000, 1000000000}, src, src.SurfaceRect(), false,
                         false, false, 255);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Each source pixel covers 500 million destination pixels; the visible ones are all (2, 2).
    EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(2, 2));
    EXPECT_EQ(dst.GetPixel(15, 15), src.GetPixel(2, 2));
}

TEST(SurfaceRotate, QuarterAndHalfTurnsAndDoubleZoom)
{
    TDIBX src;
    Number(src, 3, 2, 32);
    for (int angle : {64, 128}) {
        TDIBX dst;
        dst.SetSize(12, 12, 32);
        dst.Clear(0);
        dst.DrawRotate(5, 5, 256, 256, src, src.SurfaceRect(), 0, 0, angle, false, false, false, 255);
        int drawn = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                if (dst.GetPixel(x, y) != 0) ++drawn;
        EXPECT_EQ(drawn, 6) << "angle " << angle;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 3; ++i) {
                // Quarter turn: (i, j) lands on (5 − j, 5 + i); half turn on (5 − i, 5 − j).
                int x = angle == 64 ? 5 - j : 5 - i, y = angle == 64 ? 5 + i : 5 - j;
                EXPECT_EQ(dst.GetPixel(x, y), src.GetPixel(i, j)) << "angle " << angle << " source " << i << "," << j;
            }
    }
    TDIBX dst;
    dst.SetSize(8, 8, 32);
    dst.Clear(0);
    dst.DrawRotate(1, 1, 512, 512, src, src.SurfaceRect(), 0, 0, 0, false, false, false, 255);
    EXPECT_EQ(dst.GetPixel(1, 1), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(2, 2), src.GetPixel(0, 0));
    EXPECT_EQ(dst.GetPixel(6, 4), src.GetPixel(2, 1));
    EXPECT_EQ(dst.GetPixel(7, 1), 0u);
    EXPECT_EQ(dst.GetPixel(1, 5), 0u);
    // Zero and negative zooms draw nothing.
    dst.Clear(0);
    dst.DrawRotate(1, 1, 0, 256, src, src.SurfaceRect(), 0, 0, 0, false, false, false, 255);
    dst.DrawRotate(1, 1, 256, -1, src, src.SurfaceRect(), 0, 0, 0, false, false, false, 255);
    EXPECT_EQ(Pixels(dst), std::vector<uint32_t>(64, 0));
}

TEST(SurfaceRotate, FlipsMirrorInsideTheSourceRectangle)
{
    TDIBX src, dst;
    Number(src, 4, 3, 32);
    dst.SetSize(8, 8, 32);
    dst.Clear(0);
    dst.DrawRotate(0, 0, 256, 256, src, TRect{1, 0, 4, 3}, 1, 0, 0, false, true, true, 255);
    // Column 1 + i shows column 3 − i, row j shows row 2 − j.
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) EXPECT_EQ(dst.GetPixel(i, j), src.GetPixel(3 - i, 2 - j));
}

TEST(SurfaceTile, TilesFromTheWrappedOffsetAndDegenerateGapsDoNothing)
{
    TDIBX src, dst;
    Number(src, 2, 1, 32);
    dst.SetSize(7, 1, 32);
    dst.Clear(0);
    dst.TileDraw(TRect{0, 0, 7, 1}, 1, 0, src, src.SurfaceRect(), false, -1, 0);
    // Offset −1 wraps to 1: the first tile starts one pixel left of the rectangle; tiles
    // every 3 pixels (2 wide, gap 1).
    const uint32_t a = src.GetPixel(0, 0), b = src.GetPixel(1, 0);
    EXPECT_EQ(Pixels(dst), (std::vector<uint32_t>{b, 0, a, b, 0, a, b}));
    dst.Clear(0);
    for (int gap : {-2, -3, -1000000})
        dst.TileDraw(TRect{0, 0, 7, 1}, gap, 0, src, src.SurfaceRect(), false, 0, 0);
    dst.TileDraw(TRect{0, 0, 7, 1}, 0, 0, src, TRect{0, 0, 0, 1}, false, 0, 0);
    dst.TileStretchDraw(TRect{0, 0, 7, 1}, -600, 0, src, src.SurfaceRect(), false, 0, 0, 256, false, 255);
    EXPECT_EQ(Pixels(dst), std::vector<uint32_t>(7, 0));
    // The clip is restored afterwards.
    EXPECT_EQ(dst.ClipRect.Right, 0);
}

TEST(SurfaceFormats, DrawingBetween16And32BitsConvertsChannels)
{
    TDIBX src16, dst32, back16;
    src16.SetSize(20, 1, 16);
    src16.Clear(0xF81F);  // red 31, green 0, blue 31
    dst32.SetSize(20, 1, 32);
    dst32.Clear(0);
    dst32.Draw(0, 0, src16, src16.SurfaceRect(), false, false, false);
    EXPECT_EQ(dst32.GetPixel(19, 0), 0x00FF00FFu);
    back16.SetSize(20, 1, 15);
    back16.Draw(0, 0, dst32, dst32.SurfaceRect(), false, false, false);
    EXPECT_EQ(back16.GetPixel(3, 0), 0x7C1Fu);
    // SetBitCount converts the pixels in place.
    dst32.SetBitCount(16);
    EXPECT_EQ(dst32.BitCount(), 16);
    EXPECT_EQ(dst32.GetPixel(5, 0), 0xF81Fu);
}

// Every operation through the surfaces at each kernel level, over random images and a set of
// clip rectangles that cut every edge: the packed paths must give the scalar pixels.
TEST(SurfaceKernels, EveryLevelGivesTheScalarImage)
{
    std::mt19937 random(99);
    auto randomise = [&](TDIBX& s, int w, int h, int bits) {
        s.SetSize(w, h, bits);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t v = random();
                if (random() % 5 == 0) v = 0x00FF00FF;
                s.SetPixel(x, y, bits == 8 ? v & 0xFF : bits == 32 ? v : v & 0xFFFF);
            }
    };
    const TRect clips[] = {{0, 0, 0, 0}, {1, 2, 36, 27}, {5, 1, 6, 30}, {3, 3, 40, 4}};
    for (int bits : {32, 16, 15}) {
        TDIBX src, mask, base;
        randomise(src, 37, 23, bits);
        randomise(mask, 37, 23, 8);
        randomise(base, 41, 31, bits);
        src.TransparentColor = bits == 32 ? 0x00FF00FF : 0x00FF;
        std::vector<std::vector<uint32_t>> results;
        for (auto level : {kernels::TKernelLevel::Scalar, kernels::TKernelLevel::Sse2, kernels::TKernelLevel::Avx2}) {
            kernels::ForceKernelLevel(level);
            std::vector<uint32_t> all;
            for (const TRect& clip : clips) {
                TDIBX dst;
                dst.SetSize(41, 31, bits);
                dst.Draw(0, 0, base, base.SurfaceRect(), false, false, false);
                dst.ResetClip();
                if (clip.Right) dst.IncludeClip(clip);
                TRect s{2, 1, 35, 22};
                dst.DrawAlpha(-3, 4, src, s, true, true, false, 77);
                dst.DrawAdd(6, -2, src, s, false, false, true, 200);
                dst.DrawMask(1, 1, src, s, false, false, mask);
                dst.DrawAlphaMask(9, 3, src, s, true, true, mask, 180);
                dst.DrawAddMask(-5, 8, src, s, false, false, mask, 99);
                dst.Draw(12, 12, src, s, true, false, false);
                dst.FillRectAlpha(TRect{3, 2, 30, 20}, 0x1234, 66);
                dst.FillRectAdd(TRect{-3, 9, 50, 13}, 0x00102030);
                dst.FillRectSub(TRect{0, 15, 17, 40}, 0x00302010);
                dst.DrawColorMask(4, 5, mask, TRect{0, 0, 37, 23}, true, false, 0x00ABCDEF, 140);
                dst.StretchDrawAlpha(TRect{-7, 3, 50, 29}, src, s, true, true, false, 150);
                dst.StretchDrawAdd(TRect{2, 2, 20, 40}, src, s, false, false, true, 130);
                dst.DrawRotate(20, 15, 300, 200, src, s, 10, 8, 37, true, false, true, 201);
                dst.DrawRotate(20, 15, 256, 256, src, s, 10, 8, 90, false, true, false, 255);
                dst.DrawRotateMask(10, 12, 400, 400, src, s, 3, 3, 200, false, false, mask, 100);
                std::vector<uint32_t> pixels = Pixels(dst);
                all.insert(all.end(), pixels.begin(), pixels.end());
            }
            results.push_back(all);
        }
        kernels::ForceKernelLevel(kernels::BestKernelLevel());
        EXPECT_EQ(results[0], results[1]) << bits << " bits: SSE2 differs";
        EXPECT_EQ(results[0], results[2]) << bits << " bits: AVX2 differs";
    }
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

// 16.16 source coordinates of images wider than 32767 pixels do not fit in 32 bits.
TEST(SurfaceLargeImages, StretchAndRotationOfVeryWideSourcesSampleTheRightColumns)
{
    TDIBX wide, dst;
    wide.SetSize(70000, 1, 32);
    for (int x = 0; x < 70000; ++x) wide.SetPixel(x, 0, static_cast<uint32_t>(x));
    dst.SetSize(20000, 1, 32);
    dst.Clear(0xFFFFFFFF);
    // Halving: destination column i samples source column 2i.
    dst.StretchDrawAlpha(TRect{0, 0, 35000, 1}, wide, wide.SurfaceRect(), false, false, false, 255);
    EXPECT_EQ(dst.GetPixel(19999, 0), 39998u);
    EXPECT_EQ(dst.GetPixel(12345, 0), 24690u);
    // No turn, no zoom: pivot 65000 lands on destination column 100.
    dst.Clear(0xFFFFFFFF);
    dst.DrawRotate(100, 0, 256, 256, wide, wide.SurfaceRect(), 65000, 0, 0, false, false, false, 255);
    EXPECT_EQ(dst.GetPixel(100, 0), 65000u);
    EXPECT_EQ(dst.GetPixel(5099, 0), 69999u);
    EXPECT_EQ(dst.GetPixel(5100, 0), 0xFFFFFFFFu);
    EXPECT_EQ(dst.GetPixel(0, 0), 64900u);
}

// 24-bit and 8-bit surfaces go through the per-pixel path with the same formulas.
TEST(SurfaceFormats, TwentyFourAndEightBitBlendsFollowTheFormulas)
{
    TDIBX src, dst;
    src.SetSize(3, 1, 24);
    dst.SetSize(3, 1, 24);
    src.Clear(0xC86432);
    dst.Clear(0x102030);
    dst.DrawAlpha(0, 0, src, src.SurfaceRect(), false, false, false, 254);
    EXPECT_EQ(dst.GetPixel(2, 0), 0xC66331u);
    dst.FillRectSub(TRect{0, 0, 3, 1}, 0x203040);
    // (198, 99, 49) − (32, 48, 64) per channel, blue stopping at 0.
    EXPECT_EQ(dst.GetPixel(0, 0), 0xA63300u);
    TDIBX mask8, other8;
    mask8.SetSize(4, 1, 8);
    other8.SetSize(4, 1, 8);
    mask8.Clear(200);
    other8.Clear(100);
    // 8-bit additive copies add the raw values and saturate.
    mask8.DrawAdd(0, 0, other8, other8.SurfaceRect(), false, false, false, 10);
    EXPECT_EQ(mask8.GetPixel(3, 0), 255u);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(SurfaceCoverage, MonoCoverageMixesByTheInkCountOfEachBlock)
{
    // An 8 × 4 glyph at factor 4: the left block has 4 ink samples of 16, the right 16.
    TDIBX glyph, dst;
    glyph.SetSize(8, 4, 1);
    glyph.Clear(1);  // all paper
    for (int y = 0; y < 4; ++y) glyph.SetPixel(y, y, 0);  // diagonal ink in the left block
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) glyph.SetPixel(x, y, 0);
    dst.SetSize(3, 1, 32);
    dst.Clear(0x00000000);
    dst.DrawMonoCoverage(0, 0, glyph, glyph.SurfaceRect(), 0x00F0F0F0, false, false, 255, 4);
    // (0xF0 · 4 + 0 · 12) >> 4 = 0x3C; a full block is the colour; the third pixel is outside.
    EXPECT_EQ(dst.GetPixel(0, 0), 0x003C3C3Cu);
    EXPECT_EQ(dst.GetPixel(1, 0), 0x00F0F0F0u);
    EXPECT_EQ(dst.GetPixel(2, 0), 0u);
    // Flipped, the blocks swap places.
    dst.Clear(0);
    dst.DrawMonoCoverage(0, 0, glyph, glyph.SurfaceRect(), 0x00F0F0F0, true, false, 255, 4);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00F0F0F0u);
    EXPECT_EQ(dst.GetPixel(1, 0), 0x003C3C3Cu);
}

TEST(SurfaceCoverage, TriColorStoresSolidBlocksAndWeightsMixedOnes)
{
    TDIBX glyph, dst;
    glyph.SetSize(4, 2, 4);
    glyph.Clear(1);  // body everywhere
    glyph.SetPixel(2, 0, 3);
    glyph.SetPixel(3, 0, 0);
    glyph.SetPixel(2, 1, 0);
    glyph.SetPixel(3, 1, 0);
    dst.SetSize(2, 1, 32);
    dst.Clear(0x00000040);
    dst.DrawTriColorCoverage(0, 0, glyph, glyph.SurfaceRect(), 0x00800000, 0x00008000, 0x000000FF, false, false, 255,
                             2);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00800000u);
    // One shadow sample of four: blue (0xFF · 256 + 0x40 · 768) / 1024 = 0x6F.
    EXPECT_EQ(dst.GetPixel(1, 0), 0x0000006Fu);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(SurfaceWave, RowsAreDisplacedByTheirTableEntryAndTheClipIsRestored)
{
    TDIBX target, src;
    target.SetSize(10, 6, 32);
    target.Clear(0);
    Number(src, 4, 4, 32);
    TDIBXWave wave(&target);
    wave.SetOrigin(2, 1);
    wave.SetSize(6, 4, 32);
    wave.SetDisplacement(0, 0);
    wave.SetDisplacement(1, 1);
    wave.SetDisplacement(2, 1);
    wave.SetDisplacement(3, -2);
    target.IncludeClip(TRect{0, 0, 10, 6});
    wave.Draw(3, 1, src, src.SurfaceRect(), false, false, false);
    EXPECT_EQ(target.ClipRect, (TRect{0, 0, 10, 6}));
    // Region rows 1..4 of the target: source row j drawn at x = 3 + shift.
    const int shifts[4] = {0, 1, 1, -2};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(target.GetPixel(3 + shifts[j] + i, 1 + j), src.GetPixel(i, j)) << i << "," << j;
    EXPECT_EQ(target.GetPixel(3, 0), 0u);
    EXPECT_EQ(target.GetPixel(3, 5), 0u);
    EXPECT_EQ(target.GetPixel(2, 1), 0u);
    // Rows outside the table are not drawn.
    target.Clear(0);
    wave.FillRect(TRect{0, 0, 10, 6}, 7);
    EXPECT_EQ(target.GetPixel(5, 0), 0u);
    EXPECT_EQ(target.GetPixel(5, 1), 7u);
    EXPECT_EQ(target.GetPixel(5, 5), 0u);
    EXPECT_EQ(wave.BitCount(), 32);
    EXPECT_EQ(wave.ColorToPixel(0x000000FF), 0x00FF0000);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(SurfaceIndexed, FourBitImagesThroughTheTableSkipTheTransparentIndex)
{
    TDIBX image, dst;
    image.SetSize(4, 1, 4);
    for (int x = 0; x < 4; ++x) image.SetPixel(x, 0, static_cast<uint32_t>(x));
    image.TransparentColor = 0;
    uint32_t table[16] = {0x00111111, 0x00202020, 0x00404040, 0x00808080};
    dst.SetSize(4, 1, 32);
    dst.Clear(0x00010101);
    dst.DrawIndexed4(0, 0, image, image.SurfaceRect(), false, false, 255, table);
    EXPECT_EQ(Pixels(dst), (std::vector<uint32_t>{0x00010101, 0x00202020, 0x00404040, 0x00808080}));
    // Flipped, and added at amount 128 (alpha 256 + 128): d + (128 · c) >> 8.
    dst.Clear(0x00010101);
    dst.DrawIndexed4(0, 0, image, image.SurfaceRect(), true, false, 256 + 128, table);
    EXPECT_EQ(Pixels(dst), (std::vector<uint32_t>{0x00414141, 0x00212121, 0x00111111, 0x00010101}));
    // Blended at 128: (128 · 0x20 + 127 · 1) >> 8 = 0x10.
    dst.Clear(0x00010101);
    dst.DrawIndexed4(0, 0, image, image.SurfaceRect(), false, false, 128, table);
    EXPECT_EQ(dst.GetPixel(1, 0), 0x00101010u);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00010101u);
}

TEST(SurfaceIndexed, EightBitAdditiveSkipsIndexesUpToTheThreshold)
{
    TDIBX image, dst;
    image.SetSize(3, 1, 8);
    image.SetPixel(0, 0, 1);
    image.SetPixel(1, 0, 2);
    image.SetPixel(2, 0, 3);
    image.TransparentColor = 2;
    uint32_t table[256] = {};
    table[1] = table[2] = table[3] = 0x00FF8040;
    dst.SetSize(3, 1, 32);
    dst.Clear(0x00F00000);
    dst.DrawIndexedAdd(0, 0, image, image.SurfaceRect(), false, false, 256, table);
    // Amount 256 adds the whole entry; red saturates.
    EXPECT_EQ(Pixels(dst), (std::vector<uint32_t>{0x00F00000, 0x00F00000, 0x00FF8040}));
}

}  // namespace
}  // namespace mobu
