// The archive commands of mobupack, and the archive format checked against a reader and
// writer built on Python's zlib and against zlib-flate.
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "archive/vr_file_collection.h"
#include "archive/zlib_codec.h"
#include "core/mobu_error.h"
#include "tests/archive/fixture_writer.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using testing::FixtureEntry;
using testing::FixtureWriter;
using testing::ScratchFolder;

struct CommandResult {
    int status;
    std::string output;
};

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

CommandResult RunCommand(const std::string& command)
{
    CommandResult result{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 65536> buffer;
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), got);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Mobupack() { return Quote(std::string(MOBU_BINARY_DIR) + "/mobupack"); }
std::string Oracle() { return "python3 " + Quote(std::string(MOBU_SOURCE_DIR) + "/tests/data/archive/archive_oracle.py"); }

std::string Noise(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    for (char& c : out) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

void MakeGameFolder(const ScratchFolder& folder)
{
    testing::WriteBytes(folder / "src/start.msb", std::string(4000, 's'));
    testing::WriteBytes(folder / "src/bg/Room.png", Noise(70000, 1));
    testing::WriteBytes(folder / "src/\xe8\xa1\xa8\xe7\xa4\xba/voice.ogg", std::string(9000, 'v'));  // 表示
    testing::WriteBytes(folder / "src/empty.txt", "");
}

TEST(MobupackArchive, CreateListCatExtractRoundTrip)
{
    ScratchFolder folder;
    MakeGameFolder(folder);
    ASSERT_EQ(RunCommand(Mobupack() + " create " + Quote(folder / "src") + " " + Quote(folder / "game.dat")).status, 0);
    CommandResult list = RunCommand(Mobupack() + " list " + Quote(folder / "game.dat"));
    ASSERT_EQ(list.status, 0);
    std::string compressed_start = std::to_string(testing::ZlibCompress(std::string(4000, 's'), 1).size());
    EXPECT_EQ(list.output, "bg\\Room.png\t70000\tstored\n"
                           "empty.txt\t0\tstored\n"
                           "start.msb\t" + compressed_start + "\tzlib\n"
                           "\xe8\xa1\xa8\xe7\xa4\xba\\voice.ogg\t9000\tstored\n");
    CommandResult cat = RunCommand(Mobupack() + " cat " + Quote(folder / "game.dat") + " BG/ROOM.PNG");
    EXPECT_EQ(cat.status, 0);
    EXPECT_EQ(cat.output, Noise(70000, 1));
    EXPECT_NE(RunCommand(Mobupack() + " cat " + Quote(folder / "game.dat") + " missing.txt 2>/dev/null").status, 0);
    ASSERT_EQ(RunCommand(Mobupack() + " extract " + Quote(folder / "game.dat") + " " + Quote(folder / "out")).status, 0);
    EXPECT_EQ(RunCommand("diff -r " + Quote(folder / "src") + " " + Quote(folder / "out")).status, 0);
    // Python's zlib reads what we wrote.
    CommandResult oracle = RunCommand(Oracle() + " read " + Quote(folder / "game.dat"));
    ASSERT_EQ(oracle.status, 0);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(crc32(0, reinterpret_cast<const Bytef*>(std::string(4000, 's').data()), 4000)));
    EXPECT_NE(oracle.output.find(std::string("start.msb\t0\t") + crc), std::string::npos) << oracle.output;
}

