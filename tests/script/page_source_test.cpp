// Page sources: what the assembler computes (loop exits, break and continue targets, label
// targets, masks, versions), its errors, and disassembling back to the same bytes.
#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "expr/mobu_parser.h"
#include "platform/text_encoding.h"
#include "script/page.h"
#include "script/expression_text.h"
#include "script/page_source.h"
#include "text/ks_word.h"
#include "text/text_messages.h"

namespace mobu {
namespace {

const char* const kSources[] = {
    "VarNew name: i; type: int; value: 0; scope: local\n"
    "WhileInit expr: i = 0\n"
    "While cond: i < 10\n"
    "  Calc expr: i = i + 1; continue: yes\n"
    "  If cond: i == 3\n"
    "    Continue\n"
    "  Elseif cond: i > 8 & TRUE\n"
    "    Break\n"
    "  Else\n"
    "    Comment text: 日本語のコメント\n"
    "WhileLoop expr: i = i\n"
    "Break\n",
    "page version: 105; result: string\n"
    "Label name: top\n"
    "Jump page: p.msb; target: top; cond: a <> \"x;y\"\n"
    "Call page: other.msb; target: 3; result: a[1]; args: 1; args: ; args: Copy(s, 1, 2) ++ \"\\\"\"\n"
    "Exit cond:\n"
    "GameSave slot: 2; page: r.msb; caption: \"c\"\n"
    "Wait time: 100\n",
    "mask BoxNew: PR_NAME PR_ALPHA 167\n"
    "BoxNew PR_NAME: \"b\"; PR_LEFT: 10 * 2; PR_COLOR: $FF00\n"
    "BoxNew PR_TOP: -5; disabled: yes; line: 99\n"
    "Flip transition: 3; duration: 500; names: \"a\"; names: \"b\"; hold: TRUE\n"
    "TextIns text: x\"0102FF\"; box: \"mes\"; wait: TRUE\n"
    "SaveCabinet PR_NAME: \"cab\"; invert: FALSE; names: \"x\"\n"
    "VarNew name: f; type: real; value: 1.5; scope: status\n"
    "PCReset page: p.msb; target: 0; all: yes\n"
    "Calc expr: {ocTo \"x\" = i5 | ocFunc \"____0\" #0 = v\"x\"}\n",
    "Calc expr: {ocTo \"x\" = i-2147483648 | ocTo \"y\" = i2147483647 | ocTo \"z\" = s\"\\x81\\xffa\"}\n"
    "Comment text: \"\\x81\\x40\"\n",
};

TEST(PageSource, DisassemblyAssemblesToTheSameBytes)
{
    for (const char* source : kSources) {
        TPageSourceOptions options;
        options.page_name = "p.msb";
        const std::string bytes = AssemblePage(source, options);
        const std::string listing = DisassemblePage(bytes, "p.msb");
        EXPECT_EQ(AssemblePage(listing, options), bytes) << listing;
        EXPECT_EQ(DisassemblePage(AssemblePage(listing, options), "p.msb"), listing);
    }
}

TEST(PageSource, ExpressionsComeBackAsWritten)
{
    const char* const expressions[] = {
        "x = (a + b) * c",
        "a - (b - c) - d",
        "x = IntToStr(a * (b + 1)) ++ \"s\"",
        "i > 8 & TRUE | y ^ FALSE",
        "t = a[i + 1, 2] << 3",
    };
    for (const char* expression : expressions) {
        const std::string source = std::string("page version: 116; result: int\nCalc expr: ") + expression + "\n";
        EXPECT_EQ(DisassemblePage(AssemblePage(source)), source);
    }
}

// A raw Calc expression: ____0 = a, then `steps` operations ____k = ____(k-1) + `right`,
// then x = ____steps.
std::string ChainSource(int steps, const std::string& right)
{
    std::string text = "Calc expr: {ocTo \"____0\" = v\"a\"";
    for (int k = 1; k <= steps; ++k) {
        const std::string before = "v\"____" + std::to_string(k - 1) + "\"";
        text += " | ocPlus \"____" + std::to_string(k) + "\" = " + before + ", " + (right.empty() ? before : right);
    }
    return text + " | ocTo \"x\" = v\"____" + std::to_string(steps) + "\"}\n";
}

TEST(PageSource, ChainsThatHaveNoShortTextStayRaw)
{
    const struct {
        const char* name;
        std::string source;
    } cases[] = {
        // Each step reads the one before twice: as script text it would double every step.
        {"doubling", ChainSource(40, "")},
        // Each step reads the one before once, but the text outgrows any sane length.
        {"long", ChainSource(12000, "v\"bbbb\"")},
    };
    for (const auto& c : cases) {
        const std::string bytes = AssemblePage(c.source);
        const std::string listing = DisassemblePage(bytes);
        EXPECT_LT(listing.size(), c.source.size() + 64) << c.name;
        EXPECT_NE(listing.find("expr: {ocTo"), std::string::npos) << c.name;
        EXPECT_EQ(AssemblePage(listing), bytes) << c.name;
    }
}

TEST(PageSource, LoopTargetsAreComputed)
{
    TPage page;
    page.LoadFromBytes("p.msb", AssemblePage(kSources[0]));
    // 0 VarNew, 1 WhileInit, 2 While, 3 Calc, 4 If, 5 Continue, 6 Elseif, 7 Break, 8 Else,
    // 9 Comment, 10 WhileLoop, 11 Break
    EXPECT_EQ(page.Command(2)->Fields()[1].number, 11);  // While exit: after its WhileLoop
    EXPECT_EQ(page.Command(5)->Fields()[1].number, 10);  // Continue: the WhileLoop
    EXPECT_EQ(page.Command(7)->Fields()[1].number, 11);  // Break: after the loop
    EXPECT_EQ(page.Command(10)->Fields()[1].number, 2);  // WhileLoop head: the While
    EXPECT_EQ(page.Command(11)->Fields()[1].number, -1);  // Break outside any loop
    EXPECT_EQ(page.Command(4)->Depth, 1);
    EXPECT_EQ(page.Command(5)->Depth, 2);
    EXPECT_EQ(page.Command(3)->LineNo, 4);
    EXPECT_EQ(page.Command(3)->ContinueFlag, 1);
    EXPECT_EQ(page.Command(9)->Fields()[0].text, SysText(u8"日本語のコメント"));
}

TEST(PageSource, VersionsMasksAndLabels)
{
    TPageSourceOptions options;
    options.page_name = "p.msb";
    TPage page;
    page.LoadFromBytes("p.msb", AssemblePage(kSources[1], options));
    EXPECT_EQ(page.PageVersion, 105);
    EXPECT_EQ(page.ResultType, 4);
    EXPECT_EQ(page.Command(1)->Fields()[1].number, 0);  // the label "top"
    EXPECT_TRUE(page.Command(4)->Fields()[2].present);   // GameSave index after 104
    EXPECT_FALSE(page.Command(5)->Fields()[2].present);  // Wait hold only after 106
    EXPECT_EQ(page.Command(2)->Fields()[4].list.size(), 3u);

    page.LoadFromBytes("p.msb", AssemblePage(kSources[2], options));
    EXPECT_TRUE(MaskHas(page.PropertyMasks[8], 0));
    EXPECT_TRUE(MaskHas(page.PropertyMasks[8], 3));
    EXPECT_TRUE(MaskHas(page.PropertyMasks[8], 4));
    EXPECT_TRUE(MaskHas(page.PropertyMasks[8], 167));
    EXPECT_TRUE(page.Command(1)->PropertyExprs()[0]->Empty());  // in the mask, not given here
    EXPECT_EQ(page.Command(1)->LineNo, 99);
    EXPECT_EQ(page.Command(3)->Fields()[0].text, std::string("\x01\x02\xFF", 3));
}

TEST(PageSource, AwkwardLabelNamesComeBackUnchanged)
{
    const std::string names[] = {
        "a\"b", "\"a", "a\"", "\"\"", "a\\\"b", "\\", "a\\b", " a", "a ", "a;b", "a:b", ":", "",
        "a\tb", "12", "-3", "auto", "x\"41\"", SysText(u8"日本語のラベル"), "\x81\xFF",
    };
    TPageSourceOptions options;
    options.page_name = "p.msb";
    for (const std::string& name : names) {
        const std::string quoted = QuoteSourceText(name);
        const std::string bytes = AssemblePage(
            "Calc expr: 1\nLabel name: " + quoted + "\nJump target: " + quoted + "\nComment text: " + quoted + "\n",
            options);
        TPage page;
        page.LoadFromBytes("p.msb", bytes);
        ASSERT_EQ(page.Command(1)->Fields()[0].text, name);
        ASSERT_EQ(page.Command(2)->Fields()[1].number, 1);
        const std::string listing = DisassemblePage(bytes, "p.msb");
        try {
            EXPECT_EQ(AssemblePage(listing, options), bytes) << listing;
        } catch (const EMobuError& error) {
            ADD_FAILURE() << Cp932ToUtf8(error.what()) << "\n" << listing;
        }
    }
}

TEST(PageSource, JumpTargetsAreNamedOnlyByTheFirstLabelOfTheirName)
{
    const std::string source =
        "page version: 116; result: int\n"
        "Comment text: a\n"
        "Label name: a\n"
        "Label name: b\n"
        "Label name: b\n"
        "Jump target: 1\n"   // a comment of that text comes first
        "Jump target: b\n"
        "Jump target: 3\n";  // the second label of the name
    const std::string listing = DisassemblePage(AssemblePage(source));
    EXPECT_EQ(listing, source);
}

TEST(PageSource, ErrorsNameTheLine)
{
    const char* const bad[] = {
        "Calc expr: a = (b\n",           // syntax error of the expression
        "Nothing\n",                     // unknown command
        "Calc exp: 1\n",                 // unknown operand
        "Jump page: p.msb; target: nowhere\n",
        "page version: 105\nWait hold: TRUE\n",  // not stored in this version
        " Calc expr: 1\n",               // odd indentation
        "VarNew name: v; type: text\n",
        // Raw expressions and quoted texts that no number or byte can be read from.
        "Calc expr: {ocTo \"x\" = i99999999999999}\n",
        "Calc expr: {ocTo \"x\" = i-}\n",
        "Calc expr: {ocFunc \"x\" #256 = v\"a\"}\n",
        "Calc expr: {ocFunc \"x\" # = v\"a\"}\n",
        "Calc expr: {ocTo \"x\" = rZZ000000000000000000}\n",
        "Calc expr: {ocTo \"x\" = fX}\n",
        "Calc expr: {ocTo \"x\" = s\"\\xZZ\"}\n",
        "Label name: \"\\x4\"\n",
        "Calc expr: 1\nComment text: \"a\\xG1\"\n",
    };
    for (const char* source : bad) {
        TPageSourceOptions options;
        options.page_name = "p.msb";
        try {
            AssemblePage(source, options);
            ADD_FAILURE() << source;
        } catch (const EMobuError& error) {
            EXPECT_EQ(Cp932ToUtf8(error.what()).rfind("line ", 0), 0u) << Cp932ToUtf8(error.what());
        }
    }
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

// TextIns text in quotes is tagged message text compiled into the stored glyph list; an A
// tag without HREF stops the assembly at its line.
TEST(PageSource, MessageTextIsCompiledIntoTheStoredGlyphList)
{
    const std::string bytes =
        AssemblePage(reinterpret_cast<const char*>(u8"TextIns text: \"<B>駅</B>の<WAIT VALUE=0>ホーム\"; box: \"mes\"\n"));
    TPage page;
    page.LoadFromBytes("p.msb", bytes);
    ASSERT_EQ(page.Count(), 1);
    const std::string& stored = page.Command(0)->Text(0);
    ASSERT_GE(stored.size(), 9u);
    EXPECT_EQ(stored.substr(0, 9), "KsWord102");
    TKsWord engine;
    ByteReader in(stored);
    engine.LoadGlyphs(in);
    ASSERT_EQ(engine.GlyphCount(), 5);
    EXPECT_EQ(static_cast<const TWdChar*>(engine.Glyph(0))->Code, 0x8977);  // 駅 (Python cp932)
    EXPECT_EQ(static_cast<const TWdChar*>(engine.Glyph(0))->Decorate->Style, 1);
    EXPECT_EQ(static_cast<const TWdChar*>(engine.Glyph(1))->Wait, 50);
    EXPECT_EQ(static_cast<const TWdChar*>(engine.Glyph(2))->Wait, 0);
    // The listing keeps the stored bytes, so it assembles to the same page.
    EXPECT_EQ(AssemblePage(DisassemblePage(bytes, "p.msb")), bytes);
    try {
        AssemblePage("Calc expr: a = 1\nTextIns text: \"<A>x</A>\"; box: \"mes\"\n");
        FAIL() << "no failure";
    } catch (const EMobuError& error) {
        const std::string message = error.what();
        EXPECT_EQ(message.rfind("line 2: ", 0), 0u) << message;
        EXPECT_NE(message.find(text_messages::AnchorWithoutHref()), std::string::npos) << message;
    }
}

// The page line's text delay is the wait of every character outside WAIT tags; \n is a line
// break (a blank between words in the tag language); a character code page 932 cannot hold
// stops the assembly instead of turning into "?".
TEST(PageSource, MessageTextDelayLineBreaksAndUnconvertibleCharacters)
{
    auto glyphs = [](const std::string& source) {
        TPage page;
        page.LoadFromBytes("p.msb", AssemblePage(source));
        TKsWord engine;
        ByteReader in(page.Command(0)->Text(0));
        engine.LoadGlyphs(in);
        if (engine.GlyphCount() == 0) return std::make_pair(0, 0);
        return std::make_pair(engine.GlyphCount(), static_cast<const TWdChar*>(engine.Glyph(0))->Wait);
    };
    EXPECT_EQ(glyphs("page text delay: 120\nTextIns text: \"ab\"; box: \"mes\"\n"), std::make_pair(2, 120));
    EXPECT_EQ(glyphs("TextIns text: \"ab\"; box: \"mes\"\n"), std::make_pair(2, 50));
    // "one\ntwo": the line end reads as one blank between the words.
    EXPECT_EQ(glyphs("TextIns text: \"one\\ntwo\"; box: \"mes\"\n").first, 7);
    try {
        AssemblePage(reinterpret_cast<const char*>(u8"TextIns text: \"snow \u2603\"; box: \"mes\"\n"));
        FAIL() << "no failure";
    } catch (const EMobuError& error) {
        const std::string message = error.what();
        EXPECT_EQ(message.rfind("line 1: ", 0), 0u) << message;
    }
    EXPECT_THROW(AssemblePage("page text delay: -1\nTextIns text: \"ab\"; box: \"mes\"\n"), EMobuError);
}

}  // namespace
}  // namespace mobu
