// The picture of a film's label track: its text drawn with the glyph rasterizer into a
// colour surface and an 8-bit coverage mask.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/dibx.h"
#include "graphics/frame_lists.h"

namespace mobu {

// Largest side of a label's picture; longer texts are cut there.
inline constexpr int32_t kFilmLabelMaxSide = 4096;

// Renders the label: the font (the default face when none is named) at size x factor, the
// factor 4 when antialias is on and alpha, zoom and angle keep their defaults over the whole
// track, else 1 (and 1 whenever the enlarged picture would pass the largest side). Width: the
// widest line (italic lines less their last character's overhang) / factor; height: lines x
// size + (lines - 1) x line spacing; a size of 0 or less counts as 1. The glyphs' coverage,
// averaged over factor x factor blocks, is the mask; the colour surface is the text colour.
void RenderFilmLabel(const TLabelFrameList& track, TDIBX& colour, std::unique_ptr<TDIBX>& mask);

}  // namespace mobu
