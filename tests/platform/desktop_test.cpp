// The desktop the Linux way: which addresses OpenUrl opens and how (a stub xdg-open first on
// PATH records its argument vector), the file dialogs' filters, start folder, helper
// arguments and output, the display-mode choice, and the font names against fc-list.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "platform/desktop_open.h"
#include "platform/display_modes.h"
#include "platform/file_dialogs.h"
#include "platform/font_lookup.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

// A folder first on PATH with stub programs; restores PATH and the display variables after.
class StubPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("desktop_stubs_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const char* name : {"PATH", "DISPLAY", "WAYLAND_DISPLAY", "HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("PATH", (folder.string() + ":/usr/bin:/bin").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
        fs::remove_all(folder);
    }
    // A stub that writes each argument on its own line into `record`, then prints `output`
    // and exits with `status`.
    void Stub(const std::string& name, const std::string& output = "", int status = 0)
    {
        const fs::path path = folder / name;
        std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" +
                                   (folder / (name + ".args")).string() + "'\nprintf '%s' '" + output + "'\nexit " +
                                   std::to_string(status) + "\n";
        chmod(path.c_str(), 0755);
    }
    std::string WaitForArgs(const std::string& name)
    {
        const fs::path path = folder / (name + ".args");
        for (int i = 0; i < 200 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return run_tools::ReadAll(path);
    }
    fs::path folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST(Desktop, OnlyWebAndMailAddressesWithoutBlanksOpen)
{
    struct Case {
        const char* target;
        bool opens;
    };
    const Case cases[] = {
        {"http://example.com/", true},       {"HTTPS://example.com/a?b=c", true},
        {"mailto:a@example.com", true},      {"https://x/;touch${IFS}f$(id)", true},  // no shell sees it
        {"ftp://example.com/", false},       {"file:///etc/passwd", false},   {"javascript:alert(1)", false},
        {"-h", false},                       {"/tmp", false},                 {"http://a b", false},
        {"http://a\tb", false},              {"http://a\nb", false},          {"http://a\x7f", false},
        {"", false},                         {"http:/x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOpenableUrl(c.target), c.opens) << c.target;
}

TEST_F(StubPath, OpenUrlRunsXdgOpenWithTheTargetAlone)
{
    Stub("xdg-open");
    const std::string target = "https://x/;touch${IFS}f$(id)";
    ASSERT_TRUE(OpenUrlWithDesktop(target));
    EXPECT_EQ(WaitForArgs("xdg-open"), target + "\n");
    EXPECT_FALSE(fs::exists("f"));
    EXPECT_FALSE(OpenUrlWithDesktop("file:///etc/passwd"));
}

TEST_F(StubPath, ManyOpensLeaveNoZombie)
{
    Stub("xdg-open");
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(OpenUrlWithDesktop("http://example.com/" + std::to_string(i)));
    // Every child is reaped: none is left to wait for.
    for (int i = 0; i < 1000; ++i) {
        if (waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::string zombies;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string stat = run_tools::ReadAll(entry.path() / "stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 4 >= stat.size()) continue;
        if (stat[close + 2] == 'Z' && stat.find(" " + std::to_string(getpid()) + " ", close) == close + 3)
            zombies += stat + "\n";
    }
    EXPECT_EQ(zombies, "");
}

TEST(Desktop, WindowsFilterText)
{
    auto filters = ParseWindowsFilter("Text (*.txt)|*.txt;*.log|All (*.*)|*.*");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].name, "Text (*.txt)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.txt", "*.log"}));
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.*"}));
    EXPECT_TRUE(ParseWindowsFilter("").empty());
    EXPECT_TRUE(ParseWindowsFilter("Name only").empty());
    EXPECT_TRUE(ParseWindowsFilter("Blank| ; ").empty());
    EXPECT_EQ(ParseWindowsFilter("|*.a").at(0).name, "*.a");
}

TEST(Desktop, DialogOutputIsOneLine)
{
    EXPECT_EQ(ParseDialogOutput("/home/u/a.txt\n"), std::optional<std::string>("/home/u/a.txt"));
    EXPECT_EQ(ParseDialogOutput("/home/u/a.txt"), std::optional<std::string>("/home/u/a.txt"));
    EXPECT_EQ(ParseDialogOutput(""), std::nullopt);
    EXPECT_EQ(ParseDialogOutput("\n"), std::nullopt);
    EXPECT_EQ(ParseDialogOutput("/a\n/b\n"), std::nullopt);
    EXPECT_EQ(ParseDialogOutput(std::string("/a\0b", 4)), std::nullopt);
}

TEST_F(StubPath, DesktopFolderFromUserDirs)
{
    const fs::path home = folder / "home";
    fs::create_directories(home / ".config");
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DesktopFolder(), home.string());
    std::ofstream(home / ".config" / "user-dirs.dirs") << "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
    EXPECT_EQ(DesktopFolder(), (home / "Schreibtisch").string());
}

TEST_F(StubPath, ZenityIsAskedFirstAndItsLineIsTheChoice)
{
    setenv("DISPLAY", ":77", 1);
    setenv("HOME", folder.c_str(), 1);
    Stub("zenity", "/tmp/chosen file.txt\n");
    Stub("kdialog", "/tmp/other.txt\n");
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Save, "Text (*.txt)|*.txt;*.log"),
              std::optional<std::string>("/tmp/chosen file.txt"));
    EXPECT_EQ(run_tools::ReadAll(folder / "zenity.args"), "--file-selection\n--save\n--confirm-overwrite\n--filename=" +
                                                 folder.string() + "/\n--file-filter=Text (*.txt) | *.txt *.log\n");
    EXPECT_FALSE(fs::exists(folder / "kdialog.args"));
}

