#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/param_collection.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

// A table holding one variable of every type, scalars and arrays, of every scope a game
// save holds.
void FillGame(TParamCollection& table)
{
    table.AddVariable("i", PT_INT)->Value()->SetInteger(-5);
    auto* r = table.AddVariable("r", PT_FLOAT);
    r->Value()->SetDims({2});
    r->Value()->SetFloatAt(0, 1.0L / 3);
    r->Value()->SetFloatAt(1, -2.5e300L);
    table.AddVariable("f", PT_BOOL)->Value()->SetFlag(true);
    auto* s = table.AddVariable("s", PT_STR);
    s->Value()->SetDims({2, 2});
    s->Value()->SetStringAt(3, "\x82\xa0x");  // "あx"
    table.CurrentDepth = 2;
    table.AddVariable("loc", PT_INT, TVarScope::Local)->Value()->SetInteger(9);
    table.AddVariable("aut", PT_STR, TVarScope::AutoDestroy);
    table.CurrentDepth = 0;
    table.AddVariable("stat", PT_INT, TVarScope::Status)->Value()->SetInteger(77);
}

std::string GameBytes(const TParamCollection& table)
{
    ByteWriter out;
    table.SaveGameVars(out);
    return out.Take();
}

TEST(ParamSections, EmptyStringIsFourZeroBytes)
{
    TParamStr s;
    ByteWriter out;
    s.SaveToStream(out);
    // no dimensions, one element, the empty string
    EXPECT_EQ(out.Bytes(), std::string("\0\0\0\0\1\0\0\0\0\0\0\0", 12));
}

TEST(ParamSections, GameVarsByteLayout)
{
    TParamCollection table;
    table.AddVariable("a", PT_INT)->Value()->SetInteger(0x01020304);
    table.AddVariable("B", PT_BOOL)->Value()->SetFlag(true);
    table.Find("@TextDelay")->Value()->SetInteger(30);
    table.SelStr = "sel";
    table.SelIndex = 2;
    table.TempTargetName = "a";
    ByteWriter expected;
    expected.I32(2);
    // entries from the last to the first
    expected.U8(PT_BOOL);
    expected.String("B");
    expected.I32(0);
    expected.I32(1);
    expected.U8(1);
    expected.U8(0);
    expected.U8(0);
    expected.I32(-1);
    expected.U8(0);
    expected.U8(PT_INT);
    expected.String("a");
    expected.I32(0);
    expected.I32(1);
    expected.I32(0x01020304);
    expected.U8(0);
    expected.U8(0);
    expected.I32(-1);
    expected.U8(0);
    // trailer
    expected.I32(30);
    expected.String("");
    expected.String("sel");
    expected.I32(2);
    expected.String("a");
    expected.I32(0);
    EXPECT_EQ(GameBytes(table), expected.Bytes());
}

TEST(ParamSections, GameVarsRoundTripWithPushBlock)
{
    TParamCollection table;
    FillGame(table);
    table.TextDelay = 12;
    table.Cursor = "hand";
    table.SelStr = "choice";
    table.SelIndex = 3;
    table.TempTargetName = "s";
    table.PushVars({"i", "missing", "s"});
    const std::string saved = GameBytes(table);

    TParamCollection loaded;
    loaded.AddVariable("stat", PT_INT, TVarScope::Status)->Value()->SetInteger(1);
    loaded.AddVariable("junk", PT_INT);
    ByteReader in(saved);
    loaded.LoadGameVars(in, 140);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded.Find("junk"), nullptr);
    EXPECT_EQ(loaded.Find("stat")->Value()->GetInteger(), 1);  // status variables are not in a game save
    EXPECT_EQ(loaded.Find("i")->Value()->GetInteger(), -5);
    EXPECT_EQ(loaded.Find("r")->Value()->GetFloatAt(0), 1.0L / 3);
    EXPECT_EQ(loaded.Find("r")->Value()->GetFloatAt(1), -2.5e300L);
    EXPECT_TRUE(loaded.Find("f")->Value()->GetFlag());
    EXPECT_EQ(loaded.Find("s")->Value()->GetStringAt(3), "\x82\xa0x");
    EXPECT_EQ(loaded.Find("s")->Value()->Dims, (std::vector<int32_t>{2, 2}));
    loaded.CurrentDepth = 2;
    ASSERT_NE(loaded.Find("loc"), nullptr);
    EXPECT_TRUE(loaded.Find("loc")->IsLocal);
    EXPECT_EQ(loaded.Find("aut")->OwnerDepth, 2);
    EXPECT_EQ(loaded.TextDelay, 12);
    EXPECT_EQ(loaded.Cursor, "hand");
    EXPECT_EQ(loaded.SelStr, "choice");
    EXPECT_EQ(loaded.SelIndex, 3);
    EXPECT_EQ(loaded.TempTarget(), loaded.Find("s"));
    ASSERT_EQ(loaded.PushBlockCount(), 1u);
    EXPECT_EQ(loaded.PushBlocks(), table.PushBlocks());

    // Written again, the bytes are the same except that the order of the entries was
    // reversed by the load (entries are written from the last to the first).
    TParamCollection again;
    const std::string resaved = GameBytes(loaded);
    ByteReader in2(resaved);
    again.LoadGameVars(in2, 140);
    EXPECT_EQ(GameBytes(again), saved);

    // The restored block pops back.
    loaded.CurrentDepth = 0;
    loaded.Find("i")->Value()->SetInteger(100);
    loaded.PopVars();
    EXPECT_EQ(loaded.Find("i")->Value()->GetInteger(), -5);
}

