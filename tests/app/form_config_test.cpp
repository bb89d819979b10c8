// The settings dialog's model: the rules of its handlers, its keys and mouse, its language,
// saving (and failing to save) game.ini, and what it paints.
#include "app/form_config.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "graphics/dibx.h"
#include "tests/app/as_plain_user.h"
#include "platform/durable_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

constexpr int kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kAlt = 0x12, kEscape = 0x1B, kSpace = 0x20, kEnd = 0x23,
              kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kPageDown = 0x22;

class FormConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("mobu_form_config_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        ::chmod(folder_.c_str(), 0700);
        fs::remove_all(folder_);
    }
    std::string Ini() const { return (folder_ / "game.ini").string(); }
    void WriteIni(const std::string& text) const { std::ofstream(Ini(), std::ios::binary) << text; }
    std::string ReadIni() const { return ReadRealFile(Ini()).value_or("(missing)"); }
    fs::path folder_;
};

TEST_F(FormConfigTest, OpeningFollowsTheStoredValues)
{
    struct Case {
        const char* file;  // nullptr: no game.ini
        bool ticked;
        int position;
        const char* label;
    };
    for (const Case& c : {Case{"[Sound]\nDelayTime=50\nDirectSound=0\n", false, 1, "100ms"},
                          Case{"[Sound]\nDelayTime=1234\n", true, 5, "500ms"},
                          Case{"[Sound]\nDelayTime=250\n", true, 2, "200ms"},
                          Case{nullptr, true, 5, "500ms"},
                          Case{"[Sound]\nDelayTime=abc\nDirectSound=no\n", false, 5, "500ms"},
                          Case{"[Sound]\nDelayTime=-5\n", true, 1, "100ms"},
                          Case{"[Sound]\nDelayTime=99999999999\n", true, 5, "500ms"},
                          Case{"[Sound]\nDelayTime=99999999999999999999999\n", true, 5, "500ms"},
                          Case{"[Sound]\nDelayTime=399\n", true, 3, "300ms"}}) {
        fs::remove(Ini());
        if (c.file) WriteIni(c.file);
        TFormConfig dialog(Ini(), false);
        dialog.FormCreate();
        std::string name = c.file ? c.file : "(no file)";
        EXPECT_TRUE(dialog.IsOpen()) << name;
        EXPECT_EQ(dialog.Control("CheckSound").checked, c.ticked) << name;
        EXPECT_EQ(dialog.Control("TrackBuff").position, c.position) << name;
        EXPECT_EQ(dialog.Control("LabelBuffInfo").caption, c.label) << name;
        for (const char* delay : {"LabelBuff", "TrackBuff", "LabelBuffInfo"})
            EXPECT_EQ(dialog.Control(delay).enabled, !c.ticked) << name << " " << delay;
        EXPECT_EQ(dialog.FocusName(), "CheckSound") << name;
    }
}

TEST_F(FormConfigTest, OkWithoutAFileCreatesBothKeys)
{
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    dialog.KeyDown(kReturn);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.Result().value_or("-"), "ok");
    EXPECT_EQ(ReadIni(), "[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\n");
}

TEST_F(FormConfigTest, OkKeepsEveryOtherByteOfTheFile)
{
    WriteIni("; mine\n[Video]\nUseWMP=1\n[Sound]\nDelayTime = 250\n");
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    dialog.KeyDown('S');  // unticks DirectSound
    dialog.KeyDown('D');  // focus to the slider
    dialog.KeyDown(kEnd);
    dialog.KeyDown(kReturn);
    EXPECT_EQ(ReadIni(), "; mine\n[Video]\nUseWMP=1\n[Sound]\nDelayTime = 500\nDirectSound=0\n");
}

TEST_F(FormConfigTest, UntickingEnablesTheThreeDelayControlsAtOnce)
{
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    dialog.KeyDown(kSpace);
    EXPECT_FALSE(dialog.Control("CheckSound").checked);
    for (const char* name : {"LabelBuff", "TrackBuff", "LabelBuffInfo"}) EXPECT_TRUE(dialog.Control(name).enabled) << name;
    dialog.KeyDown(kSpace);
    for (const char* name : {"LabelBuff", "TrackBuff", "LabelBuffInfo"}) EXPECT_FALSE(dialog.Control(name).enabled) << name;
}

