#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "archive/vr_file_collection.h"
#include "graphics/fesk_frame_list.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/install_data.h"
#include "script/project_setting.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using testing::J;

// A page file without commands (version 116, result int, no masks): the build checks the
// pages it packs, so a packed page must be one the player can load.
const std::string kEmptyPage("t\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0\0", 17);

struct Outcome {
    int status;
    std::string output;
};

Outcome RunBuild(const fs::path& source, const fs::path& out)
{
    std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack build '" + source.string() + "' '" +
                          out.string() + "' 2>&1";
    Outcome outcome{0, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[512];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) outcome.output.append(buffer, count);
    outcome.status = ::pclose(pipe);
    return outcome;
}

class MobupackBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-build-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "src");
    }
    void TearDown() override { fs::remove_all(root_); }
    void Write(const std::string& relative, std::string_view bytes)
    {
        fs::path path = root_ / "src" / fs::u8path(relative);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(ReplaceFileAtomically(path.string(), bytes));
    }

    fs::path root_;
};

TEST_F(MobupackBuild, CompilesTheProjectAndPacksTheFolder)
{
    Write("Project.ini", "[project]\ntitle = もぶ\nscreen = 320x240\nstart_page = start.msb\n"
                         "[variables]\n回数 = int 7\n[disks]\nbgm = 2\n");
    Write("start.msb", kEmptyPage);
    Write("画像/背景.png", std::string(5000, 'p'));
    Write("bgm/theme.ogg", "ogg");
    Write(".git/config", "not packed");
    Outcome outcome = RunBuild(root_ / "src", root_ / "out");
    ASSERT_EQ(outcome.status, 0) << outcome.output;

    TVrFileCollection archive;
    archive.OpenArchive((root_ / "out/game.dat").string());
    EXPECT_EQ(archive.Version(), 102);
    std::vector<std::string> names;
    for (int i = 0; i < archive.Count(); ++i) names.push_back(archive.Item(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"mobu.mpb", "bgm\\theme.ogg", "start.msb", J(u8"画像\\背景.png"),
                                               "install.dat", "\\EOF\\"}));
    TProjectSetting project = TProjectSetting::Parse(archive.Extract("mobu.mpb"));
    EXPECT_EQ(project.title, J(u8"もぶ"));
    EXPECT_EQ(project.screen_width, 320);
    EXPECT_EQ(project.full_screen_height, 240);
    EXPECT_EQ(project.variables.at(0).name, J(u8"回数"));
    EXPECT_EQ(project.disk_map.DiskOf("BGM\\x.ogg"), 2);
    EXPECT_EQ(archive.Extract(J(u8"画像\\背景.png")), std::string(5000, 'p'));
    EXPECT_EQ(archive.Extract("start.msb"), kEmptyPage);
    // A player started without arguments needs install data: the build adds the answer
    // for a game that runs without its disk.
    TInstallData install = TInstallData::Parse(archive.Extract("install.dat"));
    EXPECT_EQ(install.title, J(u8"もぶ"));
    EXPECT_EQ(install.disk_index, 0);
    EXPECT_TRUE(install.no_disk_needed);
}

TEST_F(MobupackBuild, TheFoldersOwnInstallDataIsKept)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\n");
    Write("start.msb", kEmptyPage);
    TInstallData own;
    own.title = "own";
    own.disk_index = 2;
    Write("install.dat", own.Write());
    Outcome outcome = RunBuild(root_ / "src", root_ / "out");
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    TVrFileCollection archive;
    archive.OpenArchive((root_ / "out/game.dat").string());
    EXPECT_EQ(archive.Extract("install.dat"), own.Write());
}

TEST_F(MobupackBuild, AnOutputFolderInsideTheSourceIsNotPacked)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\n");
    Write("start.msb", kEmptyPage);
    for (int run = 0; run < 2; ++run) {
        Outcome outcome = RunBuild(root_ / "src", root_ / "src/out");
        ASSERT_EQ(outcome.status, 0) << outcome.output;
    }
    TVrFileCollection archive;
    archive.OpenArchive((root_ / "src/out/game.dat").string());
    EXPECT_EQ(archive.Count(), 4);  // mobu.mpb, start.msb, install.dat and the end marker
    EXPECT_EQ(archive.Find("out\\game.dat"), nullptr);
}

