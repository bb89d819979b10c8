// Fuzz target of the animated cursor reader: any input is read or refused with EMobuError,
// never a crash, a hang or an oversized allocation; what is read holds only valid steps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/mobu_error.h"
#include "graphics/cursor_shape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        mobu::TCursorShape shape = mobu::ReadAniFile(data, size);
        for (const mobu::TCursorStep& step : shape.Steps)
            if (step.Frame >= shape.Frames.size() || step.Jiffies == 0) std::abort();
        for (const mobu::TCursorFrame& frame : shape.Frames)
            if (frame.HotSpotX < 0 || frame.HotSpotX >= frame.Width || frame.HotSpotY < 0 ||
                frame.HotSpotY >= frame.Height || frame.Width > mobu::kMaxCursorSide)
                std::abort();
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
