// Drawing one rendered character into the colour and effect surfaces of a text engine or
// label, with outline, shadow, underline and strike-out.
#pragma once

#include <cstdint>

#include "graphics/dib_surface.h"
#include "text/font_pixel.h"
#include "text/glyph_compositing.h"

namespace mobu {

class TCustomDIBX;

struct TGlyphStyle {
    uint32_t shadow_pixel = 0;   // pixel values of the colour surface
    uint32_t outline_pixel = 0;
    uint32_t text_pixel = 0;
    bool next_differs = false;      // the next glyph is not a character or differs in its effects
    bool previous_differs = false;  // likewise the previous one
    int shadow_offset = 0;          // d
    int outline_width = 0;          // w
};

// Horizontal shift that centres a narrow character in its cell by its proportions
// (0 when it is wide enough).
int GlyphCentringShift(const TFontPixel& glyph, const TRect& cell);

// Draws into locked pixel views; returns the touched rectangle (empty for a blank).
TRect DrawGlyphOnPlanes(const TFontPixel& glyph, const TPixelPlane& colour, const TPixelPlane& effect,
                        const TGlyphStyle& style, const TRect& cell);

// Draws one character into a colour surface (15, 16 or 32 bits; other formats get no
// colour) and an 8-bit effect surface holding opacity. The three colours are pixel values of
// the colour surface. Mask drawing is clipped to the colour surface's clip rectangle.
// Returns the touched rectangle.
TRect DrawGlyph(const TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& effect, const TGlyphStyle& style,
                const TRect& cell);

}  // namespace mobu
