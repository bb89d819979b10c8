#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "archive/big_file_stream.h"
#include "archive/vr_file_collection.h"
#include "platform/text_encoding.h"
#include "tests/archive/fixture_writer.h"

namespace mobu {
namespace {

using testing::FixtureEntry;
using testing::FixtureWriter;
using testing::ScratchFolder;

std::vector<FixtureEntry> SampleEntries()
{
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 5);
    return {
        {"start.msb", "page bytes", false, 11},
        // "表\bg.png": the 0x5C trail byte of 表 must stay inside the name.
        {"\x95\x5c\\bg.png", std::string(5000, 'x'), true, 12},
        {"empty.txt", "", false, 13},
        {"SE\\Click.WAV", big, true, 14},
    };
}

class ArchiveVersions : public ::testing::TestWithParam<int> {};

TEST_P(ArchiveVersions, ReadsEveryEntryAndTheSentinel)
{
    int version = GetParam();
    auto entries = SampleEntries();
    TVrFileCollection archive;
    archive.OpenFromMemory(FixtureWriter(version).Build(entries), "game.dat");
    EXPECT_EQ(archive.Version(), version);
    ASSERT_EQ(archive.Count(), static_cast<int>(entries.size()) + 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        TVrFile* entry = archive.Item(static_cast<int>(i));
        EXPECT_EQ(entry->Name(), entries[i].name);
        // Before 101 there are no flag rows: every entry counts as compressed.
        EXPECT_EQ(entry->Stored, version > 100 && entries[i].stored) << entries[i].name;
        EXPECT_EQ(entry->FileTime, version > 100 ? entries[i].file_time : 0);
        EXPECT_EQ(archive.Extract(entries[i].name), entries[i].raw) << entries[i].name;
    }
    // Names compare without regard to ASCII case.
    EXPECT_EQ(archive.Extract("se\\click.wav"), entries[3].raw);
    TVrFile* eof = archive.Find("\\EOF\\");
    ASSERT_NE(eof, nullptr);
    EXPECT_EQ(eof->DataSize, 0);
    EXPECT_EQ(archive.Extract("\\EOF\\"), "");
}

INSTANTIATE_TEST_SUITE_P(Versions, ArchiveVersions, ::testing::Values(0, 99, 100, 101, 102));

TEST(ArchiveScrambling, NamesAreNotStoredInClearFromVersion100)
{
    std::vector<FixtureEntry> entries = {{"secretname.msb", "x", false, 0}};
    std::string scrambled = FixtureWriter(100).Build(entries);
    std::string plain = FixtureWriter(99).Build(entries);
    EXPECT_EQ(scrambled.find("secretname"), std::string::npos);
    EXPECT_NE(plain.find("secretname"), std::string::npos);
}

TEST(ArchiveDamage, RefusesBrokenIndexesWithTheFileMessage)
{
    auto entries = SampleEntries();
    std::string good = FixtureWriter(102).Build(entries);
    std::string expected = "game.dat" + SysText(u8":ファイルがありません");
    auto refuse = [&](std::string bytes, const char* what) {
        TVrFileCollection archive;
        try {
            archive.OpenFromMemory(std::move(bytes), "game.dat");
            ADD_FAILURE() << what << " was accepted";
        } catch (const EMobuError& error) {
            EXPECT_EQ(error.what(), expected) << what;
        }
    };
    auto patched = [&](size_t at, uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    refuse(patched(6, 0x7FFFFFFF), "huge count");
    refuse(patched(6, 0xFFFFFFFF), "negative count");
    refuse(patched(10, 0x7FFFFFF0), "huge name length");
    refuse(patched(10, 0x80000000), "negative name length");
    refuse(patched(2, 103), "unknown version");
    refuse(good.substr(0, 40), "cut index");
    refuse(good.substr(0, good.size() - 1), "data shorter than the last offset");
    // Offsets descending: swap two offsets in a version-0 archive (no scrambling).
    std::vector<FixtureEntry> two = {{"a", "aaaa", false, 0}, {"b", "bbbb", false, 0}};
    std::string v0 = FixtureWriter(0).Build(two);
    size_t table = 4 + (4 + 1) * 2;
    std::string swapped = v0;
    std::swap_ranges(swapped.begin() + table, swapped.begin() + table + 4, swapped.begin() + table + 4);
    refuse(swapped, "descending offsets");
    // An offset pointing into the index itself.
    std::string inside = v0;
    for (int i = 0; i < 4; ++i) inside[table + i] = 0;
    refuse(inside, "offset inside the index");
}

TEST(ArchiveDamage, CorruptCompressedEntryFailsInsteadOfReturningGarbage)
{
    std::vector<FixtureEntry> entries = {{"a.txt", std::string(10000, 'a'), false, 0}};
    std::string bytes = FixtureWriter(102).Build(entries);
    // Cut the zlib stream short by shrinking the data: the last offset is the file end, so
    // damage the tail of the stream (its Adler-32) instead.
    bytes[bytes.size() - 1] ^= 0x55;
    TVrFileCollection archive;
    archive.OpenFromMemory(bytes, "game.dat");
    EXPECT_THROW(archive.Extract("a.txt"), EMobuError);
}

TEST(ArchiveFiles, IndexCompanionExtFileHoldsTheIndex)
{
    ScratchFolder folder;
    auto entries = SampleEntries();
    std::string index;
    std::string data = FixtureWriter(102).Build(entries, &index);
    testing::WriteBytes(folder / "game.dat", data);
    testing::WriteBytes(folder / "GAME.EXT", index);
    TVrFileCollection archive;
    archive.OpenArchive(folder / "game.dat");
    ASSERT_EQ(archive.Count(), 5);
    EXPECT_EQ(archive.Extract("start.msb"), "page bytes");
    EXPECT_EQ(archive.Folder(), folder.Path().string() + "/");
}

TEST(ArchiveFiles, ExecutableCarriesItsArchiveAfterTheProgram)
{
    ScratchFolder folder;
    auto entries = SampleEntries();
    std::string program(12345, 'P');
    std::string archive_bytes = FixtureWriter(102).Build(entries);
    std::string file = program + archive_bytes;
    FixtureWriter::Put32(file, static_cast<uint32_t>(program.size()));
    file += "mb";
    for (const char* name : {"Game.EXE", "saver.scr"}) {
        testing::WriteBytes(folder / name, file);
        EXPECT_TRUE(HasArchiveTrailer(folder / name));
        TVrFileCollection archive;
        archive.OpenArchive(folder / name);
        EXPECT_EQ(archive.ArchiveStart(), 12345);
        EXPECT_EQ(archive.Extract("SE\\Click.WAV"), entries[3].raw) << name;
    }
    // The player's own executable follows the same rule whatever its name.
    testing::WriteBytes(folder / "mobuplay-copy", file);
    std::string previous = PlayerExecutablePath();
    SetPlayerExecutablePath(folder / "mobuplay-copy");
    TVrFileCollection own;
    own.OpenArchive(folder / "mobuplay-copy");
    EXPECT_EQ(own.Extract("start.msb"), "page bytes");
    SetPlayerExecutablePath(previous);
    // A trailer pointing past the file is refused.
    std::string bad = file;
    bad[bad.size() - 6] = '\x7F';
    bad[bad.size() - 3] = '\x7F';
    testing::WriteBytes(folder / "bad.exe", bad);
    TVrFileCollection refused;
    EXPECT_THROW(refused.OpenArchive(folder / "bad.exe"), EMobuError);
}

TEST(ArchiveFiles, SplitArchiveReadsEntriesAcrossPartBoundaries)
{
    ScratchFolder folder;
    auto entries = SampleEntries();
    std::string bytes = FixtureWriter(102).Build(entries);
    const size_t part = 4096;
    testing::WriteBytes(folder / "game.dat", bytes.substr(0, part));
    for (size_t i = 1; i * part < bytes.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "game.%03zu", i);
        testing::WriteBytes(folder / name, bytes.substr(i * part, part));
    }
    SetBigFilePartSize(part);
    TVrFileCollection archive;
    archive.OpenArchive(folder / "game.dat");
    for (const auto& entry : entries) EXPECT_EQ(archive.Extract(entry.name), entry.raw) << entry.name;
    SetBigFilePartSize(0);
}

TEST(ArchiveWriting, RoundTripThroughASplitFileKeepsEveryEntry)
{
    ScratchFolder folder;
    auto entries = SampleEntries();
    TVrFileCollection source;
    source.OpenFromMemory(FixtureWriter(101).Build(entries), "old.dat");
    TVrFile* memory = source.AddMemoryFile("mem:note.txt");
    memory->MemData->Data() = "written by the script";
    SetBigFilePartSize(1000);
    {
        TKsBigFileStream out(folder / "new.dat", TKsBigFileStream::Mode::Create);
        EXPECT_TRUE(source.WriteArchive(out));
        EXPECT_GT(out.PartCount(), 3);
    }
    TVrFileCollection copy;
    copy.OpenArchive(folder / "new.dat");
    SetBigFilePartSize(0);
    EXPECT_EQ(copy.Version(), 102);
    ASSERT_EQ(copy.Count(), 6);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(copy.Item(static_cast<int>(i))->Name(), entries[i].name);
        EXPECT_EQ(copy.Extract(entries[i].name), entries[i].raw);
    }
    EXPECT_EQ(copy.Extract("mem:note.txt"), "written by the script");
    // Small entries come back compressed; the writer never copies the old sentinel.
    EXPECT_FALSE(copy.Find("start.msb")->Stored);
    EXPECT_EQ(copy.Item(5)->Name(), "\\EOF\\");
}

