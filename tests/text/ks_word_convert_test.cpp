#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "platform/text_encoding.h"
#include "text/font_style.h"
#include "text/ks_word.h"
#include "text/tag_tokenizer.h"
#include "text/text_messages.h"

namespace mobu {
namespace {

// The glyphs in a compact form: characters as themselves (UTF-8), and
// [br] [clear] [align N] [indent] [undent] [event V] [event-end V] [var N] [hist N] [img S A].
std::string Describe(const TKsWord& engine)
{
    std::string out;
    for (int i = 0; i < engine.GlyphCount(); ++i) {
        const TWdGlyph& g = *engine.Glyph(i);
        switch (g.Kind) {
        case TWdKind::Char:
        case TWdKind::VarChar: {
            const uint16_t code = static_cast<const TWdChar&>(g).Code;
            std::string bytes;
            if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
            bytes.push_back(static_cast<char>(code & 0xFF));
            out += Cp932ToUtf8(bytes);
            break;
        }
        case TWdKind::Return:
        case TWdKind::VarReturn: out += static_cast<const TWdOpeReturn&>(g).NewPage ? "[clear]" : "[br]"; break;
        case TWdKind::Align: out += "[align " + std::to_string(static_cast<const TWdOpeAlign&>(g).Align) + "]"; break;
        case TWdKind::Indent: out += "[indent]"; break;
        case TWdKind::Undent: out += "[undent]"; break;
        case TWdKind::Event: {
            const auto& e = static_cast<const TWdOpeEvent&>(g);
            out += (e.End ? "[event-end " : "[event ") + e.Value + "]";
            break;
        }
        case TWdKind::Var: out += "[var " + static_cast<const TWdOpeVar&>(g).Name + "]"; break;
        case TWdKind::HistChar: out += "[hist " + static_cast<const TWdOpeVar&>(g).Name + "]"; break;
        case TWdKind::Img: {
            const auto& image = static_cast<const TWdImg&>(g);
            out += "[img " + image.Source + " " + std::to_string(image.VAlign) + "]";
            break;
        }
        case TWdKind::Space: out += "[space]"; break;
        }
    }
    return out;
}

std::string Convert(std::u8string_view text, int wait_base = 50)
{
    TKsWord engine;
    engine.SetText({SysText(text)}, wait_base);
    return Describe(engine);
}

TEST(KsWordConvert, TokensAndTagsBecomeGlyphs)
{
    struct Case {
        std::u8string_view text;
        std::string glyphs;
    };
    const Case cases[] = {
        {u8"ab  c\rd", "ab c d"},                         // CR is a blank, blanks collapse
        {u8"a \rb", "a b"},                               // no blank after a blank
        {u8"\rab", "ab"},                                 // none at the start of a run
        {u8"a\tb", "ab"},                                 // TAB is dropped
        {u8"a\x14\x14" "b", "a b"},                       // 0x14 counts as a blank
        {u8"<!-- x <B> -->y", "y"},                       // passive block
        {u8"<script>if (a<b) x</script>z", "z"},          // any case
        {u8"<!-- a <!-- b --> c -->d", "d"},              // blocks nest
        {u8"\\<b\\>\\\\\\%", "<b>\\%"},                   // escapes
        {u8"\"<B>x\r\ty\"z", "\"<B>xy\"z"},               // a quoted stretch keeps tags literal
        {u8"<PRE>a  b\r\tc</PRE>", "a  b[br]        c"},  // PRE keeps blanks, CR gives BR
        {u8"<PRE>\rx</PRE>", "x"},                        // the CR after the opening tag is skipped
        {u8"<TEXTAREA>a  b\rc</TEXTAREA>", "a  bc"},      // no BR in TEXTAREA
        {u8"a<BR>b<BR CLEAR>c<CLEAR>d", "a[br]b[clear]c[clear]d"},
        {u8"<DIV ALIGN=CENTER>x</DIV>y<DIV ALIGN=right>", "[align 3]x[align 1]y[align 2]"},
        {u8"<DIV>x", "[align 1]x"},
        {u8"<INDENT>a<UNDENT>", "[indent]a[undent]"},
        {u8"<EVENT VALUE=\"shake\\nnow\" END><EVENT VALUE=x>", "[event-end shake\r\nnow][event x]"},
        {u8"<VAR NAME=@name><HISTCHAR VALUE=who>", "[var @name][hist who]"},
        {u8"<IMG SRC=icon.png ALIGN=TOP><IMG ALIGN=TOP><IMG SRC='a b.png'>", "[img icon.png 4][img a b.png 5]"},
        {u8"<IMG SRC=c.png ALIGN=center>", "[img c.png 3]"},
        {u8"<UNKNOWN>x<font size=\"3\">y", "xy"},
        {u8"「テスト」。", "「テスト」。"},
        {u8"<b", "<b"},  // an unclosed tag is text
    };
    for (const Case& c : cases) EXPECT_EQ(Convert(c.text), c.glyphs) << Cp932ToUtf8(SysText(c.text));
}

TEST(KsWordConvert, CharacterCodesAreLeadByteTimes256PlusTrail)
{
    // Codes from Python's cp932 codec.
    TKsWord engine;
    engine.SetText({SysText(u8"「テスト」。｢ｱA漢")}, 50);
    const std::vector<uint16_t> expected = {0x8175, 0x8365, 0x8358, 0x8367, 0x8176, 0x8142, 0xA2, 0xB1, 'A', 0x8ABF};
    ASSERT_EQ(engine.GlyphCount(), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(static_cast<const TWdChar*>(engine.Glyph(static_cast<int>(i)))->Code, expected[i]) << i;
}

const TDecorate& DecorateAt(const TKsWord& engine, int index)
{
    return *static_cast<const TWdChar*>(engine.Glyph(index))->Decorate;
}

TEST(KsWordConvert, FormattingStacks)
{
    TKsWord engine;
    engine.SetText({"a<FONT SIZE=24 COLOR=#FF0000 BCOLOR=#00FF00 NAME=Mono BORDER SHADOW=-3>b"
                    "<FONT SIZE=x COLOR=red BORDER=4>c</FONT>d</FONT>e</FONT>f"},
                   50);
    ASSERT_EQ(Describe(engine), "abcdef");
    EXPECT_EQ(DecorateAt(engine, 0).FontSize, 0);
    EXPECT_EQ(DecorateAt(engine, 0).Color, -1);
    const TDecorate& b = DecorateAt(engine, 1);
    EXPECT_EQ(b.FontSize, 24);
    EXPECT_EQ(b.Color, 0x0000FF);  // red in the lowest byte
    EXPECT_EQ(b.OutlineColor, 0x00FF00);
    EXPECT_EQ(b.FontName, "Mono");
    EXPECT_EQ(b.OutlineWidth, 1);  // present without a value
    EXPECT_EQ(b.ShadowOffset, 0);  // negatives become 0
    const TDecorate& c = DecorateAt(engine, 2);
    EXPECT_EQ(c.FontSize, 24);     // invalid keeps the current size
    EXPECT_EQ(c.Color, 0x0000FF);  // COLOR=red keeps the current colour
    EXPECT_EQ(c.OutlineWidth, 4);
    EXPECT_TRUE(DecorateAt(engine, 3).SameFormat(b));
    // Back to the defaults, and an unmatched /FONT keeps them.
    EXPECT_TRUE(DecorateAt(engine, 4).SameFormat(DecorateAt(engine, 0)));
    EXPECT_TRUE(DecorateAt(engine, 5).SameFormat(DecorateAt(engine, 0)));
    // Equal formatting shares one record.
    EXPECT_EQ(&DecorateAt(engine, 0), &DecorateAt(engine, 5));
    EXPECT_EQ(DecorateAt(engine, 0).RefCount, 3);
}

TEST(KsWordConvert, StylesLinksRubyAndWaits)
{
    TKsWord engine;
    engine.SetText({"<B><I>a</B><U>b</I><S>c</U></S><NOBR>d</NOBR><RUBY VALUE=kana>e</RUBY>"
                    "<A HREF=\"go\\\"to\\\\x\\n2\">f</A>g<WAIT VALUE=0>h<WAIT VALUE=-40>i</WAIT>j</WAIT>k<WAIT>l"},
                   50);
    ASSERT_EQ(Describe(engine), "abcdefghijkl");
    EXPECT_EQ(DecorateAt(engine, 0).Style, kFontBold | kFontItalic);
    EXPECT_EQ(DecorateAt(engine, 1).Style, kFontItalic | kFontUnderline);
    EXPECT_EQ(DecorateAt(engine, 2).Style, kFontStrikeOut | kFontUnderline);
    EXPECT_TRUE(DecorateAt(engine, 3).NoBreak);
    EXPECT_FALSE(DecorateAt(engine, 4).NoBreak);
    EXPECT_EQ(DecorateAt(engine, 4).Ruby, "kana");
    auto real = [&](int i) { return static_cast<const TWdReal*>(engine.Glyph(i)); };
    EXPECT_EQ(real(5)->Link, "go\"to\\x\r\n2");
    EXPECT_EQ(real(6)->Link, "");
    const int waits[] = {50, 50, 50, 50, 50, 50, 50, 0, -40, 0, 50, 50};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(real(i)->Wait, waits[i]) << i;
}

TEST(KsWordConvert, AnchorWithoutHrefFailsAndLeavesTheEngineEmpty)
{
    TKsWord engine;
    engine.SetText({"old text"}, 50);
    try {
        engine.SetText({"x<A NAME=y>z</A>"}, 50);
        FAIL() << "no failure";
    } catch (const EMobuError& error) {
        EXPECT_EQ(std::string(error.what()), text_messages::AnchorWithoutHref());
    }
    EXPECT_EQ(engine.GlyphCount(), 0);
    EXPECT_EQ(engine.Decorations().Count(), 0);
}

TEST(KsWordConvert, BlanksAndLineEndsBetweenTags)
{
    // A blank after a closing tag separates words; a line end right after a tag adds nothing;
    // blanks and line ends in a row collapse into one blank.
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"<B>Hello</B> world", {"<B>", "Hello", "</B>", " world"}},
        {"Hello <B>world</B>", {"Hello ", "<B>", "world", "</B>"}},
        {"<BR>\r\nNext", {"<BR>", "Next"}},
        {"one\r\ntwo", {"one two"}},
        {"one  \r\n  two", {"one two"}},
        {"<I>a</I>   \x14" "b", {"<I>", "a", "</I>", " b"}},
        {"a\tb", {"ab"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TokenizeTaggedText(c.text), c.tokens) << c.text;
    }
}

TEST(KsWordConvert, MillionsOfBracketsAreLinear)
{
    // Deep nesting is a counter: an unclosed run of "<" is one text token.
    const std::string opens(300000, '<');
    const auto tokens = TokenizeTaggedText(opens);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].size(), opens.size());
    std::string comments;
    for (int i = 0; i < 100000; ++i) comments += "<!--";
    EXPECT_EQ(TokenizeTaggedText(comments).size(), 1u);
}

