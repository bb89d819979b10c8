// Volume and pan of media items. Volumes are hundredths of a decibel (0 = full level,
// -10000 = silence); pans run from -10000 (right side silenced) to 10000 (left side silenced).
#pragma once

namespace mobu {

constexpr int kSilentVolume = -10000;

// Clamps to -10000..0.
int ClampVolume(int volume);
// Clamps to -10000..10000.
int ClampPan(int pan);
// The amplitude factor of a volume: 10^(v/2000), with -10000 giving exactly 0.
double VolumeToGain(int volume);

struct TPanGains {
    double Left = 1.0;
    double Right = 1.0;
};
// A positive pan attenuates the left side by the pan, a negative one the right side by -pan.
TPanGains PanToGains(int pan);

// The item volume of a component volume (0..1000): MIDI items 10·v - 10000, the others
// 5·v - 5000; v <= 0 gives -10000 and results above 0 give 0.
int MapComponentVolume(int component_volume, bool midi_item);

}  // namespace mobu
