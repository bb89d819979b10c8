// `mobuplay /config` as a program: --set and --print without a window, and the headless
// dialog driven by scripted keys and clicks, dumped as JSON and shot as PNG.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

struct TRun {
    int status = -1;
    std::string out, errors;
};

class ConfigRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch_ = fs::temp_directory_path() / ("mobu_config_runner_" + std::to_string(::getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_ / "game");
    }
    void TearDown() override { fs::remove_all(scratch_); }

    TRun Player(const std::string& arguments, const char* locale = "C")
    {
        std::string command = std::string("LC_ALL=") + locale + " " + MOBU_BINARY_DIR + "/mobuplay " + arguments +
                              " >" + (scratch_ / "out.txt").string() + " 2>" + (scratch_ / "err.txt").string();
        int raw = std::system(command.c_str());
        TRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = run_tools::ReadAll(scratch_ / "out.txt");
        run.errors = run_tools::ReadAll(scratch_ / "err.txt");
        return run;
    }
    std::string Ini() const { return (scratch_ / "game" / "game.ini").string(); }
    void WriteIni(const std::string& text) const { std::ofstream(Ini(), std::ios::binary) << text; }
    std::string Input(const std::string& text) const
    {
        std::string path = (scratch_ / "input.txt").string();
        std::ofstream(path) << text;
        return path;
    }
    fs::path scratch_;
};

TEST_F(ConfigRunnerTest, SetWritesAllKeysInOneEditAndRefusesBadOnes)
{
    WriteIni("; keep\r\n[Sound]\r\nDelayTime=300\r\n");
    std::string game = (scratch_ / "game").string();
    TRun run = Player("/config " + game + " --set Sound.DelayTime=250 --set sound.directsound=off --set Video.UseWMP=yes");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run_tools::ReadAll(Ini()), "; keep\r\n[Sound]\r\nDelayTime=200\r\nDirectSound=0\r\n[Video]\r\nUseWMP=1\r\n");
    struct Case { const char* set; const char* message; };
    for (Case c : {Case{"Sound.Volume=1", "unknown key"}, Case{"Sound.DirectSound=2", "bad value"},
                   Case{"Video.UseWMP=maybe", "bad value"}, Case{"Sound.DelayTime", "unknown key"},
                   Case{"Video.ScaleMode=3", "bad value"}, Case{"Video.WindowScale=9", "bad value"},
                   Case{"Player.ScreenshotKey=Bogus", "bad value"}}) {
        run = Player("/config " + game + " --set Sound.DelayTime=100 --set " + c.set);
        EXPECT_EQ(run.status, 2) << c.set;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    EXPECT_EQ(run_tools::ReadAll(Ini()), "; keep\r\n[Sound]\r\nDelayTime=200\r\nDirectSound=0\r\n[Video]\r\nUseWMP=1\r\n")
        << "a refused --set writes nothing";
    run = Player("/config " + game + " --set Video.ScaleMode=2 --set video.windowscale=0 --set Video.FullScreen=on" +
                 " --set Video.SmoothScaling=no --set Player.ScreenshotKey=F9");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run_tools::ReadAll(Ini()), "; keep\r\n[Sound]\r\nDelayTime=200\r\nDirectSound=0\r\n[Video]\r\nUseWMP=1\r\n"
                                         "ScaleMode=2\r\nWindowScale=0\r\nFullScreen=1\r\nSmoothScaling=0\r\n"
                                         "[Player]\r\nScreenshotKey=F9\r\n");
    run = Player("/config --ini " + (scratch_ / "missing" / "game.ini").string() + " --set Sound.DelayTime=100");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("No such file"), std::string::npos) << run.errors;
}

