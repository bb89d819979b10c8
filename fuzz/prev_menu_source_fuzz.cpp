// Preview-menu source reader on arbitrary text: bad lines are refused with a message naming
// the line, and what is read prints and reads back to the same buttons.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/mobu_error.h"
#include "components/prev_menu_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const mobu::TPrevMenuFile file = mobu::ReadPrevMenuSource(text);
        const std::string bytes = mobu::WritePrevMenuFile(file);
        if (!(mobu::ReadPrevMenuFile(bytes).Buttons == file.Buttons)) __builtin_trap();
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
