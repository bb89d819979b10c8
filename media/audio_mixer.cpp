#include "media/audio_mixer.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>

#include "media/sound_gain.h"

namespace mobu {

struct TAudioMixer::Voice {
    std::unique_ptr<TPcmSource> source;
    int rate = 0;
    int channels = 0;
    int64_t length = 0;  // source frames
    SwrContext* swr = nullptr;
    TChannelMatrix matrix{};
    int64_t read_pos = 0;  // next source frame to read
    bool source_done = false;
    bool playing = false;
    bool paused = false;
    bool ended = false;
    bool repeat = false;
    bool muted = false;
    bool fresh = true;  // no block mixed since it started: takes its gains at once
    int volume = 0;
    int pan = 0;
    int repeat_pos_ms = 0;
    std::array<float, kMatrixChannels> gain{};
    std::array<float, kMatrixChannels> target{};
    std::vector<float> block;  // source channels at the device rate
    std::vector<float> input;  // source channels at the source rate

    ~Voice()
    {
        if (swr != nullptr) swr_free(&swr);
    }
};

TAudioMixer::TAudioMixer(int rate, int channels)
    : rate_(std::clamp(rate, 8000, 384000)), channels_(std::clamp(channels, 1, kMatrixChannels))
{
}

TAudioMixer::~TAudioMixer() = default;

int TAudioMixer::FramesToMs(int64_t frames, int rate)
{
    if (rate <= 0) return 0;
    return static_cast<int>(std::min<int64_t>(frames * 1000 / rate, INT32_MAX));
}

uint32_t TAudioMixer::AddVoice(std::unique_ptr<TPcmSource> source)
{
    auto voice = std::make_unique<Voice>();
    voice->rate = source->Rate();
    voice->channels = std::clamp(source->Channels(), 1, kMatrixChannels);
    voice->length = std::max<int64_t>(0, source->LengthFrames());
    voice->matrix = MakeChannelMatrix(voice->channels, channels_);
    if (voice->rate != rate_) {
        AVChannelLayout layout;
        av_channel_layout_default(&layout, voice->channels);
        if (swr_alloc_set_opts2(&voice->swr, &layout, AV_SAMPLE_FMT_FLT, rate_, &layout, AV_SAMPLE_FMT_FLT,
                                voice->rate, 0, nullptr) < 0 ||
            swr_init(voice->swr) < 0) {
            if (voice->swr != nullptr) swr_free(&voice->swr);
        }
        av_channel_layout_uninit(&layout);
    }
    voice->source = std::move(source);
    UpdateTargetGains(*voice);
    std::lock_guard guard(lock_);
    uint32_t handle = next_handle_++;
    if (next_handle_ == 0) next_handle_ = 1;
    voices_[handle] = std::move(voice);
    return handle;
}

void TAudioMixer::RemoveVoice(uint32_t voice)
{
    std::unique_ptr<Voice> gone;
    {
        std::lock_guard guard(lock_);
        auto found = voices_.find(voice);
        if (found == voices_.end()) return;
        gone = std::move(found->second);
        voices_.erase(found);
    }
    // Freed outside the lock: a decoder may take time to close.
}

size_t TAudioMixer::VoiceCount()
{
    std::lock_guard guard(lock_);
    return voices_.size();
}

TAudioMixer::Voice* TAudioMixer::Find(uint32_t voice)
{
    auto found = voices_.find(voice);
    return found == voices_.end() ? nullptr : found->second.get();
}

void TAudioMixer::UpdateTargetGains(Voice& voice)
{
    double level = voice.muted ? 0.0 : VolumeToGain(voice.volume);
    TPanGains pan = PanToGains(voice.pan);
    for (int c = 0; c < kMatrixChannels; ++c) {
        int side = c < channels_ ? DeviceChannelSide(c, channels_) : 0;
        double g = level * (side < 0 ? pan.Left : side > 0 ? pan.Right : 1.0);
        voice.target[static_cast<size_t>(c)] = static_cast<float>(g);
    }
    if (voice.fresh) voice.gain = voice.target;
}

void TAudioMixer::Play(uint32_t handle)
{
    std::lock_guard guard(lock_);
    Voice* voice = Find(handle);
    if (voice == nullptr) return;
    if (voice->ended || voice->read_pos >= voice->length) {
        // Playing again after the end starts from the beginning.
        voice->source->Seek(0);
        voice->read_pos = 0;
        voice->source_done = false;
        if (voice->swr != nullptr) swr_init(voice->swr);
    }
    if (!voice->playing || voice->paused) voice->fresh = !voice->playing;
    voice->ended = false;
    voice->playing = true;
    voice->paused = false;
    UpdateTargetGains(*voice);
}

void TAudioMixer::Pause(uint32_t handle)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle); voice != nullptr && voice->playing) voice->paused = true;
}

void TAudioMixer::SetVolume(uint32_t handle, int volume)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle)) {
        voice->volume = ClampVolume(volume);
        UpdateTargetGains(*voice);
    }
}

void TAudioMixer::SetPan(uint32_t handle, int pan)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle)) {
        voice->pan = ClampPan(pan);
        UpdateTargetGains(*voice);
    }
}

void TAudioMixer::SetMuted(uint32_t handle, bool muted)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle)) {
        voice->muted = muted;
        UpdateTargetGains(*voice);
    }
}

void TAudioMixer::SetPositionMs(uint32_t handle, int position_ms)
{
    std::lock_guard guard(lock_);
    Voice* voice = Find(handle);
    if (voice == nullptr) return;
    int64_t frame = std::clamp<int64_t>(static_cast<int64_t>(std::max(position_ms, 0)) * voice->rate / 1000, 0,
                                        voice->length);
    voice->source->Seek(frame);
    voice->read_pos = frame;
    voice->source_done = false;
    voice->ended = false;
    if (voice->swr != nullptr) swr_init(voice->swr);
}

