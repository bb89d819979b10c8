// The settings dialog `TFormConfig` (`mobuplay /config`): the sound and display options of
// game.ini.
// The model holds the controls, their values, the focus and the rules of the handlers; it
// takes keys (virtual-key codes) and mouse events in client coordinates and paints itself
// into a 32-bit surface with the glyph rasterizer. The window and the headless runner both
// drive this one model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/game_ini_location.h"
#include "app/game_ini_text.h"
#include "app/config_messages.h"

namespace mobu {

class TCustomDIBX;

enum class TDialogControlKind { Bevel, Label, Check, Radio, Slider, Button };

struct TDialogControl {
    std::string name;
    TDialogControlKind kind = TDialogControlKind::Label;
    std::string caption;  // cp932; "&" before the mnemonic letter
    int left = 0, top = 0, width = 0, height = 0;
    bool enabled = true;
    bool checked = false;                   // check boxes and radio buttons
    int position = 0, minimum = 0, maximum = 0;  // sliders
    bool right_aligned = false;             // labels
    int tab_order = -1;                     // -1: takes no focus
    std::string focus_control;              // labels: the control their mnemonic focuses

    bool Contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
    // The mnemonic letter in upper case, or 0.
    char Mnemonic() const;
};

class TFormConfig {
public:
    static constexpr int kClientWidth = 270;
    static constexpr int kClientHeight = 358;

    // `place`: the game.ini the dialog reads and writes (UTF-8 paths).
    TFormConfig(TGameIniPlace place, bool japanese);
    TFormConfig(std::string ini_path, bool japanese) : TFormConfig(TGameIniPlace{std::move(ini_path), ""}, japanese) {}

    // Handlers.
    void FormCreate();
    void CheckSoundClick();
    void TrackBuffChange();
    void TrackWindowScaleChange();
    void btnOKClick();
    void btnCancelClick();
    void FormClose();

    // Input. Keys are virtual-key codes; Shift is followed through its own key-down
    // and key-up events; a letter acts as its mnemonic with or without Alt. Mouse coordinates are client coordinates.
    void KeyDown(int key);
    void KeyUp(int key);
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(int x, int y);

    // Paints the whole client area into `surface` (resized to the client area, 32 bits).
    void Paint(TCustomDIBX& surface);

    bool IsOpen() const { return open_ != 0; }
    // "ok" once OK wrote the file, "cancel" once closed without writing, nothing while open.
    std::optional<std::string> Result() const { return result_; }
    // The last failure to save: the first line, the path and the reason (cp932); "" when none.
    const std::string& LastError() const { return error_; }
    const std::string& Caption() const { return texts_.caption; }
    const std::string& IniPath() const { return place_.path; }
    std::string FocusName() const;
    const std::vector<TDialogControl>& Controls() const { return controls_; }
    const TDialogControl& Control(const std::string& name) const;

    // The dialog as UTF-8 JSON (`--dump-dialog`).
    std::string DumpJson() const;

    // Called with the error text when saving fails (the window shows a message box, the
    // headless runner writes a line on standard error).
    void SetErrorSink(void (*sink)(const std::string& text, void* context), void* context)
    {
        error_sink_ = sink;
        error_context_ = context;
    }

private:
    TDialogControl& Find(const std::string& name);
    // Focusable controls in tab order, enabled ones only.
    std::vector<size_t> TabOrder() const;
    void MoveFocus(int direction);
    void SetFocus(size_t index);
    void Press(size_t index);  // a click of a check box or button
    void SetSliderPosition(TDialogControl& slider, int position);
    bool RunMnemonic(char letter);
    int SliderPositionAt(const TDialogControl& slider, int x) const;
    int SliderCentre(const TDialogControl& slider, int position) const;
    // The button Return presses: Cancel when it has the focus, else OK.
    size_t DefaultButton() const;
    // The radio buttons of the scaling group in order, and the chosen one's index in it.
    std::vector<size_t> RadioGroup() const;
    size_t ChosenRadio() const;
    void ChooseRadio(size_t index);
    // The display group's values as controls show them, and as they were read.
    struct TDisplayValues {
        int scale_mode = 1;
        bool smooth = false;
        int window_scale = 1;
        bool full_screen = false;
    };
    TDisplayValues DisplayValues() const;

    TGameIniPlace place_;
    TConfigTexts texts_;
    TIniText ini_;
    TDisplayValues display_read_;
    std::vector<TDialogControl> controls_;
    size_t focus_ = 0;
    uint8_t open_ = 0;
    std::optional<std::string> result_;
    std::string error_;
    bool shift_ = false;
    // Mouse: the control pressed, and whether the slider's thumb is being dragged.
    std::optional<size_t> pressed_;
    bool pressed_inside_ = false;
    bool dragging_ = false;
    void (*error_sink_)(const std::string&, void*) = nullptr;
    void* error_context_ = nullptr;
};

}  // namespace mobu
