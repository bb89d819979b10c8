// Pixel operations of the store against values worked out by hand from the formulas.
#include <gtest/gtest.h>

#include "graphics/dib_surface.h"

using namespace mobu;

namespace {

TDIBSurface Filled(int w, int h, int bits, uint32_t value)
{
    TDIBSurface s(w, h, bits);
    s.FillValue(s.Bounds(), value);
    return s;
}

}  // namespace

TEST(PixelStoreOps, FillMasksTheValueAndClampsTheRect)
{
    TDIBSurface s(4, 4, 15);
    s.FillValue(MakeRect(-5, 2, 99, 3), 0xFFFF);
    EXPECT_EQ(s.GetPixel(0, 2), 0x7FFFu);
    EXPECT_EQ(s.GetPixel(3, 2), 0x7FFFu);
    EXPECT_EQ(s.GetPixel(0, 1), 0u);
    TDIBSurface s4(3, 1, 4);
    s4.FillValue(s4.Bounds(), 0x1F);
    EXPECT_EQ(s4.GetPixel(2, 0), 0xFu);
}

TEST(PixelStoreOps, ClippingCutsEverySide)
{
    TDIBSurface src(4, 4, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.SetPixel(x, y, static_cast<uint32_t>(10 * y + x + 1));
    struct Case { int x, y; TRect rect; int probe_x, probe_y; uint32_t expected; };
    const Case cases[] = {
        {-1, -2, src.Bounds(), 0, 0, 22},       // left and top cut
        {2, 1, src.Bounds(), 2, 2, 11},         // right and bottom cut
        {0, 0, MakeRect(-2, -1, 2, 2), 2, 1, 1}, // source rect outside the source moves the target
        {0, 0, MakeRect(3, 3, 9, 9), 0, 0, 34},  // source rect past the source's end
    };
    for (const Case& c : cases) {
        TDIBSurface dst(3, 3, 8);
        dst.PutImage(c.x, c.y, c.rect, src);
        EXPECT_EQ(dst.GetPixel(c.probe_x, c.probe_y), c.expected) << c.x << "," << c.y;
        TDIBSurface keyed(3, 3, 8);
        keyed.PutKeyed(c.x, c.y, -1, c.rect, src);
        EXPECT_EQ(keyed.GetPixel(c.probe_x, c.probe_y), c.expected);
    }
    TDIBSurface dst(3, 3, 8);
    dst.PutImage(3, 0, src);  // wholly outside: nothing
    dst.PutImage(-4, 0, src);
    EXPECT_EQ(dst.UsedColorCount(), 1);
}

TEST(PixelStoreOps, KeyedCopyOf32BitsComparesTheWholeWord)
{
    TDIBSurface src(2, 1, 32), dst = Filled(2, 1, 32, 0x11);
    src.SetPixel(0, 0, 0xFFFFFFFF);
    src.SetPixel(1, 0, 0x00FFFFFF);
    dst.PutKeyed(0, 0, -1, src.Bounds(), src);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x11u);
    EXPECT_EQ(dst.GetPixel(1, 0), 0x00FFFFFFu);
}

