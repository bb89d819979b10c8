// The 40 built-in functions of the table database (DBCreateTable ... DBClearRecord,
// DBGetTableCount, DBGetTable), installed into a function manager over one table database.
// None of them raises: each reports FALSE, -1, 0, 0.0, "" or its default instead.
#pragma once

namespace mobu {

class TDBManager;
class TSysFuncMan;

void InstallDBFunctions(TSysFuncMan& functions, TDBManager& database);

}  // namespace mobu
