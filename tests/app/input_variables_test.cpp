// The input system variables in a running game, driven by scripted input on the virtual
// clock (10 ms a frame): a key held 500 ms is pushed every frame, clicked once, and repeats
// 300 ms after the press and then every 50 ms; a click and the wheel show for one frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;
using run_tools::RunCommand;

TEST(InputVariables, KeysClicksRepeatsAndWheelFrameByFrame)
{
    const fs::path scratch = fs::temp_directory_path() / ("input_variables_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    const fs::path source = scratch / "source";
    fs::create_directories(source);
    std::ofstream(source / "project.ini") << "[project]\ntitle = keys\nscreen = 160x120\nstart_page = start.msb\n";
    // Each frame appends the frame number to the log of every variable that is TRUE.
    std::ofstream(source / "start.mss")
        << "page version: 116; result: none\n"
           "VarNew name: pushed; type: string; continue: yes\n"
           "VarNew name: clicked; type: string; continue: yes\n"
           "VarNew name: repeated; type: string; continue: yes\n"
           "VarNew name: lclick; type: string; continue: yes\n"
           "VarNew name: lpush; type: string; continue: yes\n"
           "VarNew name: wheel; type: string; continue: yes\n"
           "VarNew name: mouse; type: string; continue: yes\n"
           "Label name: again; continue: yes\n"
           "If cond: @KeyPush[13]; continue: yes\n"
           "  Calc expr: pushed = pushed ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "If cond: @KeyClick[13]; continue: yes\n"
           "  Calc expr: clicked = clicked ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "If cond: @KeyRepeat[13]; continue: yes\n"
           "  Calc expr: repeated = repeated ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "If cond: @LClick; continue: yes\n"
           "  Calc expr: lclick = lclick ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "  Calc expr: mouse = IntToStr(@MouseX) ++ \":\" ++ IntToStr(@MouseY); continue: yes\n"
           "  Calc expr: @LClick = FALSE; continue: yes\n"
           "If cond: @LPush; continue: yes\n"
           "  Calc expr: lpush = lpush ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "If cond: @WheelDown; continue: yes\n"
           "  Calc expr: wheel = wheel ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "If cond: @KeyPush[256]; continue: yes\n"
           "  Calc expr: wheel = wheel ++ \"k\" ++ IntToStr(@UpdateCount) ++ \",\"; continue: yes\n"
           "Jump page: start.msb; target: again\n";
    const fs::path game = scratch / "game";
    ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobupack build " + source.string() + " " + game.string()), 0);
    std::ofstream(scratch / "input.txt") << "2 key down Return\n52 key up Return\n60 mouse down 30 40 left\n"
                                            "62 mouse up 30 40 left\n70 wheel down\n";
    const fs::path vars = scratch / "vars.json";
    ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --tick-ms 10 --frames 75 --input " +
                         (scratch / "input.txt").string() + " --dump-vars " + vars.string() + " " + game.string()),
              0);
    const std::string json = ReadAll(vars);
    auto value = [&](const std::string& name) {
        const std::string key = "\"name\": \"" + name + "\", \"scope\": \"global\", \"type\": \"string\", \"value\": \"";
        const size_t at = json.find(key);
        if (at == std::string::npos) return std::string("(missing)");
        const size_t start = at + key.size();
        return json.substr(start, json.find('"', start) - start);
    };
    std::string held;
    for (int frame = 2; frame <= 51; ++frame) held += std::to_string(frame) + ",";
    EXPECT_EQ(value("pushed"), held);
    EXPECT_EQ(value("clicked"), "2,");
    EXPECT_EQ(value("repeated"), "2,32,37,42,47,");
    EXPECT_EQ(value("lclick"), "60,");
    EXPECT_EQ(value("mouse"), "30:40");
    EXPECT_EQ(value("lpush"), "60,61,");
    EXPECT_EQ(value("wheel"), "70,k70,");
    fs::remove_all(scratch);
}

}  // namespace
}  // namespace mobu
