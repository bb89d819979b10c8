// Helpers of the media tests: fixture files, raw oracle samples, synthetic sources and a
// Goertzel tone detector.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/pcm_source.h"

namespace mobu::media_test {

inline std::string FixturePath(const std::string& name)
{
    return std::string(MOBU_SOURCE_DIR) + "/tests/data/media/" + name;
}

inline std::string ReadFixture(const std::string& name)
{
    std::ifstream in(FixturePath(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

template <typename T>
std::vector<T> ReadRaw(const std::string& name)
{
    std::string bytes = ReadFixture(name);
    std::vector<T> values(bytes.size() / sizeof(T));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    return values;
}

// Frames computed by a function of (frame, channel).
class TFunctionSource : public TPcmSource {
public:
    template <typename F>
    TFunctionSource(int rate, int channels, int64_t length, F f) : rate_(rate), channels_(channels), length_(length), f_(f)
    {
    }
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    int64_t LengthFrames() const override { return length_; }
    size_t Read(float* out, size_t frames) override
    {
        size_t n = 0;
        for (; n < frames && position_ < length_; ++n, ++position_) {
            for (int c = 0; c < channels_; ++c) out[n * static_cast<size_t>(channels_) + static_cast<size_t>(c)] = f_(position_, c);
        }
        return n;
    }
    void Seek(int64_t frame) override { position_ = std::clamp<int64_t>(frame, 0, length_); }
    const char* CodecName() const override { return "function"; }

private:
    int rate_;
    int channels_;
    int64_t length_;
    std::function<float(int64_t, int)> f_;
    int64_t position_ = 0;
};

inline std::unique_ptr<TPcmSource> Sine(int rate, int channels, double seconds, double hz, double amplitude)
{
    return std::make_unique<TFunctionSource>(rate, channels, static_cast<int64_t>(seconds * rate),
                                             [=](int64_t f, int) {
                                                 return static_cast<float>(amplitude * std::sin(2 * M_PI * hz * f / rate));
                                             });
}

inline std::unique_ptr<TPcmSource> Constant(int rate, int channels, int64_t frames, float value)
{
    return std::make_unique<TFunctionSource>(rate, channels, frames, [=](int64_t, int) { return value; });
}

// The amplitude of a tone at `hz` in one channel of interleaved samples (Goertzel).
inline double ToneAmplitude(const std::vector<float>& samples, int channels, int channel, int rate, double hz,
                            size_t first = 0)
{
    size_t frames = samples.size() / static_cast<size_t>(channels);
    double w = 2 * M_PI * hz / rate;
    double coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    size_t n = 0;
    for (size_t f = first; f < frames; ++f, ++n) {
        double s = samples[f * static_cast<size_t>(channels) + static_cast<size_t>(channel)] + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return n == 0 ? 0.0 : 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(n);
}

}  // namespace mobu::media_test
