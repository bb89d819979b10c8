#include "expr/save_tables.h"

namespace mobu {
namespace {
TSaveTables* installed_tables = nullptr;
}

TSaveTables* InstalledSaveTables() { return installed_tables; }
void InstallSaveTables(TSaveTables* tables) { installed_tables = tables; }

}  // namespace mobu
