#include "script/save_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/project_messages.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using testing::J;

// Runs `body` in a child process that cannot write where it has no permission: as the
// unprivileged user "nobody" when the tests run as root (root writes into read-only
// folders), as the current user otherwise. Returns what the child printed.
std::string RunUnprivileged(const std::function<std::string()>& body)
{
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) return "pipe failed";
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_ends[0]);
        std::string result;
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            result = "setuid failed";
        } else {
            try {
                result = body();
            } catch (const EMobuError& error) {
                result = std::string("error:") + error.what();
            }
        }
        ssize_t written = ::write(pipe_ends[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    ::close(pipe_ends[1]);
    std::string output;
    char buffer[256];
    for (ssize_t count; (count = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) output.append(buffer, count);
    ::close(pipe_ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return output;
}

class SaveLocation : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-save-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "game");
        fs::create_directories(root_ / "data");
        // Reachable by the unprivileged child.
        fs::permissions(root_, fs::perms::all);
        fs::permissions(root_ / "data", fs::perms::all);
        saved_data_home_ = Environment("XDG_DATA_HOME");
        saved_home_ = Environment("HOME");
    }
    void TearDown() override
    {
        Restore("XDG_DATA_HOME", saved_data_home_);
        Restore("HOME", saved_home_);
        fs::permissions(root_ / "game", fs::perms::owner_all);
        fs::remove_all(root_);
    }
    static std::optional<std::string> Environment(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value)
    {
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    std::string Game() const { return (root_ / "game").string(); }
    std::string Data() const { return (root_ / "data").string(); }
    void MakeGameReadOnly() { fs::permissions(root_ / "game", fs::perms::owner_read | fs::perms::owner_exec |
                                                               fs::perms::group_read | fs::perms::group_exec |
                                                               fs::perms::others_read | fs::perms::others_exec); }

    fs::path root_;
    std::optional<std::string> saved_data_home_;
    std::optional<std::string> saved_home_;
};

TEST_F(SaveLocation, FirstArgumentNamesTheSaveFolder)
{
    ASSERT_TRUE(ReplaceFileAtomically(Game() + "/game.exe", "x"));
    TSaveLocationRequest request{{Game()}, "/somewhere/mobuplay", J(u8"題")};
    EXPECT_EQ(LocateSaveFile(request), Game() + "/save.dat");
    // A file argument (archive or executable with an archive): its folder, not the file.
    request.arguments = {Game() + "/game.exe", "/other"};
    EXPECT_EQ(LocateSaveFile(request), Game() + "/save.dat");
    EXPECT_EQ(GameFolderOfArgument(Game() + "/game.exe"), Game() + "/");
    EXPECT_EQ(GameFolderOfArgument(Game()), Game());
}

TEST_F(SaveLocation, UnwritableArgumentFolderUsesTheUserDataFolder)
{
    ASSERT_TRUE(ReplaceFileAtomically(Game() + "/save.dat", "old save"));
    fs::permissions(Game() + "/save.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                              fs::perms::others_read);
    MakeGameReadOnly();
    ::setenv("XDG_DATA_HOME", Data().c_str(), 1);
    TSaveLocationRequest request{{Game()}, "/somewhere/mobuplay", "demo"};
    EXPECT_EQ(RunUnprivileged([&] { return LocateSaveFile(request); }), Data() + "/mobu/demo/save.dat");
    EXPECT_EQ(ReadRealFile(Data() + "/mobu/demo/save.dat").value_or("missing"), "old save");
}

TEST_F(SaveLocation, WritableGameFolderKeepsTheSaveBesideTheGame)
{
    TSaveLocationRequest request{{}, Game() + "/mobuplay", J(u8"題")};
    EXPECT_EQ(LocateSaveFile(request), Game() + "/save.dat");
    EXPECT_FALSE(RealFileExists(Game() + "/save.dat.$$$"));  // the probe is removed
}

TEST_F(SaveLocation, UnwritableGameFolderUsesTheUserDataFolderAndCopiesTheOldSaveOnce)
{
    ASSERT_TRUE(ReplaceFileAtomically(Game() + "/save.dat", "old save"));
    fs::permissions(Game() + "/save.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                              fs::perms::others_read);
    MakeGameReadOnly();
    ::setenv("XDG_DATA_HOME", Data().c_str(), 1);
    const std::string title = J(u8"もぶ:デモ/表?");  // 表 ends in the byte 0x5C
    TSaveLocationRequest request{{}, Game() + "/mobuplay", title};
    std::string expected = Data() + "/mobu/" + std::string(reinterpret_cast<const char*>(u8"もぶ_デモ_表_")) + "/save.dat";

    EXPECT_EQ(RunUnprivileged([&] { return LocateSaveFile(request); }), expected);
    EXPECT_EQ(ReadRealFile(expected).value_or("missing"), "old save");

    // Once there, the new save is never replaced by the old one again.
    ASSERT_TRUE(ReplaceFileAtomically(expected, "new save"));
    fs::permissions(expected, fs::perms::all);
    EXPECT_EQ(RunUnprivileged([&] { return LocateSaveFile(request); }), expected);
    EXPECT_EQ(ReadRealFile(expected).value_or("missing"), "new save");
}

TEST_F(SaveLocation, ASaveOfTheEarlierPerUserPlaceMovesOnce)
{
    // Earlier players kept the save in the data folder under the bare title: it moves into
    // the player's folder once, and a save already there is never replaced.
    ::setenv("XDG_DATA_HOME", Data().c_str(), 1);
    ASSERT_TRUE(CreateRealFolders(Data() + "/demo"));
    ASSERT_TRUE(ReplaceFileAtomically(Data() + "/demo/save.dat", "earlier save"));
    ASSERT_TRUE(ReplaceFileAtomically(Data() + "/demo/other.txt", "kept"));
    TSaveLocationRequest request{{}, "/usr/games/mobu/mobuplay", "demo"};
    EXPECT_EQ(LocateSaveFile(request), Data() + "/mobu/demo/save.dat");
    EXPECT_EQ(ReadRealFile(Data() + "/mobu/demo/save.dat").value_or("missing"), "earlier save");
    EXPECT_FALSE(RealFileExists(Data() + "/demo/save.dat"));
    EXPECT_EQ(ReadRealFile(Data() + "/demo/other.txt").value_or("missing"), "kept");

    ASSERT_TRUE(ReplaceFileAtomically(Data() + "/demo/save.dat", "a second earlier save"));
    EXPECT_EQ(LocateSaveFile(request), Data() + "/mobu/demo/save.dat");
    EXPECT_EQ(ReadRealFile(Data() + "/mobu/demo/save.dat").value_or("missing"), "earlier save");
    EXPECT_EQ(ReadRealFile(Data() + "/demo/save.dat").value_or("missing"), "a second earlier save");
}

TEST_F(SaveLocation, SystemInstalledExecutableUsesTheUserDataFolder)
{
    ::setenv("XDG_DATA_HOME", Data().c_str(), 1);
    TSaveLocationRequest request{{}, "/usr/games/mobu/mobuplay", "demo"};
    TSaveLocation location = LocateSaveLocation(request);
    EXPECT_EQ(location.file, Data() + "/mobu/demo/save.dat");
    // The folder waits for the first write, which makes it.
    EXPECT_TRUE(location.folder_to_create);
    EXPECT_FALSE(RealFolderExists(Data() + "/mobu"));
    EXPECT_TRUE(CreateSaveFolder(location));
    EXPECT_TRUE(RealFolderExists(Data() + "/mobu/demo"));
    EXPECT_FALSE(LocateSaveLocation(request).folder_to_create);
    // A folder that was there and has gone is not made again behind the player's back.
    TSaveLocation beside{Game() + "/gone/save.dat", {}, false};
    EXPECT_FALSE(CreateSaveFolder(beside));
    EXPECT_FALSE(RealFolderExists(Game() + "/gone"));
}

TEST_F(SaveLocation, AReadOnlyDataFolderMeansSavingOffWithoutMakingAFolder)
{
    ::setenv("XDG_DATA_HOME", Data().c_str(), 1);
    fs::permissions(root_ / "data", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    TSaveLocationRequest request{{}, "/usr/games/mobu/mobuplay", "demo"};
    EXPECT_EQ(RunUnprivileged([&] {
                  TSaveLocation location = LocateSaveLocation(request);
                  return location.file + "|" + location.failure.substr(0, SavingOffMessage(Data() + "/mobu/demo", "").size());
              }),
              "|" + SavingOffMessage(Data() + "/mobu/demo", ""));
    fs::permissions(root_ / "data", fs::perms::all);
    EXPECT_FALSE(RealFolderExists(Data() + "/mobu"));
}

TEST_F(SaveLocation, RelativeDataHomeFallsBackToHome)
{
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    ::setenv("HOME", Data().c_str(), 1);
    TSaveLocationRequest request{{}, "/opt/mobu/mobuplay", "demo"};
    EXPECT_EQ(LocateSaveFile(request), Data() + "/.local/share/mobu/demo/save.dat");
}

TEST_F(SaveLocation, UncreatableFolderRaisesItsMessage)
{
    ASSERT_TRUE(ReplaceFileAtomically(Data() + "/file", "x"));
    ::setenv("XDG_DATA_HOME", (Data() + "/file").c_str(), 1);  // a file where a folder must go
    TSaveLocationRequest request{{}, "/usr/games/mobuplay", "demo"};
    try {
        LocateSaveFile(request);
        FAIL() << "no error";
    } catch (const EMobuError& error) {
        EXPECT_EQ(error.what(), CannotCreateDataFileMessage());
    }
}

TEST_F(SaveLocation, NoFolderTakesTheFileMeansSavingOff)
{
    // Nowhere to save (a file where the data folder must go): no path, and the message names
    // the folder and the reason; LocateSaveFile keeps its old refusal.
    ASSERT_TRUE(ReplaceFileAtomically(Data() + "/file", "x"));
    ::setenv("XDG_DATA_HOME", (Data() + "/file").c_str(), 1);
    TSaveLocationRequest request{{}, "/usr/games/mobuplay", "demo"};
    TSaveLocation location = LocateSaveLocation(request);
    EXPECT_EQ(location.file, "");
    EXPECT_EQ(location.failure.rfind(SavingOffMessage(Data() + "/file/mobu/demo", ""), 0), 0u) << location.failure;
    EXPECT_GT(location.failure.size(), SavingOffMessage(Data() + "/file/mobu/demo", "").size());  // the reason
}

TEST(SaveFolderName, SanitisesOnlyWholeCharacters)
{
    struct Case {
        std::string title;
        const char8_t* folder;
    };
    for (const Case& c : {Case{"a\\b/c:d,e;f*g?h\"i<j>k|l", u8"a_b_c_d_e_f_g_h_i_j_k_l"},
                          Case{J(u8"表示"), u8"表示"}, Case{J(u8"ソ|ソ"), u8"ソ_ソ"}, Case{"", u8"_"},
                          Case{".", u8"_"}, Case{"..", u8"_"}, Case{"...", u8"___"}, Case{"..a", u8"..a"},
                          Case{std::string("a\0b\n", 4), u8"a_b_"}}) {
        EXPECT_EQ(SaveFolderNameOfTitle(c.title), std::string(reinterpret_cast<const char*>(c.folder)));
    }
}

}  // namespace
}  // namespace mobu
