// The authoring tools' pitfalls: asm resolves a page's own labels by the page's name, append
// ships a player without debug sections and refuses what is no program, both programs say
// their version.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/durable_files.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

using Outcome = run_tools::TCommandOutcome;

Outcome Shell(const std::string& command) { return run_tools::RunCapturing(command); }

const std::string kBin = MOBU_BINARY_DIR;

class ToolPitfalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-pitfalls-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string At(const std::string& name) const { return "'" + (root_ / name).string() + "'"; }

    fs::path root_;
};

TEST_F(ToolPitfalls, AsmResolvesOwnLabelsByThePagesName)
{
    ASSERT_TRUE(ReplaceFileAtomically((root_ / "loop.mss").string(),
                                      "Wait time: 1\nLabel name: again\nJump page: loop.msb; target: again\n"));
    // OUT named otherwise: the source's name tells the page's.
    const Outcome by_source = Shell(kBin + "/mobupack asm " + At("loop.mss") + " " + At("scratch.bin"));
    EXPECT_EQ(by_source.status, 0) << by_source.output;
    EXPECT_NE(Shell(kBin + "/mobupack disasm " + At("scratch.bin")).output.find("target: 1;"), std::string::npos);
    // --page names it when the source is named otherwise.
    fs::rename(root_ / "loop.mss", root_ / "draft.mss");
    EXPECT_EQ(Shell(kBin + "/mobupack asm " + At("draft.mss") + " " + At("loop.msb")).status, 1);
    EXPECT_EQ(Shell(kBin + "/mobupack asm --page loop.msb " + At("draft.mss") + " " + At("x.msb")).status, 0);
}

// GetProp and SetProp take properties by their PR_ names; disasm prints the names and the
// listing assembles to the same bytes; an unknown name is an error at its line.
TEST_F(ToolPitfalls, PropertyNamesRoundTripThroughAsmAndDisasm)
{
    ASSERT_TRUE(ReplaceFileAtomically((root_ / "p.mss").string(),
                                      "VarNew name: v; type: int\nSetProp component: \"b\"; property: PR_TOP; value: 5\n"
                                      "GetProp component: \"b\"; property: PR_LEFT; variable: v\n"));
    ASSERT_EQ(Shell(kBin + "/mobupack asm " + At("p.mss") + " " + At("p.msb")).status, 0);
    const Outcome listing = Shell(kBin + "/mobupack disasm " + At("p.msb") + " > " + At("again.mss"));
    ASSERT_EQ(listing.status, 0) << listing.output;
    const std::string text = run_tools::ReadAll(root_ / "again.mss");
    EXPECT_NE(text.find("property: PR_TOP;"), std::string::npos) << text;
    EXPECT_NE(text.find("property: PR_LEFT;"), std::string::npos) << text;
    ASSERT_EQ(Shell(kBin + "/mobupack asm " + At("again.mss") + " " + At("again.msb")).status, 0);
    EXPECT_EQ(run_tools::ReadAll(root_ / "again.msb"), run_tools::ReadAll(root_ / "p.msb"));
    // The number the name stands for gives the same page.
    ASSERT_TRUE(ReplaceFileAtomically((root_ / "n.mss").string(),
                                      "VarNew name: v; type: int\nSetProp component: \"b\"; property: 4; value: 5\n"
                                      "GetProp component: \"b\"; property: 3; variable: v\n"));
    ASSERT_EQ(Shell(kBin + "/mobupack asm --page p.msb " + At("n.mss") + " " + At("n.msb")).status, 0);
    EXPECT_EQ(run_tools::ReadAll(root_ / "n.msb"), run_tools::ReadAll(root_ / "p.msb"));

    // Unknown names stop at their line with the nearest known name.
    struct Bad {
        const char* line;
        const char* message;
    };
    for (const Bad& c : {Bad{"SetProp component: \"b\"; property: PR_TOPP", "line 2: unknown property \"PR_TOPP\" (nearest: PR_TOP)"},
                         Bad{"Flip transition: WP_FADF", "line 2: unknown transition \"WP_FADF\" (nearest: WP_FADE)"},
                         Bad{"Flip transition: 1; mode: FL_STAI", "line 2: unknown flip mode \"FL_STAI\" (nearest: FL_STAY)"}}) {
        ASSERT_TRUE(ReplaceFileAtomically((root_ / "bad.mss").string(), std::string("Wait time: 1\n") + c.line + "\n"));
        const Outcome bad = Shell(kBin + "/mobupack asm " + At("bad.mss") + " " + At("bad.msb"));
        EXPECT_EQ(bad.status, 1) << c.line;
        EXPECT_NE(bad.output.find(c.message), std::string::npos) << bad.output;
    }
}

// Flip takes its transition by WP_ name and its mode by FL_ name, PropMotion its property by
// PR_ name; the listing prints the names and assembles to the same bytes as the numbers.
TEST_F(ToolPitfalls, TransitionFlipModeAndMotionPropertyNamesRoundTrip)
{
    ASSERT_TRUE(ReplaceFileAtomically((root_ / "f.mss").string(),
                                      "Flip transition: WP_FADE; duration: 500; mode: FL_STAY; names: \"a\"\n"
                                      "PropMotion motion: \"m\"; component: \"b\"; property: PR_ALPHA; value: 0; time: 100\n"));
    ASSERT_EQ(Shell(kBin + "/mobupack asm " + At("f.mss") + " " + At("f.msb")).status, 0);
    ASSERT_EQ(Shell(kBin + "/mobupack disasm " + At("f.msb") + " > " + At("f2.mss")).status, 0);
    const std::string text = run_tools::ReadAll(root_ / "f2.mss");
    for (const char* name : {"transition: WP_FADE;", "mode: FL_STAY;", "property: PR_ALPHA;"}) {
        EXPECT_NE(text.find(name), std::string::npos) << name << "\n" << text;
    }
    ASSERT_EQ(Shell(kBin + "/mobupack asm --page f.msb " + At("f2.mss") + " " + At("f2.msb")).status, 0);
    EXPECT_EQ(run_tools::ReadAll(root_ / "f2.msb"), run_tools::ReadAll(root_ / "f.msb"));
    ASSERT_TRUE(ReplaceFileAtomically((root_ / "n.mss").string(),
                                      "Flip transition: 1; duration: 500; mode: 1; names: \"a\"\n"
                                      "PropMotion motion: \"m\"; component: \"b\"; property: 11; value: 0; time: 100\n"));
    ASSERT_EQ(Shell(kBin + "/mobupack asm --page f.msb " + At("n.mss") + " " + At("n.msb")).status, 0);
    EXPECT_EQ(run_tools::ReadAll(root_ / "n.msb"), run_tools::ReadAll(root_ / "f.msb"));
}

