#include "app/form_config.h"

#include <algorithm>
#include <cstdio>

#include "app/dialog_painter.h"
#include "app/game_ini.h"
#include "core/cp932_chars.h"
#include "graphics/custom_dibx.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

// Virtual-key codes the dialog answers.
constexpr int kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10, kVkAlt = 0x12, kVkEscape = 0x1B, kVkSpace = 0x20,
              kVkPageUp = 0x21, kVkPageDown = 0x22, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26,
              kVkRight = 0x27, kVkDown = 0x28;

// The slider's channel: thumb centres run from the left edge + kSliderInset to the right
// edge - kSliderInset; the thumb is kThumbWidth wide and its length (height) is 16.
constexpr int kSliderInset = 13;
constexpr int kThumbWidth = 11;
constexpr int kThumbLength = 16;

std::string JsonString(const std::string& cp932)
{
    std::string utf8 = Cp932ToUtf8(cp932), out = "\"";
    for (char c : utf8) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* KindName(TDialogControlKind kind)
{
    switch (kind) {
    case TDialogControlKind::Bevel: return "bevel";
    case TDialogControlKind::Label: return "label";
    case TDialogControlKind::Check: return "check";
    case TDialogControlKind::Radio: return "radio";
    case TDialogControlKind::Slider: return "slider";
    case TDialogControlKind::Button: return "button";
    }
    return "";
}

}  // namespace

char TDialogControl::Mnemonic() const
{
    for (size_t i = 0; i + 1 < caption.size(); i += Cp932CharLength(caption, i)) {
        if (caption[i] != '&') continue;
        char letter = caption[i + 1];
        if (letter == '&') {
            ++i;
            continue;
        }
        return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    }
    return 0;
}

TFormConfig::TFormConfig(TGameIniPlace place, bool japanese) : place_(std::move(place)), texts_(ConfigTexts(japanese))
{
    using K = TDialogControlKind;
    auto control = [](const char* name, K kind, std::string caption, int left, int top, int width, int height) {
        TDialogControl c;
        c.name = name;
        c.kind = kind;
        c.caption = std::move(caption);
        c.left = left, c.top = top, c.width = width, c.height = height;
        return c;
    };
    controls_.push_back(control("Bevel1", K::Bevel, "", 8, 8, 253, 113));
    controls_.push_back(control("CheckSound", K::Check, texts_.check_sound, 28, 24, 217, 17));
    controls_.back().tab_order = 0;
    controls_.push_back(control("LabelBuff", K::Label, texts_.label_buff, 28, 56, 123, 12));
    controls_.back().focus_control = "TrackBuff";
    controls_.push_back(control("LabelBuffInfo", K::Label, "", 173, 56, 68, 12));
    controls_.back().right_aligned = true;
    controls_.push_back(control("TrackBuff", K::Slider, "", 28, 72, 221, 25));
    controls_.back().minimum = 1, controls_.back().maximum = 5, controls_.back().position = 5;
    controls_.back().tab_order = 3;
    // The display group: a second bevel below the sound group; OK and Cancel 19 pixels
    // below it.
    controls_.push_back(control("Bevel2", K::Bevel, "", 8, 129, 253, 171));
    controls_.push_back(control("LabelScale", K::Label, texts_.label_scale, 28, 139, 217, 12));
    controls_.back().focus_control = "RadioScale";  // the chosen radio button
    for (int mode = 0; mode < 3; ++mode) {
        std::string name = "RadioScale" + std::to_string(mode);
        controls_.push_back(control(name.c_str(), K::Radio, texts_.radio_scale[mode], 36, 155 + 17 * mode, 209, 17));
        controls_.back().tab_order = 4;
    }
    controls_.push_back(control("CheckSmooth", K::Check, texts_.check_smooth, 28, 208, 217, 17));
    controls_.back().tab_order = 5;
    controls_.push_back(control("LabelWindowScale", K::Label, texts_.label_window_scale, 28, 232, 140, 12));
    controls_.back().focus_control = "TrackWindowScale";
    controls_.push_back(control("LabelWindowScaleInfo", K::Label, "", 173, 232, 68, 12));
    controls_.back().right_aligned = true;
    controls_.push_back(control("TrackWindowScale", K::Slider, "", 28, 248, 221, 25));
    controls_.back().minimum = 0, controls_.back().maximum = 4, controls_.back().position = 1;
    controls_.back().tab_order = 6;
    controls_.push_back(control("CheckFullScreen", K::Check, texts_.check_full_screen, 28, 277, 217, 17));
    controls_.back().tab_order = 7;
    controls_.push_back(control("btnOK", K::Button, texts_.ok, 100, 319, 75, 25));
    controls_.back().tab_order = 1;
    controls_.push_back(control("btnCancel", K::Button, texts_.cancel, 180, 319, 75, 25));
    controls_.back().tab_order = 2;
}

