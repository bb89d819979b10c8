#include "script/project_setting.h"

#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "core/byte_writer.h"
#include "script/project_messages.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

using testing::J;
using testing::ReadFixture;

std::string ErrorOf(std::string_view bytes)
{
    try {
        TProjectSetting::Parse(bytes);
    } catch (const EMobuError& error) {
        return error.what();
    }
    return "(no error)";
}

void ExpectFixtureVariables(const TProjectSetting& setting)
{
    ASSERT_EQ(setting.variables.size(), 6u);
    EXPECT_EQ(setting.variables[0].type, kPredefinedInt);
    EXPECT_EQ(setting.variables[0].name, J(u8"クリア回数"));
    EXPECT_EQ(setting.variables[0].int_value, -7);
    EXPECT_EQ(setting.variables[1].type, kPredefinedReal);
    EXPECT_EQ(setting.variables[1].real_value, 2.5L);
    EXPECT_EQ(setting.variables[2].type, kPredefinedFlag);
    EXPECT_TRUE(setting.variables[2].flag_value);
    EXPECT_EQ(setting.variables[3].type, kPredefinedString);
    EXPECT_EQ(setting.variables[3].string_value, J(u8"太郎\\表"));
    EXPECT_EQ(setting.variables[4].type, 9);  // unknown type: no value bytes
    EXPECT_EQ(setting.variables[4].name, "odd");
    EXPECT_EQ(setting.variables[5].real_value, -0.75L);
    ASSERT_EQ(setting.disk_map.Entries().size(), 3u);
    EXPECT_EQ(setting.disk_map.Entries()[2].folder, J(u8"表\\sub"));
    EXPECT_EQ(setting.disk_map.Entries()[2].disk, 3);
}

TEST(ProjectSetting, Version103UsesTheDefaultsOfLaterFields)
{
    TProjectSetting setting = TProjectSetting::Parse(ReadFixture("v103.mpb"));
    EXPECT_EQ(setting.version, 103);
    EXPECT_EQ(setting.title, J(u8"もぶデモ"));
    EXPECT_EQ(setting.screen_width, 640);
    EXPECT_EQ(setting.screen_height, 480);
    EXPECT_EQ(setting.full_screen_width, 800);
    EXPECT_EQ(setting.full_screen_height, 600);
    EXPECT_EQ(setting.start_page, "start.msb");
    EXPECT_EQ(setting.exit_page, "");
    EXPECT_EQ(setting.registry_key_name, "Software\\Mobu\\Demo");
    EXPECT_EQ(setting.ident_code, 0x12345678);
    EXPECT_FALSE(setting.write_status_data);
    EXPECT_FALSE(setting.throttle_frames);
    EXPECT_EQ(setting.streamed_extensions, ".wav.wma.ogg.mid");
    EXPECT_FALSE(setting.pause_when_inactive);
    EXPECT_FALSE(setting.first_disk_required);
    EXPECT_TRUE(setting.show_toolbar);
    EXPECT_EQ(setting.disk_prompt, J(u8"ディスク%dを入れて"));
    EXPECT_EQ(setting.exit_prompt, J(u8"おしまい"));
    ExpectFixtureVariables(setting);
}

TEST(ProjectSetting, Version116ReadsEveryField)
{
    TProjectSetting setting = TProjectSetting::Parse(ReadFixture("v116.mpb"));
    EXPECT_EQ(setting.version, 116);
    EXPECT_EQ(setting.exit_page, "exit.msb");
    EXPECT_TRUE(setting.write_status_data);
    EXPECT_TRUE(setting.throttle_frames);
    EXPECT_EQ(setting.streamed_extensions, ".wav.ogg");
    EXPECT_TRUE(setting.pause_when_inactive);
    EXPECT_TRUE(setting.first_disk_required);
    EXPECT_FALSE(setting.show_toolbar);
    ExpectFixtureVariables(setting);
}

TEST(ProjectSetting, WriterReproducesTheNewestVersionByteForByte)
{
    std::string stored = ReadFixture("v116.mpb");
    EXPECT_EQ(TProjectSetting::Parse(stored).Write(), stored);
    // An older file is written as the newest version with the same meaning.
    TProjectSetting old = TProjectSetting::Parse(ReadFixture("v103.mpb"));
    TProjectSetting again = TProjectSetting::Parse(old.Write());
    EXPECT_EQ(again.version, 116);
    EXPECT_EQ(again.streamed_extensions, ".wav.wma.ogg.mid");
    EXPECT_TRUE(again.show_toolbar);
    ExpectFixtureVariables(again);
}

