// Movies: `TDsVideoItem` ("game.ini" [Video] UseWMP=0) and `TWmVideoItem` (UseWMP=1) decode
// the same way here. The sound track is one voice of the mixer with the item's volume and
// pan (a movie without sound gets a silent voice of its length as its clock); the picture
// follows that voice's position. `.wmv`/`.asf` entries are read through the archive stream
// like every other movie, without a temporary file.
#pragma once

#include <memory>
#include <string>

#include "graphics/dibx.h"
#include "media/av_video_decoder.h"
#include "media/media_manager.h"
#include "media/mixer_sound_item.h"

namespace mobu {

class TAvVideoItem : public TVideoItem {
public:
    TAvVideoItem(TAudioMixer& mixer, const std::string& cp932_name, bool flag);

    bool GetAutoRepeat() override { return sound_->GetAutoRepeat(); }
    void SetAutoRepeat(bool repeat) override { sound_->SetAutoRepeat(repeat); }
    int GetRepeatPos() override { return sound_->GetRepeatPos(); }
    void SetRepeatPos(int position) override { sound_->SetRepeatPos(position); }
    int GetPan() override { return sound_->GetPan(); }
    int GetVolume() override { return sound_->GetVolume(); }
    void SetPan(int pan) override { sound_->SetPan(pan); }
    void SetVolume(int volume) override { sound_->SetVolume(volume); }
    int GetPosition() override { return sound_->GetPosition(); }
    void SetPosition(int position) override { sound_->SetPosition(position); }
    int GetLength() override { return sound_->GetLength(); }
    bool IsEnd() override { return sound_->IsEnd(); }
    bool IsPlaying() override { return sound_->IsPlaying(); }
    bool IsPaused() override { return sound_->IsPaused(); }
    void Play() override { sound_->Play(); }
    void Pause() override { sound_->Pause(); }
    void SetMuted(bool muted) override { sound_->SetMuted(muted); }

    int GetSourceHeight() override { return decoder_->Height(); }
    int GetSourceWidth() override { return decoder_->Width(); }
    bool GetVisible() override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    // True when the picture at the current position differs from the one GetDC gave last.
    bool NeedPaint() override;
    void SetRect(int left, int top) override
    {
        left_ = left;
        top_ = top;
    }
    // The picture at the current position (32 bits, the movie's size).
    TDIBX* GetDC() override;

    TMixerSoundItem& Sound() { return *sound_; }
    TAvVideoDecoder& Decoder() { return *decoder_; }
    bool Flag() const { return flag_; }

private:
    std::unique_ptr<TAvVideoDecoder> decoder_;
    std::unique_ptr<TMixerSoundItem> sound_;
    TDIBX picture_;
    int64_t drawn_ms_ = -2;  // the picture time GetDC drew last
    bool visible_ = true;
    bool flag_;
    int left_ = 0;
    int top_ = 0;
};

class TDsVideoItem : public TAvVideoItem {
public:
    using TAvVideoItem::TAvVideoItem;
};

class TWmVideoItem : public TAvVideoItem {
public:
    using TAvVideoItem::TAvVideoItem;
};

class TVideoManager : public TMediaManager {
public:
    TVideoManager(TAudioMixer& mixer, bool use_wmp) : TMediaManager("video"), mixer_(mixer), use_wmp_(use_wmp) {}
    TDMediaItem* Add(const std::string& cp932_name, bool flag = false) override;

private:
    TAudioMixer& mixer_;
    bool use_wmp_;
};

}  // namespace mobu
