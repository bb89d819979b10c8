// Texts of the main window.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu {

inline std::string PlayerCaption() { return "MobuPlayer"; }
inline std::string ExitButtonCaption() { return SysText(u8"終了"); }
inline std::string ScreenSwitchButtonCaption() { return SysText(u8"画面切替"); }
// "%s" stands for the project title.
inline std::string ConfirmExitTextJapanese() { return SysText(u8"「%s」を終了しますか？"); }
inline std::string ConfirmExitTextEnglish() { return "Do you want to exit %s?"; }

}  // namespace mobu
