// The sound device. The SDL output opens the default device at its own rate and channel
// count in 32-bit float with a buffer of about 20 ms and asks its feed for each buffer on
// SDL's audio thread; when the device disappears it is opened again. Without a device the
// null output asks its feed for the same blocks on a thread of its own paced by the wall
// clock, so positions advance and sounds still end.
#pragma once

#include <cstddef>
#include <memory>

namespace mobu {

// Fills the device's next `frames` frames (interleaved floats, overwritten). Called on the
// output's thread: it must not wait on locks held for long by other threads.
class TAudioFeed {
public:
    virtual ~TAudioFeed() = default;
    virtual void Render(float* out, size_t frames) = 0;
};

class TAudioOutput {
public:
    virtual ~TAudioOutput() = default;
    virtual int Rate() const = 0;
    virtual int Channels() const = 0;
    // Starts asking `feed` for sound; the feed must outlive Stop or the output.
    virtual void Start(TAudioFeed* feed) = 0;
    virtual void Stop() = 0;
    // True for a real device, false for the null output.
    virtual bool HasDevice() const = 0;
};

// The default SDL device, or the null output (44100 Hz stereo) when none opens.
std::unique_ptr<TAudioOutput> OpenAudioOutput();
std::unique_ptr<TAudioOutput> MakeNullAudioOutput(int rate, int channels);

}  // namespace mobu
