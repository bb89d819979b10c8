// Page files built byte by byte: masks of other sizes, version gates, the checks of every
// count and length, refused records, labels, and command state blobs.
#include <gtest/gtest.h>

#include <cstring>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "core/byte_writer.h"
#include "expr/mobu_parser.h"
#include "platform/message_box.h"
#include "script/commands.h"
#include "script/page.h"
#include "script/page_messages.h"

namespace mobu {
namespace {

// An expression with no operations, and one "____arg = <integer>".
void EmptyExpr(ByteWriter& out) { out.I32(0); }
void IntegerExpr(ByteWriter& out, int32_t value)
{
    out.I32(1);
    out.U8(1);  // ocTo
    out.String("____arg");
    out.I32(1);
    out.U8(1);  // integer operand
    out.I32(value);
}

void Header(ByteWriter& out, uint8_t id, int32_t depth = 0, int32_t line = 1)
{
    out.U8(id);
    out.I32(depth);
    out.U8(0);
    out.U8(0);
    out.I32(line);
}

// Version, result type, M entries of E bytes (each filled with `fill`), then the commands.
ByteWriter PageStart(int32_t version, int32_t entries, int32_t size, uint8_t fill = 0)
{
    ByteWriter out;
    out.I32(version);
    out.U8(1);
    out.I32(entries);
    out.I32(size);
    for (int32_t k = 0; k < entries; ++k) {
        for (int32_t b = 0; b < size; ++b) out.U8(fill);
    }
    return out;
}

TEST(PageLoader, WideMaskEntriesAreCutAndExtraEntriesSkipped)
{
    ByteWriter out = PageStart(116, 70, 25);
    out.I32(0);
    TPage page;
    page.LoadFromBytes("p.msb", out.Bytes());
    EXPECT_EQ(page.Count(), 0);
    for (const auto& mask : page.PropertyMasks) {
        for (uint8_t byte : mask) EXPECT_EQ(byte, 0);
    }

    ByteWriter narrow;
    narrow.I32(116);
    narrow.U8(2);
    narrow.I32(1);
    narrow.I32(10);
    for (int b = 0; b < 10; ++b) narrow.U8(0xFF);
    narrow.I32(0);
    page.LoadFromBytes("p.msb", narrow.Bytes());
    EXPECT_EQ(page.ResultType, 2);
    for (int b = 0; b < kMaskEntrySize; ++b) EXPECT_EQ(page.PropertyMasks[0][b], b < 10 ? 0xFF : 0) << b;
}

// Two billion entries of zero bytes are a valid, empty table: the loader must take them in
// one step (a loop over the count never finished), and still refuse a count whose entries
// would pass the end.
TEST(PageLoader, HugeCountsOfEmptyMaskEntriesLoadAtOnce)
{
    ByteWriter out = PageStart(116, 0x7FFFFFFF, 0);
    out.I32(0);
    TPage page;
    page.LoadFromBytes("p.msb", out.Bytes());
    EXPECT_EQ(page.Count(), 0);

    ByteWriter overflowing = PageStart(116, 0, 0);
    overflowing.I32(0);
    std::string bytes = overflowing.Take();
    const int32_t count = 0x40000000, size = 8;  // 2^33 bytes: wider than 32 bits
    std::memcpy(&bytes[5], &count, 4);
    std::memcpy(&bytes[9], &size, 4);
    EXPECT_THROW(page.LoadFromBytes("p.msb", bytes), EMobuError);
}

TEST(PageLoader, MaskEntriesLargerThanTheTableCarryOnlyTheirFirstBytes)
{
    ByteWriter out;
    out.I32(116);
    out.U8(1);
    out.I32(9);   // entries 0..8; entry 8 is BoxNew
    out.I32(25);  // 21 bytes used, 4 skipped
    for (int k = 0; k < 9; ++k) {
        for (int b = 0; b < 25; ++b) out.U8(k == 8 && b == 0 ? 0x09 : (b >= 21 ? 0xEE : 0));  // PR_NAME, PR_LEFT
    }
    out.I32(1);
    Header(out, CI_BOXNEW);
    IntegerExpr(out, 7);  // PR_NAME
    IntegerExpr(out, 8);  // PR_LEFT
    TPage page;
    page.LoadFromBytes("p.msb", out.Bytes());
    ASSERT_EQ(page.Count(), 1);
    const auto& properties = page.Command(0)->PropertyExprs();
    ASSERT_EQ(properties.size(), 165u);
    EXPECT_TRUE(properties[0] && !properties[0]->Empty());
    EXPECT_TRUE(properties[3] && !properties[3]->Empty());
    EXPECT_FALSE(properties[1]);
    EXPECT_EQ(page.PropertyMasks[8][20], 0);
}

TEST(PageLoader, VersionGatesDecideWhichFieldsAreStored)
{
    for (int32_t version : {106, 107}) {
        ByteWriter out = PageStart(version, 0, 21);
        out.I32(1);
        Header(out, CI_WAIT);
        EmptyExpr(out);
        IntegerExpr(out, 100);
        if (version > 106) IntegerExpr(out, 1);  // hold-events
        TPage page;
        page.LoadFromBytes("p.msb", out.Bytes());
        ASSERT_EQ(page.Count(), 1);
        EXPECT_EQ(page.Command(0)->Fields()[2].present, version > 106);
    }
    // GameSave: the resume index only after 104.
    ByteWriter old = PageStart(104, 0, 21);
    old.I32(1);
    Header(old, CI_GAMESAVE);
    EmptyExpr(old);
    old.String("r.msb");
    EmptyExpr(old);
    TPage page;
    page.LoadFromBytes("p.msb", old.Bytes());
    ASSERT_EQ(page.Count(), 1);
    EXPECT_FALSE(page.Command(0)->Fields()[2].present);
}

TEST(PageLoader, NewerVersionLoadsEmptyAndOlderAsksForARebuild)
{
    ByteWriter newer = PageStart(117, 0, 21);
    newer.I32(5);  // never read
    TPage page;
    page.LoadFromBytes("p.msb", newer.Bytes());
    EXPECT_EQ(page.Count(), 0);

    std::vector<MessageBoxRequest> shown;
    MessageBoxPresenter previous = SetMessageBoxPresenter([&](const MessageBoxRequest& request) {
        shown.push_back(request);
        return MessageResult::Ok;
    });
    QuitRequested = false;
    page.LoadFromBytes("old.msb", PageStart(102, 0, 21).Bytes());
    SetMessageBoxPresenter(previous);
    EXPECT_TRUE(QuitRequested);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "old.msb\r\n" + page_messages::RebuildPlease());
    EXPECT_EQ(shown[0].caption, page_messages::WarningCaption());
    QuitRequested = false;
}

TEST(PageLoader, BadCommandIdIsRefusedAndBitSevenIgnored)
{
    ByteWriter out = PageStart(116, 0, 21);
    out.I32(2);
    Header(out, 0x80 | CI_ELSE);  // Else, with bit 7 set
    Header(out, 61);
    TPage page;
    try {
        page.LoadFromBytes("p.msb", out.Bytes());
        FAIL();
    } catch (const EMobuError& error) {
        EXPECT_EQ(std::string(error.what()), page_messages::BadCommand());
    }
    ASSERT_GE(page.Count(), 1);
    EXPECT_EQ(page.Command(0)->CommandId(), CI_ELSE);
}

struct TDamage {
    const char* name;
    std::string bytes;
};

std::vector<TDamage> DamagedPages()
{
    std::vector<TDamage> cases;
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1000000);  // commands
        cases.push_back({"command count past the end", out.Take()});
    }
    {
        ByteWriter out;
        out.I32(116);
        out.U8(1);
        out.I32(1);
        out.I32(-4);  // negative entry size
        cases.push_back({"negative mask entry size", out.Take()});
    }
    {
        ByteWriter out;
        out.I32(116);
        out.U8(1);
        out.I32(0x7FFFFFFF);  // entries
        out.I32(21);
        cases.push_back({"mask entries past the end", out.Take()});
    }
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1);
        Header(out, CI_LABEL);
        out.I32(1000);  // label length
        out.Raw("abc");
        cases.push_back({"string length past the end", out.Take()});
    }
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1);
        Header(out, CI_CALL);
        out.String("s.msb");
        out.I32(0);
        out.String("");
        EmptyExpr(out);
        out.I32(500000000);  // K arguments
        cases.push_back({"argument count past the end", out.Take()});
    }
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1);
        Header(out, CI_TEXTINS);
        out.I32(-1);  // S
        cases.push_back({"negative text size", out.Take()});
    }
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1);
        Header(out, CI_FLIP);
        for (int i = 0; i < 4; ++i) EmptyExpr(out);
        out.I32(-2);  // L
        cases.push_back({"negative name list count", out.Take()});
    }
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1);
        Header(out, CI_VARNEW);
        out.String("v");
        out.U8(5);  // type outside 1-4
        EmptyExpr(out);
        out.U8(0);
        cases.push_back({"VarNew type outside 1-4", out.Take()});
    }
    {
        ByteWriter out = PageStart(116, 0, 21);
        out.I32(1);
        Header(out, CI_CALC);
        out.I32(1);
        out.U8(1);
        out.String("____arg");
        out.I32(1);
        out.U8(9);  // operand tag outside 0-4
        cases.push_back({"bad operand tag", out.Take()});
    }
    return cases;
}

