// The headless runner as a program: started on the demo game it writes PNG frames of the
// project's screen size that show the replayed input; a game that cannot start gives a
// non-zero status and a message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/demo_screens.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

struct TRun {
    int status = -1;
    std::string errors;
};

TRun RunPlayer(const std::string& arguments, const fs::path& scratch)
{
    fs::path errors = scratch / "stderr.txt";
    std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay " + arguments + " 2>" + errors.string();
    int raw = std::system(command.c_str());
    TRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    run.errors = text.str();
    return run;
}

// Width and height from a PNG file's IHDR chunk.
bool PngSize(const fs::path& path, uint32_t& width, uint32_t& height)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    if (header[1] != 'P' || header[2] != 'N' || header[3] != 'G' || std::string(header + 12, header + 16) != "IHDR")
        return false;
    width = (header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19];
    height = (header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23];
    return true;
}

class HeadlessRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = fs::temp_directory_path() / ("mobu_headless_" + std::to_string(getpid()));
        fs::create_directories(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }
    fs::path scratch;
};

// Pixels of a rectangle of two shots that differ.
int ChangedPixels(const demo_screens::TShot& a, const demo_screens::TShot& b, int left, int top, int right, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const demo_screens::TRgb p = a.At(x, y), q = b.At(x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b) ++changed;
        }
    return changed;
}

// The replayed input reaches the game: the mouse coming over the title's picture button
// lights it (its pixels change, the sky beside it does not), and the click opens the field.
TEST_F(HeadlessRunnerTest, DemoGameWritesFramesOfTheScreenSizeAndFollowsTheInput)
{
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    // A working copy, so that the status data the game writes stays out of the build tree.
    fs::path game = scratch / "demo";
    fs::copy(demo, game, fs::copy_options::recursive);
    // Keys and the wheel first (nothing on the title answers them), then the mouse over the
    // start button (240..400 x 300..348) at frame 22 and a click on it at frames 32 and 33.
    std::ofstream(scratch / "input.txt") << "2 key down Return\n3 key up Return\n4 wheel down\n"
                                            "22 mouse move 300 320\n32 mouse down 300 320 left\n"
                                            "33 mouse up 300 320 left\n";
    fs::path out = scratch / "shots";
    TRun run = RunPlayer("--headless --frames 120 --shot-every 10 --shot-at 1,21,22 --seed 7 --input " +
                             (scratch / "input.txt").string() + " --out " + out.string() + " " + game.string(),
                         scratch);
    ASSERT_EQ(run.status, 0) << run.errors;
    for (const char* name : {"frame-000001.png", "frame-000010.png", "frame-000020.png", "frame-000021.png",
                             "frame-000022.png", "frame-000030.png", "frame-000040.png"}) {
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(PngSize(out / name, width, height)) << name;
        EXPECT_EQ(width, 640u) << name;
        EXPECT_EQ(height, 480u) << name;
    }
    EXPECT_FALSE(fs::exists(out / "frame-000002.png"));

    demo_screens::TShot before, over, still_over, after;
    ASSERT_TRUE(before.Load((out / "frame-000021.png").string()));
    ASSERT_TRUE(over.Load((out / "frame-000022.png").string()));
    ASSERT_TRUE(still_over.Load((out / "frame-000030.png").string()));
    ASSERT_TRUE(after.Load((out / "frame-000120.png").string()));  // after the one-second curtain
    ASSERT_TRUE(demo_screens::TitleShown(before));
    // The button's plate changes colour from one frame to the next, under the mouse only.
    EXPECT_TRUE(demo_screens::IsUnlitPlate(demo_screens::StartButtonPlate(before)));
    EXPECT_TRUE(demo_screens::IsLitPlate(demo_screens::StartButtonPlate(over)));
    EXPECT_GT(ChangedPixels(before, over, 240, 300, 400, 348), 160 * 48 / 2);
    EXPECT_EQ(ChangedPixels(before, over, 0, 0, 640, 140), 0);  // the sky above the star's rows
    EXPECT_EQ(ChangedPixels(over, still_over, 240, 300, 400, 348), 0);  // lit while the mouse stays
    // The click leaves the title for the field.
    EXPECT_TRUE(demo_screens::TitleShown(still_over));
    EXPECT_TRUE(demo_screens::FieldShown(after));
}

