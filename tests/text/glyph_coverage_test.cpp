// Coverage of rendered glyphs against a brute-force count of the samples inside the same
// outline (nonzero winding over the flattened contours).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/text_encoding.h"
#include "text/font_style.h"
#include "text/glyph_coverage.h"
#include "text/glyph_renderer.h"

namespace mobu {
namespace {

int Winding(const std::vector<std::vector<TOutlinePoint>>& polygons, double x, double y)
{
    int winding = 0;
    for (const auto& polygon : polygons) {
        for (size_t i = 0; i < polygon.size(); ++i) {
            const TOutlinePoint& a = polygon[i];
            const TOutlinePoint& b = polygon[(i + 1) % polygon.size()];
            if ((a.y <= y) == (b.y <= y)) continue;
            double cross_x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (cross_x > x) winding += (b.y > a.y) ? 1 : -1;
        }
    }
    return winding;
}

uint16_t Code(const char8_t* utf8)
{
    std::string cp932 = SysText(utf8);
    return cp932.size() == 1 ? static_cast<uint8_t>(cp932[0])
                             : static_cast<uint16_t>(static_cast<uint8_t>(cp932[0]) << 8 | static_cast<uint8_t>(cp932[1]));
}

struct TCoverageCase {
    const char8_t* character;
    int size;
    int style;
};

TEST(GlyphCoverage, MatchesBruteForceSampleCountAtEachLevel)
{
    const TCoverageCase cases[] = {
        {u8"漢", 24, 0}, {u8"あ", 16, 0}, {u8"A", 24, 0}, {u8"g", 13, 0}, {u8"字", 24, kFontBold},
        {u8"W", 20, kFontItalic}, {u8"の", 32, kFontBold | kFontItalic},
    };
    TGlyphRenderer renderer;
    for (const TCoverageCase& c : cases) {
        ASSERT_TRUE(renderer.SelectFont(SysText(u8"ＭＳ ゴシック"), c.size, c.style));
        for (int level = 1; level <= 3; ++level) {
            SCOPED_TRACE(testing::Message() << reinterpret_cast<const char*>(c.character) << " size " << c.size
                                            << " style " << c.style << " level " << level);
            TRenderedGlyph glyph;
            ASSERT_TRUE(renderer.Render(Code(c.character), level, glyph));
            ASSERT_TRUE(glyph.has_outline);
            auto polygons = renderer.FlattenedOutline(Code(c.character), level);
            ASSERT_FALSE(polygons.empty());
            const int factor = SamplesPerSide(level);
            auto table = OpacityTable(level);
            int off_by_one = 0;
            long ink = 0;
            for (int y = 0; y < glyph.height; ++y) {
                for (int x = 0; x < glyph.width; ++x) {
                    int count = 0;
                    for (int j = 0; j < factor; ++j)
                        for (int i = 0; i < factor; ++i)
                            if (Winding(polygons, x + (i + 0.5) / factor, y + (j + 0.5) / factor) != 0) ++count;
                    const uint8_t got = glyph.mask[static_cast<size_t>(y) * glyph.width + x];
                    ink += got;
                    if (got == table[count]) continue;
                    // A sample lying exactly on an edge may go either way: a few samples at most.
                    int got_count = static_cast<int>(std::find(table.begin(), table.end(), got) - table.begin());
                    EXPECT_LE(std::abs(got_count - count), factor / 2 + 1)
                        << "pixel " << x << "," << y << " count " << count << " got " << int(got);
                    ++off_by_one;
                }
            }
            EXPECT_GT(ink, 0);
            EXPECT_LE(off_by_one, glyph.width * glyph.height / 50 + 1);
        }
    }
}

TEST(GlyphCoverage, CountsBlocksOfHandMadeSamples)
{
    // Two pixels at factor 8: the left one fully covered, the right one with 5 samples.
    std::vector<uint8_t> samples(8 * 4, 0);
    for (int r = 0; r < 8; ++r) samples[r * 4] = 0xFF;
    samples[1] = 0xF0;
    samples[4 * 7 + 1] = 0x01;
    uint8_t out[2];
    CountCoverage(samples.data(), 4, 8, 2, 1, OpacityTable(3), out, 2);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], OpacityTable(3)[5]);

    // Factor 4: nibbles; factor 2: bit pairs.
    std::vector<uint8_t> quarter = {0xF1, 0, 0, 0, 0x30, 0, 0, 0, 0x00, 0, 0, 0, 0x10, 0, 0, 0};
    CountCoverage(quarter.data(), 4, 4, 2, 1, OpacityTable(2), out, 2);
    EXPECT_EQ(out[0], OpacityTable(2)[7]);
    EXPECT_EQ(out[1], OpacityTable(2)[1]);
    std::vector<uint8_t> half = {0xD0, 0, 0, 0, 0x40, 0, 0, 0};
    CountCoverage(half.data(), 4, 2, 2, 1, OpacityTable(1), out, 2);
    EXPECT_EQ(out[0], 127 + 80);  // 3 of 4 samples: 207
    EXPECT_EQ(out[1], 79);
}

TEST(GlyphCoverage, MonochromeLevelGivesOnlyFullOpacity)
{
    TGlyphRenderer renderer;
    ASSERT_TRUE(renderer.SelectFont(SysText(u8"ＭＳ 明朝"), 16, 0));
    TRenderedGlyph glyph;
    ASSERT_TRUE(renderer.Render(Code(u8"永"), 0, glyph));
    ASSERT_TRUE(glyph.has_outline);
    int ink = 0;
    for (uint8_t value : glyph.mask) {
        EXPECT_TRUE(value == 0 || value == 255);
        ink += value == 255;
    }
    EXPECT_GT(ink, 20);
}

TEST(GlyphCoverage, RequestedSizeIsTheCellHeight)
{
    TGlyphRenderer renderer;
    ASSERT_TRUE(renderer.SelectFont(SysText(u8"ＭＳ ゴシック"), 24, 0));
    const TFontMetrics& metrics = renderer.Metrics();
    EXPECT_EQ(metrics.ascent + metrics.descent, 24);
    // IPAGothic: Windows ascent 1802 + descent 401 units over an em of 2048.
    EXPECT_EQ(metrics.ppem, 22);
    EXPECT_EQ(metrics.ascent, 20);
    TRenderedGlyph glyph;
    ASSERT_TRUE(renderer.Render(Code(u8"■"), 3, glyph));
    EXPECT_LE(glyph.height, 24);
    EXPECT_LE(glyph.origin_y, metrics.ascent);
    EXPECT_EQ(renderer.TextWidth(Code(u8"あ")), 22);
}

TEST(GlyphCoverage, HugeGlyphRendersInBands)
{
    TGlyphRenderer renderer;
    ASSERT_TRUE(renderer.SelectFont(SysText(u8"ＭＳ ゴシック"), 600, 0));
    TRenderedGlyph glyph;
    ASSERT_TRUE(renderer.Render(Code(u8"■"), 3, glyph));
    ASSERT_TRUE(glyph.has_outline);
    // The middle of a filled square is fully covered in every band.
    for (int y = glyph.height / 8; y < glyph.height * 7 / 8; y += 7)
        ASSERT_EQ(glyph.mask[static_cast<size_t>(y) * glyph.width + glyph.width / 2], 255) << y;
}

}  // namespace
}  // namespace mobu
