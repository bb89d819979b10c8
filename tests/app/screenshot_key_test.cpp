// The screenshot key: its game.ini key, the pictures folder of user-dirs.dirs, exclusive
// names, and the demo played headless with F12 pressed writing the frame it showed.
#include "app/screenshot_key.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/demo_screens.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class ScreenshotKey : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = fs::temp_directory_path() / ("mobu_screenshot_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_);
        old_home_ = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", home_.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override
    {
        ::setenv("HOME", old_home_.c_str(), 1);
        fs::remove_all(home_);
    }
    std::vector<fs::path> Pictures(const fs::path& folder) const
    {
        std::vector<fs::path> files;
        if (fs::exists(folder))
            for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }
    fs::path home_;
    std::string old_home_;
};

TEST_F(ScreenshotKey, TheKeyComesFromGameIni)
{
    struct Case { const char* file; int key; };
    for (Case c : {Case{"", 0x7B}, Case{"[Player]\nScreenshotKey=F11\n", 0x7A}, Case{"[Player]\nScreenshotKey=none\n", 0},
                   Case{"[Player]\nScreenshotKey=\n", 0}, Case{"[Player]\nScreenshotKey=Bogus\n", 0x7B},
                   Case{"[player]\nscreenshotkey=p\n", 'P'}}) {
        EXPECT_EQ(ScreenshotKeyOf(TIniText(c.file)), c.key) << c.file;
    }
}

TEST_F(ScreenshotKey, PicturesFolderFollowsUserDirs)
{
    EXPECT_EQ(PicturesFolder(), (home_ / "Pictures").string());
    fs::create_directories(home_ / ".config");
    struct Case { const char* line; std::string folder; };
    for (const Case& c : {Case{"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", (home_ / "Bilder").string()},
                          Case{"# c\nXDG_PICTURES_DIR=\"/srv/pics/\"\n", "/srv/pics"},
                          Case{"XDG_PICTURES_DIR=\"relative\"\n", (home_ / "Pictures").string()}}) {
        std::ofstream(home_ / ".config" / "user-dirs.dirs") << c.line;
        EXPECT_EQ(PicturesFolder(), c.folder) << c.line;
    }
    fs::create_directories(home_ / "xdg");
    std::ofstream(home_ / "xdg" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n";
    ::setenv("XDG_CONFIG_HOME", (home_ / "xdg").c_str(), 1);
    EXPECT_EQ(PicturesFolder(), (home_ / "Fotos").string());
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(ScreenshotKey, NamesAreTakenExclusivelyWithANumberWhenTaken)
{
    FrameBuffer frame;
    frame.Resize(4, 3);
    frame.Fill(0x00FF0000);
    std::time_t when = 1700000000;
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    std::string error;
    std::string first = WriteScreenshot(frame, "Demo: 1", when, error);
    std::string second = WriteScreenshot(frame, "Demo: 1", when, error);
    fs::path folder = home_ / "Pictures" / "mobu";
    EXPECT_EQ(first, (folder / (std::string("Demo_ 1_") + stamp + ".png")).string()) << error;
    EXPECT_EQ(second, (folder / (std::string("Demo_ 1_") + stamp + "_2.png")).string()) << error;
    demo_screens::TShot shot;
    ASSERT_TRUE(shot.Load(second));
    EXPECT_EQ(shot.Width(), 4);
    EXPECT_EQ(shot.At(3, 2).r, 255);
}

int RunPlayer(const std::string& arguments)
{
    std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay " + arguments + " >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(ScreenshotKey, F12InTheHeadlessDemoWritesTheFrameShown)
{
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    std::ofstream(home_ / "input.txt") << "3 key down F12\n3 key up F12\n";
    std::ofstream(home_ / "game.ini") << "[Sound]\nDirectSound=1\n";
    std::string common = "--headless --frames 4 --shot-at 2 --input " + (home_ / "input.txt").string() + " --ini " +
                         (home_ / "game.ini").string() + " --out " + (home_ / "shots").string() + " " + demo.string();
    ASSERT_EQ(RunPlayer(common), 0);
    std::vector<fs::path> files = Pictures(home_ / "Pictures" / "mobu");
    ASSERT_EQ(files.size(), 1u);
    demo_screens::TShot taken, shown;
    ASSERT_TRUE(taken.Load(files[0].string()));
    ASSERT_TRUE(shown.Load((home_ / "shots" / "frame-000002.png").string()));
    ASSERT_EQ(taken.Width(), shown.Width());
    ASSERT_EQ(taken.Height(), shown.Height());
    int differing = 0;
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x) {
            demo_screens::TRgb a = taken.At(x, y), b = shown.At(x, y);
            if (a.r != b.r || a.g != b.g || a.b != b.b) ++differing;
        }
    EXPECT_EQ(differing, 0) << "the key writes the frame shown when it was pressed";

    fs::remove_all(home_ / "Pictures");
    std::ofstream(home_ / "game.ini") << "[Player]\nScreenshotKey=none\n";
    ASSERT_EQ(RunPlayer(common), 0);
    EXPECT_TRUE(Pictures(home_ / "Pictures" / "mobu").empty());
}

}  // namespace
}  // namespace mobu