// Builds the trailer of an old game save by hand.
std::string OldGameSection(int version)
{
    ByteWriter out;
    out.I32(1);
    out.U8(PT_STR);
    out.String("name");
    out.I32(0);
    out.I32(1);
    out.String("old");
    out.U8(0);
    out.U8(0);
    out.I32(-1);
    out.U8(0);
    out.I32(40);        // text delay
    out.String("arw");  // cursor
    if (version > 102) {
        out.String("pick");
        out.I32(7);
    }
    if (version >= 113 && version < 135) {
        for (int i = 1; i <= 6; ++i) out.I32(i * 11);
    }
    if (version > 120) out.String("name");
    if (version >= 139) {
        out.I32(1);
        out.I32(1);  // one record
        out.I32(PT_INT);
        out.String("pushed");
        out.I32(0);
        out.I32(1);
        out.I32(123);
    }
    return out.Take();
}

TEST(ParamSections, EveryVersionGateOfTheGameSection)
{
    for (int version : {100, 102, 103, 107, 112, 113, 120, 121, 134, 135, 138, 139, 140}) {
        SCOPED_TRACE(version);
        TParamCollection table;
        table.SelStr = "before";
        table.TempTargetName = "x";
        table.PushVars({});
        std::array<int32_t, 6> history{};
        bool history_seen = false;
        table.OnLegacyHistorySettings = [&](const std::array<int32_t, 6>& settings) {
            history = settings;
            history_seen = true;
        };
        const std::string bytes = OldGameSection(version);
        ByteReader in(bytes);
        table.LoadGameVars(in, version);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(table.Find("name")->Value()->GetString(), "old");
        EXPECT_EQ(table.TextDelay, 40);
        EXPECT_EQ(table.Cursor, "arw");
        EXPECT_EQ(table.SelStr, version > 102 ? "pick" : "before");
        EXPECT_EQ(history_seen, version >= 113 && version < 135);
        if (history_seen) {
            EXPECT_EQ(history, (std::array<int32_t, 6>{11, 22, 33, 44, 55, 66}));
        }
        EXPECT_EQ(table.TempTargetName, version > 120 ? "name" : "");
        EXPECT_EQ(table.PushBlockCount(), version >= 139 ? 1u : 0u);
        if (version >= 139) {
            table.PopVars();
            EXPECT_EQ(table.Find("pushed")->Value()->GetInteger(), 123);
        }
    }
}

TEST(ParamSections, StatusVarsRoundTrip)
{
    TParamCollection table;
    FillGame(table);
    auto* flags = table.AddVariable("flags", PT_BOOL, TVarScope::Status);
    flags->Value()->SetDims({3});
    flags->Value()->SetFlagAt(2, true);
    ByteWriter out;
    table.SaveStatusVars(out);

    ByteWriter expected_start;
    expected_start.I32(2);
    expected_start.U8(PT_BOOL);
    expected_start.String("flags");
    EXPECT_EQ(out.Bytes().substr(0, expected_start.Size()), expected_start.Bytes());

    TParamCollection loaded;
    ByteReader in(out.Bytes());
    loaded.LoadStatusVars(in, 103);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded.Count(), 53);
    EXPECT_TRUE(loaded.Find("stat")->IsStatus);
    EXPECT_EQ(loaded.Find("stat")->Value()->GetInteger(), 77);
    EXPECT_TRUE(loaded.Find("flags")->Value()->GetFlagAt(2));
    EXPECT_EQ(loaded.Find("i"), nullptr);
    ByteWriter again;
    loaded.SaveStatusVars(again);
    ByteReader in2(again.Bytes());
    TParamCollection third;
    third.LoadStatusVars(in2, 103);
    ByteWriter last;
    third.SaveStatusVars(last);
    EXPECT_EQ(last.Bytes(), out.Bytes());
}

TEST(ParamSections, NamelessEntryIsReadAsAliasAndDropped)
{
    ByteWriter out;
    out.I32(2);
    out.U8(PT_INT);
    out.String("");
    out.I32(0);          // dims
    out.String("ref");   // RefName
    out.String("gone");  // target
    out.U8(0);
    out.I32(4);
    out.U8(0);
    out.U8(0);
    out.I32(-1);
    out.U8(0);
    out.U8(PT_INT);
    out.String("kept");
    out.I32(0);
    out.I32(0);  // an integer value with no elements
    out.U8(0);
    out.U8(0);
    out.I32(-1);
    out.U8(0);
    TParamCollection table;
    ByteReader in(out.Bytes());
    table.LoadStatusVars(in, 103);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(table.Count(), 52);
    auto* kept = table.Find("kept");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Value()->Count(), 0);
    EXPECT_EQ(kept->Value()->GetInteger(), 0);  // no element to read: neutral
}

