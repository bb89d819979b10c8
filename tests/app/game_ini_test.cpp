#include "app/game_ini.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace mobu {
namespace {

std::string WriteIni(const std::string& text)
{
    auto path = std::filesystem::temp_directory_path() / ("mobu_game_ini_" + std::to_string(::getpid()) + ".ini");
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

TEST(GameIni, DelayTimeIsRoundedDownThenClamped)
{
    struct Case { const char* stored; int32_t expected; };
    for (Case c : {Case{"1234", 500}, Case{"50", 100}, Case{"250", 200}, Case{"300", 300}, Case{"499", 400},
                   Case{"0", 100}, Case{"-250", 100}, Case{"99999999999", 500}}) {
        std::string path = WriteIni(std::string("[Sound]\r\nDelayTime=") + c.stored + "\r\n");
        TSoundSettings settings;
        ReadGameIni(path, settings);
        EXPECT_EQ(settings.DelayTime, c.expected) << c.stored;
        std::remove(path.c_str());
    }
}

TEST(GameIni, ReadsEveryKeyWithoutCaseAndKeepsDefaultsOtherwise)
{
    std::string path = WriteIni("; options\n[sound]\ndirectsound = 0\n[VIDEO]\nUseWmp=1\n[Other]\nDelayTime=100\n");
    TSoundSettings settings;
    ReadGameIni(path, settings);
    EXPECT_FALSE(settings.DirectSound);
    EXPECT_TRUE(settings.UseWMP);
    EXPECT_EQ(settings.DelayTime, 500);  // the key was in another section
    std::remove(path.c_str());

    path = WriteIni("[Sound]\nDirectSound=maybe\nDelayTime=\n");
    TSoundSettings untouched;
    ReadGameIni(path, untouched);
    EXPECT_TRUE(untouched.DirectSound);
    EXPECT_EQ(untouched.DelayTime, 500);
    std::remove(path.c_str());
}

TEST(GameIni, MissingFileChangesNothing)
{
    TSoundSettings settings;
    settings.DelayTime = 300;
    ReadGameIni("/nonexistent/game.ini", settings);
    EXPECT_EQ(settings.DelayTime, 300);
    EXPECT_TRUE(settings.DirectSound);
    EXPECT_FALSE(settings.UseWMP);
}

}  // namespace
}  // namespace mobu

namespace mobu {
namespace {

TEST(GameIni, SoundFontPathsCountFromTheIniFolder)
{
    struct Case {
        const char* line;
        std::string expected;  // "" keeps the system's font
    };
    std::string ini = WriteIni("[Sound]\nSoundFont=fonts/gm.sf2\n");
    std::string folder = std::filesystem::path(ini).parent_path().string();
    const Case cases[] = {
        {"SoundFont=fonts/gm.sf2", folder + "/fonts/gm.sf2"},
        {"soundfont = /usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2"},
        {"SoundFont=", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TSoundSettings settings;
        ReadGameIni(WriteIni(std::string("[Sound]\n") + c.line + "\n"), settings);
        EXPECT_EQ(settings.SoundFont, c.expected);
    }
}

}  // namespace
}  // namespace mobu
