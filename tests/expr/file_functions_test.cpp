// CopyFile among memory files, ExtractFile's name patterns and target folders, and the
// functions that need a display or desktop answering without one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "archive/save_entry_writer.h"
#include "archive/vr_file_manager.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "expr/sys_funcs.h"
#include "platform/message_box.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class FileFunctions : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("file_functions_" + std::to_string(getpid()));
        fs::remove_all(root);
        game = root / "game";
        fs::create_directories(game / "data");
        fs::create_directories(root / "outside");
        fs::create_directory_symlink(root / "outside", game / "link");
        Write(game / "data" / "a1.txt", "A1");
        Write(game / "data" / "a2.txt", "A2");
        Write(game / "data" / "b.dat", "B");
        Write(game / "data" / "\x82\xa0x.txt", "J");  // cp932 name bytes: a two-byte character
        ResetVrFileManager();
        VrFileManager().AddArchive("");
        VrFileManager().SetBaseFolder(game.string());
        VrFileManager().AddArchive(game.string());
        table.AddVariable("a", PT_STR);
        functions.DialogsAllowed = false;
    }
    void TearDown() override
    {
        fs::remove_all(root);
        ResetVrFileManager();
        SetSaveEntryWriter(nullptr);
    }
    static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::string Eval(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        TMobuParser parser;
        parser.LoadFromBytes(compiler.ToStream());
        parser.Execute(functions);
        return parser.Result() ? parser.Result()->GetString() : "(none)";
    }
    std::vector<std::string> Listing(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root, game;
    TParamCollection table;
    TSysFuncMan functions{table};
};

TEST_F(FileFunctions, CopyFileAmongMemoryFiles)
{
    WriteMemoryFile("mem:a", "bytes");
    EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"mem:b\")"), "TRUE");
    EXPECT_EQ(VrFileManager().ReadFile("mem:b"), "bytes");
    // The same file under another case: nothing is emptied.
    EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"MEM:A\")"), "TRUE");
    EXPECT_EQ(VrFileManager().ReadFile("mem:a"), "bytes");
    // A memory file named like a game file would hide the game's file.
    EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"data\\\\a1.txt\")"), "FALSE");
    EXPECT_EQ(VrFileManager().ReadFile("data\\a1.txt"), "A1");
    EXPECT_EQ(Eval("CopyFile(\"data\\\\a1.txt\", \"mem:c\")"), "FALSE");
    EXPECT_EQ(Eval("CopyFile(\"mem:none\", \"mem:c\")"), "FALSE");
    EXPECT_FALSE(VrFileManager().Exists("mem:c"));
    // Without a save file to take it, a "save:" copy is kept for this run but answers FALSE.
    EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"save:u\")"), "FALSE");
    EXPECT_EQ(VrFileManager().ReadFile("save:u"), "bytes");
    // A "save:" destination also goes to the save file.
    std::vector<std::pair<std::string, std::string>> saved;
    SetSaveEntryWriter([&](const std::string& name, std::string_view bytes) {
        saved.emplace_back(name, std::string(bytes));
        return true;
    });
    EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"save:s\")"), "TRUE");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0], std::make_pair(std::string("save:s"), std::string("bytes")));
    // A save file that refuses: FALSE.
    SetSaveEntryWriter([](const std::string&, std::string_view) { return false; });
    EXPECT_EQ(Eval("CopyFile(\"mem:a\", \"save:t\")"), "FALSE");
}

// A 2 GB file (sparse: it takes no disk) is refused before anything is read.
TEST_F(FileFunctions, LoadTextFileRefusesAHugeFile)
{
    Write(game / "data" / "huge.txt", "x");
    fs::resize_file(game / "data" / "huge.txt", uintmax_t{2} << 30);
    EXPECT_EQ(Eval("LoadTextFile(a, \"data\\\\huge.txt\")"), "FALSE");
    Write(game / "data" / "small.txt", "a\r\nb");
    EXPECT_EQ(Eval("LoadTextFile(a, \"data\\\\small.txt\")"), "TRUE");
    EXPECT_EQ(Eval("ArrayToString(a, \"|\")"), "a|b");
}

