// GameSave and GameLoad as the project performs them at the end of a frame: slot 2 saved
// twice keeps one entry (moved to the end) and one caption (in its place), an empty caption
// saves nothing, a failing write leaves the file and the captions as they were and shows
// "セーブできませんでした" with the reason while the game goes on, and a failed load drops
// the save requested in the same frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "archive/save_file.h"
#include "components/base_list_call_components.h"
#include "components/game_save_data.h"
#include "components/mobu_base_list.h"
#include "components/mobu_history.h"
#include "components/mobu_read_list.h"
#include "components/save_messages.h"
#include "core/globals.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "platform/durable_files.h"
#include "platform/message_box.h"
#include "script/call_man.h"
#include "script/project.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class GameSaveRequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("mobu_save_request_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        project_ = std::make_unique<TProject>(TProjectStartup{{dir_.string()}, ""});
        previous_ = SetMessageBoxPresenter([this](const MessageBoxRequest& request) {
            boxes_.push_back(request.text);
            return MessageResult::Ok;
        });
        QuitRequested = false;
        HistoryFormats().Reset();
    }
    void TearDown() override
    {
        SetSaveFileReplacer(nullptr);
        SetMessageBoxPresenter(previous_);
        project_.reset();
        QuitRequested = false;
        fs::remove_all(dir_);
    }
    std::string SaveFile() { return project_->SaveFileName(); }
    std::vector<std::string> EntryNames()
    {
        TVrFileCollection files;
        std::vector<std::string> names;
        if (!ReadSaveFile(SaveFile(), files)) return {"unreadable"};
        for (int i = 0; i < files.Count(); ++i)
            if (files.Item(i)->Name() != kEofEntryName) names.push_back(files.Item(i)->Name());
        return names;
    }
    void Request(int32_t slot, const std::string& caption)
    {
        project_->PendingSave = TProject::TSaveRequest{slot, "", caption, 0};
        data_.ProcessPendingSaveLoad(*project_);
    }

    fs::path dir_;
    std::unique_ptr<TProject> project_;
    MessageBoxPresenter previous_;
    std::vector<std::string> boxes_;
    TMobuBaseList list_;
    TParamCollection table_;
    TSysFuncMan functions_{table_};
    TBaseListCallComponents components_{list_};
    TCallMan calls_{&functions_, &components_};
    TGameSaveData data_{TGameSaveParts{&list_, [this] { return &calls_; }, [this] { return &table_; }}};
};

TEST_F(GameSaveRequestTest, SavingASlotTwiceKeepsOneEntryAndOneCaption)
{
    Request(2, "two");
    Request(1, "one");
    Request(2, "two again");
    Request(3, "");  // an empty caption saves nothing
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"GAMESAVEDATA1", "GAMESAVEDATA2", "STATUSSAVEDATA"}));
    ASSERT_EQ(project_->SlotCaptions().size(), 2u);
    EXPECT_EQ(project_->SlotCaptions()[0].slot, 2);
    EXPECT_EQ(project_->SlotCaptions()[0].caption, "two again");
    EXPECT_EQ(project_->SlotCaptions()[1].slot, 1);
    const std::vector<TSlotCaption> read = data_.ReadSlotCaptions(SaveFile());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].slot, 1);  // the file lists the newest save last
    EXPECT_EQ(read[1].caption, "two again");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameSaveRequestTest, AFailingWriteChangesNothingAndSaysWhy)
{
    Request(1, "one");
    SetSaveFileReplacer([](const std::string&, std::string_view, std::string* reason) {
        if (reason) *reason = "No space left on device";
        return false;
    });
    Request(2, "two");
    Request(1, "one changed");
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"GAMESAVEDATA1", "STATUSSAVEDATA"}));
    ASSERT_EQ(project_->SlotCaptions().size(), 1u);
    EXPECT_EQ(project_->SlotCaptions()[0].caption, "one");
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0], save_messages::SaveFailed() + "\r\nNo space left on device");
    EXPECT_FALSE(QuitRequested);
}

