// Texts of the save container's messages.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu::save_messages {

inline std::string WarningCaption() { return SysText(u8"警告"); }
// A saved game that cannot be read (too old, too new, damaged).
inline std::string BadSaveData() { return SysText(u8"このセーブデータは使用できません\r\n終了してください"); }
// A game save that could not be written; the reason follows on the next line.
inline std::string SaveFailed() { return SysText(u8"セーブできませんでした"); }
// Status data of a newer version or damaged: the game runs without it and keeps it.
inline std::string StatusUnreadable() { return SysText(u8"ステータスデータを読み込めません\r\n元のデータはそのまま残します"); }
inline std::string RestoredFromBackup() { return SysText(u8"セーブデータが壊れていたため、バックアップから復元しました"); }
// The damaged file was kept under another name (the name follows).
inline std::string DamagedKeptAs() { return SysText(u8"セーブデータが壊れていたため、別の名前で残しました: "); }

}  // namespace mobu::save_messages
