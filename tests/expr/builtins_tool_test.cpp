// mobupack expr with several texts, declared variables and game folders: the functions that
// reach files, and the "nothing there" answers of those that need a screen, a component list,
// display modes or a call stack, which the tool does not have.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    std::string out;
    int status = 0;
};

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ToolRun RunTool(const std::vector<std::string>& arguments, bool with_errors = false)
{
    std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack expr";
    for (const std::string& argument : arguments) command += " " + ShellQuoted(argument);
    command += with_errors ? " 2>&1" : " 2>/dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The "= result" lines of a run, in order.
std::vector<std::string> Results(const ToolRun& run)
{
    std::vector<std::string> results;
    size_t start = 0;
    while (start < run.out.size()) {
        size_t end = run.out.find('\n', start);
        if (end == std::string::npos) end = run.out.size();
        std::string line = run.out.substr(start, end - start);
        if (line.rfind("= ", 0) == 0) results.push_back(line.substr(2));
        start = end + 1;
    }
    return results;
}

std::string Result(const std::vector<std::string>& texts, const std::vector<std::string>& options = {})
{
    std::vector<std::string> arguments = options;
    arguments.push_back("--");
    arguments.insert(arguments.end(), texts.begin(), texts.end());
    std::vector<std::string> results = Results(RunTool(arguments));
    return results.empty() ? "(no output)" : results.back();
}

TEST(BuiltinsTool, OneTextPrintsWhatItPrintedBefore)
{
    EXPECT_EQ(RunTool({"1 + 2 * 3"}).out, "ocMul ____0 = 2, 3\nocPlus ____1 = 1, ____0\nocTo ____arg = ____1\n= 7\n");
}

TEST(BuiltinsTool, TextsRunInOrderOnOneTable)
{
    ToolRun run = RunTool({"--var", "int:n", "--var", "string:s", "--", "n = 4", "s = IntToStr(n * 2)", "s ++ \"!\""});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Results(run), (std::vector<std::string>{"(none)", "(none)", "\"8!\""}));
}

TEST(BuiltinsTool, ABadTextStopsAfterTheEarlierOnesAndABadCommandLineExitsTwo)
{
    ToolRun run = RunTool({"1 + 1", "a = (b", "2 + 2"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Results(run), (std::vector<std::string>{"2"}));
    EXPECT_EQ(RunTool({"--var", "blob:x", "1"}).status, 2);
    EXPECT_EQ(RunTool({"--var", "int:", "1"}).status, 2);
    EXPECT_EQ(RunTool({"--nonsense", "1"}).status, 2);
    EXPECT_EQ(RunTool({}).status, 2);
}

TEST(BuiltinsTool, DumpVarsWritesTheTableAfterTheLastText)
{
    const fs::path dump = fs::temp_directory_path() / ("builtins_dump_" + std::to_string(getpid()) + ".json");
    RunTool({"--var", "int:n", "--dump-vars", dump.string(), "--", "n = 41", "n = n + 1"});
    std::ifstream in(dump);
    std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(json.find("\"name\": \"n\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"value\": 42"), std::string::npos) << json;
    fs::remove(dump);
}

// Without a screen, component list, display or call stack every function answers "nothing
// there" and none says it is unavailable.
TEST(BuiltinsTool, NothingThereAnswers)
{
    struct Case {
        std::vector<std::string> texts;
        const char* expected;
    };
    const Case cases[] = {
        {{"Exists(\"box\")"}, "FALSE"},
        {{"Exists(\"\")"}, "FALSE"},
        {{"ListCompo(a)"}, "0"},
        {{"ListCompo(a, 2, \"p\")"}, "0"},
        {{"a = \"x\"", "ListCompo(a)", "a"}, "\"\""},
        {{"ToClientX(\"box\", 5)"}, "5"},
        {{"ToClientY(\"box\", -5)"}, "-5"},
        {{"ToScreenX(\"box\", 7)"}, "7"},
        {{"ToScreenY(\"box\", 8)"}, "8"},
        {{"InPrimary(\"box\")"}, "FALSE"},
        {{"InCabinet(\"box\")"}, "FALSE"},
        {{"GetCheck(\"m\", 0)"}, "FALSE"},
        {{"GetEnabled(\"m\", 0)"}, "FALSE"},
        {{"GetVisible(\"m\", \"x\")"}, "FALSE"},
        {{"GetSelected(\"m\", 0)"}, "FALSE"},
        {{"GetGroupIndex(\"m\", 0)"}, "0"},
        {{"IndexOfMenu(\"m\", \"x\")"}, "-1"},
        {{"GetDisplayMode(0, w, h, b, r)"}, "FALSE"},
        {{"SaveScreen(\"mem:shot.fsk\")"}, "FALSE"},
        {{"DeleteStack(0)"}, "FALSE"},
        {{"SetWallPaper(\"\", 0)"}, "FALSE"},
        {{"@DisplayModeCount"}, "0"},
        {{"@DisplayModeIndex"}, "-1"},
        {{"@FullScr"}, "FALSE"},
        {{"@IsDebug"}, "FALSE"},
        {{"@KeyPush"}, "FALSE"},
        {{"@KeyPush[13]"}, "FALSE"},
        {{"@KeyClick[257]"}, "FALSE"},
        {{"GetArraySize(@KeyRepeat)"}, "258"},
        {{"@ActiveCompo"}, "\"\""},
        {{"@Title"}, "\"\""},
        {{"@ScrWidth"}, "0"},
        // No saved games and no history: no slots, only the empty default format.
        {{"GetSaveCaption(0)"}, "\"\""},
        {{"ListSaveCaption(a)"}, "0"},
        {{"GetHistoryCount(\"x\")"}, "-1"},
        {{"GetHistoryMaxCount(\"x\")"}, "-1"},
        {{"SetHistoryMaxCount(\"x\", 5)"}, "FALSE"},
        {{"GetHistoryCount(\"\")"}, "0"},
        {{"@HistoryCount"}, "0"},
        {{"@HistoryMaxCount"}, "0"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> texts = c.texts;
        EXPECT_EQ(Result(texts, {"--var", "string:a", "--var", "int:w", "--var", "int:h", "--var", "int:b", "--var",
                                 "int:r"}),
                  c.expected)
            << texts.back();
    }
}

// Past either end of a key array the subscript error stops the expression.
TEST(BuiltinsTool, KeyArraySubscriptsOutsideStop)
{
    for (const char* text : {"@KeyPush[258]", "@KeyClick[-1]", "@KeyRepeat[1000]"}) {
        ToolRun run = RunTool({text}, true);
        EXPECT_NE(run.out.find("stopped: "), std::string::npos) << text << "\n" << run.out;
    }
    EXPECT_EQ(RunTool({"@KeyPush[257]"}, true).out.find("stopped: "), std::string::npos);
}

class BuiltinsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("builtins_files_" + std::to_string(getpid()));
        fs::remove_all(root);
        game = root / "game";
        fs::create_directories(game / "data");
        Write(game / "data" / "crlf.txt", "one\r\ntwo\r\n");
        Write(game / "data" / "lf.txt", "one\ntwo");
        Write(game / "data" / "cr.txt", "one\rtwo\r\rthree\r");
        Write(game / "data" / "empty.txt", "");
        Write(game / "start.msb", "page");
    }
    void TearDown() override { fs::remove_all(root); }
    static void Write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string In(const std::vector<std::string>& texts)
    {
        return Result(texts, {"--game", game.string(), "--var", "string:a", "--var", "flag:f"});
    }
    fs::path root, game;
};

