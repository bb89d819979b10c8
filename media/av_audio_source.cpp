#include "media/av_audio_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/mobu_error.h"
#include "media/av_stream_io.h"
#include "media/media_messages.h"
#include "media/riff_wave.h"

namespace mobu {
namespace {

[[noreturn]] void Invalid() { throw EMobuError(media_messages::InvalidSoundData()); }

class TAvAudioSource : public TPcmSource {
public:
    explicit TAvAudioSource(std::unique_ptr<TRangeStream> stream) : stream_(std::move(stream))
    {
        static const bool quiet = [] {
            av_log_set_level(AV_LOG_FATAL);  // damaged data is reported by the player itself
            return true;
        }();
        (void)quiet;
        const int kBuffer = 64 * 1024;
        auto* buffer = static_cast<uint8_t*>(av_malloc(kBuffer));
        io_ = avio_alloc_context(buffer, kBuffer, 0, stream_.get(), AvReadPacket, nullptr, AvSeekStream);
        if (io_ == nullptr) {
            av_free(buffer);
            Invalid();
        }
        format_ = avformat_alloc_context();
        format_->pb = io_;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
        if (avformat_open_input(&format_, nullptr, nullptr, nullptr) < 0) {
            format_ = nullptr;  // freed by the failed open
            Fail();
        }
        if (avformat_find_stream_info(format_, nullptr) < 0) Fail();
        index_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &codec_, 0);
        if (index_ < 0 || codec_ == nullptr) Fail();
        AVStream* audio = format_->streams[index_];
        if (!OpenDecoder()) Fail();
        const AVCodec* codec = codec_;
        rate_ = decoder_->sample_rate;
        channels_ = decoder_->ch_layout.nb_channels;
        if (rate_ <= 0 || rate_ > kMaxSoundRate || channels_ < 1 || channels_ > kMaxSoundChannels) Fail();
        codec_name_ = codec->name;
        if (audio->duration != AV_NOPTS_VALUE && audio->duration > 0) {
            length_ = av_rescale_q(audio->duration, audio->time_base, AVRational{1, rate_});
        } else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
            length_ = av_rescale(format_->duration, rate_, AV_TIME_BASE);
        }
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (packet_ == nullptr || frame_ == nullptr) Fail();
        // The first block fixes position 0 (its time), before any seek can move.
        DecodeMore();
    }
    ~TAvAudioSource() override { Free(); }

    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    int64_t LengthFrames() const override { return length_; }
    const char* CodecName() const override { return codec_name_; }

    size_t Read(float* out, size_t frames) override
    {
        size_t done = 0;
        while (done < frames) {
            if (pending_used_ < pending_frames()) {
                size_t take = std::min(frames - done, pending_frames() - pending_used_);
                // Frames before a seek target are dropped.
                if (skip_ > 0) {
                    size_t drop = static_cast<size_t>(std::min<int64_t>(skip_, static_cast<int64_t>(take)));
                    pending_used_ += drop;
                    skip_ -= static_cast<int64_t>(drop);
                    continue;
                }
                std::memcpy(out + done * static_cast<size_t>(channels_),
                            pending_.data() + pending_used_ * static_cast<size_t>(channels_),
                            take * static_cast<size_t>(channels_) * sizeof(float));
                pending_used_ += take;
                done += take;
                continue;
            }
            if (!DecodeMore()) break;
        }
        return done;
    }

    // Positions count the decoded samples from the first one out of the decoder. Where the
    // container's clock is finer than a sample, a seek jumps one second early, starts a
    // fresh decoder (overlapping codecs keep state a flush does not clear), drops the first
    // decoded block after a jump into the middle and skips to the frame by the blocks'
    // times; where it is coarser (ASF counts milliseconds), it decodes from the start.
    void Seek(int64_t frame) override
    {
        frame = std::clamp<int64_t>(frame, 0, std::max<int64_t>(length_, 0));
        AVStream* audio = format_->streams[index_];
        bool by_count = audio->time_base.num <= 0 || static_cast<int64_t>(audio->time_base.den) <
                                                         static_cast<int64_t>(rate_) * audio->time_base.num;
        int64_t early = by_count ? 0 : std::max<int64_t>(0, frame - rate_);
        int64_t ts = av_rescale_q(early, AVRational{1, rate_}, audio->time_base);
        if (audio->start_time != AV_NOPTS_VALUE) ts += audio->start_time;
        if (early == 0) {
            avio_seek(format_->pb, 0, SEEK_SET);
            avformat_seek_file(format_, index_, INT64_MIN, ts, ts, AVSEEK_FLAG_BACKWARD);
        } else {
            av_seek_frame(format_, index_, ts, AVSEEK_FLAG_BACKWARD);
        }
        drop_first_ = early > 0;
        OpenDecoder();
        pending_.clear();
        pending_used_ = 0;
        ended_ = false;
        target_ = frame;
        skip_ = by_count || early == 0 ? frame : -1;  // -1: decided by the first block's time
    }

private:
    bool OpenDecoder()
    {
        if (decoder_ != nullptr) avcodec_free_context(&decoder_);
        decoder_ = avcodec_alloc_context3(codec_);
        return decoder_ != nullptr &&
               avcodec_parameters_to_context(decoder_, format_->streams[index_]->codecpar) >= 0 &&
               avcodec_open2(decoder_, codec_, nullptr) >= 0;
    }