// A game appended to a copy of the player runs on its own, started without arguments:
// the archive comes from the executable itself and the build's install data lets it start.
TEST_F(HeadlessRunnerTest, GameAppendedToThePlayerRunsWithoutArguments)
{
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    const fs::path game = scratch / "mygame";
    const std::string append = std::string(MOBU_BINARY_DIR) + "/mobupack append " + MOBU_BINARY_DIR + "/mobuplay " +
                               (demo / "game.dat").string() + " " + game.string();
    ASSERT_EQ(std::system(append.c_str()), 0);
    const fs::path shots = scratch / "shots";
    const std::string command = game.string() + " --headless --frames 3 --shot-at 3 --out " + shots.string() + " 2>" +
                                (scratch / "stderr.txt").string();
    const int raw = std::system(command.c_str());
    std::ifstream errors(scratch / "stderr.txt");
    std::stringstream text;
    text << errors.rdbuf();
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << text.str();
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(PngSize(shots / "frame-000003.png", width, height));
    EXPECT_EQ(width, 640u);
}

// Reads a whole file.
TEST_F(HeadlessRunnerTest, AClickOnABoxRunsItsHandler)
{
    fs::path source = scratch / "clicks";
    fs::create_directories(source);
    std::ofstream(source / "project.ini") << "[project]\ntitle = clicks\nscreen = 320x240\nstart_page = start.msb\n";
    std::ofstream(source / "start.mss")
        << "page version: 116; result: none\n"
           "VarNew name: hits; type: int; continue: yes\n"
           "VarNew name: ins; type: int; continue: yes\n"
           "VarNew name: who; type: string; continue: yes\n"
           "BoxNew PR_NAME: \"button\"; PR_LEFT: 100; PR_TOP: 80; PR_WIDTH: 60; PR_HEIGHT: 40; PR_COLOR: 255; "
           "PR_ONLBTNDOWN: \"click.msb:down\"; PR_ONMOUSEIN: \"click.msb:in\"\n";
    std::ofstream(source / "click.mss")
        << "page version: 116; result: none\n"
           "Label name: down\n"
           "Calc expr: hits = hits + 1\n"
           "Calc expr: who = @Sender\n"
           "ObjDel component: @Sender\n"
           "BoxNew PR_NAME: \"done\"; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 20; PR_HEIGHT: 20; PR_COLOR: 65280\n"
           "Exit\n"
           "Label name: in\n"
           "Calc expr: ins = ins + 1\n";
    fs::path game = scratch / "game";
    std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build " + source.string() + " " + game.string() +
                        " >" + (scratch / "build.txt").string() + " 2>&1";
    ASSERT_EQ(std::system(build.c_str()), 0) << run_tools::ReadAll(scratch / "build.txt");

    // The mouse comes over the box, then presses on it.
    std::ofstream(scratch / "input.txt") << "3 mouse move 120 100\n5 mouse down 120 100 left\n6 mouse up 120 100 left\n";
    fs::path vars = scratch / "vars.json", components = scratch / "components.json";
    TRun run = RunPlayer("--headless --frames 10 --input " + (scratch / "input.txt").string() + " --dump-vars " +
                             vars.string() + " --dump-components " + components.string() + " " + game.string(),
                         scratch);
    ASSERT_EQ(run.status, 0) << run.errors;
    std::string variables = run_tools::ReadAll(vars);
    EXPECT_NE(variables.find("\"name\": \"hits\", \"scope\": \"global\", \"type\": \"int\", \"value\": 1}"),
              std::string::npos) << variables;
    EXPECT_NE(variables.find("\"name\": \"ins\", \"scope\": \"global\", \"type\": \"int\", \"value\": 1}"),
              std::string::npos) << variables;
    EXPECT_NE(variables.find("\"name\": \"who\", \"scope\": \"global\", \"type\": \"string\", \"value\": \"button\"}"),
              std::string::npos) << variables;
    std::string listed = run_tools::ReadAll(components);
    EXPECT_EQ(listed.find("\"name\": \"button\""), std::string::npos) << listed;
    EXPECT_NE(listed.find("{\"type\": \"LT_BOX\", \"name\": \"done\", \"priority\": 0, \"parent\": \"\\u0001BASE0\", "
                          "\"left\": 10, \"top\": 10, \"width\": 20, \"height\": 20, \"visible\": true"),
              std::string::npos) << listed;
}

