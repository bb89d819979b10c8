// Message texts of the layered image format.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu {

inline std::string MsgSetIdentCode() { return SysText(u8"識別コードを設定してください"); }
// A layered image, PNG or bitmap file that cannot be read.
inline std::string MsgBrokenImage() { return SysText(u8"画像データが壊れています"); }

}  // namespace mobu