std::vector<size_t> TFormConfig::RadioGroup() const
{
    std::vector<size_t> group;
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].kind == TDialogControlKind::Radio) group.push_back(i);
    return group;
}

size_t TFormConfig::ChosenRadio() const
{
    std::vector<size_t> group = RadioGroup();
    for (size_t i = 0; i < group.size(); ++i)
        if (controls_[group[i]].checked) return i;
    return 0;
}

void TFormConfig::ChooseRadio(size_t index)
{
    std::vector<size_t> group = RadioGroup();
    for (size_t i = 0; i < group.size(); ++i) controls_[group[i]].checked = i == index;
}

TFormConfig::TDisplayValues TFormConfig::DisplayValues() const
{
    TDisplayValues values;
    values.scale_mode = static_cast<int>(ChosenRadio());
    values.smooth = Control("CheckSmooth").checked;
    values.window_scale = Control("TrackWindowScale").position;
    values.full_screen = Control("CheckFullScreen").checked;
    return values;
}

TDialogControl& TFormConfig::Find(const std::string& name)
{
    for (TDialogControl& c : controls_)
        if (c.name == name) return c;
    std::abort();  // the names are this file's own
}

const TDialogControl& TFormConfig::Control(const std::string& name) const
{
    return const_cast<TFormConfig*>(this)->Find(name);
}

std::string TFormConfig::FocusName() const { return controls_[focus_].name; }

void TFormConfig::FormCreate()
{
    open_ = 1;
    std::string reason;
    std::string read_path = GameIniReadPath(place_);
    ini_ = ReadGameIniText(read_path, &reason);
    if (!reason.empty()) std::fprintf(stderr, "mobuplay: %s: %s; read as absent\n", read_path.c_str(), reason.c_str());
    TSoundSettings settings;
    std::optional<std::string> delay = ini_.Get("Sound", "DelayTime");
    std::optional<int64_t> stored = delay ? ParseIniInteger(*delay) : std::nullopt;
    ApplyGameIni(ini_, settings);
    Find("CheckSound").checked = settings.DirectSound;
    CheckSoundClick();
    // DelayTime div 100, the remainder dropped; the slider clamps it to 1..5.
    int64_t raw = std::clamp<int64_t>(stored.value_or(500), -1000000, 1000000);
    SetSliderPosition(Find("TrackBuff"), static_cast<int>(raw / 100));
    TrackBuffChange();
    // The display group shows what the player would use; an absent SmoothScaling (smooth
    // only at factors that are not whole) shows unticked.
    ChooseRadio(static_cast<size_t>(std::clamp(settings.ScaleMode, 0, 2)));
    Find("CheckSmooth").checked = settings.SmoothScaling.value_or(false);
    SetSliderPosition(Find("TrackWindowScale"), std::clamp(settings.WindowScale, 0, 4));
    TrackWindowScaleChange();
    Find("CheckFullScreen").checked = settings.FullScreen;
    display_read_ = DisplayValues();
    focus_ = 0;
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].name == "CheckSound") focus_ = i;
}

