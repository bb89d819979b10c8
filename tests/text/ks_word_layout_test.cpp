#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "text/ks_word.h"

namespace mobu {
namespace {

struct Laid {
    std::vector<std::vector<std::string>> pages;  // row texts (UTF-8) per page
    TWdPageList list;
};

Laid LayOut(TKsWord& engine, std::u8string_view text)
{
    engine.SetText({SysText(text)}, 50);
    Laid laid;
    engine.Layout(laid.list);
    for (auto& page : laid.list) {
        laid.pages.emplace_back();
        for (auto& row : page->Rows) laid.pages.back().push_back(Cp932ToUtf8(TKsWord::RowText(*row, "#")));
    }
    return laid;
}

using Rows = std::vector<std::string>;

TEST(KsWordLayout, KinsokuKeepsBracketsAndStopsWithTheirNeighbours)
{
    // 「テスト」。 never breaks before 。 or 」 nor after 「, whatever the width.
    for (int width = 10; width <= 70; width += 10) {
        TKsWord engine;
        engine.FontSize = 10;
        engine.Width = width;
        const Laid laid = LayOut(engine, u8"「テスト」。「テスト」。");
        for (const auto& row : laid.pages.at(0)) {
            EXPECT_NE(row.rfind("\xE3\x80\x8D", 0), 0u) << width << " " << row;  // 」
            EXPECT_NE(row.rfind("\xE3\x80\x82", 0), 0u) << width << " " << row;  // 。
            ASSERT_GE(row.size(), 3u);
            EXPECT_NE(row.substr(row.size() - 3), "\xE3\x80\x8C") << width << " " << row;  // 「
        }
    }
}

TEST(KsWordLayout, RowsFromTable)
{
    struct Case {
        int width, size;
        std::u8string_view text;
        std::vector<Rows> pages;
    };
    const Case cases[] = {
        // A Latin word is never split; a blank stays with the word before it.
        {60, 10, u8"hello world", {{"hello ", "world"}}},
        {30, 10, u8"hello world", {{"hello ", "world"}}},
        {0, 10, u8"hello world foo", {{"hello world foo"}}},  // width 0: one row
        // Japanese breaks anywhere else.
        {30, 10, u8"あいうえお", {{"あいう", "えお"}}},
        // NOBR holds its characters together.
        {30, 10, u8"あ<NOBR>いうえ</NOBR>お", {{"あ", "いうえ", "お"}}},
        // Ruby groups stay together.
        {30, 10, u8"あ<RUBY VALUE=x>いう</RUBY>え", {{"あいう", "え"}}},
        {20, 10, u8"あ<RUBY VALUE=x>いう</RUBY>え", {{"あ", "いう", "え"}}},
        // BR only a new row, CLEAR and BR CLEAR a new page.
        {0, 10, u8"a<BR>b<CLEAR>c<BR CLEAR>d", {{"a", "b"}, {"c"}, {"d"}}},
        // A break after a word wider than the row leaves no empty row.
        {30, 10, u8"abcd<BR>e<IMG SRC=none.png>", {{"abcd", "e#"}}},
        // A no-end character takes the next character with it.
        {30, 10, u8"ああ「い」", {{"ああ", "「い」"}}},
    };
    for (const Case& c : cases) {
        TKsWord engine;
        engine.FontSize = c.size;
        engine.Width = c.width;
        engine.Paging = 0;
        const Laid laid = LayOut(engine, c.text);
        std::vector<Rows> expected;
        for (const auto& page : c.pages) {
            expected.emplace_back();
            for (const auto& row : page) expected.back().push_back(row);
        }
        EXPECT_EQ(laid.pages, expected) << Cp932ToUtf8(SysText(c.text)) << " width " << c.width;
    }
}

TEST(KsWordLayout, PagingMovesRowsThatEndBelowTheHeightExceptAPagesFirst)
{
    TKsWord engine;
    engine.FontSize = 10;
    engine.Width = 100;
    engine.Height = 35;
    engine.LineSpace = 2;
    const Laid laid = LayOut(engine, u8"a<BR>b<BR>c<BR>d<BR><FONT SIZE=50>e</FONT><BR>f");
    // Rows at 0, 12, 24 (bottom 34); d would end at 46; e is 50 high but first on its page.
    const std::vector<Rows> expected = {{"a", "b", "c"}, {"d"}, {"e"}, {"f"}};
    EXPECT_EQ(laid.pages, expected);
    for (auto& page : laid.list) {
        for (size_t r = 1; r < page->Rows.size(); ++r) EXPECT_LE(page->Rows[r]->Bottom(), engine.Height);
        EXPECT_EQ(page->Rows[0]->Y, 0);
    }
    EXPECT_EQ(laid.list[0]->Rows[2]->Y, 24);
    EXPECT_EQ(laid.list[2]->Rows[0]->Height, 50);
}

TEST(KsWordLayout, MeasuringInEmSquares)
{
    TKsWord engine;
    engine.FontSize = 20;
    engine.OutlineWidth = 2;
    engine.ShadowOffset = 3;
    engine.Width = 1000;
    const Laid laid = LayOut(engine, u8"a<I>b</I><RUBY VALUE=r>c</RUBY><FONT SIZE=10 BORDER=0 SHADOW=0>d</FONT>");
    const TWdRow& row = *laid.list.at(0)->Rows.at(0);
    ASSERT_EQ(row.Glyphs.size(), 4u);
    EXPECT_EQ(row.Glyphs[0]->Width, 20 + 4 + 3);
    EXPECT_EQ(row.Glyphs[1]->Width, 20 + 4 + 4 + 3);   // italic adds size / 5
    EXPECT_EQ(row.Glyphs[2]->Height, 20 + 10 + 4 + 3);  // ruby adds size / 2
    EXPECT_EQ(row.Glyphs[3]->Width, 10);
    EXPECT_EQ(row.Height, 37);
    // Characters sit on the bottom line.
    EXPECT_EQ(row.Glyphs[3]->Y, 27);
    EXPECT_EQ(row.Glyphs[1]->X, 27);
}

TEST(KsWordLayout, AlignmentIndentAndImages)
{
    TKsWord engine;
    engine.FontSize = 10;
    engine.Width = 100;
    engine.Paging = 0;
    engine.ImageSize = [](const std::string& source, int& w, int& h) {
        if (source == "missing.png") return false;
        w = 16;
        h = source == "tall.png" ? 30 : 16;
        return true;
    };
    const Laid laid = LayOut(engine,
                             u8"<DIV ALIGN=CENTER>ab</DIV><BR><DIV ALIGN=RIGHT>c</DIV><BR>"
                             u8"xx<INDENT>yyyyyyy zz<UNDENT><BR>q<IMG SRC=tall.png ALIGN=CENTER>"
                             u8"<IMG SRC=missing.png><BR>r<IMG SRC=tall.png ALIGN=TOP><BR>s<IMG SRC=tall.png>");
    const auto& rows = laid.list.at(0)->Rows;
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0]->X, 40);  // centred: (100 - 20) / 2
    EXPECT_EQ(rows[1]->X, 90);  // right
    // The indent row continues at the indent as a leading space.
    EXPECT_EQ(Cp932ToUtf8(TKsWord::RowText(*rows[3], "#")), "zz");
    ASSERT_TRUE(rows[3]->IndentSpace != nullptr);
    EXPECT_EQ(rows[3]->IndentSpace->Width, 20);
    // Centred image 30 high on a 10 row: 10 above, 10 below.
    EXPECT_EQ(rows[4]->Height, 30);
    EXPECT_EQ(rows[4]->ExtraAbove, 10);
    EXPECT_EQ(rows[4]->ExtraBelow, 10);
    EXPECT_EQ(Cp932ToUtf8(TKsWord::RowText(*rows[4], "#")), "q##");
    EXPECT_EQ(rows[4]->Glyphs[2]->Width, 0);  // a missing image is 0 x 0
    // Top image extends below, bottom image above.
    EXPECT_EQ(rows[5]->ExtraBelow, 20);
    EXPECT_EQ(rows[5]->Glyphs[1]->Y, 0);
    EXPECT_EQ(rows[6]->ExtraAbove, 20);
    EXPECT_EQ(rows[6]->Glyphs[0]->Y, 20);
}

TEST(KsWordLayout, WidthZeroBecomesTheWidestRow)
{
    TKsWord engine;
    engine.FontSize = 10;
    LayOut(engine, u8"abc<BR>abcdef<BR>a");
    EXPECT_EQ(engine.Width, 60);
}

TEST(KsWordLayout, HugeFontSizesStayIn32Bits)
{
    TKsWord engine;
    engine.Width = 100;
    engine.Height = 100;
    const Laid laid = LayOut(engine, u8"<FONT SIZE=2000000000 BORDER=2000000000>a</FONT>b");
    ASSERT_FALSE(laid.list.empty());
    for (auto& page : laid.list)
        for (auto& row : page->Rows) EXPECT_GT(row->Height, 0);
}

}  // namespace
}  // namespace mobu
