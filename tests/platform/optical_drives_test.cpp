#include "platform/optical_drives.h"

#include <gtest/gtest.h>

namespace mobu {
namespace {

const char* kMounts =
    "/dev/sda1 / ext4 rw,relatime 0 0\n"
    "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
    "/dev/sr1 /media/My\\040Disc udf ro 0 0\n"
    "/dev/sdb1 /media/cdrom/inner ext4 rw 0 0\n"
    "broken line\n";

TEST(OpticalDrives, FindsTheFileSystemHoldingAPath)
{
    auto mounts = ParseMountTable(kMounts);
    ASSERT_EQ(mounts.size(), 4u);
    EXPECT_EQ(mounts[2].mount_point, "/media/My Disc");
    EXPECT_FALSE(IsOnOpticalDisc("/home/user/game/mobuplay", mounts));
    EXPECT_TRUE(IsOnOpticalDisc("/media/cdrom/mobuplay", mounts));
    EXPECT_TRUE(IsOnOpticalDisc("/media/My Disc/game.dat", mounts));
    EXPECT_FALSE(IsOnOpticalDisc("/media/cdromx/game.dat", mounts));
    EXPECT_FALSE(IsOnOpticalDisc("/media/cdrom/inner/game.dat", mounts));
}

TEST(OpticalDrives, ThisTestRunsFromANormalDisk)
{
    EXPECT_FALSE(IsOnOpticalDisc(MOBU_BINARY_DIR));
}

}  // namespace
}  // namespace mobu