TEST(PixelStoreOps, BlendedCopies)
{
    // 32 bits: (d·(255 − a) + s·a) shr 8 per byte, fourth byte 0.
    TDIBSurface d32 = Filled(1, 1, 32, 0xAA102030), s32 = Filled(1, 1, 32, 0x55F0E0D0);
    d32.PutBlended(0, 0, 128, -1, s32.Bounds(), s32);
    EXPECT_EQ(d32.GetPixel(0, 0), 0x007F7F7Fu);
    // 24 bits: div 255.
    TDIBSurface d24 = Filled(1, 1, 24, 0x102030), s24 = Filled(1, 1, 24, 0xF0E0D0);
    d24.PutBlended(0, 0, 100, -1, s24.Bounds(), s24);
    EXPECT_EQ(d24.GetPixel(0, 0), 0x676B6Eu);
    // 5-6-5 per channel in place.
    TDIBSurface d16 = Filled(1, 1, 16, 0xFFFF), s16 = Filled(1, 1, 16, 0);
    d16.PutBlended(0, 0, 200, -1, s16.Bounds(), s16);
    EXPECT_EQ(d16.GetPixel(0, 0), 0x31A6u);
    // Opacity 255 is a keyed copy; 0 leaves the store.
    TDIBSurface k = Filled(1, 1, 24, 0x102030);
    k.PutBlended(0, 0, 0, -1, s24.Bounds(), s24);
    EXPECT_EQ(k.GetPixel(0, 0), 0x102030u);
    k.PutBlended(0, 0, 255, 0xF0E0D0, s24.Bounds(), s24);
    EXPECT_EQ(k.GetPixel(0, 0), 0x102030u);
    k.PutBlended(0, 0, 255, -1, s24.Bounds(), s24);
    EXPECT_EQ(k.GetPixel(0, 0), 0xF0E0D0u);
    // The key is skipped.
    TDIBSurface d = Filled(1, 1, 16, 0x1234);
    d.PutBlended(0, 0, 100, 0, s16.Bounds(), s16);
    EXPECT_EQ(d.GetPixel(0, 0), 0x1234u);
}

TEST(PixelStoreOps, OrderedPatternOfPaletteBlends)
{
    TDIBSurface dst(8, 8, 8), src = Filled(8, 8, 8, 7);
    dst.PutBlended(0, 0, 16, -1, src.Bounds(), src);  // level 1
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool drawn = ((x & 3) == 0 && (y & 3) == 0) || ((x & 3) == 2 && (y & 3) == 2);
            EXPECT_EQ(dst.GetPixel(x, y), drawn ? 7u : 0u) << x << "," << y;
        }
    TDIBSurface level0(4, 4, 8);
    level0.PutBlended(0, 0, 1, -1, src.Bounds(), src);
    EXPECT_EQ(level0.GetPixel(0, 0), 7u);
    EXPECT_EQ(level0.GetPixel(2, 2), 0u);
    TDIBSurface full(4, 4, 8);
    full.PutBlended(0, 0, 240, -1, src.Bounds(), src);  // level 15: a keyed copy
    EXPECT_EQ(full.UsedColorCount(), 1);
    EXPECT_EQ(full.GetPixel(3, 1), 7u);
}

TEST(PixelStoreOps, MaskedCopies)
{
    TDIBSurface src = Filled(4, 1, 32, 0xAAF0E0D0), dst = Filled(4, 1, 32, 0xBB102030);
    src.MakeAlphaPlane();
    src.AlphaPlane()->SetPixel(0, 0, 0);
    src.AlphaPlane()->SetPixel(1, 0, 255);
    src.AlphaPlane()->SetPixel(2, 0, 128);
    src.AlphaPlane()->SetPixel(3, 0, 1);
    dst.PutMasked(0, 0, src.Bounds(), src);
    EXPECT_EQ(dst.GetPixel(0, 0), 0xBB102030u);
    EXPECT_EQ(dst.GetPixel(1, 0), 0xAAF0E0D0u);  // the source word with its fourth byte
    EXPECT_EQ(dst.GetPixel(2, 0), 0x007F7F7Fu);
    EXPECT_EQ(dst.GetPixel(3, 0), 0x00102030u);
    TDIBSurface d16 = Filled(1, 1, 16, 0x1234), s16 = Filled(1, 1, 16, 0xABCD);
    s16.MakeAlphaPlane();
    s16.AlphaPlane()->SetPixel(0, 0, 77);
    d16.PutMasked(0, 0, s16.Bounds(), s16);
    EXPECT_EQ(d16.GetPixel(0, 0), 0x3A91u);
    // Without an alpha plane: a plain copy.
    TDIBSurface plain = Filled(1, 1, 16, 0x1234), s = Filled(1, 1, 16, 0x4321);
    plain.PutMasked(0, 0, s.Bounds(), s);
    EXPECT_EQ(plain.GetPixel(0, 0), 0x4321u);
    // Palette stores copy where the alpha is at least 128.
    TDIBSurface p8 = Filled(2, 1, 8, 1), q8 = Filled(2, 1, 8, 9);
    q8.MakeAlphaPlane();
    q8.AlphaPlane()->SetPixel(0, 0, 127);
    q8.AlphaPlane()->SetPixel(1, 0, 128);
    p8.PutMasked(0, 0, q8.Bounds(), q8);
    EXPECT_EQ(p8.GetPixel(0, 0), 1u);
    EXPECT_EQ(p8.GetPixel(1, 0), 9u);
}

