// mobupack layout: plain and JSON output, the conversion error and a bad command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

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
