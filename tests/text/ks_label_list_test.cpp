#include "text/ks_label_list.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "text/font_pixel_manager.h"
#include "text/font_style.h"

namespace mobu {
namespace {

int CharWidthFromAbc(uint16_t code, const TKsLabelList& list, bool last)
{
    auto glyph = FontPixelManager().GetGlyph(code, list.FontName, list.FontStyle, list.FontSize);
    int c = glyph->abc_c;
    if (last && c < 0) c = 0;
    return glyph->abc_a + glyph->abc_b + c + 2 * list.OutlineWidth + list.ShadowOffset;
}

TEST(KsLabelList, DefaultsOfANewList)
{
    TKsLabelList list;
    EXPECT_EQ(list.Antialias, 3);
    EXPECT_EQ(list.OutlineWidth, 0);
    EXPECT_EQ(list.Opacity, 255);
    EXPECT_EQ(list.FontSize, 12);
    EXPECT_EQ(list.FontName, SysText(u8"ＭＳ Ｐゴシック"));
    EXPECT_EQ(list.Color, 0xFFFFFF);
    EXPECT_EQ(list.OutlineColor, 0);
    EXPECT_EQ(list.ShadowOffset, 0);
}

TEST(KsLabelList, MeasureSumsCharacterWidthsWithOutlineAndShadow)
{
    struct Case {
        int outline, shadow, style;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{2, 0, 0}, Case{1, 3, kFontBold}, Case{0, 2, kFontItalic}}) {
        TKsLabelList list;
        list.FontSize = 20;
        list.OutlineWidth = c.outline;
        list.ShadowOffset = c.shadow;
        list.FontStyle = static_cast<uint8_t>(c.style);
        list.Add();
        list.Add();
        list.SetText(0, "Wave");
        list.SetText(1, SysText(u8"ボタン"));
        list.Measure();
        for (int i = 0; i < 2; ++i) {
            const TKsLabelDIB& label = list.Label(i);
            EXPECT_EQ(label.Height, 20 + 2 * c.outline + c.shadow);
            int sum = 0;
            for (int w : label.CharWidths) sum += w;
            EXPECT_EQ(label.Width, sum);
        }
        const auto& wave = list.Label(0).CharWidths;
        ASSERT_EQ(wave.size(), 4u);
        EXPECT_EQ(wave[0], CharWidthFromAbc('W', list, false));
        EXPECT_EQ(wave[3], CharWidthFromAbc('e', list, true));
        const auto& button = list.Label(1).CharWidths;
        ASSERT_EQ(button.size(), 3u);  // double-byte characters are one each
        EXPECT_EQ(list.MaxWidth(), std::max(list.Label(0).Width, list.Label(1).Width));
    }
}

TEST(KsLabelList, LastCharacterLeavesOutANegativeC)
{
    // An italic letter whose slanted top overhangs its advance has a negative C width.
    TKsLabelList list;
    list.FontSize = 40;
    list.FontStyle = kFontItalic;
    list.FontName = "Arial";
    uint16_t overhanging = 0;
    for (uint16_t code : {'f', 'j', 'T', 'l', 'd', 'V', 'Y'}) {
        auto glyph = FontPixelManager().GetGlyph(code, list.FontName, list.FontStyle, list.FontSize);
        if (glyph->abc_c < 0) {
            overhanging = code;
            break;
        }
    }
    ASSERT_NE(overhanging, 0) << "no italic letter with a negative C width in the default font";
    auto glyph = FontPixelManager().GetGlyph(overhanging, list.FontName, list.FontStyle, list.FontSize);
    const std::string text{static_cast<char>(overhanging), static_cast<char>(overhanging)};
    list.Add();
    list.SetText(0, text);
    list.Measure();
    const auto& widths = list.Label(0).CharWidths;
    // Inside the label the C is counted; the same code as last character leaves it out.
    EXPECT_EQ(widths[0], glyph->abc_a + glyph->abc_b + glyph->abc_c);
    EXPECT_EQ(widths[1], glyph->abc_a + glyph->abc_b);
    EXPECT_GT(widths[1], widths[0]);
}

TEST(KsLabelList, SameTextChangesNothing)
{
    TKsLabelList list;
    list.Add();
    list.SetText(0, "OK");
    list.Label(0).Changed = false;
    list.SetText(0, "OK");
    EXPECT_FALSE(list.Label(0).Changed);
    list.SetText(0, "NG");
    EXPECT_TRUE(list.Label(0).Changed);
    list.Label(0).Changed = false;
    list.MarkAllChanged();
    EXPECT_TRUE(list.Label(0).Changed);
}

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int count = 0;
    uint32_t max_red = 0, max_green = 0;
};

