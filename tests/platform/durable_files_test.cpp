#include "platform/durable_files.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

namespace mobu {
namespace {

namespace fs = std::filesystem;

class DurableFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("mobu_durable_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    // The names in the folder, so that a left temporary file shows.
    std::string Listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename().string());
        std::string text;
        for (const auto& name : names) text += name + " ";
        return text;
    }
    fs::path folder_;
};

TEST_F(DurableFiles, FailedReplacementsLeaveTheOldFileAndNoTemporaryFile)
{
    std::string ini = Path("game.ini");
    std::ofstream(ini, std::ios::binary) << "[Sound]\r\nDelayTime=300\r\n";
    fs::create_directories(folder_ / "folder.ini");
    struct Case { std::string path; const char* reason_part; };
    for (const Case& c : {Case{Path("missing/game.ini"), "No such file"}, Case{Path("folder.ini"), "directory"}}) {
        std::string reason;
        EXPECT_FALSE(ReplaceFileAtomically(c.path, "new", &reason)) << c.path;
        EXPECT_NE(reason.find(c.reason_part), std::string::npos) << reason;
    }
    EXPECT_EQ(ReadRealFile(ini).value_or("missing"), "[Sound]\r\nDelayTime=300\r\n");
    EXPECT_EQ(Listing(), "folder.ini game.ini ");
}

TEST_F(DurableFiles, AFileSizeLimitFailsTheWriteAndKeepsTheOldFile)
{
    std::string ini = Path("game.ini");
    std::ofstream(ini, std::ios::binary) << "old";
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        bool ok = ReplaceFileAtomically(ini, std::string(1000, 'x'), &reason);
        ::_exit(ok ? 10 : reason.find("too large") != std::string::npos ? 0 : 11);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: the write passed, 11: another reason";
    EXPECT_EQ(ReadRealFile(ini).value_or("missing"), "old");
    EXPECT_EQ(Listing(), "game.ini ");
}

TEST_F(DurableFiles, ALinkKeepsBeingALinkAndItsTargetIsReplaced)
{
    fs::create_directories(folder_ / "real");
    std::ofstream(Path("real/game.ini"), std::ios::binary) << "old";
    ::chmod(Path("real/game.ini").c_str(), 0600);
    fs::create_symlink("real/game.ini", folder_ / "game.ini");
    ASSERT_TRUE(ReplaceFileAtomically(Path("game.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "game.ini"));
    EXPECT_EQ(ReadRealFile(Path("real/game.ini")).value_or("missing"), "new");
    EXPECT_EQ(fs::status(Path("real/game.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(DurableFiles, FifosDevicesAndBigFilesAreNeitherReadNorReplaced)
{
    ASSERT_EQ(::mkfifo(Path("fifo.ini").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", folder_ / "null.ini");
    std::ofstream(Path("big.ini"), std::ios::binary) << std::string(2000, ';');
    for (const char* name : {"fifo.ini", "null.ini"}) {
        std::string reason;
        EXPECT_FALSE(ReadSmallRealFile(Path(name), 1000, &reason)) << name;
        EXPECT_FALSE(reason.empty()) << name;
        EXPECT_FALSE(ReplaceFileAtomically(Path(name), "x", &reason)) << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
    std::string reason;
    EXPECT_FALSE(ReadSmallRealFile(Path("big.ini"), 1000, &reason));
    EXPECT_NE(reason.find("larger"), std::string::npos);
    EXPECT_TRUE(ReadSmallRealFile(Path("big.ini"), 2000));
    EXPECT_FALSE(ReadSmallRealFile(Path("missing.ini"), 1000, &reason));
    EXPECT_EQ(reason, "") << "a missing file is no failure";
    EXPECT_TRUE(fs::is_fifo(folder_ / "fifo.ini"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "null.ini"));
}

// A writer killed at any moment leaves either the old or the new file, whole.
TEST_F(DurableFiles, AKilledWriterLeavesAWholeFile)
{
    std::string ini = Path("game.ini");
    const std::string a = "[Sound]\nDirectSound=1\nDelayTime=100\n" + std::string(20000, ';') + "\n";
    const std::string b = "[Sound]\nDirectSound=0\nDelayTime=500\n" + std::string(30000, '#') + "\n";
    ASSERT_TRUE(ReplaceFileAtomically(ini, a));
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        int pipe_ends[2];
        ASSERT_EQ(::pipe(pipe_ends), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipe_ends[0]);
            for (int i = 0; i < 200; ++i) {
                ReplaceFileAtomically(ini, i % 2 ? a : b);
                if (i == 0) (void)!::write(pipe_ends[1], "x", 1);
            }
            ::_exit(0);
        }
        ::close(pipe_ends[1]);
        char byte;
        (void)!::read(pipe_ends[0], &byte, 1);  // the child has started writing
        ::close(pipe_ends[0]);
        ::usleep(random() % 20000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::string now = ReadRealFile(ini).value_or("missing");
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

}  // namespace
}  // namespace mobu
