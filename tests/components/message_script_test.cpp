// Script messages: a message box reads the stored text of TextIns commands from page files,
// tracks read pages, builds pages from several references and from the plain list, and its
// cache of stored texts stays within 4 pages of 16 texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "archive/vr_file_manager.h"
#include "components/mobu_base_list.h"
#include "components/mobu_mes.h"
#include "components/mobu_read_list.h"
#include "core/globals.h"
#include "script/page_source.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class MessageScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("mobu_message_script_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        Write("a.msb",
              "TextIns text: \"one<CLEAR>two\"; box: \"mes\"\n"
              "Calc expr: x = 1\n"
              "TextIns text: \"three\"; box: \"mes\"\n");
        std::string many;
        for (int i = 0; i < 20; ++i) many += "TextIns text: \"t" + std::to_string(i) + "\"; box: \"mes\"\n";
        for (int p = 0; p < 6; ++p) Write("m" + std::to_string(p) + ".msb", many);
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder_.string());
        ReadList().Clear();
        list_.SetSize(320, 200);
        box_ = dynamic_cast<TMobuMes*>(list_.CreateComponent(LT_MES));
        box_->SetName("mes");
        box_->SetProp(PR_WIDTH, TPropValue::Int(300));
        box_->SetProp(PR_HEIGHT, TPropValue::Int(100));
        box_->SetProp(PR_FONTHEIGHT, TPropValue::Int(10));
        box_->SetProp(PR_DELAY, TPropValue::Int(0));
        box_->SetProp(PR_TEXTDELAY, TPropValue::Int(0));
        box_->SetProp(PR_ONPLAYSTART, TPropValue::Text("p"));
        FrameDeltaMs = 15;
    }
    void TearDown() override
    {
        ResetVrFileManager();
        ReadList().Clear();
        fs::remove_all(folder_);
    }
    void Write(const std::string& name, const std::string& source)
    {
        std::ofstream(folder_ / name, std::ios::binary) << AssemblePage(source);
    }
    // The parameter of the last play-start event, the queue emptied (the handler ran).
    std::string PlayStart()
    {
        std::string param;
        for (int32_t i = 0; i < list_.Events().Count(); ++i)
            if (list_.Events().At(i).Code == kMesEventPlayStart) param = list_.Events().At(i).Params.at(0);
        list_.Events().Clear();
        return param;
    }
    std::vector<std::string> Rows(int page)
    {
        std::vector<std::string> rows;
        for (auto& row : box_->Pages.at(static_cast<size_t>(page))->Rows) rows.push_back(TKsWord::RowText(*row, "#"));
        return rows;
    }

    fs::path folder_;
    TMobuBaseList list_;
    TMobuMes* box_ = nullptr;
};

TEST_F(MessageScript, TrackedPagesAreReadOnceShownWhole)
{
    box_->LoadScriptMessage("a.msb", 0, true);
    EXPECT_EQ(box_->GetProp(PR_COUNT).integer, 2);
    EXPECT_EQ(box_->TrackMode, 1);
    EXPECT_EQ(PlayStart(), "0");
    // Left before it finished: not read.
    box_->SetProp(PR_INDEX, TPropValue::Int(1));
    EXPECT_EQ(PlayStart(), "0");
    EXPECT_FALSE(ReadList().IsRead("a.msb", 0, 0));
    for (int i = 0; i < 4; ++i) list_.UpdatePass();
    EXPECT_TRUE(box_->Finished());
    EXPECT_TRUE(ReadList().IsRead("A.MSB", 0, 1));
    // Shown again: the play start says "1"; ClrRead makes it "0" again.
    box_->LoadScriptMessage("a.msb", 0, true);
    box_->SetProp(PR_INDEX, TPropValue::Int(1));
    PlayStart();
    box_->SetProp(PR_INDEX, TPropValue::Int(0));
    box_->SetProp(PR_INDEX, TPropValue::Int(1));
    EXPECT_EQ(PlayStart(), "1");
    ReadList().Clear();
    box_->SetProp(PR_INDEX, TPropValue::Int(0));
    box_->SetProp(PR_INDEX, TPropValue::Int(1));
    EXPECT_EQ(PlayStart(), "0");
    // Untracked: never "1".
    box_->LoadScriptMessage("a.msb", 2, false);
    EXPECT_EQ(box_->TrackMode, 0);
    EXPECT_EQ(Rows(0), std::vector<std::string>{"three"});
}

