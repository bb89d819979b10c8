// Tiling one cell of a picture over a rectangle with a column and a row phase, as the
// sliders, scroll bars and gauges draw their tracks and bars, with the picture components'
// alpha convention (below 255 blended, 255 plain, above 255 added).
#pragma once

#include <cstdint>

#include "core/rect.h"
#include "graphics/custom_dibx.h"

namespace mobu {

// Tiles the cell `cell` of `source` over `dest`: rows are laid from the top (from the bottom
// with `flip_v`), the first one cell height - phase_y high showing the cell from row
// phase_y, the others whole cells cut at the far edge; columns likewise from the left (the
// right with `flip_h`) with phase_x; with a flip every piece is drawn mirrored. The phases
// are taken modulo the cell's size. A cell or rectangle without area draws nothing. `mask`
// (8 bits, the size of `source`) replaces the key colour when given.
void TileCell(TCustomDIBX& target, const TRect& dest, TCustomDIBX& source, const TRect& cell, int64_t phase_x,
              int64_t phase_y, bool flip_h, bool flip_v, int32_t alpha, TCustomDIBX* mask);

// Draws the cell `cell` of `source` at (x, y) with the alpha convention.
void DrawCell(TCustomDIBX& target, int32_t x, int32_t y, TCustomDIBX& source, const TRect& cell, int32_t alpha,
              TCustomDIBX* mask);

}  // namespace mobu
