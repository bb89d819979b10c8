#include "media/ogg_vorbis_source.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "core/mobu_error.h"
#include "media/media_messages.h"
#include "media/rate_converter.h"
#include "media/riff_wave.h"
#include "media/stream_lock.h"

namespace mobu {
namespace {

size_t ReadCallback(void* buffer, size_t size, size_t count, void* data)
{
    if (data == nullptr || size == 0) return 0;
    std::lock_guard lock(MediaStreamLock());
    return static_cast<TRangeStream*>(data)->Read(buffer, size * count) / size;
}

int SeekCallback(void* data, ogg_int64_t offset, int whence)
{
    if (data == nullptr) return -1;
    std::lock_guard lock(MediaStreamLock());
    auto* stream = static_cast<TRangeStream*>(data);
    TRangeStream::Origin origin = whence == SEEK_CUR   ? TRangeStream::Origin::Current
                                  : whence == SEEK_END ? TRangeStream::Origin::End
                                                       : TRangeStream::Origin::Begin;
    stream->Seek(offset, origin);
    return 0;
}

long TellCallback(void* data)
{
    if (data == nullptr) return 0;
    std::lock_guard lock(MediaStreamLock());
    return static_cast<long>(static_cast<TRangeStream*>(data)->Position());
}

// Frames at `from` rate as frames at `to` rate, rounded to the nearest.
int64_t RescaleFrames(int64_t frames, int from, int to)
{
    return static_cast<int64_t>((static_cast<__int128>(frames) * to + from / 2) / from);
}

// An Ogg Vorbis stream, chained files included. The first link sets the rate and channel
// count; a later link with other channels is mapped onto them (mono to every channel,
// many to mono as their mean), and one with another rate is converted, so it plays at its
// own pitch and length.
class TOggVorbisSource : public TPcmSource {
public:
    explicit TOggVorbisSource(std::unique_ptr<TRangeStream> stream) : stream_(std::move(stream))
    {
        ov_callbacks callbacks{ReadCallback, SeekCallback, nullptr, TellCallback};
        if (ov_open_callbacks(stream_.get(), &file_, nullptr, 0, callbacks) != 0) {
            throw EMobuError(media_messages::InvalidSoundData());
        }
        open_ = true;
        const long count = std::max<long>(1, ov_streams(&file_));
        int64_t raw_start = 0;
        for (long link = 0; link < count; ++link) {
            vorbis_info* info = ov_info(&file_, static_cast<int>(link));
            if (info == nullptr || info->channels < 1 || info->channels > kMaxSoundChannels || info->rate <= 0 ||
                info->rate > kMaxSoundRate) {
                ov_clear(&file_);
                open_ = false;
                throw EMobuError(media_messages::InvalidSoundData());
            }
            if (link == 0) {
                rate_ = static_cast<int>(info->rate);
                channels_ = info->channels;
            }
            TLink entry;
            entry.rate = static_cast<int>(info->rate);
            entry.channels = info->channels;
            entry.raw_start = raw_start;
            entry.raw_frames = std::max<ogg_int64_t>(0, ov_pcm_total(&file_, static_cast<int>(link)));
            entry.start = length_;
            entry.frames = RescaleFrames(entry.raw_frames, entry.rate, rate_);
            raw_start += entry.raw_frames;
            length_ += entry.frames;
            links_.push_back(entry);
        }
        // After scanning a chained file the decoder may stand at a later link: start at
        // the first sample.
        ov_pcm_seek(&file_, 0);
    }
    ~TOggVorbisSource() override
    {
        if (open_) ov_clear(&file_);
    }
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    int64_t LengthFrames() const override { return length_; }
    size_t Read(float* out, size_t frames) override
    {
        const size_t width = static_cast<size_t>(channels_);
        size_t done = 0;
        while (done < frames) {
            if (pending_at_ < pending_.size() && discard_ > 0) {
                const size_t skip = std::min<size_t>(static_cast<size_t>(discard_), (pending_.size() - pending_at_) / width);
                pending_at_ += skip * width;
                discard_ -= static_cast<int64_t>(skip);
                if (skip == 0) pending_at_ = pending_.size();  // less than a frame left
                continue;
            }
            if (pending_at_ < pending_.size()) {
                const size_t take = std::min(frames - done, (pending_.size() - pending_at_) / width);
                std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(pending_at_), take * width, out + done * width);
                pending_at_ += take * width;
                done += take;
                continue;
            }
            pending_.clear();
            pending_at_ = 0;
            if (input_ended_) break;
            float** pcm = nullptr;
            int link = 0;
            long got = ov_read_float(&file_, &pcm, static_cast<int>(std::min<size_t>(frames - done, 4096)), &link);
            if (got == OV_HOLE) continue;  // a gap in the data: keep going
            if (got <= 0) {
                input_ended_ = true;
                if (converter_) converter_->Drain(pending_);
                converter_.reset();
                continue;
            }
            if (link != link_) EnterLink(link);
            const int link_channels =
                link >= 0 && static_cast<size_t>(link) < links_.size() ? links_[static_cast<size_t>(link)].channels
                                                                       : channels_;
            if (!converter_ && pending_.empty()) {
                MapChannels(pcm, link_channels, static_cast<size_t>(got), out + done * width);
                done += static_cast<size_t>(got);
                continue;
            }
            // Behind frames still waiting (the end of the link before): in order, through them.
            block_.resize(static_cast<size_t>(got) * width);
            MapChannels(pcm, link_channels, static_cast<size_t>(got), block_.data());
            if (converter_) converter_->Convert(block_.data(), static_cast<size_t>(got), pending_);
            else pending_.insert(pending_.end(), block_.begin(), block_.end());
        }
        return done;
    }
    const char* CodecName() const override { return "vorbis"; }
    void Seek(int64_t frame) override
    {
        frame = std::clamp<int64_t>(frame, 0, length_);
        pending_.clear();
        pending_at_ = 0;
        converter_.reset();
        link_ = -1;
        input_ended_ = false;
        discard_ = 0;
        // The link holding the frame (the last one for the very end), then the frame inside
        // it at the link's own rate.
        size_t link = 0;
        while (link + 1 < links_.size() && frame >= links_[link + 1].start) ++link;
        const TLink& entry = links_[link];
        const int64_t inside = std::min(RescaleFrames(frame - entry.start, rate_, entry.rate), entry.raw_frames);
        // A converted link starts converting a little earlier, and what that gives before the
        // frame is dropped: the converter's filter then sees the same history as in a straight
        // read, so a seek gives the same frames.
        const int64_t history = entry.rate != rate_ ? std::min<int64_t>(inside, kConverterHistory) : 0;
        discard_ = RescaleFrames(history, entry.rate, rate_);
        ov_pcm_seek(&file_, entry.raw_start + inside - history);
    }

private:
    static constexpr int64_t kConverterHistory = 256;  // link frames converted before a seek's frame

