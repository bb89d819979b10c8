// A game that saves, changes its state and loads the slot back, played headless: the
// variables and components after the load are those of the save, a status variable keeps
// its value across the load and across a restart, and the save folder holds save.dat, its
// lock and no temporaries. A second run lists the slot and loads it again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/save_file.h"
#include "archive/vr_file_collection.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;

class HeadlessSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch_ = fs::temp_directory_path() / ("mobu_headless_save_" + std::to_string(getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_ / "src");
    }
    void TearDown() override { fs::remove_all(scratch_); }

    // Builds the game from its start page, `project_lines` added to the project section and
    // further pages as name (without extension) and source.
    void Build(const std::string& start_page, const std::string& project_lines = "",
               const std::vector<std::pair<std::string, std::string>>& pages = {})
    {
        std::ofstream(scratch_ / "src" / "project.ini")
            << "[project]\ntitle = saves\nscreen = 160x120\nstart_page = start.msb\n" << project_lines;
        std::ofstream(scratch_ / "src" / "start.mss") << start_page;
        for (const auto& [name, source] : pages) std::ofstream(scratch_ / "src" / (name + ".mss")) << source;
        ASSERT_EQ(std::system((std::string(MOBU_BINARY_DIR) + "/mobupack build " + (scratch_ / "src").string() + " " +
                               game().string() + " >/dev/null 2>&1")
                                  .c_str()),
                  0);
    }
    // Plays `frames` frames; the variables and components as dumped afterwards.
    void Play(int frames, std::string& vars, std::string& components, std::string& errors)
    {
        const fs::path v = scratch_ / "vars.json", c = scratch_ / "components.json", e = scratch_ / "stderr.txt";
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --frames " +
                                    std::to_string(frames) + " --dump-vars " + v.string() + " --dump-components " +
                                    c.string() + " " + game().string() + " 2>" + e.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(e);
        vars = ReadAll(v);
        components = ReadAll(c);
        errors = ReadAll(e);
    }
    fs::path game() const { return scratch_ / "game"; }
    fs::path scratch_;
};

std::string IntVar(const std::string& name, const std::string& scope, int value)
{
    return "\"name\": \"" + name + "\", \"scope\": \"" + scope + "\", \"type\": \"int\", \"value\": " +
           std::to_string(value) + "}";
}

TEST_F(HeadlessSave, SaveChangeLoadGivesTheSavedStateBack)
{
    // Frame 1 saves n = 5 with the box "kept"; two frames later the script changes both and
    // loads slot 1 (once: the status variable "loads" survives the load); the loaded game
    // continues after the save's Wait and skips the change.
    Build("page version: 116; result: none\n"
          "VarNew name: loads; type: int; value: 0; scope: status; continue: yes\n"
          "VarNew name: n; type: int; value: 5; continue: yes\n"
          "BoxNew PR_NAME: \"kept\"; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 20; PR_HEIGHT: 20; PR_COLOR: 65280\n"
          "GameSave slot: 1; caption: \"first\"\n"
          "Wait time: 30\n"
          "If cond: loads == 0\n"
          "  Calc expr: loads = loads + 1; continue: yes\n"
          "  Calc expr: n = 7; continue: yes\n"
          "  ObjDel component: \"kept\"\n"
          "  BoxNew PR_NAME: \"gone\"; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 5; PR_HEIGHT: 5; PR_COLOR: 255\n"
          "  GameLoad slot: 1\n"
          "VarNew name: cap; type: string; continue: yes\n"
          "VarNew name: missing; type: int; continue: yes\n"
          "VarNew name: listed; type: int; continue: yes\n"
          "VarNew name: maxed; type: int; continue: yes\n"
          "Calc expr: cap = GetSaveCaption(1); continue: yes\n"
          "Calc expr: missing = GetHistoryCount(\"nope\"); continue: yes\n"
          "Calc expr: listed = ListSaveCaption(); continue: yes\n"
          "Calc expr: SetHistoryMaxCount(\"\", 4); continue: yes\n"
          "Calc expr: maxed = @HistoryMaxCount; continue: yes\n"
          "ClrHist; continue: yes\n"
          "FormatHist component: \"kept\"; format: \"log\"; continue: yes\n"
          "CallHist box: \"kept\"; first: 0; count: 3; continue: yes\n"
          "Wait\n");
    std::string vars, components, errors;
    Play(20, vars, components, errors);
    EXPECT_EQ(errors.find("not available"), std::string::npos) << errors;
    EXPECT_NE(vars.find(IntVar("n", "global", 5)), std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("loads", "status", 1)), std::string::npos) << vars;
    EXPECT_NE(components.find("\"name\": \"kept\""), std::string::npos) << components;
    EXPECT_EQ(components.find("\"name\": \"gone\""), std::string::npos) << components;
    // The caption and history functions and commands after the load.
    EXPECT_NE(vars.find("\"name\": \"cap\", \"scope\": \"global\", \"type\": \"string\", \"value\": \"first\"}"),
              std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("missing", "global", -1)), std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("listed", "global", 1)), std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("maxed", "global", 4)), std::string::npos) << vars;

    const std::string save_file = (game() / "save.dat").string();
    TVrFileCollection files;
    ASSERT_TRUE(ReadSaveFile(save_file, files));
    EXPECT_NE(files.Find("GAMESAVEDATA1"), nullptr);
    EXPECT_NE(files.Find("STATUSSAVEDATA"), nullptr);
    for (const auto& item : fs::directory_iterator(game())) EXPECT_NE(item.path().extension(), ".tmp") << item.path();

    // A restart: the status variable comes back from the status data, so the script skips
    // the change and the load; the slot saved again keeps one entry.
    Play(4, vars, components, errors);
    EXPECT_NE(vars.find(IntVar("loads", "status", 1)), std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("n", "global", 5)), std::string::npos) << vars;
    ASSERT_TRUE(ReadSaveFile(save_file, files));
    int slots = 0;
    for (int i = 0; i < files.Count(); ++i) slots += files.Item(i)->Name() == "GAMESAVEDATA1";
    EXPECT_EQ(slots, 1);
}