TEST_F(GameSaveRequestTest, AFailedLoadStopsTheGameAndDropsTheSaveOfTheSameFrame)
{
    Request(1, "one");
    ASSERT_TRUE(ReplaceSaveEntries(SaveFile(), {{"GAMESAVEDATA4", std::string("\x6a\0\0\0", 4), 1}}));  // 106
    project_->PendingLoadSlot = 4;
    project_->PendingSave = TProject::TSaveRequest{1, "", "overwritten", 0};
    EXPECT_FALSE(data_.ProcessPendingSaveLoad(*project_));
    EXPECT_TRUE(QuitRequested);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], save_messages::BadSaveData());
    EXPECT_EQ(data_.ReadSlotCaptions(SaveFile())[0].caption, "one");
    EXPECT_FALSE(project_->PendingSave.has_value());

    // A missing slot loads nothing and says nothing.
    QuitRequested = false;
    project_->PendingLoadSlot = 9;
    EXPECT_FALSE(data_.ProcessPendingSaveLoad(*project_));
    EXPECT_FALSE(QuitRequested);
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(GameSaveRequestTest, ALoadAndASaveInOneFrameSaveTheLoadedState)
{
    table_.AddVariable("n", PT_INT)->Value()->SetInteger(5);
    Request(1, "five");
    table_.Find("n")->Value()->SetInteger(7);
    project_->PendingLoadSlot = 1;
    project_->PendingSave = TProject::TSaveRequest{2, "", "after load", 0};
    EXPECT_TRUE(data_.ProcessPendingSaveLoad(*project_));
    EXPECT_EQ(table_.Find("n")->Value()->GetInteger(), 5);
    table_.Find("n")->Value()->SetInteger(9);
    project_->PendingLoadSlot = 2;
    EXPECT_TRUE(data_.ProcessPendingSaveLoad(*project_));
    EXPECT_EQ(table_.Find("n")->Value()->GetInteger(), 5);
}

TEST_F(GameSaveRequestTest, ChangedStatusDataIsWrittenAfterThirtySecondsOfPlay)
{
    TParamCollectionItem* plays = table_.AddVariable("plays", PT_INT, TVarScope::Status);
    data_.SaveStatusIfChanged(SaveFile(), 1000);  // the first frame takes the state as written
    plays->Value()->SetInteger(1);
    data_.SaveStatusIfChanged(SaveFile(), 30999);
    EXPECT_FALSE(fs::exists(SaveFile()));
    data_.SaveStatusIfChanged(SaveFile(), 31000);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"STATUSSAVEDATA"}));
    // Unchanged status data is not written again (the first rewrite would make the backup).
    data_.SaveStatusIfChanged(SaveFile(), 70000);
    EXPECT_FALSE(fs::exists(SaveFile() + ".bak"));
    plays->Value()->SetInteger(2);
    data_.SaveStatusIfChanged(SaveFile(), 101000);
    EXPECT_TRUE(fs::exists(SaveFile() + ".bak"));
}

TEST_F(GameSaveRequestTest, UnreadableStatusDataIsShownOnceAndNeverOverwritten)
{
    const std::string newer = std::string("Status104") + "from a newer player";
    ASSERT_TRUE(ReplaceSaveEntries(SaveFile(), {{"STATUSSAVEDATA", newer, 1}}));
    data_.LoadStatus(SaveFile());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], save_messages::StatusUnreadable());
    EXPECT_TRUE(data_.StatusUnreadable());
    Request(1, "one");
    data_.SaveStatus(SaveFile());
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"STATUSSAVEDATA", "GAMESAVEDATA1"}));
    TVrFileCollection files;
    ASSERT_TRUE(ReadSaveFile(SaveFile(), files));
    EXPECT_EQ(files.Extract("STATUSSAVEDATA"), newer);
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(GameSaveRequestTest, ReadMarksComeBackFromTheStatusData)
{
    ReadList().Clear();
    ReadList().SetPending("box", "a.msb", 2, 7);
    ReadList().Commit("box");
    data_.SaveStatus(SaveFile());
    ReadList().Clear();
    EXPECT_FALSE(ReadList().IsRead("a.msb", 7, 2));
    TGameSaveData fresh{TGameSaveParts{&list_, [this] { return &calls_; }, [this] { return &table_; }}};
    fresh.LoadStatus(SaveFile());
    EXPECT_TRUE(ReadList().IsRead("A.MSB", 7, 2));
    ReadList().Clear();
}

}  // namespace
}  // namespace mobu
