// Reads arbitrary bytes as the saved component list: refused or loaded, never a crash.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "core/byte_reader.h"
#include "components/mobu_base_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    mobu::TMobuBaseList list;
    int version = 107 + data[0] % 34;
    mobu::ByteReader in(data + 1, size - 1);
    try {
        list.LoadFromStream(in, version);
        list.DrawPass();
        list.UpdatePass();
    } catch (const std::exception&) {
    }
    return 0;
}
