#include "media/ogg_vorbis_source.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <mutex>

#include "core/mobu_error.h"
#include "media/media_messages.h"
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

class TOggVorbisSource : public TPcmSource {
public:
    explicit TOggVorbisSource(std::unique_ptr<TRangeStream> stream) : stream_(std::move(stream))
    {
        ov_callbacks callbacks{ReadCallback, SeekCallback, nullptr, TellCallback};
        if (ov_open_callbacks(stream_.get(), &file_, nullptr, 0, callbacks) != 0) {
            throw EMobuError(media_messages::InvalidSoundData());
        }
        open_ = true;
        vorbis_info* info = ov_info(&file_, -1);
        if (info == nullptr || info->channels < 1 || info->channels > kMaxSoundChannels || info->rate <= 0 ||
            info->rate > kMaxSoundRate) {
            ov_clear(&file_);
            open_ = false;
            throw EMobuError(media_messages::InvalidSoundData());
        }
        rate_ = static_cast<int>(info->rate);
        channels_ = info->channels;
        ogg_int64_t total = ov_pcm_total(&file_, -1);
        length_ = total < 0 ? 0 : total;
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
        size_t done = 0;
        while (done < frames) {
            float** pcm = nullptr;
            int link = 0;
            long got = ov_read_float(&file_, &pcm, static_cast<int>(std::min<size_t>(frames - done, 4096)), &link);
            if (got == OV_HOLE) continue;  // a gap in the data: keep going
            if (got <= 0) break;
            vorbis_info* info = ov_info(&file_, link);
            int link_channels = info != nullptr ? info->channels : channels_;
            for (long i = 0; i < got; ++i) {
                float* frame = out + (done + static_cast<size_t>(i)) * static_cast<size_t>(channels_);
                for (int c = 0; c < channels_; ++c) {
                    frame[c] = c < link_channels ? pcm[c][i] : (link_channels == 1 ? pcm[0][i] : 0.0f);
                }
            }
            done += static_cast<size_t>(got);
        }
        return done;
    }
    const char* CodecName() const override { return "vorbis"; }
    void Seek(int64_t frame) override
    {
        frame = std::clamp<int64_t>(frame, 0, length_);
        ov_pcm_seek(&file_, frame);
    }

private:
    std::unique_ptr<TRangeStream> stream_;
    OggVorbis_File file_{};
    bool open_ = false;
    int rate_ = 0;
    int channels_ = 0;
    int64_t length_ = 0;
};

}  // namespace

std::unique_ptr<TPcmSource> OpenOggVorbisSource(std::unique_ptr<TRangeStream> stream)
{
    return std::make_unique<TOggVorbisSource>(std::move(stream));
}

}  // namespace mobu
