// The built-in functions that find components by name, the item functions' neutral answers,
// and SaveScreen: what it writes, where it refuses to write, and the image cache it clears.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "archive/vr_file_manager.h"
#include "components/component_functions.h"
#include "components/fesk_collection.h"
#include "components/mobu_base_list.h"
#include "core/globals.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"
#include "graphics/fesk_frame_list.h"
#include "script/install_data.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class NameFunctions : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetGlobalBaseList(&list);
        InstallComponentFunctions(functions);
        list.SetSize(80, 60);
        table.AddVariable("a", PT_STR);
        table.AddVariable("n", PT_INT);
    }
    void TearDown() override { SetGlobalBaseList(nullptr); }

    TMobuControl* Box(const std::string& name, int x, int y, TMobuControl* parent = nullptr, int32_t colour = 0xFF)
    {
        TMobuControl* box = list.CreateComponent(LT_BOX, parent)->AsControl();
        box->SetName(name);
        box->SetBounds(x, y, 10, 10);
        box->SetColor(colour);
        return box;
    }
    std::string Eval(const std::string& text)
    {
        TBuildMobuParser compiler;
        compiler.Compile(text);
        TMobuParser parser;
        parser.LoadFromBytes(compiler.ToStream());
        parser.Execute(functions);
        return parser.Result() ? parser.Result()->GetString() : "(none)";
    }

    TMobuBaseList list;
    TParamCollection table;
    TSysFuncMan functions{table};
};

TEST_F(NameFunctions, ExistsListCompoAndCoordinates)
{
    TMobuControl* parent = Box("parent", 10, 20);
    Box("child", 3, 4, parent);
    Box("other", 0, 0);
    TMobuControl* cabinet = list.CreateComponent(LT_CABINET)->AsControl();
    cabinet->SetName("cab");
    Box("kept", 0, 0, cabinet);
    list.CreateComponent(LT_TIMER)->SetName("tick");
    list.SwitchBase(1, 0, false, true, 0, 0);
    Box("far", 1, 1);  // on base 1, now shown
    list.SwitchBase(0, 0, false, true, 0, 0);

    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"Exists(\"child\")", "TRUE"},
        {"Exists(\"tick\")", "TRUE"},
        {"Exists(\"none\")", "FALSE"},
        {"Exists(\"\")", "FALSE"},
        {"ListCompo(a, 2, \"parent\")", "1"},
        {"ListCompo(a, 2, \"parent\") ++ a", "1child"},
        {"ListCompo(a, 2)", "5"},
        {"ArrayToString(a, \",\")", "parent,child,other,kept,far"},
        {"ListCompo(a, 15)", "1"},
        {"ListCompo(a, 15) ++ a", "1tick"},
        {"ListCompo(a, 2, \"nothing\") ++ a", "0"},
        {"ListCompo(a, 99, \"cab\") ++ a", "1kept"},
        {"ToClientX(\"child\", 100)", "87"},
        {"ToClientY(\"child\", 100)", "76"},
        {"ToScreenX(\"child\", 0)", "13"},
        {"ToScreenY(\"child\", 0)", "24"},
        {"ToScreenX(\"none\", 7)", "7"},
        {"InPrimary(\"child\")", "TRUE"},
        {"InPrimary(\"far\")", "FALSE"},
        {"InPrimary(\"kept\")", "FALSE"},
        {"InPrimary(\"none\")", "FALSE"},
        {"InCabinet(\"kept\")", "TRUE"},
        {"InCabinet(\"child\")", "FALSE"},
        {"GetCheck(\"child\", 0)", "FALSE"},
        {"GetVisible(\"child\", \"x\")", "FALSE"},
        {"GetGroupIndex(\"child\", 1)", "0"},
        {"IndexOfMenu(\"child\", \"x\")", "-1"},
        {"IndexOfMenu(\"none\", \"x\")", "-1"},
    };
    for (const Case& c : cases) EXPECT_EQ(Eval(c.text), c.expected) << c.text;
    EXPECT_EQ(Eval("ListCompo(a, 0, \"parent\")"), "1");
}

// Installed, only the table database and the saved games and history are still missing.
TEST_F(NameFunctions, OnlyDatabaseAndSaveFunctionsAreUnavailable)
{
    std::vector<std::string> expected = {"GetSaveCaption"};
    for (int id = 87; id <= 124; ++id) expected.push_back(kSysFuncTable[id].name);
    for (int id : {134, 142, 143, 144, 159, 160}) expected.push_back(kSysFuncTable[id].name);
    std::vector<std::string> unavailable = UnavailableFunctionNames(functions);
    std::sort(expected.begin(), expected.end());
    std::sort(unavailable.begin(), unavailable.end());
    EXPECT_EQ(unavailable, expected);
}

