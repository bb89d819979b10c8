#include "text/draw_glyph.h"

#include <gtest/gtest.h>

#include <fstream>

#include "graphics/png_file_writer.h"
#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/font_style.h"

namespace mobu {
namespace {

// Views of 32-bit and 8-bit pixel stores, clipped to the whole store.
TPixelPlane PlaneOf(TDIBSurface& store, int bits)
{
    TPixelPlane plane;
    plane.origin = store.ScanLine(0);
    plane.pitch = store.Pitch();
    plane.bits = bits;
    plane.masks[0] = store.RedMask();
    plane.masks[1] = store.GreenMask();
    plane.masks[2] = store.BlueMask();
    plane.clip = store.Bounds();
    return plane;
}

TEST(GlyphCompositing, TablesFollowTheFormulas)
{
    for (int m = 1; m < 255; ++m)
        for (int e = 0; e < 256; ++e) {
            const int after = e + m * (255 - e) / 255;
            ASSERT_EQ(CompositeEffect(m, e), after);
            ASSERT_EQ(CompositeWeight(m, e), m * 255 / after);
        }
}

TEST(GlyphCompositing, OverCompositeAndStampOn32Bits)
{
    TDIBSurface colour(8, 8, 32), effect(8, 8, 8);
    TGlyphCompositor out(PlaneOf(colour, 32), PlaneOf(effect, 8));
    colour.SetPixel(1, 1, 0x204060);
    effect.SetPixel(1, 1, 100);
    out.Composite(1, 1, 128, 0xFF8000);
    // e' = 100 + 128 * 155 / 255 = 177; s = 128 * 255 / 177 = 184.
    EXPECT_EQ(effect.GetPixel(1, 1), 177u);
    const uint32_t r = (184 * 0xFF + 71 * 0x20) >> 8, g = (184 * 0x80 + 71 * 0x40) >> 8, b = (71 * 0x60) >> 8;
    EXPECT_EQ(colour.GetPixel(1, 1), r << 16 | g << 8 | b);

    // One full pixel stamped with width 1: its eight neighbours, not itself.
    TDIBSurface c2(8, 8, 32), e2(8, 8, 8);
    TGlyphCompositor stamp(PlaneOf(c2, 32), PlaneOf(e2, 8));
    const uint8_t mask[1] = {255};
    stamp.Stamp(mask, 1, 1, 4, 4, 1, 0x0000FF);
    int marked = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) marked += e2.GetPixel(x, y) == 255;
    EXPECT_EQ(marked, 8);
    EXPECT_EQ(e2.GetPixel(4, 4), 0u);
    EXPECT_EQ(c2.GetPixel(3, 5), 0x0000FFu);
    // At the surface's edge the stamp is clipped, not written outside.
    stamp.Stamp(mask, 1, 1, 0, 0, 3, 0x0000FF);
    EXPECT_EQ(e2.GetPixel(3, 3), 255u);
}

TFontPixel HandGlyph(int width, int height, int a, int b, int c)
{
    TFontPixel glyph;
    glyph.mask.assign(static_cast<size_t>(width) * height, 255);
    glyph.mask_width = width;
    glyph.mask_height = height;
    glyph.size = 20;
    glyph.abc_a = a;
    glyph.abc_b = b;
    glyph.abc_c = c;
    glyph.left_offset = std::max(0, a);
    glyph.trailing_advance = std::max(0, c);
    return glyph;
}

TEST(DrawGlyph, CentresNarrowCharactersByTheirWidths)
{
    TRect cell{0, 0, 20, 20};
    // F = 20 - 4 = 16; (A + B div 2) * F / (A + B + C) = (1 + 2) * 16 / 10 = 4.8 -> 5; minus A.
    EXPECT_EQ(GlyphCentringShift(HandGlyph(4, 4, 1, 4, 5), cell), 4);
    // Ties go to the even neighbour: 3 * 16 / 32 = 1.5 -> 2, 5 * 16 / 32 = 2.5 -> 2, 7 * 16 / 32 = 3.5 -> 4.
    for (auto [b, want] : {std::pair{6, 2}, std::pair{10, 2}, std::pair{14, 4}}) {
        TFontPixel glyph = HandGlyph(4, 4, 0, b, 32 - b);
        glyph.trailing_advance = 2;
        EXPECT_EQ(GlyphCentringShift(glyph, cell), want) << b;
    }
    // A + C = 0: the middle.
    EXPECT_EQ(GlyphCentringShift(HandGlyph(4, 4, 0, 4, 0), cell), 8);
    // Widths adding up to nothing or less: the middle, never a division by zero.
    EXPECT_EQ(GlyphCentringShift(HandGlyph(4, 4, -3, 0, 3), cell), 8);
    EXPECT_EQ(GlyphCentringShift(HandGlyph(4, 4, -5, 0, 2), cell), 8);
    // Wide enough already: no shift.
    EXPECT_EQ(GlyphCentringShift(HandGlyph(18, 4, 1, 18, 1), cell), 0);
}

TEST(DrawGlyph, PlainGlyphWithUnderlineTouchesOnlyTheEffectUnderTheBar)
{
    TDIBSurface colour(30, 20, 32), effect(30, 20, 8);
    TFontPixel glyph = HandGlyph(2, 2, 20, 2, 0);
    glyph.style = kFontUnderline;
    glyph.underline_thickness = 2;
    glyph.top_offset = 3;
    TGlyphStyle style;
    style.text_pixel = 0x00FF00;
    TRect touched = DrawGlyphOnPlanes(glyph, PlaneOf(colour, 32), PlaneOf(effect, 8), style, TRect{5, 0, 25, 20});
    EXPECT_EQ(colour.GetPixel(25, 3), 0x00FF00u);  // x = 5 + left 20
    EXPECT_EQ(effect.GetPixel(26, 4), 255u);
    // Underline: rows 18, 19 of the cell, effect only.
    EXPECT_EQ(effect.GetPixel(5, 18), 255u);
    EXPECT_EQ(effect.GetPixel(24, 19), 255u);
    EXPECT_EQ(effect.GetPixel(25, 19), 0u);
    EXPECT_EQ(effect.GetPixel(5, 17), 0u);
    EXPECT_EQ(colour.GetPixel(5, 18), 0u);
    EXPECT_EQ(touched, (TRect{5, 3, 27, 20}));
    // A blank draws nothing at all.
    TFontPixel blank;
    blank.style = kFontUnderline;
    blank.underline_thickness = 2;
    EXPECT_TRUE(DrawGlyphOnPlanes(blank, PlaneOf(colour, 32), PlaneOf(effect, 8), style, TRect{0, 0, 5, 20}).IsEmpty());
    EXPECT_EQ(effect.GetPixel(0, 19), 0u);
}

TEST(DrawGlyph, ShadowBarsShiftByTheOffsetAtRunEnds)
{
    TDIBSurface colour(40, 24, 32), effect(40, 24, 8);
    TFontPixel glyph = HandGlyph(2, 2, 4, 2, 4);
    glyph.size = 10;
    glyph.style = kFontStrikeOut;
    glyph.strikeout_position = 5;
    glyph.strikeout_thickness = 1;
    TGlyphStyle style{0x000001, 0x000002, 0x000003, true, true, 2, 0};
    DrawGlyphOnPlanes(glyph, PlaneOf(colour, 32), PlaneOf(effect, 8), style, TRect{10, 0, 20, 10});
    // Shadow strike-out bar: rows d + P = 7, starting d further right (previous differs).
    EXPECT_EQ(colour.GetPixel(11, 7), 0u);
    EXPECT_EQ(colour.GetPixel(12, 7), 0x000001u);
    EXPECT_EQ(colour.GetPixel(19, 7), 0x000001u);
    // Text strike-out bar: row P = 5, ending d further left (next differs).
    EXPECT_EQ(colour.GetPixel(10, 5), 0x000003u);
    EXPECT_EQ(colour.GetPixel(17, 5), 0x000003u);
    EXPECT_EQ(colour.GetPixel(18, 5), 0u);
}

TEST(DrawGlyph, HeadlessLineOfJapaneseWithOutlineAndShadow)
{
    TFontPixelManager manager;
    manager.SetAntialias(3);
    const std::string text = SysText(u8"日本語のテキスト、影と縁取り。");
    const int size = 28, w = 2, d = 3;
    const int width = 16 * size, height = size + 2 * w + d + 4;
    TDIBSurface colour(width, height, 32), effect(width, height, 8);
    const uint32_t text_pixel = 0xFFFFFF, outline_pixel = 0x2040C0, shadow_pixel = 0x000000;
    int pen = 4;
    int characters = 0;
    for (size_t i = 0; i < text.size(); i += 2, ++characters) {
        const uint16_t code = static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << 8 | static_cast<uint8_t>(text[i + 1]));
        auto glyph = manager.GetGlyph(code, SysText(u8"ＭＳ ゴシック"), 0, size);
        TGlyphStyle style{shadow_pixel, outline_pixel, text_pixel, i + 2 >= text.size(), i == 0, d, w};
        TRect cell{pen, 2, pen + size + 2 * w + d, 2 + size + 2 * w + d};
        TRect touched = DrawGlyphOnPlanes(*glyph, PlaneOf(colour, 32), PlaneOf(effect, 8), style, cell);
        EXPECT_FALSE(touched.IsEmpty());
        pen += size + w;
    }

