// Fuzz target of the standard MIDI file reader and the sequencer that plays what it read
// (without a sound font, so only the timing and the event walk run): any input is played or
// refused with EMobuError, never a crash, an overrun or a loop without end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/mobu_error.h"
#include "media/midi_source.h"
#include "media/smf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        mobu::TMidiSong song = mobu::ReadStandardMidiFile(std::string(reinterpret_cast<const char*>(data), size));
        // Songs of absurd length are walked in a few large steps, never sample by sample.
        mobu::TMidiSource source(std::move(song), "");
        std::vector<float> frames(4096 * 2);
        for (int i = 0; i < 8 && source.Read(frames.data(), 4096) > 0; ++i) {
        }
        source.Seek(source.LengthFrames() / 2);
        (void)source.Read(frames.data(), 4096);
        source.Seek(source.LengthFrames());
        (void)source.Read(frames.data(), 4096);
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
