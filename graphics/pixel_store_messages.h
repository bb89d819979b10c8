// Message texts of the pixel store and its image files.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu {

inline std::string MsgCanNotAllocMemory() { return "Can not alloc memory"; }

}  // namespace mobu
