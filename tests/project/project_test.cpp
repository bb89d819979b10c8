#include "script/project.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/globals.h"
#include "app/project_link.h"
#include "core/mobu_error.h"
#include "archive/big_file_stream.h"
#include "archive/vr_file_manager.h"
#include "platform/durable_files.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "script/install_data.h"
#include "script/project_messages.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using testing::J;
using testing::ReadFixture;

void WriteFile(const fs::path& path, std::string_view bytes)
{
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(ReplaceFileAtomically(path.string(), bytes));
}

// An archive file holding the given entries (written by the player's own writer).
void WriteArchiveFile(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    TVrFileCollection collection;
    for (const auto& [name, bytes] : entries) collection.AddMemoryFile(name)->MemData->Data() = bytes;
    fs::create_directories(path.parent_path());
    TKsBigFileStream target(path.string(), TKsBigFileStream::Mode::Create);
    ASSERT_TRUE(collection.WriteArchive(target));
}

std::string InstallBytes(const std::string& title, int32_t disk_index, bool no_disk_needed)
{
    TInstallData data;
    data.title = title;
    data.disk_index = disk_index;
    data.no_disk_needed = no_disk_needed;
    return data.Write();
}

// A project of version 116 with a start page, a disk map and two predefined variables.
std::string ProjectBytes(const std::string& start_page = "start.msb", const std::string& exit_page = "")
{
    TProjectSetting setting;
    setting.title = J(u8"もぶデモ");
    setting.screen_width = 640;
    setting.screen_height = 480;
    setting.full_screen_width = 800;
    setting.full_screen_height = 600;
    setting.start_page = start_page;
    setting.exit_page = exit_page;
    setting.ident_code = 77;
    setting.write_status_data = true;
    setting.streamed_extensions = ".wav.WMA.ogg";
    setting.show_toolbar = false;
    setting.disk_prompt = J(u8"ディスク%dを入れて%%%s");
    setting.exit_prompt = J(u8"やめます");
    TPredefinedVariable count;
    count.type = kPredefinedInt;
    count.name = "count";
    count.int_value = 5;
    TPredefinedVariable stored = count;
    stored.name = "stored";
    setting.variables = {count, stored};
    setting.disk_map.Add("bgm", 2);
    setting.disk_map.Add("CG", 2);
    setting.disk_map.Add("raw", 3);
    return setting.Write();
}

struct Box {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
};

class FakeSaveData : public TProjectSaveData {
public:
    explicit FakeSaveData(std::vector<std::string>* log) : log_(log) {}
    void LoadStatus(const std::string& save_file) override { log_->push_back("load " + save_file); }
    void SaveStatus(const std::string& save_file) override { log_->push_back("save " + save_file); }
    std::vector<TSlotCaption> ReadSlotCaptions(const std::string&) override
    {
        log_->push_back("captions");
        return {{"slot one", 1}};
    }
    bool ProcessPendingSaveLoad(TProject& project) override
    {
        log_->push_back("pending " + std::to_string(project.PendingLoadSlot.value_or(-1)));
        return project.PendingLoadSlot.has_value();
    }

private:
    std::vector<std::string>* log_;
};

class FakeVariables : public TProjectVariables {
public:
    explicit FakeVariables(std::vector<std::string>* log) : log_(log) {}
    bool Exists(const std::string& name) override { return name == "stored"; }
    void CreateStatusVariable(const TPredefinedVariable& variable) override
    {
        log_->push_back("variable " + variable.name + "=" + std::to_string(variable.int_value));
    }

private:
    std::vector<std::string>* log_;
};

