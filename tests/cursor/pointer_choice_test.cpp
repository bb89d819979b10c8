// The pointer the player chooses, seen through the headless runner's --dump-pointer: a small
// game with nested boxes with and without cursor files, a default cursor set and cleared by
// the script, an animated cursor, and cursor paths that cannot be loaded.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/run_tools.h"

namespace {

namespace fs = std::filesystem;

class PointerChoice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch = fs::temp_directory_path() / ("mobu_pointer_" + std::to_string(getpid()));
        fs::path source = scratch / "source";
        fs::create_directories(source);
        for (const char* name : {"frame0.cur", "frame1.ico", "anim.ani"})
            fs::copy_file(fs::path(MOBU_SOURCE_DIR) / "tests/data/cursor" / name, source / name);
        std::ofstream(source / "project.ini") << "[project]\ntitle = pointer\nscreen = 320x240\nstart_page = start.msb\n";
        // "outer" (100, 80)-(200, 160) has a cursor; inside it "anim" (110, 90)-(140, 120)
        // has an animated one and "bare" (150, 90)-(180, 120) none. "missing" names a file
        // that does not exist, "outside" one outside the game's folder. A press on "clear"
        // empties the default cursor.
        std::ofstream(source / "start.mss")
            << "page version: 116; result: none\n"
               "Calc expr: @Cursor = \"frame1.ico\"; continue: yes\n"
               "BoxNew PR_NAME: \"outer\"; PR_LEFT: 100; PR_TOP: 80; PR_WIDTH: 100; PR_HEIGHT: 80; PR_COLOR: 255; "
               "PR_CURSOR: \"frame0.cur\"; continue: yes\n"
               "BoxNew PR_NAME: \"anim\"; PR_PARENT: \"outer\"; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 30; PR_HEIGHT: 30; "
               "PR_COLOR: 65280; PR_CURSOR: \"anim.ani\"; continue: yes\n"
               "BoxNew PR_NAME: \"bare\"; PR_PARENT: \"outer\"; PR_LEFT: 50; PR_TOP: 10; PR_WIDTH: 30; PR_HEIGHT: 30; "
               "PR_COLOR: 65535; continue: yes\n"
               "BoxNew PR_NAME: \"missing\"; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 20; PR_HEIGHT: 20; PR_COLOR: 1; "
               "PR_CURSOR: \"nothere.cur\"; continue: yes\n"
               "BoxNew PR_NAME: \"outside\"; PR_LEFT: 40; PR_TOP: 10; PR_WIDTH: 20; PR_HEIGHT: 20; PR_COLOR: 2; "
               "PR_CURSOR: \"..\\\\source\\\\frame0.cur\"; continue: yes\n"
               "BoxNew PR_NAME: \"clear\"; PR_LEFT: 10; PR_TOP: 200; PR_WIDTH: 20; PR_HEIGHT: 20; PR_COLOR: 3; "
               "PR_ONLBTNDOWN: \"clear.msb:go\"\n";
        std::ofstream(source / "clear.mss") << "page version: 116; result: none\n"
                                                "Label name: go\n"
                                                "Calc expr: @Cursor = \"\"\n"
                                                "Exit\n";
        game = scratch / "game";
        std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build " + source.string() + " " +
                            game.string() + " >" + (scratch / "build.txt").string() + " 2>&1";
        ASSERT_EQ(std::system(build.c_str()), 0) << mobu::run_tools::ReadAll(scratch / "build.txt");
    }
    static void TearDownTestSuite() { fs::remove_all(scratch); }

    // Runs `frames` frames with the scripted input and returns the pointer dump.
    static std::string Pointer(const std::string& input, int frames)
    {
        fs::path in = scratch / "input.txt", out = scratch / "pointer.json", errors = scratch / "stderr.txt";
        std::ofstream(in) << input;
        fs::remove(out);
        std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --tick-ms 10 --frames " +
                              std::to_string(frames) + " --input " + in.string() + " --dump-pointer " +
                              out.string() + " " + game.string() + " 2>" + errors.string();
        int status = std::system(command.c_str());
        EXPECT_EQ(status, 0) << mobu::run_tools::ReadAll(errors);
        return mobu::run_tools::ReadAll(out);
    }

    static fs::path scratch, game;
};

fs::path PointerChoice::scratch, PointerChoice::game;

TEST_F(PointerChoice, ControlCursorDefaultCursorAndArrow)
{
    const std::string arrow = "{\"path\": null, \"hotspot\": [0, 0], \"size\": [0, 0], \"frame\": 0}\n";
    const std::string fallback = "{\"path\": \"frame1.ico\", \"hotspot\": [3, 2], \"size\": [6, 4], \"frame\": 0}\n";
    const std::string outer = "{\"path\": \"frame0.cur\", \"hotspot\": [1, 2], \"size\": [6, 4], \"frame\": 0}\n";
    struct Case {
        const char* what;
        std::string input;
        std::string expected;
    } cases[] = {
        {"over nothing: the default cursor", "2 mouse move 300 10\n", fallback},
        {"over a control with a cursor", "2 mouse move 105 85\n", outer},
        {"a child without a cursor does not take its parent's", "2 mouse move 160 100\n", fallback},
        {"back from the child to the parent", "2 mouse move 160 100\n3 mouse move 105 85\n", outer},
        {"a file that cannot be read gives the arrow", "2 mouse move 15 15\n", arrow},
        {"a path outside the game is refused", "2 mouse move 45 15\n", arrow},
        {"after the unreadable one, a good one again", "2 mouse move 15 15\n3 mouse move 105 85\n", outer},
        {"the default cleared by the script", "2 mouse down 15 205 left\n3 mouse up 15 205 left\n4 mouse move 300 10\n",
         arrow},
    };
    for (const Case& c : cases) EXPECT_EQ(Pointer(c.input, 8), c.expected) << c.what;
}

TEST_F(PointerChoice, AnimatedCursorFollowsTheFrameClock)
{
    // Steps: frame 2 for 3 jiffies (50 ms), frame 0 for one (a rate of 0), frame 1 for 6;
    // a round lasts 10 jiffies. Frames last 10 ms; the pointer arrives before frame 3.
    struct Case {
        int frames;
        int frame;
        int hot_x, hot_y;
    } cases[] = {{3, 2, 5, 3}, {7, 2, 5, 3}, {8, 0, 1, 2}, {9, 0, 1, 2}, {10, 1, 2, 1}, {19, 1, 2, 1}, {20, 2, 5, 3}};
    for (const Case& c : cases) {
        std::string expected = "{\"path\": \"anim.ani\", \"hotspot\": [" + std::to_string(c.hot_x) + ", " +
                               std::to_string(c.hot_y) + "], \"size\": [6, 4], \"frame\": " + std::to_string(c.frame) +
                               "}\n";
        EXPECT_EQ(Pointer("3 mouse move 120 100\n", c.frames), expected) << c.frames << " frames";
    }
}

}  // namespace
