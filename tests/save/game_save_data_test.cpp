// The save container's entries: a game entry saved, changed and loaded back gives the saved
// state and the same bytes again; entries of a version outside 107..140 and damaged ones are
// refused with the system's message before anything changes; the status data's tag and
// version gates; the table sections kept as they were read while no table database exists;
// the slot names the caption list accepts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "archive/save_file.h"
#include "components/base_list_call_components.h"
#include "components/fesk_collection.h"
#include "components/game_save_data.h"
#include "components/mobu_base_list.h"
#include "components/mobu_history.h"
#include "components/save_messages.h"
#include "core/mobu_error.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "script/call_man.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class GameSaveDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HistoryFormats().Reset();
        FeskCollection().SetDither(false);
        table_.AddVariable("n", PT_INT)->Value()->SetInteger(5);
    }
    void TearDown() override
    {
        HistoryFormats().Reset();
        FeskCollection().SetDither(false);
    }
    int32_t N() { return table_.Find("n") ? table_.Find("n")->Value()->GetInteger() : -999; }
    std::string ErrorOf(const std::string& bytes)
    {
        try {
            data_.LoadGameEntry(bytes);
        } catch (const EMobuError& error) {
            return error.what();
        }
        return "loaded";
    }

    TMobuBaseList list_;
    TParamCollection table_;
    TSysFuncMan functions_{table_};
    TBaseListCallComponents components_{list_};
    TCallMan calls_{&functions_, &components_};
    TGameSaveData data_{TGameSaveParts{&list_, [this] { return &calls_; }, [this] { return &table_; }}};
};

TEST_F(GameSaveDataTest, ASavedGameLoadsBackAndSavesToTheSameBytes)
{
    TMobuHistoryFormat& log = HistoryFormats().GetFormat("log");
    log.Layout.Width = 400;
    log.History.MaxCount = 3;
    HistoryFormats().Default().History.OldEntries.push_back({"a.msb", 4, 1, {300, 200}});
    HistoryFormats().Default().History.PendingPage = "b.msb";
    const std::string saved = data_.BuildGameEntry("caption", "", 0);

    table_.Find("n")->Value()->SetInteger(7);
    HistoryFormats().Reset();
    data_.LoadGameEntry(saved);
    EXPECT_EQ(N(), 5);
    ASSERT_NE(HistoryFormats().FindFormat("log"), nullptr);
    EXPECT_EQ(HistoryFormats().FindFormat("log")->Layout.Width, 400);
    EXPECT_EQ(HistoryFormats().FindFormat("log")->History.MaxCount, 3);
    ASSERT_EQ(HistoryFormats().Default().History.OldEntries.size(), 1u);
    EXPECT_EQ(HistoryFormats().Default().History.OldEntries[0].Size.second, 200);
    EXPECT_EQ(HistoryFormats().Default().History.PendingPage, "b.msb");
    EXPECT_EQ(data_.BuildGameEntry("caption", "", 0), saved);
    EXPECT_EQ(TGameSaveData::CaptionOf(saved), "caption");
}

TEST_F(GameSaveDataTest, VersionsOutsideTheReadRangeAreRefusedBeforeAnythingChanges)
{
    const std::string saved = data_.BuildGameEntry("c", "", 0);
    table_.Find("n")->Value()->SetInteger(7);
    struct TCase {
        int32_t version;
        bool loads;
    };
    for (const TCase& c : {TCase{106, false}, TCase{141, false}, TCase{-1, false}, TCase{140, true}}) {
        std::string bytes = saved;
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((static_cast<uint32_t>(c.version) >> (8 * i)) & 0xFF);
        const std::string result = ErrorOf(bytes);
        if (c.loads) {
            EXPECT_EQ(result, "loaded");
            EXPECT_EQ(N(), 5);
        } else {
            EXPECT_EQ(result, save_messages::BadSaveData()) << c.version;
            EXPECT_EQ(N(), 7) << c.version;
        }
    }
}

