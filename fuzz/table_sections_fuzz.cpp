// The table database's saved sections: a status section, then a game section, read from
// arbitrary bytes as a start-up and a later game load read them. Whatever loads must save and
// load again to the same bytes, and a refused section must leave the tables as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/mobu_error.h"
#include "expr/dbs/db_manager.h"

namespace {

std::string Save(mobu::TDBManager& db)
{
    mobu::ByteWriter out;
    db.SaveTables(out, true);
    db.SaveTables(out, false);
    return out.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    TDBManager db;
    ByteReader in(data, size);
    for (bool status : {true, false}) {
        const std::string before = Save(db);
        try {
            db.LoadTables(in, status);
        } catch (const EMobuError&) {
            if (Save(db) != before) std::abort();
            break;
        }
    }
    const std::string first = Save(db);
    TDBManager copy;
    ByteReader again(first);
    copy.LoadTables(again, true);
    copy.LoadTables(again, false);
    if (!again.AtEnd() || Save(copy) != first) std::abort();
    // Every table stays usable: sort by every field and read the current record.
    for (size_t i = 0; i < copy.Count(); ++i) {
        TDBTable& table = copy.Table(i);
        std::vector<std::string> names;
        for (const auto& field : table.Fields().Fields()) names.push_back(field.name);
        table.Sort(names, std::vector<bool>(names.size(), true));
        if (table.Last()) {
            std::string text;
            for (const auto& name : names) table.GetText(name, text);
        }
    }
    return 0;
}
