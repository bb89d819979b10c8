// Pattern borders and masked pattern fills, checked against values worked out by hand from
// the blend formulas: alpha mask b = (a·m) >> 8, ((b·s + (255 − b)·d) >> 8); add mask
// min(M, d + ((b·s >> 8) AND M)).
#include "graphics/dibx.h"

#include <gtest/gtest.h>

#include <vector>

namespace mobu {
namespace {

std::vector<uint32_t> Row(TDIBX& surface, int y)
{
    std::vector<uint32_t> row;
    for (int x = 0; x < surface.Width(); ++x) row.push_back(surface.GetPixel(x, y));
    return row;
}

// 2 × 2 texture: 1 2 / 3 4.
void MakeTexture(TDIBX& texture)
{
    texture.SetSize(2, 2, 32);
    texture.SetPixel(0, 0, 1);
    texture.SetPixel(1, 0, 2);
    texture.SetPixel(0, 1, 3);
    texture.SetPixel(1, 1, 4);
}

TEST(SurfacePattern, FramePatternTilesTheBorderFromTheTopLeft)
{
    TDIBX texture, dst;
    MakeTexture(texture);
    dst.SetSize(7, 6, 32);
    dst.Clear(0);
    dst.FramePattern(TRect{1, 1, 6, 6}, 1, 0, 0, texture);
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Row(dst, 1), (std::vector<uint32_t>{0, 1, 2, 1, 2, 1, 0}));
    EXPECT_EQ(Row(dst, 2), (std::vector<uint32_t>{0, 3, 0, 0, 0, 3, 0}));
    EXPECT_EQ(Row(dst, 3), (std::vector<uint32_t>{0, 1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(Row(dst, 5), (std::vector<uint32_t>{0, 1, 2, 1, 2, 1, 0}));
}

TEST(SurfacePattern, FramePatternOffsetsAndNegativeOffsets)
{
    TDIBX texture, dst;
    MakeTexture(texture);
    dst.SetSize(4, 4, 32);
    dst.Clear(0);
    dst.FramePattern(TRect{0, 0, 4, 4}, 1, 1, -1, texture);
    // Column c shows texture column (c + 1) mod 2, row r texture row (r − 1) mod 2.
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{4, 3, 4, 3}));
    EXPECT_EQ(Row(dst, 1), (std::vector<uint32_t>{2, 0, 0, 1}));
    EXPECT_EQ(Row(dst, 3), (std::vector<uint32_t>{2, 1, 2, 1}));
}

TEST(SurfacePattern, FramePatternWideBorderDrawsOnlyTopAndBottom)
{
    TDIBX texture, dst;
    MakeTexture(texture);
    dst.SetSize(3, 5, 32);
    dst.Clear(9);
    // Height 3, border 2: top rows 0-1, bottom rows 1-2, no side strips.
    dst.FramePattern(TRect{0, 0, 3, 3}, 2, 0, 0, texture);
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{1, 2, 1}));
    EXPECT_EQ(Row(dst, 1), (std::vector<uint32_t>{3, 4, 3}));
    EXPECT_EQ(Row(dst, 2), (std::vector<uint32_t>{1, 2, 1}));
    EXPECT_EQ(Row(dst, 3), (std::vector<uint32_t>{9, 9, 9}));
    dst.FramePattern(TRect{0, 0, 3, 3}, 0, 0, 0, texture);  // no border
    EXPECT_EQ(Row(dst, 3), (std::vector<uint32_t>{9, 9, 9}));
}

struct TMaskCase {
    const char* name;
    int mode;
    int offset_x;
    std::vector<uint32_t> expected;
};

TEST(SurfacePattern, PatternFillMaskModes)
{
    // Texture columns 200 and 100 grey, mask 255 and 128 (mode 255 uses 255 and 0).
    const std::vector<TMaskCase> cases = {
        {"mode 0 draws nothing", 0, 0, {0x101010, 0x101010, 0x101010, 0x101010}},
        // b = 127: (127·200 + 128·16) >> 8 = 107; b = 64: (64·100 + 191·16) >> 8 = 36.
        {"alpha 128", 128, 0, {0x6B6B6B, 0x242424, 0x6B6B6B, 0x242424}},
        {"alpha 128 shifted", 128, 1, {0x242424, 0x6B6B6B, 0x242424, 0x6B6B6B}},
        // b = 99: 16 + (99·200 >> 8) = 93; b = 50: 16 + (50·100 >> 8) = 35.
        {"add 100", 356, 0, {0x5D5D5D, 0x232323, 0x5D5D5D, 0x232323}},
        // Amount capped at 255: b = 254: 16 + (254·200 >> 8) = 214; b = 127: 16 + 49 = 65.
        {"add capped", 256 + 900, 0, {0xD6D6D6, 0x414141, 0xD6D6D6, 0x414141}},
    };
    for (const TMaskCase& c : cases) {
        SCOPED_TRACE(c.name);
        TDIBX texture, mask, dst;
        texture.SetSize(2, 1, 32);
        texture.SetPixel(0, 0, 0xC8C8C8);
        texture.SetPixel(1, 0, 0x646464);
        mask.SetSize(2, 1, 8);
        mask.SetPixel(0, 0, 255);
        mask.SetPixel(1, 0, 128);
        dst.SetSize(4, 1, 32);
        dst.Clear(0x101010);
        dst.PatternFillMask(TRect{0, 0, 4, 1}, texture, c.offset_x, 0, false, false, c.mode, mask);
        EXPECT_EQ(Row(dst, 0), c.expected);
    }
}

TEST(SurfacePattern, PatternFillMaskCopyAndFlip)
{
    TDIBX texture, mask, dst;
    texture.SetSize(2, 1, 32);
    texture.SetPixel(0, 0, 0xC8C8C8);
    texture.SetPixel(1, 0, 0x646464);
    mask.SetSize(2, 1, 8);
    mask.SetPixel(0, 0, 255);
    mask.SetPixel(1, 0, 0);
    dst.SetSize(5, 1, 32);
    dst.Clear(0x101010);
    dst.PatternFillMask(TRect{0, 0, 4, 1}, texture, 0, 0, false, false, 255, mask);
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{0xC8C8C8, 0x101010, 0xC8C8C8, 0x101010, 0x101010}));
    dst.Clear(0x101010);
    dst.PatternFillMask(TRect{0, 0, 4, 1}, texture, 0, 0, true, false, 255, mask);
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{0x101010, 0xC8C8C8, 0x101010, 0xC8C8C8, 0x101010}));
}

}  // namespace
}  // namespace mobu
