// The settings dialog in a real window (the suite runs this under Xvfb): `mobuplay /config`
// under a Japanese locale shows "動作設定" with a 270 x 358 client area; ImageMagick's
// import captures it; xdotool's Alt+S and Return untick DirectSound and save.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

int ExitStatusWithin(pid_t child, int seconds)
{
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -1;
}

TEST(ConfigWindow, AltSAndReturnSaveWithoutDirectSound)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path folder = fs::temp_directory_path() / ("mobu_config_window_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string ini = (folder / "game.ini").string();
    pid_t player = fork();
    if (player == 0) {
        setenv("LC_ALL", "ja_JP.UTF-8", 1);
        std::string program = std::string(MOBU_BINARY_DIR) + "/mobuplay";
        execl(program.c_str(), program.c_str(), "/config", "--ini", ini.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string window;
    for (int i = 0; i < 400 && window.empty(); ++i) {  // up to 40 s on a busy machine
        window = Output("xdotool search --onlyvisible --pid " + std::to_string(player) + " 2>/dev/null");
        if (window.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(window.empty()) << "the dialog's window never showed";
    window = window.substr(0, window.find('\n'));
    EXPECT_EQ(Output("xdotool getwindowname " + window), "動作設定\n");

    std::string info = Output("xwininfo -id " + window);
    std::smatch width, height;
    ASSERT_TRUE(std::regex_search(info, width, std::regex("Width: (\\d+)"))) << info;
    ASSERT_TRUE(std::regex_search(info, height, std::regex("Height: (\\d+)"))) << info;
    EXPECT_EQ(width[1].str(), "270");
    EXPECT_EQ(height[1].str(), "358");

    fs::path shot = folder / "dialog.png";
    ASSERT_EQ(run_tools::RunCommand("import -window " + window + " " + shot.string()), 0);
    demo_screens::TShot picture;
    ASSERT_TRUE(picture.Load(shot.string()));
    int ticked = 0;  // dark pixels inside the ticked check box (its inside is 30, 28, 9 x 9)
    for (int y = 28; y < 37; ++y)
        for (int x = 30; x < 39; ++x) {
            demo_screens::TRgb c = picture.At(x, y);
            if (c.r + c.g + c.b < 3 * 96) ++ticked;
        }
    EXPECT_GT(ticked, 10);

    run_tools::RunCommand("xdotool windowfocus --sync " + window);
    run_tools::RunCommand("xdotool key --window " + window + " alt+s");
    run_tools::RunCommand("xdotool key --window " + window + " Return");
    EXPECT_EQ(ExitStatusWithin(player, 30), 0);
    EXPECT_EQ(run_tools::ReadAll(ini), "[Sound]\r\nDirectSound=0\r\nDelayTime=500\r\n");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace mobu
