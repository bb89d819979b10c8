// Messages of the text engine.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu::text_messages {

// An A tag without its HREF value.
inline std::string AnchorWithoutHref() { return SysText(u8"<A>タグにHREF値がありません"); }

}  // namespace mobu::text_messages
