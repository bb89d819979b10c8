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
};

inline TConfigTexts ConfigTexts(bool japanese)
{
    if (japanese)
        return {SysText(u8"動作設定"), SysText(u8"DirectSoundを使用する(&S)"), SysText(u8"サウンドの遅延時間(&D)："),
                "OK", SysText(u8"キャンセル"), SysText(u8"設定を保存できませんでした。")};
    return {"Settings", "Use DirectSound (&S)", "Sound delay (&D):", "OK", "Cancel", "The settings could not be saved."};
}

// The font of the dialog and its height in pixels.
inline std::string ConfigFontName() { return SysText(u8"ＭＳ Ｐゴシック"); }
constexpr int kConfigFontSize = 12;

}  // namespace mobu
