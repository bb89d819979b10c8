// Stretched indexed drawing and the glyph mask's source rectangle rule, with values worked
// out by hand: copies take the table entry, adds min(M, d + ((a·s >> 8) AND M)).
#include "graphics/dibx.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace mobu {
namespace {

std::vector<uint32_t> Row(TDIBX& surface, int y)
{
    std::vector<uint32_t> row;
    for (int x = 0; x < surface.Width(); ++x) row.push_back(surface.GetPixel(x, y));
    return row;
}

constexpr uint32_t kA = 0x00AA0000, kB = 0x0000BB00, kBack = 0x00101010;

// 4-bit source of 2 × 1: indexes 1 and 2 (one byte 0x12).
void MakeNibbleSource(TDIBX& source)
{
    source.SetSize(2, 1, 4);
    source.SetPixel(0, 0, 1);
    source.SetPixel(1, 0, 2);
}

std::array<uint32_t, 16> NibbleTable()
{
    std::array<uint32_t, 16> table{};
    table[1] = kA;
    table[2] = kB;
    return table;
}

TEST(SurfaceIndexedStretch, FourBitSourceDoubled)
{
    struct TCase {
        const char* name;
        int key;
        bool hflip;
        TRect clip;
        std::vector<uint32_t> row;
    };
    const std::vector<TCase> cases = {
        {"copy", -1, false, {}, {kA, kA, kB, kB, kBack}},
        {"flipped", -1, true, {}, {kB, kB, kA, kA, kBack}},
        {"transparent index skipped", 2, false, {}, {kA, kA, kBack, kBack, kBack}},
        {"clipped on the left keeps sampling", -1, false, {1, 0, 5, 2}, {kBack, kA, kB, kB, kBack}},
        {"clipped and flipped", -1, true, {0, 0, 3, 2}, {kB, kB, kA, kBack, kBack}},
    };
    const auto table = NibbleTable();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TDIBX source, dst;
        MakeNibbleSource(source);
        source.TransparentColor = c.key;
        dst.SetSize(5, 2, 32);
        dst.Clear(kBack);
        if (c.clip.Right) dst.IncludeClip(c.clip);
        dst.StretchDrawIndexed(TRect{0, 0, 4, 2}, source, TRect{0, 0, 2, 1}, c.hflip, false, 255, table);
        EXPECT_EQ(Row(dst, 0), c.row);
        EXPECT_EQ(Row(dst, 1), c.row);
    }
}

TEST(SurfaceIndexedStretch, FourBitAlphaAndShortTable)
{
    TDIBX source, dst;
    MakeNibbleSource(source);
    dst.SetSize(2, 1, 32);
    dst.Clear(kBack);
    const auto table = NibbleTable();
    // (128·0xAA + 127·0x10) >> 8 = 0x5C; (127·0x10) >> 8 = 0x07 for the empty channels.
    dst.StretchDrawIndexed(TRect{0, 0, 1, 1}, source, TRect{0, 0, 1, 1}, false, false, 128, table);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x005C0707u);
    dst.StretchDrawIndexed(TRect{1, 0, 2, 1}, source, TRect{0, 0, 1, 1}, false, false, 255,
                           std::span<const uint32_t>(table.data(), 15));
    EXPECT_EQ(dst.GetPixel(1, 0), kBack);
    dst.StretchDrawIndexed(TRect{1, 0, 2, 1}, source, TRect{0, 0, 1, 1}, false, false, 0, table);
    EXPECT_EQ(dst.GetPixel(1, 0), kBack);
}

TEST(SurfaceIndexedStretch, EightBitSourceAdds)
{
    TDIBX source, dst;
    source.SetSize(2, 1, 8);
    source.SetPixel(0, 0, 5);
    source.SetPixel(1, 0, 0);
    std::array<uint32_t, 256> table{};
    table[5] = 0x00204080;
    table[0] = 0x00010101;
    dst.SetSize(4, 1, 32);
    dst.Clear(kBack);
    // Amount 256 adds the entries whole; index 0 is above the default key of -1.
    dst.StretchDrawIndexed(TRect{0, 0, 4, 1}, source, TRect{0, 0, 2, 1}, false, false, 256, table);
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{0x00305090, 0x00305090, 0x00111111, 0x00111111}));
    // Amount 128 halves them: 0x10 + 0x40, 0x10 + 0x20, 0x10 + 0x10; index 0 not above key 0.
    dst.Clear(kBack);
    source.TransparentColor = 0;
    dst.StretchDrawIndexed(TRect{0, 0, 4, 1}, source, TRect{0, 0, 2, 1}, false, false, 128, table);
    EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{0x00203050, 0x00203050, kBack, kBack}));
}

TEST(SurfaceColorMask, SourceRectangleOutsideTheMaskDrawsNothing)
{
    TDIBX mask, dst;
    mask.SetSize(4, 4, 8);
    mask.Clear(255);
    dst.SetSize(4, 4, 32);
    for (TRect outside : {TRect{-1, 0, 2, 2}, TRect{0, -1, 2, 2}, TRect{0, 0, 5, 1}, TRect{2, 2, 4, 5}}) {
        dst.Clear(0);
        dst.DrawColorMask(0, 0, mask, outside, false, false, 0x00ABCDEF, 255);
        EXPECT_EQ(Row(dst, 0), (std::vector<uint32_t>{0, 0, 0, 0}));
    }
    dst.Clear(0);
    // b = 255: (255·c) >> 8 is c − 1 per channel.
    dst.DrawColorMask(1, 1, mask, TRect{2, 2, 4, 4}, false, false, 0x00ABCDEF, 255);
    EXPECT_EQ(Row(dst, 1), (std::vector<uint32_t>{0, 0x00AACCEE, 0x00AACCEE, 0}));
    EXPECT_EQ(Row(dst, 3), (std::vector<uint32_t>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace mobu
