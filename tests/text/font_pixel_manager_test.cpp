#include "text/font_pixel_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text_encoding.h"
#include "text/font_style.h"

namespace mobu {
namespace {

const std::string kGothic = SysText(u8"ＭＳ ゴシック");

// Kanji codes 0x889F.. (the first row of level-1 kanji), all distinct.
uint16_t Kanji(int n) { return static_cast<uint16_t>(0x889F + n % 94 + (n / 94) * 0x100); }

TEST(FontPixelManager, DropsTheLeastRecentlyUsedGlyphAfter256)
{
    TFontPixelManager manager;
    for (int i = 0; i < 256; ++i) manager.GetGlyph(static_cast<uint16_t>(0x8200 + i), kGothic, 0, 12);
    EXPECT_EQ(manager.CachedCount(), 256u);

    // Using the oldest makes it most recent; the next new glyph then drops the second oldest.
    manager.GetGlyph(0x8200, kGothic, 0, 12);
    EXPECT_EQ(manager.RecentCodes().front(), 0x8200);
    manager.GetGlyph(0x8300, kGothic, 0, 12);
    std::vector<uint16_t> codes = manager.RecentCodes();
    EXPECT_EQ(codes.size(), 256u);
    EXPECT_EQ(codes.front(), 0x8300);
    EXPECT_EQ(codes[1], 0x8200);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x8201), 0);
    EXPECT_EQ(codes.back(), 0x8202);

    // Same low byte, other key fields: separate entries in the same bucket.
    auto bold = manager.GetGlyph(0x8300, kGothic, kFontBold, 12);
    auto plain = manager.GetGlyph(0x8300, kGothic, 0, 12);
    EXPECT_NE(bold.get(), plain.get());
    EXPECT_EQ(manager.GetGlyph(0x8300, kGothic, 0, 12).get(), plain.get());
}

TEST(FontPixelManager, HeldGlyphStaysValidAfterEviction)
{
    TFontPixelManager manager;
    std::shared_ptr<const TFontPixel> held = manager.GetGlyph(Kanji(0), kGothic, 0, 24);
    std::vector<uint8_t> mask = held->mask;
    ASSERT_FALSE(mask.empty());
    for (int i = 1; i <= 300; ++i) manager.GetGlyph(Kanji(i), kGothic, 0, 24);
    EXPECT_EQ(manager.CachedCount(), 256u);
    EXPECT_EQ(held->code, Kanji(0));
    EXPECT_EQ(held->mask, mask);
    // Asking again renders a new copy with the same pixels.
    auto again = manager.GetGlyph(Kanji(0), kGothic, 0, 24);
    EXPECT_NE(again.get(), held.get());
    EXPECT_EQ(again->mask, mask);
}

TEST(FontPixelManager, AntialiasLevelIsPartOfTheKey)
{
    TFontPixelManager manager;
    manager.SetAntialias(3);
    auto gray = manager.GetGlyph(Kanji(5), kGothic, 0, 20);
    manager.SetAntialias(0);
    auto mono = manager.GetGlyph(Kanji(5), kGothic, 0, 20);
    EXPECT_NE(gray.get(), mono.get());
    EXPECT_EQ(gray->antialias, 3);
    EXPECT_EQ(mono->antialias, 0);
    EXPECT_TRUE(std::all_of(mono->mask.begin(), mono->mask.end(), [](uint8_t v) { return v == 0 || v == 255; }));
    EXPECT_TRUE(std::any_of(gray->mask.begin(), gray->mask.end(), [](uint8_t v) { return v != 0 && v != 255; }));
}

TEST(FontPixelManager, BlankHasEmptyMaskAndAdvancesByItsWidth)
{
    TFontPixelManager manager;
    auto space = manager.GetGlyph(0x20, kGothic, 0, 24);
    EXPECT_TRUE(space->IsEmpty());
    EXPECT_GT(space->trailing_advance, 0);
    EXPECT_LT(space->trailing_advance, 24);
    auto wide_space = manager.GetGlyph(0x8140, kGothic, 0, 24);
    EXPECT_TRUE(wide_space->IsEmpty());
    EXPECT_EQ(wide_space->trailing_advance, 22);  // the em of a 24-pixel cell
}

