#include <gtest/gtest.h>

#include "platform/real_files.h"
#include "tests/archive/fixture_writer.h"

namespace mobu {
namespace {

using testing::ScratchFolder;

TEST(RealFiles, SafeVirtualPaths)
{
    struct Case {
        std::string path;
        bool safe;
    } cases[] = {
        {"start.msb", true},
        {"bg\\room.png", true},
        {"a/b.txt", true},
        {".\\a.txt", true},
        {"a..b.txt", true},
        {"\x95\x5c\\a.txt", true},  // 表\a.txt: the 0x5C trail byte is not a separator
        {"\x95\x5c", true},
        {"", false},
        {"..", false},
        {"..\\a.txt", false},
        {"a\\..\\b.txt", false},
        {"a/../b", false},
        {"a\\..", false},
        {"\\a.txt", false},
        {"/etc/passwd", false},
        {"C:\\a.txt", false},
        {"c:a.txt", false},
        {"mem:a.txt", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSafeVirtualPath(c.path), c.safe) << c.path;
}

TEST(RealFiles, FindsFilesWithoutRegardToCase)
{
    ScratchFolder folder;
    testing::WriteBytes(folder / "Game/BG/Room.PNG", "room");
    testing::WriteBytes(folder / "Game/\xe8\xa1\xa8/A.txt", "kanji folder");  // 表
    testing::WriteBytes(folder / "Game/exact.txt", "lower");
    testing::WriteBytes(folder / "Game/EXACT.txt", "upper");
    std::string game = folder / "Game";
    EXPECT_EQ(FindRealPath(game, "bg\\room.png"), game + "/BG/Room.PNG");
    EXPECT_EQ(FindRealPath(game + "/", "BG/ROOM.png"), game + "/BG/Room.PNG");
    EXPECT_EQ(FindRealPath(game, "\x95\x5c\\a.TXT"), game + "/\xe8\xa1\xa8/A.txt");
    EXPECT_EQ(FindRealPath(game, "EXACT.txt"), game + "/EXACT.txt");  // an exact name wins
    EXPECT_EQ(FindRealPath(game, "exact.txt"), game + "/exact.txt");
    EXPECT_FALSE(FindRealPath(game, "bg\\none.png"));
    EXPECT_FALSE(FindRealPath(game, "..\\Game\\exact.txt"));
    EXPECT_EQ(MapRealPath(game, "bg\\new\\file.txt"), game + "/BG/new/file.txt");
    EXPECT_EQ(MapRealPath(game, "..\\x"), "");
    EXPECT_EQ(FindRealSibling(game + "/BG", "room.png"), game + "/BG/Room.PNG");
}

TEST(RealFiles, CdRootsAreTheOpticalMounts)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "cd one");
    std::filesystem::create_directories(folder / "dvd");
    std::string table = "/dev/sda1 / ext4 rw 0 0\n"
                        "/dev/sr0 " + (folder / "cd\\040one") + " iso9660 ro 0 0\n"
                        "/dev/sr1 " + (folder / "dvd") + " udf ro 0 0\n"
                        "tmpfs /tmp tmpfs rw 0 0\n"
                        "/dev/sr2 /no/such/mount iso9660 ro 0 0\n";
    testing::WriteBytes(folder / "mounts", table);
    std::vector<std::string> expected = {folder / "cd one/", folder / "dvd/"};
    EXPECT_EQ(CdRootsFromMounts(folder / "mounts"), expected);
    EXPECT_TRUE(CdRootsFromMounts(folder / "missing").empty());
}

TEST(RealFiles, ListingGivesFilesOnlyAndChangesNoPermission)
{
    namespace fs = std::filesystem;
    ScratchFolder folder;
    testing::WriteBytes(folder / "list/b.txt", "b");
    testing::WriteBytes(folder / "list/a.txt", "a");
    testing::WriteBytes(folder / "list/sub/c.txt", "c");
    testing::WriteBytes(folder / "elsewhere/target.txt", "t");
    fs::create_symlink(folder / "elsewhere/target.txt", folder / "list/link.txt");
    fs::permissions(folder / "list/a.txt", fs::perms::owner_read);
    fs::permissions(folder / "elsewhere/target.txt", fs::perms::owner_read);
    fs::permissions(folder / "list/sub", fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<std::string> expected = {"a.txt", "b.txt", "link.txt"};
    EXPECT_EQ(ListRealFolderFiles(folder / "list"), expected);
    EXPECT_EQ(fs::status(folder / "list/a.txt").permissions(), fs::perms::owner_read);
    EXPECT_EQ(fs::status(folder / "elsewhere/target.txt").permissions(), fs::perms::owner_read);
    EXPECT_EQ(fs::status(folder / "list/sub").permissions(), fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(folder / "list/sub", fs::perms::owner_all);
}

TEST(RealFiles, RewriteClearsReadOnlyOnlyOnTheFileItselfNeverThroughALink)
{
    namespace fs = std::filesystem;
    ScratchFolder folder;
    testing::WriteBytes(folder / "work/old.tmp", "old");
    fs::permissions(folder / "work/old.tmp", fs::perms::owner_read);
    auto file = TRealFile::Open(folder / "work/old.tmp", TRealFile::Mode::Rewrite);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 0);
    EXPECT_TRUE(file->WriteAt("new", 3, 0));
    file.reset();
    EXPECT_EQ(testing::ReadBytes(folder / "work/old.tmp"), "new");
    // A link planted at the path is neither written through nor has its target changed.
    testing::WriteBytes(folder / "elsewhere/target.txt", "keep");
    fs::permissions(folder / "elsewhere/target.txt", fs::perms::owner_read);
    fs::create_symlink(folder / "elsewhere/target.txt", folder / "work/link.tmp");
    EXPECT_EQ(TRealFile::Open(folder / "work/link.tmp", TRealFile::Mode::Rewrite), nullptr);
    EXPECT_EQ(fs::status(folder / "elsewhere/target.txt").permissions(), fs::perms::owner_read);
    EXPECT_EQ(testing::ReadBytes(folder / "elsewhere/target.txt"), "keep");
}

TEST(RealFiles, PrivateTempFolderIsOwnerOnly)
{
    std::string made = MakePrivateTempFolder();
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(made.back(), '/');
    auto permissions = std::filesystem::status(made).permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::all, std::filesystem::perms::owner_all);
    // Exclusive creation refuses a file that is already there.
    EXPECT_NE(TRealFile::Open(made + "x", TRealFile::Mode::CreateExclusive), nullptr);
    EXPECT_EQ(TRealFile::Open(made + "x", TRealFile::Mode::CreateExclusive), nullptr);
    std::filesystem::remove_all(made);
}

}  // namespace
}  // namespace mobu
