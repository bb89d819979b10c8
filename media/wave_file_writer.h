// Writes 16-bit PCM wave files block by block. The header is rewritten after every block,
// so the file is right however the run ends. Up to 2 channels the format tag is PCM (1);
// above, WAVE_FORMAT_EXTENSIBLE with SDL's channel masks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace mobu {

class TWaveFileWriter {
public:
    TWaveFileWriter() = default;
    ~TWaveFileWriter();
    TWaveFileWriter(const TWaveFileWriter&) = delete;
    TWaveFileWriter& operator=(const TWaveFileWriter&) = delete;

    // Creates the file (UTF-8 path); false when it cannot be written.
    bool Open(const std::string& path_utf8, int rate, int channels);
    // Appends float frames, rounded to 16 bits and saturated.
    bool Append(const float* interleaved, size_t frames);
    bool Close();
    uint64_t Frames() const { return frames_; }

    // The header bytes of a file holding `frames` frames.
    static std::string Header(int rate, int channels, uint64_t frames);
    // SDL's speaker mask for a channel count (1..8).
    static uint32_t ChannelMask(int channels);

private:
    bool WriteHeader();
    std::FILE* file_ = nullptr;
    int rate_ = 0;
    int channels_ = 0;
    uint64_t frames_ = 0;
};

}  // namespace mobu
