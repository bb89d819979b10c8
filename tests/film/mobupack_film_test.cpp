// mobupack film: the film source printed and built back, the JSON view checked by Python's
// json module, the exit codes, and the build step that compiles NAME.EXT.film sources.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../support/run_tools.h"
#include "core/mobu_error.h"
#include "archive/vr_file_collection.h"
#include "graphics/film_data.h"
#include "graphics/film_source.h"
#include "film_fixture.h"

namespace mobu {
namespace {

using run_tools::ReadAll;
using run_tools::RunCommand;

std::string Mobupack() { return std::string(MOBU_BINARY_DIR) + "/mobupack"; }
// Runs a command with its standard output written to `file`.
int RunTo(const std::string& command, const std::string& file) { return RunCommand("(" + command + " > " + file + ")"); }

class MobupackFilm : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               ("mobu_mobupack_film_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

TEST_F(MobupackFilm, PrintingAndBuildingGivesTheSameBytes)
{
    for (int v = 100; v <= 109; ++v) {
        SCOPED_TRACE("version " + std::to_string(v));
        const std::string film = testing_film::FilmDir() + "versions/v" + std::to_string(v) + ".mmt";
        ASSERT_EQ(RunTo(Mobupack() + " film " + film, Path("a.film")), 0);
        ASSERT_EQ(RunCommand(Mobupack() + " film --build " + Path("a.film") + " " + Path("a.mmt")), 0);
        const std::string built = ReadAll(Path("a.mmt"));
        if (v == 109) {
            EXPECT_EQ(built, testing_film::ReadFixture("versions/v109.mmt"));
        }
        // Any version builds the same film in the newest layout: read back, it prints the
        // same fields (after the version line and the fields old versions lack).
        TFilmData original = ReadFilm(testing_film::ReadFixture("versions/v" + std::to_string(v) + ".mmt"));
        TFilmData rebuilt = ReadFilm(built);
        EXPECT_EQ(rebuilt.Version, 109);
        ASSERT_EQ(rebuilt.Tracks.size(), original.Tracks.size());
        EXPECT_EQ(rebuilt.TotalLength, original.TotalLength);
        for (size_t i = 0; i < original.Tracks.size(); ++i) {
            EXPECT_EQ(rebuilt.Tracks[i]->Length, original.Tracks[i]->Length);
            EXPECT_EQ(rebuilt.Tracks[i]->KindByte, original.Tracks[i]->KindByte);
        }
        original.Version = 109;
        EXPECT_EQ(PrintFilmSource(rebuilt), PrintFilmSource(original));
    }
}

TEST_F(MobupackFilm, JsonNamesTheTracksAndWhatTheyShow)
{
    const std::string film = testing_film::FilmDir() + "follower.mmt";
    ASSERT_EQ(RunTo(Mobupack() + " film " + film + " --json --at 0,10,11,15,16", Path("f.json")), 0);
    std::ofstream(Path("check.py")) << R"(import json, sys
j = json.load(open(sys.argv[1]))
assert j["kind"] == "motion" and j["version"] == 109 and j["total_length"] == 16, j
assert [t["parent"] for t in j["tracks"]] == [-1, 0]
assert [t["effective_start"] for t in j["tracks"]] == [0, 11]
at = {a["time"]: a["tracks"] for a in j["at"]}
assert at[10][0]["x"] == 90 and at[10][1]["active"] is False
assert at[11][0]["active"] is False and at[11][1]["x"] == 100 and at[11][1]["width"] == 30
assert at[15][1]["x"] == 200 and at[15][1]["color"] == 0x1E140A
assert not at[16][0]["active"] and not at[16][1]["active"]
)";
    EXPECT_EQ(RunCommand("python3 " + Path("check.py") + " " + Path("f.json")), 0) << ReadAll(Path("f.json"));
}

TEST_F(MobupackFilm, ExitCodes)
{
    const std::string dir = testing_film::FilmDir();
    EXPECT_EQ(RunCommand(Mobupack() + " film " + dir + "truncated.mmt"), 1);
    EXPECT_EQ(RunCommand(Mobupack() + " film " + dir + "unknown_kind.mmt"), 1);
    EXPECT_EQ(RunCommand(Mobupack() + " film " + dir + "unknown_magic.mmt"), 1);
    EXPECT_EQ(RunCommand(Mobupack() + " film " + dir + "no_such_file.mmt"), 1);
    EXPECT_EQ(RunCommand(Mobupack() + " film"), 2);
    EXPECT_EQ(RunCommand(Mobupack() + " film " + dir + "walk.mmt --at 3"), 2);
    EXPECT_EQ(RunCommand(Mobupack() + " film " + dir + "walk.mmt --json --at x"), 2);
    std::ofstream(Path("bad.film")) << "[film]\nkind = motion\n\n[track]\nkind = box\nwidht_start = 3\n";
    EXPECT_EQ(RunCommand(Mobupack() + " film --build " + Path("bad.film") + " " + Path("bad.mmt")), 1);
}

TEST(FilmSource, RefusesWhatItCannotRead)
{
    const char* bad[] = {
        "",
        "[track]\nkind = box\n",
        "[film]\nkind = movie\n",
        "[film]\nkind = motion\nversion = 99\n",
        "[film]\nkind = motion\n[track]\nkind = boxes\n",
        "[film]\nkind = motion\n[track]\nkind = box\nlength = 1\nlength = 2\n",
        "[film]\nkind = motion\n[track]\nkind = box\nlength = 4294967296\n",
        "[film]\nkind = motion\n[track]\nkind = box\nease_x = 256\n",
        "[film]\nkind = motion\n[track]\nkind = image\nsource = pic.fsk\n",
        "[film]\nkind = motion\n[track]\nkind = image\nsource = \"\\q\"\n",
        "[film]\nkind = motion\n[track]\nkind = box\npos_start = 3\n",
        "[film]\nkind = motion\n[track]\nkind = particles\nsource = \"\"\nmotion = 1\n",
        "[film]\nkind = motion\n[track]\nkind = box\nkind_byte = 3\n",
    };
    for (const char* text : bad) {
        std::string reason;
        EXPECT_THROW(ReadFilmSource(text, &reason), EMobuError) << text;
        EXPECT_FALSE(reason.empty()) << text;
    }
    TFilmData film = ReadFilmSource(
        "; a comment\n[film]\nkind = cinema\n\n[track]\nkind = box\nkind_byte = 130\ncolor_end = 0xFFFFFFFF\n"
        "pos_end = -3, 4\n[track]\nkind = label\ntext = \"\\x83\\x89ab\\\"\"\n");
    ASSERT_EQ(film.Tracks.size(), 2u);
    EXPECT_EQ(film.Kind, kFilmCinema);
    EXPECT_EQ(film.Tracks[0]->KindByte, 130);
    EXPECT_EQ(static_cast<TBoxFrameList&>(*film.Tracks[0]).Stored.ColorEnd, -1);
    EXPECT_EQ(static_cast<TBoxFrameList&>(*film.Tracks[0]).Stored.PosEnd, (TFilmPoint{-3, 4}));
    EXPECT_EQ(static_cast<TLabelFrameList&>(*film.Tracks[1]).Text, "\x83\x89" "ab\"");
}

TEST_F(MobupackFilm, TheBuildStepCompilesFilmSources)
{
    std::filesystem::create_directories(dir_ / "game" / "cg");
    std::ofstream(dir_ / "game" / "project.ini") << "[project]\nscreen = 320x240\nstart_page = start.msb\n";
    // A real start page: the build checks that the game can start.
    std::ofstream(dir_ / "game" / "start.mss") << "Wait time: 1\n";
    ASSERT_EQ(RunTo(Mobupack() + " film " + testing_film::FilmDir() + "walk.mmt", (dir_ / "game" / "cg" / "walk.mmt.film").string()), 0);
    ASSERT_EQ(RunCommand(Mobupack() + " build " + Path("game") + " " + Path("out")), 0);
    TVrFileCollection archive;
    archive.OpenArchive(Path("out/game.dat"));
    ASSERT_NE(archive.Find("cg\\walk.mmt"), nullptr);
    EXPECT_EQ(archive.Extract("cg\\walk.mmt"), testing_film::ReadFixture("walk.mmt"));
    EXPECT_EQ(archive.Find("cg\\walk.mmt.film"), nullptr);
}

}  // namespace
}  // namespace mobu