    // Composite over a mid grey background for a look by eye, and count what is where.
    TDIBSurface picture(width, height, 32);
    long text_pixels = 0, outline_pixels = 0, shadow_pixels = 0, covered = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t e = effect.GetPixel(x, y), c = colour.GetPixel(x, y);
            covered += e > 0;
            if (e == 255 && c == text_pixel) ++text_pixels;
            if (e == 255 && c == outline_pixel) ++outline_pixels;
            if (e > 0 && c == shadow_pixel) ++shadow_pixels;
            uint32_t out = 0;
            for (int shift : {0, 8, 16}) {
                const uint32_t channel = ((c >> shift & 0xFF) * e + 0x80 * (255 - e)) / 255;
                out |= channel << shift;
            }
            picture.SetPixel(x, y, out);
        }
    std::ofstream(std::string(MOBU_BINARY_DIR) + "/glyph_line.png", std::ios::binary) << EncodePng(picture);

    EXPECT_EQ(characters, 15);
    // Solid white strokes, a blue outline around them and a black shadow beside them.
    EXPECT_GT(text_pixels, characters * 40);
    EXPECT_GT(outline_pixels, text_pixels);
    EXPECT_GT(shadow_pixels, characters * 20);
    EXPECT_LT(covered, static_cast<long>(width) * height * 3 / 4);
    // Every shadow pixel lies right of or below some outline or text pixel.
    long orphans = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (effect.GetPixel(x, y) == 0 || colour.GetPixel(x, y) != shadow_pixel) continue;
            const int sx = x - d, sy = y - d;
            if (sx < 0 || sy < 0 || effect.GetPixel(sx, sy) == 0) ++orphans;
        }
    EXPECT_LT(orphans, shadow_pixels / 20);
    // Nothing above the first text row or left of the first cell.
    for (int x = 0; x < width; ++x) EXPECT_EQ(effect.GetPixel(x, 0), 0u);
    for (int y = 0; y < height; ++y) EXPECT_EQ(effect.GetPixel(0, y), 0u);
}

}  // namespace
}  // namespace mobu