class FakeCallMan : public TProjectCallMan {
public:
    FakeCallMan(std::vector<std::string>* log, const std::string* missing_page)
        : log_(log), missing_page_(missing_page)
    {
    }
    void StartPage(const std::string& page) override
    {
        log_->push_back("start " + page);
        if (!missing_page_->empty() && page == *missing_page_) throw EMobuError(page + ":missing");
    }
    void Run() override { log_->push_back(QuitRequested ? "run (quitting)" : "run"); }

private:
    std::vector<std::string>* log_;
    const std::string* missing_page_;
};

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-project-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "game");
        ResetVrFileManager();
        VrFileManager().SetCdRoots({});
        ASSERT_EQ(VrFileManager().AddArchive(""), 0);
        ProjectParts() = TProjectParts{};
        QuitRequested = false;
        previous_presenter_ = SetMessageBoxPresenter([this](const MessageBoxRequest& request) {
            boxes_.push_back({request.text, request.caption, request.icon, request.buttons});
            if (answers_.empty()) return MessageResult::Cancel;
            auto answer = answers_.front();
            answers_.erase(answers_.begin());
            if (answer.second) answer.second();
            return answer.first;
        });
    }
    void TearDown() override
    {
        SetMessageBoxPresenter(previous_presenter_);
        ProjectParts() = TProjectParts{};
        ResetVrFileManager();
        DeleteTempFiles();
        fs::remove_all(root_);
    }

    // Starts like the main window does with a folder argument.
    std::unique_ptr<TProject> StartWithFolder()
    {
        VrFileManager().SetBaseFolder(Game());
        auto project = std::make_unique<TProject>(TProjectStartup{{Game()}, (root_ / "bin/mobuplay").string()});
        project->Create();
        return project;
    }
    void InstallFakes()
    {
        ProjectParts().make_save_data = [this] { return std::make_unique<FakeSaveData>(&log_); };
        ProjectParts().variables = [this] { return &variables_; };
        ProjectParts().make_call_man = [this] { return std::make_unique<FakeCallMan>(&log_, &missing_page_); };
        ProjectParts().request_close = [this] { log_.push_back("close"); };
    }
    void Answer(MessageResult result, std::function<void()> before = nullptr)
    {
        answers_.push_back({result, std::move(before)});
    }
    std::string Game() const { return (root_ / "game").string(); }

    fs::path root_;
    std::vector<Box> boxes_;
    std::vector<std::pair<MessageResult, std::function<void()>>> answers_;
    std::vector<std::string> log_;
    std::string missing_page_;  // the page the fake call manager fails to load
    FakeVariables variables_{&log_};
    MessageBoxPresenter previous_presenter_;
};

TEST_F(ProjectTest, CreatesFromAFolderArgumentAndRunsTheSeams)
{
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes("start.msb", "exit.msb"));
    WriteFile(root_ / "game/start.msb", "page");
    InstallFakes();
    {
        auto project = StartWithFolder();
        EXPECT_EQ(Project(), project.get());
        EXPECT_FALSE(QuitRequested);
        EXPECT_TRUE(boxes_.empty());
        EXPECT_EQ(project->Title(), J(u8"もぶデモ"));
        EXPECT_EQ(project->ScreenWidth(), 640);
        EXPECT_EQ(project->ScreenHeight(), 480);
        EXPECT_EQ(project->FullScreenWidth(), 800);
        EXPECT_EQ(project->FullScreenHeight(), 600);
        EXPECT_EQ(project->StartPage(), "start.msb");
        EXPECT_EQ(project->ExitPage(), "exit.msb");
        EXPECT_EQ(project->IdentCode(), 77);
        EXPECT_FALSE(project->ShowToolbar());
        EXPECT_EQ(project->SaveFileName(), Game() + "/save.dat");
        ASSERT_EQ(project->SlotCaptions().size(), 1u);
        EXPECT_EQ(project->SlotCaptions()[0].slot, 1);
        project->Run();
        project->PendingLoadSlot = 3;
        EXPECT_TRUE(project->ProcessPendingSaveLoad());
        // The status variable restored from the status data keeps its value: only "count"
        // is created.
        EXPECT_EQ(log_, (std::vector<std::string>{"load " + Game() + "/save.dat", "variable count=5", "captions",
                                                  "start start.msb", "run", "pending 3"}));
        log_.clear();
    }
    EXPECT_EQ(Project(), nullptr);
    // Destroy: the exit page runs once with QuitRequested cleared, then the status data is
    // written, and QuitRequested stays set.
    EXPECT_EQ(log_, (std::vector<std::string>{"start exit.msb", "run", "save " + Game() + "/save.dat"}));
    EXPECT_TRUE(QuitRequested);
}

