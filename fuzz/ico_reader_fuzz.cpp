// Fuzz target of the pixel store's icon and cursor reader (cursors share it): any input is read or refused with EMobuError,
// never a crash, a hang or an oversized allocation. The first byte picks the reading options.
#include <cstddef>
#include <cstdint>

#include "core/mobu_error.h"
#include "graphics/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mobu::TSaveOption option;
    if (size > 0) {
        option.TakeAlpha = data[0] & 1;
        option.TransparentColor = (data[0] & 2) ? 0xFF00FF : -1;
    }
    mobu::TDIBSurface store;
    try {
        mobu::LoadImageBytes(store, ".ico", data, size, option);
        // Whatever was read can be written again.
        if (!store.IsEmpty()) (void)mobu::SaveImageBytes(store, ".ico", {});
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