    struct TLink {
        int rate = 0;
        int channels = 0;
        int64_t raw_start = 0;   // first frame at the links' own rates, counted over the chain
        int64_t raw_frames = 0;  // at the link's rate
        int64_t start = 0;       // first frame at the stream's rate
        int64_t frames = 0;      // at the stream's rate
    };

    // A new link: the frames the last converter still holds come first, then a converter
    // for this link when its rate is not the stream's.
    void EnterLink(int link)
    {
        if (converter_) converter_->Drain(pending_);
        converter_.reset();
        link_ = link;
        if (link < 0 || static_cast<size_t>(link) >= links_.size()) return;
        const int link_rate = links_[static_cast<size_t>(link)].rate;
        if (link_rate != rate_) {
            converter_ = std::make_unique<TRateConverter>(link_rate, rate_, channels_);
            if (!converter_->Ready()) converter_.reset();
        }
    }

    void MapChannels(float** pcm, int link_channels, size_t frames, float* out) const
    {
        for (size_t i = 0; i < frames; ++i) {
            float* frame = out + i * static_cast<size_t>(channels_);
            if (channels_ == 1 && link_channels > 1) {
                float sum = 0.0f;
                for (int c = 0; c < link_channels; ++c) sum += pcm[c][i];
                frame[0] = sum / static_cast<float>(link_channels);
                continue;
            }
            for (int c = 0; c < channels_; ++c) {
                frame[c] = c < link_channels ? pcm[c][i] : (link_channels == 1 ? pcm[0][i] : 0.0f);
            }
        }
    }

    std::unique_ptr<TRangeStream> stream_;
    OggVorbis_File file_{};
    bool open_ = false;
    int rate_ = 0;
    int channels_ = 0;
    int64_t length_ = 0;
    std::vector<TLink> links_;
    int link_ = -1;
    bool input_ended_ = false;
    std::unique_ptr<TRateConverter> converter_;
    std::vector<float> pending_;  // converted frames not handed out yet
    size_t pending_at_ = 0;
    int64_t discard_ = 0;  // converted frames before a seek's frame, dropped
    std::vector<float> block_;
};

}  // namespace

std::unique_ptr<TPcmSource> OpenOggVorbisSource(std::unique_ptr<TRangeStream> stream)
{
    return std::make_unique<TOggVorbisSource>(std::move(stream));
}

}  // namespace mobu