TEST_F(HeadlessSave, StatusTablesSurviveLoadsAndRestartsAndGameTablesComeBackFromTheSlot)
{
    // The status table "st" counts the runs through the start; the game table "gt" holds 5 at
    // the save. After the save the script changes both, adds a game table and loads: "gt" is
    // back at 5, the added table is gone, and "st" keeps its change. A restart finds "st" in
    // the status data.
    Build("page version: 116; result: none\n"
          "VarNew name: loads; type: int; value: 0; scope: status; continue: yes\n"
          "VarNew name: v; type: int; continue: yes\n"
          "VarNew name: hits; type: int; continue: yes\n"
          "VarNew name: extra; type: flag; continue: yes\n"
          "If cond: Not(DBSetActive(\"st\"))\n"
          "  Calc expr: DBCreateTable(\"st\", TRUE); continue: yes\n"
          "  Calc expr: DBAddField(\"hits\", 1); continue: yes\n"
          "  Calc expr: DBInsert(0); continue: yes\n"
          "Calc expr: DBSetActive(\"st\"); continue: yes\n"
          "Calc expr: DBSetInt(\"hits\", DBGetInt(\"hits\") + 1); continue: yes\n"
          "Calc expr: DBCreateTable(\"gt\", FALSE); continue: yes\n"
          "Calc expr: DBAddField(\"v\", 1); continue: yes\n"
          "Calc expr: DBInsert(5); continue: yes\n"
          "GameSave slot: 1; caption: \"tables\"\n"
          "Wait time: 30\n"
          "If cond: loads == 0\n"
          "  Calc expr: loads = loads + 1; continue: yes\n"
          "  Calc expr: DBSetInt(\"v\", 7); continue: yes\n"
          "  Calc expr: DBSetActive(\"st\"); continue: yes\n"
          "  Calc expr: DBSetInt(\"hits\", DBGetInt(\"hits\") + 10); continue: yes\n"
          "  Calc expr: DBCreateTable(\"added\", FALSE); continue: yes\n"
          "  GameLoad slot: 1\n"
          "Calc expr: extra = DBSetActive(\"added\"); continue: yes\n"
          "Calc expr: DBSetActive(\"gt\"); continue: yes\n"
          "Calc expr: v = DBGetInt(\"v\"); continue: yes\n"
          "Calc expr: DBSetActive(\"st\"); continue: yes\n"
          "Calc expr: hits = DBGetInt(\"hits\"); continue: yes\n"
          "Wait\n");
    std::string vars, components, errors;
    Play(20, vars, components, errors);
    EXPECT_NE(vars.find(IntVar("v", "global", 5)), std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("hits", "global", 11)), std::string::npos) << vars;
    EXPECT_NE(vars.find("\"name\": \"extra\", \"scope\": \"global\", \"type\": \"flag\", \"value\": false}"),
              std::string::npos)
        << vars;
    Play(20, vars, components, errors);
    EXPECT_NE(vars.find(IntVar("hits", "global", 12)), std::string::npos) << vars;
    EXPECT_NE(vars.find(IntVar("v", "global", 5)), std::string::npos) << vars;
}