TEST(FontPixelManager, UnknownFontRendersWithTheDefaultFont)
{
    TFontPixelManager manager;
    auto fallback = manager.GetGlyph(Kanji(9), "NoSuchFontAtAll", 0, 24);
    auto gothic = manager.GetGlyph(Kanji(9), kGothic, 0, 24);
    EXPECT_EQ(fallback->font_name, "NoSuchFontAtAll");
    EXPECT_EQ(fallback->mask, gothic->mask);
    auto mincho = manager.GetGlyph(Kanji(9), SysText(u8"ＭＳ 明朝"), 0, 24);
    EXPECT_NE(mincho->mask, gothic->mask);
}

TEST(FontPixelManager, OffsetsPlaceTheGlyphInItsCell)
{
    TFontPixelManager manager;
    auto glyph = manager.GetGlyph(0x8145 /* ・ */, kGothic, 0, 24);
    ASSERT_FALSE(glyph->IsEmpty());
    // A middle dot sits in the middle of the cell, both ways.
    EXPECT_GT(glyph->left_offset, 6);
    EXPECT_GT(glyph->top_offset, 6);
    EXPECT_GT(glyph->trailing_advance, 6);
    EXPECT_EQ(glyph->abc_a + glyph->abc_b + glyph->abc_c, 22);
    EXPECT_EQ(glyph->abc_a, glyph->left_offset);

    auto underlined = manager.GetGlyph(Kanji(1), kGothic, kFontUnderline | kFontStrikeOut, 24);
    EXPECT_GE(underlined->underline_thickness, 1);
    EXPECT_GE(underlined->strikeout_thickness, 1);
    EXPECT_GT(underlined->strikeout_position, 6);
    EXPECT_LT(underlined->strikeout_position, 20);
    auto plain = manager.GetGlyph(Kanji(1), kGothic, 0, 24);
    EXPECT_EQ(plain->underline_thickness, 0);
    EXPECT_EQ(plain->strikeout_thickness, 0);
    EXPECT_EQ(plain->mask, underlined->mask);
}

TEST(FontPixelManager, BoldIsWiderAndItalicLeans)
{
    TFontPixelManager manager;
    auto plain = manager.GetGlyph('l', kGothic, 0, 32);
    auto bold = manager.GetGlyph('l', kGothic, kFontBold, 32);
    auto italic = manager.GetGlyph('l', kGothic, kFontItalic, 32);
    auto ink = [](const TFontPixel& g) {
        long sum = 0;
        for (uint8_t v : g.mask) sum += v;
        return sum;
    };
    EXPECT_GT(ink(*bold), ink(*plain) * 5 / 4);
    EXPECT_EQ(bold->mask_height, plain->mask_height);
    auto first_ink = [](const TFontPixel& g, int row) {
        for (int x = 0; x < g.mask_width; ++x)
            if (g.MaskAt(x, row) > 127) return x;
        return -1;
    };
    // The upright stroke of "l" leans right going up.
    EXPECT_EQ(first_ink(*plain, 0), first_ink(*plain, plain->mask_height * 3 / 4));
    EXPECT_GE(first_ink(*italic, 0), first_ink(*italic, italic->mask_height * 3 / 4) + 3);
}

TEST(FontPixelManager, GrayFailureFallsBackToMonochromeForGood)
{
    TFontPixelManager manager;
    manager.Renderer().SimulateGrayFailure(true);
    manager.SetAntialias(3);
    auto glyph = manager.GetGlyph(Kanji(3), kGothic, 0, 16);
    EXPECT_EQ(glyph->antialias, 0);
    EXPECT_FALSE(glyph->IsEmpty());
    EXPECT_EQ(manager.Antialias(), 0);
    manager.Renderer().SimulateGrayFailure(false);
    manager.SetAntialias(2);
    EXPECT_EQ(manager.Antialias(), 0);
    EXPECT_EQ(manager.GetGlyph(Kanji(4), kGothic, 0, 16)->antialias, 0);
}

}  // namespace
}  // namespace mobu