TEST_F(MessageScript, NoTextGivesNoPagesAndNoEvents)
{
    box_->SetProp(PR_TEXT, TPropValue::Text("old"));
    PlayStart();
    box_->LoadScriptMessage("a.msb", 1, true);  // a Calc, not a TextIns
    EXPECT_EQ(box_->GetProp(PR_COUNT).integer, 0);
    EXPECT_EQ(box_->GetProp(PR_INDEX).integer, -1);
    box_->LoadScriptMessage("missing.msb", 0, true);
    EXPECT_EQ(box_->GetProp(PR_COUNT).integer, 0);
    box_->LoadScriptMessage("a.msb", 99, true);
    EXPECT_EQ(box_->GetProp(PR_COUNT).integer, 0);
    EXPECT_EQ(list_.Events().Count(), 0);
}

TEST_F(MessageScript, SeveralReferencesStackOnOnePage)
{
    box_->MesData.Refs.Clear();
    box_->MesData.Refs.Add("a.msb", 0, 0, -1, 20, "");
    box_->MesData.Refs.Add("a.msb", 2, 0, -1, 20, "");
    box_->MesData.Refs.Add("missing.msb", 0, 0, -1, 20, "");  // ends the building
    box_->MesData.Refs.Add("a.msb", 2, 0, -1, 20, "");
    EXPECT_EQ(box_->MesData.Refs.Entries[1].PageName, "");  // stored empty when repeated
    EXPECT_EQ(box_->MesData.Refs.PageNameAt(1), "a.msb");
    box_->SetProp(PR_LINESPACE, TPropValue::Int(3));
    box_->TrackMode = 2;
    box_->ReloadPages(false, true);
    ASSERT_EQ(box_->Pages.size(), 1u);
    EXPECT_EQ(Rows(0), (std::vector<std::string>{"one", "three"}));  // later scratch pages dropped
    EXPECT_EQ(box_->Pages[0]->Rows[1]->Y, 10 + 3);
}

TEST_F(MessageScript, PlainListTakesTheEntrysPageAndSkipsOthers)
{
    box_->MesData.Refs.Clear();
    box_->MesData.ClearPlain();
    box_->MesData.AddPlainEntry("a.msb", 0, {200, 60}, 1);
    box_->MesData.AddPlainEntry("a.msb", 0, {300, 100}, 7);  // no such page: skipped
    box_->MesData.AddPlainEntry("a.msb", 2, {250, 80}, 0);
    box_->HistoryFlag = 1;  // stacked
    const int32_t width = box_->Engine.Width, height = box_->Engine.Height;
    box_->ReloadPages(false, true);
    ASSERT_EQ(box_->Pages.size(), 1u);
    EXPECT_EQ(Rows(0), (std::vector<std::string>{"two", "three"}));
    // Each entry was laid out at its saved size; the box keeps its own text area.
    EXPECT_EQ(box_->Engine.Width, width);
    EXPECT_EQ(box_->Engine.Height, height);
}

TEST_F(MessageScript, APlainEntryWithoutPageNumberShowsEveryPage)
{
    box_->MesData.Refs.Clear();
    box_->MesData.ClearPlain();
    box_->MesData.AddPlainEntry("a.msb", 0, {200, 60}, -1);
    const int32_t width = box_->Engine.Width;
    box_->ReloadPages(false, true);
    ASSERT_EQ(box_->Pages.size(), 2u);
    EXPECT_EQ(Rows(0), (std::vector<std::string>{"one"}));
    EXPECT_EQ(Rows(1), (std::vector<std::string>{"two"}));
    EXPECT_EQ(box_->Engine.Width, width);
}

TEST_F(MessageScript, TheCacheHoldsAtMostFourPagesOfSixteenTexts)
{
    TMesDataCacheList cache;
    for (int round = 0; round < 3; ++round)
        for (int p = 0; p < 6; ++p)
            for (int c = 0; c < 20; ++c) {
                TKsWord* word = cache.GetWord("m" + std::to_string(p) + ".msb", c);
                ASSERT_NE(word, nullptr);
                EXPECT_EQ(word->GlyphCount(), c < 10 ? 2 : 3);
                EXPECT_LE(cache.PageCount(), TMesDataCacheList::kMaxPages);
                EXPECT_LE(cache.WordCount(), TMesDataCacheList::kMaxPages * TMesDataCache::kMaxWords);
            }
    EXPECT_EQ(cache.PageCount(), 4u);
}

}  // namespace
}  // namespace mobu