TEST(PixelStoreOps, TrimAndCrop)
{
    TDIBSurface s = Filled(5, 4, 24, 0x123456);
    EXPECT_EQ(s.TrimTo(0x000001), s.Bounds());
    EXPECT_EQ(s.Width(), 5);
    s.SetPixel(1, 2, 0x000001);
    s.SetPixel(3, 1, 0x000002);
    s.MakeAlphaPlane();
    s.AlphaPlane()->SetPixel(3, 1, 99);
    EXPECT_EQ(s.OpaqueBounds(0x123456), MakeRect(1, 1, 4, 3));
    EXPECT_EQ(s.TrimTo(0x123456), MakeRect(1, 1, 4, 3));
    EXPECT_EQ(s.Width(), 3);
    EXPECT_EQ(s.Height(), 2);
    EXPECT_EQ(s.GetPixel(0, 1), 0x000001u);
    EXPECT_EQ(s.AlphaPlane()->GetPixel(2, 0), 99u);
    TDIBSurface all = Filled(3, 3, 8, 4);
    EXPECT_EQ(all.OpaqueBounds(4), MakeRect(0, 0, 0, 0));
    all.TrimTo(4);
    EXPECT_EQ(all.Width(), 1);
    EXPECT_EQ(all.Height(), 1);
}

TEST(PixelStoreOps, MirrorAndFlip)
{
    TDIBSurface s(3, 2, 4);
    s.SetPixel(0, 0, 1);
    s.SetPixel(2, 1, 2);
    s.MirrorHorizontal();
    EXPECT_EQ(s.GetPixel(2, 0), 1u);
    EXPECT_EQ(s.GetPixel(0, 1), 2u);
    s.FlipVertical();
    EXPECT_EQ(s.GetPixel(2, 1), 1u);
    EXPECT_EQ(s.GetPixel(0, 0), 2u);
}

TEST(PixelStoreOps, DuplicateCopiesPixelsAndAlpha)
{
    TDIBSurface s = Filled(2, 2, 15, 0x1234);
    s.MakeAlphaPlane();
    TDIBSurface d;
    d.Duplicate(s);
    EXPECT_FALSE(s.IsShared());
    EXPECT_EQ(d.BitCount(), 15);
    EXPECT_TRUE(d.HasAlphaPlane());
    EXPECT_EQ(d.GetPixel(1, 1), 0x1234u);
}

TEST(PixelStoreOps, ConvertedCopyBetweenFormats)
{
    TDIBSurface s16 = Filled(1, 1, 16, 0xF800 | (1 << 5) | 1), d24(1, 1, 24);
    d24.PutConverted(0, 0, -1, s16);
    EXPECT_EQ(d24.GetPixel(0, 0), 0xFF070Fu);  // channels widened with their low bits set
    TDIBSurface pal(2, 1, 8);
    pal.SetPaletteEntry(3, 0x00FF00);
    pal.SetPixel(0, 0, 3);
    TDIBSurface d15(2, 1, 15);
    d15.PutConverted(0, 0, -1, pal);
    EXPECT_EQ(d15.GetPixel(0, 0), 31u << 5);
}
