// Captions created by a game's script: the text caption is drawn in its font colour on the
// frame the player writes, the image caption picks its cells from the map text, and both
// appear in the component dump; neither is reported as not available.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;

TEST(HeadlessCaption, CaptionIsDrawnAndBothCaptionsAreDumped)
{
    const fs::path scratch = fs::temp_directory_path() / ("mobu_caption_" + std::to_string(getpid()));
    fs::create_directories(scratch / "src");
    std::ofstream(scratch / "src" / "project.ini") << "[project]\ntitle = captions\nscreen = 160x120\nstart_page = start.msb\n";
    std::ofstream(scratch / "src" / "start.mss")
        << "page version: 116; result: none\n"
           "Caption PR_NAME: \"name\"; PR_LEFT: 20; PR_TOP: 30; PR_TEXT: \"Hello\"; PR_FONTHEIGHT: 24; "
           "PR_FONTCOLOR: 16777215\n"
           "CGCaption PR_NAME: \"digits\"; PR_LEFT: 0; PR_TOP: 0; PR_MAPTEXT: \"ABC\"; PR_TEXT: \"ACz\"; "
           "PR_GLYPHWIDTH: 8; PR_GLYPHHEIGHT: 10\n";
    const fs::path game = scratch / "game";
    ASSERT_EQ(std::system((std::string(MOBU_BINARY_DIR) + "/mobupack build " + (scratch / "src").string() + " " +
                           game.string() + " >/dev/null 2>&1")
                              .c_str()),
              0);
    const fs::path shots = scratch / "shots", dump = scratch / "components.json", errors = scratch / "stderr.txt";
    const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --frames 3 --shot-at 3 --out " +
                                shots.string() + " --dump-components " + dump.string() + " " + game.string() + " 2>" +
                                errors.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(errors);
    EXPECT_EQ(ReadAll(errors).find("not available"), std::string::npos) << ReadAll(errors);

    const std::string listed = ReadAll(dump);
    EXPECT_NE(listed.find("{\"type\": \"LT_LABEL\", \"name\": \"name\""), std::string::npos) << listed;
    EXPECT_NE(listed.find("\"label\": {\"textWidth\": "), std::string::npos) << listed;
    EXPECT_NE(listed.find("\"textHeight\": 24"), std::string::npos) << listed;
    EXPECT_NE(listed.find("{\"type\": \"LT_CGLABEL\", \"name\": \"digits\""), std::string::npos) << listed;
    EXPECT_NE(listed.find("\"cglabel\": {\"cells\": [[0, 2, -1]]}"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\"width\": 24, \"height\": 10"), std::string::npos) << listed;

    demo_screens::TShot shot;
    ASSERT_TRUE(shot.Load((shots / "frame-000003.png").string()));
    const demo_screens::TRgb background = shot.At(150, 110);
    int inside = 0, white = 0, outside = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const demo_screens::TRgb c = shot.At(x, y);
            const bool differs = c.r != background.r || c.g != background.g || c.b != background.b;
            if (x >= 20 && x < 100 && y >= 30 && y < 54) {
                inside += differs;
                white += c.r > 240 && c.g > 240 && c.b > 240;
            } else {
                outside += differs;
            }
        }
    EXPECT_GT(inside, 40);
    EXPECT_GT(white, 10);
    EXPECT_EQ(outside, 0);
    fs::remove_all(scratch);
}

}  // namespace
}  // namespace mobu