TEST_F(FormConfigTest, CancelEscapeAndCloseWriteNothing)
{
    WriteIni("[Sound]\r\nDirectSound=1\r\n");
    for (int way = 0; way < 4; ++way) {
        TFormConfig dialog(Ini(), true);
        dialog.FormCreate();
        dialog.KeyDown(kSpace);  // a change that is then thrown away
        switch (way) {
        case 0: dialog.KeyDown(kEscape); break;
        case 1: dialog.FormClose(); break;
        case 2: dialog.KeyDown(kTab), dialog.KeyDown(kTab), dialog.KeyDown(kReturn); break;  // Return on Cancel
        case 3: {
            const TDialogControl& cancel = dialog.Control("btnCancel");
            dialog.MouseDown(cancel.left + 5, cancel.top + 5);
            dialog.MouseUp(cancel.left + 5, cancel.top + 5);
            break;
        }
        }
        EXPECT_FALSE(dialog.IsOpen()) << way;
        EXPECT_EQ(dialog.Result().value_or("-"), "cancel") << way;
        EXPECT_EQ(ReadIni(), "[Sound]\r\nDirectSound=1\r\n") << way;
    }
}

TEST_F(FormConfigTest, TabOrderSkipsDisabledControlsAndWraps)
{
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    std::string seen;
    for (int i = 0; i < 8; ++i) {
        dialog.KeyDown(kTab);
        seen += dialog.FocusName() + " ";
    }
    EXPECT_EQ(seen, "btnOK btnCancel RadioScale1 CheckSmooth TrackWindowScale CheckFullScreen CheckSound btnOK ")
        << "the slider is disabled while DirectSound is ticked; of the radio group only the chosen button";
    dialog.KeyDown(kShift);
    dialog.KeyDown(kTab);
    EXPECT_EQ(dialog.FocusName(), "CheckSound");
    dialog.KeyUp(kShift);
    dialog.KeyDown(kSpace);  // untick: the slider takes the focus now
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        dialog.KeyDown(kTab);
        seen += dialog.FocusName() + " ";
    }
    EXPECT_EQ(seen, "btnOK btnCancel TrackBuff RadioScale1 ");
    for (int i = 0; i < 4; ++i) dialog.KeyDown(kTab);
    EXPECT_EQ(dialog.FocusName(), "CheckSound");
    dialog.KeyDown(kAlt);  // Alt+D: the label's mnemonic focuses its slider
    dialog.KeyDown('D');
    dialog.KeyUp('D');
    dialog.KeyUp(kAlt);
    EXPECT_EQ(dialog.FocusName(), "TrackBuff");
    EXPECT_TRUE(dialog.Control("CheckSound").checked == false) << "the label's mnemonic changes no value";
}

TEST_F(FormConfigTest, SliderKeysStayWithinOneToFive)
{
    WriteIni("[Sound]\nDirectSound=0\nDelayTime=300\n");
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    dialog.KeyDown('D');
    struct Step { int key; int position; const char* label; };
    for (Step s : {Step{kLeft, 2, "200ms"}, Step{kLeft, 1, "100ms"}, Step{kLeft, 1, "100ms"}, Step{kRight, 2, "200ms"},
                   Step{kPageDown, 3, "300ms"}, Step{kEnd, 5, "500ms"}, Step{kRight, 5, "500ms"},
                   Step{kHome, 1, "100ms"}}) {
        dialog.KeyDown(s.key);
        EXPECT_EQ(dialog.Control("TrackBuff").position, s.position) << s.key;
        EXPECT_EQ(dialog.Control("LabelBuffInfo").caption, s.label) << s.key;
    }
}

TEST_F(FormConfigTest, DisabledControlsTakeNoMouseInput)
{
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    const TDialogControl& slider = dialog.Control("TrackBuff");
    dialog.MouseDown(slider.left + 20, slider.top + 10);
    dialog.MouseUp(slider.left + 20, slider.top + 10);
    EXPECT_EQ(slider.position, 5);
    EXPECT_EQ(dialog.FocusName(), "CheckSound");
}

