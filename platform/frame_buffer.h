// The frame surface the front ends present: 32-bit pixels 0x00RRGGBB (blue in the low byte,
// the byte order of a 32-bit device-independent bitmap), rows top to bottom. The screen
// bases draw into it; the front ends show it or write it as PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/rect.h"

namespace mobu {

struct FrameBuffer {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;  // bytes from one row to the next
    std::vector<uint32_t> pixels;
    // What changed since the last present: the rectangles, or everything.
    std::vector<TRect> dirty;
    bool all_dirty = true;

    void Resize(int32_t new_width, int32_t new_height)
    {
        width = new_width > 0 ? new_width : 0;
        height = new_height > 0 ? new_height : 0;
        pitch = width * 4;
        pixels.assign(static_cast<size_t>(width) * height, 0);
        all_dirty = true;
    }
    void Fill(uint32_t colour)
    {
        pixels.assign(pixels.size(), colour);
        all_dirty = true;
    }
    uint32_t* Row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

}  // namespace mobu
