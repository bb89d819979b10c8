#include <gtest/gtest.h>

#include <algorithm>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "archive/vr_file_manager.h"
#include "platform/text_encoding.h"
#include "tests/archive/fixture_writer.h"

namespace mobu {
namespace {

using testing::FixtureEntry;
using testing::FixtureWriter;
using testing::ScratchFolder;

class VrFileManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetVrFileManager();
        VrFileManager().SetCdRoots({});
        ASSERT_EQ(VrFileManager().AddArchive(""), 0);
        testing::WriteBytes(folder_ / "first.dat", FixtureWriter(102).Build({
            {"shared.txt", "from first", false, 0},
            {"only-first.txt", "first only", false, 0},
            {"Media\\Movie.mpg", std::string(3000, 'm'), true, 0},
            {"Media\\Packed.ogg", std::string(3000, 'p'), false, 0},
            {"Media\\empty.ogg", "", true, 0},
        }));
        testing::WriteBytes(folder_ / "second.dat", FixtureWriter(0).Build({
            {"shared.txt", "from second", false, 0},
            {"base.txt", "archived base", false, 0},
        }));
        testing::WriteBytes(folder_ / "game/BASE.TXT", "plain base");
        testing::WriteBytes(folder_ / "game/Sub/Deep.txt", "deep");
        testing::WriteBytes(folder_ / "game/Media/extra.ogg", "extra");
        VrFileManager().SetBaseFolder(folder_ / "game");
        ASSERT_EQ(VrFileManager().AddArchive(folder_ / "first.dat"), 1);
        ASSERT_EQ(VrFileManager().AddArchive(folder_ / "second.dat"), 2);
    }
    void TearDown() override
    {
        ResetVrFileManager();
        DeleteTempFiles();
    }

    ScratchFolder folder_;
};

TEST_F(VrFileManagerTest, RegistrationRules)
{
    auto& files = VrFileManager();
    EXPECT_EQ(files.BaseFolder(), folder_.Path().string() + "/game/");
    EXPECT_EQ(files.AddArchive(""), -1);  // a second in-memory archive
    int folder_archive = files.AddArchive(folder_ / "game");
    EXPECT_EQ(folder_archive, 3);
    EXPECT_EQ(files.AddArchive(folder_ / "game/"), -1);  // the same folder again
    EXPECT_EQ(files.AddArchive(folder_ / "first.dat"), 4);  // the same file twice is allowed
    files.RemoveArchive(4);
    EXPECT_EQ(files.ArchiveCount(), 4);
    // Module resources do not exist here: the archive stays empty and finds nothing.
    int resource = files.AddResourceArchive("mobu.exe", "GAME", "MOBU");
    EXPECT_EQ(files.Archive(resource).Count(), 0);
    EXPECT_FALSE(files.Exists("start.msb"));
    files.RemoveArchive(resource);
    // A folder archive finds plain files only through Extract.
    EXPECT_EQ(files.Archive(folder_archive).Extract("sub\\deep.TXT"), "deep");
}

TEST_F(VrFileManagerTest, SearchOrderOfEachOperation)
{
    auto& files = VrFileManager();
    // The earlier archive wins.
    EXPECT_EQ(files.ReadFile("SHARED.txt"), "from first");
    // A base-folder file wins over archives for ReadFile, GetRealFileName and OpenRangeStream...
    EXPECT_EQ(files.ReadFile("base.txt"), "plain base");
    EXPECT_EQ(testing::ReadBytes(files.GetRealFileName("base.txt")), "plain base");
    auto range = files.OpenRangeStream("base.txt");
    std::string bytes(100, '\0');
    bytes.resize(range->Read(bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, "plain base");
    // ...and Exists asks the archives first, then the base folder.
    EXPECT_TRUE(files.Exists("base.txt"));
    EXPECT_TRUE(files.Exists("sub\\deep.txt"));
    EXPECT_FALSE(files.Exists("nothing.txt"));
    EXPECT_EQ(files.FindMemoryFile("shared.txt"), files.Archive(1).Find("shared.txt"));
    try {
        files.ReadFile("nothing.txt");
        FAIL();
    } catch (const EMobuError& error) {
        EXPECT_EQ(error.what(), "nothing.txt" + SysText(u8":ファイルがありません"));
    }
}

TEST_F(VrFileManagerTest, MemoryFilesLiveInArchiveZero)
{
    auto& files = VrFileManager();
    TVrFile* entry = files.Archive(0).AddMemoryFile("save:slot.dat");
    entry->MemData->Data() = "saved";
    EXPECT_TRUE(files.Exists("SAVE:slot.dat"));
    EXPECT_EQ(files.ReadFile("save:slot.dat"), "saved");
    files.Archive(0).Delete("save:slot.dat");
    EXPECT_FALSE(files.Exists("save:slot.dat"));
}

TEST_F(VrFileManagerTest, WorkFilesArePrivateSharedAndDeletedLater)
{
    auto& files = VrFileManager();
    std::string path = files.GetRealFileName("shared.txt");
    EXPECT_EQ(testing::ReadBytes(path), "from first");
    EXPECT_EQ(std::filesystem::path(path).filename().string(), "~mb00000000.txt");
    EXPECT_EQ(files.GetRealFileName("SHARED.TXT"), path);  // same work file, one more reference
    std::string other = files.GetRealFileName("Media\\Packed.ogg");
    EXPECT_EQ(std::filesystem::path(other).filename().string(), "~mb00000001.ogg");
    auto folder_status = std::filesystem::status(std::filesystem::path(path).parent_path());
    EXPECT_EQ(folder_status.permissions() & std::filesystem::perms::all, std::filesystem::perms::owner_all);
    files.ReleaseRealFileName("shared.txt");
    files.ReleaseRealFileName("shared.txt");
    ASSERT_EQ(TempFileList.size(), 1u);
    DeleteTempFiles();
    EXPECT_FALSE(std::filesystem::exists(path));
    ResetVrFileManager();
    DeleteTempFiles();
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(other).parent_path()));
}

