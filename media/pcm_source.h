// TPcmSource: decoded sound as interleaved float frames at the source's own rate and
// channel count. The mixer converts it to the device.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mobu {

class TPcmSource {
public:
    virtual ~TPcmSource() = default;

    virtual int Rate() const = 0;
    virtual int Channels() const = 0;
    // Length in frames.
    virtual int64_t LengthFrames() const = 0;
    // Reads up to `frames` frames (Channels() floats each); fewer only at the end.
    virtual size_t Read(float* interleaved, size_t frames) = 0;
    // Moves to a frame, clamped to the length.
    virtual void Seek(int64_t frame) = 0;
    // The codec's short name ("vorbis", "pcm_s16le"...), for the tools.
    virtual const char* CodecName() const = 0;
};

}  // namespace mobu
