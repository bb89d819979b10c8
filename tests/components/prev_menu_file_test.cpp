// The preview-menu file reader and its source text over fixtures of every version written by
// tests/data/prev_menu/make_mmt_fixtures.py, the damaged files it writes, the writer's round
// trip, the source reader, the path rules, and `mobupack mmt` with the build step.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <fstream>
#include <sstream>
#include <string>

#include "components/prev_menu_file.h"
#include "components/prev_menu_source.h"
#include "core/mobu_error.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::string Fixture(const std::string& name)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/prev_menu/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(PrevMenuFile, EveryVersionReadsTheFieldsItHolds)
{
    for (int version = kPrevMenuFirstVersion; version <= kPrevMenuLastVersion; ++version) {
        const std::string name = "v" + std::to_string(version);
        const std::string bytes = Fixture(name + ".mmt");
        ASSERT_FALSE(bytes.empty()) << name;
        const TPrevMenuFile file = ReadPrevMenuFile(bytes);
        EXPECT_EQ(file.Version, version);
        ASSERT_EQ(file.Buttons.size(), 3u) << name;
        EXPECT_EQ(PrevMenuSourceText(file), Fixture(name + ".txt")) << name;
        // Written back in the same version: the same bytes.
        EXPECT_EQ(WritePrevMenuFile(file) == bytes, version != 103) << name;  // 103 has a negative size
    }
}

TEST(PrevMenuFile, DamagedFilesFailWithTheirMessages)
{
    struct TCase {
        const char* fixture;
        std::string message;
    };
    const TCase cases[] = {
        {"bad_version.mmt", prev_menu_messages::BadVersion()},
        {"bad_magic.mmt", prev_menu_messages::BadFormat()},
        {"huge_count.mmt", prev_menu_messages::BadFormat()},
        {"long_string.mmt", prev_menu_messages::BadFormat()},
    };
    for (const TCase& c : cases) {
        const std::string bytes = Fixture(c.fixture);
        ASSERT_FALSE(bytes.empty()) << c.fixture;
        try {
            ReadPrevMenuFile(bytes);
            ADD_FAILURE() << c.fixture << " was read";
        } catch (const EMobuError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.fixture;
        }
    }
    // Every cut of a good file fails cleanly.
    const std::string good = Fixture("v106.mmt");
    for (size_t keep = 0; keep < good.size(); keep += 7) {
        const std::string cut = good.substr(0, keep);
        EXPECT_THROW(ReadPrevMenuFile(cut), EMobuError) << keep;
    }
    const std::string digits = "MobuPrevMenu1x6";
    EXPECT_THROW(ReadPrevMenuFile(digits + std::string(12, '\0')), EMobuError);
}

TEST(PrevMenuFile, DefaultNamesAndPathRules)
{
    EXPECT_EQ(DefaultButtonName(0), "Button00");
    EXPECT_EQ(DefaultButtonName(7), "Button07");
    EXPECT_EQ(DefaultButtonName(123), "Button123");
    struct TCase {
        const char* file;
        const char* path;
        const char* game_path;
    };
    const TCase cases[] = {
        {"cg\\menu\\a.mmt", "b.fsk", "cg\\menu\\b.fsk"},
        {"cg\\menu\\a.mmt", "", ""},
        {"cg\\menu\\a.mmt", "\\sys\\b.fsk", "sys\\b.fsk"},
        {"cg\\menu\\a.mmt", "C:\\b.fsk", "C:\\b.fsk"},
        {"cg\\menu\\a.mmt", "..\\b.fsk", "cg\\b.fsk"},
        {"cg\\menu\\a.mmt", "..\\..\\b.fsk", "b.fsk"},
        {"cg\\menu\\a.mmt", "..\\..\\..\\..\\b.fsk", "b.fsk"},  // never above the game root
        {"a.mmt", "sub\\b.fsk", "sub\\b.fsk"},
        {"\x95\x5c\\a.mmt", "b.fsk", "\x95\x5c\\b.fsk"},  // 表: its trail byte is not a separator
    };
    for (const TCase& c : cases) EXPECT_EQ(ResolvePrevMenuPath(c.file, c.path), c.game_path) << c.path;
}

