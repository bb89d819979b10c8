// "game.ini" beside the player: the sound and video options the media layer reads, and the
// player's own checks.
//   [Sound] DirectSound=1  DelayTime=500  SoundFont=PATH
//   [Video] UseWMP=0  SmoothScaling=0
//   [Debug] SpinLimitMs=5000
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

struct TSoundSettings {
    bool DirectSound = true;  // Ogg and WMA through the media library (else wave-out streaming)
    int32_t DelayTime = 500;  // wave-out buffer length in ms: a multiple of 100 in 100..500
    bool UseWMP = false;      // video through the Windows Media path
    bool SmoothScaling = false;  // scale the picture smoothly (else nearest neighbour)
    // The General MIDI sound font of MIDI music (UTF-8; a relative path counts from the
    // folder of game.ini); empty: the system's default-GM.sf2.
    std::string SoundFont;
};

// The process-wide settings, read once at start.
extern TSoundSettings SoundSettings;

// DelayTime as stored -> the buffer length used: rounded down to a multiple of 100, then
// clamped to 100..500.
int32_t NormaliseDelayTime(int64_t stored);

// Reads the INI file at `path` (UTF-8) over `settings`. A missing file, a missing key or a
// value that is not a number leaves the current value. Section and key names compare
// without case; "true"/"false" are accepted besides numbers (non-zero is true).
void ReadGameIni(const std::string& path, TSoundSettings& settings);

// [Debug] SpinLimitMs: how long one frame's script may run (wall time) before the player
// asks whether to stop it; 0 turns the watchdog off. `fallback` when missing or not a
// number; negative values count as 0.
uint32_t ReadSpinLimitMs(const std::string& path, uint32_t fallback);

}  // namespace mobu