TEST_F(MobupackBuild, FaultsStopTheBuildWithoutAnArchive)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\nflag = yes\n");
    Outcome outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("project.ini:4: error: unknown key \"flag\""), std::string::npos) << outcome.output;
    EXPECT_FALSE(RealFileExists((root_ / "out/game.dat").string()));

    // A compiled file and a source file of the same name.
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\n");
    Write("MOBU.MPB", "stale");
    outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("two files of the build have this name"), std::string::npos) << outcome.output;

    fs::remove(root_ / "src/MOBU.MPB");
    fs::remove(root_ / "src/project.ini");
    outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("project.ini: no such file"), std::string::npos) << outcome.output;
}

TEST_F(MobupackBuild, TheDemoBuilds)
{
    // The demo's page sources staged with the pictures the build drew (examples/CMakeLists.txt).
    const fs::path staged = fs::path(MOBU_BINARY_DIR) / "demo-src";
    ASSERT_TRUE(fs::exists(staged / "project.ini")) << "the demo game is not staged in this build";
    Outcome outcome = RunBuild(staged, root_ / "out");
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    TVrFileCollection archive;
    archive.OpenArchive((root_ / "out/game.dat").string());
    TProjectSetting project = TProjectSetting::Parse(archive.Extract("mobu.mpb"));
    EXPECT_EQ(project.title, "mobu demo");
    EXPECT_EQ(project.screen_width, 640);
    EXPECT_EQ(project.screen_height, 480);
    EXPECT_EQ(project.start_page, "start.msb");
    EXPECT_NE(archive.Find("start.msb"), nullptr);
    EXPECT_EQ(archive.Find("project.ini"), nullptr);
    for (const char* page : {"title.msb", "field.msb", "square.msb"}) EXPECT_NE(archive.Find(page), nullptr) << page;
    // Every picture became a layered image; the animations and buttons have their frames.
    for (auto [image, frames] : {std::pair{"cg\\title.fsk", 1}, std::pair{"cg\\field.fsk", 1}, std::pair{"cg\\tile.fsk", 1},
                                 std::pair{"cg\\badge.fsk", 1}, std::pair{"cg\\sprite.fsk", 4},
                                 std::pair{"cg\\btn_start.fsk", 2}, std::pair{"cg\\btn_back.fsk", 2},
                                 std::pair{"cg\\sign.fsk", 1}, std::pair{"cg\\sign_lit.fsk", 1}}) {
        SCOPED_TRACE(image);
        ASSERT_NE(archive.Find(image), nullptr);
        TFeskFrameList list;
        list.LoadFromStream(archive.Extract(image), false, false, false);
        EXPECT_EQ(list.Count(), frames);
    }
    EXPECT_NE(archive.Find("cg\\sign.map"), nullptr);
    for (int i = 0; i < archive.Count(); ++i) {
        const std::string name = archive.Item(i)->Name();
        EXPECT_EQ(name.find(".png"), std::string::npos) << name;  // no picture source, no art script
        EXPECT_EQ(name.find(".sh"), std::string::npos) << name;
    }
}

// Red, green, blue and alpha of every pixel, rows from the top, as ImageMagick reads the file.
std::string MagickRgba(const fs::path& image)
{
    std::string command = "convert '" + image.string() + "' -depth 8 rgba:-";
    std::string bytes;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) bytes.append(buffer, count);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return bytes;
}

// The same from the composed image of a layered image's first frame (255 without alpha plane).
std::string FrameRgba(const TFeskFrameList& list)
{
    const TDIBSurface& image = list.Frames(0).Image;
    std::string bytes;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            int red = 0, green = 0, blue = 0;
            image.RGBOfValue(image.GetPixel(x, y), false, red, green, blue);
            const int alpha = image.HasAlphaPlane() ? image.AlphaPlane()->GetPixel(x, y) : 255;
            bytes += {static_cast<char>(red), static_cast<char>(green), static_cast<char>(blue), static_cast<char>(alpha)};
        }
    return bytes;
}