// Builds a one-page game from its start page source into scratch/NAME-game.
fs::path BuildGame(const fs::path& scratch, const std::string& name, const std::string& start_page)
{
    fs::path source = scratch / name;
    fs::create_directories(source);
    std::ofstream(source / "project.ini") << "[project]\ntitle = " << name
                                          << "\nscreen = 160x120\nstart_page = start.msb\n";
    std::ofstream(source / "start.mss") << start_page;
    fs::path game = scratch / (name + "-game");
    std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build " + source.string() + " " + game.string() +
                        " >" + (scratch / "build.txt").string() + " 2>&1";
    EXPECT_EQ(std::system(build.c_str()), 0) << run_tools::ReadAll(scratch / "build.txt");
    return game;
}

// What the game does not see, the author reads: a component type not available yet and a
// missing picture each give one line naming page, command index and command, however often
// the loop meets them. A MovieStop on no component is no failure and gives no line.
TEST_F(HeadlessRunnerTest, ScriptLogNamesEveryFailureOnce)
{
    fs::path game = BuildGame(scratch, "failures",
                              "page version: 116; result: none\n"
                              "Label name: again\n"
                              "MovieStop component: \"v\"; continue: yes\n"
                              "EditNew PR_NAME: \"e\"; continue: yes\n"
                              "ImgNew PR_NAME: \"pic\"; PR_SOURCE: \"cg\\\\gone.fsk\"; continue: yes\n"
                              "ObjDel component: \"pic\"\n"
                              "Jump page: start.msb; target: again\n");
    fs::path log = scratch / "script.log";
    TRun run = RunPlayer("--headless --frames 6 --script-log " + log.string() + " " + game.string(), scratch);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run_tools::ReadAll(log),
              "start.msb:2 EditNew: LT_EDIT: not available yet\n"
              "start.msb:3 ImgNew: cg\\gone.fsk:\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\xe3\x81\x8c"
              "\xe3\x81\x82\xe3\x82\x8a\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93\n");  // ファイルがありません
}

// The table database in a running game: the Reset command removes the game tables and keeps
// the status tables, and --dump-tables writes what is left when the run ends.
TEST_F(HeadlessRunnerTest, ResetRemovesTheGameTablesAndDumpTablesWritesTheRest)
{
    fs::path game = BuildGame(scratch, "tables",
                              "page version: 116; result: none\n"
                              "Calc expr: DBCreateTable(\"keep\", TRUE); continue: yes\n"
                              "Calc expr: DBAddField(\"n\", 1); continue: yes\n"
                              "Calc expr: DBInsert(DBRecordCount() + 1); continue: yes\n"
                              "Calc expr: DBCreateTable(\"gone\", FALSE); continue: yes\n"
                              "Reset page: start.msb; target: after; continue: yes\n"
                              "Label name: after; continue: yes\n"
                              "Calc expr: DBCreateTable(\"later\", FALSE); continue: yes\n"
                              "Wait\n");
    fs::path dump = scratch / "tables.json";
    TRun run = RunPlayer("--headless --frames 4 --dump-tables " + dump.string() + " " + game.string(), scratch);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run_tools::ReadAll(dump),
              "{\"active\": \"later\", \"tables\": [{\"name\": \"keep\", \"status\": true, \"current\": 0, "
              "\"fields\": [{\"name\": \"n\", \"type\": \"int\", \"width\": 4}], \"records\": [[1]], \"raw\": "
              "[\"01000000\"]}, {\"name\": \"later\", \"status\": false, \"current\": -1, \"fields\": [], "
              "\"records\": [], \"raw\": []}]}\n");
}

