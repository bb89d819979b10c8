// The demo's story page run headless as the start page of a copy of the demo: the message
// box reveals its first page glyph by glyph, clicks show a page whole and turn pages, the
// link chosen on the last page leads to its ending; the component dump and the frames show it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <unistd.h>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;
using run_tools::RunCommand;

class StoryRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-story-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        const fs::path staged = fs::path(MOBU_BINARY_DIR) / "demo-src";
        ASSERT_TRUE(fs::exists(staged / "story.mss")) << "the demo game is not staged in this build";
        fs::create_directories(root_ / "src");
        fs::copy(staged, root_ / "src", fs::copy_options::recursive);
        // The story page as the start page.
        std::string ini = ReadAll(root_ / "src" / "project.ini");
        ini = std::regex_replace(ini, std::regex("start_page = [^\\n]*"), "start_page = story.msb");
        std::ofstream(root_ / "src" / "project.ini", std::ios::trunc) << ini;
        ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobupack build '" + (root_ / "src").string() + "' '" +
                             (root_ / "game").string() + "'"),
                  0);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Run(int frames, const std::string& input, const std::string& shots)
    {
        std::ofstream(root_ / "input.txt") << input;
        const fs::path dump = root_ / "components.json";
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --tick-ms 15 --frames " +
                                    std::to_string(frames) + " --input '" + (root_ / "input.txt").string() +
                                    "' --shot-at " + shots + " --out '" + (root_ / "shots").string() +
                                    "' --dump-components '" + dump.string() + "' --dump-vars '" +
                                    (root_ / "vars.json").string() + "' '" + (root_ / "game").string() + "'";
        EXPECT_EQ(RunCommand(command), 0);
        return ReadAll(dump);
    }

    // Bright pixels (the white text) inside the message window.
    int TextInk(int frame)
    {
        demo_screens::TShot shot;
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        EXPECT_TRUE(shot.Load((root_ / "shots" / name).string())) << name;
        int ink = 0;
        for (int y = 334; y < 450; ++y)
            for (int x = 40; x < 600; ++x) {
                const auto p = shot.At(x, y);
                ink += p.r > 150 && p.g > 150 && p.b > 150;
            }
        return ink;
    }

    fs::path root_;
};

TEST_F(StoryRun, PagesRevealAndTurnOnClicks)
{
    const std::string input = "# show the first page whole, then turn to the second\n"
                              "40 mouse move 300 400\n"
                              "40 mouse down 300 400 left\n"
                              "41 mouse up 300 400 left\n"
                              "60 mouse down 300 400 left\n"
                              "61 mouse up 300 400 left\n"
                              "# Return shows the second page whole and turns to the third\n"
                              "75 key down Return\n"
                              "76 key up Return\n"
                              "95 key down Space\n"
                              "96 key up Space\n";
    const std::string components = Run(105, input, "12,20,50,70");
    // Ink grows while the first page reveals (after the few frames the flip that shows the
    // scene takes), and the whole page stands after the click.
    const int early = TextInk(12), later = TextInk(20), whole = TextInk(50);
    EXPECT_GT(early, 0);
    EXPECT_GT(later, early);
    EXPECT_GT(whole, later);
    // The third page is shown at the end, tracked from the story page.
    const size_t at = components.find("\"message\": {");
    ASSERT_NE(at, std::string::npos) << components;
    const std::string message = components.substr(at, components.find('\n', at) - at);
    EXPECT_NE(message.find("\"page\": 2, \"pages\": 3"), std::string::npos) << message;
    EXPECT_NE(message.find("\"track\": 1"), std::string::npos) << message;
    EXPECT_NE(message.find("\"source\": \"story.msb\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"held\": true"), std::string::npos) << message;
}

}  // namespace
}  // namespace mobu
