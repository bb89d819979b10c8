// "game.ini": the sound and video options the media layer reads, and the player's own
// checks. The file is read through TIniText and written back through the same editor, so a
// write changes only the value lines it must.
//   [Sound] DirectSound=1  DelayTime=500  SoundFont=PATH
//   [Video] UseWMP=0  SmoothScaling=0  ScaleMode=1  WindowScale=1  FullScreen=0
//   [Player] ScreenshotKey=F12
//   [Debug] SpinLimitMs=5000
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/game_ini_text.h"

namespace mobu {

struct TSoundSettings {
    bool DirectSound = true;  // Ogg and WMA through the media library (else wave-out streaming)
    int32_t DelayTime = 500;  // wave-out buffer length in ms: a multiple of 100 in 100..500
    bool UseWMP = false;      // video through the Windows Media path
    // Scale the picture smoothly (else nearest neighbour); absent: smoothly only when the
    // factor is not whole.
    std::optional<bool> SmoothScaling;
    int32_t ScaleMode = 1;    // 0 whole factors when one fits, 1 keep the aspect ratio, 2 stretch
    int32_t WindowScale = 1;  // the window's whole factor, 0..8; 0: the largest that fits
    bool FullScreen = false;  // start in full screen
    // The General MIDI sound font of MIDI music (UTF-8; a relative path counts from the
    // folder of game.ini); empty: the system's default-GM.sf2.
    std::string SoundFont;
};

// The process-wide settings, read once at start.
extern TSoundSettings SoundSettings;

// Only regular files (or links to them) up to this size are read; anything else reads as
// absent and is never replaced.
constexpr size_t kGameIniLimit = size_t{1} << 20;

// DelayTime as stored -> the buffer length used: rounded down to a multiple of 100, then
// clamped to 100..500.
int32_t NormaliseDelayTime(int64_t stored);

// A stored number: decimal, "0x"/"$" hexadecimal, "true"/"yes"/"on" (1), "false"/"no"/"off"
// (0); a number beyond int64 is clamped to its end. Nothing for any other text.
std::optional<int64_t> ParseIniInteger(std::string_view text);

// The file at `path` (UTF-8) as INI text; empty when it is missing or not readable as a
// settings file (`reason` then says why, "" for a missing file).
TIniText ReadGameIniText(const std::string& path, std::string* reason = nullptr);

// The settings of `ini` over `settings`: a missing key or a value that is not a number
// leaves the current value. Section and key names compare without case.
void ApplyGameIni(const TIniText& ini, TSoundSettings& settings);

// Reads the INI file at `path` (UTF-8) over `settings`.
void ReadGameIni(const std::string& path, TSoundSettings& settings);

// Replaces the file at `path` with `ini` atomically. A path that exists but is not a
// regular file of at most kGameIniLimit bytes (or a link to one) is refused. False with
// the reason on failure; the old file is then untouched.
bool WriteGameIni(const std::string& path, const TIniText& ini, std::string& reason);

// [Debug] SpinLimitMs: how long one frame's script may run (wall time) before the player
// asks whether to stop it; 0 turns the watchdog off. `fallback` when missing or not a
// number; negative values count as 0.
uint32_t ReadSpinLimitMs(const std::string& path, uint32_t fallback);

// The keys `mobuplay /config --set` and `--print` know, in --print order.
struct TGameIniKey {
    const char* section;
    const char* key;
    enum TKind { Bool, DelayTime, Count, KeyName, AutoBool } kind;
    int64_t minimum = 0, maximum = 0;  // Count only
    int64_t fallback = 0;              // the value used when the key is absent (not KeyName, AutoBool)
};
const std::vector<TGameIniKey>& GameIniKeys();

// The key named "Section.Key" (without case), or nullptr.
const TGameIniKey* FindGameIniKey(std::string_view dotted);

// The text stored for `value` of `key` ("1"/"0" for booleans: 1/0/true/false/yes/no/on/off
// accepted; DelayTime as the slider would store it; counts within their range; key names
// of the input-script table, or "none"), or nothing for a bad value.
std::optional<std::string> GameIniValueText(const TGameIniKey& key, std::string_view value);

// The value the player uses for `key` in `ini`, as text (DelayTime normalised; "auto" for
// an absent SmoothScaling).
std::string GameIniEffectiveValue(const TGameIniKey& key, const TIniText& ini);

}  // namespace mobu
