// The script log's file: lines in UTF-8, each failure once per place, and the rotation
// that keeps one previous file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/script_log.h"
#include "platform/script_log_files.h"
#include "platform/text_encoding.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

TEST(ScriptLogFile, WritesEachFailureOncePerPlaceInUtf8)
{
    const fs::path path = fs::temp_directory_path() / ("mobu_script_log_" + std::to_string(getpid()) + ".log");
    ForgetLoggedFailures();
    {
        TScriptLogFile log(path.string(), true);
        const std::string page = "start.msb";
        for (int pass = 0; pass < 3; ++pass) {
            TScriptPlaceScope place(&page, 12, "Calc");
            ReportScriptFailure(SysText(u8"Foo:この関数は使えません"));
        }
        TScriptPlaceScope other(&page, 13, "ClrHist");
        ReportNotAvailable();
    }
    ReportNotAvailable("LT_MES");  // no sink any more: goes nowhere
    EXPECT_EQ(run_tools::ReadAll(path), reinterpret_cast<const char*>(u8"start.msb:12 Calc: Foo:この関数は使えません\n"
                                                         u8"start.msb:13 ClrHist: not available yet\n"));
    fs::remove(path);
}

TEST(ScriptLogFile, PastTheLimitTheFileBecomesDotOneAndANewOneStarts)
{
    const fs::path path = fs::temp_directory_path() / ("mobu_rotate_" + std::to_string(getpid()) + ".log");
    fs::remove(path.string() + ".1");
    {
        TScriptLogFile log(path.string(), true, 25);
        for (const char* line : {"first line\n", "second line\n", "third line\n"}) {
            log.WriteLine(std::string(line, std::char_traits<char>::length(line) - 1), false);
        }
    }
    EXPECT_EQ(run_tools::ReadAll(path.string() + ".1"), "first line\nsecond line\n");
    EXPECT_EQ(run_tools::ReadAll(path), "third line\n");
    // A later run appends to the file it finds.
    TScriptLogFile(path.string(), false).WriteLine("fourth", true);
    EXPECT_EQ(run_tools::ReadAll(path), "third line\nfourth\n");
    fs::remove(path);
    fs::remove(path.string() + ".1");
}

TEST(ScriptLogFile, AnAppendedLogAndItsFolderAppearOnlyWithTheFirstLine)
{
    const fs::path folder = fs::temp_directory_path() / ("mobu_log_folder_" + std::to_string(getpid()));
    fs::remove_all(folder);
    const fs::path path = folder / "inner" / "mobuplay.log";
    { TScriptLogFile quiet(path.string(), false); EXPECT_TRUE(quiet.IsOpen()); }
    EXPECT_FALSE(fs::exists(folder));
    TScriptLogFile(path.string(), false).WriteLine("first", true);
    EXPECT_EQ(run_tools::ReadAll(path), "first\n");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace mobu
