// Stored variable sections: game variables (every version gate) and status variables. The
// first byte chooses the section and version; the rest is the section. Whatever loads must
// save, load again to the same bytes, pop its push blocks and dump without failing.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/param_collection.h"
#include "expr/variables_json.h"

namespace {

const int32_t kVersions[] = {102, 107, 113, 121, 135, 139, 140};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    if (size < 1) return 0;
    const uint8_t selector = data[0];
    const bool status = selector & 0x80;
    const int32_t version = kVersions[(selector & 0x7F) % std::size(kVersions)];
    TParamCollection table;
    table.OnLegacyHistorySettings = [](const std::array<int32_t, 6>&) {};
    ByteReader in(data + 1, size - 1);
    try {
        if (status) {
            table.LoadStatusVars(in, version);
        } else {
            table.LoadGameVars(in, version);
        }
    } catch (const EMobuError&) {
        return 0;
    }
    ByteWriter first;
    if (status) {
        table.SaveStatusVars(first);
    } else {
        table.SaveGameVars(first);
    }
    TParamCollection copy;
    ByteReader again(first.Bytes());
    if (status) {
        copy.LoadStatusVars(again, version);
    } else {
        copy.LoadGameVars(again, 140);
    }
    std::ostringstream json;
    WriteVariablesJson(table, json);
    while (table.PushBlockCount() > 0) table.PopVars();
    return 0;
}
