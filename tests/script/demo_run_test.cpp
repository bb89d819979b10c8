// The demo game built from its page sources and run headless: the start page's loop, call
// and wait leave their values in the variable dump; then the title screen and the field
// screen, driven by scripted mouse input, show what a player would see.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;
using run_tools::RunCommand;

class DemoRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-demo-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        // The page sources with the pictures the build drew for them (examples/CMakeLists.txt).
        const fs::path staged = fs::path(MOBU_BINARY_DIR) / "demo-src";
        ASSERT_TRUE(fs::exists(staged / "start.mss")) << "the demo game is not staged in this build";
        const std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build '" + staged.string() + "' '" +
                                  (root_ / "game").string() + "'";
        ASSERT_EQ(RunCommand(build), 0);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Run(int frames, const std::string& extra = {})
    {
        const fs::path dump = root_ / ("vars-" + std::to_string(frames) + ".json");
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --tick-ms 15 --frames " +
                                    std::to_string(frames) + " --dump-vars '" + dump.string() + "' " + extra + " '" +
                                    (root_ / "game").string() + "'";
        EXPECT_EQ(RunCommand(command), 0);
        return ReadAll(dump);
    }

    demo_screens::TShot Shot(int frame)
    {
        demo_screens::TShot shot;
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        EXPECT_TRUE(shot.Load((root_ / "shots" / name).string())) << name;
        return shot;
    }

    fs::path root_;
};

TEST_F(DemoRun, StartPageLoopsCallsAndWaits)
{
    std::string early = Run(3);
    EXPECT_NE(early.find("\"name\": \"total\", \"scope\": \"global\", \"type\": \"int\", \"value\": 27"), std::string::npos)
        << early;
    EXPECT_NE(early.find("\"value\": \"もぶ:729\""), std::string::npos) << early;
    EXPECT_NE(early.find("\"name\": \"finished\", \"scope\": \"global\", \"type\": \"flag\", \"value\": false"),
              std::string::npos);
    // The callee's local variable went with its frame.
    EXPECT_EQ(early.find("\"name\": \"n\""), std::string::npos);

    std::string late = Run(40);  // the 100 ms wait is over
    EXPECT_NE(late.find("\"name\": \"finished\", \"scope\": \"global\", \"type\": \"flag\", \"value\": true"),
              std::string::npos)
        << late;
}

// The components the dump lists under `name`, as their JSON line ("" when there is none).
std::string ComponentLine(const std::string& components, const std::string& name)
{
    const size_t at = components.find("\"name\": \"" + name + "\"");
    if (at == std::string::npos) return "";
    const size_t start = components.rfind('\n', at) + 1;
    return components.substr(start, components.find('\n', at) - start);
}

