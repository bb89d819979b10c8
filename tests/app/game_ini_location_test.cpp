// Where game.ini is: --ini, the game's folder when it may be written, else the per-user file
// named after the game's title, read over the shipped one until it exists.
#include "app/game_ini_location.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/form_config.h"
#include "tests/app/as_plain_user.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class GameIniLocation : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu_ini_location_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "game");
        fs::create_directories(root_ / "config");
        fs::permissions(root_ / "config", fs::perms::all);  // the plain user writes there too
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }
    void TearDown() override
    {
        ::chmod((root_ / "game").c_str(), 0700);
        fs::remove_all(root_);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    std::string Game() const { return (root_ / "game").string(); }
    fs::path root_;
};

TEST_F(GameIniLocation, IniOptionThenTheWritableGameFolder)
{
    int asked = 0;
    auto title = [&] {
        ++asked;
        return std::string("Demo");
    };
    EXPECT_EQ(LocateGameIni("/x/my.ini", {Game()}, "/bin/mobuplay", title).path, "/x/my.ini");
    TGameIniPlace place = LocateGameIni("", {Game()}, "/bin/mobuplay", title);
    EXPECT_EQ(place.path, Game() + "/game.ini");
    EXPECT_EQ(place.shipped, "");
    // An archive argument names its folder; no argument names the player's folder.
    std::ofstream(Game() + "/game.dat") << "mb";
    EXPECT_EQ(LocateGameIni("", {Game() + "/game.dat"}, "/bin/mobuplay", title).path, Game() + "/game.ini");
    EXPECT_EQ(LocateGameIni("", {}, Game() + "/mobuplay", title).path, Game() + "/game.ini");
    EXPECT_EQ(asked, 0) << "the title is read only for the per-user file";
    fs::remove(Game() + "/game.dat");
    EXPECT_EQ(fs::directory_iterator(root_ / "game"), fs::directory_iterator()) << "the probe is gone";
}

TEST_F(GameIniLocation, AFolderTheUserCannotWriteUsesThePerUserFileReadOverTheShippedOne)
{
    std::ofstream(Game() + "/game.ini", std::ios::binary) << "; shipped\n[Sound]\nDirectSound=0\nDelayTime=200\n";
    ::chmod((Game() + "/game.ini").c_str(), 0444);
    ::chmod(Game().c_str(), 0555);
    testing_support::AsPlainUser([&] {
    TGameIniPlace place = LocateGameIni("", {Game()}, "/bin/mobuplay", [] { return SysText(u8"体験版: 1/2"); });
    std::string user_file = (root_ / "config" / "mobu").string() + "/" + Cp932ToUtf8(SysText(u8"体験版_ 1_2")) + "/game.ini";
    EXPECT_EQ(place.path, user_file);
    EXPECT_EQ(place.shipped, Game() + "/game.ini");
    EXPECT_EQ(GameIniReadPath(place), place.shipped) << "until the per-user file exists";

    TFormConfig dialog(place, false);
    dialog.FormCreate();
    EXPECT_FALSE(dialog.Control("CheckSound").checked) << "the shipped file gives the starting values";
    EXPECT_EQ(dialog.Control("TrackBuff").position, 2);
    dialog.KeyDown(0x0D);
    EXPECT_EQ(dialog.Result().value_or("-"), "ok") << dialog.LastError();
    EXPECT_EQ(ReadRealFile(user_file).value_or("missing"), "; shipped\n[Sound]\nDirectSound=0\nDelayTime=200\n");
    EXPECT_EQ(GameIniReadPath(place), user_file);
    EXPECT_EQ(ReadRealFile(Game() + "/game.ini").value_or("missing"), "; shipped\n[Sound]\nDirectSound=0\nDelayTime=200\n");
    });
}

TEST_F(GameIniLocation, TwoGamesNeverShareOneFile)
{
    ::chmod(Game().c_str(), 0555);
    testing_support::AsPlainUser([&] {
    std::string a = LocateGameIni("", {Game()}, "/bin/mobuplay", [] { return std::string("Game A"); }).path;
    std::string b = LocateGameIni("", {Game()}, "/bin/mobuplay", [] { return std::string("Game B"); }).path;
    EXPECT_NE(a, b);
    });
}

}  // namespace
}  // namespace mobu