TEST(PageLoader, DamagedPagesAreRefused)
{
    for (const auto& damage : DamagedPages()) {
        TPage page;
        EXPECT_THROW(page.LoadFromBytes("p.msb", damage.bytes), EMobuError) << damage.name;
    }
}

TEST(PageLoader, FindLabelTakesTheFirstLabelOrCommentOfThatExactName)
{
    ByteWriter out = PageStart(116, 0, 21);
    out.I32(4);
    Header(out, CI_CALC);
    EmptyExpr(out);
    Header(out, CI_COMMENT);
    out.String("here");
    Header(out, CI_LABEL);
    out.String("here");
    Header(out, CI_LABEL);
    out.String("Other");
    TPage page;
    page.LoadFromBytes("p.msb", out.Bytes());
    EXPECT_EQ(page.FindLabel("here"), 1);
    EXPECT_EQ(page.FindLabel("other"), -1);  // case-sensitive
    EXPECT_EQ(page.FindLabel("Other"), 3);
    EXPECT_TRUE(page.Command(1)->IsDisabled());  // comments are skipped
}

TEST(PageLoader, ContinuesFrameAndYieldsPerClass)
{
    ByteWriter out = PageStart(116, 0, 21);
    out.I32(5);
    Header(out, CI_ELSE);
    Header(out, CI_WHILEINIT);
    EmptyExpr(out);
    Header(out, CI_DOEVENT);
    Header(out, CI_GAMELOAD);
    EmptyExpr(out);
    Header(out, CI_WAIT);
    EmptyExpr(out);
    EmptyExpr(out);
    EmptyExpr(out);
    TPage page;
    page.LoadFromBytes("p.msb", out.Bytes());
    EXPECT_TRUE(page.Command(0)->ContinuesFrame());
    EXPECT_TRUE(page.Command(1)->ContinuesFrame());
    EXPECT_FALSE(page.Command(2)->ContinuesFrame());
    EXPECT_TRUE(page.Command(2)->Yields());
    EXPECT_FALSE(page.Command(3)->ContinuesFrame());
    EXPECT_TRUE(page.Command(4)->Yields());
}