TEST(ArchiveWriting, FolderPackingFollowsTheCompressionRules)
{
    ScratchFolder folder;
    std::string text(100000, 'a');
    std::string noise(100000, '\0');
    uint32_t state = 1;
    for (char& c : noise) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    testing::WriteBytes(folder / "data/text.txt", text);
    testing::WriteBytes(folder / "data/noise.bin", noise);
    testing::WriteBytes(folder / "data/voice.ogg", text);
    testing::WriteBytes(folder / "data/big.txt", std::string(0x500000, 'b'));
    TVrFileCollection pack;
    pack.OpenArchive(folder / "data");
    for (const char* name : {"text.txt", "noise.bin", "voice.ogg", "big.txt"}) pack.AddFileEntry(name);
    TKsBigMemoryStream out;
    ASSERT_TRUE(pack.WriteArchive(out));
    TVrFileCollection read;
    read.OpenFromMemory(out.Data(), "pack");
    EXPECT_FALSE(read.Find("text.txt")->Stored);
    EXPECT_TRUE(read.Find("noise.bin")->Stored);  // does not shrink to 9/10
    EXPECT_TRUE(read.Find("voice.ogg")->Stored);  // media stay as they are
    EXPECT_TRUE(read.Find("big.txt")->Stored);    // 0x500000 bytes and more
    EXPECT_EQ(read.Extract("text.txt"), text);
    EXPECT_EQ(read.Extract("noise.bin"), noise);
}

}  // namespace
}  // namespace mobu

