// Tiling and pattern fills: a source rectangle repeated over a destination rectangle with
// gaps between the tiles, each tile drawn through the single-image operation.
#include <algorithm>

#include "graphics/custom_dibx.h"
#include "graphics/custom_dibx_blit.h"

namespace mobu {
namespace {

// Offset taken modulo the tile size, negative offsets wrapping.
int64_t Wrap(int64_t offset, int64_t size)
{
    int64_t r = offset % size;
    return r < 0 ? r + size : r;
}

// Calls draw_tile(x, y) for every tile of the grid anchored at dest_rect's top left (moved
// back by the wrapped offsets) that meets the clip, with the clip narrowed to dest_rect for
// the duration. Degenerate grids (empty tiles, gaps that cancel the tile size) draw nothing.
template <typename DrawTile>
void Tile(TCustomDIBX& surface, const TRect& dest_rect, int64_t gap_x, int64_t gap_y, int64_t tile_width,
          int64_t tile_height, int offset_x, int offset_y, DrawTile draw_tile)
{
    if (tile_width <= 0 || tile_height <= 0) return;
    const int64_t period_x = tile_width + gap_x, period_y = tile_height + gap_y;
    if (period_x <= 0 || period_y <= 0) return;
    TRect area = Intersect(surface.GetClipRect(), dest_rect);
    if (area.IsEmpty()) return;
    const TRect saved = surface.ClipRect;
    surface.ClipRect = area;
    const int64_t origin_x = static_cast<int64_t>(dest_rect.Left) - Wrap(offset_x, tile_width);
    const int64_t origin_y = static_cast<int64_t>(dest_rect.Top) - Wrap(offset_y, tile_height);
    // First tiles whose right / bottom edge passes the area's left / top edge.
    int64_t first_column = std::max<int64_t>(0, FloorDiv(area.Left - origin_x - tile_width, period_x) + 1);
    int64_t first_row = std::max<int64_t>(0, FloorDiv(area.Top - origin_y - tile_height, period_y) + 1);
    try {
        for (int64_t ty = origin_y + first_row * period_y; ty < area.Bottom; ty += period_y)
            for (int64_t tx = origin_x + first_column * period_x; tx < area.Right; tx += period_x)
                draw_tile(static_cast<int>(tx), static_cast<int>(ty));
    } catch (...) {
        surface.ClipRect = saved;
        throw;
    }
    surface.ClipRect = saved;
}

int64_t Zoomed(int64_t size, int zoom) { return std::max<int64_t>(1, size * zoom / 256); }

}  // namespace

void TCustomDIBX::TileDraw(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source, const TRect& src_rect,
                           bool transparent, int offset_x, int offset_y)
{
    Tile(*this, dest_rect, gap_x, gap_y, src_rect.Width(), src_rect.Height(), offset_x, offset_y,
         [&](int x, int y) { Draw(x, y, source, src_rect, transparent, false, false); });
}

void TCustomDIBX::TileDrawAlpha(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                const TRect& src_rect, bool transparent, int offset_x, int offset_y, int alpha)
{
    if (alpha <= 0) return;
    Tile(*this, dest_rect, gap_x, gap_y, src_rect.Width(), src_rect.Height(), offset_x, offset_y,
         [&](int x, int y) { DrawAlpha(x, y, source, src_rect, transparent, false, false, alpha); });
}

void TCustomDIBX::TileDrawAdd(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                              const TRect& src_rect, bool transparent, int offset_x, int offset_y, int amount)
{
    if (amount <= 0) return;
    Tile(*this, dest_rect, gap_x, gap_y, src_rect.Width(), src_rect.Height(), offset_x, offset_y,
         [&](int x, int y) { DrawAdd(x, y, source, src_rect, transparent, false, false, amount); });
}

void TCustomDIBX::TileDrawMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                               const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y)
{
    Tile(*this, dest_rect, gap_x, gap_y, src_rect.Width(), src_rect.Height(), offset_x, offset_y,
         [&](int x, int y) { DrawMask(x, y, source, src_rect, false, false, mask); });
}

void TCustomDIBX::TileDrawAlphaMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                    const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y, int alpha)
{
    if (alpha <= 0) return;
    Tile(*this, dest_rect, gap_x, gap_y, src_rect.Width(), src_rect.Height(), offset_x, offset_y,
         [&](int x, int y) { DrawAlphaMask(x, y, source, src_rect, false, false, mask, alpha); });
}

void TCustomDIBX::TileDrawAddMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                  const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y, int amount)
{
    if (amount <= 0) return;
    Tile(*this, dest_rect, gap_x, gap_y, src_rect.Width(), src_rect.Height(), offset_x, offset_y,
         [&](int x, int y) { DrawAddMask(x, y, source, src_rect, false, false, mask, amount); });
}