TEST(MobupackArchive, ExtractNeverWritesOutsideTheFolder)
{
    ScratchFolder folder;
    std::vector<FixtureEntry> entries = {
        {"..\\evil.txt", "x", false, 0}, {"\\abs.txt", "x", false, 0}, {"C:\\drive.txt", "x", false, 0},
        {"sub\\..\\..\\up.txt", "x", false, 0}, {"ok\\fine.txt", "fine", false, 0},
    };
    testing::WriteBytes(folder / "bad.dat", FixtureWriter(102).Build(entries));
    fs::create_directories(folder / "box");
    CommandResult result = RunCommand(Mobupack() + " extract " + Quote(folder / "bad.dat") + " " + Quote(folder / "box") + " 2>&1");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(testing::ReadBytes(folder / "box/ok/fine.txt"), "fine");
    size_t files = 0;
    for (auto& item : fs::recursive_directory_iterator(folder.Path())) files += item.is_regular_file();
    EXPECT_EQ(files, 2u);  // bad.dat and box/ok/fine.txt only
    // A symlink inside the folder pointing out is not followed either.
    fs::create_directory_symlink(folder.Path(), folder / "box/link");
    testing::WriteBytes(folder / "link.dat", FixtureWriter(102).Build({{"link\\escaped.txt", "x", false, 0}}));
    EXPECT_EQ(RunCommand(Mobupack() + " extract " + Quote(folder / "link.dat") + " " + Quote(folder / "box") + " 2>/dev/null").status, 1);
    EXPECT_FALSE(fs::exists(folder / "escaped.txt"));
}

// A damaged game.dat is not taken for a missing one: list, cat and extract print the
// archive's short message and, before it, which field is wrong at which byte.
TEST(MobupackArchive, DamagedArchiveNamesTheReasonAndTheByte)
{
    ScratchFolder folder;
    MakeGameFolder(folder);
    ASSERT_EQ(RunCommand(Mobupack() + " create " + Quote(folder / "src") + " " + Quote(folder / "game.dat")).status, 0);
    const std::string good = testing::ReadBytes(folder / "game.dat");
    struct Damage {
        std::string bytes;
        std::string reason;
    };
    const Damage damages[] = {
        // "vf", the version, then the entry count at byte 6.
        {good.substr(0, 6) + std::string("\xff\xff\xff\x7f", 4) + good.substr(10),
         "entry count 2147483647 does not fit in the " + std::to_string(good.size() - 10) + " bytes after it, at byte 6"},
        // Cut where the entry count still fits but the third name ("start.msb", after
        // "bg\\Room.png" and "empty.txt") does not.
        {good.substr(0, 46), "name length 9 of entry 2 runs past the end, at byte 38"},
    };
    for (const Damage& damage : damages) {
        testing::WriteBytes(folder / "game.dat", damage.bytes);
        for (const std::string command : {"list", "cat", "extract"}) {
            std::string arguments = command == "cat" ? " start.msb" : command == "extract" ? " " + Quote(folder / "out") : "";
            CommandResult result =
                RunCommand(Mobupack() + " " + command + " " + Quote(folder / "game.dat") + arguments + " 2>&1");
            EXPECT_NE(result.status, 0) << command;
            EXPECT_NE(result.output.find("game.dat: damaged archive: " + damage.reason), std::string::npos)
                << command << "\n" << result.output;
            EXPECT_NE(result.output.find("game.dat:\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab"),  // ファイル
                      std::string::npos)
                << command << "\n" << result.output;
        }
    }
}

TEST(MobupackArchive, AppendMakesAnExecutableCarryingTheGame)
{
    ScratchFolder folder;
    MakeGameFolder(folder);
    std::string player = "\x7f" "ELF" + std::string(5000, '\x01');
    testing::WriteBytes(folder / "player", player);
    fs::permissions(folder / "player", fs::perms::owner_all);
    // The archive given to append may itself be split or indexed apart: use an ".ext" pair.
    std::string index;
    std::string data = FixtureWriter(102).Build({{"a.txt", "alpha", false, 0}, {"b.ogg", std::string(3000, 'b'), true, 0}}, &index);
    testing::WriteBytes(folder / "game.dat", data);
    testing::WriteBytes(folder / "game.ext", index);
    ASSERT_EQ(RunCommand(Mobupack() + " append " + Quote(folder / "player") + " " + Quote(folder / "game.dat") + " " + Quote(folder / "mygame")).status, 0);
    std::string out = testing::ReadBytes(folder / "mygame");
    EXPECT_EQ(out.substr(0, player.size()), player);
    EXPECT_EQ(out.substr(out.size() - 2), "mb");
    EXPECT_TRUE((fs::status(folder / "mygame").permissions() & fs::perms::owner_exec) != fs::perms::none);
    EXPECT_EQ(RunCommand(Mobupack() + " list " + Quote(folder / "mygame")).output, "a.txt\t13\tzlib\nb.ogg\t3000\tstored\n");
    // The player reads it when it is the player's own executable.
    std::string previous = PlayerExecutablePath();
    SetPlayerExecutablePath(folder / "mygame");
    TVrFileCollection game;
    game.OpenArchive(folder / "mygame");
    SetPlayerExecutablePath(previous);
    EXPECT_EQ(game.Extract("A.TXT"), "alpha");
    EXPECT_EQ(game.Extract("b.ogg"), std::string(3000, 'b'));
}