TEST_F(MobupackBuild, MarkedImagesBecomeLayeredImages)
{
    for (int32_t ident_code : {0, 0x1234567}) {
        SCOPED_TRACE(ident_code);
        fs::remove_all(root_ / "src");
        Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\nident_code = " +
                                 std::to_string(ident_code) + "\n");
        Write("start.msb", kEmptyPage);
        Write("plain.png", "left as it is");
        fs::create_directories(root_ / "src/cg");
        const fs::path png = root_ / "src/cg/立ち絵.FSK.png", bmp = root_ / "src/bg.fsk.bmp";
        ASSERT_EQ(std::system(("convert -size 23x17 gradient:'#ff8000-#0040ff' -alpha set -channel A -fx 'i/22' "
                               "+channel png32:'" + png.string() + "'").c_str()), 0);
        ASSERT_EQ(std::system(("convert -size 9x5 plasma:fractal -seed 7 bmp3:'" + bmp.string() + "'").c_str()), 0);
        Outcome outcome = RunBuild(root_ / "src", root_ / "out");
        ASSERT_EQ(outcome.status, 0) << outcome.output;

        TVrFileCollection archive;
        archive.OpenArchive((root_ / "out/game.dat").string());
        std::vector<std::string> names;
        for (int i = 0; i < archive.Count(); ++i) names.push_back(archive.Item(i)->Name());
        EXPECT_EQ(names, (std::vector<std::string>{"mobu.mpb", "bg.fsk", J(u8"cg\\立ち絵.FSK"), "plain.png",
                                                   "start.msb", "install.dat", "\\EOF\\"}));
        for (auto [entry, source] : {std::pair{std::string("bg.fsk"), bmp}, std::pair{J(u8"cg\\立ち絵.FSK"), png}}) {
            std::string bytes = archive.Extract(entry);
            ASSERT_GT(bytes.size(), 40u);
            EXPECT_EQ(bytes.substr(0, 7), "Fesk106");
            EXPECT_EQ(bytes[7 + 4 + 21], ident_code != 0 ? 1 : 0);  // the scrambled flag of the header
            TFeskFrameList list(ident_code);
            list.LoadFromStream(bytes, false, false, false);
            ASSERT_EQ(list.Count(), 1);
            const std::string expected = MagickRgba(source);
            ASSERT_FALSE(expected.empty());
            EXPECT_EQ(FrameRgba(list), expected) << entry;
        }
    }
}

// The same from frame `index`.
std::string FrameRgbaOf(const TFeskFrameList& list, int index)
{
    TFeskFrameList one;
    TFeskFrame& frame = one.Add();
    frame.Image = list.Frames(index).Image;
    return FrameRgba(one);
}

TEST_F(MobupackBuild, AFrameFolderBecomesAMultiFrameLayeredImage)
{
    for (int32_t ident_code : {0, 0x2468ace}) {
        SCOPED_TRACE(ident_code);
        fs::remove_all(root_ / "src");
        Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\nident_code = " +
                                 std::to_string(ident_code) + "\n");
        Write("start.msb", kEmptyPage);
        // Numbered out of name order: 2 comes before 10; the second frame has its own delay.
        const fs::path folder = root_ / "src/cg/歩き.fsk.d";
        fs::create_directories(folder);
        const std::vector<std::pair<std::string, std::string>> frames = {
            {"10.PNG", "xc:'#ff0000'"}, {"2-250ms.png", "gradient:'#00ff00-#0000ff'"}, {"0.png", "plasma:fractal -seed 3"}};
        for (const auto& [name, picture] : frames)
            ASSERT_EQ(std::system(("convert -size 12x9 " + picture + " png24:'" + (folder / name).string() + "'").c_str()), 0);
        ASSERT_EQ(std::system(("convert -size 12x9 xc:none -fill white -draw 'rectangle 2,2 8,6' png32:'" +
                               (folder / "11-40ms.png").string() + "'").c_str()), 0);
        Outcome outcome = RunBuild(root_ / "src", root_ / "out");
        ASSERT_EQ(outcome.status, 0) << outcome.output;

        TVrFileCollection archive;
        archive.OpenArchive((root_ / "out/game.dat").string());
        std::vector<std::string> names;
        for (int i = 0; i < archive.Count(); ++i) names.push_back(archive.Item(i)->Name());
        EXPECT_EQ(names, (std::vector<std::string>{"mobu.mpb", J(u8"cg\\歩き.fsk"), "start.msb", "install.dat", "\\EOF\\"}));
        TFeskFrameList list(ident_code);
        list.LoadFromStream(archive.Extract(J(u8"cg\\歩き.fsk")), false, false, false);
        ASSERT_EQ(list.Count(), 4);
        const std::vector<std::pair<std::string, int32_t>> expected = {
            {"0.png", 100}, {"2-250ms.png", 250}, {"10.PNG", 100}, {"11-40ms.png", 40}};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(expected[i].first);
            EXPECT_EQ(list.Frames(i).Delay, expected[i].second);
            EXPECT_EQ(list.Frames(i).Image.Width(), 12);
            EXPECT_EQ(list.Frames(i).Image.Height(), 9);
            EXPECT_EQ(FrameRgbaOf(list, i), MagickRgba(folder / expected[i].first));
        }
        EXPECT_TRUE(list.Frames(3).HasAlpha());
        EXPECT_FALSE(list.Frames(0).HasAlpha());
    }
}

