// Sound items that play through the player's own mixer: the Ogg items (`TOggItem` when
// "DirectSound" is on, `TOggWaveItem` for the wave-out path; both decode the same way here)
// and the wave list's effects (`TWaveItem`). Each owns one voice of the mixer.
#pragma once

#include <memory>
#include <string>

#include "media/audio_mixer.h"
#include "media/media_item.h"

namespace mobu {

class TMixerSoundItem : public TDMediaItem {
public:
    TMixerSoundItem(TAudioMixer& mixer, std::unique_ptr<TPcmSource> source);
    ~TMixerSoundItem() override;

    bool GetAutoRepeat() override { return mixer_.State(voice_).Repeat; }
    void SetAutoRepeat(bool repeat) override { mixer_.SetRepeat(voice_, repeat); }
    int GetRepeatPos() override { return mixer_.State(voice_).RepeatPosMs; }
    void SetRepeatPos(int position_ms) override { mixer_.SetRepeatPosMs(voice_, position_ms); }
    int GetPan() override { return mixer_.State(voice_).Pan; }
    int GetVolume() override { return mixer_.State(voice_).Volume; }
    void SetPan(int pan) override { mixer_.SetPan(voice_, pan); }
    void SetVolume(int volume) override { mixer_.SetVolume(voice_, volume); }
    int GetPosition() override { return mixer_.State(voice_).PositionMs; }
    void SetPosition(int position_ms) override { mixer_.SetPositionMs(voice_, position_ms); }
    int GetLength() override { return mixer_.State(voice_).LengthMs; }
    bool IsEnd() override { return mixer_.State(voice_).Ended; }
    bool IsPlaying() override;
    bool IsPaused() override { return mixer_.State(voice_).Paused; }
    void Play() override { mixer_.Play(voice_); }
    void Pause() override { mixer_.Pause(voice_); }
    void SetMuted(bool muted) override { mixer_.SetMuted(voice_, muted); }

    uint32_t Voice() const { return voice_; }
    TVoiceState State() { return mixer_.State(voice_); }

private:
    TAudioMixer& mixer_;
    uint32_t voice_;
};

// The common base of the two Ogg items: opens the named file (Ogg Vorbis by content, else
// a RIFF wave) and plays it.
class TCustomOggItem : public TMixerSoundItem {
public:
    TCustomOggItem(TAudioMixer& mixer, const std::string& cp932_name);
};

class TOggItem : public TCustomOggItem {
public:
    using TCustomOggItem::TCustomOggItem;
};

class TOggWaveItem : public TCustomOggItem {
public:
    using TCustomOggItem::TCustomOggItem;
};

class TWaveItem : public TMixerSoundItem {
public:
    TWaveItem(TAudioMixer& mixer, int index, const std::string& cp932_name);
    int Index() const { return index_; }

private:
    int index_;
};

// Opens a sound file by its content: "OggS" is Ogg Vorbis (other codecs in Ogg go to
// libavcodec), "RIFF" a wave file (read by our reader; ADPCM and MPEG audio decoded by
// libavcodec), anything else whatever libavformat recognises; undecodable data raises
// "サウンドデータが不正です".
std::unique_ptr<TPcmSource> OpenSoundSource(const std::string& cp932_name);

}  // namespace mobu
