// Supersampled glyph drawing: the source holds a glyph at `factor` times its size and each
// destination pixel mixes colours by the counts of the samples in its factor × factor block.
#include <algorithm>
#include <vector>

#include "graphics/custom_dibx.h"
#include "graphics/custom_dibx_blit.h"

namespace mobu {
namespace {

// The destination rectangle of the source divided by the factor, clipped; each destination
// edge cut moves the matching source edge by factor pixels (the opposite one when flipped).
// Gives the destination's top left and the source block origin of its first pixel.
struct TCoverageArea {
    int left = 0, top = 0, columns = 0, rows = 0;
    TRect source{};
};

bool CoverageArea(TCustomDIBX& dst, TCustomDIBX& source, TRect s, int x, int y, int factor, bool hflip,
                  bool vflip, TCoverageArea& area)
{
    if (factor <= 0 || dst.IsEmpty() || source.IsEmpty()) return false;
    s = Intersect(s, source.SurfaceRect());
    if (s.IsEmpty()) return false;
    // Whole blocks only.
    const int64_t columns = s.Width() / factor, rows = s.Height() / factor;
    if (columns <= 0 || rows <= 0) return false;
    if (hflip) s.Left = static_cast<int>(s.Right - columns * factor);
    else s.Right = static_cast<int>(s.Left + columns * factor);
    if (vflip) s.Top = static_cast<int>(s.Bottom - rows * factor);
    else s.Bottom = static_cast<int>(s.Top + rows * factor);
    TRect clip = dst.GetClipRect();
    int64_t left = std::max<int64_t>(x, clip.Left), top = std::max<int64_t>(y, clip.Top);
    int64_t right = std::min<int64_t>(x + columns, clip.Right), bottom = std::min<int64_t>(y + rows, clip.Bottom);
    if (left >= right || top >= bottom) return false;
    int64_t cut_left = left - x, cut_right = x + columns - right;
    int64_t cut_top = top - y, cut_bottom = y + rows - bottom;
    if (hflip) s.Left += static_cast<int>(cut_right * factor), s.Right -= static_cast<int>(cut_left * factor);
    else s.Left += static_cast<int>(cut_left * factor), s.Right -= static_cast<int>(cut_right * factor);
    if (vflip) s.Top += static_cast<int>(cut_bottom * factor), s.Bottom -= static_cast<int>(cut_top * factor);
    else s.Top += static_cast<int>(cut_top * factor), s.Bottom -= static_cast<int>(cut_bottom * factor);
    area.left = static_cast<int>(left);
    area.top = static_cast<int>(top);
    area.columns = static_cast<int>(right - left);
    area.rows = static_cast<int>(bottom - top);
    area.source = s;
    return true;
}

// Source block (column, row) of destination pixel (i, j) of the area.
int BlockColumn(const TCoverageArea& a, int i, int factor, bool hflip)
{
    return hflip ? a.source.Right - (i + 1) * factor : a.source.Left + i * factor;
}
int BlockRow(const TCoverageArea& a, int j, int factor, bool vflip)
{
    return vflip ? a.source.Bottom - (j + 1) * factor : a.source.Top + j * factor;
}

}  // namespace

// Per channel ((c·n + d·(F² − n)) / F²) AND M, n the ink count (scaled by alpha below 255).
// The division by F² is the shift by 4 of the usual factor 4 and stays right for other factors.
void TCustomDIBX::DrawMonoCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t pixel,
                                   bool hflip, bool vflip, int alpha, int factor)
{
    if (alpha <= 0 || source.StoreBitCount() != 1) return;
    TSurfaceFormat df = TSurfaceFormat::Of(*this);
    if (!df.Drawable()) return;
    TCoverageArea area;
    if (!CoverageArea(*this, source, src_rect, x, y, factor, hflip, vflip, area)) return;
    TPixelLock dst_lock(*this, true);
    if (!dst_lock.Locked()) return;
    TPixelLock src_lock(source, false);
    if (!src_lock.Locked()) return;
    const uint64_t samples = static_cast<uint64_t>(factor) * factor;
    for (int j = 0; j < area.rows; ++j) {
        uint8_t* row = dst_lock.WritableRow(area.top + j) + static_cast<size_t>(area.left) * df.bytes;
        const int block_row = BlockRow(area, j, factor, vflip);
        for (int i = 0; i < area.columns; ++i) {
            const int block_column = BlockColumn(area, i, factor, hflip);
            uint64_t ink = 0;
            for (int sy = 0; sy < factor; ++sy) {
                const uint8_t* bits = src_lock.Row(block_row + sy);
                for (int sx = block_column; sx < block_column + factor; ++sx)
                    ink += ((bits[sx >> 3] >> (7 - (sx & 7))) & 1) == 0;
            }
            if (alpha < 255) ink = (static_cast<uint64_t>(alpha) * ink) >> 8;
            if (ink == 0) continue;
            uint64_t d = ReadRaw(row, static_cast<size_t>(i), df.bytes), out = 0;
            for (int c = 0; c < df.mask_count; ++c) {
                uint64_t m = df.masks[c];
                out |= (((pixel & m) * ink + (d & m) * (samples - ink)) / samples) & m;
            }
            WriteRaw(row, static_cast<size_t>(i), df.bytes, static_cast<uint32_t>(out));
        }
    }
}

