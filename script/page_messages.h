// Every message text of script pages and the interpreter, in one place (cp932 at run time).
#pragma once

#include <cstdint>
#include <string>

#include "platform/text_encoding.h"

namespace mobu::page_messages {

inline std::string BadCommand() { return SysText(u8"不正なコマンド"); }
inline std::string RebuildPlease() { return SysText(u8"リビルドしてください"); }
inline std::string WarningCaption() { return SysText(u8"警告"); }
inline std::string BadProperty() { return SysText(u8"プロパティ指定が不正です"); }
inline std::string NoVariableName() { return SysText(u8"変数名がありません"); }
inline std::string StackError() { return SysText(u8"スタックエラー"); }
// A damaged page: a count, a length or a field runs past the end of the file.
inline std::string DamagedPage(const std::string& page) { return page + SysText(u8":データが壊れています"); }
// A damaged command state blob inside a saved game.
inline std::string DamagedState() { return SysText(u8"コマンドの状態データが壊れています"); }
// The call stack or the event levels grew past their cap (a runaway recursion).
inline std::string CallTooDeep() { return SysText(u8"呼び出しが深すぎます"); }
// A VarNew type byte outside 1-4.
inline std::string BadVariableType() { return SysText(u8"変数の型が不正です"); }
// The watchdog: one frame's script has run `ms` of wall time at `place` ("start.msb:3 While").
inline std::string ScriptSpins(const std::string& place, uint64_t ms)
{
    return "the script has run for " + std::to_string(ms) + " ms without giving the frame back, at " + place;
}
inline std::string StopTheGameQuestion() { return SysText(u8"ゲームを終了しますか？"); }

}  // namespace mobu::page_messages
