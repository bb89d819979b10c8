// `mobupack wipe` on pictures ImageMagick draws: the line it prints (the WP_ name and the
// parameters kept after SetParam), the picture after one step, TO when there is no
// transition or the step finished, and its exit codes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class WipeTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("mobu-wipe-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_EQ(run_tools::RunCommand("convert -size 8x6 xc:'#ff0000' PNG24:'" + (dir_ / "red.png").string() + "'"), 0);
        ASSERT_EQ(run_tools::RunCommand("convert -size 8x6 xc:'#0000ff' PNG24:'" + (dir_ / "blue.png").string() + "'"), 0);
        ASSERT_EQ(run_tools::RunCommand("convert -size 5x6 xc:'#0000ff' PNG24:'" + (dir_ / "small.png").string() + "'"), 0);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Exit status and standard output of `mobupack wipe ARGS`.
    std::pair<int, std::string> Wipe(const std::string& args)
    {
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack wipe " + args + " 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string out;
        std::array<char, 256> buffer{};
        while (pipe && std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
        const int raw = pipe ? ::pclose(pipe) : -1;
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out};
    }
    std::string Files(const std::string& from, const std::string& to)
    {
        return "'" + (dir_ / from).string() + "' '" + (dir_ / to).string() + "' '" + (dir_ / "out.png").string() + "'";
    }
    demo_screens::TRgb Out(int x, int y)
    {
        demo_screens::TShot shot;
        EXPECT_TRUE(shot.Load((dir_ / "out.png").string()));
        return shot.At(x, y);
    }

    fs::path dir_;
};

TEST_F(WipeTool, FadeMidpointAndNames)
{
    auto [code, line] = Wipe("WP_FADE " + Files("red.png", "blue.png") + " --position 500");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(line, "WP_FADE 0 0\n");
    // Alpha 500·256/1000 = 128: blue (128·255) >> 8 = 127, red (127·255) >> 8 = 126.
    const demo_screens::TRgb c = Out(3, 2);
    EXPECT_EQ(c.r, 126);
    EXPECT_EQ(c.b, 127);
    EXPECT_EQ(Wipe("wp_blindh " + Files("red.png", "blue.png")).second, "WP_BLINDH 20 1\n");
    EXPECT_EQ(Wipe("2 " + Files("red.png", "blue.png") + " --param0 1 --param1 -3").second, "WP_BLINDH 2 1\n");
    EXPECT_EQ(Wipe("31 " + Files("red.png", "blue.png")).second, "WP_CLOCKHAND 2 1\n");
}

TEST_F(WipeTool, NoTransitionOrFinishedGivesTo)
{
    for (const std::string& args : {std::string("0 ") + Files("red.png", "blue.png"),
                                    std::string("45 ") + Files("red.png", "blue.png"),
                                    std::string("1 ") + Files("red.png", "blue.png") + " --position 1000"}) {
        auto [code, line] = Wipe(args);
        EXPECT_EQ(code, 0) << args;
        const demo_screens::TRgb c = Out(7, 5);
        EXPECT_EQ(c.b, 255) << args;
        EXPECT_EQ(c.r, 0) << args;
    }
    EXPECT_EQ(Wipe("45 " + Files("red.png", "blue.png")).second, "WP_NONE 0 0\n");
}

TEST_F(WipeTool, ExitCodes)
{
    EXPECT_EQ(Wipe("1 " + Files("red.png", "small.png")).first, 1);
    EXPECT_EQ(Wipe("1 " + Files("red.png", "missing.png")).first, 1);
    EXPECT_EQ(Wipe("1 " + Files("red.png", "blue.png") + " --duration 0").first, 2);
    EXPECT_EQ(Wipe("WP_NOTHING " + Files("red.png", "blue.png")).first, 2);
    EXPECT_EQ(Wipe("256 " + Files("red.png", "blue.png")).first, 2);
    EXPECT_EQ(Wipe("1 " + Files("red.png", "blue.png") + " --bogus").first, 2);
}

}  // namespace
}  // namespace mobu