void TFormConfig::CheckSoundClick()
{
    bool wave_out = !Find("CheckSound").checked;
    for (const char* name : {"LabelBuff", "TrackBuff", "LabelBuffInfo"}) Find(name).enabled = wave_out;
}

void TFormConfig::TrackBuffChange()
{
    char text[32];
    std::snprintf(text, sizeof text, "%dms", Find("TrackBuff").position * 100);
    Find("LabelBuffInfo").caption = text;
}

void TFormConfig::TrackWindowScaleChange()
{
    char text[32];
    int factor = Find("TrackWindowScale").position;
    if (factor == 0) {
        Find("LabelWindowScaleInfo").caption = texts_.window_scale_auto;
    } else {
        std::snprintf(text, sizeof text, texts_.window_scale_format.c_str(), factor);
        Find("LabelWindowScaleInfo").caption = text;
    }
}

void TFormConfig::btnOKClick()
{
    TIniText edited = ini_;
    edited.Set("Sound", "DirectSound", Find("CheckSound").checked ? "1" : "0");
    edited.Set("Sound", "DelayTime", std::to_string(Find("TrackBuff").position * 100));
    // A display key is written only when the user changed it, so an untouched dialog adds
    // nothing to [Video].
    TDisplayValues now = DisplayValues();
    if (now.scale_mode != display_read_.scale_mode) edited.Set("Video", "ScaleMode", std::to_string(now.scale_mode));
    if (now.smooth != display_read_.smooth) edited.Set("Video", "SmoothScaling", now.smooth ? "1" : "0");
    if (now.window_scale != display_read_.window_scale)
        edited.Set("Video", "WindowScale", std::to_string(now.window_scale));
    if (now.full_screen != display_read_.full_screen) edited.Set("Video", "FullScreen", now.full_screen ? "1" : "0");
    std::string reason;
    // The per-user file's folders are made on the first save.
    if (!place_.shipped.empty()) CreateRealFolders(RealFolderOf(place_.path));
    if (!WriteGameIni(place_.path, edited, reason)) {
        // The dialog stays open with the user's choices: OK can be tried again.
        error_ = texts_.save_failed + "\n" + Utf8ToCp932(place_.path) + "\n" + Utf8ToCp932(reason);
        if (error_sink_ != nullptr) error_sink_(error_, error_context_);
        return;
    }
    ini_ = edited;
    result_ = "ok";
    FormClose();
}

void TFormConfig::btnCancelClick()
{
    if (!result_) result_ = "cancel";
    FormClose();
}

void TFormConfig::FormClose()
{
    if (!result_) result_ = "cancel";
    open_ = 0;
}

std::vector<size_t> TFormConfig::TabOrder() const
{
    std::vector<size_t> order;
    for (size_t i = 0; i < controls_.size(); ++i) {
        const TDialogControl& c = controls_[i];
        // Of a radio group only the chosen button is a tab stop; arrows move within it.
        if (c.tab_order >= 0 && c.enabled && (c.kind != TDialogControlKind::Radio || c.checked)) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return controls_[a].tab_order < controls_[b].tab_order; });
    return order;
}

void TFormConfig::SetFocus(size_t index)
{
    if (controls_[index].tab_order >= 0 && controls_[index].enabled) focus_ = index;
}

void TFormConfig::MoveFocus(int direction)
{
    std::vector<size_t> order = TabOrder();
    if (order.empty()) return;
    auto at = std::find(order.begin(), order.end(), focus_);
    ptrdiff_t index = at == order.end() ? 0 : at - order.begin();
    ptrdiff_t count = static_cast<ptrdiff_t>(order.size());
    focus_ = order[static_cast<size_t>(((index + direction) % count + count) % count)];
}

void TFormConfig::SetSliderPosition(TDialogControl& slider, int position)
{
    int clamped = std::clamp(position, slider.minimum, slider.maximum);
    if (clamped == slider.position) return;
    slider.position = clamped;
    if (slider.name == "TrackBuff") TrackBuffChange();
    if (slider.name == "TrackWindowScale") TrackWindowScaleChange();
}

