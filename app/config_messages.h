// Texts of the settings dialog (`mobuplay /config`), Japanese and English. "&" marks the
// mnemonic letter of a caption.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu {

struct TConfigTexts {
    std::string caption;
    std::string check_sound;
    std::string label_buff;
    std::string ok;
    std::string cancel;
    std::string save_failed;  // the error box's first line
    // The display group.
    std::string label_scale;
    std::string radio_scale[3];  // ScaleMode 0, 1, 2
    std::string check_smooth;
    std::string label_window_scale;
    std::string window_scale_auto;
    std::string window_scale_format;  // "%d" the factor
    std::string check_full_screen;
};

inline TConfigTexts ConfigTexts(bool japanese)
{
    if (japanese)
        return {SysText(u8"動作設定"),
                SysText(u8"DirectSoundを使用する(&S)"),
                SysText(u8"サウンドの遅延時間(&D)："),
                "OK",
                SysText(u8"キャンセル"),
                SysText(u8"設定を保存できませんでした。"),
                SysText(u8"拡大のしかた(&Z)"),
                {SysText(u8"整数倍"), SysText(u8"縦横比を保つ"), SysText(u8"画面いっぱい")},
                SysText(u8"なめらかに拡大する(&M)"),
                SysText(u8"ウィンドウの倍率(&W)"),
                SysText(u8"自動"),
                SysText(u8"%d倍"),
                SysText(u8"全画面で起動する(&F)")};
    return {"Settings",
            "Use DirectSound (&S)",
            "Sound delay (&D):",
            "OK",
            "Cancel",
            "The settings could not be saved.",
            "Scaling (&Z)",
            {"Whole multiples", "Keep aspect ratio", "Stretch to fill"},
            "Smooth scaling (&M)",
            "Window size (&W)",
            "Auto",
            "%dx",
            "Start in full screen (&F)"};
}

// The font of the dialog and its height in pixels.
inline std::string ConfigFontName() { return SysText(u8"ＭＳ Ｐゴシック"); }
constexpr int kConfigFontSize = 12;

}  // namespace mobu
