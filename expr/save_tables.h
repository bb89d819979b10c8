// The table sections of a saved game and of the status data. The save container reads and
// writes both through this interface; the table database answers it. Until one is
// installed, the container keeps each section it read as opaque bytes and writes them back.
#pragma once

#include "core/byte_reader.h"
#include "core/byte_writer.h"

namespace mobu {

class TSaveTables {
public:
    virtual ~TSaveTables() = default;
    // Appends the section of the status tables (`status` true) or of the game tables.
    virtual void SaveTables(ByteWriter& out, bool status) = 0;
    // Reads one section from `in` (leaving `in` just after it) and replaces the tables of
    // that status with those read. A damaged section throws EMobuError and changes no table.
    virtual void LoadTables(ByteReader& in, bool status) = 0;
};

// The installed table database, or nullptr while there is none.
TSaveTables* InstalledSaveTables();
void InstallSaveTables(TSaveTables* tables);

}  // namespace mobu
