// The RIFF wave reader: finds "fmt " and "data" (unknown chunks skipped, odd chunks padded),
// checks the format, and decodes PCM (8-bit unsigned, 16/24/32-bit signed), IEEE float
// (32/64-bit), A-law and µ-law into float frames. Broken files raise "サウンドデータが不正です".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "media/pcm_source.h"

namespace mobu {

struct TRiffWaveFormat {
    uint16_t FormatTag = 0;  // after WAVE_FORMAT_EXTENSIBLE, the sub-format's tag
    int Channels = 0;
    int Rate = 0;
    int BlockAlign = 0;
    int BitsPerSample = 0;
    size_t DataOffset = 0;  // of the samples in the file
    size_t DataSize = 0;    // whole frames that are present
};

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatAlaw = 6;
constexpr uint16_t kWaveFormatMulaw = 7;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr int kMaxSoundChannels = 8;
constexpr int kMaxSoundRate = 384000;

// Reads the header of a RIFF wave file; throws EMobuError on a broken file or a format this
// reader refuses. A "data" size beyond the file (0 or 0xFFFFFFFF from recorders) keeps what is there.
TRiffWaveFormat ReadRiffWaveFormat(const std::string& bytes);
// True when the sample format is decoded by DecodeWaveSamples (the others need a codec).
bool WaveFormatDecodable(const TRiffWaveFormat& format);
// Decodes `frames` frames starting at frame `first` into interleaved floats.
void DecodeWaveSamples(const std::string& bytes, const TRiffWaveFormat& format, int64_t first,
                       size_t frames, float* out);

// A source over a whole wave file held in memory.
std::unique_ptr<TPcmSource> OpenRiffWaveSource(std::string bytes);

}  // namespace mobu
