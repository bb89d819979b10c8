// Core of the pixel store: layout, formats, pixel access, sharing, alpha plane, values.
#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "graphics/dib_surface.h"

using namespace mobu;

TEST(PixelStoreCore, RowsArePaddedAndBottomUp)
{
    struct Case { int bits; int width; size_t row_bytes; int bit_count; };
    const Case cases[] = {{1, 9, 4, 1}, {4, 9, 8, 4}, {8, 5, 8, 8}, {15, 3, 8, 15}, {16, 3, 8, 16},
                          {24, 3, 12, 24}, {24, 5, 16, 24}, {32, 3, 12, 32}};
    for (const Case& c : cases) {
        TDIBSurface s(c.width, 2, c.bits);
        EXPECT_EQ(s.RowBytes(), c.row_bytes) << c.bits;
        EXPECT_EQ(s.BitCount(), c.bit_count) << c.bits;
        EXPECT_EQ(s.Pitch(), -static_cast<ptrdiff_t>(c.row_bytes));
        // Image row 0 is the last row in memory.
        EXPECT_EQ(s.ScanLine(0), s.Bits() + c.row_bytes);
        EXPECT_EQ(s.ScanLine(1), s.Bits());
    }
}

TEST(PixelStoreCore, FormatsAndMasks)
{
    TDIBSurface s15(1, 1, 15), s16(1, 1, 16), s32(1, 1, 32);
    EXPECT_EQ(s15.StoreBitCount(), 16);
    EXPECT_EQ(s15.RedMask(), 0x7C00u);
    EXPECT_EQ(s15.GreenMask(), 0x03E0u);
    EXPECT_EQ(s16.RedMask(), 0xF800u);
    EXPECT_EQ(s16.GreenMask(), 0x07E0u);
    EXPECT_EQ(s32.RedMask(), 0xFF0000u);
    EXPECT_EQ(s32.BlueMask(), 0xFFu);
}

TEST(PixelStoreCore, PixelPackingOfSmallBitCounts)
{
    TDIBSurface s1(10, 1, 1);
    s1.SetPixel(0, 0, 1);
    s1.SetPixel(9, 0, 1);
    EXPECT_EQ(s1.ScanLine(0)[0], 0x80);
    EXPECT_EQ(s1.ScanLine(0)[1], 0x40);
    TDIBSurface s4(3, 1, 4);
    s4.SetPixel(0, 0, 0xA);
    s4.SetPixel(1, 0, 0x5);
    s4.SetPixel(2, 0, 0xF);
    EXPECT_EQ(s4.ScanLine(0)[0], 0xA5);
    EXPECT_EQ(s4.ScanLine(0)[1], 0xF0);
    EXPECT_EQ(s4.GetPixel(1, 0), 5u);
    TDIBSurface s24(2, 1, 24);
    s24.SetPixel(1, 0, 0x112233);
    EXPECT_EQ(s24.ScanLine(0)[3], 0x33);
    EXPECT_EQ(s24.ScanLine(0)[5], 0x11);
    EXPECT_EQ(s24.GetPixel(1, 0), 0x112233u);
    EXPECT_EQ(s24.GetPixel(5, 0), 0u);  // outside
}

TEST(PixelStoreCore, CopiesShareUntilChanged)
{
    TDIBSurface a(4, 4, 32);
    a.SetPixel(1, 1, 7);
    TDIBSurface b = a;
    EXPECT_TRUE(a.IsShared());
    b.SetPixel(1, 1, 9);
    EXPECT_FALSE(a.IsShared());
    EXPECT_EQ(a.GetPixel(1, 1), 7u);
    EXPECT_EQ(b.GetPixel(1, 1), 9u);
}

TEST(PixelStoreCore, CompressedPixelsExpandOnAccess)
{
    TDIBSurface a(64, 64, 24);
    a.SetPixel(63, 63, 0xABCDEF);
    a.Compress();
    EXPECT_TRUE(a.IsCompressed());
    TDIBSurface b = a;
    EXPECT_EQ(b.GetPixel(63, 63), 0xABCDEFu);
    EXPECT_FALSE(a.IsCompressed());
    EXPECT_EQ(a.GetPixel(63, 63), 0xABCDEFu);
}