InkBox InkOf(TDIBX& target)
{
    InkBox box;
    for (int y = 0; y < target.Height(); ++y)
        for (int x = 0; x < target.Width(); ++x) {
            const uint32_t pixel = target.GetPixel(x, y);
            if (pixel == 0) continue;
            ++box.count;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
            box.max_red = std::max(box.max_red, pixel >> 16 & 0xFF);
            box.max_green = std::max(box.max_green, pixel >> 8 & 0xFF);
        }
    return box;
}

TEST(KsLabelList, DrawLabelPaintsInsideTheLabelAtItsOpacity)
{
    struct Case {
        int outline, shadow, opacity;
        uint32_t max_red_low, max_red_high, max_green_high;
    };
    // Colour white, outline red: without effects the text colour at the opacity; with an
    // outline the red outline shows and the white text stays.
    for (const Case& c : {Case{0, 0, 255, 250, 255, 255}, Case{0, 0, 128, 120, 129, 129},
                          Case{2, 0, 255, 250, 255, 255}, Case{1, 2, 100, 90, 101, 101}}) {
        TDIBX target;
        target.SetSize(200, 60, 32);
        target.Clear(0);
        TKsLabelList list;
        list.Target = &target;
        list.FontSize = 24;
        list.OutlineWidth = c.outline;
        list.ShadowOffset = c.shadow;
        list.Opacity = c.opacity;
        list.OutlineColor = 0x0000FF;
        list.Add();
        list.SetText(0, SysText(u8"決定Go"));
        list.Measure();
        list.DrawLabel(0, 30, 10);
        const InkBox ink = InkOf(target);
        ASSERT_GT(ink.count, 50);
        EXPECT_GE(ink.left, 30);
        EXPECT_GE(ink.top, 10);
        EXPECT_LE(ink.right, 30 + list.Label(0).Width);
        EXPECT_LE(ink.bottom, 10 + list.Label(0).Height);
        EXPECT_GE(ink.max_red, c.max_red_low);
        EXPECT_LE(ink.max_red, c.max_red_high);
        EXPECT_LE(ink.max_green, c.max_green_high);
        EXPECT_FALSE(list.Label(0).Changed);
        if (c.outline > 0) {
            // Somewhere the outline's red shows without green (at the label's opacity).
            bool pure_red = false;
            for (int y = 0; y < 60 && !pure_red; ++y)
                for (int x = 0; x < 200 && !pure_red; ++x) {
                    const uint32_t p = target.GetPixel(x, y);
                    pure_red = (p >> 16 & 0xFF) * 10 > c.opacity * 8u && (p >> 8 & 0xFF) * 10 < c.opacity * 2u;
                }
            EXPECT_TRUE(pure_red) << c.outline << " " << c.opacity;
        }
    }
}

TEST(KsLabelList, RendersAgainWhenTheTargetDepthChanges)
{
    TDIBX target32, target16;
    target32.SetSize(100, 40, 32);
    target16.SetSize(100, 40, 16);
    target16.Clear(0);
    TKsLabelList list;
    list.Add();
    list.SetText(0, "Ab");
    list.OutlineWidth = 1;
    list.Measure();
    list.Target = &target32;
    list.DrawLabel(0, 0, 0);
    EXPECT_EQ(list.Label(0).ColorSurface.BitCount(), 32);
    list.Target = &target16;
    list.DrawLabel(0, 0, 0);
    EXPECT_EQ(list.Label(0).ColorSurface.BitCount(), 16);
    EXPECT_GT(InkOf(target16).count, 10);
}

TEST(KsLabelList, EmptyLabelDrawsNothing)
{
    TDIBX target;
    target.SetSize(20, 20, 32);
    target.Clear(0);
    TKsLabelList list;
    list.Target = &target;
    list.Add();
    list.Measure();
    list.DrawLabel(0, 0, 0);
    EXPECT_EQ(InkOf(target).count, 0);
    EXPECT_EQ(list.Label(0).Width, 0);
}

