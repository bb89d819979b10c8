// The window front end on a real X display (the suite runs this under Xvfb): the demo
// game opens one window with the project's title and client size; a second start on the
// same game exits at once; the window closes cleanly on a quit request.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

namespace mobu {
namespace {

namespace fs = std::filesystem;

std::string Capture(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

pid_t Start(const std::string& game)
{
    pid_t child = fork();
    if (child == 0) {
        std::string player = std::string(MOBU_BINARY_DIR) + "/mobuplay";
        execl(player.c_str(), player.c_str(), game.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Exit status of the child, or -1 when it is still running after `seconds`.
int WaitFor(pid_t child, int seconds)
{
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

// The window id whose name is exactly `title`, waiting up to `seconds`.
std::string FindWindow(const std::string& title, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        std::string ids = Capture("xdotool search --name '^" + title + "$' 2>/dev/null");
        if (!ids.empty()) return ids.substr(0, ids.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

// "title = ..." from the demo's project description.
std::string DemoTitle()
{
    std::ifstream in(fs::path(MOBU_SOURCE_DIR) / "examples" / "demo" / "project.ini");
    std::string line;
    std::regex title_line(R"(^\s*title\s*=\s*(.*?)\s*$)", std::regex::icase);
    std::smatch match;
    while (std::getline(in, line))
        if (std::regex_match(line, match, title_line)) return match[1];
    return "";
}

TEST(WindowFrontEnd, DemoOpensOneCentredWindowWithTheProjectsSizeAndTitle)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    std::string title = DemoTitle();
    ASSERT_FALSE(title.empty());
    fs::path game = fs::temp_directory_path() / ("mobu_e2e_" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(demo, game, fs::copy_options::recursive);

    pid_t player = Start(game.string());
    std::string window = FindWindow(title, 15);
    ASSERT_FALSE(window.empty()) << "no window titled " << title;

    std::string info = Capture("xwininfo -id " + window);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Width:\s*(\d+))"))) << info;
    int width = std::stoi(match[1]);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Height:\s*(\d+))"))) << info;
    int height = std::stoi(match[1]);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480 + 22);  // the screen and the toolbar strip

    // Centred on the display (Xvfb has no window manager: no decorations, no panels).
    std::string root = Capture("xwininfo -root");
    ASSERT_TRUE(std::regex_search(root, match, std::regex(R"(Width:\s*(\d+))"))) << root;
    int root_width = std::stoi(match[1]);
    ASSERT_TRUE(std::regex_search(root, match, std::regex(R"(Height:\s*(\d+))"))) << root;
    int root_height = std::stoi(match[1]);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Absolute upper-left X:\s*(-?\d+))"))) << info;
    EXPECT_EQ(std::stoi(match[1]), (root_width - width) / 2);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Absolute upper-left Y:\s*(-?\d+))"))) << info;
    EXPECT_EQ(std::stoi(match[1]), (root_height - height) / 2);

    // A second player on the same game ends at once without a window of its own.
    pid_t second = Start(game.string());
    EXPECT_EQ(WaitFor(second, 10), 0);
    std::string ids = Capture("xdotool search --name '^" + title + "$'");
    EXPECT_EQ(std::count(ids.begin(), ids.end(), '\n'), 1) << ids;

    kill(player, SIGTERM);  // arrives as a quit request: the window closes in order
    EXPECT_EQ(WaitFor(player, 10), 0);
    fs::remove_all(game);
}

}  // namespace
}  // namespace mobu