TEST_F(GameSaveDataTest, EveryCutOfASavedGameIsRefusedWithTheSystemsMessage)
{
    const std::string saved = data_.BuildGameEntry("caption", "", 0);
    // The table section is the last: cutting into it still leaves a loadable entry while no
    // table database reads it, so the cuts stop before it.
    for (size_t size = 0; size + 12 < saved.size(); ++size) {
        EXPECT_EQ(ErrorOf(saved.substr(0, size)), save_messages::BadSaveData()) << size;
    }
}

TEST_F(GameSaveDataTest, TableSectionsAreKeptAsReadUntilATableDatabaseExists)
{
    const std::string empty = data_.BuildGameEntry("c", "", 0);
    // The empty game table section: version 100, no tables, no active table name.
    EXPECT_EQ(empty.substr(empty.size() - 12), std::string("\x64\0\0\0\0\0\0\0\0\0\0\0", 12));
    const std::string stored = empty.substr(0, empty.size() - 12) + "tables as the table database wrote them";
    data_.LoadGameEntry(stored);
    EXPECT_EQ(data_.BuildGameEntry("c", "", 0), stored);
}

TEST_F(GameSaveDataTest, StatusDataGatesAndTag)
{
    FeskCollection().SetDither(true);
    const std::string saved = data_.BuildStatusEntry();
    ASSERT_EQ(saved.substr(0, 9), "Status103");
    struct TCase {
        const char* tag;
        bool loads;
        bool dither;  // whether the dither byte is read
    };
    for (const TCase& c : {TCase{"Status100", true, false}, TCase{"Status101", true, true},
                           TCase{"Status102", true, true}, TCase{"Status103", true, true},
                           TCase{"Status104", false, false}}) {
        FeskCollection().SetDither(false);
        std::string bytes = saved;
        bytes.replace(0, 9, c.tag);
        bool loaded = true;
        try {
            data_.LoadStatusEntry(bytes);
        } catch (const EMobuError& error) {
            loaded = false;
            EXPECT_EQ(std::string(error.what()), save_messages::StatusUnreadable());
        }
        EXPECT_EQ(loaded, c.loads) << c.tag;
        EXPECT_EQ(FeskCollection().Dither(), c.dither) << c.tag;
    }
    // The status tables read at 103 are written back unchanged.
    data_.LoadStatusEntry(saved.substr(0, saved.size() - 8) + "status tables");
    const std::string again = data_.BuildStatusEntry();
    EXPECT_EQ(again.substr(again.size() - 13), "status tables");
}

TEST_F(GameSaveDataTest, SlotNumbersOfEntryNames)
{
    struct TCase {
        const char* name;
        int32_t slot;
    };
    for (const TCase& c : {TCase{"GAMESAVEDATA3", 3}, TCase{"GAMESAVEDATA0", 0}, TCase{"GAMESAVEDATA2147483647", 2147483647},
                           TCase{"GAMESAVEDATA2147483648", -1}, TCase{"GAMESAVEDATA-1", -1}, TCase{"GAMESAVEDATAx", -1},
                           TCase{"GAMESAVEDATA", -1}, TCase{"gamesavedata3", -1}, TCase{"GAMESAVEDATA3 ", -1}}) {
        EXPECT_EQ(TGameSaveData::SlotOfEntryName(c.name), c.slot) << c.name;
    }
}

TEST_F(GameSaveDataTest, SlotCaptionsSkipDamagedAndNegativeSlots)
{
    const fs::path dir = fs::temp_directory_path() / ("mobu_slot_captions_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "save.dat").string();
    ASSERT_TRUE(ReplaceSaveEntries(path, {{"GAMESAVEDATA2", data_.BuildGameEntry("two", "", 0), 1},
                                          {"GAMESAVEDATA-1", data_.BuildGameEntry("minus", "", 0), 1},
                                          {"GAMESAVEDATA5", std::string("\x8c\0\0\0\xff\xff", 6), 1},
                                          {"GAMESAVEDATA1", data_.BuildGameEntry("one", "", 0), 1}}));
    const std::vector<TSlotCaption> captions = data_.ReadSlotCaptions(path);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0].caption, "two");
    EXPECT_EQ(captions[0].slot, 2);
    EXPECT_EQ(captions[1].caption, "one");
    EXPECT_EQ(captions[1].slot, 1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace mobu