// Each version gate: a file of version v holds exactly the fields of v; reading a field
// that is not there (or skipping one that is) would shift every later field.
TEST(ProjectSetting, EveryVersionGateReadsExactlyItsFields)
{
    for (int32_t version : {0, 103, 104, 105, 106, 108, 109, 110, 112, 113, 114, 115, 116}) {
        ByteWriter writer;
        writer.I32(version);
        writer.String("t");
        for (int i = 0; i < 4; ++i) writer.I32(i + 1);
        writer.String("s.msb");
        if (version >= 110) writer.String("e.msb");
        writer.String("key");
        writer.I32(42);
        if (version >= 104) writer.Flag(true);
        if (version >= 106) writer.Flag(true);
        if (version >= 109) writer.String(".ogg");
        if (version >= 113) writer.Flag(true);
        if (version >= 114) writer.Flag(true);
        if (version >= 116) writer.Flag(false);
        writer.String("p1");
        writer.String("p2");
        writer.I32(0);
        writer.I32(0);
        TProjectSetting parsed = TProjectSetting::Parse(writer.Bytes());
        SCOPED_TRACE(version);
        EXPECT_EQ(parsed.exit_page, version >= 110 ? "e.msb" : "");
        EXPECT_EQ(parsed.ident_code, 42);
        EXPECT_EQ(parsed.write_status_data, version >= 104);
        EXPECT_EQ(parsed.throttle_frames, version >= 106);
        EXPECT_EQ(parsed.streamed_extensions, version >= 109 ? ".ogg" : ".wav.wma.ogg.mid");
        EXPECT_EQ(parsed.pause_when_inactive, version >= 113);
        EXPECT_EQ(parsed.first_disk_required, version >= 114);
        EXPECT_EQ(parsed.show_toolbar, version < 116);
        EXPECT_EQ(parsed.disk_prompt, "p1");
        EXPECT_EQ(parsed.exit_prompt, "p2");
    }
}

TEST(ProjectSetting, NewerVersionIsRefusedWithItsMessage)
{
    std::string stored = ReadFixture("v116.mpb");
    stored[0] = 117;
    EXPECT_EQ(ErrorOf(stored), UnsupportedVersionMessage());
}

TEST(ProjectSetting, DamagedFilesAreRefused)
{
    const std::string stored = ReadFixture("v116.mpb");
    // Every truncation is refused, never read past the end.
    for (size_t length = 0; length < stored.size(); ++length) {
        EXPECT_EQ(ErrorOf(stored.substr(0, length)), NoProjectMessage()) << length;
    }
    auto patched = [&](size_t offset, int32_t value) {
        std::string copy = stored;
        for (int i = 0; i < 4; ++i) copy[offset + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
        return copy;
    };
    // Title length negative, or larger than the file.
    EXPECT_EQ(ErrorOf(patched(4, -1)), NoProjectMessage());
    EXPECT_EQ(ErrorOf(patched(4, 0x7FFFFFFF)), NoProjectMessage());
    // Variable count and disk-map count: negative or more than the bytes left.
    TProjectSetting setting = TProjectSetting::Parse(stored);
    setting.variables.clear();
    setting.disk_map.Clear();
    std::string empty_lists = setting.Write();
    size_t variable_count_at = empty_lists.size() - 8;
    for (int32_t bad : {-1, 1, 0x7FFFFFFF}) {
        std::string copy = empty_lists;
        for (int i = 0; i < 4; ++i) copy[variable_count_at + i] = static_cast<char>((static_cast<uint32_t>(bad) >> (8 * i)) & 0xFF);
        EXPECT_EQ(ErrorOf(copy), NoProjectMessage()) << bad;
        copy = empty_lists;
        for (int i = 0; i < 4; ++i) copy[variable_count_at + 4 + i] = static_cast<char>((static_cast<uint32_t>(bad) >> (8 * i)) & 0xFF);
        EXPECT_EQ(ErrorOf(copy), NoProjectMessage()) << bad;
    }
}

}  // namespace
}  // namespace mobu