TEST_F(FormConfigTest, MouseClicksTheBoxAndDragsAndPagesTheSlider)
{
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    const TDialogControl& check = dialog.Control("CheckSound");
    dialog.MouseDown(check.left + 5, check.top + 8);
    dialog.MouseUp(check.left + 5, check.top + 8);
    EXPECT_FALSE(check.checked);
    const TDialogControl& slider = dialog.Control("TrackBuff");
    // The thumb sits at the right end (position 5): drag it to the left end.
    int thumb_x = slider.left + slider.width - 1 - 13;
    dialog.MouseDown(thumb_x, slider.top + 10);
    dialog.MouseMove(slider.left, slider.top + 10);
    dialog.MouseUp(slider.left, slider.top + 10);
    EXPECT_EQ(slider.position, 1);
    EXPECT_EQ(dialog.FocusName(), "TrackBuff");
    // A click in the channel right of the thumb moves one page toward it.
    dialog.MouseDown(slider.left + slider.width - 20, slider.top + 10);
    dialog.MouseUp(slider.left + slider.width - 20, slider.top + 10);
    EXPECT_EQ(slider.position, 2);
    // A press on OK released outside it is no click.
    const TDialogControl& ok = dialog.Control("btnOK");
    dialog.MouseDown(ok.left + 5, ok.top + 5);
    dialog.MouseUp(ok.left - 20, ok.top + 5);
    EXPECT_TRUE(dialog.IsOpen());
    dialog.MouseDown(ok.left + 5, ok.top + 5);
    dialog.MouseUp(ok.left + 6, ok.top + 6);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(ReadIni(), "[Sound]\r\nDirectSound=0\r\nDelayTime=200\r\n");
}

TEST_F(FormConfigTest, BothLanguagesHaveTheirTexts)
{
    TFormConfig english(Ini(), false), japanese(Ini(), true);
    EXPECT_EQ(english.Caption(), "Settings");
    EXPECT_EQ(english.Control("CheckSound").caption, "Use DirectSound (&S)");
    EXPECT_EQ(english.Control("LabelBuff").caption, "Sound delay (&D):");
    EXPECT_EQ(english.Control("btnCancel").caption, "Cancel");
    EXPECT_EQ(japanese.Caption(), SysText(u8"動作設定"));
    EXPECT_EQ(japanese.Control("CheckSound").caption, SysText(u8"DirectSoundを使用する(&S)"));
    EXPECT_EQ(japanese.Control("LabelBuff").caption, SysText(u8"サウンドの遅延時間(&D)："));
    EXPECT_EQ(japanese.Control("btnCancel").caption, SysText(u8"キャンセル"));
    for (const TFormConfig* dialog : {&english, &japanese}) {
        EXPECT_EQ(dialog->Control("CheckSound").Mnemonic(), 'S');
        EXPECT_EQ(dialog->Control("LabelBuff").Mnemonic(), 'D');
    }
}