TEST_F(BuiltinsFiles, FileExistsAndLoadTextFile)
{
    struct Case {
        std::vector<std::string> texts;
        const char* expected;
    };
    const Case cases[] = {
        {{"FileExists(\"data\\\\lf.txt\")"}, "TRUE"},
        {{"FileExists(\"DATA\\\\LF.TXT\")"}, "TRUE"},
        {{"FileExists(\"data\\\\none.txt\")"}, "FALSE"},
        {{"FileExists(\"..\\\\game\\\\start.msb\")"}, "FALSE"},
        {{"FileExists(\"/etc/passwd\")"}, "FALSE"},
        {{"FileExists(\"\")"}, "FALSE"},
        {{"LoadTextFile(a, \"data\\\\crlf.txt\")"}, "TRUE"},
        {{"LoadTextFile(a, \"data\\\\crlf.txt\")", "ArrayToString(a, \"|\")"}, "\"one|two\""},
        {{"LoadTextFile(a, \"data\\\\lf.txt\")", "ArrayToString(a, \"|\")"}, "\"one|two\""},
        {{"LoadTextFile(a, \"data\\\\cr.txt\")", "ArrayToString(a, \"|\")"}, "\"one|two||three\""},
        {{"LoadTextFile(a, \"data\\\\cr.txt\")", "GetArraySize(a)"}, "4"},
        {{"LoadTextFile(a, \"data\\\\empty.txt\")"}, "FALSE"},
        {{"LoadTextFile(a, \"data\\\\none.txt\")"}, "FALSE"},
        {{"LoadTextFile(3, \"data\\\\lf.txt\")"}, "FALSE"},
    };
    for (const Case& c : cases) EXPECT_EQ(In(c.texts), c.expected) << c.texts.back();
}

TEST_F(BuiltinsFiles, CopyFileStaysAmongMemoryFiles)
{
    struct Case {
        std::vector<std::string> texts;
        const char* expected;
    };
    const Case cases[] = {
        {{"CopyFile(\"mem:a\", \"mem:b\")"}, "FALSE"},  // no source
        {{"SaveScreen(\"mem:a.fsk\")", "CopyFile(\"data\\\\lf.txt\", \"mem:b\")"}, "FALSE"},
        // A memory file named like a game file would hide it: refused.
        {{"CopyFile(\"mem:a\", \"start.msb\")"}, "FALSE"},
    };
    for (const Case& c : cases) EXPECT_EQ(In(c.texts), c.expected) << c.texts.back();
}

}  // namespace