TEST_F(MobupackBuild, AFaultyFrameFolderStopsTheBuild)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\n");
    Write("start.msb", kEmptyPage);
    const fs::path folder = root_ / "src/anim.fsk.d";
    fs::create_directories(folder);
    auto picture = [&](const std::string& name, const std::string& size) {
        return std::system(("convert -size " + size + " xc:blue png24:'" + (folder / name).string() + "'").c_str());
    };
    ASSERT_EQ(picture("0.png", "8x8"), 0);
    ASSERT_EQ(picture("1.png", "8x8"), 0);
    ASSERT_EQ(RunBuild(root_ / "src", root_ / "out").status, 0);

    struct TFault {
        std::string file;
        std::string size;  // empty: text, not a picture
        std::string message;
    };
    for (const TFault& fault : {TFault{"2.png", "9x8", "anim.fsk.d\\2.png: the frame is not the size of the first frame"},
                                TFault{"01.png", "8x8", "frame 1 is given twice"},
                                TFault{"readme.txt", "", "anim.fsk.d\\readme.txt: a frame folder holds only pictures"},
                                TFault{"3-fastms.png", "8x8", "anim.fsk.d\\3-fastms.png: a frame folder holds only"},
                                TFault{"sub/4.png", "", "anim.fsk.d\\sub\\4.png: a frame folder holds only"},
                                TFault{"5.png", "", "anim.fsk.d\\5.png: "}}) {
        SCOPED_TRACE(fault.file);
        fs::remove_all(root_ / "out");
        fs::create_directories((folder / fault.file).parent_path());
        if (fault.size.empty()) Write("anim.fsk.d/" + fault.file, "not a picture");
        else ASSERT_EQ(picture(fault.file, fault.size), 0);
        Outcome outcome = RunBuild(root_ / "src", root_ / "out");
        EXPECT_NE(outcome.status, 0);
        EXPECT_NE(outcome.output.find(fault.message), std::string::npos) << outcome.output;
        EXPECT_FALSE(RealFileExists((root_ / "out/game.dat").string()));
        fs::remove(folder / fault.file);
        fs::remove_all(folder / "sub");
    }

    // A frame folder and a marked picture of the same layered image collide.
    ASSERT_EQ(std::system(("convert -size 2x2 xc:red png24:'" + (root_ / "src/anim.fsk.png").string() + "'").c_str()), 0);
    Outcome outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("two files of the build have this name"), std::string::npos) << outcome.output;
}

TEST_F(MobupackBuild, AMarkedFileThatIsNoImageStopsTheBuild)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\n");
    Write("start.msb", kEmptyPage);
    Write("broken.fsk.png", "not a png");
    Outcome outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("broken.fsk.png: "), std::string::npos) << outcome.output;
    EXPECT_FALSE(RealFileExists((root_ / "out/game.dat").string()));

    // The converted name collides with a file of the folder.
    fs::remove(root_ / "src/broken.fsk.png");
    ASSERT_EQ(std::system(("convert -size 2x2 xc:red png24:'" + (root_ / "src/a.fsk.png").string() + "'").c_str()), 0);
    Write("A.FSK", "stale");
    outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("two files of the build have this name"), std::string::npos) << outcome.output;
}

}  // namespace
}  // namespace mobu