TEST_F(FormConfigTest, AFailedSaveSaysWhyAndKeepsTheDialogOpen)
{
    WriteIni("[Sound]\nDirectSound=1\n");
    if (::geteuid() == 0) {  // the folder and the file belong to the plain user the body runs as
        ASSERT_EQ(::chown(folder_.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(Ini().c_str(), 65534, 65534), 0);
    }
    testing_support::AsPlainUser([&] {
    ASSERT_EQ(::chmod(folder_.c_str(), 0500), 0);
    TFormConfig dialog(Ini(), false);
    std::string shown;
    dialog.SetErrorSink([](const std::string& text, void* context) { *static_cast<std::string*>(context) = text; },
                        &shown);
    dialog.FormCreate();
    dialog.KeyDown(kSpace);
    dialog.KeyDown(kReturn);
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_FALSE(dialog.Result());
    EXPECT_FALSE(dialog.Control("CheckSound").checked) << "the user's choice stays";
    EXPECT_EQ(shown, dialog.LastError());
    EXPECT_NE(shown.find("The settings could not be saved."), std::string::npos) << shown;
    EXPECT_NE(shown.find(Ini()), std::string::npos) << shown;
    EXPECT_NE(shown.find("Permission denied"), std::string::npos) << shown;
    EXPECT_EQ(ReadIni(), "[Sound]\nDirectSound=1\n");
    // Once the folder takes files again, OK works.
    ::chmod(folder_.c_str(), 0700);
    dialog.KeyDown(kReturn);
    EXPECT_EQ(dialog.Result().value_or("-"), "ok");
    EXPECT_EQ(ReadIni(), "[Sound]\nDirectSound=0\nDelayTime=500\n");
    });
}

TEST_F(FormConfigTest, AFifoIsReadAsAbsentAndNeverReplaced)
{
    ASSERT_EQ(::mkfifo(Ini().c_str(), 0600), 0);
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    EXPECT_TRUE(dialog.Control("CheckSound").checked);
    dialog.KeyDown(kReturn);
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_NE(dialog.LastError().find("not a regular file"), std::string::npos) << dialog.LastError();
    EXPECT_TRUE(fs::is_fifo(Ini()));
}

// Pixel statistics of the painted dialog (not golden pictures).
struct TArea {
    double mean = 0;   // mean brightness 0..255
    int dark = 0;      // pixels darker than 96
};

TArea Measure(TDIBX& surface, int left, int top, int width, int height)
{
    TArea area;
    double sum = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            uint32_t p = surface.GetPixel(x, y);
            int brightness = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            sum += brightness;
            if (brightness < 96) ++area.dark;
        }
    area.mean = sum / (width * height);
    return area;
}

// The display group shows [Video] as the player reads it; OK writes a display key only when
// it was changed, so an untouched dialog adds nothing to the file but the two sound keys.
TEST_F(FormConfigTest, DisplayGroupWritesOnlyWhatChanged)
{
    WriteIni("[Video]\nWindowScale=7\nScaleMode=2\n");
    {
        TFormConfig dialog(Ini(), false);
        dialog.FormCreate();
        EXPECT_TRUE(dialog.Control("RadioScale2").checked);
        EXPECT_EQ(dialog.Control("TrackWindowScale").position, 4) << "the file's 0..8 shown within the slider's 0..4";
        EXPECT_EQ(dialog.Control("LabelWindowScaleInfo").caption, "4x");
        dialog.KeyDown(kReturn);
        EXPECT_EQ(ReadIni(), "[Video]\nWindowScale=7\nScaleMode=2\n[Sound]\nDirectSound=1\nDelayTime=500\n");
    }
    struct TCase {
        std::vector<int> keys;
        const char* added;  // after the two sound keys
    };
    const TCase cases[] = {
        {{'Z', kDown}, ""},                    // Z focuses the chosen button; Down wraps to Whole multiples
        {{'Z', kUp}, ""},                      // Up: Keep aspect ratio
        {{'M'}, "SmoothScaling=1\n"},
        {{'W', kHome}, "WindowScale=0\n"},
        {{'F', 'F'}, ""},                      // ticked and unticked again: unchanged
        {{'F'}, "FullScreen=1\n"},
    };
    for (const TCase& c : cases) {
        WriteIni("[Video]\nScaleMode=2\n");
        TFormConfig dialog(Ini(), false);
        dialog.FormCreate();
        for (int key : c.keys) dialog.KeyDown(key);
        dialog.KeyDown(kReturn);
        std::string expected = "[Video]\nScaleMode=2\n";
        if (c.keys.size() == 2 && c.keys[0] == 'Z') expected = c.keys[1] == kDown ? "[Video]\nScaleMode=0\n" : "[Video]\nScaleMode=1\n";
        expected += std::string(c.added) + "[Sound]\nDirectSound=1\nDelayTime=500\n";
        EXPECT_EQ(ReadIni(), expected) << c.keys.size() << " keys, first " << c.keys[0];
    }
    // The labels follow the slider: 0 is automatic, else the factor.
    TFormConfig japanese(Ini(), true);
    japanese.FormCreate();
    japanese.KeyDown('W');
    japanese.KeyDown(kHome);
    EXPECT_EQ(japanese.Control("LabelWindowScaleInfo").caption, SysText(u8"自動"));
    japanese.KeyDown(kRight);
    japanese.KeyDown(kRight);
    EXPECT_EQ(japanese.Control("LabelWindowScaleInfo").caption, SysText(u8"2倍"));
}