// Title, hover, click, field, click back, title: the flow a player goes through, by scripted
// mouse input, checked on the frames the runner writes and on the final dumps. Each switch
// between the screens is a one-second transition (67 frames of 15 ms) during which the
// script waits.
TEST_F(DemoRun, TheTitleButtonOpensTheFieldAndTheBackButtonReturns)
{
    std::ofstream(root_ / "input.txt") << "# over the start button, click it\n"
                                          "30 mouse move 300 320\n"
                                          "40 mouse down 300 320 left\n"
                                          "41 mouse up 300 320 left\n"
                                          "# over the sign's fast half, choose it\n"
                                          "132 mouse move 600 240\n"
                                          "140 mouse down 600 240 left\n"
                                          "141 mouse up 600 240 left\n"
                                          "# over the back button on the field, click it\n"
                                          "160 mouse move 560 440\n"
                                          "170 mouse down 560 440 left\n"
                                          "171 mouse up 560 440 left\n"
                                          "# away again\n"
                                          "190 mouse move 20 20\n";
    const fs::path components = root_ / "components.json";
    std::string variables = Run(280, "--input '" + (root_ / "input.txt").string() +
                                         "' --shot-at 20,28,34,120,130,136,150,165,260,280 --out '" +
                                         (root_ / "shots").string() + "' --dump-components '" + components.string() + "'");
    demo_screens::TShot title = Shot(20);
    EXPECT_TRUE(demo_screens::TitlePlateRimShown(title));  // the title page has run
    EXPECT_NE(ComponentLine(ReadAll(components), "title_bg").find("\"width\": 640"), std::string::npos);

    // The title: sky, tiled strip, the star crossing and changing frames, the button unlit.
    EXPECT_TRUE(demo_screens::TitleShown(title));
    demo_screens::TShot later = Shot(28);
    auto star = demo_screens::FindStar(title), moved = demo_screens::FindStar(later);
    ASSERT_TRUE(star && moved);
    EXPECT_NEAR(moved->left - star->left, 8 * 3, 6);  // 3 pixels a frame; each frame turns the star a little
    EXPECT_NE(moved->colour, star->colour);      // 120 ms a frame: another one after 8 frames of 15 ms
    // The plate behind the button pulses along its motion film: its rim warms from white
    // towards pale yellow, losing blue between the two shots.
    const demo_screens::TRgb rim = title.At(200, 320), rim_later = later.At(200, 320);
    EXPECT_LT(rim_later.b, rim.b) << rim.b << " then " << rim_later.b;
    EXPECT_TRUE(demo_screens::IsUnlitPlate(demo_screens::StartButtonPlate(title)));
    // The mouse over the button lights it.
    EXPECT_TRUE(demo_screens::IsLitPlate(demo_screens::StartButtonPlate(Shot(34))));

    // The click opens the field: grass, floor, the star turning and swelling, the panel and glow.
    demo_screens::TShot field = Shot(120), field_later = Shot(150);
    EXPECT_TRUE(demo_screens::FieldShown(field));
    EXPECT_TRUE(demo_screens::FieldShown(field_later));
    EXPECT_GT(demo_screens::FieldStarPixels(field_later), demo_screens::FieldStarPixels(field) * 13 / 10);
    // The emblem turns 2/256 of a round a frame: 10 frames later its bar points 28 degrees away.
    const double bar = demo_screens::EmblemBarDegrees(field), bar_later = demo_screens::EmblemBarDegrees(Shot(130));
    ASSERT_GE(bar, 0);
    ASSERT_GE(bar_later, 0);
    EXPECT_NEAR(demo_screens::TurnBetween(bar, bar_later), 10 * 2 * 360.0 / 256, 6) << bar << " " << bar_later;
    // Translucent: the bar is a blend of its red and the grass, not the red itself (255, 96, 96).
    EXPECT_LT(field.At(120, 260).r, 230);
    const demo_screens::TRgb grass = field.At(20, 100), panel = field.At(100, 100), glow = field.At(500, 100),
                             beside = field.At(380, 100);
    EXPECT_GT(panel.r, grass.r + 40);  // white at 96/255 over grass: lighter, not white
    EXPECT_LT(panel.r, 200);
    EXPECT_GT(glow.r, beside.r + 15);  // grey added to the grass
    EXPECT_GT(glow.g, beside.g + 15);
    EXPECT_TRUE(demo_screens::IsGrass(glow));
    // The sign lights the half under the mouse only; before, neither half is lit.
    auto lit = [](demo_screens::TRgb c) { return c.r > 200 && c.g > 160 && c.b < 80; };
    auto unlit = [](demo_screens::TRgb c) { return c.r < 110 && c.g < 120 && c.b > 80 && c.b < 130; };
    EXPECT_TRUE(unlit(field.At(510, 240)) && unlit(field.At(600, 240)));
    // Its rounded corners let the grass through.
    for (auto [x, y] : {std::pair{471, 221}, std::pair{628, 298}, std::pair{471, 298}})
        EXPECT_TRUE(demo_screens::IsGrass(field.At(x, y))) << x << "," << y;
    demo_screens::TShot over_sign = Shot(136);
    EXPECT_TRUE(unlit(over_sign.At(510, 240)));
    EXPECT_TRUE(lit(over_sign.At(600, 240)));
    // The back button lights under the mouse and leads back to the title.
    EXPECT_GT(demo_screens::BackButtonPlate(Shot(165)).b, demo_screens::BackButtonPlate(Shot(150)).b + 40);
    demo_screens::TShot back = Shot(260);
    EXPECT_TRUE(demo_screens::TitleShown(back));
    EXPECT_TRUE(demo_screens::IsUnlitPlate(demo_screens::StartButtonPlate(Shot(280))));

    EXPECT_NE(variables.find("\"name\": \"clicks\", \"scope\": \"global\", \"type\": \"int\", \"value\": 1}"),
              std::string::npos)
        << variables;
    // Choosing the sign's fast half made the star turn faster.
    EXPECT_NE(variables.find("\"name\": \"spin\", \"scope\": \"global\", \"type\": \"int\", \"value\": 8}"),
              std::string::npos)
        << variables;
    EXPECT_NE(variables.find("\"name\": \"screen\", \"scope\": \"global\", \"type\": \"int\", \"value\": 1}"),
              std::string::npos)
        << variables;
    const std::string listed = ReadAll(components);
    for (const char* name : {"title_bg", "title_strip", "title_plate", "star", "hint_f12", "start_button"})
        EXPECT_NE(ComponentLine(listed, name), "") << name << "\n" << listed;
    for (const char* name : {"field_bg", "field_floor", "big_star", "badge", "sign", "back_button"})
        EXPECT_EQ(ComponentLine(listed, name), "") << name << "\n" << listed;
    EXPECT_NE(ComponentLine(listed, "start_button").find("\"width\": 160, \"height\": 48"), std::string::npos)
        << listed;
}