void TFormConfig::Press(size_t index)
{
    TDialogControl& c = controls_[index];
    if (!c.enabled || !IsOpen()) return;
    if (c.kind == TDialogControlKind::Check) {
        c.checked = !c.checked;
        if (c.name == "CheckSound") CheckSoundClick();
    } else if (c.kind == TDialogControlKind::Radio) {
        std::vector<size_t> group = RadioGroup();
        ChooseRadio(static_cast<size_t>(std::find(group.begin(), group.end(), index) - group.begin()));
    } else if (c.name == "btnOK") {
        btnOKClick();
    } else if (c.name == "btnCancel") {
        btnCancelClick();
    }
}

size_t TFormConfig::DefaultButton() const
{
    size_t ok = 0, cancel = 0;
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].name == "btnOK") ok = i;
        if (controls_[i].name == "btnCancel") cancel = i;
    }
    return focus_ == cancel ? cancel : ok;
}

bool TFormConfig::RunMnemonic(char letter)
{
    for (size_t i = 0; i < controls_.size(); ++i) {
        TDialogControl& c = controls_[i];
        if (c.Mnemonic() != letter || !c.enabled) continue;
        if (c.kind == TDialogControlKind::Label) {
            if (c.focus_control == "RadioScale") {
                SetFocus(RadioGroup()[ChosenRadio()]);
                return true;
            }
            for (size_t j = 0; j < controls_.size(); ++j)
                if (controls_[j].name == c.focus_control) SetFocus(j);
        } else {
            SetFocus(i);
            Press(i);
        }
        return true;
    }
    return false;
}

void TFormConfig::KeyDown(int key)
{
    if (!IsOpen()) return;
    if (key == kVkShift || key == 0xA0 || key == 0xA1) {
        shift_ = true;
        return;
    }
    if (key == kVkAlt || key == 0xA4 || key == 0xA5) return;  // Alt+letter and the bare letter do the same
    TDialogControl& focused = controls_[focus_];
    switch (key) {
    case kVkTab: MoveFocus(shift_ ? -1 : 1); return;
    case kVkReturn: Press(DefaultButton()); return;
    case kVkEscape: btnCancelClick(); return;
    case kVkSpace:
        if (focused.kind == TDialogControlKind::Check || focused.kind == TDialogControlKind::Button ||
            focused.kind == TDialogControlKind::Radio)
            Press(focus_);
        return;
    default: break;
    }
    if (focused.kind == TDialogControlKind::Radio && key >= kVkLeft && key <= kVkDown) {
        // Arrows choose the previous or next button of the group, wrapping, and focus it.
        std::vector<size_t> group = RadioGroup();
        size_t count = group.size(), at = ChosenRadio();
        size_t next = key == kVkLeft || key == kVkUp ? (at + count - 1) % count : (at + 1) % count;
        ChooseRadio(next);
        SetFocus(group[next]);
        return;
    }
    if (focused.kind == TDialogControlKind::Slider && focused.enabled) {
        switch (key) {
        case kVkLeft: case kVkUp: case kVkPageUp: SetSliderPosition(focused, focused.position - 1); return;
        case kVkRight: case kVkDown: case kVkPageDown: SetSliderPosition(focused, focused.position + 1); return;
        case kVkHome: SetSliderPosition(focused, focused.minimum); return;
        case kVkEnd: SetSliderPosition(focused, focused.maximum); return;
        default: break;
        }
    } else if (key >= kVkLeft && key <= kVkDown) {
        // On other controls arrows move through them like Tab.
        MoveFocus(key == kVkLeft || key == kVkUp ? -1 : 1);
        return;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) RunMnemonic(static_cast<char>(key));
}

void TFormConfig::KeyUp(int key)
{
    if (key == kVkShift || key == 0xA0 || key == 0xA1) shift_ = false;
}

