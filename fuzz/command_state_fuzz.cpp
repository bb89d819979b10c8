// Command state blobs inside saved games: any bytes given to the LoadState of every
// command class either restore a state or are refused with an error, and a restored state
// writes back a blob that reads again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "script/command.h"
#include "script/page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    if (size < 1) return 0;
    const uint8_t id = data[0] % kCommandCount;
    const std::string_view blob(reinterpret_cast<const char*>(data + 1), size - 1);
    TPage page;
    std::unique_ptr<TCommand> command = CreateCommand(&page.Commands, id);
    try {
        ByteReader in(blob);
        command->LoadState(in);
    } catch (const EMobuError&) {
        return 0;
    }
    ByteWriter first;
    command->SaveState(first);
    std::unique_ptr<TCommand> again = CreateCommand(&page.Commands, id);
    ByteReader in(first.Bytes());
    again->LoadState(in);
    ByteWriter second;
    again->SaveState(second);
    if (second.Bytes() != first.Bytes()) std::abort();
    return 0;
}
