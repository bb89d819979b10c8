#include "app/game_ini_text.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <set>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace mobu {
namespace {

struct TEditCase {
    const char* name;
    std::string before;
    std::vector<std::array<std::string, 3>> edits;  // section, key, value
    std::string after;
    bool oracle = true;  // Python's configparser reads the result back
};

std::vector<TEditCase> EditCases()
{
    return {
        {"empty file gets the section", "", {{"Sound", "DirectSound", "0"}, {"Sound", "DelayTime", "300"}},
         "[Sound]\r\nDirectSound=0\r\nDelayTime=300\r\n"},
        {"CRLF value replaced in place", "[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\n",
         {{"Sound", "DelayTime", "200"}}, "[Sound]\r\nDirectSound=1\r\nDelayTime=200\r\n"},
        {"LF kept, new key after the last non-blank line",
         "; options\n[Sound]\nDirectSound=1\n\n[Video]\nUseWMP=1\n", {{"Sound", "DelayTime", "100"}},
         "; options\n[Sound]\nDirectSound=1\nDelayTime=100\n\n[Video]\nUseWMP=1\n"},
        {"no final newline stays so", "[Sound]\nDirectSound=1", {{"Sound", "DelayTime", "400"}},
         "[Sound]\nDirectSound=1\nDelayTime=400"},
        {"no final newline, value replaced", "[Sound]\r\nDelayTime=500", {{"Sound", "DelayTime", "100"}},
         "[Sound]\r\nDelayTime=100"},
        {"missing section appended after a file without final newline", "[Video]\nUseWMP=0",
         {{"Sound", "DirectSound", "1"}}, "[Video]\nUseWMP=0\n[Sound]\nDirectSound=1\n"},
        {"BOM kept", "\xEF\xBB\xBF[Sound]\r\nDirectSound=1\r\n", {{"sound", "directsound", "0"}},
         "\xEF\xBB\xBF[Sound]\r\nDirectSound=0\r\n", false},
        {"blanks around = keep the spelling and the blank after =", "[ Sound ]\n  directsound =  1  \n",
         {{"Sound", "DirectSound", "0"}}, "[ Sound ]\n  directsound =  0\n", false},  // indented: a continuation to configparser
        {"cp932 bytes and comments untouched",
         "; \x93\xae\x8d\xec\x90\xdd\x92\xe8\r\n[Sound]\r\n; \x83\x52\x83\x81\x83\x93\x83\x67\r\nDelayTime=500\r\n"
         "[Extra]\r\nTitle=\x83\x5c\x83\x74\x83\x67\r\n",
         {{"Sound", "DelayTime", "300"}},
         "; \x93\xae\x8d\xec\x90\xdd\x92\xe8\r\n[Sound]\r\n; \x83\x52\x83\x81\x83\x93\x83\x67\r\nDelayTime=300\r\n"
         "[Extra]\r\nTitle=\x83\x5c\x83\x74\x83\x67\r\n"},
        {"duplicate sections and keys: the first of each is edited",
         "[Sound]\nDelayTime=100\nDelayTime=200\n[Sound]\nDelayTime=300\n", {{"Sound", "DelayTime", "500"}},
         "[Sound]\nDelayTime=500\nDelayTime=200\n[Sound]\nDelayTime=300\n", false},
        {"a key only in the second duplicate section goes into the first",
         "[Sound]\nA=1\n[Sound]\nDirectSound=1\n", {{"Sound", "DirectSound", "0"}},
         "[Sound]\nA=1\nDirectSound=0\n[Sound]\nDirectSound=1\n", false},
        {"a key in a comment is not a key", "[Sound]\n;DelayTime=100\n", {{"Sound", "DelayTime", "200"}},
         "[Sound]\n;DelayTime=100\nDelayTime=200\n"},
        {"an empty value gets its text", "[Sound]\nDelayTime=\n", {{"Sound", "DelayTime", "200"}},
         "[Sound]\nDelayTime=200\n"},
        {"trailing blank lines stay after the new key", "[Sound]\nA=1\n\n\n", {{"Sound", "B", "2"}},
         "[Sound]\nA=1\nB=2\n\n\n"},
        {"lines without = and unknown keys stay", "[Sound]\nstray line\nOther = x ; y\n",
         {{"Sound", "DirectSound", "1"}}, "[Sound]\nstray line\nOther = x ; y\nDirectSound=1\n", false},
    };
}

TEST(GameIniText, EditsChangeOnlyTheLinesTheyMust)
{
    for (const TEditCase& c : EditCases()) {
        TIniText ini(c.before);
        EXPECT_EQ(ini.Bytes(), c.before) << c.name << ": reading and writing back is the identity";
        for (const auto& edit : c.edits) ini.Set(edit[0], edit[1], edit[2]);
        EXPECT_EQ(ini.Bytes(), c.after) << c.name;
        TIniText again(ini.Bytes());
        for (const auto& edit : c.edits) EXPECT_EQ(again.Get(edit[0], edit[1]).value_or("(none)"), edit[2]) << c.name;
    }
}

// A lone CR closing the file ends its last line: it is not part of that line's value, the
// bytes read back unchanged, and a key added after it starts on a line of its own. A value
// that itself ends in CR keeps it when the line gains its line feed.
TEST(GameIniText, AClosingCarriageReturnEndsTheLastLine)
{
    struct TCase {
        std::string bytes, value;
    };
    const TCase cases[] = {{"[Sound]\nDirectSound=0\r", "0"},
                           {"[Sound]\nDirectSound=0\r\r", "0\r"},
                           {"[Sound]\r\nDirectSound=0\r\r", "0\r"}};
    for (const TCase& c : cases) {
        mobu::TIniText ini(c.bytes);
        EXPECT_EQ(ini.Bytes(), c.bytes);
        EXPECT_EQ(ini.Get("Sound", "DirectSound"), std::optional<std::string>(c.value));
        ini.Set("Sound", "DelayTime", "300");
        mobu::TIniText again(ini.Bytes());
        EXPECT_EQ(again.Get("Sound", "DirectSound"), std::optional<std::string>(c.value)) << ini.Bytes();
        EXPECT_EQ(again.Get("Sound", "DelayTime"), std::optional<std::string>("300"));
        ini.Set("Video", "UseWMP", "1");  // a new section after the last line
        mobu::TIniText third(ini.Bytes());
        EXPECT_EQ(third.Get("Sound", "DirectSound"), std::optional<std::string>(c.value)) << ini.Bytes();
        EXPECT_EQ(third.Get("Video", "UseWMP"), std::optional<std::string>("1"));
    }
}

TEST(GameIniText, LookupsUseTheFirstSectionAndKeyWithoutCase)
{
    TIniText ini("[sound]\nDELAYTIME = 200 \nDelayTime=300\n[Sound]\nDirectSound=0\n[Video]\nUseWMP=1\n");
    EXPECT_EQ(ini.Get("Sound", "DelayTime").value_or("-"), "200");
    EXPECT_FALSE(ini.Get("Sound", "DirectSound")) << "only the first [Sound] section is searched";
    EXPECT_EQ(ini.Get("VIDEO", "usewmp").value_or("-"), "1");
    EXPECT_FALSE(ini.Get("Missing", "Key"));
}

// Python's configparser is the oracle for the values of every result it can read.
TEST(GameIniText, ConfigParserReadsTheResultsBack)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("mobu_ini_oracle_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::string expected;
    int index = 0;
    for (const TEditCase& c : EditCases()) {
        if (!c.oracle) continue;
        TIniText ini(c.before);
        for (const auto& edit : c.edits) ini.Set(edit[0], edit[1], edit[2]);
        std::ofstream(folder / (std::to_string(index) + ".ini"), std::ios::binary) << ini.Bytes();
        for (const auto& edit : c.edits) expected += std::to_string(index) + " " + edit[1] + "=" + edit[2] + "\n";
        ++index;
    }
    std::string script =
        "import configparser, sys, os\n"
        "folder = sys.argv[1]\n"
        "for index in range(" + std::to_string(index) + "):\n"
        "    p = configparser.ConfigParser(interpolation=None, comment_prefixes=(';', '#'), strict=False)\n"
        "    p.optionxform = str\n"
        "    p.read(os.path.join(folder, f'{index}.ini'), encoding='cp932')\n"
        "    for section in p.sections():\n"
        "        for key, value in p.items(section):\n"
        "            if key in ('DirectSound', 'DelayTime', 'UseWMP', 'B'):\n"
        "                print(index, f'{key}={value}')\n";
    std::ofstream(folder / "oracle.py") << script;
    std::string command = "python3 " + (folder / "oracle.py").string() + " " + folder.string();
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    ASSERT_EQ(::pclose(pipe), 0) << output;
    // The oracle prints every key of interest it found; each edited value must be among them.
    std::set<std::string> seen;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) seen.insert(line);
    std::istringstream wanted(expected);
    for (std::string line; std::getline(wanted, line);) EXPECT_TRUE(seen.count(line)) << line << "\n" << output;
    fs::remove_all(folder);
}

}  // namespace
}  // namespace mobu