TEST_F(ProjectTest, AnExitPageThatFailsToLoadStillWritesTheStatus)
{
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes("start.msb", "exit.msb"));
    WriteFile(root_ / "game/start.msb", "page");
    InstallFakes();
    missing_page_ = "exit.msb";
    {
        auto project = StartWithFolder();
        EXPECT_FALSE(QuitRequested);
        log_.clear();
    }
    EXPECT_EQ(log_, (std::vector<std::string>{"start exit.msb", "save " + Game() + "/save.dat"}));
    EXPECT_TRUE(QuitRequested);
}

TEST_F(ProjectTest, FailuresOfCreation)
{
    InstallFakes();
    // No project file anywhere: the program ends without a message, and the status data
    // that was never loaded is not written over.
    StartWithFolder().reset();
    EXPECT_TRUE(QuitRequested);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(log_, std::vector<std::string>{});

    // An empty project file.
    WriteFile(root_ / "game/mobu.mpb", "");
    StartWithFolder();
    EXPECT_TRUE(QuitRequested);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, NoProjectMessage());
    EXPECT_EQ(boxes_[0].caption, WarningCaption());
    EXPECT_EQ(boxes_[0].icon, MessageIcon::Warning);

    // A newer version is raised for the main window to show.
    std::string newer = ProjectBytes();
    newer[0] = 117;
    WriteFile(root_ / "game/mobu.mpb", newer);
    try {
        StartWithFolder();
        FAIL() << "no error";
    } catch (const EMobuError& error) {
        EXPECT_EQ(error.what(), UnsupportedVersionMessage());
    }
    EXPECT_TRUE(QuitRequested);

    // The start page is missing.
    boxes_.clear();
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes("missing.msb"));
    StartWithFolder();
    EXPECT_TRUE(QuitRequested);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, NoStartPageMessage());
    EXPECT_EQ(boxes_[0].caption, WarningCaption());
}

TEST_F(ProjectTest, ProjectFromAnArchiveWithoutTheLaterParts)
{
    WriteArchiveFile(root_ / "game/game.dat", {{"mobu.mpb", ProjectBytes()}, {"Start.MSB", "page"}});
    VrFileManager().AddArchive((root_ / "game/game.dat").string());
    auto project = StartWithFolder();
    EXPECT_FALSE(QuitRequested);  // the start page is found without regard to case
    EXPECT_EQ(project->CallMan(), nullptr);
    EXPECT_EQ(project->SaveData(), nullptr);
    project->Run();
    EXPECT_FALSE(project->ProcessPendingSaveLoad());
}

TEST_F(ProjectTest, OriginalProjectFileReplacesTheDiskMap)
{
    TProjectSetting original = TProjectSetting::Parse(ProjectBytes());
    original.disk_map.Clear();
    original.disk_map.Add("cg", 5);
    WriteArchiveFile(root_ / "game/game.dat", {{"mobu.mpb", ProjectBytes()},
                                               {"start.msb", "page"},
                                               {"/original_mobu.mpb", original.Write()}});
    VrFileManager().AddArchive((root_ / "game/game.dat").string());
    auto project = StartWithFolder();
    ASSERT_EQ(project->DiskMap().Entries().size(), 1u);
    EXPECT_EQ(project->DiskMap().DiskOf("cg\\a.png"), 5);
}

TEST_F(ProjectTest, OriginalProjectFileBesideTheGameReplacesTheDiskMap)
{
    TProjectSetting original = TProjectSetting::Parse(ProjectBytes());
    original.disk_map.Clear();
    original.disk_map.Add("bgm", 3);
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes());
    WriteFile(root_ / "game/start.msb", "page");
    WriteFile(root_ / "game/original_mobu.mpb", original.Write());
    auto project = StartWithFolder();
    ASSERT_EQ(project->DiskMap().Entries().size(), 1u);
    EXPECT_EQ(project->DiskMap().DiskOf("bgm\\a.ogg"), 3);
}

