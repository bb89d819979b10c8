// mobupack layout: plain and JSON output, the conversion error and a bad command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/fesk/fesk_writer_for_tests.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

struct Output {
    int status;
    std::string out;
    std::string err;
};

Output Layout(const std::string& arguments)
{
    const fs::path dir = fs::temp_directory_path();
    const fs::path out = dir / ("mobu-layout-out-" + std::to_string(::getpid()));
    const fs::path err = dir / ("mobu-layout-err-" + std::to_string(::getpid()));
    const std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack layout " + arguments + " > '" +
                                out.string() + "' 2> '" + err.string() + "'";
    Output result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = run_tools::ReadAll(out);
    result.err = run_tools::ReadAll(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

TEST(LayoutCommand, PrintsPagesAndRows)
{
    const Output plain = Layout("--width 48 --size 16 --height 40 'あいうえお<BR>ab cd<CLEAR>x<IMG SRC=i.png>'");
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, "page 1\n  あいう\n  えお\npage 2\n  ab \n  cd\npage 3\n  x\xEF\xBF\xBC\n");
    const Output json = Layout("--json --width 100 --size 10 --var who=Jo '<VAR NAME=who>!<BR><DIV ALIGN=RIGHT>r'");
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "{\"pages\": [{\"height\": 20, \"rows\": [{\"text\": \"Jo!\", \"x\": 0, \"y\": 0, \"width\": 30, "
              "\"height\": 10}, {\"text\": \"r\", \"x\": 90, \"y\": 10, \"width\": 10, \"height\": 10}]}]}\n");
}

TEST(LayoutCommand, ImagesTakeTheirSizeFromTheGame)
{
    // A 30 x 20 layered image in a game folder: with --game the IMG glyph is as wide as its picture,
    // without it 0 x 0.
    const fs::path game = fs::temp_directory_path() / ("mobu-layout-game-" + std::to_string(::getpid()));
    fs::create_directories(game);
    {
        testing_fesk::TRawFrame frame;
        frame.width = 30;
        frame.height = 20;
        testing_fesk::TRawLayer layer;
        layer.colour = testing_fesk::Rows24(30, 20, [](int, int) { return 0x404040u; });
        frame.layers.push_back(layer);
        testing_fesk::TRawFile file;
        file.frames.push_back(frame);
        std::ofstream(game / "i.fsk", std::ios::binary) << testing_fesk::WriteRawFesk(file);
    }
    const std::string text = " --json --size 10 'x<IMG SRC=i.fsk>'";
    const Output with = Layout("--game '" + game.string() + "'" + text);
    EXPECT_EQ(with.status, 0) << with.err;
    EXPECT_NE(with.out.find("\"width\": 40"), std::string::npos) << with.out;
    const Output without = Layout(text);
    EXPECT_NE(without.out.find("\"width\": 10"), std::string::npos) << without.out;
    EXPECT_EQ(Layout("--game '" + (game / "missing").string() + "'" + text).status, 0);
    fs::remove_all(game);
}

TEST(LayoutCommand, ConversionErrorsAndBadCommandLines)
{
    const Output error = Layout("'<A>x</A>'");
    EXPECT_EQ(error.status, 1);
    EXPECT_NE(error.err.find("HREF"), std::string::npos) << error.err;
    EXPECT_EQ(Layout("--width").status, 2);
    EXPECT_EQ(Layout("--size zero x").status, 2);
    EXPECT_EQ(Layout("").status, 2);
}

}  // namespace
}  // namespace mobu
