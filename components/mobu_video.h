// TMobuVideo: plays a movie through the video manager and shows its picture as an image
// (zoom, alpha, angle, flips and clip as a picture has them), copying a new movie frame at
// most every 33 ms; sound, fades, repeat and play end as the sound component has them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/media_play_state.h"
#include "components/mobu_image.h"
#include "media/mobu_mixer.h"

namespace mobu {

class TVideoItem;
class TMediaLayer;

class TMobuVideo : public TMobuCustomImage, public TMediaPlayState {
public:
    // The least time between two frame copies.
    static constexpr int32_t kCopyIntervalMs = 33;

    explicit TMobuVideo(TMobuBaseList* owner);
    ~TMobuVideo() override;

    void SetPlayMode(int mode) override;
    bool Update() override;
    void Draw(TCustomDIBX& surface) override;
    bool HasPicture() override { return Frame != nullptr; }
    void ReleaseSurfaces() override;
    void RestoreSurfaces() override;
    void EnteredCabinet() override;
    void LeftCabinet() override;

    // TMediaPlayState
    int PlayState() const override { return PlayMode; }
    bool PlayFinished() const override { return false; }
    const std::string& MediaSource() const override { return Source; }
    bool MediaPlaying() override;
    void SetFadeTime(int32_t ms) override { Delay = ms; }

    int MappedVolume() const;
    TVideoItem* Item() const { return item_; }

    std::string Source;
    uint8_t PlayMode = 2;
    std::unique_ptr<TDIBX> Frame;
    bool Repeat = false;
    bool VideoPaused = false;
    int32_t Volume = 1000;
    int32_t Balance = 0;
    int32_t Reserved = 0;
    int32_t Position = 0;
    std::string OnPlayEnd;
    std::string OnIdle;
    bool RewindOnLoad = false;
    bool MuteOnLoad = false;
    bool Overlay = true;
    bool AutoScrap = false;
    int32_t Delay = 0;
    int32_t LastCopyTick = 0;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void MakeFrame();
    void ReleaseItem();
    void ApplyPause();

    TVideoItem* item_ = nullptr;
    TMediaLayer* layer_ = nullptr;
    std::unique_ptr<TMobuMixer> mixer_;
    bool copy_pending_ = false;
    bool parked_ = false;  // paused by entering a cabinet
};

}  // namespace mobu