TEST(ParamSections, DamagedSectionsAreRefused)
{
    TParamCollection source;
    FillGame(source);
    source.PushVars({"s"});
    const std::string good = GameBytes(source);
    // Every truncation fails cleanly and keeps the entries read so far.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        TParamCollection table;
        ByteReader in(good.data(), cut);
        EXPECT_THROW(table.LoadGameVars(in, 140), EMobuError) << cut;
    }
    // A huge count is checked against the bytes left.
    ByteWriter huge;
    huge.I32(0x7FFFFFFF);
    TParamCollection table;
    ByteReader in(huge.Bytes());
    EXPECT_THROW(table.LoadGameVars(in, 140), EMobuError);

    // Bad dimensions give the element-count message.
    ByteWriter dims;
    dims.I32(1);
    dims.U8(PT_INT);
    dims.String("d");
    dims.I32(2);
    dims.I32(65536);
    dims.I32(65536);
    dims.I32(0);
    dims.Raw(std::string(20, '\0'));
    ByteReader in_dims(dims.Bytes());
    try {
        table.LoadStatusVars(in_dims, 103);
        ADD_FAILURE();
    } catch (const EMobuError& error) {
        EXPECT_EQ(Cp932ToUtf8(error.what()), "配列の要素数[65536,65536]が不正です");
    }
    EXPECT_EQ(table.Find("d"), nullptr);

    // An unknown type code.
    ByteWriter type;
    type.I32(1);
    type.U8(9);
    type.String("t");
    type.Raw(std::string(20, '\0'));
    ByteReader in_type(type.Bytes());
    EXPECT_THROW(table.LoadStatusVars(in_type, 103), EMobuError);
}

TEST(ParamSections, PushAndPop)
{
    TParamCollection table;
    table.AddVariable("a", PT_INT)->Value()->SetInteger(1);
    table.AddVariable("b", PT_STR)->Value()->SetString("x");
    table.PushVars({"a", "missing", "b", "@TextDelay", "____1"});
    ASSERT_EQ(table.PushBlockCount(), 1u);
    EXPECT_EQ(table.PushBlocks()[0].substr(0, 4), std::string("\2\0\0\0", 4));
    ByteWriter record;
    record.I32(PT_INT);
    record.String("a");
    record.I32(0);
    record.I32(1);
    record.I32(1);
    EXPECT_EQ(table.PushBlocks()[0].substr(4, record.Size()), record.Bytes());

    table.Delete(table.Find("a"));
    table.Delete(table.Find("b"));
    table.AddVariable("b", PT_FLOAT)->Value()->SetFloat(9);  // type changed meanwhile
    table.TextDelay = 99;
    table.PopVars();
    EXPECT_EQ(table.PushBlockCount(), 0u);
    EXPECT_EQ(table.Find("a")->Value()->GetInteger(), 1);
    EXPECT_EQ(table.Find("b")->VarType(), PT_STR);
    EXPECT_EQ(table.Find("b")->Value()->GetString(), "x");
    EXPECT_EQ(table.TextDelay, 99);  // never captured
    table.PopVars();                 // nothing left: nothing happens
}

TEST(ParamSections, AliasEntryRoundTrip)
{
    TParamCollection table;
    auto* arr = table.AddVariable("arr", PT_INT);
    arr->Value()->SetDims({4});
    arr->Value()->SetIntegerAt(2, 8);
    auto* alias_item = table.AddVariable("al", PT_NONE);
    auto* alias = static_cast<TParamVar*>(alias_item->Value());
    alias->RefName = "ref";
    table.BindElement(*alias, "arr", {2});
    ByteWriter out;
    alias->SaveToStream(out);
    ByteWriter expected;
    expected.I32(0);
    expected.String("ref");
    expected.String("arr");
    expected.U8(0);
    expected.I32(2);
    EXPECT_EQ(out.Bytes(), expected.Bytes());
    TParamVar restored;
    restored.SetTable(&table);
    ByteReader in(out.Bytes());
    restored.LoadFromStream(in);
    EXPECT_EQ(restored.GetInteger(), 8);
    EXPECT_EQ(restored.RefName, "ref");
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(ParamSections, PushBlocksWithImpossibleRecordsAreRefused)
{
    for (const std::string& name : {std::string(""), std::string("1x"), std::string("a b")}) {
        ByteWriter out;
        out.I32(0);
        out.I32(50);
        out.String("");
        out.String("");
        out.I32(0);
        out.String("");
        out.I32(1);  // one block
        out.I32(1);  // one record
        out.I32(PT_INT);
        out.String(name);
        out.I32(0);
        out.I32(1);
        out.I32(5);
        TParamCollection table;
        ByteReader in(out.Bytes());
        EXPECT_THROW(table.LoadGameVars(in, 140), EMobuError) << name;
        EXPECT_EQ(table.PushBlockCount(), 0u);
        table.PopVars();
    }
}

}  // namespace
}  // namespace mobu
