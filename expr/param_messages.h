// Messages of the variable table and its values, in one place (cp932 at run time).
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu {

inline std::string MsgBadSubscript() { return SysText(u8"[%d]:配列の添字が不正です"); }
inline std::string MsgBadElementCount() { return SysText(u8"配列の要素数[%s]が不正です"); }
inline std::string MsgBadSubscriptCount() { return SysText(u8"添え字が不正です"); }
inline std::string MsgOffsetBeyondCount() { return SysText(u8"要素数を超えています"); }
inline std::string MsgCopyTypeMismatch() { return SysText(u8"CopyMem:変数の型があいません"); }
inline std::string MsgBadVariableName() { return SysText(u8"\"%s\"：変数名が不正です"); }
inline std::string MsgNoVariableName() { return SysText(u8"変数名がありません"); }
inline std::string MsgBadVariable() { return SysText(u8"%s:不正な変数です"); }
inline std::string MsgNoSuchVariable() { return SysText(u8"\"%s\" 変数がありません"); }
inline std::string MsgInternalError() { return SysText(u8"内部エラー"); }
// A real that does not fit an integer: the floating-point unit's invalid operation.
inline std::string MsgInvalidFloatOperation() { return "Invalid floating point operation"; }
// Saved variables that cannot be read.
inline std::string MsgBrokenVariableData() { return SysText(u8"変数データが壊れています"); }

// Replaces the first "%s" or "%d" of a message with the given text.
inline std::string FormatMessage(std::string message, const std::string& argument)
{
    size_t at = message.find('%');
    while (at != std::string::npos && at + 1 < message.size() && message[at + 1] != 's' && message[at + 1] != 'd') {
        at = message.find('%', at + 1);
    }
    if (at != std::string::npos && at + 1 < message.size()) message.replace(at, 2, argument);
    return message;
}

}  // namespace mobu