TEST(PixelStoreCore, AlphaPlaneFollowsSizeAndCopies)
{
    TDIBSurface a(3, 2, 24);
    a.MakeAlphaPlane();
    ASSERT_TRUE(a.HasAlphaPlane());
    EXPECT_EQ(a.AlphaPlane()->GetPixel(2, 1), 0u);
    a.OpaqueAlphaPlane();
    EXPECT_EQ(a.AlphaPlane()->GetPixel(2, 1), 255u);
    TDIBSurface b = a;
    b.AlphaPlane()->SetPixel(0, 0, 5);
    EXPECT_EQ(a.AlphaPlane()->GetPixel(0, 0), 255u);
    a.SetSize(5, 5, 24);
    EXPECT_EQ(a.AlphaPlane()->Width(), 5);
    a.Clear();
    EXPECT_FALSE(a.HasAlphaPlane());
    EXPECT_TRUE(a.IsEmpty());
}

TEST(PixelStoreCore, ValueOfRGBAndBack)
{
    TDIBSurface s15(1, 1, 15), s16(1, 1, 16), s24(1, 1, 24);
    EXPECT_EQ(s15.ValueOfRGB(255, 128, 8), (31u << 10) | (16u << 5) | 1u);
    EXPECT_EQ(s16.ValueOfRGB(255, 128, 8), (31u << 11) | (32u << 5) | 1u);
    EXPECT_EQ(s24.ValueOfRGB(1, 2, 3), 0x010203u);
    int r, g, b;
    s16.RGBOfValue(0xF800 | (1 << 5) | 1, false, r, g, b);
    EXPECT_EQ(r, 0xF8);
    EXPECT_EQ(g, 4);
    EXPECT_EQ(b, 8);
    s16.RGBOfValue(0xF800 | (1 << 5) | 1, true, r, g, b);
    EXPECT_EQ(r, 0xFF);
    EXPECT_EQ(g, 7);
    EXPECT_EQ(b, 15);
    s16.RGBOfValue(0, true, r, g, b);  // zero channels stay zero
    EXPECT_EQ(r + g + b, 0);
    s15.RGBOfValue(1 << 5, true, r, g, b);
    EXPECT_EQ(g, 15);
}

TEST(PixelStoreCore, NearestPaletteEntryTakesFirstMinimum)
{
    TDIBSurface s(1, 1, 4);
    for (int i = 0; i < 16; ++i) s.SetPaletteEntry(i, 0xFFFFFF);
    s.SetPaletteEntry(3, 0x000010);  // blue 16
    s.SetPaletteEntry(5, 0x000000);  // distance 100 from blue 10
    s.SetPaletteEntry(7, 0x000014);  // blue 20: distance 100 as well, later
    s.SetPaletteEntry(9, 0x100000);  // red 16
    EXPECT_EQ(s.ValueOfRGB(0, 0, 16), 3u);
    EXPECT_EQ(s.ValueOfRGB(0, 0, 10), 3u);  // 36 < 100
    EXPECT_EQ(s.ValueOfRGB(0, 0, 2), 5u);
    s.SetPaletteEntry(3, 0xFFFFFF);
    EXPECT_EQ(s.ValueOfRGB(0, 0, 10), 5u);  // 5 and 7 tie: the first wins
    // Only the entries of the bit count are searched.
    TDIBSurface s1(1, 1, 1);
    s1.SetPaletteEntry(0, 0xFFFFFF);
    s1.SetPaletteEntry(1, 0x808080);
    s1.SetPaletteEntry(2, 0x000000);
    EXPECT_EQ(s1.ValueOfRGB(0, 0, 0), 1u);
}

TEST(PixelStoreCore, UsedColorsAndFreeIndex)
{
    TDIBSurface s(4, 1, 4);
    s.SetPixel(0, 0, 0);
    s.SetPixel(1, 0, 1);
    s.SetPixel(2, 0, 3);
    s.SetPixel(3, 0, 1);
    EXPECT_EQ(s.UsedColorCount(), 3);
    EXPECT_EQ(s.FreePaletteIndex(), 2);
    TDIBSurface one(2, 1, 1);
    EXPECT_EQ(one.FreePaletteIndex(), 1);
    one.SetPixel(0, 0, 1);
    one.SetPixel(1, 0, 1);
    EXPECT_EQ(one.FreePaletteIndex(), 0);
    one.SetPixel(1, 0, 0);
    EXPECT_EQ(one.FreePaletteIndex(), -1);
    TDIBSurface t(2, 1, 24);
    EXPECT_EQ(t.FreePaletteIndex(), -1);
    t.SetPixel(0, 0, 5);
    EXPECT_EQ(t.UsedColorCount(), 2);
}

TEST(PixelStoreCore, HugeSizeIsRefused)
{
    TDIBSurface s;
    EXPECT_THROW(s.SetSize(1 << 30, 1 << 30, 32), EMobuError);
    EXPECT_TRUE(s.IsEmpty());
}
