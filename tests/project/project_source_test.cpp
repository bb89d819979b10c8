#include "script/project_source.h"

#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "platform/text_encoding.h"
#include "script/project_messages.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

using testing::J;

std::string U(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

std::string ErrorOf(const std::string& source)
{
    try {
        CompileProjectSource(source);
    } catch (const EMobuError& error) {
        return Cp932ToUtf8(error.what());
    }
    return "(no error)";
}

TEST(ProjectSource, CompilesEveryKey)
{
    std::string source = U(u8"\xEF\xBB\xBF; comment\n"
                           u8"[project]\n"
                           u8"title = もぶデモ\n"
                           u8"screen = 800x600\n"
                           u8"full_screen = 1024 x 768\n"
                           u8"start_page = start.msb\n"
                           u8"exit_page = exit.msb\n"
                           u8"registry_key = Software\\Mobu\n"
                           u8"ident_code = 0xFFFFFFFE\n"
                           u8"write_status_data = no\n"
                           u8"throttle_frames = off\n"
                           u8"streamed_extensions = .wav.ogg\n"
                           u8"pause_when_inactive = yes\n"
                           u8"first_disk_required = true\n"
                           u8"show_toolbar = 0\n"
                           u8"disk_prompt = \" ディスク%d \"\n"
                           u8"exit_prompt = さようなら\r\n"
                           u8"\n[variables]\n"
                           u8"回数 = int -3\n"
                           u8"rate = real 2.25\n"
                           u8"seen = flag yes\n"
                           u8"名前 = string 太郎 と 花子\n"
                           u8"[disks]\n"
                           u8"cg/sub = 2\n");
    TProjectSetting s = CompileProjectSource(source);
    EXPECT_EQ(s.title, J(u8"もぶデモ"));
    EXPECT_EQ(s.screen_width, 800);
    EXPECT_EQ(s.screen_height, 600);
    EXPECT_EQ(s.full_screen_width, 1024);
    EXPECT_EQ(s.full_screen_height, 768);
    EXPECT_EQ(s.start_page, "start.msb");
    EXPECT_EQ(s.exit_page, "exit.msb");
    EXPECT_EQ(s.registry_key_name, "Software\\Mobu");
    EXPECT_EQ(s.ident_code, -2);
    EXPECT_FALSE(s.write_status_data);
    EXPECT_FALSE(s.throttle_frames);
    EXPECT_EQ(s.streamed_extensions, ".wav.ogg");
    EXPECT_TRUE(s.pause_when_inactive);
    EXPECT_TRUE(s.first_disk_required);
    EXPECT_FALSE(s.show_toolbar);
    EXPECT_EQ(s.disk_prompt, J(u8" ディスク%d "));
    EXPECT_EQ(s.exit_prompt, J(u8"さようなら"));
    ASSERT_EQ(s.variables.size(), 4u);
    EXPECT_EQ(s.variables[0].name, J(u8"回数"));
    EXPECT_EQ(s.variables[0].int_value, -3);
    EXPECT_EQ(s.variables[1].real_value, 2.25L);
    EXPECT_TRUE(s.variables[2].flag_value);
    EXPECT_EQ(s.variables[3].string_value, J(u8"太郎 と 花子"));
    ASSERT_EQ(s.disk_map.Entries().size(), 1u);
    EXPECT_EQ(s.disk_map.Entries()[0].folder, "cg\\sub");
    // What it compiles to reads back the same.
    TProjectSetting again = TProjectSetting::Parse(s.Write());
    EXPECT_EQ(again.title, s.title);
    EXPECT_EQ(again.variables[3].string_value, s.variables[3].string_value);
}

TEST(ProjectSource, DefaultsAreThePlayersDefaults)
{
    TProjectSetting s = CompileProjectSource("[project]\nscreen=640x480\nstart_page=a.msb\n");
    EXPECT_TRUE(s.write_status_data);
    EXPECT_TRUE(s.show_toolbar);
    EXPECT_EQ(s.streamed_extensions, ".wav.wma.ogg.mid");
    EXPECT_EQ(s.full_screen_width, 640);
    EXPECT_EQ(s.full_screen_height, 480);
    EXPECT_EQ(s.disk_prompt, DefaultDiskPrompt());
    EXPECT_EQ(s.exit_prompt, DefaultExitPrompt());
}

TEST(ProjectSource, FaultsNameTheLine)
{
    const std::string head = "[project]\nscreen=640x480\nstart_page=a.msb\n";
    struct Case {
        std::string source;
        std::string message;
    };
    for (const Case& c : {
             Case{"[project]\nscreen=640x480\n", "project.ini:3: [project] needs start_page"},
             Case{head + "titel = x\n", "project.ini:4: unknown key \"titel\""},
             Case{head + "[other]\n", "project.ini:4: unknown section [other] (project, variables or disks)"},
             Case{head + "ident_code = 12x\n", "project.ini:4: \"12x\" is not a 32-bit integer"},
             Case{head + "ident_code = 4294967296\n", "project.ini:4: \"4294967296\" is not a 32-bit integer"},
             Case{head + "show_toolbar = maybe\n", "project.ini:4: \"maybe\" is not yes or no"},
             Case{head + "title = " + U(u8"😀") + "\n", "project.ini:4: the text holds characters that code page 932 cannot hold"},
             Case{head + "[variables]\nx = double 1\n", "project.ini:5: \"double\" is not a variable type (int, real, flag or string)"},
             Case{head + "[variables]\nx = real abc\n", "project.ini:5: \"abc\" is not a real number"},
             Case{head + "[disks]\ncg = -1\n", "project.ini:5: a disk number cannot be negative"},
             Case{head + "just words\n", "project.ini:4: expected KEY = VALUE"},
             Case{"title = x\n", "project.ini:1: a key before the first [section]"},
         }) {
        EXPECT_EQ(ErrorOf(c.source), c.message);
    }
}

}  // namespace
}  // namespace mobu
