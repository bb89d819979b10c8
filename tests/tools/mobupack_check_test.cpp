// `mobupack build` and `mobupack check` on small games with one mistake each: every finding
// comes as "FILE:LINE: error|warning: message", errors stop the build, warnings do not.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "platform/durable_files.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

using Outcome = run_tools::TCommandOutcome;

Outcome Mobupack(const std::string& arguments)
{
    return run_tools::RunCapturing(std::string(MOBU_BINARY_DIR) + "/mobupack " + arguments);
}

const char kProject[] = "[project]\nscreen = 320x240\nstart_page = start.msb\n";

struct BrokenGame {
    const char* what;
    std::map<std::string, std::string> files;  // over the base game (project.ini, start.mss, cg/bg.fsk)
    const char* finding;                       // the whole line
    int status;
};

const BrokenGame kBrokenGames[] = {
    {"missing start page", {{"project.ini", "[project]\nscreen = 320x240\nstart_page = strat.msb\n"}},
     "project.ini:3: error: the start page \"strat.msb\" is not a page of the game (nearest: \"start.msb\")", 1},
    {"missing exit page", {{"project.ini", std::string(kProject) + "exit_page = bye.msb\n"}},
     "project.ini:4: error: the exit page \"bye.msb\" is not a page of the game", 1},
    {"screen too large", {{"project.ini", "[project]\nscreen = 9000x240\nstart_page = start.msb\n"}},
     "project.ini:2: error: screen size 9000x240 is outside 1..8192 each way", 1},
    {"jump to a missing page", {{"start.mss", "Wait time: 1\nJump page: stat.msb\n"}},
     "start.mss:2: error: Jump to \"stat.msb\": no such page in the game (nearest: \"start.msb\")", 1},
    {"jump without a page", {{"start.mss", "Label name: top\nJump target: top\n"}},
     "start.mss:2: error: Jump names no page, so it never goes anywhere (give page: NAME.msb)", 1},
    {"jump to a missing label", {{"start.mss", "Label name: top\nJump page: start.msb; target: tpo\n"}},
     "start.mss:2: error: no label \"tpo\" in start.msb", 1},
    {"event string with a missing label",
     {{"start.mss", "ImgNew PR_NAME: \"b\"; PR_ONLBTNDOWN: \"start.msb:clik\"\nLabel name: click\n"}},
     "start.mss:1: error: event string \"start.msb:clik\": start.msb has no label \"clik\" (nearest: \"click\")", 1},
    {"event string with a missing page", {{"start.mss", "ImgNew PR_NAME: \"b\"; PR_ONLBTNDOWN: \"title.msb:click\"\n"}},
     "start.mss:1: error: event string \"title.msb:click\": no page \"title.msb\" in the game", 1},
    {"While without WhileLoop", {{"start.mss", "While cond: TRUE\n  Wait time: 1\n"}},
     "start.mss:1: error: While without WhileLoop: the loop has no end", 1},
    {"WhileLoop without While", {{"start.mss", "Wait time: 1\nWhileLoop\n"}},
     "start.mss:2: error: WhileLoop without While", 1},
    {"Break outside a loop", {{"start.mss", "Wait time: 1\nBreak\n"}},
     "start.mss:2: error: Break outside a loop: it would end the page", 1},
    {"Continue outside a loop", {{"start.mss", "Wait time: 1\nContinue\n"}},
     "start.mss:2: error: Continue outside a loop: it would end the page", 1},
    {"Else without If", {{"start.mss", "Wait time: 1\nElse\n  Wait time: 1\n"}},
     "start.mss:2: error: Else without If at the same depth before it", 1},
    {"Elseif after Else", {{"start.mss", "If cond: TRUE\n  Wait time: 1\nElse\n  Wait time: 2\nElseif cond: TRUE\n"}},
     "start.mss:5: error: Elseif without If: it follows an Else, so it is never reached", 1},
    {"expression that does not compile", {{"start.mss", "Wait time: 1\nCalc expr: 1 +\n"}},
     "start.mss:2: error: expr: ", 1},
    {"missing picture", {{"start.mss", "ImgNew PR_NAME: \"b\"; PR_SOURCE: \"cg\\\\bgx.fsk\"\n"}},
     "start.mss:1: warning: PR_SOURCE \"cg\\bgx.fsk\": no such file in the game (nearest: \"cg\\bg.fsk\")", 0},
    {"path with a slash", {{"start.mss", "ImgNew PR_NAME: \"b\"; PR_SOURCE: \"CG/BG.fsk\"\n"}},
     "start.mss:1: warning: PR_SOURCE \"CG/BG.fsk\" is written with \"/\"; the game's paths use \"\\\"", 0},
    {"event string without a colon",
     {{"start.mss", "ImgNew PR_NAME: \"b\"; PR_ONLBTNDOWN: \"clicked\"\nLabel name: clicked\n"}},
     "start.mss:1: warning: event string \"clicked\" names no page; did you mean \"start.msb:clicked\"?", 0},
    {"undeclared variable", {{"start.mss", "VarNew name: total; type: int\nCalc expr: total = totl + 1\n"}},
     "start.mss:2: warning: variable \"totl\" is read but no VarNew, project variable or system variable declares it",
     0},
};

class MobupackCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-check-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // The base game with the given files replaced; returns its folder.
    fs::path Game(const std::string& name, const std::map<std::string, std::string>& files)
    {
        std::map<std::string, std::string> all = {
            {"project.ini", kProject}, {"start.mss", "Wait time: 100\n"}, {"cg/bg.fsk", "picture"}};
        for (const auto& [file, text] : files) all[file] = text;
        const fs::path folder = root_ / name;
        for (const auto& [file, text] : all) {
            const fs::path path = folder / fs::u8path(file);
            fs::create_directories(path.parent_path());
            EXPECT_TRUE(ReplaceFileAtomically(path.string(), text));
        }
        return folder;
    }

    fs::path root_;
};

TEST_F(MobupackCheck, EachMistakeGivesItsFindingAndStatus)
{
    int number = 0;
    for (const BrokenGame& game : kBrokenGames) {
        SCOPED_TRACE(game.what);
        const fs::path folder = Game("game" + std::to_string(number), game.files);
        const fs::path out = root_ / ("out" + std::to_string(number++));
        const Outcome built = Mobupack("build '" + folder.string() + "' '" + out.string() + "'");
        EXPECT_EQ(built.status, game.status) << built.output;
        EXPECT_NE(("\n" + built.output).find(std::string("\n") + game.finding), std::string::npos) << built.output;
        EXPECT_EQ(fs::exists(out / "game.dat"), game.status == 0);
        const Outcome checked = Mobupack("check '" + folder.string() + "'");
        EXPECT_EQ(checked.status, game.status) << checked.output;
        EXPECT_NE(("\n" + checked.output).find(std::string("\n") + game.finding), std::string::npos) << checked.output;
    }
}

TEST_F(MobupackCheck, WerrorMakesWarningsStopTheBuild)
{
    const fs::path folder = Game("game", {{"start.mss", "Calc expr: nothing + 1\n"}});
    const Outcome built = Mobupack("build --werror '" + folder.string() + "' '" + (root_ / "out").string() + "'");
    EXPECT_EQ(built.status, 1) << built.output;
    EXPECT_NE(built.output.find("0 errors, 1 warning (warnings count as errors)"), std::string::npos) << built.output;
    EXPECT_FALSE(fs::exists(root_ / "out" / "game.dat"));
}

TEST_F(MobupackCheck, ABuiltGameIsCheckedFromItsCompiledPages)
{
    const fs::path folder = Game("game", {{"start.mss", "Wait time: 1\nImgNew PR_SOURCE: \"cg\\\\bgx.fsk\"\n"}});
    ASSERT_EQ(Mobupack("build '" + folder.string() + "' '" + (root_ / "out").string() + "'").status, 0);
    const Outcome checked = Mobupack("check '" + (root_ / "out" / "game.dat").string() + "'");
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.output,
              "start.msb:2: warning: PR_SOURCE \"cg\\bgx.fsk\": no such file in the game (nearest: \"cg\\bg.fsk\")\n");
}

TEST_F(MobupackCheck, TheDemoHasNoFindings)
{
    const fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo-src";
    if (!fs::exists(demo / "project.ini")) GTEST_SKIP() << "the demo is not staged";
    const Outcome source = Mobupack("check --werror '" + demo.string() + "'");
    EXPECT_EQ(source.status, 0);
    EXPECT_EQ(source.output, "");
    const Outcome built = Mobupack("check --werror '" + (fs::path(MOBU_BINARY_DIR) / "demo" / "game.dat").string() + "'");
    EXPECT_EQ(built.status, 0);
    EXPECT_EQ(built.output, "");
}

// Sources are UTF-8: a Shift_JIS page is refused with what to do about it, or read as cp932
// when asked. The bytes are Python's cp932 codec's: "こんにちは".encode("cp932").
TEST_F(MobupackCheck, AShiftJisSourceIsRefusedUnlessAsked)
{
    const std::string greeting_cp932 = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd";
    const fs::path folder = Game("game", {{"start.mss", "Comment text: \"" + greeting_cp932 + "\"\n"}});
    const Outcome refused = Mobupack("build '" + folder.string() + "' '" + (root_ / "out").string() + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, "mobupack build: start.mss: this file is Shift_JIS (cp932); save it as UTF-8\n");
    const Outcome accepted =
        Mobupack("build --source-encoding cp932 '" + folder.string() + "' '" + (root_ / "out").string() + "'");
    EXPECT_EQ(accepted.status, 0) << accepted.output;
    const Outcome shown = Mobupack("extract '" + (root_ / "out" / "game.dat").string() + "' '" + (root_ / "x").string() + "'");
    ASSERT_EQ(shown.status, 0) << shown.output;
    EXPECT_NE(Mobupack("disasm '" + (root_ / "x" / "start.msb").string() + "'").output.find("こんにちは"), std::string::npos);
}

// A file name code page 932 cannot hold is refused with the name and the character, in UTF-8.
TEST_F(MobupackCheck, AFileNameCp932CannotHoldIsRefusedByName)
{
    const fs::path folder = Game("game", {{"cg/\xF0\x9F\x98\x80.png", "x"}});
    const std::string reason = "cg/\xF0\x9F\x98\x80.png: code page 932 (the game's file names) cannot hold the character "
                               "\"\xF0\x9F\x98\x80\"; rename the file\n";
    EXPECT_EQ(Mobupack("build '" + folder.string() + "' '" + (root_ / "out").string() + "'").output,
              "mobupack build: " + reason);
    EXPECT_EQ(Mobupack("create '" + folder.string() + "' '" + (root_ / "a.dat").string() + "'").output,
              "mobupack create: " + reason);
}

}  // namespace
}  // namespace mobu