int TFormConfig::SliderCentre(const TDialogControl& slider, int position) const
{
    int first = slider.left + kSliderInset, last = slider.left + slider.width - 1 - kSliderInset;
    int steps = std::max(1, slider.maximum - slider.minimum);
    return first + (last - first) * (position - slider.minimum) / steps;
}

int TFormConfig::SliderPositionAt(const TDialogControl& slider, int x) const
{
    int first = slider.left + kSliderInset, last = slider.left + slider.width - 1 - kSliderInset;
    int steps = std::max(1, slider.maximum - slider.minimum);
    int span = std::max(1, last - first);
    int offset = std::clamp(x - first, 0, span);
    return slider.minimum + (offset * steps + span / 2) / span;
}

void TFormConfig::MouseDown(int x, int y)
{
    if (!IsOpen()) return;
    pressed_.reset();
    dragging_ = false;
    for (size_t i = 0; i < controls_.size(); ++i) {
        TDialogControl& c = controls_[i];
        if (!c.Contains(x, y) || c.kind == TDialogControlKind::Bevel) continue;
        if (c.kind == TDialogControlKind::Label) {
            continue;
        }
        if (!c.enabled) return;  // disabled controls take no input
        SetFocus(i);
        if (c.kind == TDialogControlKind::Slider) {
            int centre = SliderCentre(c, c.position);
            if (x >= centre - kThumbWidth / 2 && x <= centre + kThumbWidth / 2) {
                dragging_ = true;
                pressed_ = i;
            } else {
                SetSliderPosition(c, c.position + (x < centre ? -1 : 1));  // a page toward the click
            }
            return;
        }
        pressed_ = i;
        pressed_inside_ = true;
        return;
    }
}

void TFormConfig::MouseMove(int x, int y)
{
    if (!pressed_) return;
    TDialogControl& c = controls_[*pressed_];
    if (dragging_) {
        SetSliderPosition(c, SliderPositionAt(c, x));
        return;
    }
    pressed_inside_ = c.Contains(x, y);
}

void TFormConfig::MouseUp(int x, int y)
{
    if (!pressed_) return;
    size_t index = *pressed_;
    MouseMove(x, y);
    bool click = !dragging_ && controls_[index].Contains(x, y);
    pressed_.reset();
    dragging_ = false;
    pressed_inside_ = false;
    if (click) Press(index);
}

