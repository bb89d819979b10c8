// The read list's saved form on arbitrary bytes: the first byte picks the version; what is
// read answers lookups and saves again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "components/mobu_read_list.h"
#include "core/byte_reader.h"
#include "core/mobu_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    mobu::TMobuReadList list;
    try {
        mobu::ByteReader in(bytes);
        list.LoadFromStream(in, 98 + data[0] % 8);
    } catch (const mobu::EMobuError&) {
    }
    list.IsRead("a", 1, 2);
    list.Commit(list.PendingBox);
    mobu::ByteWriter out;
    list.SaveToStream(out);
    return 0;
}
