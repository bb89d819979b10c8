// Codes of the variable table: value type codes and scope codes, as stored.
#pragma once

#include <cstdint>

namespace mobu {

// Type codes (one byte wherever stored).
inline constexpr uint8_t PT_NONE = 0;   // element alias, only transient
inline constexpr uint8_t PT_INT = 1;    // "整数"
inline constexpr uint8_t PT_FLOAT = 2;  // "実数"
inline constexpr uint8_t PT_BOOL = 3;   // "フラグ"
inline constexpr uint8_t PT_STR = 4;    // "文字列"

// Scope codes of the variable declaration.
enum class TVarScope : uint8_t {
    Global = 0,       // "グローバル"
    AutoDestroy = 1,  // "自動破棄": deleted when a frame at the creating depth returns
    Local = 2,        // "ローカル": visible only at the creating depth
    Status = 3,       // "ステータス": persistent across games, saved in the status data
};

// Number of system variables ("@Result" ... "@StackCount"), the first items of the table.
inline constexpr int kSystemVariableCount = 51;

// Largest number of elements an array may have; larger sizes are refused like sizes <= 0.
inline constexpr int64_t kMaxArrayElements = int64_t{1} << 24;

// Names beginning with this are temporaries of the expression evaluator.
inline constexpr char kTemporaryPrefix[] = "____";

}  // namespace mobu