TEST(ArchiveOracle, ReadsAnArchiveWrittenWithPythonZlib)
{
    ScratchFolder folder;
    std::string big = Noise(100000, 7);
    std::ostringstream spec;
    auto hex = [](const std::string& bytes) {
        std::string out;
        char pair[3];
        for (unsigned char c : bytes) {
            std::snprintf(pair, sizeof pair, "%02x", c);
            out += pair;
        }
        return out;
    };
    spec << "\xe6\x96\x87\\text.txt\t0\t" << hex(std::string(20000, 't') + "end") << "\n";  // 文
    spec << "raw.bin\t1\t" << hex(big) << "\n";
    testing::WriteBytes(folder / "spec.txt", spec.str());
    ASSERT_EQ(RunCommand(Oracle() + " write " + Quote(folder / "py.dat") + " " + Quote(folder / "spec.txt")).status, 0);
    TVrFileCollection archive;
    archive.OpenArchive(folder / "py.dat");
    EXPECT_EQ(archive.Extract("\x95\xb6\\TEXT.txt"), std::string(20000, 't') + "end");
    EXPECT_EQ(archive.Extract("raw.bin"), big);
}

TEST(ArchiveOracle, ZlibFlateAgreesWithOurCodec)
{
    if (RunCommand("command -v zlib-flate >/dev/null").status != 0) GTEST_SKIP() << "zlib-flate (qpdf) not installed";
    ScratchFolder folder;
    std::string raw = Noise(50000, 3) + std::string(50000, 'z');
    testing::WriteBytes(folder / "raw", raw);
    // zlib-flate's deflate read by our inflate...
    CommandResult packed = RunCommand("zlib-flate -compress < " + Quote(folder / "raw"));
    ASSERT_EQ(packed.status, 0);
    std::string inflated;
    InflateBytes(packed.output, inflated, InflateCapFor(static_cast<int64_t>(packed.output.size())), "bad");
    EXPECT_EQ(inflated, raw);
    // ...and our deflate read by zlib-flate.
    testing::WriteBytes(folder / "ours", DeflateFastest(raw));
    EXPECT_EQ(RunCommand("zlib-flate -uncompress < " + Quote(folder / "ours")).output, raw);
}

TEST(ArchiveInflate, StopsAtTheCapAndAtTheStreamEnd)
{
    std::string raw(1 << 20, 'a');
    std::string packed = DeflateFastest(raw);
    std::string out;
    EXPECT_THROW(InflateBytes(packed, out, raw.size() - 1, "cap"), EMobuError);
    out.clear();
    EXPECT_NO_THROW(InflateBytes(packed, out, raw.size(), "exact cap"));
    EXPECT_EQ(out, raw);
    out.clear();
    EXPECT_THROW(InflateBytes(packed.substr(0, packed.size() - 6), out, 1 << 22, "truncated"), EMobuError);
    out.clear();
    EXPECT_THROW(InflateBytes("not zlib at all", out, 1 << 22, "garbage"), EMobuError);
    // The cap of an entry follows its stored size (deflate's densest ratio).
    EXPECT_LE(InflateCapFor(static_cast<int64_t>(packed.size())), packed.size() * 1032 + 64);
    EXPECT_GE(InflateCapFor(static_cast<int64_t>(packed.size())), raw.size());
}

}  // namespace
}  // namespace mobu
