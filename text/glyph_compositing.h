// Pixel work of glyph drawing on raw rows: the colour surface (15, 16 or 32 bits; other
// formats get no colour) and the 8-bit effect surface that holds opacity. Kept apart from
// the surface classes so the arithmetic is tested on plain buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/dib_surface.h"

namespace mobu {

// A locked view of a surface's pixels.
struct TPixelPlane {
    uint8_t* origin = nullptr;  // address of pixel (0, 0)
    ptrdiff_t pitch = 0;        // bytes from one row to the next
    int bits = 0;               // 8, 15, 16, 24 or 32
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue channel masks
    TRect clip;                 // writes are kept inside

    bool HasColor() const { return origin != nullptr && (bits == 15 || bits == 16 || bits == 32); }
    uint8_t* Row(int y) const { return origin + pitch * y; }
};

// Effect value after over-compositing m (1..254) on e, and the source weight s the colour
// channels take: e' = e + m (255 - e) div 255, s = m * 255 div e'. Tables, not divisions.
uint8_t CompositeEffect(int m, int e);
uint8_t CompositeWeight(int m, int e);

class TGlyphCompositor {
public:
    TGlyphCompositor(const TPixelPlane& colour, const TPixelPlane& effect) : colour_(colour), effect_(effect) {}

    // Over-composites m in colour `pixel` at (x, y) (skipped outside the clip).
    void Composite(int x, int y, int m, uint32_t pixel);
    // Mask placed at (x, y): wherever it is non-zero the colour takes `pixel` and the
    // effect the larger of its value and the mask's.
    void PutMaskMax(const uint8_t* mask, int width, int height, int x, int y, uint32_t pixel);
    // Mask placed at (x, y): non-zero values are copied into the effect surface and the
    // colour takes `pixel`.
    void PutMaskCopy(const uint8_t* mask, int width, int height, int x, int y, uint32_t pixel);
    // Mask over-composited in `pixel`.
    void PutMaskComposite(const uint8_t* mask, int width, int height, int x, int y, uint32_t pixel);
    // The outline stamp: every mask value m > 0 is over-composited on the square of
    // (2w + 1)^2 - 1 neighbours around its place, row by row, left to right.
    void Stamp(const uint8_t* mask, int width, int height, int x, int y, int w, uint32_t pixel);
    // Mask placed at (x, y) with an outline under it: effect 255 where the mask is non-zero
    // and the colour (m * text + (255 - m) * outline) >> 8 per channel.
    void PutMaskOverOutline(const uint8_t* mask, int width, int height, int x, int y, uint32_t text,
                            uint32_t outline);
    // A filled bar: colour `pixel` (unless only the effect is wanted) and effect 255.
    void Bar(const TRect& rect, uint32_t pixel, bool colour_too);

private:
    bool Inside(int x, int y) const;
    uint32_t Read(int x, int y) const;
    void Write(int x, int y, uint32_t value);
    uint32_t Mix(uint32_t a, uint32_t b, int weight_a) const;

    TPixelPlane colour_;
    TPixelPlane effect_;
};

}  // namespace mobu