// Code counts k0..k3 weight the colours by t[k] (alpha·k below 255, k·256 at 255); the
// destination keeps the rest of F²·256. Above 255 the colours, weighted by the amount in the
// low byte, are added to the destination with saturation.
void TCustomDIBX::DrawTriColorCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t body,
                                       uint32_t edge, uint32_t shadow, bool hflip, bool vflip, int alpha, int factor)
{
    if (alpha <= 0 || source.StoreBitCount() != 4) return;
    TSurfaceFormat df = TSurfaceFormat::Of(*this);
    if (!df.Drawable()) return;
    TCoverageArea area;
    if (!CoverageArea(*this, source, src_rect, x, y, factor, hflip, vflip, area)) return;
    TPixelLock dst_lock(*this, true);
    if (!dst_lock.Locked()) return;
    TPixelLock src_lock(source, false);
    if (!src_lock.Locked()) return;
    const uint64_t samples = static_cast<uint64_t>(factor) * factor;
    const uint64_t total = samples * 256;
    const bool additive = alpha > 255;
    const uint64_t weight_unit = alpha >= 255 && !additive ? 256 : static_cast<uint64_t>(additive ? alpha & 0xFF : alpha);
    const uint64_t colours[4] = {0, body, edge, shadow};
    for (int j = 0; j < area.rows; ++j) {
        uint8_t* row = dst_lock.WritableRow(area.top + j) + static_cast<size_t>(area.left) * df.bytes;
        const int block_row = BlockRow(area, j, factor, vflip);
        for (int i = 0; i < area.columns; ++i) {
            const int block_column = BlockColumn(area, i, factor, hflip);
            uint64_t count[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < factor; ++sy) {
                const uint8_t* nibbles = src_lock.Row(block_row + sy);
                for (int sx = block_column; sx < block_column + factor; ++sx) {
                    uint8_t byte = nibbles[sx >> 1];
                    ++count[((sx & 1) ? byte : byte >> 4) & 3];
                }
            }
            if (count[0] == samples) continue;
            if (alpha == 255) {
                int only = -1;
                for (int k = 1; k < 4; ++k)
                    if (count[k] == samples) only = k;
                if (only > 0) {
                    WriteRaw(row, static_cast<size_t>(i), df.bytes, static_cast<uint32_t>(colours[only]));
                    continue;
                }
            }
            uint64_t d = ReadRaw(row, static_cast<size_t>(i), df.bytes), out = 0;
            uint64_t weights = 0;
            for (int k = 1; k < 4; ++k) weights += weight_unit * count[k];
            for (int c = 0; c < df.mask_count; ++c) {
                uint64_t m = df.masks[c], sum = 0;
                for (int k = 1; k < 4; ++k) sum += (colours[k] & m) * weight_unit * count[k];
                if (additive) out |= std::min(m, (d & m) + ((sum / total) & m));
                else out |= ((sum + (d & m) * (total - std::min(total, weights))) / total) & m;
            }
            WriteRaw(row, static_cast<size_t>(i), df.bytes, static_cast<uint32_t>(out));
        }
    }
}

}  // namespace mobu