void TCustomDIBX::TileStretchDraw(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                  const TRect& src_rect, bool transparent, int offset_x, int offset_y, int zoom,
                                  bool additive, int alpha)
{
    if (zoom <= 0 || alpha <= 0 || src_rect.IsEmpty()) return;
    int64_t w = Zoomed(src_rect.Width(), zoom), h = Zoomed(src_rect.Height(), zoom);
    Tile(*this, dest_rect, gap_x * static_cast<int64_t>(zoom) / 256, gap_y * static_cast<int64_t>(zoom) / 256, w, h,
         offset_x, offset_y, [&](int x, int y) {
             TRect tile{x, y, static_cast<int>(std::min<int64_t>(x + w, INT32_MAX)),
                        static_cast<int>(std::min<int64_t>(y + h, INT32_MAX))};
             if (additive) StretchDrawAdd(tile, source, src_rect, transparent, false, false, alpha);
             else StretchDrawAlpha(tile, source, src_rect, transparent, false, false, alpha);
         });
}

void TCustomDIBX::TileStretchDrawMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                      const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y, int zoom,
                                      bool additive, int alpha)
{
    if (zoom <= 0 || alpha <= 0 || src_rect.IsEmpty()) return;
    int64_t w = Zoomed(src_rect.Width(), zoom), h = Zoomed(src_rect.Height(), zoom);
    Tile(*this, dest_rect, gap_x * static_cast<int64_t>(zoom) / 256, gap_y * static_cast<int64_t>(zoom) / 256, w, h,
         offset_x, offset_y, [&](int x, int y) {
             TRect tile{x, y, static_cast<int>(std::min<int64_t>(x + w, INT32_MAX)),
                        static_cast<int>(std::min<int64_t>(y + h, INT32_MAX))};
             if (additive) StretchDrawAddMask(tile, source, src_rect, mask, false, false, alpha);
             else StretchDrawAlphaMask(tile, source, src_rect, mask, false, false, alpha);
         });
}

void TCustomDIBX::PatternFill(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip,
                              bool vflip, int mode)
{
    if (mode <= 0 || texture.IsEmpty()) return;
    const TRect whole = texture.SurfaceRect();
    Tile(*this, rect, 0, 0, whole.Width(), whole.Height(), offset_x, offset_y, [&](int x, int y) {
        if (mode == 255) Draw(x, y, texture, whole, false, hflip, vflip);
        else if (mode < 255) DrawAlpha(x, y, texture, whole, false, hflip, vflip, mode);
        else DrawAdd(x, y, texture, whole, false, hflip, vflip, std::min(mode - 256, 255));
    });
}

void TCustomDIBX::PatternFillMask(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip,
                                  bool vflip, int mode, TCustomDIBX& mask)
{
    if (mode <= 0 || texture.IsEmpty()) return;
    const TRect whole = texture.SurfaceRect();
    Tile(*this, rect, 0, 0, whole.Width(), whole.Height(), offset_x, offset_y, [&](int x, int y) {
        if (mode == 255) DrawMask(x, y, texture, whole, hflip, vflip, mask);
        else if (mode < 255) DrawAlphaMask(x, y, texture, whole, hflip, vflip, mask, mode);
        else DrawAddMask(x, y, texture, whole, hflip, vflip, mask, std::min(mode - 256, 255));
    });
}

// Strips as FrameRect draws them, each tiled so that the texture runs on unbroken from the
// rectangle's top left.
void TCustomDIBX::FramePattern(const TRect& rect, int width, int offset_x, int offset_y, TCustomDIBX& texture)
{
    if (width <= 0 || texture.IsEmpty()) return;
    auto strip = [&](int left, int top, int64_t w, int64_t h) {
        if (w <= 0 || h <= 0) return;
        TRect part{left, top, static_cast<int>(std::min<int64_t>(left + w, INT32_MAX)),
                   static_cast<int>(std::min<int64_t>(top + h, INT32_MAX))};
        int64_t shift_x = static_cast<int64_t>(offset_x) + (static_cast<int64_t>(left) - rect.Left);
        int64_t shift_y = static_cast<int64_t>(offset_y) + (static_cast<int64_t>(top) - rect.Top);
        PatternCopy(part, texture, false, false, static_cast<int>(Wrap(shift_x, texture.Width())),
                    static_cast<int>(Wrap(shift_y, texture.Height())));
    };
    const int64_t full_width = static_cast<int64_t>(rect.Right) - rect.Left;
    const int64_t inner_height = static_cast<int64_t>(rect.Bottom) - rect.Top - 2 * static_cast<int64_t>(width);
    strip(rect.Left, rect.Top, full_width, width);
    strip(rect.Left, static_cast<int>(static_cast<int64_t>(rect.Bottom) - width), full_width, width);
    if (inner_height > 0) {
        strip(rect.Left, rect.Top + width, width, inner_height);
        strip(static_cast<int>(static_cast<int64_t>(rect.Right) - width), rect.Top + width, width, inner_height);
    }
}

void TCustomDIBX::PatternCopy(const TRect& rect, TCustomDIBX& texture, bool hflip, bool vflip, int offset_x,
                              int offset_y)
{
    PatternFill(rect, texture, offset_x, offset_y, hflip, vflip, 255);
}

}  // namespace mobu
