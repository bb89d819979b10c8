#include "app/command_line.h"

#include <gtest/gtest.h>

#include "core/mobu_error.h"

namespace mobu {
namespace {

TEST(CommandLine, HeadlessOptionsAndGames)
{
    auto line = ParseCommandLine({"--headless", "--frames", "120", "--tick-ms=20", "--shot-every", "30",
                                  "--shot-at", "1,5,99", "--out", "shots", "--input", "in.txt", "--seed", "42",
                                  "game1", "--", "--odd-folder-name"});
    EXPECT_TRUE(line.headless);
    EXPECT_EQ(line.headless_options.frames, 120);
    EXPECT_EQ(line.headless_options.tick_ms, 20u);
    EXPECT_EQ(line.headless_options.shot_every, 30);
    EXPECT_EQ(line.headless_options.shot_at, (std::vector<int64_t>{1, 5, 99}));
    EXPECT_EQ(line.headless_options.out_dir, "shots");
    EXPECT_EQ(line.headless_options.input_file, "in.txt");
    EXPECT_EQ(line.seed, 42u);
    EXPECT_EQ(line.games, (std::vector<std::string>{"game1", "--odd-folder-name"}));
}

TEST(CommandLine, WindowFrames)
{
    EXPECT_EQ(ParseCommandLine({"game"}).window_frames, 0);
    auto line = ParseCommandLine({"--window-frames", "1000", "game"});
    EXPECT_EQ(line.window_frames, 1000);
    EXPECT_FALSE(line.headless);
    EXPECT_EQ(line.games, (std::vector<std::string>{"game"}));
    EXPECT_THROW(ParseCommandLine({"--window-frames", "0"}), EMobuError);
    EXPECT_THROW(ParseCommandLine({"--window-frames"}), EMobuError);
}

TEST(CommandLine, ConfigOnlyAsFirstArgumentAnyCase)
{
    EXPECT_TRUE(ParseCommandLine({"/CONFIG"}).config);
    auto line = ParseCommandLine({"game", "/config"});
    EXPECT_FALSE(line.config);
    EXPECT_EQ(line.games.size(), 2u);
}

TEST(CommandLine, ConfigFormsTakeTheirOptionsAndOthersRefuseThem)
{
    auto line = ParseCommandLine({"/config", "game", "--ini", "x.ini", "--set", "Sound.DelayTime=200", "--set=Video.UseWMP=1"});
    EXPECT_TRUE(line.config);
    EXPECT_EQ(line.ini_file, "x.ini");
    EXPECT_EQ(line.config_set, (std::vector<std::string>{"Sound.DelayTime=200", "Video.UseWMP=1"}));
    EXPECT_EQ(line.games, (std::vector<std::string>{"game"}));
    line = ParseCommandLine({"/config", "--headless", "--dump-dialog", "d.json", "--frames", "3"});
    EXPECT_EQ(line.headless_options.dump_dialog, "d.json");
    for (auto arguments : std::vector<std::vector<std::string>>{
             {"game", "--set", "Sound.DelayTime=1"}, {"--print"}, {"/config", "--dump-dialog", "d.json"},
             {"/config", "--print", "--set", "Sound.DelayTime=1"}, {"/config", "--ini"}}) {
        EXPECT_THROW(ParseCommandLine(arguments), EMobuError) << arguments[0] << " " << arguments[1];
    }
}

TEST(CommandLine, BadValuesAreRefused)
{
    for (auto arguments : std::vector<std::vector<std::string>>{
             {"--frames"}, {"--frames", "0"}, {"--frames", "ten"}, {"--tick-ms", "300"}, {"--tick-ms", "0"},
             {"--shot-at", "1,,2"}, {"--shot-at", "0"}, {"--seed", "-1"}, {"--seed", "4294967296"}, {"--bogus"}}) {
        EXPECT_THROW(ParseCommandLine(arguments), EMobuError) << arguments[0];
    }
}

TEST(CommandLine, HelpNamesEveryOption)
{
    std::string help = HelpText();
    for (const char* option : {"--headless", "--frames", "--tick-ms", "--shot-every", "--shot-at", "--out", "--input",
                               "--script-log", "--seed", "--window-frames", "/config", "--help", "--ini", "--set", "--print",
                               "--dump-dialog", "key down", "mouse move", "wheel",
                               "Return", "Numpad9"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace mobu
