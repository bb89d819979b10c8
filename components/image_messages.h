// Every message text of the image components, in one place (cp932 at run time).
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu::image_messages {

// A selection-map file whose counts or lengths run past its end.
inline std::string DamagedMapFile(const std::string& name) { return name + SysText(u8":マップファイルが壊れています"); }

}  // namespace mobu::image_messages