class SaveScreenTest : public NameFunctions {
protected:
    void SetUp() override
    {
        NameFunctions::SetUp();
        root = fs::temp_directory_path() / ("save_screen_" + std::to_string(getpid()));
        fs::remove_all(root);
        game = root / "game";
        fs::create_directories(game / "shots");
        fs::create_directories(root / "outside");
        fs::create_directory_symlink(root / "outside", game / "link");
        ResetVrFileManager();
        VrFileManager().AddArchive("");
        VrFileManager().SetBaseFolder(game.string());
        TempFileList.clear();
    }
    void TearDown() override
    {
        fs::remove_all(root);
        ResetVrFileManager();
        TempFileList.clear();
        NameFunctions::TearDown();
    }
    std::vector<std::string> Listing(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path root, game;
};

TEST_F(SaveScreenTest, WritesAOneFrameImageOfTheShownBase)
{
    list.GetBase(0)->SetColor(0x00FF0000);  // blue
    Box("red", 0, 0, nullptr, 0x000000FF)->SetBounds(0, 0, 40, 60);
    EXPECT_EQ(Eval("SaveScreen(\"shots\\\\a.fsk\")"), "TRUE");
    TFeskFrameList image;
    image.LoadFromFile((game / "shots" / "a.fsk").string(), false, false, false);
    ASSERT_EQ(image.Count(), 1);
    const TDIBSurface& pixels = image.Frames(0).Image;
    EXPECT_EQ(pixels.Width(), 80);
    EXPECT_EQ(pixels.Height(), 60);
    EXPECT_EQ(pixels.BitCount(), 24);
    int r, g, b;
    pixels.RGBOfValue(pixels.GetPixel(5, 5), false, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(b, 0);
    pixels.RGBOfValue(pixels.GetPixel(70, 5), false, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(b, 255);
    // Scaled to a quarter into a memory file.
    EXPECT_EQ(Eval("SaveScreen(\"mem:small.fsk\", 20, 15)"), "TRUE");
    TFeskFrameList small;
    small.LoadFromStream(VrFileManager().ReadFile("mem:small.fsk"), false, false, false);
    EXPECT_EQ(small.Frames(0).Image.Width(), 20);
    EXPECT_EQ(small.Frames(0).Image.Height(), 15);
}

TEST_F(SaveScreenTest, RefusedPathsAndSizesWriteNothing)
{
    const auto game_before = Listing(game);
    const auto outside_before = Listing(root / "outside");
    const char* refused[] = {
        "..\\\\x.fsk", "/tmp/x.fsk", "\\\\x.fsk", "C:x.fsk", "link\\\\x.fsk", "shots\\\\x.png", "nofolder\\\\x.fsk",
    };
    for (const char* path : refused) {
        for (const char* rest : {"", ", 0, 0, FALSE, 1", ", 0, 0, FALSE, 2"})
            EXPECT_EQ(Eval(std::string("SaveScreen(\"") + path + "\"" + rest + ")"), "FALSE") << path << rest;
    }
    for (const char* size : {"100000, 10", "10, 8193", "-1, 10", "10, -5"})
        EXPECT_EQ(Eval(std::string("SaveScreen(\"shots\\\\x.fsk\", ") + size + ")"), "FALSE") << size;
    EXPECT_EQ(Listing(game), game_before);
    EXPECT_EQ(Listing(root / "outside"), outside_before);
    EXPECT_TRUE(TempFileList.empty());
}

TEST_F(SaveScreenTest, RecordOneQueuesTheFileAndTheCacheForgetsThePath)
{
    EXPECT_EQ(Eval("SaveScreen(\"shots\\\\b.fsk\", 8, 6, FALSE, 1)"), "TRUE");
    ASSERT_EQ(TempFileList.size(), 1u);
    EXPECT_TRUE(fs::equivalent(TempFileList[0], game / "shots" / "b.fsk"));
    int holder = 0;
    TFeskItem* old_item = FeskCollection().Acquire(&holder, "shots\\b.fsk", false, false);
    ASSERT_NE(old_item, nullptr);
    EXPECT_EQ(old_item->Width, 8);
    EXPECT_EQ(Eval("SaveScreen(\"shots\\\\b.fsk\", 16, 12)"), "TRUE");
    EXPECT_EQ(old_item->Width, 8);  // the holder keeps its frames
    int other = 0;
    TFeskItem* new_item = FeskCollection().Acquire(&other, "shots\\b.fsk", false, false);
    EXPECT_NE(new_item, old_item);
    EXPECT_EQ(new_item->Width, 16);
    FeskCollection().Release(old_item, &holder);
    FeskCollection().Release(new_item, &other);
}

// Record 2 lists the path once among the files the game created in "install.dat".
TEST_F(SaveScreenTest, RecordTwoListsThePathInTheInstallFile)
{
    TInstallData install;
    install.title = "t";
    WriteInstallDataFile((game / "install.dat").string(), install);
    EXPECT_EQ(Eval("SaveScreen(\"shots\\\\c.fsk\", 8, 6, FALSE, 2)"), "TRUE");
    EXPECT_EQ(Eval("SaveScreen(\"SHOTS\\\\C.FSK\", 8, 6, FALSE, 2)"), "TRUE");
    EXPECT_EQ(ReadInstallDataFile((game / "install.dat").string()).created_files,
              (std::vector<std::string>{"shots\\c.fsk"}));
    EXPECT_TRUE(TempFileList.empty());
}

TEST_F(SaveScreenTest, WithoutABaseFolderNothingIsWritten)
{
    VrFileManager().SetBaseFolder((root / "missing").string());
    EXPECT_EQ(Eval("SaveScreen(\"mem:x.fsk\")"), "FALSE");
}

}  // namespace
}  // namespace mobu
