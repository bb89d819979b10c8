// Buttons, sliders and gauges end to end in the headless player: a game built from source
// with pictures made by ImageMagick creates them with the Button, SliderNew and GaugeNew
// commands; scripted input clicks the button and moves the slider with a key, and their
// handlers and states read back through the variable and component dumps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class ControlsHeadless : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
        scratch_ = fs::temp_directory_path() / ("mobu_controls_headless_" + std::to_string(getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        const fs::path source = scratch_ / "source";
        fs::create_directories(source);
        // Button 24 × 12, track 16 × 4 (two 8 × 4 halves), thumb 9 × 6 (three cells), gauge 8 × 4.
        const std::pair<const char*, const char*> pictures[] = {{"btn", "24x12 xc:#3060c0"},
                                                                {"track", "16x4 gradient:red-blue"},
                                                                {"thumb", "9x6 xc:#20c020"},
                                                                {"gauge", "8x4 gradient:yellow-black"}};
        for (const auto& [name, spec] : pictures) {
            const fs::path png = scratch_ / (std::string(name) + ".png");
            const std::string make = std::string("convert -size ") + spec + " PNG24:" + png.string() + " && " +
                                     MOBU_BINARY_DIR + "/mobupack fsk " + png.string() + " " +
                                     (source / (std::string(name) + ".fsk")).string() + " >/dev/null";
            ASSERT_EQ(std::system(make.c_str()), 0) << make;
        }
        std::ofstream(source / "project.ini")
            << "[project]\ntitle = controls\nscreen = 160x120\nstart_page = start.msb\n";
        std::ofstream(source / "start.mss")
            << "page version: 116; result: none\n"
               "VarNew name: clicks; type: int; continue: yes\n"
               "VarNew name: moves; type: int; continue: yes\n"
               "Button PR_NAME: \"b\"; PR_SOURCE: \"btn.fsk\"; PR_PRESSEDSOURCE: \"btn.fsk\"; PR_LEFT: 10; "
               "PR_TOP: 10; PR_TEXT: \"OK\"; PR_ONNOTIFY: \"start.msb:clicked\"\n"
               "SliderNew PR_NAME: \"s\"; PR_SOURCE: \"track.fsk\"; PR_THUMBSOURCE: \"thumb.fsk\"; PR_LEFT: 10; "
               "PR_TOP: 40; PR_MAX: 10; PR_BARSIZE: 40; PR_HANDLEKEY: 1; PR_ONNOTIFY: \"start.msb:moved\"\n"
               "GaugeNew PR_NAME: \"g\"; PR_SOURCE: \"gauge.fsk\"; PR_LEFT: 10; PR_TOP: 70; PR_MAX: 100; "
               "PR_VALUE: 80; PR_BARSIZE: 50\n"
               "Exit\n"
               "Label name: clicked\n"
               "Calc expr: clicks = clicks + 1\n"
               "Exit\n"
               "Label name: moved\n"
               "Calc expr: moves = moves + 1\n";
        const std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build " + source.string() + " " +
                                  (scratch_ / "game").string() + " >" + (scratch_ / "build.txt").string() + " 2>&1";
        ASSERT_EQ(std::system(build.c_str()), 0) << run_tools::ReadAll(scratch_ / "build.txt");
    }
    void TearDown() override { fs::remove_all(scratch_); }

    void Play(const std::string& input)
    {
        std::ofstream(scratch_ / "input.txt") << input;
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --frames 20 --input " +
                                    (scratch_ / "input.txt").string() + " --dump-vars " +
                                    (scratch_ / "vars.json").string() + " --dump-components " +
                                    (scratch_ / "components.json").string() + " --script-log " +
                                    (scratch_ / "script.log").string() + " " + (scratch_ / "game").string() + " 2>" +
                                    (scratch_ / "errors.txt").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << run_tools::ReadAll(scratch_ / "errors.txt");
        vars_ = run_tools::ReadAll(scratch_ / "vars.json");
        components_ = run_tools::ReadAll(scratch_ / "components.json");
        log_ = run_tools::ReadAll(scratch_ / "script.log");
    }
    static std::string Int(const char* name, int value)
    {
        return std::string("\"name\": \"") + name + "\", \"scope\": \"global\", \"type\": \"int\", \"value\": " +
               std::to_string(value) + "}";
    }

    fs::path scratch_;
    std::string vars_, components_, log_;
};

TEST_F(ControlsHeadless, AClickNotifiesTheButtonAndAKeyMovesTheFocusedSlider)
{
    // The button, then the slider's thumb (x 10-12, y 40-45) for the focus, then Right.
    Play("6 mouse move 15 15\n7 mouse down 15 15 left\n8 mouse up 15 15 left\n"
         "10 mouse move 11 42\n11 mouse down 11 42 left\n12 mouse up 11 42 left\n"
         "14 key down Right\n15 key up Right\n");
    EXPECT_EQ(log_.find("not available"), std::string::npos) << log_;
    EXPECT_NE(vars_.find(Int("clicks", 1)), std::string::npos) << vars_;
    EXPECT_NE(vars_.find(Int("moves", 1)), std::string::npos) << vars_;
    EXPECT_NE(components_.find("\"type\": \"LT_BUTTON\", \"name\": \"b\""), std::string::npos) << components_;
    EXPECT_NE(components_.find("\"state\": {\"button_state\": 0}"), std::string::npos) << components_;
    EXPECT_NE(components_.find("\"state\": {\"thumb_pos\": 4, \"press_mode\": 0}"), std::string::npos)
        << components_;
    EXPECT_NE(components_.find("\"state\": {\"shown\": 80, \"lag\": 0, \"anim_mode\": 0}"), std::string::npos)
        << components_;
}

}  // namespace
}  // namespace mobu
