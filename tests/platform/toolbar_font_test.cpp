#include "platform/toolbar_font.h"

#include <gtest/gtest.h>

#include <vector>

namespace mobu {
namespace {

TEST(ToolbarFont, DecodesUtf8AndReplacesMalformedBytes)
{
    EXPECT_EQ(DecodeUtf8("a終了"), U"a終了");
    EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80"), U"\U0001F600");
    EXPECT_EQ(DecodeUtf8("x\xE7\xB5"), U"x\uFFFD\uFFFD");  // cut off at the end
    EXPECT_EQ(DecodeUtf8("\xFF" "b"), U"\uFFFD" "b");
    EXPECT_EQ(DecodeUtf8("\xC3" "A"), U"\uFFFD" "A");  // a lead byte without its trail
}

TEST(ToolbarFont, DrawsTheButtonCaptionsInsideTheirBox)
{
    TToolbarFont font;
    ASSERT_TRUE(font.Load(12)) << "no Japanese font found (fonts-ipafont)";
    int width = font.TextWidth("画面切替");
    EXPECT_GE(width, 40);
    EXPECT_LE(width, 63);  // fits a 67-pixel button
    std::vector<uint32_t> pixels(67 * 18, 0xFFFFFF);
    font.Draw(pixels.data(), 67, 18, 33, 9, "画面切替", 0x000000);
    int inked = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 67; ++x)
            if (pixels[y * 67 + x] != 0xFFFFFF) {
                ++inked;
                EXPECT_GE(x, 33 - width / 2 - 1);
                EXPECT_LE(x, 33 + width / 2 + 1);
            }
    EXPECT_GT(inked, 40);
}

}  // namespace
}  // namespace mobu
