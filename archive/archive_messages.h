// Every message text of the game archive layer, in one place (cp932 at run time).
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu::archive_messages {

// "%s:ファイルがありません" with the name put in by us (never through printf).
inline std::string FileNotFound(const std::string& name)
{
    return name + SysText(u8":ファイルがありません");
}
inline std::string CannotCreateWorkFile() { return SysText(u8"作業用ファイルが作れません"); }
inline std::string ResourceNotFound() { return SysText(u8"リソースが見つかりません"); }
// Shown before a failure while writing an entry is passed on.
inline std::string EntryWriteError(const std::string& entry_name) { return SysText(u8"エラー:") + entry_name; }
// A real file could not be written (disk full, no permission).
inline std::string CannotWrite(const std::string& name) { return name + SysText(u8":ファイルに書き込めません"); }

// The precise reason behind a damaged archive's short message, for standard error and the
// log: "game.dat: damaged archive: entry count 99999 exceeds the index, at byte 6".
inline std::string DamagedArchive(const std::string& file_name, const std::string& reason, int64_t at)
{
    return file_name + ": damaged archive: " + reason + ", at byte " + std::to_string(at);
}

}  // namespace mobu::archive_messages
