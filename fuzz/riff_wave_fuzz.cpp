// Fuzz target of the RIFF wave reader and its sample decoding: any input is decoded or
// refused with EMobuError, never a crash, a read past the bytes or a hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/mobu_error.h"
#include "media/riff_wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        auto source = mobu::OpenRiffWaveSource(std::string(reinterpret_cast<const char*>(data), size));
        std::vector<float> frames(256 * static_cast<size_t>(source->Channels()));
        source->Seek(source->LengthFrames() / 2);
        while (source->Read(frames.data(), 256) == 256) {
        }
        source->Seek(0);
        (void)source->Read(frames.data(), 256);
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
