#include "media/rate_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace mobu {

TRateConverter::TRateConverter(int from_rate, int to_rate, int channels)
    : channels_(channels)
{
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    if (swr_alloc_set_opts2(&swr_, &layout, AV_SAMPLE_FMT_FLT, to_rate, &layout, AV_SAMPLE_FMT_FLT, from_rate, 0,
                            nullptr) < 0 ||
        swr_init(swr_) < 0) {
        if (swr_ != nullptr) swr_free(&swr_);
    }
    av_channel_layout_uninit(&layout);
}

TRateConverter::~TRateConverter()
{
    if (swr_ != nullptr) swr_free(&swr_);
}

void TRateConverter::Run(const float* interleaved, size_t frames, std::vector<float>& out)
{
    if (swr_ == nullptr) return;
    const uint8_t* in_planes[1] = {reinterpret_cast<const uint8_t*>(interleaved)};
    for (;;) {
        // Room for everything the input and the held frames can give.
        const int room = swr_get_out_samples(swr_, static_cast<int>(frames)) + 16;
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(room) * static_cast<size_t>(channels_));
        uint8_t* out_planes[1] = {reinterpret_cast<uint8_t*>(out.data() + at)};
        const int made = swr_convert(swr_, out_planes, room, interleaved ? in_planes : nullptr,
                                     static_cast<int>(frames));
        out.resize(at + static_cast<size_t>(made > 0 ? made : 0) * static_cast<size_t>(channels_));
        // Input is taken whole in one call; a drain repeats until nothing comes out.
        if (interleaved != nullptr || made <= 0) return;
    }
}

void TRateConverter::Convert(const float* interleaved, size_t frames, std::vector<float>& out)
{
    if (frames > 0) Run(interleaved, frames, out);
}

void TRateConverter::Drain(std::vector<float>& out) { Run(nullptr, 0, out); }

}  // namespace mobu
