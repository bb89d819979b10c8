// The window front end on a real X display (the suite runs this under Xvfb): the demo
// game opens one window with the project's title and client size; a second start on the
// same game exits at once; the window closes cleanly on a quit request. With the mouse moved
// and clicked by xdotool and the window captured by ImageMagick's import, the demo's title
// screen, its animated star, the picture button's hover frame, the field screen reached by
// the click, its sign's lit half and the way back are checked as a player sees them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>
#include <string>
#include <thread>

#include "tests/support/demo_screens.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

std::string Capture(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

pid_t Start(const std::string& game, const char* option = nullptr, const char* value = nullptr)
{
    pid_t child = fork();
    if (child == 0) {
        std::string player = std::string(MOBU_BINARY_DIR) + "/mobuplay";
        if (option) execl(player.c_str(), player.c_str(), option, value, game.c_str(), static_cast<char*>(nullptr));
        else execl(player.c_str(), player.c_str(), game.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Exit status of the child, or -1 when it is still running after `seconds`.
int WaitFor(pid_t child, int seconds)
{
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

// How long a player may take to show its window. It is shown well within a second on an idle
// machine; a CI machine busy with other builds once took longer than 15 s.
constexpr int kWindowWaitSeconds = 40;

// The id of the shown window whose name is exactly `title`, waiting up to `seconds`. The
// window has its title before it gets its final size and is shown; only then is it looked at.
std::string FindWindow(const std::string& title, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        std::string ids = Capture("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
        if (!ids.empty()) return ids.substr(0, ids.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

// Every top-level window the X server has, with its name and map state: what a test prints
// when the window it waits for does not show up.
std::string DescribeWindows()
{
    std::string out;
    std::istringstream ids(Capture("xdotool search --name '' 2>/dev/null"));
    for (std::string id; std::getline(ids, id);) {
        std::string info = Capture("xwininfo -id " + id + " 2>/dev/null");
        std::smatch name, state;
        std::regex_search(info, name, std::regex("xwininfo: Window id: \\S+ (.*)"));
        std::regex_search(info, state, std::regex("Map State: (\\S+)"));
        out += id + " " + (name.size() > 1 ? name[1].str() : "?") + " " + (state.size() > 1 ? state[1].str() : "?") + "\n";
    }
    return out;
}

// Starts the player on `game` and waits for its window, whose id goes to `window` (empty
// when none showed). A start whose window has not shown up in time is reported on standard
// error with the windows the server has, and the player is started once more: under Xvfb on a
// machine loaded by other builds, about one start in ten ran its game without its window
// ever being seen. A second start in the same state fails the caller's check.
pid_t StartShown(const std::string& game, const std::string& title, std::string& window,
                 const char* option = nullptr, const char* value = nullptr)
{
    for (int attempt = 1;; ++attempt) {
        pid_t player = Start(game, option, value);
        window = FindWindow(title, kWindowWaitSeconds);
        if (!window.empty() || attempt == 2) return player;
        std::fprintf(stderr, "start %d: no window titled %s after %d s; windows:\n%s", attempt, title.c_str(),
                     kWindowWaitSeconds, DescribeWindows().c_str());
        kill(player, SIGKILL);
        WaitFor(player, 10);
    }
}

// "title = ..." from the demo's project description.
std::string DemoTitle()
{
    std::ifstream in(fs::path(MOBU_SOURCE_DIR) / "examples" / "demo" / "project.ini");
    std::string line;
    std::regex title_line(R"(^\s*title\s*=\s*(.*?)\s*$)", std::regex::icase);
    std::smatch match;
    while (std::getline(in, line))
        if (std::regex_match(line, match, title_line)) return match[1];
    return "";
}

TEST(WindowFrontEnd, DemoOpensOneCentredWindowWithTheProjectsSizeAndTitle)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    std::string title = DemoTitle();
    ASSERT_FALSE(title.empty());
    fs::path game = fs::temp_directory_path() / ("mobu_e2e_" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(demo, game, fs::copy_options::recursive);

    std::string window;
    pid_t player = StartShown(game.string(), title, window);
    ASSERT_FALSE(window.empty()) << "no window titled " << title << "; windows:\n" << DescribeWindows();

    std::string info = Capture("xwininfo -id " + window);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Width:\s*(\d+))"))) << info;
    int width = std::stoi(match[1]);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Height:\s*(\d+))"))) << info;
    int height = std::stoi(match[1]);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480 + 22);  // the screen and the toolbar strip

    // Centred on the display (Xvfb has no window manager: no decorations, no panels).
    std::string root = Capture("xwininfo -root");
    ASSERT_TRUE(std::regex_search(root, match, std::regex(R"(Width:\s*(\d+))"))) << root;
    int root_width = std::stoi(match[1]);
    ASSERT_TRUE(std::regex_search(root, match, std::regex(R"(Height:\s*(\d+))"))) << root;
    int root_height = std::stoi(match[1]);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Absolute upper-left X:\s*(-?\d+))"))) << info;
    EXPECT_EQ(std::stoi(match[1]), (root_width - width) / 2);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Absolute upper-left Y:\s*(-?\d+))"))) << info;
    EXPECT_EQ(std::stoi(match[1]), (root_height - height) / 2);

    // A second player on the same game ends at once without a window of its own.
    pid_t second = Start(game.string());
    EXPECT_EQ(WaitFor(second, 10), 0);
    std::string ids = Capture("xdotool search --name '^" + title + "$'");
    EXPECT_EQ(std::count(ids.begin(), ids.end(), '\n'), 1) << ids;

    kill(player, SIGTERM);  // arrives as a quit request: the window closes in order
    EXPECT_EQ(WaitFor(player, 10), 0);
    fs::remove_all(game);
}

// game.ini [Video] WindowScale=2: the window shows the game at twice its size under the
// unscaled strip, each game pixel a 2 x 2 block (a whole factor is never smoothed).
TEST(WindowFrontEnd, WindowScaleShowsTheGameAtAWholeFactor)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    fs::path game = fs::temp_directory_path() / ("mobu_e2e_scale_" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(demo, game, fs::copy_options::recursive);
    fs::path ini = game / "scaled.ini";
    std::ofstream(ini) << "[Video]\nWindowScale=2\n";
    std::string window;
    pid_t player = StartShown(game.string(), DemoTitle(), window, "--ini", ini.c_str());
    ASSERT_FALSE(window.empty()) << "windows:\n" << DescribeWindows();
    std::string info = Capture("xwininfo -id " + window);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Width:\s*(\d+))"))) << info;
    EXPECT_EQ(std::stoi(match[1]), 1280);
    ASSERT_TRUE(std::regex_search(info, match, std::regex(R"(Height:\s*(\d+))"))) << info;
    EXPECT_EQ(std::stoi(match[1]), 960 + 22);

    fs::path file = game / "scaled.png";
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the first frames are drawn
    ASSERT_EQ(std::system(("import -window " + window + " png24:'" + file.string() + "' 2>/dev/null").c_str()), 0);
    demo_screens::TShot shot;
    ASSERT_TRUE(shot.Load(file.string(), 22));
    ASSERT_EQ(shot.Width(), 1280);
    int blocks = 0, whole = 0, varied = 0;
    for (int y = 0; y + 1 < 960; y += 14) {
        for (int x = 0; x + 1 < 1280; x += 10) {
            demo_screens::TRgb a = shot.At(x, y), b = shot.At(x + 1, y), c = shot.At(x, y + 1), d = shot.At(x + 1, y + 1);
            auto same = [](demo_screens::TRgb p, demo_screens::TRgb q) { return p.r == q.r && p.g == q.g && p.b == q.b; };
            ++blocks;
            whole += same(a, b) && same(a, c) && same(a, d);
            varied += !same(a, shot.At(x + 2, y));
        }
    }
    EXPECT_EQ(whole, blocks) << "every game pixel is a 2 x 2 block";
    EXPECT_GT(varied, 0) << "the picture is not flat, so the blocks say something";
    kill(player, SIGTERM);
    EXPECT_EQ(WaitFor(player, 10), 0);
    fs::remove_all(game);
}

// F12 in the window writes the game frame as PNG to the pictures folder (XDG_PICTURES_DIR of
// user-dirs.dirs), at the game's size without the strip.
TEST(WindowFrontEnd, F12WritesAScreenshotToThePicturesFolder)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    fs::path root = fs::temp_directory_path() / ("mobu_e2e_f12_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "config");
    fs::copy(demo, root / "game", fs::copy_options::recursive);
    std::ofstream(root / "config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"" << (root / "pictures").string() << "\"\n";
    const char* old_config = std::getenv("XDG_CONFIG_HOME");
    std::string saved_config = old_config ? old_config : "";
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);  // the player inherits it
    std::string window;
    pid_t player = StartShown((root / "game").string(), DemoTitle(), window);
    if (old_config) setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    ASSERT_FALSE(window.empty()) << "windows:\n" << DescribeWindows();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_EQ(std::system(("xdotool windowactivate --sync " + window + " key F12 2>/dev/null || xdotool key F12").c_str()), 0);
    fs::path written;
    for (int i = 0; i < 100 && written.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (fs::exists(root / "pictures" / "mobu"))
            for (const auto& entry : fs::directory_iterator(root / "pictures" / "mobu"))
                if (entry.path().extension() == ".png") written = entry.path();
    }
    ASSERT_FALSE(written.empty()) << "no PNG in " << (root / "pictures" / "mobu");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // written whole before it is renamed in
    demo_screens::TShot shot;
    ASSERT_TRUE(shot.Load(written.string()));
    EXPECT_EQ(shot.Width(), 640);
    EXPECT_EQ(shot.Height(), 480);
    EXPECT_TRUE(demo_screens::TitleShown(shot));
    kill(player, SIGTERM);
    EXPECT_EQ(WaitFor(player, 10), 0);
    fs::remove_all(root);
}

// --window-frames: the window shows that many frames and closes by itself, in order.
TEST(WindowFrontEnd, TheWindowClosesByItselfAfterTheFramesAsked)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
    if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
    fs::path game = fs::temp_directory_path() / ("mobu_e2e_frames_" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(demo, game, fs::copy_options::recursive);
    std::string window;
    pid_t player = StartShown(game.string(), DemoTitle(), window, "--window-frames", "200");  // about 3 s of frames
    EXPECT_FALSE(window.empty()) << "windows:\n" << DescribeWindows();
    EXPECT_EQ(WaitFor(player, 60), 0);
    EXPECT_TRUE(Capture("xdotool search --name '^" + DemoTitle() + "$' 2>/dev/null").empty());
    fs::remove_all(game);
}

constexpr int kStripHeight = 22;  // the toolbar strip above the game screen

class DemoInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        const fs::path demo = fs::path(MOBU_BINARY_DIR) / "demo";
        if (!fs::exists(demo / "game.dat")) GTEST_SKIP() << "the demo game is not packed in this build";
        scratch_ = fs::temp_directory_path() / ("mobu_e2e_flow_" + std::to_string(getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
        fs::copy(demo, scratch_ / "game", fs::copy_options::recursive);
        player_ = StartShown((scratch_ / "game").string(), DemoTitle(), window_);
        ASSERT_FALSE(window_.empty()) << "no window titled " << DemoTitle() << "; windows:\n" << DescribeWindows();
    }
    void TearDown() override
    {
        if (player_ > 0) {
            kill(player_, SIGTERM);
            EXPECT_EQ(WaitFor(player_, 10), 0);
        }
        if (!scratch_.empty()) fs::remove_all(scratch_);
    }

    // Captures the window (toolbar strip included).
    bool Capture(demo_screens::TShot& shot)
    {
        const fs::path file = scratch_ / ("shot-" + std::to_string(shots_++) + ".png");
        if (std::system(("import -window " + window_ + " png24:'" + file.string() + "' 2>/dev/null").c_str()) != 0)
            return false;
        return shot.Load(file.string(), kStripHeight);
    }
    // Captures until `sight` holds (up to `seconds`); the last capture stays in `shot`.
    template <class Sight>
    bool CaptureUntil(demo_screens::TShot& shot, Sight sight, int seconds = 15)
    {
        for (int i = 0; i < seconds * 5; ++i) {
            if (Capture(shot) && sight(shot)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }
    // Moves the pointer to game screen coordinates and, when asked, clicks the left button.
    void Pointer(int x, int y, bool click)
    {
        std::string command = "xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " +
                              std::to_string(y + kStripHeight);
        if (click) command += " click 1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    fs::path scratch_;
    pid_t player_ = -1;
    std::string window_;
    int shots_ = 0;
};

TEST_F(DemoInTheWindow, TheTitleAnimatesAndItsButtonLeadsToTheFieldAndBack)
{
    demo_screens::TShot shot;
    ASSERT_TRUE(Capture(shot));
    EXPECT_EQ(shot.Width(), 640);  // the project's screen, the strip above it
    EXPECT_EQ(shot.Height(), 480 + kStripHeight);
    // The title page has run: the plate behind the button (a box) is there, below the strip.
    EXPECT_TRUE(CaptureUntil(shot, demo_screens::TitlePlateRimShown));
    ASSERT_TRUE(CaptureUntil(shot, demo_screens::TitleShown, 3));  // the pictures of the title
    EXPECT_TRUE(demo_screens::IsUnlitPlate(demo_screens::StartButtonPlate(shot)));

    // The star moves along the sky and shows other frames while it goes.
    auto first = demo_screens::FindStar(shot);
    ASSERT_TRUE(first) << "no star in the sky";
    bool moved = false, recoloured = false;
    for (int i = 0; i < 50 && !(moved && recoloured); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        demo_screens::TShot again;
        if (!Capture(again)) continue;
        auto star = demo_screens::FindStar(again);
        if (!star) continue;  // between leaving on the right and coming back on the left
        moved = moved || star->left != first->left;
        recoloured = recoloured || star->colour != first->colour;
    }
    EXPECT_TRUE(moved) << "the star stays where it is";
    EXPECT_TRUE(recoloured) << "the star shows one frame only";

    // Over the button: its lit frame. A click: the field.
    Pointer(300, 320, false);
    EXPECT_TRUE(CaptureUntil(shot, [](const demo_screens::TShot& s) {
        return demo_screens::IsLitPlate(demo_screens::StartButtonPlate(s));
    })) << "the start button does not light up under the mouse";
    Pointer(300, 320, true);
    ASSERT_TRUE(CaptureUntil(shot, demo_screens::FieldShown)) << "the click did not open the field screen";
    // The star in the field swells and turns: its pixels change from capture to capture.
    const int before = demo_screens::FieldStarPixels(shot);
    EXPECT_TRUE(CaptureUntil(shot, [before](const demo_screens::TShot& s) {
        return demo_screens::FieldShown(s) && demo_screens::FieldStarPixels(s) != before;
    }));

    // The sign (a map image) lights only the half under the mouse.
    Pointer(600, 240, false);
    EXPECT_TRUE(CaptureUntil(shot, [](const demo_screens::TShot& s) {
        const demo_screens::TRgb fast = s.At(600, 240), slow = s.At(510, 240);
        return fast.r > 200 && fast.g > 160 && fast.b < 80 && slow.r < 110 && slow.b > 80;
    })) << "the sign's fast half does not light up under the mouse";

    // The back button lights up and leads back to the title.
    const int unlit_blue = demo_screens::BackButtonPlate(shot).b;
    Pointer(560, 440, false);
    EXPECT_TRUE(CaptureUntil(shot, [unlit_blue](const demo_screens::TShot& s) {
        return demo_screens::BackButtonPlate(s).b > unlit_blue + 40;
    })) << "the back button does not light up under the mouse";
    Pointer(560, 440, true);
    EXPECT_TRUE(CaptureUntil(shot, demo_screens::TitleShown)) << "the back button did not return to the title";
}

// The screens switch with a transition: a curtain from the title to the field, a mask fade
// back. Captured as fast as the window allows, some shot of each switch shows both screens at
// once (the title's sky beside the field's grass), and the switch ends on the screen asked for,
// which stays. On the field, Space shows the next effect: the background turns to dusk.
TEST_F(DemoInTheWindow, SwitchesBetweenTheScreensAreVisibleAndEndOnTheRightScreen)
{
    demo_screens::TShot shot;
    ASSERT_TRUE(CaptureUntil(shot, demo_screens::TitleShown));
    // Captures until `done` holds; true when some capture before it showed both screens.
    auto watch_switch = [&](auto done, bool& ended) {
        bool mixed = false;
        ended = false;
        for (int i = 0; i < 150 && !ended; ++i) {
            demo_screens::TShot during;
            if (!Capture(during)) continue;
            if (done(during)) ended = true;
            else if (demo_screens::SkyAndGrassMixed(during)) mixed = true;
        }
        return mixed;
    };
    bool ended = false;
    Pointer(300, 320, true);
    EXPECT_TRUE(watch_switch(demo_screens::FieldShown, ended)) << "no shot showed the curtain between the screens";
    ASSERT_TRUE(ended) << "the switch did not end on the field";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(Capture(shot));
    EXPECT_TRUE(demo_screens::FieldShown(shot)) << "the field did not stay";

    // Space on the field: the next effect turns the background to dusk, and back again.
    ASSERT_EQ(std::system("xdotool key space"), 0);
    EXPECT_TRUE(CaptureUntil(shot, demo_screens::DuskShown)) << "Space did not switch the field's background";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(std::system("xdotool key space"), 0);
    EXPECT_TRUE(CaptureUntil(shot, demo_screens::FieldShown)) << "the second press did not switch back";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    Pointer(560, 440, true);
    EXPECT_TRUE(watch_switch(demo_screens::TitleShown, ended)) << "no shot showed the mask fade between the screens";
    ASSERT_TRUE(ended) << "the switch did not end on the title";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(Capture(shot));
    EXPECT_TRUE(demo_screens::TitleShown(shot)) << "the title did not stay";
}

// The pointer a player sees, read from the X server through XFixes: the game's own default
// pointer over the sky, the hand over the start button. The cursor files' pixels and hot
// spots come from icoutils and ImageMagick, not from our reader.
struct TCursorPicture {
    int width = 0, height = 0, hot_x = -1, hot_y = -1;
    std::vector<uint32_t> argb;  // premultiplied, as X keeps them
};

TCursorPicture ServerCursor()
{
    TCursorPicture picture;
    std::istringstream in(Capture(std::string(MOBU_BINARY_DIR) + "/tests/xfixes_cursor 2>/dev/null"));
    if (!(in >> picture.width >> picture.height >> picture.hot_x >> picture.hot_y)) return TCursorPicture{};
    std::string value;
    while (in >> value) picture.argb.push_back(static_cast<uint32_t>(std::stoul(value, nullptr, 16)));
    return picture;
}

TCursorPicture FileCursor(const fs::path& cur, const fs::path& scratch)
{
    TCursorPicture picture;
    std::smatch match;
    std::string listed = Capture("icotool -l '" + cur.string() + "'");
    if (!std::regex_search(listed, match, std::regex(R"(--width=(\d+) --height=(\d+).*--hotspot-x=(\d+) --hotspot-y=(\d+))")))
        return picture;
    picture.width = std::stoi(match[1]);
    picture.height = std::stoi(match[2]);
    picture.hot_x = std::stoi(match[3]);
    picture.hot_y = std::stoi(match[4]);
    const fs::path png = scratch / "cursor.png", rgba = scratch / "cursor.rgba";
    if (std::system(("icotool -x -o '" + png.string() + "' '" + cur.string() + "' && convert '" + png.string() +
                     "' -depth 8 rgba:'" + rgba.string() + "'").c_str()) != 0)
        return TCursorPicture{};
    std::ifstream in(rgba, std::ios::binary);
    unsigned char p[4];
    while (in.read(reinterpret_cast<char*>(p), 4)) {
        // Premultiplied like the server's, rounded.
        auto pre = [&](unsigned c) { return (c * p[3] + 127) / 255; };
        picture.argb.push_back(uint32_t{p[3]} << 24 | pre(p[0]) << 16 | pre(p[1]) << 8 | pre(p[2]));
    }
    return picture;
}

// Whether two cursor pictures agree: size, hot spot, and every pixel within one step per
// channel (premultiplying may round either way); fully opaque and fully clear pixels alike.
bool SameCursor(const TCursorPicture& a, const TCursorPicture& b, std::string& why)
{
    std::ostringstream text;
    if (a.width != b.width || a.height != b.height || a.hot_x != b.hot_x || a.hot_y != b.hot_y ||
        a.argb.size() != b.argb.size()) {
        text << a.width << "x" << a.height << " hot " << a.hot_x << "," << a.hot_y << " against " << b.width << "x"
             << b.height << " hot " << b.hot_x << "," << b.hot_y;
        why = text.str();
        return false;
    }
    for (size_t i = 0; i < a.argb.size(); ++i) {
        if ((a.argb[i] >> 24) == 0 && (b.argb[i] >> 24) == 0) continue;  // clear: the colour does not show
        for (int shift = 0; shift < 32; shift += 8) {
            int x = static_cast<int>((a.argb[i] >> shift) & 255), y = static_cast<int>((b.argb[i] >> shift) & 255);
            if (std::abs(x - y) > 1) {
                text << "pixel " << i << ": " << std::hex << a.argb[i] << " against " << b.argb[i];
                why = text.str();
                return false;
            }
        }
    }
    return true;
}

TEST_F(DemoInTheWindow, ThePointerIsTheGamesOwnAndTheHandOverTheStartButton)
{
    if (!fs::exists(fs::path(MOBU_BINARY_DIR) / "tests" / "xfixes_cursor")) GTEST_SKIP() << "built without XFixes";
    const fs::path cursors = fs::path(MOBU_BINARY_DIR) / "demo-src" / "cur";
    const TCursorPicture arrow = FileCursor(cursors / "arrow.cur", scratch_);
    const TCursorPicture hand = FileCursor(cursors / "hand.cur", scratch_);
    ASSERT_EQ(hand.argb.size(), 32u * 32u);
    ASSERT_EQ(arrow.argb.size(), 32u * 32u);
    auto shows = [](const TCursorPicture& expected, std::string& why) {
        for (int i = 0; i < 50; ++i) {
            if (SameCursor(ServerCursor(), expected, why)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    };
    std::string why;
    Pointer(100, 100, false);
    EXPECT_TRUE(shows(arrow, why)) << "the game's default pointer: " << why;
    Pointer(300, 320, false);
    EXPECT_TRUE(shows(hand, why)) << "the hand over the start button: " << why;
    Pointer(100, 100, false);
    EXPECT_TRUE(shows(arrow, why)) << "back to the default pointer: " << why;

    // On the field screen the sign shows the animated pointer: 32 x 32 frames turning about
    // the centre, so the server's image changes while the mouse rests.
    Pointer(300, 320, true);
    demo_screens::TShot shot;
    ASSERT_TRUE(CaptureUntil(shot, demo_screens::FieldShown)) << "the click did not open the field screen";
    Pointer(600, 240, false);
    std::vector<std::vector<uint32_t>> seen;
    for (int i = 0; i < 100 && seen.size() < 3; ++i) {
        TCursorPicture now = ServerCursor();
        if (now.width == 32 && now.height == 32 && now.hot_x == 16 && now.hot_y == 16 &&
            std::find(seen.begin(), seen.end(), now.argb) == seen.end())
            seen.push_back(now.argb);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_GE(seen.size(), 3u) << "the sign's pointer does not turn";
}

}  // namespace
}  // namespace mobu