TEST_F(ProjectTest, EnsureAvailableAndDiskChanges)
{
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes());
    WriteFile(root_ / "game/start.msb", "page");
    WriteFile(root_ / "game/here.png", "x");
    InstallFakes();
    auto project = StartWithFolder();
    ASSERT_FALSE(QuitRequested);
    const fs::path cd = root_ / "cd";
    fs::create_directories(cd);
    VrFileManager().SetCdRoots({cd.string() + "/"});

    EXPECT_FALSE(project->EnsureAvailable(""));
    EXPECT_TRUE(project->EnsureAvailable("here.png"));
    EXPECT_FALSE(project->EnsureAvailable("elsewhere.png"));  // on no disk
    // Streamed media on another disk never ask for it (the list is compared lower-cased).
    EXPECT_FALSE(project->EnsureAvailable("bgm\\a.ogg"));
    EXPECT_FALSE(project->EnsureAvailable("BGM\\a.wma"));
    EXPECT_TRUE(boxes_.empty());

    // cg\sub\x.png lies on disk 2 through its parent folder. The first OK finds no disk;
    // the second finds disk 2 (index 1) with the right title after it was inserted. A disk
    // of another title or another index does not count.
    WriteFile(cd / "game.dat", "not this");
    WriteFile(cd / "install.dat", InstallBytes(J(u8"よそのゲーム"), 1, false));
    Answer(MessageResult::Ok);
    Answer(MessageResult::Ok, [&] { WriteFile(cd / "install.dat", InstallBytes(J(u8"もぶデモ"), 0, false)); });
    Answer(MessageResult::Ok, [&] {
        WriteFile(cd / "INSTALL.DAT", InstallBytes(J(u8"もぶデモ"), 1, false));
        fs::remove(cd / "install.dat");
        fs::remove(cd / "game.dat");
        WriteArchiveFile(cd / "Game.dat", {{"cg\\sub\\x.png", "picture"}});
    });
    EXPECT_TRUE(project->EnsureAvailable("cg\\sub\\x.png"));
    ASSERT_EQ(boxes_.size(), 3u);
    // The prompt's "%d" is the disk number, "%%" a percent sign, and "%s" stays text.
    EXPECT_EQ(boxes_[0].text, J(u8"ディスク2を入れて%%s"));
    EXPECT_EQ(boxes_[0].caption, J(u8"もぶデモ"));
    EXPECT_EQ(boxes_[0].icon, MessageIcon::None);
    EXPECT_EQ(boxes_[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(VrFileManager().ReadFile("cg\\sub\\x.png"), "picture");

    // A file without extension on disk 3 asks too; Cancel, then Cancel on the exit prompt
    // asks again; Cancel and OK ends the game.
    boxes_.clear();
    Answer(MessageResult::Cancel);
    Answer(MessageResult::Cancel);
    Answer(MessageResult::Cancel);
    Answer(MessageResult::Ok);
    EXPECT_FALSE(project->EnsureAvailable("raw\\data"));
    ASSERT_EQ(boxes_.size(), 4u);
    EXPECT_EQ(boxes_[1].text, J(u8"やめます"));
    EXPECT_EQ(boxes_[3].text, J(u8"やめます"));
    EXPECT_TRUE(QuitRequested);
    EXPECT_EQ(log_.back(), "close");
    // The disk's archive was unregistered before the prompt.
    EXPECT_FALSE(VrFileManager().Exists("cg\\sub\\x.png"));
}

TEST_F(ProjectTest, HeadlessDiskChangeGivesUpAfterOneSearch)
{
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes());
    WriteFile(root_ / "game/start.msb", "page");
    auto project = StartWithFolder();
    ProjectParts().interactive = false;
    EXPECT_FALSE(project->EnsureAvailable("cg\\x.png"));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(QuitRequested);
}

TEST_F(ProjectTest, CheckInstallWithoutArguments)
{
    const fs::path bin = root_ / "bin";
    WriteFile(bin / "mobuplay", "player");
    TProject project(TProjectStartup{{}, (bin / "mobuplay").string()});

    // No install data anywhere.
    EXPECT_FALSE(project.CheckInstall());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, ReinstallMessage());
    EXPECT_EQ(boxes_[0].caption, InformationCaption());
    EXPECT_EQ(boxes_[0].icon, MessageIcon::Information);

    // Damaged install data counts as none.
    boxes_.clear();
    WriteFile(bin / "install.dat", "is1");
    EXPECT_FALSE(project.CheckInstall());
    EXPECT_EQ(VrFileManager().BaseFolder(), bin.string() + "/");
    ASSERT_EQ(boxes_.size(), 1u);

    // A game that needs no disk, with game.dat beside the player.
    boxes_.clear();
    WriteFile(bin / "install.dat", InstallBytes("demo", 0, true));
    WriteArchiveFile(bin / "game.dat", {{"mobu.mpb", ProjectBytes()}, {"start.msb", "page"}});
    EXPECT_TRUE(project.CheckInstall());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(VrFileManager().Exists("mobu.mpb"));
}

