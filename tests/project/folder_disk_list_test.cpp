#include "script/folder_disk_list.h"

#include <gtest/gtest.h>

#include "tests/project/test_support.h"

namespace mobu {
namespace {

using testing::J;

TEST(FolderDiskList, InnermostFolderDecidesWithoutCase)
{
    TFolderDiskList map;
    map.Add("CG", 2);
    map.Add("cg\\sub\\deep", 3);
    map.Add("bgm\\", 4);
    map.Add(J(u8"表"), 5);      // 0x95 0x5C: the trail byte is no delimiter
    map.Add(J(u8"ソ\\x"), 6);   // 0x83 0x5C then a real delimiter
    struct Case {
        std::string name;
        int32_t disk;
    };
    for (const Case& c : {Case{"cg\\sub\\x.png", 2}, Case{"Cg\\Sub\\DEEP\\y.png", 3}, Case{"CG\\a.png", 2},
                          Case{"bgm\\a.ogg", 4}, Case{"bgm", 4}, Case{"cgx\\a.png", 0}, Case{"a.png", 0},
                          Case{"", 0}, Case{"cg/sub/x.png", 2}, Case{J(u8"表\\a.png"), 5},
                          Case{J(u8"表a.png"), 0}, Case{J(u8"ソ\\x\\z.png"), 6}, Case{J(u8"ソ\\y.png"), 0},
                          Case{"\\cg\\a.png", 0}}) {
        EXPECT_EQ(map.DiskOf(c.name), c.disk) << c.name;
    }
}

TEST(FolderDiskList, StreamRoundTripAndDamage)
{
    TFolderDiskList map;
    map.Add("cg", 2);
    map.Add("", 0);
    ByteWriter writer;
    map.Write(writer);
    ByteReader reader(writer.Bytes());
    TFolderDiskList again;
    again.Read(reader);
    EXPECT_TRUE(reader.AtEnd());
    ASSERT_EQ(again.Entries().size(), 2u);
    EXPECT_EQ(again.Entries()[0].folder, "cg");
    EXPECT_EQ(again.Entries()[0].disk, 2);
    for (size_t length = 0; length < writer.Bytes().size(); ++length) {
        const std::string bytes = writer.Bytes().substr(0, length);
        ByteReader cut(bytes);
        EXPECT_THROW(again.Read(cut), EMobuError) << length;
    }
}

}  // namespace
}  // namespace mobu