    size_t pending_frames() const { return pending_.size() / static_cast<size_t>(channels_); }

    [[noreturn]] void Fail()
    {
        Free();
        Invalid();
    }
    void Free()
    {
        if (swr_ != nullptr) swr_free(&swr_);
        if (frame_ != nullptr) av_frame_free(&frame_);
        if (packet_ != nullptr) av_packet_free(&packet_);
        if (decoder_ != nullptr) avcodec_free_context(&decoder_);
        if (format_ != nullptr) avformat_close_input(&format_);
        if (io_ != nullptr) {
            av_freep(&io_->buffer);
            avio_context_free(&io_);
        }
    }

    // Decodes the next frame into `pending_` as interleaved floats; false at the end.
    bool DecodeMore()
    {
        if (ended_) return false;
        int bad_packets = 0;
        for (;;) {
            int got = avcodec_receive_frame(decoder_, frame_);
            if (got == 0) {
                Convert();
                av_frame_unref(frame_);
                return true;
            }
            if (got == AVERROR_EOF) {
                ended_ = true;
                return false;
            }
            int read = av_read_frame(format_, packet_);
            if (read < 0) {
                avcodec_send_packet(decoder_, nullptr);  // drain
                continue;
            }
            if (packet_->stream_index == index_) {
                // A damaged packet is skipped; a long run of them ends the sound.
                if (avcodec_send_packet(decoder_, packet_) < 0 && ++bad_packets > 1000) {
                    av_packet_unref(packet_);
                    ended_ = true;
                    return false;
                }
            }
            av_packet_unref(packet_);
        }
    }

    void Convert()
    {
        int channels = frame_->ch_layout.nb_channels;
        if (swr_ == nullptr || channels != swr_channels_ || frame_->format != swr_format_) {
            if (swr_ != nullptr) swr_free(&swr_);
            AVChannelLayout out_layout;
            av_channel_layout_default(&out_layout, channels_);
            swr_alloc_set_opts2(&swr_, &out_layout, AV_SAMPLE_FMT_FLT, frame_->sample_rate, &frame_->ch_layout,
                                static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0, nullptr);
            av_channel_layout_uninit(&out_layout);
            if (swr_ == nullptr || swr_init(swr_) < 0) {
                if (swr_ != nullptr) swr_free(&swr_);
                pending_.clear();
                pending_used_ = 0;
                return;
            }
            swr_channels_ = channels;
            swr_format_ = frame_->format;
        }
        pending_.assign(static_cast<size_t>(frame_->nb_samples) * static_cast<size_t>(channels_), 0.0f);
        uint8_t* out[1] = {reinterpret_cast<uint8_t*>(pending_.data())};
        int made = swr_convert(swr_, out, frame_->nb_samples, const_cast<const uint8_t**>(frame_->extended_data),
                               frame_->nb_samples);
        pending_.resize(static_cast<size_t>(std::max(made, 0)) * static_cast<size_t>(channels_));
        pending_used_ = 0;
        if (!first_known_) {
            // The time of the first sample out of the decoder: position 0.
            first_known_ = true;
            int64_t pts = frame_->best_effort_timestamp;
            AVStream* audio = format_->streams[index_];
            first_ = pts == AV_NOPTS_VALUE ? 0 : av_rescale_q(pts, audio->time_base, AVRational{1, rate_});
        }
        if (skip_ < 0 && drop_first_) {
            drop_first_ = false;
            pending_.clear();
            return;
        }
        if (skip_ < 0) {
            // After a seek: drop what lies before the target.
            AVStream* audio = format_->streams[index_];
            int64_t pts = frame_->best_effort_timestamp;
            int64_t at = pts == AV_NOPTS_VALUE ? 0 : av_rescale_q(pts, audio->time_base, AVRational{1, rate_}) - first_;
            skip_ = std::max<int64_t>(0, target_ - at);
        }
    }

    std::unique_ptr<TRangeStream> stream_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    const AVCodec* codec_ = nullptr;
    bool drop_first_ = false;
    bool first_known_ = false;
    int64_t first_ = 0;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwrContext* swr_ = nullptr;
    int swr_channels_ = 0;
    int swr_format_ = -1;
    int index_ = -1;
    int rate_ = 0;
    int channels_ = 0;
    int64_t length_ = 0;
    const char* codec_name_ = "";
    std::vector<float> pending_;
    size_t pending_used_ = 0;
    bool ended_ = false;
    int64_t target_ = 0;
    int64_t skip_ = 0;
};

}  // namespace

std::unique_ptr<TPcmSource> OpenAvAudioSource(std::unique_ptr<TRangeStream> stream)
{
    return std::make_unique<TAvAudioSource>(std::move(stream));
}

}  // namespace mobu
