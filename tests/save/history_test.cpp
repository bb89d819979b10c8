// The message history: plain recording with name compression and MaxCount trimming, the
// format values reaching a history only while it holds no group, the saved form at each
// version gate (the old four-array form included) and its counts checked against the bytes
// left, and the pixel-range selection of a laid-out history.
#include <gtest/gtest.h>

#include "components/history_commands.h"
#include "components/mobu_history.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/mobu_error.h"

namespace mobu {
namespace {

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override { formats_.BoxSize = [](const std::string&) { return std::pair<int32_t, int32_t>{300, 200}; }; }
    void Show(const std::string& page, int32_t command)
    {
        formats_.SetPending("box", page, "", 0, 10, 0, command);
        formats_.CommitPending("box");
    }
    TMobuHistoryFormatManager formats_;
};

TEST_F(HistoryTest, PlainEntriesStoreRepeatedNamesEmptyAndTrimHandsTheNameOn)
{
    TMobuNewHistory& history = formats_.Default().History;
    Show("a.msb", 1);
    Show("A.MSB", 2);
    Show("b.msb", 3);
    ASSERT_EQ(history.OldEntries.size(), 3u);
    EXPECT_EQ(history.OldEntries[1].PageName, "");
    EXPECT_EQ(history.OldEntries[0].Size, (std::pair<int32_t, int32_t>{300, 200}));
    EXPECT_EQ(history.Size(), 3);
    history.MaxCount = 2;
    Show("b.msb", 4);
    ASSERT_EQ(history.OldEntries.size(), 2u);
    EXPECT_EQ(history.OldEntries[0].PageName, "b.msb");
    EXPECT_EQ(history.OldEntries[0].Command, 3);
    EXPECT_EQ(history.OldEntryName(1), "b.msb");

    history.MaxCount = 0;
    Show("a.msb", 5);
    Show("a.msb", 6);
    history.MaxCount = 1;
    Show("a.msb", 7);  // the removed entries' name reaches the one kept
    ASSERT_EQ(history.OldEntries.size(), 1u);
    EXPECT_EQ(history.OldEntries[0].PageName, "a.msb");
    EXPECT_EQ(history.OldEntries[0].Command, 7);
}

TEST_F(HistoryTest, ACommitOfAnotherBoxOrWithNothingPendingRecordsNothing)
{
    formats_.SetPending("box", "a.msb", "", 0, 10, 0, 1);
    formats_.CommitPending("other");
    formats_.CommitPending("BOX");  // box names compare exactly
    EXPECT_EQ(formats_.Default().History.Size(), 0);
    formats_.CommitPending("box");
    formats_.CommitPending("box");
    EXPECT_EQ(formats_.Default().History.Size(), 1);
}

TEST_F(HistoryTest, FormatValuesReachTheEngineOnlyWhileNoGroupExists)
{
    TMobuHistoryFormat& format = formats_.GetFormat("log");
    EXPECT_EQ(&formats_.GetFormat("log"), &format);
    EXPECT_EQ(formats_.FindFormat("LOG"), nullptr);
    format.Layout.Width = 400;
    formats_.SetPending("box", "a.msb", "", 0, 10, 0, 1);
    EXPECT_EQ(format.History.Engine.Width, 400);
    format.History.Groups.emplace_back();
    format.Layout.Width = 500;
    formats_.SetPending("box", "a.msb", "", 0, 10, 0, 1);
    EXPECT_EQ(format.History.Engine.Width, 400);
    format.History.Clear();
    formats_.SetPending("box", "a.msb", "", 0, 10, 0, 1);
    EXPECT_EQ(format.History.Engine.Width, 500);
}

TEST_F(HistoryTest, SavedFormLoadsAtEveryVersionGate)
{
    TMobuHistoryFormat& log = formats_.GetFormat("log");
    log.Layout = {16, 1, 2, 400, 300, 4};
    log.History.Engine = log.Layout;
    log.History.MaxCount = 9;
    log.History.PendingFixedValues = "x=1";
    log.History.Groups.emplace_back();
    log.History.Groups[0].Add("a.msb", 3, 0, 20, 24, "y=2");
    log.History.Groups[0].TotalHeight = 24;
    Show("a.msb", 1);
    Show("b.msb", 2);
    ByteWriter out;
    formats_.SaveToStream(out);
    const std::string saved = out.Bytes();

    TMobuHistoryFormatManager loaded;
    ByteReader in(saved);
    loaded.LoadFromStream(in, 140);
    EXPECT_TRUE(in.AtEnd());
    ByteWriter again;
    loaded.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), saved);

    // Before 135 only the default history is stored, without count, name and values.
    ByteWriter single;
    formats_.Default().History.SaveToStream(single);
    for (int32_t version : {124, 134}) {
        TMobuHistoryFormatManager old;
        old.GetFormat("gone");
        ByteReader from(single.Bytes());
        old.LoadFromStream(from, version);
        EXPECT_TRUE(from.AtEnd()) << version;
        EXPECT_EQ(old.Count(), 1);
        EXPECT_EQ(old.Default().History.OldEntries.size(), 2u);
    }
}