TEST_F(ConfigRunnerTest, PrintShowsTheFileAndTheValuesThePlayerUses)
{
    WriteIni("[Sound]\nDelayTime=1234\nDirectSound=0\n");
    TRun run = Player("/config --ini " + Ini() + " --print");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.out, "; " + Ini() +
                           "\nSound.DirectSound=0\nSound.DelayTime=500\nVideo.UseWMP=0\nVideo.SmoothScaling=auto\n"
                           "Video.ScaleMode=1\nVideo.WindowScale=1\nVideo.FullScreen=0\nPlayer.ScreenshotKey=F12\n"
                           "Debug.SpinLimitMs=5000\n");
}

TEST_F(ConfigRunnerTest, HeadlessDialogFollowsKeysAndClicks)
{
    WriteIni("[Sound]\nDelayTime=250\n");
    std::string game = (scratch_ / "game").string();
    std::string dump = (scratch_ / "dialog.json").string();
    // S unticks DirectSound, D focuses the slider, Right moves it to 3; a click on OK saves.
    std::string input = Input("2 key down S\n3 key up S\n4 key down D\n5 key down Right\n"
                              "6 mouse down 130 330 left\n7 mouse up 130 330 left\n");
    TRun run = Player("/config " + game + " --headless --frames 20 --input " + input + " --dump-dialog " + dump +
                      " --shot-at 1,5 --out " + (scratch_ / "shots").string());
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run_tools::ReadAll(Ini()), "[Sound]\nDelayTime=300\nDirectSound=0\n");
    std::string json = run_tools::ReadAll(dump);
    for (const char* part : {"\"open\": false", "\"result\": \"ok\"", "\"focus\": \"btnOK\"", "\"error\": \"\"",
                             "\"caption\": \"300ms\"", "\"position\": 3"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;

    // The shots: the check box ticked in frame 1, not in frame 5; the delay label grey, then black.
    demo_screens::TShot first, fifth;
    ASSERT_TRUE(first.Load((scratch_ / "shots" / "frame-000001.png").string()));
    ASSERT_TRUE(fifth.Load((scratch_ / "shots" / "frame-000005.png").string()));
    EXPECT_EQ(first.Width(), 270);
    EXPECT_EQ(first.Height(), 358);
    auto dark = [](const demo_screens::TShot& shot, int left, int top, int width, int height) {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) {
                demo_screens::TRgb c = shot.At(x, y);
                if (c.r + c.g + c.b < 3 * 96) ++count;
            }
        return count;
    };
    EXPECT_GT(dark(first, 30, 28, 9, 9), 10);
    EXPECT_EQ(dark(fifth, 30, 28, 9, 9), 0);
    EXPECT_LT(dark(first, 28, 56, 123, 12) * 4, dark(fifth, 28, 56, 123, 12));
}

TEST_F(ConfigRunnerTest, HeadlessExitStatusesTellHowTheDialogEnded)
{
    std::string game = (scratch_ / "game").string();
    EXPECT_EQ(Player("/config " + game + " --headless --frames 5 --input " + Input("2 key down Escape\n")).status, 3);
    EXPECT_FALSE(fs::exists(Ini()));
    EXPECT_EQ(Player("/config " + game + " --headless --frames 5").status, 4);
    EXPECT_FALSE(fs::exists(Ini()));
    // A write that fails leaves the dialog open: the frames run out, the reason is on stderr.
    fs::create_directories(Ini());
    std::string dump = (scratch_ / "dialog.json").string();
    TRun run = Player("/config " + game + " --headless --frames 5 --input " + Input("2 key down Return\n") +
                          " --dump-dialog " + dump,
                      "ja_JP.UTF-8");
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.errors.find("設定を保存できませんでした。"), std::string::npos) << run.errors;
    std::string json = run_tools::ReadAll(dump);
    EXPECT_NE(json.find("\"caption\": \"動作設定\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"error\": \"設定を保存できませんでした。\\n" + Ini()), std::string::npos) << json;
    EXPECT_TRUE(fs::is_directory(Ini()));
}

}  // namespace
}  // namespace mobu