TEST(StateBlob, TaggedUntaggedAndDamaged)
{
    ByteWriter tagged;
    WriteStateTag(tagged);
    tagged.I32(5);
    ByteReader in(tagged.Bytes());
    EXPECT_EQ(ReadStateTag(in), 100);
    EXPECT_EQ(in.I32(), 5);

    ByteWriter untagged;
    untagged.I32(77);
    ByteReader plain(untagged.Bytes());
    EXPECT_EQ(ReadStateTag(plain), 0);
    EXPECT_EQ(plain.I32(), 77);  // read from its start

    ByteReader damaged(std::string_view("mobu1x0\0\0\0\0", 11));
    EXPECT_THROW(ReadStateTag(damaged), EMobuError);
}

TEST(StateBlob, WaitStateOfVersionZeroHasNoHoldFlag)
{
    ByteWriter out = PageStart(116, 0, 21);
    out.I32(1);
    Header(out, CI_WAIT);
    for (int i = 0; i < 3; ++i) EmptyExpr(out);
    TPage page;
    page.LoadFromBytes("p.msb", out.Bytes());
    auto* wait = dynamic_cast<TComWait*>(page.Command(0));
    ASSERT_NE(wait, nullptr);
    ByteWriter state;
    state.I32(42);
    state.I32(0);
    ByteReader in(state.Bytes());
    wait->LoadState(in);
    EXPECT_EQ(wait->Remaining(), 42);
    EXPECT_FALSE(wait->HoldsEvents());
    EXPECT_TRUE(in.AtEnd());
}

}  // namespace
}  // namespace mobu
