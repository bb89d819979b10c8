// Texts of the component model's messages.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu::component_messages {

inline std::string GetPropError() { return SysText(u8"GetPropエラー"); }
inline std::string SetPropError() { return SysText(u8"SetPropエラー"); }
// A saved game that cannot be read.
inline std::string BadSaveData() { return SysText(u8"このセーブデータは使用できません\r\n終了してください"); }

}  // namespace mobu::component_messages
