#include "script/install_data.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/project_messages.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

using testing::J;
using testing::ReadFixture;

std::string ErrorOf(std::string_view bytes)
{
    try {
        TInstallData::Parse(bytes);
    } catch (const EMobuError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(InstallData, HeaderVersionGatesTheLaterFields)
{
    struct Case {
        const char* file;
        int version;
        int32_t disk_index;
        size_t created;
        bool no_disk;
    };
    for (const Case& c : {Case{"install_is108.dat", 108, 1, 2, true}, Case{"install_is102.dat", 102, 0, 1, false},
                          Case{"install_is099.dat", 99, 2, 0, false}, Case{"install_plain.dat", 0, 3, 0, false}}) {
        SCOPED_TRACE(c.file);
        TInstallData data = TInstallData::Parse(ReadFixture(c.file));
        EXPECT_EQ(data.version, c.version);
        EXPECT_EQ(data.disk_index, c.disk_index);
        EXPECT_EQ(data.title, J(u8"もぶデモ"));
        EXPECT_EQ(data.created_files.size(), c.created);
        EXPECT_EQ(data.no_disk_needed, c.no_disk);
        EXPECT_EQ(data.installer.number_c, -5);
        ASSERT_FALSE(data.installer.records.empty());
        // Four-byte numbers before version 100, eight-byte ones after.
        EXPECT_EQ(data.installer.records[0][3], -(int64_t{1} << 31));
        EXPECT_EQ(data.installer.numbers[2], -13);
        EXPECT_EQ(data.installer.byte_d, 9);
        EXPECT_TRUE(data.unknown_tail.empty());
    }
    TInstallData newest = TInstallData::Parse(ReadFixture("install_is108.dat"));
    EXPECT_EQ(newest.created_files[1], "cg\\shot.fsk");
    EXPECT_EQ(newest.installer.records.size(), 2u);
    EXPECT_EQ(newest.installer.texts_h.size(), 2u);
    EXPECT_EQ(newest.installer.text_i, "i");
    EXPECT_EQ(newest.installer.texts_j[1], "j2");
}

TEST(InstallData, WriterProducesIs108AndKeepsEveryField)
{
    std::string stored = ReadFixture("install_is108.dat");
    EXPECT_EQ(TInstallData::Parse(stored).Write(), stored);
    for (const char* file : {"install_is102.dat", "install_is099.dat", "install_plain.dat"}) {
        SCOPED_TRACE(file);
        TInstallData old = TInstallData::Parse(ReadFixture(file));
        std::string written = old.Write();
        EXPECT_EQ(written.substr(0, 5), "is108");
        TInstallData again = TInstallData::Parse(written);
        EXPECT_EQ(again.version, 108);
        EXPECT_EQ(again.disk_index, old.disk_index);
        EXPECT_EQ(again.title, old.title);
        EXPECT_EQ(again.installer.records, old.installer.records);
        EXPECT_EQ(again.installer.numbers, old.installer.numbers);
        EXPECT_EQ(again.created_files, old.created_files);
    }
}

TEST(InstallData, HeaderRules)
{
    std::string plain = ReadFixture("install_plain.dat");
    // "is" must be followed by three digits.
    EXPECT_EQ(ErrorOf("is1x8" + plain), ReinstallMessage());
    EXPECT_EQ(ErrorOf("is"), ReinstallMessage());
    EXPECT_EQ(ErrorOf("is10"), ReinstallMessage());
    // Without "is" the file is read from its first byte as version 0.
    EXPECT_EQ(ErrorOf(""), ReinstallMessage());
    EXPECT_EQ(ErrorOf("i"), ReinstallMessage());
    // A newer installer's extra fields are kept and written back.
    std::string newer = ReadFixture("install_is108.dat");
    newer[4] = '9';
    newer += "extra";
    TInstallData data = TInstallData::Parse(newer);
    EXPECT_EQ(data.version, 109);
    EXPECT_EQ(data.unknown_tail, "extra");
    EXPECT_EQ(data.Write().substr(data.Write().size() - 5), "extra");
}

TEST(InstallData, DamagedFilesAreRefused)
{
    const std::string stored = ReadFixture("install_is108.dat");
    for (size_t length = 0; length < stored.size(); ++length) {
        EXPECT_EQ(ErrorOf(stored.substr(0, length)), ReinstallMessage()) << length;
    }
    // The record count sits after the installer's first fields: offset of "is108", disk
    // index, title, three strings, a byte, a string, a byte.
    size_t count_at = 5 + 4 + (4 + 8) + 3 * (4 + 2) + 1 + (4 + 1) + 1;
    ASSERT_EQ(static_cast<uint8_t>(stored[count_at]), 2);
    for (int32_t bad : {-1, 3, 1000000, 0x7FFFFFFF}) {
        std::string copy = stored;
        for (int i = 0; i < 4; ++i) copy[count_at + i] = static_cast<char>((static_cast<uint32_t>(bad) >> (8 * i)) & 0xFF);
        if (bad == 3) {
            // One record too many is read into the fields after it and fails further on.
            EXPECT_THROW(TInstallData::Parse(copy), EMobuError);
        } else {
            EXPECT_EQ(ErrorOf(copy), ReinstallMessage()) << bad;
        }
    }
}

class InstallDataFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("mobu-install-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Path(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(InstallDataFile, RecordCreatedFileRewritesAtomicallyOnce)
{
    std::string path = Path("install.dat");
    ASSERT_TRUE(ReplaceFileAtomically(path, ReadFixture("install_is102.dat")));
    ::chmod(path.c_str(), 0640);
    EXPECT_TRUE(RecordCreatedFile(path, "shot\\b.fsk"));
    EXPECT_FALSE(RecordCreatedFile(path, "SHOT\\B.FSK"));  // already listed
    TInstallData data = ReadInstallDataFile(path);
    EXPECT_EQ(data.version, 108);
    ASSERT_EQ(data.created_files.size(), 2u);
    EXPECT_EQ(data.created_files[1], "shot\\b.fsk");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // permissions kept
    // No temporary file is left behind.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
    // A missing file is not created.
    EXPECT_FALSE(RecordCreatedFile(Path("none.dat"), "x.fsk"));
    EXPECT_FALSE(RealFileExists(Path("none.dat")));
}

TEST_F(InstallDataFile, DamagedFileIsNotOverwritten)
{
    std::string path = Path("install.dat");
    ASSERT_TRUE(ReplaceFileAtomically(path, "is108junk"));
    EXPECT_THROW(RecordCreatedFile(path, "x.fsk"), EMobuError);
    EXPECT_EQ(*ReadRealFile(path), "is108junk");
}

}  // namespace
}  // namespace mobu
