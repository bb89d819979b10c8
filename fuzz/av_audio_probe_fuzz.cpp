// Fuzz target of the codec path over our stream callbacks: any bytes are decoded or refused
// with EMobuError, never a crash, a read past the stream or a hang; a seek and a second read
// follow every decodable input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/range_stream.h"
#include "core/mobu_error.h"
#include "media/av_audio_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        auto source = mobu::OpenAvAudioSource(
            std::make_unique<mobu::TMemoryRangeStream>(std::string(reinterpret_cast<const char*>(data), size)));
        std::vector<float> frames(1024 * static_cast<size_t>(source->Channels()));
        for (int i = 0; i < 64 && source->Read(frames.data(), 1024) == 1024; ++i) {
        }
        source->Seek(source->LengthFrames() / 2);
        (void)source->Read(frames.data(), 1024);
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
