#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "archive/vr_file_collection.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "script/project_setting.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using testing::J;

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
    Write("start.msb", "page bytes");
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
                                               "\\EOF\\"}));
    TProjectSetting project = TProjectSetting::Parse(archive.Extract("mobu.mpb"));
    EXPECT_EQ(project.title, J(u8"もぶ"));
    EXPECT_EQ(project.screen_width, 320);
    EXPECT_EQ(project.full_screen_height, 240);
    EXPECT_EQ(project.variables.at(0).name, J(u8"回数"));
    EXPECT_EQ(project.disk_map.DiskOf("BGM\\x.ogg"), 2);
    EXPECT_EQ(archive.Extract(J(u8"画像\\背景.png")), std::string(5000, 'p'));
    EXPECT_EQ(archive.Extract("start.msb"), "page bytes");
}

TEST_F(MobupackBuild, AnOutputFolderInsideTheSourceIsNotPacked)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\n");
    Write("start.msb", "page");
    for (int run = 0; run < 2; ++run) {
        Outcome outcome = RunBuild(root_ / "src", root_ / "src/out");
        ASSERT_EQ(outcome.status, 0) << outcome.output;
    }
    TVrFileCollection archive;
    archive.OpenArchive((root_ / "src/out/game.dat").string());
    EXPECT_EQ(archive.Count(), 3);  // mobu.mpb, start.msb and the end marker
    EXPECT_EQ(archive.Find("out\\game.dat"), nullptr);
}

TEST_F(MobupackBuild, FaultsStopTheBuildWithoutAnArchive)
{
    Write("project.ini", "[project]\nscreen = 320x240\nstart_page = start.msb\nflag = yes\n");
    Outcome outcome = RunBuild(root_ / "src", root_ / "out");
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find("project.ini:4: unknown key \"flag\""), std::string::npos) << outcome.output;
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
    Outcome outcome = RunBuild(fs::path(MOBU_SOURCE_DIR) / "examples/demo", root_ / "out");
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
}

}  // namespace
}  // namespace mobu