void TAudioMixer::SetRepeat(uint32_t handle, bool repeat)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle)) voice->repeat = repeat;
}

void TAudioMixer::SetRepeatPosMs(uint32_t handle, int position_ms)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle)) voice->repeat_pos_ms = position_ms;
}

TVoiceState TAudioMixer::State(uint32_t handle)
{
    std::lock_guard guard(lock_);
    TVoiceState state;
    Voice* voice = Find(handle);
    if (voice == nullptr) return state;
    state.Exists = true;
    state.Playing = voice->playing;
    state.Paused = voice->paused;
    state.Ended = voice->ended;
    state.Repeat = voice->repeat;
    state.Muted = voice->muted;
    int64_t position = voice->read_pos;
    if (voice->swr != nullptr && !voice->ended) position -= swr_get_delay(voice->swr, voice->rate);
    state.PositionMs = FramesToMs(std::clamp<int64_t>(position, 0, voice->length), voice->rate);
    state.LengthMs = FramesToMs(voice->length, voice->rate);
    state.Volume = voice->volume;
    state.Pan = voice->pan;
    state.RepeatPosMs = voice->repeat_pos_ms;
    state.SourceRate = voice->rate;
    state.SourceChannels = voice->channels;
    state.LengthFrames = voice->length;
    state.Codec = voice->source->CodecName();
    return state;
}

void TAudioMixer::WithSource(uint32_t handle, const std::function<void(TPcmSource&)>& action)
{
    std::lock_guard guard(lock_);
    if (Voice* voice = Find(handle)) action(*voice->source);
}

// Reads source frames, jumping to the repeat point at the end without a gap.
size_t TAudioMixer::ReadSource(Voice& voice, float* out, size_t frames)
{
    size_t done = 0;
    int empty_loops = 0;
    while (done < frames && !voice.source_done) {
        size_t got = voice.source->Read(out + done * static_cast<size_t>(voice.channels), frames - done);
        voice.read_pos += static_cast<int64_t>(got);
        done += got;
        if (done == frames) break;
        if (!voice.repeat) {
            voice.source_done = true;
            break;
        }
        // A loop that yields nothing twice (an empty source) stops instead of spinning.
        if (got == 0 && ++empty_loops > 1) {
            voice.source_done = true;
            break;
        }
        int64_t start = static_cast<int64_t>(voice.repeat_pos_ms) * voice.rate / 1000;
        if (start < 0 || start >= voice.length) start = 0;
        voice.source->Seek(start);
        voice.read_pos = start;
    }
    return done;
}

// Fills voice.block with `frames` frames at the device rate; a shorter block means the end.
void TAudioMixer::Produce(Voice& voice, size_t frames)
{
    size_t channels = static_cast<size_t>(voice.channels);
    voice.block.assign(frames * channels, 0.0f);
    size_t made = 0;
    if (voice.swr == nullptr) {
        made = ReadSource(voice, voice.block.data(), frames);
    } else {
        while (made < frames) {
            uint8_t* out_planes[1] = {reinterpret_cast<uint8_t*>(voice.block.data() + made * channels)};
            int want = static_cast<int>(frames - made);
            int got = 0;
            if (!voice.source_done) {
                size_t need = static_cast<size_t>(static_cast<int64_t>(want) * voice.rate / rate_) + 16;
                voice.input.resize(need * channels);
                size_t read = ReadSource(voice, voice.input.data(), need);
                const uint8_t* in_planes[1] = {reinterpret_cast<const uint8_t*>(voice.input.data())};
                got = swr_convert(voice.swr, out_planes, want, read > 0 ? in_planes : nullptr,
                                  static_cast<int>(read));
            } else {
                got = swr_convert(voice.swr, out_planes, want, nullptr, 0);  // drain what is left
                if (got <= 0) break;
            }
            if (got < 0) break;
            made += static_cast<size_t>(got);
        }
    }
    if (made < frames) {
        voice.block.resize(made * channels);
        voice.playing = false;
        voice.paused = false;
        voice.ended = true;
        voice.read_pos = voice.length;
    }
}

void TAudioMixer::Mix(float* out, size_t frames)
{
    size_t device_channels = static_cast<size_t>(channels_);
    std::fill(out, out + frames * device_channels, 0.0f);
    std::lock_guard guard(lock_);
    size_t ramp = std::max<size_t>(1, static_cast<size_t>(rate_) * 2 / 1000);
    for (auto& [handle, owned] : voices_) {
        Voice& voice = *owned;
        if (!voice.playing || voice.paused) continue;
        Produce(voice, frames);
        size_t made = voice.block.size() / static_cast<size_t>(voice.channels);
        size_t source_channels = static_cast<size_t>(voice.channels);
        bool ramping = !voice.fresh && voice.gain != voice.target;
        size_t ramp_frames = ramping ? std::min(ramp, made) : 0;
        for (size_t f = 0; f < made; ++f) {
            const float* in = voice.block.data() + f * source_channels;
            float* o = out + f * device_channels;
            float t = ramp_frames > 0 && f < ramp_frames ? static_cast<float>(f + 1) / static_cast<float>(ramp) : 1.0f;
            for (size_t d = 0; d < device_channels; ++d) {
                float g = f < ramp_frames ? voice.gain[d] + (voice.target[d] - voice.gain[d]) * t : voice.target[d];
                if (g == 0.0f) continue;
                float sum = 0.0f;
                for (size_t s = 0; s < source_channels; ++s) sum += voice.matrix[d][s] * in[s];
                o[d] += sum * g;
            }
        }
        voice.gain = voice.target;
        voice.fresh = false;
    }
}

}  // namespace mobu