TEST_F(VrFileManagerTest, FailedExtractionLeavesNoPartialWorkFile)
{
    auto& files = VrFileManager();
    // Damage the compressed entry of an archive in memory: the work file must not stay.
    std::string bytes = FixtureWriter(102).Build({{"broken.txt", std::string(5000, 'b'), false, 0}});
    bytes[bytes.size() - 2] ^= 0x40;
    testing::WriteBytes(folder_ / "broken.dat", bytes);
    int index = files.AddArchive(folder_ / "broken.dat");
    EXPECT_THROW(files.GetRealFileName("broken.txt"), EMobuError);
    EXPECT_EQ(files.LockList().Count(), 0);
    std::string work = files.LockList().TempFolder();
    ASSERT_FALSE(work.empty());
    EXPECT_TRUE(std::filesystem::is_empty(work));
    files.RemoveArchive(index);
}

TEST_F(VrFileManagerTest, RangeStreamsShowOnlyTheirEntry)
{
    auto& files = VrFileManager();
    auto movie = files.OpenRangeStream("media\\movie.MPG");
    EXPECT_EQ(movie->Size(), 3000);
    EXPECT_EQ(movie->Seek(-10, TRangeStream::Origin::End), 2990);
    char buffer[64];
    EXPECT_EQ(movie->Read(buffer, sizeof buffer), 10u);
    EXPECT_EQ(movie->Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(movie->Seek(99999), 3000);
    EXPECT_EQ(movie->Seek(-5, TRangeStream::Origin::Begin), 0);
    // An empty entry is an empty stream, not the rest of the archive.
    auto empty = files.OpenRangeStream("Media\\empty.ogg");
    EXPECT_EQ(empty->Size(), 0);
    EXPECT_EQ(empty->Read(buffer, sizeof buffer), 0u);
    // A compressed entry is handed out inflated.
    auto packed = files.OpenRangeStream("Media\\Packed.ogg");
    ASSERT_EQ(packed->Size(), 3000);
    EXPECT_EQ(packed->Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "pppp");
    EXPECT_THROW(files.OpenRangeStream("none.ogg"), EMobuError);
}

TEST_F(VrFileManagerTest, VirtualPathsNeverLeaveTheGameFolders)
{
    auto& files = VrFileManager();
    testing::WriteBytes(folder_ / "secret.txt", "outside");
    for (std::string name : {"..\\secret.txt", "sub\\..\\..\\secret.txt", "\\etc\\passwd", "/etc/passwd",
                             "C:\\secret.txt", "c:secret.txt", "../secret.txt"}) {
        EXPECT_FALSE(files.Exists(name)) << name;
        EXPECT_THROW(files.ReadFile(name), EMobuError) << name;
        EXPECT_THROW(files.OpenRangeStream(name), EMobuError) << name;
        std::string real = files.GetRealFileName(name);
        EXPECT_TRUE(real.empty()) << name << " -> " << real;
    }
    std::vector<std::string> list;
    files.ListFiles("..", list);
    EXPECT_TRUE(list.empty());
}

TEST_F(VrFileManagerTest, ListFilesMergesArchivesAndFolders)
{
    std::vector<std::string> list;
    VrFileManager().ListFiles("media", list);
    std::vector<std::string> expected = {"Media\\Movie.mpg", "Media\\Packed.ogg", "Media\\empty.ogg", "media\\extra.ogg"};
    EXPECT_EQ(list, expected);
    list.clear();
    VrFileManager().ListFiles("", list);
    EXPECT_NE(std::find(list.begin(), list.end(), "shared.txt"), list.end());
    EXPECT_EQ(std::count(list.begin(), list.end(), "base.txt"), 1);  // archived and plain: once
}

TEST(VrFileManagerFolderOf, CutsAfterTheLastDelimiter)
{
    struct Case {
        std::string path, folder;
    } cases[] = {
        {"bg\\room.png", "bg\\"},
        {"room.png", ""},
        {"a\\b\\c.txt", "a\\b\\"},
        {"\x95\x5c.png", ""},  // 0x5C trail byte of 表 is not a delimiter
        {"\x95\x5c\\x.png", "\x95\x5c\\"},
        {"C:\\game\\a.txt", "C:\\game"},
        {"C:\\a.txt", "C:\\"},
        {"\\\\server\\share\\a.txt", "\\\\server\\share"},
    };
    for (const auto& c : cases) EXPECT_EQ(TVrFileManager::FolderOf(c.path), c.folder) << c.path;
}

}  // namespace
}  // namespace mobu