// The stored form built by hand: antialias, outline, opacity, size, name, colour, outline
// colour, style, 212 bytes of metrics, then from 122 on shadow offset and colour.
std::string StoredLabelList(int antialias, bool with_shadow)
{
    ByteWriter out;
    out.I32(antialias);
    out.I32(2);
    out.I32(200);
    out.I32(18);
    out.String("Arial");
    out.I32(0x00FF00);
    out.I32(0x112233);
    out.U8(kFontBold);
    for (int i = 0; i < 212; ++i) out.U8(static_cast<uint8_t>(i));
    if (with_shadow) {
        out.I32(3);
        out.I32(0x445566);
    }
    return out.Take();
}

TEST(KsLabelList, StoredFormAtEachGate)
{
    struct Case {
        int version, stored_antialias, antialias;
        bool shadow;
    };
    for (const Case& c : {Case{108, 2, 3, false}, Case{108, 1, 0, false}, Case{108, 0, 0, false},
                          Case{109, 2, 2, false}, Case{109, 1, 1, false}, Case{121, 3, 3, false},
                          Case{122, 3, 3, true}, Case{130, 0, 0, true}}) {
        const std::string bytes = StoredLabelList(c.stored_antialias, c.shadow);
        ByteReader in(bytes);
        TKsLabelList list;
        list.LoadFromStream(in, c.version);
        EXPECT_TRUE(in.AtEnd()) << c.version;
        EXPECT_EQ(list.Antialias, c.antialias) << c.version;
        EXPECT_EQ(list.OutlineWidth, 2);
        EXPECT_EQ(list.Opacity, 200);
        EXPECT_EQ(list.FontSize, 18);
        EXPECT_EQ(list.FontName, "Arial");
        EXPECT_EQ(list.Color, 0x00FF00);
        EXPECT_EQ(list.OutlineColor, 0x112233);
        EXPECT_EQ(list.FontStyle, kFontBold);
        EXPECT_EQ(list.ShadowOffset, c.shadow ? 3 : 0);
        EXPECT_EQ(list.ShadowColor, c.shadow ? 0x445566 : 0);
    }
    // A cut-off form is refused, not read past its end.
    const std::string cut = StoredLabelList(3, true).substr(0, 100);
    ByteReader in(cut);
    TKsLabelList list;
    EXPECT_THROW(list.LoadFromStream(in, 122), EMobuError);
}

TEST(KsLabelList, SavedFormReadsBackAndCarriesTheFontMetrics)
{
    TKsLabelList list;
    list.FontSize = 16;
    list.ShadowOffset = 1;
    list.ShadowColor = 0x808080;
    list.Add();
    list.SetText(0, "x");
    list.Measure();
    ByteWriter out;
    list.SaveToStream(out);
    const std::string bytes = out.Take();
    ASSERT_EQ(bytes.size(), 4u * 4 + 4 + list.FontName.size() + 4 + 4 + 1 + 212 + 8);
    // The metrics block starts with its own size and the cell height.
    const size_t metrics_at = 4u * 4 + 4 + list.FontName.size() + 9;
    ByteReader metrics(bytes);
    metrics.Seek(metrics_at);
    EXPECT_EQ(metrics.U32(), 212u);
    EXPECT_EQ(metrics.I32(), 16);
    ByteReader in(bytes);
    TKsLabelList back;
    back.LoadFromStream(in, 122);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(back.FontSize, 16);
    EXPECT_EQ(back.FontName, list.FontName);
    EXPECT_EQ(back.ShadowOffset, 1);
    EXPECT_EQ(back.ShadowColor, 0x808080);
}

TEST(KsLabelList, HugeSizesStayWithinTheBudget)
{
    TDIBX target;
    target.SetSize(64, 64, 32);
    TKsLabelList list;
    list.Target = &target;
    list.FontSize = 100000;
    list.Add();
    list.SetText(0, std::string(3000, 'M'));
    list.Measure();
    list.DrawLabel(0, 0, 0);
    const TKsLabelDIB& label = list.Label(0);
    EXPECT_LE(static_cast<int64_t>(label.ColorSurface.Width()) * label.ColorSurface.Height(),
              TKsLabelList::kPixelBudget);
}

}  // namespace
}  // namespace mobu
