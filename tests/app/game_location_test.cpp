#include "app/game_location.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "archive/vr_file_manager.h"

namespace mobu {
namespace {

void PutI32(std::string& out, int32_t value)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

// A version-0 archive (no header, 32-bit offsets, every entry zlib-compressed) holding
// one file, written independently of the archive code.
std::string TinyArchive(const std::string& name, const std::string& content)
{
    uLongf size = compressBound(content.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
             content.size());
    packed.resize(size);
    std::string out;
    PutI32(out, 1);
    PutI32(out, static_cast<int32_t>(name.size()));
    out += name;
    int32_t data_start = static_cast<int32_t>(out.size() + 8);
    PutI32(out, data_start);
    PutI32(out, data_start + static_cast<int32_t>(packed.size()));
    return out + packed;
}

class GameLocationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetVrFileManager();
        root = std::filesystem::temp_directory_path() / ("mobu_location_" + std::to_string(getpid()));
        std::filesystem::create_directories(root / "game");
        std::filesystem::create_directories(root / "extra");
        std::ofstream(root / "game" / "game.dat", std::ios::binary) << TinyArchive("hello.txt", "from game.dat");
        std::ofstream(root / "extra" / "patch.dat", std::ios::binary) << TinyArchive("patch.txt", "patched");
    }
    void TearDown() override
    {
        ResetVrFileManager();
        std::filesystem::remove_all(root);
    }
    std::filesystem::path root;
};

TEST_F(GameLocationTest, FolderArgumentRegistersItsGameDat)
{
    LocateGameData({(root / "game").string()}, "/nonexistent/mobuplay");
    TVrFileManager& files = VrFileManager();
    ASSERT_EQ(files.ArchiveCount(), 2);
    EXPECT_EQ(files.Archive(0).FileName(), "");  // the in-memory archive comes first
    EXPECT_EQ(files.BaseFolder(), (root / "game").string() + "/");
    EXPECT_EQ(files.ReadFile("hello.txt"), "from game.dat");
}

TEST_F(GameLocationTest, FileArgumentMakesItsFolderTheBaseFolder)
{
    LocateGameData({(root / "game" / "game.dat").string(), (root / "extra" / "patch.dat").string()},
                   "/nonexistent/mobuplay");
    TVrFileManager& files = VrFileManager();
    EXPECT_EQ(files.BaseFolder(), (root / "game").string() + "/");
    EXPECT_EQ(files.ArchiveCount(), 3);  // game.dat once, then the named patch archive
    EXPECT_EQ(files.ReadFile("hello.txt"), "from game.dat");
    EXPECT_EQ(files.ReadFile("patch.txt"), "patched");
}

TEST_F(GameLocationTest, NoArgumentUsesThePlayersFolder)
{
    LocateGameData({}, (root / "game" / "mobuplay").string());
    EXPECT_EQ(VrFileManager().BaseFolder(), (root / "game").string() + "/");
    EXPECT_EQ(VrFileManager().ArchiveCount(), 1);  // no archive appended to the player
}

}  // namespace
}  // namespace mobu
