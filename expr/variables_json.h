// The state dump of the variable table: every variable (temporaries and aliases left out) as
// UTF-8 JSON, for the headless runner and the checks that read it.
//
//   [{"name": "x", "scope": "global|auto|local|status|system", "type": "int|real|flag|string",
//     "value": 1}, {"name": "a", ..., "dims": [2, 3], "value": [...elements in storage order]}]
//
// Reals are written with enough digits to read back the same 80-bit value.
#pragma once

#include <ostream>
#include <string>

#include "core/real80.h"

namespace mobu {

class TParamCollection;

void WriteVariablesJson(const TParamCollection& table, std::ostream& out);

// The shortest decimal text (at most 21 significant digits) that reads back as the same
// 80-bit value; "NaN", "Infinity" and "-Infinity" are written as JSON strings.
std::string RealToJson(Real value);

// A JSON string of UTF-8 text, quoted, with quotes, backslashes and control bytes escaped.
void WriteJsonString(std::ostream& out, const std::string& utf8);

}  // namespace mobu
