// Menus end to end in the headless player: a game built from source opens a menu with the
// Menu command, and scripted input chooses with the keys, chooses with a click and closes
// it with a right click or MenuClose; the choices read back through the variable and
// component dumps.
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

class MenuHeadless : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch_ = fs::temp_directory_path() / ("mobu_menu_headless_" + std::to_string(getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(scratch_ / "source");
        std::ofstream(scratch_ / "source" / "project.ini")
            << "[project]\ntitle = menus\nscreen = 160x120\nstart_page = start.msb\n";
        std::ofstream(scratch_ / "source" / "start.mss")
            << "page version: 116; result: none\n"
               "VarNew name: pick; type: int; continue: yes\n"
               "VarNew name: word; type: string; continue: yes\n"
               "VarNew name: closed; type: int; continue: yes\n"
               "Calc expr: pick = -5\n"
               "Menu PR_NAME: \"m\"; PR_LEFT: 20; PR_TOP: 20; PR_FONTHEIGHT: 16; PR_ROWCOUNT: 3; PR_DELAY: 0; "
               "PR_HANDLEKEY: 1; PR_RCLICKSCRAP: 1; "
               "PR_TEXT: \"North\" ++ Chr(13) ++ Chr(10) ++ \"South\" ++ Chr(13) ++ Chr(10) ++ \"East\"; "
               "PR_ONSELECT: \"start.msb:chosen\"; PR_ONCLOSED: \"start.msb:gone\"\n"
               "Exit\n"
               "Label name: chosen\n"
               "Calc expr: pick = @SelIndex\n"
               "Calc expr: word = @SelStr\n"
               "If cond: @SelIndex == 2\n"
               "  MenuClose component: \"m\"\n"
               "Exit\n"
               "Label name: gone\n"
               "Calc expr: closed = 1\n";
        const std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build " + (scratch_ / "source").string() +
                                  " " + (scratch_ / "game").string() + " >" + (scratch_ / "build.txt").string() +
                                  " 2>&1";
        ASSERT_EQ(std::system(build.c_str()), 0) << run_tools::ReadAll(scratch_ / "build.txt");
    }
    void TearDown() override { fs::remove_all(scratch_); }

    // Plays 20 frames with the input script; the variables and components dumped.
    void Play(const std::string& input)
    {
        std::ofstream(scratch_ / "input.txt") << input;
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --frames 20 --input " +
                                    (scratch_ / "input.txt").string() + " --dump-vars " +
                                    (scratch_ / "vars.json").string() + " --dump-components " +
                                    (scratch_ / "components.json").string() + " " + (scratch_ / "game").string() +
                                    " 2>" + (scratch_ / "errors.txt").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << run_tools::ReadAll(scratch_ / "errors.txt");
        vars_ = run_tools::ReadAll(scratch_ / "vars.json");
        components_ = run_tools::ReadAll(scratch_ / "components.json");
    }
    static std::string Int(const char* name, int value)
    {
        return std::string("\"name\": \"") + name + "\", \"scope\": \"global\", \"type\": \"int\", \"value\": " +
               std::to_string(value) + "}";
    }

    fs::path scratch_;
    std::string vars_, components_;
};

TEST_F(MenuHeadless, DownDownReturnChoosesTheSecondItem)
{
    Play("6 key down Down\n7 key up Down\n8 key down Down\n9 key up Down\n10 key down Return\n11 key up Return\n");
    EXPECT_NE(vars_.find(Int("pick", 1)), std::string::npos) << vars_;
    EXPECT_NE(vars_.find("\"name\": \"word\", \"scope\": \"global\", \"type\": \"string\", \"value\": \"South\"}"),
              std::string::npos) << vars_;
    EXPECT_NE(components_.find("\"type\": \"LT_MENU\", \"name\": \"m\""), std::string::npos) << components_;
    EXPECT_NE(components_.find("\"state\": {\"items\": [{\"text\": \"North\", \"checked\": false}, {\"text\": "
                               "\"South\", \"checked\": false}, {\"text\": \"East\", \"checked\": false}], "
                               "\"hover\": 1, \"play_mode\": 1, \"anim_state\": 0}"),
              std::string::npos) << components_;
}

// The select handler closes the menu with MenuClose when the third item is chosen.
TEST_F(MenuHeadless, AClickOnTheThirdRowChoosesItAndMenuCloseClosesTheMenu)
{
    Play("6 mouse move 30 60\n8 mouse down 30 60 left\n9 mouse up 30 60 left\n");
    EXPECT_NE(vars_.find(Int("pick", 2)), std::string::npos) << vars_;
    EXPECT_NE(vars_.find(Int("closed", 1)), std::string::npos) << vars_;
    EXPECT_EQ(components_.find("\"name\": \"m\""), std::string::npos) << components_;
}

TEST_F(MenuHeadless, ARightClickClosesTheMenuWithoutAChoice)
{
    Play("6 mouse down 150 110 right\n7 mouse up 150 110 right\n");
    EXPECT_NE(vars_.find(Int("pick", -5)), std::string::npos) << vars_;
    EXPECT_NE(vars_.find(Int("closed", 1)), std::string::npos) << vars_;
    EXPECT_EQ(components_.find("\"name\": \"m\""), std::string::npos) << components_;
}

}  // namespace
}  // namespace mobu
