// TAudioMixer: every playing sound of the player mixed into one float stream in the
// device's rate and channel order. Each voice is converted from its source's rate with
// libswresample (no conversion at equal rates, so a source at full level in the device's
// format passes sample-exact), its channels mapped to the device's, and multiplied by its
// volume and pan. The sum is clipped only when written out; there is no limiter.
//
// Voice handles are 32-bit, non-zero and never reused. Controls and Mix take one lock, so
// a voice is never freed while a mix reads it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "media/channel_matrix.h"
#include "media/pcm_source.h"

namespace mobu {

struct TVoiceState {
    bool Exists = false;
    bool Playing = false;
    bool Paused = false;
    bool Ended = false;
    bool Repeat = false;
    bool Muted = false;
    int PositionMs = 0;
    int LengthMs = 0;
    int Volume = 0;
    int Pan = 0;
    int RepeatPosMs = 0;
    int SourceRate = 0;
    int SourceChannels = 0;
    int64_t LengthFrames = 0;  // at the source's rate
    const char* Codec = "";
};

class TAudioMixer {
public:
    TAudioMixer(int rate, int channels);
    ~TAudioMixer();
    TAudioMixer(const TAudioMixer&) = delete;
    TAudioMixer& operator=(const TAudioMixer&) = delete;

    int Rate() const { return rate_; }
    int Channels() const { return channels_; }

    uint32_t AddVoice(std::unique_ptr<TPcmSource> source);
    void RemoveVoice(uint32_t voice);
    size_t VoiceCount();

    void Play(uint32_t voice);
    void Pause(uint32_t voice);
    void SetVolume(uint32_t voice, int volume);
    void SetPan(uint32_t voice, int pan);
    void SetPositionMs(uint32_t voice, int position_ms);
    void SetRepeat(uint32_t voice, bool repeat);
    void SetRepeatPosMs(uint32_t voice, int position_ms);
    void SetMuted(uint32_t voice, bool muted);
    TVoiceState State(uint32_t voice);
    // Runs `action` on the voice's source under the mixer's lock (switching a synthesizer's
    // sound font while nothing mixes it).
    void WithSource(uint32_t voice, const std::function<void(TPcmSource&)>& action);

    // Mixes the next `frames` device frames into `out` (interleaved, overwritten).
    void Mix(float* out, size_t frames);

private:
    struct Voice;
    Voice* Find(uint32_t voice);
    void Produce(Voice& voice, size_t frames);
    size_t ReadSource(Voice& voice, float* out, size_t frames);
    void UpdateTargetGains(Voice& voice);
    static int FramesToMs(int64_t frames, int rate);

    int rate_;
    int channels_;
    std::mutex lock_;
    std::map<uint32_t, std::unique_ptr<Voice>> voices_;
    uint32_t next_handle_ = 1;
    std::vector<float> scratch_;
};

}  // namespace mobu