TEST_F(ToolPitfalls, AppendStripsThePlayerAndRefusesWhatIsNoProgram)
{
    const fs::path game = fs::path(kBin) / "demo" / "game.dat";
    if (!fs::exists(game)) GTEST_SKIP() << "the demo is not built";
    const Outcome appended = Shell(kBin + "/mobupack append " + kBin + "/mobuplay '" + game.string() + "' " + At("mygame"));
    ASSERT_EQ(appended.status, 0) << appended.output;
    EXPECT_LT(fs::file_size(root_ / "mygame"), fs::file_size(fs::path(kBin) / "mobuplay") + fs::file_size(game));
    const Outcome kept =
        Shell(kBin + "/mobupack append --keep-debug " + kBin + "/mobuplay '" + game.string() + "' " + At("debug"));
    ASSERT_EQ(kept.status, 0) << kept.output;
    EXPECT_EQ(fs::file_size(root_ / "debug"), fs::file_size(fs::path(kBin) / "mobuplay") + fs::file_size(game) + 6);
    EXPECT_LT(fs::file_size(root_ / "mygame"), fs::file_size(root_ / "debug"));
    // The stripped game runs on its own.
    EXPECT_EQ(Shell("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + At("mygame") + " --headless --frames 3").status, 0);

    ASSERT_TRUE(ReplaceFileAtomically((root_ / "notes.txt").string(), "not a program"));
    const Outcome refused = Shell(kBin + "/mobupack append " + At("notes.txt") + " '" + game.string() + "' " + At("x"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("notes.txt: not an executable program"), std::string::npos) << refused.output;
    EXPECT_FALSE(fs::exists(root_ / "x"));
}

// A protected layered image back to PNG needs its code: missing or wrong, the tool says so
// and writes nothing. The picture is ImageMagick's gradient.
TEST_F(ToolPitfalls, FskRefusesAMissingOrWrongIdentificationCode)
{
    if (Shell("convert -size 48x40 gradient:red-blue " + At("in.png")).status != 0) GTEST_SKIP() << "no ImageMagick";
    ASSERT_EQ(Shell(kBin + "/mobupack fsk " + At("in.png") + " " + At("p.fsk") + " 1234").status, 0);
    const Outcome right = Shell(kBin + "/mobupack fsk " + At("p.fsk") + " " + At("right.png") + " 1234");
    EXPECT_EQ(right.status, 0) << right.output;
    const Outcome missing = Shell(kBin + "/mobupack fsk " + At("p.fsk") + " " + At("missing.png"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("the image is protected"), std::string::npos) << missing.output;
    const Outcome wrong = Shell(kBin + "/mobupack fsk " + At("p.fsk") + " " + At("wrong.png") + " 4321");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.output.find("the identification code 4321 does not unscramble this image"), std::string::npos)
        << wrong.output;
    EXPECT_FALSE(fs::exists(root_ / "missing.png"));
    EXPECT_FALSE(fs::exists(root_ / "wrong.png"));
}

// make install's rules: the programs, the desktop entry and (with help2man) the man pages,
// under DESTDIR and the prefix.
TEST_F(ToolPitfalls, InstallPutsTheProgramsManPagesAndDesktopEntryUnderThePrefix)
{
    const Outcome installed =
        Shell("DESTDIR=" + At("stage") + " cmake --install " + kBin + " --prefix /opt/mobu");
    ASSERT_EQ(installed.status, 0) << installed.output;
    const fs::path prefix = root_ / "stage" / "opt" / "mobu";
    EXPECT_TRUE(fs::exists(prefix / "bin" / "mobuplay"));
    EXPECT_TRUE(fs::exists(prefix / "bin" / "mobupack"));
    EXPECT_NE(run_tools::ReadAll(prefix / "share" / "applications" / "mobuplay.desktop").find("Exec=mobuplay %f"),
              std::string::npos);
    if (Shell("command -v help2man").status == 0) {
        EXPECT_NE(run_tools::ReadAll(prefix / "share" / "man" / "man1" / "mobupack.1").find("check"), std::string::npos);
        EXPECT_TRUE(fs::exists(prefix / "share" / "man" / "man1" / "mobuplay.1"));
    }
}

TEST_F(ToolPitfalls, BothProgramsSayTheirVersion)
{
    const Outcome player = Shell(kBin + "/mobuplay --version");
    EXPECT_EQ(player.status, 0);
    EXPECT_EQ(player.output.rfind("mobuplay ", 0), 0u) << player.output;
    const Outcome pack = Shell(kBin + "/mobupack --version");
    EXPECT_EQ(pack.status, 0);
    EXPECT_EQ(pack.output.substr(9), player.output.substr(9));
}

}  // namespace
}  // namespace mobu
