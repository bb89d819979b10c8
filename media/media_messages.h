// Message texts of the media layer.
#pragma once

#include <string>

#include "core/script_log_messages.h"
#include "platform/text_encoding.h"

namespace mobu::media_messages {

// Sound data that cannot be decoded (a broken RIFF or Ogg file, an unusable format).
inline std::string InvalidSoundData() { return SysText(u8"サウンドデータが不正です"); }
// A media kind or codec the player cannot play yet; `what` is ASCII.
inline std::string NotAvailableYet(const std::string& what) { return script_log_messages::NotAvailableYet(what); }

}  // namespace mobu::media_messages
