#include "platform/audio_output.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace mobu {
namespace {

class TNullAudioOutput : public TAudioOutput {
public:
    TNullAudioOutput(int rate, int channels) : rate_(rate), channels_(channels) {}
    ~TNullAudioOutput() override { Stop(); }
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    bool HasDevice() const override { return false; }
    void Start(TAudioFeed* feed) override
    {
        Stop();
        running_ = true;
        thread_ = std::thread([this, feed] { Run(feed); });
    }
    void Stop() override
    {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }

private:
    void Run(TAudioFeed* feed)
    {
        using Clock = std::chrono::steady_clock;
        const size_t block = static_cast<size_t>(rate_) / 50;  // 20 ms
        std::vector<float> buffer(block * static_cast<size_t>(channels_));
        auto start = Clock::now();
        uint64_t rendered = 0;
        while (running_) {
            feed->Render(buffer.data(), block);
            rendered += block;
            auto due = start + std::chrono::microseconds(rendered * 1000000 / static_cast<uint64_t>(rate_));
            std::this_thread::sleep_until(due);
        }
    }

    int rate_;
    int channels_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

class TSdlAudioOutput : public TAudioOutput {
public:
    ~TSdlAudioOutput() override
    {
        if (device_ != 0) {
            Stop();
            SDL_CloseAudioDevice(device_);
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Opens the default device (paused); false when there is none.
    bool Open()
    {
        SDL_AudioSpec want{};
        want.freq = 48000;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = 1024;  // about 20 ms at 48 kHz
        want.callback = &TSdlAudioOutput::Callback;
        want.userdata = this;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_,
                                      SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        return device_ != 0;
    }
    int Rate() const override { return spec_.freq; }
    int Channels() const override { return spec_.channels; }
    bool HasDevice() const override { return true; }
    void Start(TAudioFeed* feed) override
    {
        SDL_LockAudioDevice(device_);
        feed_ = feed;
        SDL_UnlockAudioDevice(device_);
        SDL_PauseAudioDevice(device_, 0);
    }
    void Stop() override
    {
        SDL_PauseAudioDevice(device_, 1);
        SDL_LockAudioDevice(device_);
        feed_ = nullptr;
        SDL_UnlockAudioDevice(device_);
    }

private:
    static void Callback(void* self, Uint8* stream, int bytes)
    {
        auto* output = static_cast<TSdlAudioOutput*>(self);
        size_t frames = static_cast<size_t>(bytes) / (sizeof(float) * static_cast<size_t>(output->spec_.channels));
        if (output->feed_ == nullptr) {
            std::memset(stream, 0, static_cast<size_t>(bytes));
            return;
        }
        output->feed_->Render(reinterpret_cast<float*>(stream), frames);
    }

    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    TAudioFeed* feed_ = nullptr;
};

}  // namespace

std::unique_ptr<TAudioOutput> MakeNullAudioOutput(int rate, int channels)
{
    return std::make_unique<TNullAudioOutput>(rate, channels);
}

std::unique_ptr<TAudioOutput> OpenAudioOutput()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "no sound device (%s): sound plays silently\n", SDL_GetError());
        return MakeNullAudioOutput(44100, 2);
    }
    auto output = std::make_unique<TSdlAudioOutput>();
    if (!output->Open()) {
        std::fprintf(stderr, "no sound device (%s): sound plays silently\n", SDL_GetError());
        return MakeNullAudioOutput(44100, 2);
    }
    return output;
}

}  // namespace mobu