TEST(KsWordConvert, DecorateRecordsAreSharedAndRemovedAtZero)
{
    TDecorateList list;
    TDecorate red;
    red.Color = 0xFF;
    TDecorate* a = nullptr;
    TDecorate* b = nullptr;
    list.Assign(a, red);
    list.Assign(b, red);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->RefCount, 2);
    // Shared: changing b makes a new record.
    TDecorate blue;
    blue.Color = 0xFF0000;
    list.Assign(b, blue);
    EXPECT_NE(a, b);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(a->RefCount, 1);
    // Unshared: changed in place.
    TDecorate* before = a;
    TDecorate green;
    green.Color = 0xFF00;
    list.Assign(a, green);
    EXPECT_EQ(a, before);
    EXPECT_EQ(a->Color, 0xFF00);
    EXPECT_EQ(list.Count(), 2);
    list.Release(a);
    EXPECT_EQ(list.Count(), 1);
    list.Release(b);
    EXPECT_EQ(list.Count(), 0);
}

TEST(KsWordConvert, VariablesExpandFromFixedValuesAndCollapse)
{
    TKsWord engine;
    engine.SetText({"a<VAR NAME=who>b<HISTCHAR VALUE=h>c<VAR NAME=calc>"}, 50);
    engine.FixedValueList = {"who=Jo\x01" "e", "h=H"};
    engine.Evaluate = [](const std::string& name, std::string& value) {
        if (name != "calc") return false;
        value = "42";
        return true;
    };
    engine.ExpandVars(0, -1, false);
    EXPECT_EQ(Describe(engine), "a[var who]Jo[br]eb[hist h]c[var calc]42");
    engine.CollapseVars(0, -1);
    EXPECT_EQ(Describe(engine), "a[var who]b[hist h]c[var calc]");
    engine.ExpandVars(0, -1, true);
    EXPECT_EQ(Describe(engine), "a[var who]Jo[br]eb[hist h]Hc[var calc]42");
    // CharCount and CharIndex count stored glyphs, not expansions.
    EXPECT_EQ(engine.CharCount(engine.GlyphCount()), 6);
    EXPECT_EQ(engine.CharIndex(2), 6);  // "b" after the four expanded glyphs
}

TEST(KsWordConvert, VariableExpansionIsCapped)
{
    TKsWord engine;
    engine.SetText({"<VAR NAME=big>"}, 50);
    engine.FixedValueList = {"big=" + std::string(200000, 'x')};
    engine.ExpandVars(0, -1, false);
    EXPECT_EQ(engine.GlyphCount(), 1 + static_cast<int>(TKsWord::kMaxVarChars));
}

}  // namespace
}  // namespace mobu
