#include <gtest/gtest.h>

#include <cstdio>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "platform/text_encoding.h"
#include "text/ks_word.h"

namespace mobu {
namespace {

// A stored glyph list built from the format's tables: one record (colour 0xFF, size 16,
// bold, outline 2, name "F", ruby "r"), then a character, an image, a line break, an
// alignment, an indent, an undent, an event with its end mark, and a variable glyph.
std::string StoredList(int version, int32_t char_record = 0, const std::string& expression = "")
{
    ByteWriter out;
    if (version > 0) {
        char header[32];
        std::snprintf(header, sizeof header, "KsWord%03d", version);
        out.Raw(header, 9);
    }
    out.I32(1);  // records
    out.I32(7);  // reference count as stored
    out.I32(0xFF);
    out.I32(-1);
    out.I32(16);
    out.U8(1);
    out.U8(0);
    if (version < 100) out.U8(5);  // non-zero reads as 1
    else out.I32(2);
    out.String("F");
    out.String("r");
    if (version >= 100) {
        out.I32(3);
        out.I32(0x123456);
    }
    out.I32(8);  // glyphs
    out.U8(1);
    out.String("link");
    out.I32(40);
    out.U16(0x82A0);  // あ
    out.I32(char_record);
    out.U8(9);
    out.String("");
    out.I32(0);
    out.String("icon.png");
    out.U8(4);
    out.U8(3);
    out.U8(1);
    out.U8(2);
    out.U8(3);
    out.U8(4);
    out.U8(5);
    out.U8(6);
    out.String("\x01shake");
    out.U8(7);
    out.I32(0);
    if (version > 100) {
        out.I32(9);
        out.String("extra");
    }
    if (version < 102) {
        TMobuParser compiled;
        if (!expression.empty()) {
            TBuildMobuParser compiler;
            compiler.Compile(expression);
            compiled.LoadFromBytes(compiler.ToStream());
        }
        compiled.SaveToStream(out);
    } else {
        out.String("who");
    }
    return out.Take();
}

TEST(KsWordStream, ReadsEveryVersionGate)
{
    for (int version : {0, 99, 100, 101, 102, 103}) {
        const std::string bytes = StoredList(version);
        ByteReader in(bytes);
        TKsWord engine;
        engine.LoadGlyphs(in);
        EXPECT_TRUE(in.AtEnd()) << version;
        ASSERT_EQ(engine.GlyphCount(), 8) << version;
        const auto& c = *static_cast<const TWdChar*>(engine.Glyph(0));
        EXPECT_EQ(c.Code, 0x82A0);
        EXPECT_EQ(c.Link, "link");
        EXPECT_EQ(c.Wait, 40);
        ASSERT_NE(c.Decorate, nullptr);
        EXPECT_EQ(c.Decorate->Color, 0xFF);
        EXPECT_EQ(c.Decorate->FontSize, 16);
        EXPECT_EQ(c.Decorate->FontName, "F");
        EXPECT_EQ(c.Decorate->Ruby, "r");
        EXPECT_EQ(c.Decorate->OutlineWidth, version < 100 ? 1 : 2);
        EXPECT_EQ(c.Decorate->ShadowOffset, version < 100 ? -1 : 3);
        EXPECT_EQ(c.Decorate->ShadowColor, version < 100 ? -1 : 0x123456);
        const auto& image = *static_cast<const TWdImg*>(engine.Glyph(1));
        EXPECT_EQ(image.Source, "icon.png");
        EXPECT_EQ(image.VAlign, kImgTop);
        EXPECT_TRUE(static_cast<const TWdOpeReturn*>(engine.Glyph(2))->NewPage);
        EXPECT_EQ(static_cast<const TWdOpeAlign*>(engine.Glyph(3))->Align, kAlignCenter);
        EXPECT_EQ(engine.Glyph(4)->Kind, TWdKind::Indent);
        EXPECT_EQ(engine.Glyph(5)->Kind, TWdKind::Undent);
        const auto& event = *static_cast<const TWdOpeEvent*>(engine.Glyph(6));
        EXPECT_EQ(event.Value, "shake");
        EXPECT_TRUE(event.End);
        const auto& var = *static_cast<const TWdOpeVar*>(engine.Glyph(7));
        EXPECT_EQ(var.Name, version >= 102 ? "who" : "");
        EXPECT_EQ(var.Extra, version > 100 ? 9 : 0);
        EXPECT_EQ(var.Compiled != nullptr, version < 102);
    }
}

TEST(KsWordStream, CompiledVariablesOfOldListsAreShownAndKept)
{
    // A version 101 list holds its variable glyph as a compiled expression: expanding runs it,
    // and saving keeps the old form so the expression is not lost.
    auto run = [](TMobuParser& expression, std::string& value) {
        TParamCollection table;
        TSysFuncMan functions(table);
        expression.Execute(functions);
        if (expression.Result() == nullptr) return false;
        value = expression.Result()->GetString();
        return true;
    };
    const std::string bytes = StoredList(101, 0, "\"Jo\" ++ \"!\"");
    TKsWord engine;
    engine.EvaluateCompiled = run;
    ByteReader in(bytes);
    engine.LoadGlyphs(in);
    ASSERT_EQ(engine.GlyphCount(), 8);
    ByteWriter saved;
    engine.SaveGlyphs(saved);
    const std::string again = saved.Take();
    EXPECT_EQ(again.substr(0, 9), "KsWord101");
    engine.ExpandVars(0, -1, false);
    EXPECT_EQ(engine.GlyphCount(), 11);  // J, o and ! after the variable glyph

    TKsWord back;
    back.EvaluateCompiled = run;
    ByteReader again_in(again);
    back.LoadGlyphs(again_in);
    EXPECT_TRUE(again_in.AtEnd());
    ASSERT_EQ(back.GlyphCount(), 8);
    EXPECT_NE(static_cast<const TWdOpeVar*>(back.Glyph(7))->Compiled, nullptr);
    back.ExpandVars(0, -1, false);
    EXPECT_EQ(back.GlyphCount(), 11);

    // A list of named variables is written at the current version.
    TKsWord named;
    const std::string named_bytes = StoredList(102);
    ByteReader named_in(named_bytes);
    named.LoadGlyphs(named_in);
    ByteWriter named_out;
    named.SaveGlyphs(named_out);
    EXPECT_EQ(named_out.Take().substr(0, 9), "KsWord102");
}

TEST(KsWordStream, SaveThenLoadGivesTheSameGlyphs)
{
    TKsWord engine;
    engine.SetText({SysText(u8"<FONT COLOR=#102030 SIZE=20>漢<RUBY VALUE=かな>字</RUBY></FONT><BR CLEAR>"
                            u8"<A HREF=x>l</A><DIV ALIGN=RIGHT><INDENT><UNDENT><EVENT VALUE=e END>"
                            u8"<VAR NAME=v><HISTCHAR VALUE=h><IMG SRC=i.png ALIGN=CENTER>")},
                   30);
    ByteWriter out;
    engine.SaveGlyphs(out);
    const std::string bytes = out.Take();
    EXPECT_EQ(bytes.substr(0, 9), "KsWord102");
    ByteReader in(bytes);
    TKsWord back;
    back.LoadGlyphs(in);
    EXPECT_TRUE(in.AtEnd());
    ByteWriter again;
    back.SaveGlyphs(again);
    EXPECT_EQ(again.Take(), bytes);
    ASSERT_EQ(back.GlyphCount(), engine.GlyphCount());
    for (int i = 0; i < engine.GlyphCount(); ++i) EXPECT_EQ(back.Glyph(i)->Kind, engine.Glyph(i)->Kind) << i;
}

TEST(KsWordStream, DamagedListsChangeNothing)
{
    const std::string good = StoredList(102);
    // Every cut-off length is refused and leaves the engine as it was.
    for (size_t length = 0; length + 1 < good.size(); length += 3) {
        const std::string cut = good.substr(0, length);
        ByteReader in(cut);
        TKsWord engine;
        engine.SetText({"ok"}, 0);
        bool failed = false;
        try {
            engine.LoadGlyphs(in);
        } catch (const EMobuError&) {
            failed = true;
        }
        if (failed) {
            EXPECT_EQ(engine.GlyphCount(), 2) << length;
        }
    }
    // A hostile count is checked against the bytes left.
    ByteWriter hostile;
    hostile.Raw(std::string("KsWord102"));
    hostile.I32(0);
    hostile.I32(0x7FFFFFFF);
    const std::string bytes = hostile.Take();
    ByteReader in(bytes);
    TKsWord engine;
    EXPECT_THROW(engine.LoadGlyphs(in), EMobuError);
}

TEST(KsWordStream, OutOfRangeRecordGetsTheDefaultFormatting)
{
    const std::string bytes = StoredList(102, 55);
    ByteReader in(bytes);
    TKsWord engine;
    engine.LoadGlyphs(in);
    const auto& c = *static_cast<const TWdChar*>(engine.Glyph(0));
    ASSERT_NE(c.Decorate, nullptr);
    EXPECT_TRUE(c.Decorate->SameFormat(TDecorate{}));
}

TEST(KsWordStream, UnknownTypeCodeEndsTheList)
{
    ByteWriter out;
    out.Raw(std::string("KsWord102"));
    out.I32(0);
    out.I32(3);
    out.U8(3);
    out.U8(0);
    out.U8(8);  // no such glyph
    out.U8(3);
    out.U8(1);
    const std::string bytes = out.Take();
    ByteReader in(bytes);
    TKsWord engine;
    engine.LoadGlyphs(in);
    EXPECT_EQ(engine.GlyphCount(), 1);
}

TEST(KsWordStream, SettingsRecordAtEachGate)
{
    TKsWord engine;
    engine.OriginX = 5;
    engine.FontSize = 22;
    engine.FontName = "Mono";
    engine.ShadowColor = 0x445566;
    engine.OutlineWidth = 2;
    engine.ShadowOffset = 3;
    engine.TextDelayRate = 256;
    ByteWriter out;
    engine.SaveSettings(out);
    const std::string full = out.Take();
    struct Case {
        int version;
        size_t cut;  // bytes the older version lacks
        int32_t shadow_colour, outline, shadow;
    };
    for (const Case& c : {Case{109, 12, 0, 0, 0}, Case{110, 8, 0x445566, 0, 0}, Case{111, 0, 0x445566, 2, 3}}) {
        const std::string bytes = full.substr(0, full.size() - c.cut);
        ByteReader in(bytes);
        TKsWord back;
        back.LoadSettings(in, c.version);
        EXPECT_TRUE(in.AtEnd()) << c.version;
        EXPECT_EQ(back.OriginX, 5);
        EXPECT_EQ(back.FontSize, 22);
        EXPECT_EQ(back.FontName, "Mono");
        EXPECT_EQ(back.TextDelayRate, 256);
        EXPECT_EQ(back.ShadowColor, c.shadow_colour);
        EXPECT_EQ(back.OutlineWidth, c.outline);
        EXPECT_EQ(back.ShadowOffset, c.shadow);
    }
}

}  // namespace
}  // namespace mobu
