// The save file on disk: entries replaced under the lock with the old file kept as backup,
// a failing write that changes nothing, a damaged file moved aside and the backup restored,
// stale temporaries removed, and two processes writing different entries at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "archive/save_file.h"
#include "archive/vr_file_collection.h"
#include "platform/durable_files.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("mobu_save_file_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "save.dat").string();
    }
    void TearDown() override
    {
        SetSaveFileReplacer(nullptr);
        fs::remove_all(dir_);
    }
    // The entries of a save file as name=content lines in index order; "unreadable" when
    // it is not an archive.
    static std::string Entries(const std::string& path)
    {
        TVrFileCollection files;
        if (!ReadSaveFile(path, files)) return "unreadable";
        std::string out;
        for (int i = 0; i < files.Count(); ++i) {
            if (files.Item(i)->Name() == kEofEntryName) continue;
            std::string bytes;
            files.ReadEntry(*files.Item(i), bytes);
            out += files.Item(i)->Name() + "=" + bytes + ";";
        }
        return out;
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(SaveFileTest, ReplacingMovesTheEntryToTheEndAndKeepsTheOldFileAsBackup)
{
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"GAMESAVEDATA1", "one", 100}}));
    EXPECT_EQ(Entries(path_), "GAMESAVEDATA1=one;");
    EXPECT_FALSE(fs::exists(path_ + ".bak"));  // nothing to keep yet
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"GAMESAVEDATA2", "two", 200}}));
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"gamesavedata1", "uno", 300}, {"STATUSSAVEDATA", "s", 300}}));
    EXPECT_EQ(Entries(path_), "GAMESAVEDATA2=two;gamesavedata1=uno;STATUSSAVEDATA=s;");
    EXPECT_EQ(Entries(path_ + ".bak"), "GAMESAVEDATA1=one;GAMESAVEDATA2=two;");
    TVrFileCollection files;
    ASSERT_TRUE(ReadSaveFile(path_, files));
    EXPECT_EQ(files.Find("GAMESAVEDATA2")->FileTime, 200);  // carried over with its stamp
    EXPECT_EQ(files.Find("GAMESAVEDATA1")->FileTime, 300);
    for (const auto& item : fs::directory_iterator(dir_)) EXPECT_NE(item.path().extension(), ".tmp") << item.path();
}

TEST_F(SaveFileTest, AFailingWriteLeavesFileAndBackupAsTheyWere)
{
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"A", "1", 1}}));
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"B", "2", 1}}));
    // Each step of the write failing in turn: the backup copy, then the file itself.
    for (int failing_call : {1, 2}) {
        int calls = 0;
        SetSaveFileReplacer([&](const std::string& path, std::string_view bytes, std::string* reason) {
            if (++calls == failing_call) {
                if (reason) *reason = "No space left on device";
                return false;
            }
            return ReplaceFileAtomically(path, bytes, reason);
        });
        std::string reason;
        EXPECT_FALSE(ReplaceSaveEntries(path_, {{"C", "3", 1}}, &reason));
        EXPECT_EQ(reason, "No space left on device");
        EXPECT_EQ(Entries(path_), "A=1;B=2;") << failing_call;
    }
}

TEST_F(SaveFileTest, AnUnreadableFileIsNeverOverwritten)
{
    std::ofstream(path_) << "not an archive at all";
    std::string reason;
    EXPECT_FALSE(ReplaceSaveEntries(path_, {{"A", "1", 1}}, &reason));
    EXPECT_FALSE(reason.empty());
    std::ifstream in(path_);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not an archive at all");
}

TEST_F(SaveFileTest, ADamagedFileIsKeptAsideAndTheBackupRestored)
{
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"A", "1", 1}}));
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"B", "2", 1}}));
    std::ofstream(path_, std::ios::trunc) << "garbage";
    TSaveRecovery recovery = RecoverDamagedSaveFile(path_);
    EXPECT_TRUE(recovery.damaged);
    EXPECT_TRUE(recovery.restored);
    EXPECT_EQ(Entries(path_), "A=1;");
    ASSERT_FALSE(recovery.kept_path.empty());
    EXPECT_NE(recovery.kept_path.find("save.dat.damaged-"), std::string::npos);
    std::ifstream kept(recovery.kept_path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "garbage");

    // Without a readable backup the game starts with no save file; the damaged one is kept.
    fs::remove(path_ + ".bak");
    std::ofstream(path_, std::ios::trunc) << "garbage again";
    recovery = RecoverDamagedSaveFile(path_);
    EXPECT_TRUE(recovery.damaged);
    EXPECT_FALSE(recovery.restored);
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_TRUE(fs::exists(recovery.kept_path));

    // A readable file is left alone.
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"C", "3", 1}}));
    EXPECT_FALSE(RecoverDamagedSaveFile(path_).damaged);
}

TEST_F(SaveFileTest, StaleTemporariesAreRemovedAndOtherFilesStay)
{
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"A", "1", 1}}));
    for (const char* name : {"save.dat.0123abcd.tmp", "save.dat.bak.89abcdef.tmp", "save.dat.xyz.tmp", "other.tmp"}) {
        std::ofstream(dir_ / name) << "x";
    }
    RemoveStaleSaveTemporaries(path_);
    EXPECT_FALSE(fs::exists(dir_ / "save.dat.0123abcd.tmp"));
    EXPECT_FALSE(fs::exists(dir_ / "save.dat.bak.89abcdef.tmp"));
    EXPECT_TRUE(fs::exists(dir_ / "save.dat.xyz.tmp"));
    EXPECT_TRUE(fs::exists(dir_ / "other.tmp"));
    EXPECT_EQ(Entries(path_), "A=1;");
}

TEST_F(SaveFileTest, TwoProcessesWritingDifferentEntriesLoseNone)
{
    constexpr int kWrites = 15;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                const std::string name = "GAMESAVEDATA" + std::to_string(child * 100 + i);
                ok = ReplaceSaveEntries(path_, {{name, name, 1}}) && ok;
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TVrFileCollection files;
    ASSERT_TRUE(ReadSaveFile(path_, files));
    int entries = 0;
    for (int i = 0; i < files.Count(); ++i) entries += files.Item(i)->Name() != kEofEntryName;
    EXPECT_EQ(entries, 2 * kWrites);
    for (int child = 0; child < 2; ++child)
        for (int i = 0; i < kWrites; ++i)
            EXPECT_NE(files.Find("GAMESAVEDATA" + std::to_string(child * 100 + i)), nullptr);
}

TEST_F(SaveFileTest, TheBackupIsASecondNameOfTheReplacedFile)
{
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"A", "1", 1}}));
    const auto before = fs::status(path_);
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"B", "2", 1}}));
    EXPECT_EQ(Entries(path_ + ".bak"), "A=1;");
    EXPECT_EQ(fs::hard_link_count(path_ + ".bak"), 1u);  // the new save.dat is another file
    EXPECT_EQ(fs::hard_link_count(path_), 1u);
    (void)before;
    ASSERT_TRUE(ReplaceSaveEntries(path_, {{"C", "3", 1}}));
    EXPECT_EQ(Entries(path_ + ".bak"), "A=1;B=2;");
}

}  // namespace
}  // namespace mobu