// On the field, Return opens the story scene: it replaces the field at once (the flip clears
// it) and its message box starts revealing the first page.
TEST_F(DemoRun, ReturnOnTheFieldOpensTheStory)
{
    std::ofstream(root_ / "input.txt") << "30 mouse move 300 320\n40 mouse down 300 320 left\n41 mouse up 300 320 left\n"
                                          "# the field is shown after its curtain; Return on it\n"
                                          "130 key down Return\n131 key up Return\n";
    const fs::path components = root_ / "components.json";
    const std::string variables = Run(200, "--input '" + (root_ / "input.txt").string() + "' --dump-components '" +
                                               components.string() + "'");
    EXPECT_NE(variables.find("\"name\": \"screen\", \"scope\": \"global\", \"type\": \"int\", \"value\": 3}"),
              std::string::npos)
        << variables;
    const std::string listed = ReadAll(components);
    const std::string box = ComponentLine(listed, "mes");
    ASSERT_NE(box, "") << listed;
    EXPECT_NE(box.find("\"message\""), std::string::npos) << box;
    for (const char* name : {"story_sky", "story_window"}) EXPECT_NE(ComponentLine(listed, name), "") << name;
    for (const char* name : {"field_bg", "big_star", "badge", "next_button"})
        EXPECT_EQ(ComponentLine(listed, name), "") << name << "\n" << listed;
}

// The tiled strip of the title and the floor of the field repeat their 32-pixel pattern
// across the whole width and scroll (1 and 2 pixels a frame).
TEST_F(DemoRun, TheTiledBandsRepeatAcrossTheScreenAndScroll)
{
    std::ofstream(root_ / "input.txt") << "30 mouse move 300 320\n40 mouse down 300 320 left\n41 mouse up 300 320 left\n";
    const fs::path components = root_ / "components.json";
    Run(20, "--shot-at 20 --out '" + (root_ / "shots").string() + "' --dump-components '" + components.string() + "'");
    const std::string strip = ComponentLine(ReadAll(components), "title_strip");
    ASSERT_NE(strip, "") << ReadAll(components);
    EXPECT_NE(strip.find("\"width\": 640, \"height\": 32"), std::string::npos) << strip;
    // Sized by PR_WIDTH/PR_HEIGHT, the tile keeps its zoom (it would draw nothing at 0).
    EXPECT_EQ(strip.find("\"PR_ZOOMX\": 0"), std::string::npos) << strip;

    // The field after its one-second curtain.
    Run(130, "--input '" + (root_ / "input.txt").string() + "' --shot-at 20,21,125,126 --out '" +
                 (root_ / "shots").string() + "'");
    demo_screens::TShot title = Shot(20), title_next = Shot(21), field = Shot(125), field_next = Shot(126);
    for (int y : {452, 470}) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(demo_screens::TilesAcross(title, y));
        EXPECT_TRUE(demo_screens::RowShiftedLeft(title, title_next, y, 1) ||
                    demo_screens::RowShiftedLeft(title_next, title, y, 1));
    }
    for (int y : {380, 420}) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(demo_screens::TilesAcross(field, y));
        EXPECT_TRUE(demo_screens::RowShiftedLeft(field, field_next, y, 2) ||
                    demo_screens::RowShiftedLeft(field_next, field, y, 2));
    }
}

}  // namespace
}  // namespace mobu