#include "graphics/dibx.h"

namespace mobu {
namespace {

TEST(DrawGlyphOnSurfaces, SameResultAsOnPlanesAndClippedToTheColourClip)
{
    TFontPixelManager manager;
    auto glyph = manager.GetGlyph(0x8EA6 /* 示 */, SysText(u8"ＭＳ 明朝"), kFontUnderline, 24);
    ASSERT_FALSE(glyph->IsEmpty());
    const TRect cell{3, 2, 3 + 30, 2 + 30};
    TGlyphStyle style{0x000000, 0x3366CC, 0xFFEEDD, true, true, 2, 2};

    TDIBX colour, effect;
    colour.SetSize(40, 36, 32);
    effect.SetSize(40, 36, 8);
    TRect touched = TFontPixelManager::DrawGlyph(*glyph, colour, effect, style, cell);

    TDIBSurface plain_colour(40, 36, 32), plain_effect(40, 36, 8);
    TRect expected = DrawGlyphOnPlanes(*glyph, PlaneOf(plain_colour, 32), PlaneOf(plain_effect, 8), style, cell);
    EXPECT_EQ(touched, expected);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(colour.GetPixel(x, y), plain_colour.GetPixel(x, y)) << x << "," << y;
            ASSERT_EQ(effect.GetPixel(x, y), plain_effect.GetPixel(x, y)) << x << "," << y;
        }

    // With a clip on the colour surface nothing outside it is touched.
    TDIBX clipped_colour, clipped_effect;
    clipped_colour.SetSize(40, 36, 16);
    clipped_effect.SetSize(40, 36, 8);
    clipped_colour.IncludeClip(TRect{0, 0, 15, 36});
    TFontPixelManager::DrawGlyph(*glyph, clipped_colour, clipped_effect, style, cell);
    long inside = 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x >= 15) {
                ASSERT_EQ(clipped_effect.GetPixel(x, y), 0u) << x << "," << y;
                ASSERT_EQ(clipped_colour.GetPixel(x, y), 0u);
            } else {
                inside += clipped_effect.GetPixel(x, y) != 0;
            }
        }
    EXPECT_GT(inside, 50);
}

}  // namespace
}  // namespace mobu
