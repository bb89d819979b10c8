#include "components/cell_tiling.h"

#include <algorithm>

namespace mobu {
namespace {

// One piece along an axis: its offset from the starting edge, the first cell pixel shown and
// its length.
struct TPiece {
    int64_t offset, source, length;
};

// Calls `piece` for every piece of a strip of `length` laid with cells of `cell` pixels
// from phase `phase` that overlaps [from, to) (offsets from the starting edge). Pieces
// before the window are skipped by arithmetic, so a long strip costs only what is seen.
template <typename F>
void ForEachPiece(int64_t length, int64_t cell, int64_t phase, int64_t from, int64_t to, F piece)
{
    to = std::min(to, length);
    from = std::max<int64_t>(from, 0);
    if (cell < 1 || length < 1 || from >= to) return;
    const int64_t first = cell - phase;
    if (from < first) piece(TPiece{0, phase, std::min(first, length)});
    int64_t k = from < first ? 0 : (from - first) / cell;
    for (int64_t offset = first + k * cell; offset < to; offset += cell)
        piece(TPiece{offset, 0, std::min(cell, length - offset)});
}

int64_t Modulo(int64_t value, int64_t divisor) { return ((value % divisor) + divisor) % divisor; }

}  // namespace

void DrawCell(TCustomDIBX& target, int32_t x, int32_t y, TCustomDIBX& source, const TRect& cell, int32_t alpha,
              TCustomDIBX* mask)
{
    if (alpha < 1 || cell.IsEmpty()) return;
    const bool keyed = source.TransparentColor >= 0;
    const int amount = std::min(alpha - 256, 255);
    if (mask) {
        if (alpha < 255) target.DrawAlphaMask(x, y, source, cell, false, false, *mask, alpha);
        else if (alpha == 255) target.DrawMask(x, y, source, cell, false, false, *mask);
        else target.DrawAddMask(x, y, source, cell, false, false, *mask, amount);
    } else {
        if (alpha < 255) target.DrawAlpha(x, y, source, cell, keyed, false, false, alpha);
        else if (alpha == 255) target.Draw(x, y, source, cell, keyed, false, false);
        else target.DrawAdd(x, y, source, cell, keyed, false, false, amount);
    }
}

void TileCell(TCustomDIBX& target, const TRect& dest, TCustomDIBX& source, const TRect& cell, int64_t phase_x,
              int64_t phase_y, bool flip_h, bool flip_v, int32_t alpha, TCustomDIBX* mask)
{
    const int64_t cw = cell.Width(), ch = cell.Height();
    if (alpha < 1 || cw < 1 || ch < 1 || dest.IsEmpty()) return;
    phase_x = Modulo(phase_x, cw);
    phase_y = Modulo(phase_y, ch);
    const TRect seen = IntersectRects(dest, target.SurfaceRect());
    if (seen.IsEmpty()) return;
    const int64_t width = dest.Width(), height = dest.Height();
    // The visible window in offsets from each starting edge.
    const int64_t x_from = flip_h ? int64_t{dest.Right} - seen.Right : int64_t{seen.Left} - dest.Left;
    const int64_t x_to = flip_h ? int64_t{dest.Right} - seen.Left : int64_t{seen.Right} - dest.Left;
    const int64_t y_from = flip_v ? int64_t{dest.Bottom} - seen.Bottom : int64_t{seen.Top} - dest.Top;
    const int64_t y_to = flip_v ? int64_t{dest.Bottom} - seen.Top : int64_t{seen.Bottom} - dest.Top;
    const bool keyed = source.TransparentColor >= 0;
    const int amount = std::min(alpha - 256, 255);
    ForEachPiece(height, ch, phase_y, y_from, y_to, [&](const TPiece& row) {
        const int64_t y = flip_v ? dest.Bottom - row.offset - row.length : dest.Top + row.offset;
        ForEachPiece(width, cw, phase_x, x_from, x_to, [&](const TPiece& column) {
            const int64_t x = flip_h ? dest.Right - column.offset - column.length : dest.Left + column.offset;
            // A mirrored piece shows the same cell pixels as unmirrored, laid from the far
            // edge: its first pixel (at that edge) is the cell's pixel at the phase.
            const int64_t sx = column.source, sy = row.source;
            const TRect part{static_cast<int32_t>(cell.Left + sx), static_cast<int32_t>(cell.Top + sy),
                             static_cast<int32_t>(cell.Left + sx + column.length),
                             static_cast<int32_t>(cell.Top + sy + row.length)};
            const int px = static_cast<int>(x), py = static_cast<int>(y);
            if (mask) {
                if (alpha < 255) target.DrawAlphaMask(px, py, source, part, flip_h, flip_v, *mask, alpha);
                else if (alpha == 255) target.DrawMask(px, py, source, part, flip_h, flip_v, *mask);
                else target.DrawAddMask(px, py, source, part, flip_h, flip_v, *mask, amount);
            } else {
                if (alpha < 255) target.DrawAlpha(px, py, source, part, keyed, flip_h, flip_v, alpha);
                else if (alpha == 255) target.Draw(px, py, source, part, keyed, flip_h, flip_v);
                else target.DrawAdd(px, py, source, part, keyed, flip_h, flip_v, amount);
            }
        });
    });
}

}  // namespace mobu
