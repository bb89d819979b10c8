#include "media/sound_gain.h"

#include <algorithm>
#include <cmath>

namespace mobu {

int ClampVolume(int volume) { return std::clamp(volume, kSilentVolume, 0); }

int ClampPan(int pan) { return std::clamp(pan, -10000, 10000); }

double VolumeToGain(int volume)
{
    volume = ClampVolume(volume);
    if (volume == kSilentVolume) return 0.0;
    return std::pow(10.0, volume / 2000.0);
}

TPanGains PanToGains(int pan)
{
    pan = ClampPan(pan);
    TPanGains gains;
    if (pan > 0) gains.Left = VolumeToGain(-pan);
    if (pan < 0) gains.Right = VolumeToGain(pan);
    return gains;
}

int MapComponentVolume(int component_volume, bool midi_item)
{
    if (component_volume <= 0) return kSilentVolume;
    // 64-bit products: a huge component volume must not wrap into a negative level.
    long long mapped = midi_item ? 10LL * component_volume - 10000 : 5LL * component_volume - 5000;
    if (mapped > 0) return 0;
    if (mapped < kSilentVolume) return kSilentVolume;
    return static_cast<int>(mapped);
}

}  // namespace mobu
