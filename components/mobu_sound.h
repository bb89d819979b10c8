// TMobuSound: plays one sound or music file through the media managers (chosen by the
// file's extension), with volume, balance, repeat from a loop point, pause, fades in and out
// on the frame clock, the play-end event, and the saved form that decides what resumes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/media_play_state.h"
#include "components/mobu_object.h"
#include "media/mobu_mixer.h"

namespace mobu {

class TDMediaItem;
class TMediaManager;
class TMediaLayer;

class TMobuSound : public TMobuComponent, public TMediaPlayState {
public:
    // A sound no longer than this that does not repeat is saved as stopped while it plays.
    static constexpr int32_t kShortSoundMs = 3000;

    explicit TMobuSound(TMobuBaseList* owner);
    ~TMobuSound() override;

    void SetPlayMode(int mode) override;
    bool Update() override;

    void SaveToStream(ByteWriter& out) override;
    void LoadFromStream(ByteReader& in, int version) override;

    // TMediaPlayState
    int PlayState() const override { return PlayMode; }
    bool PlayFinished() const override { return Finished; }
    const std::string& MediaSource() const override { return Source; }
    bool MediaPlaying() override;
    void SetFadeTime(int32_t ms) override { Delay = ms; }

    // The item's volume for PR_VOLUME (the MIDI mapping for MIDI items).
    int MappedVolume() const;
    TDMediaItem* Item() const { return item_; }
    TMobuMixer* Mixer() const { return mixer_.get(); }

    std::string Source;
    uint8_t PlayMode = 2;
    bool Repeat = false;
    int32_t RepeatPos = 0;
    bool SoundPaused = false;
    int32_t Volume = 1000;
    int32_t Balance = 0;
    int32_t Reserved = 0;
    int32_t Position = 0;  // applied when the item is opened
    bool AutoScrap = false;
    std::string OnPlayEnd;
    bool SoundAniPaused = false;
    bool Finished = false;
    bool RewindOnLoad = false;
    bool MuteOnLoad = false;
    int32_t Delay = 0;  // fade time (PR_DELAY)

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;

private:
    // The manager that plays the source (by its lower-cased extension, or the CD manager for
    // "CD_" names); none when none does.
    TMediaManager* ManagerFor(TMediaLayer& media) const;
    // Opens an item of the source (none when it cannot be played).
    TDMediaItem* OpenItem(TMediaManager*& manager);
    void ReleaseItem();
    void ApplyPause();
    int32_t Length();

    TDMediaItem* item_ = nullptr;
    TMediaManager* manager_ = nullptr;
    TMediaLayer* layer_ = nullptr;  // the layer the item belongs to
    std::unique_ptr<TMobuMixer> mixer_;
};

}  // namespace mobu