TEST_F(StubPath, CancelAndBadOutputGiveNothing)
{
    setenv("DISPLAY", ":77", 1);
    Stub("zenity", "", 1);
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Open, ""), std::nullopt);
    Stub("zenity", "/a\n/b\n", 0);
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Open, ""), std::nullopt);
}

TEST_F(StubPath, KdialogWhenThereIsNoZenityAndNothingWithoutADisplay)
{
    setenv("DISPLAY", ":77", 1);
    setenv("HOME", folder.c_str(), 1);
    setenv("PATH", folder.c_str(), 1);  // no zenity anywhere
    Stub("kdialog", "/tmp/folder\n");
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Folder, ""), std::optional<std::string>("/tmp/folder"));
    EXPECT_EQ(run_tools::ReadAll(folder / "kdialog.args"), "--getexistingdirectory\n" + folder.string() + "\n");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Folder, ""), std::nullopt);
}

// The window's hooks run around the helper: once before, while it runs, once after.
TEST_F(StubPath, DialogHooksRunAroundTheHelper)
{
    setenv("DISPLAY", ":77", 1);
    std::ofstream(folder / "zenity") << "#!/bin/sh\nsleep 0.2\necho /tmp/slow.txt\n";
    chmod((folder / "zenity").c_str(), 0755);
    int begun = 0, waited = 0, ended = 0;
    SetDialogHooks({[&] { ++begun; }, [&] { ++waited; }, [&] { ++ended; }});
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Open, ""), std::optional<std::string>("/tmp/slow.txt"));
    EXPECT_EQ(begun, 1);
    EXPECT_GE(waited, 2);
    EXPECT_EQ(ended, 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(ShowFileDialog(TFileDialogKind::Open, ""), std::nullopt);
    EXPECT_EQ(begun, 1);  // no dialog, no hooks
    SetDialogHooks({});
}

TEST(Desktop, KdialogFilterArguments)
{
    auto argv = KdialogArguments(TFileDialogKind::Open, ParseWindowsFilter("Text|*.txt;*.log|All|*.*"), "/d");
    EXPECT_EQ(argv, (std::vector<std::string>{"kdialog", "--getopenfilename", "/d", "*.txt *.log|Text\n*.*|All"}));
}

TEST(Desktop, DisplayModeChoice)
{
    using M = TDisplayMode;
    // width, height, rate, depth
    const std::vector<M> modes = {{1024, 768, 60, 32}, {640, 480, 60, 16}, {640, 480, 75, 32}, {640, 480, 85, 32},
                                  {640, 480, 100, 16}};
    EXPECT_EQ(ChooseDisplayMode({}, 640, 480, 32), -1);
    EXPECT_EQ(ChooseDisplayMode(modes, 800, 600, 32), 0);  // no mode of the preferred size
    EXPECT_EQ(ChooseDisplayMode(modes, 640, 480, 32), 3);  // desktop depth, highest rate
    EXPECT_EQ(ChooseDisplayMode(modes, 640, 480, 16), 4);  // the desktop's depth at a higher rate
    EXPECT_EQ(ChooseDisplayMode({modes[0], modes[4], modes[1]}, 640, 480, 16), 1);  // 60 Hz never replaces 100
}

// fc-list's families (every name of each), and those of mono, dual or char-cell spacing.
std::set<std::string> FcListFamilies(const std::string& pattern)
{
    std::set<std::string> names;
    FILE* pipe = popen(("fc-list '" + pattern + "' family 2>/dev/null").c_str(), "r");
    if (!pipe) return names;
    char line[4096];
    while (fgets(line, sizeof line, pipe)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || (text[i] == ',' && (i == 0 || text[i - 1] != '\\'))) {
                std::string name = text.substr(start, i - start);
                std::string unescaped;
                for (size_t k = 0; k < name.size(); ++k)
                    if (!(name[k] == '\\' && k + 1 < name.size())) unescaped += name[k];
                if (!unescaped.empty()) names.insert(unescaped);
                start = i + 1;
            }
        }
    }
    pclose(pipe);
    return names;
}

TEST(Desktop, FontFamiliesAgreeWithFcList)
{
    std::set<std::string> all = FcListFamilies(":");
    std::set<std::string> fixed = FcListFamilies(":spacing=mono");
    for (const std::string& name : FcListFamilies(":spacing=dual")) fixed.insert(name);
    for (const std::string& name : FcListFamilies(":spacing=charcell")) fixed.insert(name);
    std::vector<std::string> listed = ListFontFamilies(false);
    std::vector<std::string> listed_fixed = ListFontFamilies(true);
    std::set<std::string> listed_set(listed.begin(), listed.end()), listed_fixed_set(listed_fixed.begin(), listed_fixed.end());
    for (const std::string& name : all) EXPECT_TRUE(listed_set.count(name)) << name;
    for (const std::string& name : fixed) EXPECT_TRUE(listed_fixed_set.count(name)) << name;
    for (const std::string& name : listed_fixed) {
        if (name.rfind("MS", 0) == 0 || name.rfind("\xEF\xBC\xAD\xEF\xBC\xB3", 0) == 0) continue;  // aliases
        EXPECT_TRUE(fixed.count(name)) << name;
    }
    if (all.count("IPAGothic")) {
        EXPECT_TRUE(listed_fixed_set.count("\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"));
        EXPECT_TRUE(listed_fixed_set.count("IPAGothic"));
    }
    if (all.count("IPAPGothic")) {
        EXPECT_FALSE(listed_fixed_set.count("IPAPGothic"));
        EXPECT_FALSE(listed_fixed_set.count(
            "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"));
        EXPECT_TRUE(listed_set.count("\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"));
    }
}

}  // namespace
}  // namespace mobu