TEST_F(ProjectTest, CheckInstallSearchesTheDisks)
{
    const fs::path bin = root_ / "bin";
    const fs::path cd = root_ / "cd";
    WriteFile(bin / "install.dat", InstallBytes("demo", 0, false));
    fs::create_directories(cd);
    VrFileManager().SetCdRoots({cd.string() + "/"});
    TProject project(TProjectStartup{{}, (bin / "mobuplay").string()});
    // No disk: "insert the disk"; OK searches again and finds it.
    Answer(MessageResult::Ok, [&] {
        WriteFile(cd / "install.dat", InstallBytes("demo", 1, false));
        WriteArchiveFile(cd / "game.dat", {{"from-disk.txt", "disk"}});
    });
    EXPECT_TRUE(project.CheckInstall());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, InsertDiskMessage());
    EXPECT_EQ(boxes_[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(VrFileManager().ReadFile("from-disk.txt"), "disk");

    // Cancel, then OK on the exit prompt: the check fails.
    boxes_.clear();
    fs::remove_all(cd);
    fs::create_directories(cd);
    Answer(MessageResult::Cancel);
    Answer(MessageResult::Ok);
    EXPECT_FALSE(project.CheckInstall());
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].text, DefaultExitPrompt());
    EXPECT_EQ(boxes_[1].caption, DefaultTitle());
}

TEST_F(ProjectTest, FirstDiskRequiredWaitsForTheDisk)
{
    TProjectSetting setting = TProjectSetting::Parse(ProjectBytes());
    setting.first_disk_required = true;
    WriteFile(root_ / "game/mobu.mpb", setting.Write());
    WriteFile(root_ / "game/start.msb", "page");
    const fs::path cd = root_ / "cd";
    fs::create_directories(cd);
    VrFileManager().SetCdRoots({cd.string() + "/"});
    Answer(MessageResult::Ok, [&] { WriteFile(cd / "install.dat", InstallBytes(J(u8"もぶデモ"), 3, false)); });
    StartWithFolder();
    EXPECT_FALSE(QuitRequested);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, InsertFirstDiskMessage());
    EXPECT_EQ(boxes_[0].caption, J(u8"もぶデモ"));

    // Cancel stops the creation.
    boxes_.clear();
    fs::remove(cd / "install.dat");
    Answer(MessageResult::Cancel);
    StartWithFolder();
    EXPECT_TRUE(QuitRequested);
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST(DiskPrompt, FormatsOnlyTheDiskNumber)
{
    EXPECT_EQ(FormatDiskPrompt("Disk %d, again %d", 2), "Disk 2, again 2");
    EXPECT_EQ(FormatDiskPrompt("100%% %s %n %", 7), "100% %s %n %");
    EXPECT_EQ(FormatDiskPrompt(J(u8"ディスク%dを"), 12), J(u8"ディスク12を"));
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST_F(ProjectTest, TheShellsLinkCreatesTheRealProject)
{
    WriteFile(root_ / "game/mobu.mpb", ProjectBytes());
    WriteFile(root_ / "game/start.msb", "page");
    VrFileManager().SetBaseFolder(Game());
    std::unique_ptr<TProjectLink> link = CreateProjectLink(TGameStartup{{Game()}, (root_ / "bin/mobuplay").string()});
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Title(), J(u8"もぶデモ"));
    EXPECT_EQ(link->ScreenWidth(), 640);
    EXPECT_FALSE(link->ShowToolbar());
    ASSERT_NE(Project(), nullptr);
    EXPECT_EQ(Project()->FullScreenWidth(), 800);
    link.reset();
    EXPECT_EQ(Project(), nullptr);

    // Creation that stops gives no project.
    fs::remove(root_ / "game/start.msb");
    EXPECT_EQ(CreateProjectLink(TGameStartup{{Game()}, (root_ / "bin/mobuplay").string()}), nullptr);
    EXPECT_TRUE(QuitRequested);
    EXPECT_EQ(Project(), nullptr);
}

}  // namespace
}  // namespace mobu
