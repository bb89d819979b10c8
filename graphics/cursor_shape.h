// Pointer shapes read from cursor files: ".cur" (the hot spot from the directory entry),
// ".ico" (the hot spot at the centre) and animated ".ani" files (RIFF "ACON": frames that are
// icon or cursor files, shown in a sequence of steps whose lengths count jiffies of 1/60 s).
// Every frame is straight-alpha 0xAARRGGBB pixels, rows from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

struct TCursorFrame {
    int Width = 0;
    int Height = 0;
    int HotSpotX = 0;
    int HotSpotY = 0;
    std::vector<uint32_t> Pixels;  // Width * Height values 0xAARRGGBB
};

// One step of an animation: which frame, and for how many jiffies (at least 1).
struct TCursorStep {
    size_t Frame = 0;
    uint32_t Jiffies = 1;
};

struct TCursorShape {
    std::vector<TCursorFrame> Frames;
    // Empty for a still pointer; otherwise shown in order, then again from the first.
    std::vector<TCursorStep> Steps;
    bool Animated() const { return !Steps.empty(); }
};

// Pointers are small: a larger image is refused, so a crafted file cannot make us allocate
// much for one frame.
inline constexpr int kMaxCursorSide = 256;
// An animated pointer holds at most this many frames, and all its frames together at most
// this many pixels.
inline constexpr size_t kMaxCursorFrames = 1024;
inline constexpr size_t kMaxCursorPixels = size_t{4} << 20;
// Milliseconds per jiffy, as a fraction (1000 / 60).
inline constexpr int64_t kJiffyMsNumerator = 1000;
inline constexpr int64_t kJiffyMsDenominator = 60;

// One icon or cursor file as a frame: a cursor file's hot spot comes from its directory entry,
// an icon file (or a bitmap) gets the centre; the hot spot is clamped into the image. Refuses damaged data and images larger than kMaxCursorSide with EMobuError.
TCursorFrame ReadCursorFrame(const uint8_t* data, size_t size);
// An animated cursor file (".ani").
TCursorShape ReadAniFile(const uint8_t* data, size_t size);
// Chooses by the extension: ".ani" animated, anything else one icon or cursor file.
TCursorShape ReadCursorShape(std::string_view extension, const uint8_t* data, size_t size);

}  // namespace mobu