TEST_F(HistoryTest, OldFormsBefore113HoldFourArrays)
{
    // A skipped string, two entries as names, commands, page numbers and sizes, the pending
    // page with its box, and nothing more.
    ByteWriter out;
    out.String("skipped");
    out.I32(2);
    out.String("a.msb");
    out.String("");
    out.I32(3);
    out.I32(5);
    out.I32(0);
    out.I32(1);
    for (int32_t v : {300, 200, 310, 210}) out.I32(v);
    out.String("p.msb");
    for (int32_t v : {7, 2, 300, 200}) out.I32(v);
    out.String("mes");
    TMobuHistoryFormatManager old;
    ByteReader in(out.Bytes());
    old.LoadFromStream(in, 112);
    EXPECT_TRUE(in.AtEnd());
    const TMobuNewHistory& history = old.Default().History;
    ASSERT_EQ(history.OldEntries.size(), 2u);
    EXPECT_EQ(history.OldEntryName(1), "a.msb");
    EXPECT_EQ(history.OldEntries[1].Command, 5);
    EXPECT_EQ(history.OldEntries[1].PageNo, 1);
    EXPECT_EQ(history.OldEntries[1].Size, (std::pair<int32_t, int32_t>{310, 210}));
    EXPECT_EQ(history.PendingPage, "p.msb");
    EXPECT_EQ(history.PendingBox, "mes");
}

TEST_F(HistoryTest, CountsBeyondTheBytesLeftAreRefusedAndChangeNothing)
{
    formats_.GetFormat("kept");
    for (int32_t version : {107, 113, 140}) {
        ByteWriter out;
        if (version >= 135) {
            out.I32(0x7FFFFFFF);
        } else {
            if (version < 113) out.String("");
            out.I32(0x10000000);
        }
        ByteReader in(out.Bytes());
        EXPECT_THROW(formats_.LoadFromStream(in, version), EMobuError) << version;
        EXPECT_NE(formats_.FindFormat("kept"), nullptr) << version;
    }
}

// Groups of heights {10, 20} and {30}, {5, 5}: the selection of a pixel range.
TEST(HistorySelection, PixelRanges)
{
    TMobuHistDataList groups(3);
    groups[0].Add("a.msb", 0, 0, 0, 10, "");
    groups[0].Add("a.msb", 1, 0, 0, 20, "");
    groups[0].TotalHeight = 30;
    groups[1].Add("b.msb", 2, 0, 0, 30, "");
    groups[1].TotalHeight = 30;
    groups[2].Add("c.msb", 3, 0, 0, 5, "");
    groups[2].Add("c.msb", 4, 0, 0, 5, "");
    groups[2].TotalHeight = 10;
    struct TCase {
        int64_t first, count;
        int32_t offset;
        std::vector<int32_t> commands;
    };
    const TCase cases[] = {
        {0, 10, 0, {0}},               // exactly the first entry
        {5, 10, -5, {0, 1}},           // starting inside an entry: a negative offset
        {10, 60, 0, {1, 2, 3, 4}},     // over several groups to the end
        {25, 10, -15, {1, 2}},         // across a group boundary
        {63, 100, -3, {3, 4}},         // past the end: to the last entry
        {70, 10, 0, {}},               // nothing at or after the end
        {2147483640, 100, 0, {}},      // far past the end, without wrapping
    };
    for (const TCase& c : cases) {
        TMobuHistData refs;
        refs.Add("stale", 99, 0, 0, 1, "");
        const int32_t offset = SelectHistoryRange(groups, c.first, c.count, refs);
        std::vector<int32_t> commands;
        for (const auto& entry : refs.Entries) commands.push_back(entry.Command);
        EXPECT_EQ(commands, c.commands) << c.first << "+" << c.count;
        if (!c.commands.empty()) {
            EXPECT_EQ(offset, c.offset) << c.first << "+" << c.count;
        }
    }
    TMobuHistData refs;
    SelectHistoryRange(groups, 0, 70, refs);
    ASSERT_EQ(refs.Entries.size(), 5u);
    EXPECT_EQ(refs.PageNameAt(1), "a.msb");
    EXPECT_EQ(refs.PageNameAt(4), "c.msb");
}

}  // namespace
}  // namespace mobu
