// The Flip command played headless: a red screen flipped to a blue one built on the hidden
// base. Shots every frame show the switch: a fade holds the script while it mixes the two
// (red falls and blue rises frame by frame, as the fade's alpha Position·256/Duration does),
// the bases swap at the end, the hidden screen is cleared when asked, and the transition id
// is taken by its low byte with ids above 38 switching at once.
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

constexpr int kFrames = 40;

class FlipRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-flip-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "src");
    }
    void TearDown() override { fs::remove_all(root_); }

    // Builds and plays the game whose Flip has these operands; shots of every frame.
    void Play(const std::string& flip_operands)
    {
        std::ofstream(root_ / "src" / "project.ini") << "[project]\ntitle = flip\nscreen = 64x48\n"
                                                        "full_screen = 64x48\nstart_page = start.msb\n"
                                                        "ident_code = 0\nwrite_status_data = no\n";
        std::ofstream(root_ / "src" / "start.mss")
            << "page version: 116; result: none\n"
               "VarNew name: flipped; type: flag; value: FALSE; continue: yes\n"
               "BoxNew PR_NAME: \"red\"; PR_WIDTH: 64; PR_HEIGHT: 48; PR_COLOR: 255; continue: yes\n"
               "BoxNew PR_NAME: \"blue\"; PR_PARENT: Chr(1); PR_WIDTH: 64; PR_HEIGHT: 48; PR_COLOR: 16711680; "
               "continue: yes\n"
               "Wait time: 30\n"
               "Flip "
            << flip_operands
            << "\n"
               "Calc expr: flipped = TRUE\n";
        const std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build '" + (root_ / "src").string() +
                                  "' '" + (root_ / "game").string() + "'";
        ASSERT_EQ(RunCommand(build), 0);
        const std::string play = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --tick-ms 15 --frames " +
                                 std::to_string(kFrames) + " --shot-every 1 --out '" + (root_ / "shots").string() +
                                 "' --dump-components '" + (root_ / "components.json").string() + "' --dump-vars '" +
                                 (root_ / "vars.json").string() + "' '" + (root_ / "game").string() + "'";
        ASSERT_EQ(RunCommand(play), 0);
        for (int frame = 1; frame <= kFrames; ++frame) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06d.png", frame);
            demo_screens::TShot shot;
            ASSERT_TRUE(shot.Load((root_ / "shots" / name).string())) << name;
            colours_.push_back(shot.At(32, 24));
            edges_.push_back({shot.At(0, 24), shot.At(19, 24)});
            sides_.push_back({shot.At(3, 24), shot.At(60, 24)});
        }
    }

    // Frames whose centre pixel is neither the red nor the blue screen.
    int MixedFrames() const
    {
        int mixed = 0;
        for (const demo_screens::TRgb& c : colours_)
            if (!(c.r == 255 && c.g == 0 && c.b == 0) && !(c.r == 0 && c.g == 0 && c.b == 255)) ++mixed;
        return mixed;
    }
    bool EndsBlue() const { return colours_.back().r == 0 && colours_.back().b == 255; }
    bool StartsRed() const { return colours_.front().r == 255 && colours_.front().b == 0; }

    fs::path root_;
    std::vector<demo_screens::TRgb> colours_;
    std::vector<std::pair<demo_screens::TRgb, demo_screens::TRgb>> edges_;  // columns 0 and 19
    std::vector<std::pair<demo_screens::TRgb, demo_screens::TRgb>> sides_;  // columns 3 and 60
};

TEST_F(FlipRun, FadeMixesTheScreensWhileTheScriptWaits)
{
    Play("transition: 1; duration: 300; flag: FALSE; clear: TRUE");
    ASSERT_TRUE(StartsRed());
    ASSERT_TRUE(EndsBlue());
    // 300 ms at 15 ms a frame: about 20 mixed frames, red falling and blue rising.
    EXPECT_GE(MixedFrames(), 18);
    EXPECT_LE(MixedFrames(), 21);
    int last_red = 256, last_blue = -1;
    for (const demo_screens::TRgb& c : colours_) {
        EXPECT_LE(c.r, last_red);
        EXPECT_GE(c.b, last_blue);
        last_red = c.r, last_blue = c.b;
    }
    // Every mixed frame is a fade step: red + blue from (a·255 + (255 − a)·0) >> 8 pairs.
    for (const demo_screens::TRgb& c : colours_) {
        if (c.b == 0 || c.b == 255) continue;
        bool matches = false;
        for (int a = 1; a < 256; ++a)
            if (c.b == (a * 255) >> 8 && c.r == ((255 - a) * 255) >> 8) matches = true;
        EXPECT_TRUE(matches) << int(c.r) << " " << int(c.b);
    }
    const std::string components = ReadAll(root_ / "components.json");
    EXPECT_EQ(components.find("\"red\""), std::string::npos) << components;
    EXPECT_NE(components.find("\"blue\""), std::string::npos) << components;
    EXPECT_EQ(components.find("FLIPSNAPSHOT"), std::string::npos) << components;
    EXPECT_NE(ReadAll(root_ / "vars.json").find("\"name\": \"flipped\", \"scope\": \"global\", \"type\": \"flag\", "
                                                "\"value\": true"),
              std::string::npos);
}

TEST_F(FlipRun, HiddenScreenKeptWithoutClear)
{
    Play("transition: 1; duration: 150; clear: FALSE");
    EXPECT_TRUE(EndsBlue());
    EXPECT_NE(ReadAll(root_ / "components.json").find("\"red\""), std::string::npos);
}

TEST_F(FlipRun, LowByteOfTheIdAndIdsAboveTheTable)
{
    Play("transition: 257; duration: 300; clear: TRUE");
    EXPECT_GE(MixedFrames(), 18);
    EXPECT_TRUE(EndsBlue());
    colours_.clear();
    edges_.clear();
    fs::remove_all(root_ / "shots");
    Play("transition: 45; duration: 300; clear: TRUE");
    EXPECT_EQ(MixedFrames(), 0);
    EXPECT_TRUE(StartsRed());
    EXPECT_TRUE(EndsBlue());
}

TEST_F(FlipRun, MaskTransitionsThroughTheScreens)
{
    // Blinds of 20 columns: column 0 turns first and column 19 last, so some frame shows
    // blue at column 0 beside red at column 19, and no frame the other way round.
    Play("transition: 2; duration: 320; clear: TRUE");
    EXPECT_TRUE(EndsBlue());
    int split = 0, backwards = 0;
    for (const auto& [first, last] : edges_) {
        if (first.b == 255 && last.r == 255) ++split;
        if (first.r == 255 && last.b == 255) ++backwards;
    }
    EXPECT_GE(split, 10);
    EXPECT_EQ(backwards, 0);
}

TEST_F(FlipRun, MaskNameArrivesFromThePage)
{
    // A layered image black on the left and white on the right: with the mask fade the right
    // side (bright) turns blue first.
    ASSERT_EQ(RunCommand("convert -size 48x64 gradient:white-black -rotate 90 PNG24:'" +
                         (root_ / "src" / "grad.fsk.png").string() + "'"),
              0);
    Play("transition: 19; duration: 300; clear: TRUE; text: \"grad.fsk\"");
    EXPECT_TRUE(EndsBlue());
    int right_first = 0, left_first = 0;
    for (const auto& [left, right] : sides_) {
        if (right.b > left.b + 40) ++right_first;
        if (left.b > right.b + 40) ++left_first;
    }
    EXPECT_GE(right_first, 5);
    EXPECT_EQ(left_first, 0);
}

}  // namespace
}  // namespace mobu