TEST(PrevMenuFile, SourceTextReadsBackAndRefusesBadLines)
{
    const TPrevMenuFile file = ReadPrevMenuFile(Fixture("v106.mmt"));
    const TPrevMenuFile back = ReadPrevMenuSource(PrevMenuSourceText(file));
    EXPECT_EQ(back.Width, file.Width);
    EXPECT_EQ(back.Buttons, file.Buttons);
    // Missing keys read as empty or 0; outer spaces survive in quotes; the version is ignored.
    const TPrevMenuFile small = ReadPrevMenuSource("[menu]\nversion = 100\nwidth = 5\n[button]\nname = \" a \"\n"
                                                   "capture_mask = yes\n# a comment\n[button]\n");
    EXPECT_EQ(small.Version, kPrevMenuLastVersion);
    ASSERT_EQ(small.Buttons.size(), 2u);
    EXPECT_EQ(small.Buttons[0].Name, " a ");
    EXPECT_TRUE(small.Buttons[0].CaptureMask);
    EXPECT_EQ(small.Buttons[1], TPrevMenuRecord{});
    TPrevMenuFile spaced;
    spaced.Buttons.resize(1);
    spaced.Buttons[0].Name = " x";
    spaced.Buttons[0].Cursor = "\"q";
    EXPECT_EQ(ReadPrevMenuSource(PrevMenuSourceText(spaced)).Buttons, spaced.Buttons);
    for (const char* bad : {"[menu]\nwidth = 5x\n", "[button]\nx = 99999999999\n", "[button]\nfoo = 1\n",
                            "name = a\n", "[button]\ncapture_mask = maybe\n", "[button]\njust words\n"})
        EXPECT_THROW(ReadPrevMenuSource(bad), EMobuError) << bad;
}

// `mobupack mmt` prints each fixture as its source text; a damaged file gives the reader's
// message and status 1; a built source prints back to the same source, and building the
// print of a version-106 file gives the same bytes.
TEST(PrevMenuFile, MobupackPrintsAndBuildsPreviewMenus)
{
    namespace fs = std::filesystem;
    const fs::path scratch = fs::temp_directory_path() / ("mobu_mmt_tool_" + std::to_string(getpid()));
    fs::create_directories(scratch / "source" / "cg");
    const std::string tool = std::string(MOBU_BINARY_DIR) + "/mobupack";
    const std::string data = std::string(MOBU_SOURCE_DIR) + "/tests/data/prev_menu/";
    auto slurp = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    for (int version = kPrevMenuFirstVersion; version <= kPrevMenuLastVersion; ++version) {
        const std::string name = "v" + std::to_string(version);
        const std::string command = tool + " mmt " + data + name + ".mmt >" + (scratch / "out.txt").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << name;
        EXPECT_EQ(slurp(scratch / "out.txt"), Fixture(name + ".txt")) << name;
    }
    const std::string bad = tool + " mmt " + data + "bad_version.mmt >/dev/null 2>" + (scratch / "err.txt").string();
    const int status = std::system(bad.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(slurp(scratch / "err.txt"), Cp932ToUtf8(prev_menu_messages::BadVersion()) + "\n");
    // Build the print of the version-106 fixture inside a one-page game.
    std::ofstream(scratch / "source" / "project.ini") << "[project]\ntitle = t\nscreen = 64x48\nstart_page = start.msb\n";
    std::ofstream(scratch / "source" / "start.mss") << "page version: 116; result: none\n";
    std::ofstream(scratch / "source" / "cg" / "m.mmt.ini") << Fixture("v106.txt");
    const std::string build = tool + " build " + (scratch / "source").string() + " " + (scratch / "game").string() +
                              " >" + (scratch / "build.txt").string() + " 2>&1";
    ASSERT_EQ(std::system(build.c_str()), 0) << slurp(scratch / "build.txt");
    const std::string extract = tool + " cat " + (scratch / "game" / "game.dat").string() + " cg\\\\m.mmt >" +
                                (scratch / "built.mmt").string();
    ASSERT_EQ(std::system(extract.c_str()), 0);
    EXPECT_EQ(slurp(scratch / "built.mmt"), Fixture("v106.mmt"));
    fs::remove_all(scratch);
}

}  // namespace
}  // namespace mobu