void TFormConfig::Paint(TCustomDIBX& surface)
{
    using namespace dialog_colours;
    if (surface.Width() != kClientWidth || surface.Height() != kClientHeight || surface.BitCount() != 32)
        surface.SetSize(kClientWidth, kClientHeight, 32);
    TDialogPainter painter(surface, ConfigFontName(), kConfigFontSize);
    painter.Fill(0, 0, kClientWidth, kClientHeight, kFace);
    size_t default_button = DefaultButton();
    for (size_t i = 0; i < controls_.size(); ++i) {
        const TDialogControl& c = controls_[i];
        bool focused = i == focus_;
        switch (c.kind) {
        case TDialogControlKind::Bevel:
            painter.Bevel(c.left, c.top, c.width, c.height);
            break;
        case TDialogControlKind::Label: {
            int x = c.right_aligned ? c.left + c.width - painter.TextWidth(c.caption) : c.left;
            painter.Text(x, c.top, c.caption, c.enabled);
            break;
        }
        case TDialogControlKind::Check: {
            int box_top = c.top + (c.height - 13) / 2;
            painter.CheckBox(c.left, box_top, c.checked, c.enabled);
            int text_x = c.left + 13 + 4, text_y = c.top + (c.height - painter.TextHeight()) / 2;
            painter.Text(text_x, text_y, c.caption, c.enabled);
            if (focused)
                painter.FocusRect(text_x - 1, text_y - 1, painter.TextWidth(c.caption) + 3, painter.TextHeight() + 2);
            break;
        }
        case TDialogControlKind::Radio: {
            int button_top = c.top + (c.height - 12) / 2;
            painter.RadioButton(c.left, button_top, c.checked, c.enabled);
            int text_x = c.left + 12 + 4, text_y = c.top + (c.height - painter.TextHeight()) / 2;
            painter.Text(text_x, text_y, c.caption, c.enabled);
            if (focused)
                painter.FocusRect(text_x - 1, text_y - 1, painter.TextWidth(c.caption) + 3, painter.TextHeight() + 2);
            break;
        }
        case TDialogControlKind::Slider: {
            int first = c.left + kSliderInset, last = c.left + c.width - 1 - kSliderInset;
            painter.Frame(first - 3, c.top + 8, last - first + 7, 4, kShadow, kHighlight);
            painter.Fill(first - 2, c.top + 9, last - first + 5, 2, c.enabled ? kWindow : kFace);
            for (int p = c.minimum; p <= c.maximum; ++p)
                painter.Fill(SliderCentre(c, p), c.top + 20, 1, 3, kText);
            int centre = SliderCentre(c, c.position);
            int thumb_left = centre - kThumbWidth / 2, thumb_top = c.top + 2;
            painter.Fill(thumb_left, thumb_top, kThumbWidth, kThumbLength, kFace);
            painter.Frame(thumb_left, thumb_top, kThumbWidth, kThumbLength, kHighlight, kDarkShadow);
            painter.Frame(thumb_left + 1, thumb_top + 1, kThumbWidth - 2, kThumbLength - 2, kLight, kShadow);
            if (!c.enabled) painter.Fill(thumb_left + 3, thumb_top + 3, kThumbWidth - 6, kThumbLength - 6, kShadow);
            if (focused) painter.FocusRect(c.left, c.top, c.width, c.height);
            break;
        }
        case TDialogControlKind::Button: {
            bool pressed = pressed_ && *pressed_ == i && pressed_inside_;
            painter.Button(c.left, c.top, c.width, c.height, pressed, i == default_button);
            int shift = pressed ? 1 : 0;
            int text_x = c.left + (c.width - painter.TextWidth(c.caption)) / 2 + shift;
            int text_y = c.top + (c.height - painter.TextHeight()) / 2 + shift;
            painter.Text(text_x, text_y, c.caption, c.enabled);
            if (focused) painter.FocusRect(c.left + 4, c.top + 4, c.width - 8, c.height - 8);
            break;
        }
        }
    }
}

std::string TFormConfig::DumpJson() const
{
    std::string json = "{\"caption\": " + JsonString(texts_.caption) + ", \"width\": " + std::to_string(kClientWidth) +
                       ", \"height\": " + std::to_string(kClientHeight) + ", \"open\": " + (IsOpen() ? "true" : "false") +
                       ", \"result\": " + (result_ ? "\"" + *result_ + "\"" : "null") +
                       ", \"error\": " + JsonString(error_) + ", \"focus\": \"" + FocusName() +
                       "\", \"file\": " + JsonString(Utf8ToCp932(place_.path)) + ", \"controls\": [";
    for (size_t i = 0; i < controls_.size(); ++i) {
        const TDialogControl& c = controls_[i];
        json += i ? ",\n  " : "\n  ";
        json += "{\"name\": \"" + c.name + "\", \"kind\": \"" + KindName(c.kind) + "\", \"caption\": " +
                JsonString(c.caption) + ", \"rect\": [" + std::to_string(c.left) + ", " + std::to_string(c.top) + ", " +
                std::to_string(c.width) + ", " + std::to_string(c.height) + "], \"enabled\": " +
                (c.enabled ? "true" : "false");
        if (c.kind == TDialogControlKind::Check || c.kind == TDialogControlKind::Radio)
            json += std::string(", \"checked\": ") + (c.checked ? "true" : "false");
        if (c.kind == TDialogControlKind::Slider)
            json += ", \"position\": " + std::to_string(c.position) + ", \"min\": " + std::to_string(c.minimum) +
                    ", \"max\": " + std::to_string(c.maximum);
        json += "}";
    }
    return json + "\n]}\n";
}

}  // namespace mobu
