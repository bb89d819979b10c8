// The state dump of the table database as UTF-8 JSON, for `mobupack expr --dump-tables` and
// the headless runner:
//
//   {"active": "name" or "", "tables": [{"name", "status": true|false, "current",
//     "fields": [{"name", "type": "int|real|flag|string", "width"}],
//     "records": [[value, ...], ...], "raw": ["hex of each record block", ...]}]}
//
// Values are written as the variable dump writes them (reals read back exactly; NaN and the
// infinities as the strings "NaN", "Infinity", "-Infinity").
#pragma once

#include <ostream>

namespace mobu {

class TDBManager;

void WriteTablesJson(const TDBManager& database, std::ostream& out);

}  // namespace mobu
