#include "media/video_items.h"

#include <algorithm>

#include "core/mobu_error.h"
#include "media/av_audio_source.h"
#include "media/media_files.h"

namespace mobu {
namespace {

// The clock of a movie without sound: silence of the movie's length.
class TSilentSource : public TPcmSource {
public:
    explicit TSilentSource(int64_t length_ms) : length_(std::max<int64_t>(length_ms, 0) * 48) {}
    int Rate() const override { return 48000; }
    int Channels() const override { return 1; }
    int64_t LengthFrames() const override { return length_; }
    size_t Read(float* out, size_t frames) override
    {
        size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), length_ - position_));
        std::fill(out, out + n, 0.0f);
        position_ += static_cast<int64_t>(n);
        return n;
    }
    void Seek(int64_t frame) override { position_ = std::clamp<int64_t>(frame, 0, length_); }
    const char* CodecName() const override { return "none"; }

private:
    int64_t length_;
    int64_t position_ = 0;
};

std::unique_ptr<TPcmSource> SoundTrack(const std::string& name, int64_t length_ms)
{
    try {
        return OpenAvAudioSource(OpenMediaStream(name));
    } catch (const EMobuError&) {
        return std::make_unique<TSilentSource>(length_ms);
    }
}

}  // namespace

TAvVideoItem::TAvVideoItem(TAudioMixer& mixer, const std::string& name, bool flag)
    : decoder_(std::make_unique<TAvVideoDecoder>(OpenMediaStream(name))),
      sound_(std::make_unique<TMixerSoundItem>(mixer, SoundTrack(name, decoder_->LengthMs()))),
      flag_(flag)
{
}

bool TAvVideoItem::NeedPaint()
{
    decoder_->Advance(GetPosition());
    return decoder_->CurrentMs() != drawn_ms_;
}

TDIBX* TAvVideoItem::GetDC()
{
    decoder_->Advance(GetPosition());
    if (decoder_->CurrentMs() != drawn_ms_) {
        decoder_->Draw(picture_);
        drawn_ms_ = decoder_->CurrentMs();
    }
    return &picture_;
}

TDMediaItem* TVideoManager::Add(const std::string& name, bool flag)
{
    if (use_wmp_) return Keep(std::make_unique<TWmVideoItem>(mixer_, name, flag), name);
    return Keep(std::make_unique<TDsVideoItem>(mixer_, name, flag), name);
}

}  // namespace mobu