// A frame whose script never gives the frame back: the watchdog (here 200 ms, from the
// game.ini beside a copy of the player) ends the headless run with status 3 and names the
// page and the command where it spins.
TEST_F(HeadlessRunnerTest, ScriptThatNeverYieldsEndsTheRunWithStatusThree)
{
    fs::path game = BuildGame(scratch, "spin",
                              "page version: 116; result: none\n"
                              "VarNew name: n; type: int; continue: yes\n"
                              "While cond: TRUE; continue: yes\n"
                              "  Calc expr: n = n + 1; continue: yes\n"
                              "WhileLoop\n");
    fs::path player = scratch / "player" / "mobuplay";
    fs::create_directories(player.parent_path());
    fs::copy_file(fs::path(MOBU_BINARY_DIR) / "mobuplay", player);
    std::ofstream(player.parent_path() / "game.ini") << "[Debug]\nSpinLimitMs=200\n";
    fs::path errors = scratch / "spin-stderr.txt";
    int raw = std::system(("timeout 60 " + player.string() + " --headless --frames 5 " + game.string() + " 2>" +
                           errors.string()).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 3) << run_tools::ReadAll(errors);
    EXPECT_TRUE(std::regex_search(run_tools::ReadAll(errors), std::regex("without giving the frame back, at start\\.msb:[123] "
                                                             "(While|Calc|WhileLoop)\\b")))
        << run_tools::ReadAll(errors);
}

// Without a display the window player does not run unseen: it ends at once and says why.
TEST_F(HeadlessRunnerTest, NoDisplayWithoutHeadlessEndsAtOnce)
{
    fs::path game = BuildGame(scratch, "plain", "page version: 116; result: none\nWait\n");
    fs::path errors = scratch / "no-display-stderr.txt";
    int raw = std::system(("timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " +
                           std::string(MOBU_BINARY_DIR) + "/mobuplay " + game.string() + " 2>" + errors.string())
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);  // not 124: it did not run until the timeout
    EXPECT_NE(run_tools::ReadAll(errors).find("no display: DISPLAY and WAYLAND_DISPLAY are not set; --headless runs the game "
                                 "without one"),
              std::string::npos)
        << run_tools::ReadAll(errors);
}

TEST_F(HeadlessRunnerTest, GameThatCannotStartFailsWithAMessage)
{
    fs::create_directories(scratch / "empty");
    TRun run = RunPlayer("--headless --frames 5 " + (scratch / "empty").string(), scratch);
    EXPECT_NE(run.status, 0);
    EXPECT_FALSE(run.errors.empty());
}

TEST_F(HeadlessRunnerTest, BadInputScriptAndBadOptionsAreRefused)
{
    std::ofstream(scratch / "bad.txt") << "1 key down Return\n2 dance\n";
    TRun run = RunPlayer("--headless --input " + (scratch / "bad.txt").string() + " " + scratch.string(), scratch);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("line 2"), std::string::npos) << run.errors;

    run = RunPlayer("--headless --tick-ms 0 " + scratch.string(), scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("--tick-ms"), std::string::npos) << run.errors;

    // An option of the headless runner without --headless is refused, not ignored.
    run = RunPlayer("--frames 5 " + scratch.string(), scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("--frames: only the headless runner reads it (add --headless)"), std::string::npos)
        << run.errors;
}

TEST_F(HeadlessRunnerTest, HelpExitsCleanlyAndConfigWithoutADisplaySaysWhy)
{
    EXPECT_EQ(RunPlayer("--help >/dev/null", scratch).status, 0);
    fs::path errors = scratch / "config.txt";
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + std::string(MOBU_BINARY_DIR) +
                          "/mobuplay /config --ini " + (scratch / "game.ini").string() + " 2>" + errors.string();
    int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("no display"), std::string::npos) << text.str();
    EXPECT_FALSE(fs::exists(scratch / "game.ini")) << "nothing is written without OK";
}

}  // namespace
}  // namespace mobu
