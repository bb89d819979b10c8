// Every message text of the expression compiler, the evaluator and the built-in functions,
// in one place (cp932 at run time).
#pragma once

#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace mobu::expr_messages {

inline std::string SyntaxError() { return SysText(u8"構文エラー"); }
inline std::string BadSubscripts() { return SysText(u8"配列の添え字が不正です"); }
inline std::string UnknownFunction(std::string_view name)
{
    return "\"" + std::string(name) + SysText(u8"\" 関数名がありません");
}
inline std::string BadArgumentCount(std::string_view name) { return std::string(name) + SysText(u8" 引数の数が不正です"); }
inline std::string UnknownVariable(std::string_view name)
{
    return "\"" + std::string(name) + SysText(u8"\" 変数がありません");
}
// The head of the message about an operation that cannot make its destination; the caller
// appends the destination, the opcode name and the operands.
inline std::string BadOperationHead() { return SysText(u8"不正な式\r\n\r\n代入先:"); }
inline std::string BadOperationType() { return SysText(u8"演算タイプ:"); }
inline std::string BadGetPropArgument() { return SysText(u8"GetPropの引数が違います"); }
inline std::string VariableNotFound(std::string_view function)
{
    return std::string(function) + SysText(u8":変数が見つかりません");
}
inline std::string InternalError() { return SysText(u8"内部エラー"); }
// Arithmetic that has no defined result (division by zero, real overflow, invalid operation).
inline std::string ArithmeticError() { return SysText(u8"演算エラー"); }
// A size argument beyond what the player accepts (digits, repeat counts, array sizes).
inline std::string SizeTooLarge() { return SysText(u8"サイズが大きすぎます"); }
// Calc nested too deeply inside itself.
inline std::string CalcTooDeep() { return SysText(u8"Calcの入れ子が深すぎます"); }
// A built-in function that this build cannot perform (needs a subsystem not present).
inline std::string FunctionUnavailable(std::string_view name)
{
    return std::string(name) + SysText(u8":この関数は使えません");
}
// ExtractFile's question before replacing an existing file (%s: the file's name).
inline std::string ReplaceExistingFileQuestion(const std::string& name)
{
    return name + SysText(u8"\r\n\r\n既に同名のファイルが存在します。上書きしますか？");
}
// A compiled expression stream that cannot be read.
inline std::string BrokenExpression() { return SysText(u8"式のデータが壊れています"); }

}  // namespace mobu::expr_messages
