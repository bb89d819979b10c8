// Layered image reader on arbitrary bytes: every damaged file must be refused cleanly.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/mobu_error.h"
#include "graphics/fesk_frame_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first byte picks the identification code, so scrambled files are reached too.
    const int32_t code = size > 0 ? data[0] * 7919 : 0;
    for (std::string_view kind : {"fsk", "png", "bmp"}) {
        mobu::TFeskFrameList list(code);
        try {
            list.LoadFromBytes(bytes, kind, false, true, true);
            for (int i = 0; i < list.Count(); ++i) {
                mobu::TRect bounds;
                list.Frames(i).Trim(bounds);
            }
        } catch (const mobu::EMobuError&) {
        }
    }
    return 0;
}