TEST_F(FormConfigTest, PaintingShowsTheTickAndGreysDisabledText)
{
    TFormConfig dialog(Ini(), true);
    dialog.FormCreate();
    TDIBX ticked;
    dialog.Paint(ticked);
    ASSERT_EQ(ticked.Width(), 270);
    ASSERT_EQ(ticked.Height(), 358);
    const TDialogControl& check = dialog.Control("CheckSound");
    const TDialogControl& label = dialog.Control("LabelBuff");
    int box_top = check.top + (check.height - 13) / 2;
    TArea box_ticked = Measure(ticked, check.left + 2, box_top + 2, 9, 9);
    TArea label_disabled = Measure(ticked, label.left, label.top, label.width, label.height);
    dialog.KeyDown(kSpace);
    TDIBX unticked;
    dialog.Paint(unticked);
    TArea box_unticked = Measure(unticked, check.left + 2, box_top + 2, 9, 9);
    TArea label_enabled = Measure(unticked, label.left, label.top, label.width, label.height);
    EXPECT_GT(box_ticked.dark, 10);
    EXPECT_EQ(box_unticked.dark, 0);
    EXPECT_GT(label_enabled.dark, 20) << "the caption is drawn";
    EXPECT_LT(label_disabled.dark, label_enabled.dark / 4) << "disabled text is grey, not black";
    // The default button's dark frame: OK's outline is darker than Cancel's.
    const TDialogControl& ok = dialog.Control("btnOK");
    const TDialogControl& cancel = dialog.Control("btnCancel");
    EXPECT_LT(Measure(unticked, ok.left, ok.top, ok.width, 1).mean, Measure(unticked, cancel.left, cancel.top, cancel.width, 1).mean);
}

TEST_F(FormConfigTest, DumpNamesEveryControl)
{
    TFormConfig dialog(Ini(), false);
    dialog.FormCreate();
    std::string json = dialog.DumpJson();
    for (const char* part :
         {"\"caption\": \"Settings\"", "\"width\": 270", "\"height\": 358", "\"open\": true", "\"result\": null",
          "\"focus\": \"CheckSound\"", "{\"name\": \"Bevel1\", \"kind\": \"bevel\", \"caption\": \"\", \"rect\": [8, 8, 253, 113]",
          "\"name\": \"TrackBuff\", \"kind\": \"slider\", \"caption\": \"\", \"rect\": [28, 72, 221, 25], \"enabled\": false, "
          "\"position\": 5, \"min\": 1, \"max\": 5",
          "\"name\": \"LabelBuffInfo\", \"kind\": \"label\", \"caption\": \"500ms\", \"rect\": [173, 56, 68, 12]",
          "\"name\": \"btnOK\", \"kind\": \"button\", \"caption\": \"OK\", \"rect\": [100, 319, 75, 25]",
          "\"name\": \"btnCancel\", \"kind\": \"button\", \"caption\": \"Cancel\", \"rect\": [180, 319, 75, 25]",
          "\"name\": \"CheckSound\", \"kind\": \"check\", \"caption\": \"Use DirectSound (&S)\", \"rect\": [28, 24, 217, 17], "
          "\"enabled\": true, \"checked\": true",
          "{\"name\": \"Bevel2\", \"kind\": \"bevel\", \"caption\": \"\", \"rect\": [8, 129, 253, 171]",
          "\"name\": \"RadioScale1\", \"kind\": \"radio\", \"caption\": \"Keep aspect ratio\", \"rect\": [36, 172, 209, 17], "
          "\"enabled\": true, \"checked\": true",
          "\"name\": \"LabelWindowScaleInfo\", \"kind\": \"label\", \"caption\": \"1x\""}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
}

}  // namespace
}  // namespace mobu
