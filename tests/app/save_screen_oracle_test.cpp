// SaveScreen in a running game: the quarter-size capture is the headless frame of the same
// moment, area-averaged as Pillow's box resize does it, within one step of rounding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::RunCommand;

TEST(SaveScreenOracle, QuarterCaptureMatchesPillowsBoxResize)
{
    // The Debian package python3-pil serves the system's interpreter, which may not be the
    // first python3 on PATH.
    std::string python;
    for (const char* candidate : {"python3", "/usr/bin/python3"}) {
        if (RunCommand(std::string(candidate) + " -c 'import PIL'") == 0) {
            python = candidate;
            break;
        }
    }
    if (python.empty()) GTEST_SKIP() << "python3-pil is not installed";
    const fs::path scratch = fs::temp_directory_path() / ("save_screen_oracle_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    const fs::path source = scratch / "source";
    fs::create_directories(source);
    std::ofstream(source / "project.ini") << "[project]\ntitle = shot\nscreen = 160x120\nstart_page = start.msb\n";
    // Boxes whose edges fall inside the 4 x 4 cells, so the average mixes colours.
    std::ofstream(source / "start.mss")
        << "page version: 116; result: none\n"
           "BoxNew PR_NAME: \"back\"; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 160; PR_HEIGHT: 120; PR_COLOR: 3158064\n"
           "BoxNew PR_NAME: \"red\"; PR_LEFT: 13; PR_TOP: 9; PR_WIDTH: 71; PR_HEIGHT: 45; PR_COLOR: 255\n"
           "BoxNew PR_NAME: \"green\"; PR_LEFT: 50; PR_TOP: 31; PR_WIDTH: 97; PR_HEIGHT: 66; PR_COLOR: 65280\n"
           "BoxNew PR_NAME: \"blue\"; PR_LEFT: 2; PR_TOP: 70; PR_WIDTH: 39; PR_HEIGHT: 47; PR_COLOR: 16744192\n"
           "Wait time: 60\n"
           "Calc expr: SaveScreen(\"shot.fsk\", 40, 30); continue: yes\n"
           "Wait time: 100000\n";
    const fs::path game = scratch / "game";
    ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobupack build " + source.string() + " " + game.string()), 0);
    const fs::path shots = scratch / "shots";
    const std::string play = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --frames 12 --shot-every 1 --out " +
                             shots.string() + " " + game.string();
    ASSERT_EQ(RunCommand(play), 0);
    ASSERT_TRUE(fs::exists(game / "shot.fsk"));
    const fs::path capture = scratch / "capture.png";
    ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobupack fsk " + (game / "shot.fsk").string() + " " +
                         capture.string()),
              0);
    // The screen stays the same from the boxes on: the last frame is the captured moment.
    const std::string compare = python + " " + std::string(MOBU_SOURCE_DIR) + "/tests/data/screen/compare_box_resize.py " +
                                (shots / "frame-000012.png").string() + " " + capture.string() + " 1";
    std::string output;
    FILE* pipe = popen((compare + " 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    fs::remove_all(scratch);
}

}  // namespace
}  // namespace mobu