TEST_F(HeadlessSave, WithoutAWritableFolderTheGameRunsWithSavingOff)
{
    // A read-only game folder and a data folder that cannot be made: the game starts, says
    // once that it cannot save, and its GameSave fails visibly while the script goes on.
    Build("page version: 116; result: none\n"
          "VarNew name: after; type: int; value: 0; continue: yes\n"
          "GameSave slot: 1; caption: \"nowhere\"\n"
          "Calc expr: after = 1\n"
          "Wait\n");
    std::ofstream(scratch_ / "data_home") << "a file where a folder must go";
    fs::permissions(game(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(scratch_, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const fs::path v = scratch_ / "vars_off.json", e = scratch_ / "stderr_off.txt";
    fs::create_directories(scratch_ / "out");
    fs::permissions(scratch_ / "out", fs::perms::all);
    const fs::path vars_file = scratch_ / "out" / "vars.json";
    // Root writes everywhere: the player runs as nobody then.
    const std::string as_user = ::getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const std::string command = "XDG_DATA_HOME=" + (scratch_ / "data_home").string() + " " + as_user +
                                std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --frames 6 --dump-vars " +
                                vars_file.string() + " " + game().string() + " 2>" + e.string();
    const int status = std::system(command.c_str());
    fs::permissions(game(), fs::perms::owner_all, fs::perm_options::add);
    const std::string errors = ReadAll(e);
    ASSERT_EQ(status, 0) << errors;
    EXPECT_NE(errors.find("セーブできません: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("セーブできませんでした"), std::string::npos) << errors;
    EXPECT_NE(ReadAll(vars_file).find(IntVar("after", "global", 1)), std::string::npos) << ReadAll(vars_file);
    EXPECT_FALSE(fs::exists(game() / "save.dat"));
}

TEST_F(HeadlessSave, TheUserDataFolderIsMadeOnlyByTheFirstWrite)
{
    // A read-only game folder: the save goes into the user's data folder, which a game that
    // writes nothing never makes, and the first GameSave makes.
    const fs::path data_home = scratch_ / "data_home";
    fs::create_directories(data_home);
    fs::permissions(data_home, fs::perms::all);
    fs::permissions(scratch_, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::create_directories(scratch_ / "out");
    fs::permissions(scratch_ / "out", fs::perms::all);
    const std::string as_user = ::getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const fs::path e = scratch_ / "out" / "stderr.txt";
    auto play = [&](const std::string& page) {
        if (fs::exists(game())) fs::permissions(game(), fs::perms::owner_all, fs::perm_options::add);
        Build(page);
        fs::permissions(game(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        const std::string command = "XDG_DATA_HOME=" + data_home.string() + " " + as_user + std::string(MOBU_BINARY_DIR) +
                                    "/mobuplay --headless --frames 6 " + game().string() + " 2>" + e.string();
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadAll(e);
    };
    play("page version: 116; result: none\nVarNew name: n; type: int; value: 1\nWait\n");
    EXPECT_TRUE(fs::is_empty(data_home)) << ReadAll(e);
    play("page version: 116; result: none\nGameSave slot: 1; caption: \"here\"\nWait\n");
    EXPECT_TRUE(fs::exists(data_home / "mobu" / "saves" / "save.dat")) << ReadAll(e);
    EXPECT_FALSE(fs::exists(game() / "save.dat"));
    fs::permissions(game(), fs::perms::owner_all, fs::perm_options::add);
}

TEST_F(HeadlessSave, EdgeCasesOfSavingAndLoading)
{
    // Each case is a series of runs of one game folder; after each run the dumped variables
    // hold the listed values. The save.dat of a case carries over from run to run.
    const std::string head = "page version: 116; result: none\n"
                             "VarNew name: loads; type: int; value: 0; scope: status; continue: yes\n";
    struct Run {
        std::string start_page;
        std::string project_lines;
        std::vector<std::string> expected;  // IntVar or string-variable texts
    };
    struct Case {
        const char* what;
        std::vector<Run> runs;
        std::vector<std::pair<std::string, std::string>> pages;
    };
    auto text_var = [](const std::string& name, const std::string& value) {
        return "\"name\": \"" + name + "\", \"scope\": \"global\", \"type\": \"string\", \"value\": \"" + value + "\"}";
    };
    const std::string list_captions = "VarNew name: listed; type: int; continue: yes\n"
                                      "VarNew name: cap; type: string; continue: yes\n"
                                      "Calc expr: listed = ListSaveCaption(); continue: yes\n";
    const std::vector<Case> cases = {
        {"slot -1 saves and loads, and a restart no longer lists it",
         {{head + "VarNew name: n; type: int; value: 5; continue: yes\n"
                  "GameSave slot: -1; caption: \"neg\"\n"
                  "Wait time: 30\n"
                  "If cond: loads == 0\n"
                  "  Calc expr: loads = loads + 1; continue: yes\n"
                  "  Calc expr: n = 7; continue: yes\n"
                  "  GameLoad slot: -1\n" +
                  list_captions + "Calc expr: cap = GetSaveCaption(-1); continue: yes\nWait\n",
           "",
           {IntVar("n", "global", 5), IntVar("loads", "status", 1), IntVar("listed", "global", 1), text_var("cap", "neg")}},
          {head + list_captions + "Calc expr: cap = GetSaveCaption(-1); continue: yes\nWait\n",
           "",
           {IntVar("listed", "global", 0), text_var("cap", "")}}},
         {}},
        {"an empty caption saves nothing and keeps the slot's caption",
         {{head + "GameSave slot: 3; caption: \"first\"\n"
                  "Wait time: 30\n"
                  "GameSave slot: 3; caption: \"\"\n"
                  "GameSave slot: 4; caption: \"\"\n"
                  "Wait time: 30\n" +
                  list_captions + "Calc expr: cap = GetSaveCaption(3); continue: yes\nWait\n",
           "",
           {IntVar("listed", "global", 1), text_var("cap", "first")}}},
         {}},
        {"the resume page runs after the load, then the game goes on where it was saved",
         {{head + "VarNew name: resumed; type: int; value: 0; continue: yes\n"
                  "VarNew name: after; type: int; value: 0; continue: yes\n"
                  "GameSave slot: 1; page: \"resume.msb\"; index: 0; caption: \"r\"\n"
                  "Wait time: 30\n"
                  "If cond: loads == 0\n"
                  "  Calc expr: loads = loads + 1; continue: yes\n"
                  "  Calc expr: resumed = 50; continue: yes\n"
                  "  GameLoad slot: 1\n"
                  "Calc expr: after = resumed + 1; continue: yes\n"
                  "Wait\n",
           "",
           {IntVar("resumed", "global", 1), IntVar("after", "global", 2), IntVar("loads", "status", 1)}}},
         {{"resume", "page version: 116; result: none\nCalc expr: resumed = resumed + 1\n"}}},
        {"with the status data off, game saves still write and carry the stored status over",
         {{head + "Calc expr: loads = loads + 1; continue: yes\nGameSave slot: 1; caption: \"on\"\nWait\n",
           "",
           {IntVar("loads", "status", 1)}},
          {head + "Calc expr: loads = loads + 1; continue: yes\nGameSave slot: 2; caption: \"off\"\nWait\n",
           "write_status_data = no\n",
           {IntVar("loads", "status", 2)}},
          {head + list_captions + "Wait\n",
           "write_status_data = no\n",
           {IntVar("loads", "status", 1), IntVar("listed", "global", 2)}}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(game());
        int number = 0;
        for (const Run& run : c.runs) {
            SCOPED_TRACE("run " + std::to_string(++number));
            Build(run.start_page, run.project_lines, c.pages);
            std::string vars, components, errors;
            Play(30, vars, components, errors);
            EXPECT_EQ(errors.find("not available"), std::string::npos) << errors;
            std::string own_vars;  // the game's own variables, for the failure message
            for (size_t at = 0, end; at < vars.size(); at = end + 1) {
                end = std::min(vars.find('\n', at), vars.size());
                const std::string line = vars.substr(at, end - at);
                if (line.find("\"system\"") == std::string::npos) own_vars += line + "\n";
            }
            for (const std::string& expected : run.expected) {
                EXPECT_NE(vars.find(expected), std::string::npos) << expected << "\n" << own_vars << errors;
            }
        }
    }
}

TEST_F(HeadlessSave, ADamagedSlotStopsTheGameWithTheSystemsMessage)
{
    Build("page version: 116; result: none\n"
          "VarNew name: n; type: int; value: 5; continue: yes\n"
          "GameLoad slot: 3\n"
          "Wait time: 30\n"
          "Calc expr: n = 9\n"
          "Wait\n");
    const std::string save_file = (game() / "save.dat").string();
    ASSERT_TRUE(ReplaceSaveEntries(save_file, {{"GAMESAVEDATA3", std::string("\x8c\0\0\0\x05\0\0", 7), 1}}));
    std::string vars, components, errors;
    Play(6, vars, components, errors);
    EXPECT_NE(errors.find("GAMESAVEDATA3"), std::string::npos) << errors;
    // The game stopped: the script never reached the change after the load.
    EXPECT_EQ(vars.find(IntVar("n", "global", 9)), std::string::npos) << vars;
}

}  // namespace
}  // namespace mobu
