// mobupack saves: the listed slots of a save file and of its backup, with their states
// (ok, too old, too new, damaged), dates and captions, as lines and as JSON; negative and
// non-numeric slot names are not listed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "archive/save_file.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::ReadAll;

std::string Entry(int32_t version, const std::string& caption)
{
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((static_cast<uint32_t>(version) >> (8 * i)) & 0xFF);
    std::string length(4, '\0');
    length[0] = static_cast<char>(caption.size());
    return out + length + caption + std::string(8, '\0');
}

TEST(MobupackSaves, ListsSlotsWithTheirStates)
{
    const fs::path dir = fs::temp_directory_path() / ("mobu_saves_tool_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string save = (dir / "save.dat").string();
    const int32_t stamp = 1700000000;
    ASSERT_TRUE(ReplaceSaveEntries(save, {{"GAMESAVEDATA1", Entry(140, "\x88\xea"), stamp},  // 一
                                          {"GAMESAVEDATA2", Entry(106, "old"), 0},
                                          {"GAMESAVEDATA3", Entry(141, "new"), 0},
                                          {"GAMESAVEDATA4", std::string("\x8c\0", 2), 0},
                                          {"GAMESAVEDATA-1", Entry(140, "minus"), 0},
                                          {"GAMESAVEDATAx", Entry(140, "x"), 0},
                                          {"STATUSSAVEDATA", "Status103", 0}}));
    ASSERT_TRUE(ReplaceSaveEntries(save, {{"GAMESAVEDATA5", Entry(107, "five"), 0}}));
    std::time_t seconds = stamp;
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[32], iso[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%S", &local);

    const std::string tool = std::string(MOBU_BINARY_DIR) + "/mobupack saves ";
    const fs::path out = dir / "out.txt";
    ASSERT_EQ(std::system((tool + save + " >" + out.string()).c_str()), 0);
    EXPECT_EQ(ReadAll(out), std::string("1\t") + date +
                                "\t140\tok\t\xe4\xb8\x80\n"
                                "2\t-\t106\ttoo old\told\n"
                                "3\t-\t141\ttoo new\tnew\n"
                                "4\t-\t-\tdamaged\t\n"
                                "5\t-\t107\tok\tfive\n");
    ASSERT_EQ(std::system((tool + save + ".bak --json >" + out.string()).c_str()), 0);
    EXPECT_EQ(ReadAll(out), std::string("[{\"slot\": 1, \"caption\": \"\xe4\xb8\x80\", \"date\": \"") + iso +
                                "\", \"version\": 140, \"state\": \"ok\"}, "
                                "{\"slot\": 2, \"caption\": \"old\", \"date\": null, \"version\": 106, \"state\": \"too old\"}, "
                                "{\"slot\": 3, \"caption\": \"new\", \"date\": null, \"version\": 141, \"state\": \"too new\"}, "
                                "{\"slot\": 4, \"caption\": null, \"date\": null, \"version\": null, \"state\": \"damaged\"}]\n");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace mobu
