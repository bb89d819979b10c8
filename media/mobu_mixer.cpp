#include "media/mobu_mixer.h"

#include "media/media_item.h"
#include "media/sound_gain.h"

namespace mobu {

bool TMobuMixer::Tick(uint32_t now_ms)
{
    if (Item == nullptr) return true;
    if (!Started) {
        Started = true;
        StartTick = now_ms;
        Begin();
        return false;
    }
    // Unsigned difference: the frame clock wraps.
    int64_t elapsed = static_cast<uint32_t>(now_ms - StartTick);
    if (Duration > 0 && elapsed < Duration) {
        int64_t volume = StartVolume + (static_cast<int64_t>(EndVolume) - StartVolume) * elapsed / Duration;
        Item->SetVolume(static_cast<int>(volume));
        return false;
    }
    Item->SetVolume(EndVolume);
    return true;
}

void TMobuMixerFadein::Begin()
{
    Item->SetVolume(kSilentVolume);
    Item->Play();
    StartVolume = kSilentVolume;
}

void TMobuMixerFadeout::Begin()
{
    StartVolume = Item->GetVolume();
    EndVolume = kSilentVolume;
}

}  // namespace mobu