TEST(Wildcards, NamePatterns)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.txt", "a1.TXT", true},   {"a?.txt", "a1.txt", true},  {"a?.txt", "a12.txt", false},
        {"*", "", true},             {"?", "", false},            {"\x82\xa0*", "\x82\xa0x.txt", true},
        {"?x.txt", "\x82\xa0x.txt", true},                        {"??x.txt", "\x82\xa0x.txt", false},
        {"A*B", "axxb", true},       {"a*b", "axxc", false},      {"*a*", "bab", true},
        {"\x82\xa0", "\x82\xa1", false},
    };
    for (const Case& c : cases) EXPECT_EQ(WildcardMatches(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST_F(FileFunctions, ExtractFileBelowTheBaseFolderOnly)
{
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\a*.txt\", FALSE, \"out\")"), "TRUE");
    EXPECT_EQ(Read(game / "out" / "a1.txt"), "A1");
    EXPECT_EQ(Read(game / "out" / "a2.txt"), "A2");
    EXPECT_FALSE(fs::exists(game / "out" / "b.dat"));
    // Unsafe folders become the base folder itself.
    for (const char* folder : {"/etc", "\\\\etc", "..\\\\..", "C:\\\\x"}) {
        fs::remove(game / "b.dat");
        EXPECT_EQ(Eval(std::string("ExtractFile(\"data\\\\b.dat\", FALSE, \"") + folder + "\")"), "TRUE") << folder;
        EXPECT_EQ(Read(game / "b.dat"), "B") << folder;
    }
    // A folder that is a link out of the game: FALSE, nothing written outside.
    const auto outside = Listing(root / "outside");
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\b.dat\", FALSE, \"link\")"), "FALSE");
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\b.dat\", FALSE, \"link\\\\deeper\")"), "FALSE");
    EXPECT_EQ(Listing(root / "outside"), outside);
    // No match, or no folder argument and no dialog: FALSE.
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\*.none\", FALSE, \"out\")"), "FALSE");
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\b.dat\")"), "FALSE");
}

TEST_F(FileFunctions, ExtractFileAsksBeforeReplacing)
{
    fs::create_directories(game / "out");
    Write(game / "out" / "a1.txt", "old1");
    Write(game / "out" / "a2.txt", "old2");
    std::vector<MessageButtons> asked;
    std::vector<MessageResult> answers;
    auto previous = SetMessageBoxPresenter([&](const MessageBoxRequest& request) {
        asked.push_back(request.buttons);
        MessageResult answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    answers = {MessageResult::No};
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\a1.txt\", TRUE, \"out\")"), "FALSE");
    EXPECT_EQ(asked, (std::vector<MessageButtons>{MessageButtons::YesNo}));
    EXPECT_EQ(Read(game / "out" / "a1.txt"), "old1");
    asked.clear();
    answers = {MessageResult::No, MessageResult::Yes};
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\a?.txt\", TRUE, \"out\")"), "TRUE");
    EXPECT_EQ(asked, (std::vector<MessageButtons>{MessageButtons::YesNoCancelAll, MessageButtons::YesNoCancelAll}));
    EXPECT_EQ(Read(game / "out" / "a1.txt"), "old1");
    EXPECT_EQ(Read(game / "out" / "a2.txt"), "A2");
    Write(game / "out" / "a2.txt", "old2");
    asked.clear();
    answers = {MessageResult::YesToAll};
    EXPECT_EQ(Eval("ExtractFile(\"data\\\\a?.txt\", TRUE, \"out\")"), "TRUE");
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(Read(game / "out" / "a1.txt"), "A1");
    EXPECT_EQ(Read(game / "out" / "a2.txt"), "A2");
    SetMessageBoxPresenter(previous);
}

TEST_F(FileFunctions, DialogsAndWallpaperAnswerFalseHere)
{
    Eval("a = \"kept\"");
    EXPECT_EQ(Eval("SelectOpenFile(a, \"Text|*.txt\")"), "FALSE");
    EXPECT_EQ(Eval("SelectSaveFile(a)"), "FALSE");
    EXPECT_EQ(Eval("SelectDirectory(a)"), "FALSE");
    EXPECT_EQ(Eval("a"), "kept");
    EXPECT_EQ(Eval("SetWallPaper(\"\", 1)"), "FALSE");
}

