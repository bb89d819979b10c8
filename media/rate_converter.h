// TRateConverter: interleaved float frames from one rate to another at a fixed channel
// count (libswresample). Sources whose rate changes midway (the links of a chained Ogg
// file) keep one rate towards the mixer through it.
#pragma once

#include <cstddef>
#include <vector>

struct SwrContext;

namespace mobu {

class TRateConverter {
public:
    TRateConverter(int from_rate, int to_rate, int channels);
    ~TRateConverter();
    TRateConverter(const TRateConverter&) = delete;
    TRateConverter& operator=(const TRateConverter&) = delete;

    bool Ready() const { return swr_ != nullptr; }
    // Converts `frames` frames and appends what comes out to `out`.
    void Convert(const float* interleaved, size_t frames, std::vector<float>& out);
    // Appends the frames still held inside (the end of the input).
    void Drain(std::vector<float>& out);

private:
    void Run(const float* interleaved, size_t frames, std::vector<float>& out);

    SwrContext* swr_ = nullptr;
    int channels_;
};

}  // namespace mobu
