// Preview-menu file reader on arbitrary bytes: damaged files are refused with the reader's
// messages, and what is read writes back and resolves its paths without harm.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/mobu_error.h"
#include "components/prev_menu_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const mobu::TPrevMenuFile file = mobu::ReadPrevMenuFile(bytes);
        if (mobu::WritePrevMenuFile(file).size() > size) __builtin_trap();  // never more than was read
        for (const auto& record : file.Buttons) {
            mobu::ResolvePrevMenuPath(record.Name, record.Normal);
            mobu::ResolvePrevMenuPath("cg\\menu\\a.mmt", record.Hover);
        }
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