// The dialog helper's line becomes the variable's text: cp932 with "\" between the parts, a
// folder with a trailing "\"; a line cp932 cannot hold, or one holding "\", gives FALSE.
TEST_F(FileFunctions, DialogChoicesAsScriptPaths)
{
    const fs::path stubs = root / "stubs";
    fs::create_directories(stubs);
    const std::string saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
    const char* saved_display = std::getenv("DISPLAY");
    const std::string display = saved_display ? saved_display : "";
    setenv("PATH", (stubs.string() + ":/usr/bin:/bin").c_str(), 1);
    setenv("DISPLAY", ":77", 1);
    functions.DialogsAllowed = true;
    auto answer = [&](const std::string& line) {
        Write(stubs / "zenity", "#!/bin/sh\nprintf '%s\\n' '" + line + "'\n");
        fs::permissions(stubs / "zenity", fs::perms::owner_all);
    };
    struct Case {
        const char* line;
        const char* call;
        const char* result;
        const char* value;
    };
    const Case cases[] = {
        {"/home/u/\xe3\x81\x82.txt", "SelectOpenFile(a, \"Text|*.txt\")", "TRUE", "\\home\\u\\\x82\xa0.txt"},
        {"/home/u/b.txt", "SelectSaveFile(a)", "TRUE", "\\home\\u\\b.txt"},
        {"/home/u/dir", "SelectDirectory(a)", "TRUE", "\\home\\u\\dir\\"},
        {"/home/u/a\\b.txt", "SelectOpenFile(a)", "FALSE", "kept"},
        {"/home/u/\xf0\x9f\x98\x80.txt", "SelectOpenFile(a)", "FALSE", "kept"},
    };
    for (const Case& c : cases) {
        Eval("a = \"kept\"");
        answer(c.line);
        EXPECT_EQ(Eval(c.call), c.result) << c.line;
        EXPECT_EQ(Eval("a"), c.value) << c.line;
    }
    setenv("PATH", saved_path.c_str(), 1);
    if (saved_display) setenv("DISPLAY", display.c_str(), 1);
    else unsetenv("DISPLAY");
}

// kdialog's save dialog does not ask before an existing file is chosen, so the player asks:
// No keeps the variable and gives FALSE, Yes takes the file. zenity asks on its own.
TEST_F(FileFunctions, ASaveDialogThatDidNotAskIsFollowedByTheQuestion)
{
    const fs::path stubs = root / "stubs_kdialog";
    fs::create_directories(stubs);
    const fs::path existing = root / "taken.txt";
    Write(existing, "old");
    const std::string saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
    const char* saved_display = std::getenv("DISPLAY");
    const std::string display = saved_display ? saved_display : "";
    setenv("PATH", stubs.string().c_str(), 1);  // kdialog only
    setenv("DISPLAY", ":77", 1);
    functions.DialogsAllowed = true;
    Write(stubs / "kdialog", "#!/bin/sh\nprintf '%s\\n' '" + existing.string() + "'\n");
    fs::permissions(stubs / "kdialog", fs::perms::owner_all);
    std::vector<std::string> asked;
    MessageResult answer = MessageResult::No;
    MessageBoxPresenter previous = SetMessageBoxPresenter([&](const MessageBoxRequest& request) {
        asked.push_back(request.text);
        return answer;
    });
    Eval("a = \"kept\"");
    EXPECT_EQ(Eval("SelectSaveFile(a)"), "FALSE");
    EXPECT_EQ(Eval("a"), "kept");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find(expr_messages::ReplaceExistingFileQuestion("")), std::string::npos);
    answer = MessageResult::Yes;
    EXPECT_EQ(Eval("SelectSaveFile(a)"), "TRUE");
    EXPECT_NE(Eval("a"), "kept");
    // A file that does not exist yet is taken without a question; so is an open dialog's.
    fs::remove(existing);
    EXPECT_EQ(Eval("SelectSaveFile(a)"), "TRUE");
    EXPECT_EQ(asked.size(), 2u);
    SetMessageBoxPresenter(previous);
    setenv("PATH", saved_path.c_str(), 1);
    if (saved_display) setenv("DISPLAY", display.c_str(), 1);
    else unsetenv("DISPLAY");
}

}  // namespace
}  // namespace mobu