#include "platform/message_box.h"

namespace mobu {
namespace {

TEST(ArchiveWriting, RewritingItsOwnSourceKeepsEveryEntry)
{
    ScratchFolder folder;
    testing::WriteBytes(folder / "save.dat", FixtureWriter(102).Build({{"GAMESAVEDATA", std::string(3000, 'g'), false, 0},
                                                                        {"STATUSSAVEDATA", "status", false, 0}}));
    TVrFileCollection save;
    save.OpenArchive(folder / "save.dat");
    save.Delete("STATUSSAVEDATA");
    save.AddMemoryFile("STATUSSAVEDATA")->MemData->Data() = "new status";
    save.WriteArchiveFile(folder / "save.dat");
    TVrFileCollection again;
    again.OpenArchive(folder / "save.dat");
    EXPECT_EQ(again.Extract("GAMESAVEDATA"), std::string(3000, 'g'));
    EXPECT_EQ(again.Extract("statussavedata"), "new status");
}

TEST(ArchiveWriting, AnEntryThatCannotBeWrittenIsNamedAndTheFailurePassesOn)
{
    std::vector<MessageBoxRequest> shown;
    auto previous = SetMessageBoxPresenter([&](const MessageBoxRequest& request) {
        shown.push_back(request);
        return MessageResult::Ok;
    });
    ScratchFolder folder;
    TVrFileCollection pack;
    pack.OpenArchive(folder.Path().string());
    pack.AddFileEntry("missing.txt");
    TKsBigMemoryStream out;
    EXPECT_THROW(pack.WriteArchive(out), EMobuError);
    SetMessageBoxPresenter(previous);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, SysText(u8"エラー:") + "missing.txt");
}

}  // namespace
}  // namespace mobu
