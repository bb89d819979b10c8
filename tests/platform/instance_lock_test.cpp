#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace mobu {
namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = std::filesystem::temp_directory_path() / ("mobu_lock_" + std::to_string(getpid()));
        std::filesystem::create_directories(root / "game1");
        std::filesystem::create_directories(root / "game2");
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    // Whether another process could take the lock for `path` now.
    static bool OtherProcessCanLock(const std::string& path)
    {
        pid_t child = fork();
        if (child == 0) {
            TInstanceLock lock;
            _exit(lock.Acquire(path) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    std::filesystem::path root;
};

TEST_F(InstanceLockTest, SecondPlayerOnTheSameFolderIsRefused)
{
    TInstanceLock lock;
    ASSERT_TRUE(lock.Acquire((root / "game1").string()));
    EXPECT_FALSE(OtherProcessCanLock((root / "game1").string()));
    // The same folder named another way is the same game.
    EXPECT_FALSE(OtherProcessCanLock((root / "game2" / ".." / "game1" / "").string()));
    EXPECT_TRUE(OtherProcessCanLock((root / "game2").string()));
    lock.Release();
    EXPECT_TRUE(OtherProcessCanLock((root / "game1").string()));
}

TEST_F(InstanceLockTest, LockFileNameDependsOnTheRealPath)
{
    EXPECT_EQ(TInstanceLock::LockFileName((root / "game1").string()),
              TInstanceLock::LockFileName((root / "game1" / "").string()));
    EXPECT_NE(TInstanceLock::LockFileName((root / "game1").string()),
              TInstanceLock::LockFileName((root / "game2").string()));
}

}  // namespace
}  // namespace mobu
