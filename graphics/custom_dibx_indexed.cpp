// Indexed sources drawn through colour tables (4-bit images, 8-bit additive effects). Each
// source row is turned into destination pixels first; pixels to leave alone become values
// the row kernels leave unchanged (the destination itself for copies and blends, 0 for adds).
#include <algorithm>
#include <vector>

#include "graphics/custom_dibx.h"
#include "graphics/custom_dibx_blit.h"

namespace mobu {

bool CutToClip(const TCustomDIBX& dst, TRect& s, int& x, int& y, bool hflip, bool vflip)
{
    TRect clip = dst.GetClipRect();
    int64_t left = std::max<int64_t>(x, clip.Left), top = std::max<int64_t>(y, clip.Top);
    int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + s.Width(), clip.Right);
    int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + s.Height(), clip.Bottom);
    if (left >= right || top >= bottom) return false;
    int cut_left = static_cast<int>(left - x), cut_top = static_cast<int>(top - y);
    int cut_right = static_cast<int>(x + static_cast<int64_t>(s.Width()) - right);
    int cut_bottom = static_cast<int>(y + static_cast<int64_t>(s.Height()) - bottom);
    if (hflip) s.Left += cut_right, s.Right -= cut_left;
    else s.Left += cut_left, s.Right -= cut_right;
    if (vflip) s.Top += cut_bottom, s.Bottom -= cut_top;
    else s.Top += cut_top, s.Bottom -= cut_bottom;
    x = static_cast<int>(left);
    y = static_cast<int>(top);
    return true;
}

namespace {

// Walks the clipped rows: row(pixels, destination row, source row, count) with `pixels` a
// buffer of count destination pixels to fill from source columns left to right.
template <typename Row>
void IndexedRows(TCustomDIBX& dst, TCustomDIBX& source, TRect s, int x, int y, bool hflip, bool vflip,
                 int source_bits, Row row)
{
    TSurfaceFormat df = TSurfaceFormat::Of(dst);
    if (!df.Drawable() || dst.IsEmpty() || source.IsEmpty() || source.StoreBitCount() != source_bits) return;
    if (!CutSourceToBounds(s, x, y, source, nullptr, hflip, vflip)) return;
    if (!CutToClip(dst, s, x, y, hflip, vflip)) return;
    TPixelLock dst_lock(dst, true);
    if (!dst_lock.Locked()) return;
    TPixelLock src_lock(source, false);
    if (!src_lock.Locked()) return;
    const size_t n = static_cast<size_t>(s.Width());
    std::vector<int> columns(n);
    for (size_t i = 0; i < n; ++i)
        columns[i] = hflip ? s.Right - 1 - static_cast<int>(i) : s.Left + static_cast<int>(i);
    for (int step = 0; step < s.Height(); ++step) {
        int r = RowInMemoryOrder(step, s.Height(), dst.Pitch());
        int sy = vflip ? s.Bottom - 1 - r : s.Top + r;
        row(dst_lock.WritableRow(y + r) + static_cast<size_t>(x) * df.bytes, src_lock.Row(sy), columns, df);
    }
}

// One row of a 4-bit source through the 16-entry table (see DrawIndexed4); `columns` are
// the source columns of the destination pixels from left to right.
void Indexed4Row(uint8_t* dst_row, const uint8_t* src_row, const std::vector<int>& columns, const TSurfaceFormat& f,
                 int alpha, int64_t key, const uint32_t* colour_table, std::vector<uint8_t>& pixels)
{
    const bool additive = alpha > 255;
    TBlendOp op = additive ? TBlendOp::Add : alpha == 255 ? TBlendOp::Copy : TBlendOp::Alpha;
    const uint32_t amount = additive ? static_cast<uint32_t>(alpha & 0xFF) : static_cast<uint32_t>(alpha);
    const size_t n = columns.size();
    pixels.resize(n * f.bytes);
    uint64_t full = 0;
    for (int c = 0; c < f.mask_count; ++c) full |= f.masks[c];
    for (size_t i = 0; i < n; ++i) {
        int column = columns[i];
        uint8_t byte = src_row[column >> 1];
        int index = (column & 1) ? byte & 15 : byte >> 4;
        uint32_t d = ReadRaw(dst_row, i, f.bytes);
        uint32_t value = colour_table[index];
        bool skip = index == key;
        if (additive && (value == 0 || (d & full) == full)) skip = true;
        WriteRaw(pixels.data(), i, f.bytes, skip ? (additive ? 0 : d) : value);
    }
    TRowBlender(f, f, op, amount, kernels::kNoKey).Run(dst_row, pixels.data(), nullptr, n);
}

// One row of an 8-bit source added through the 256-entry table (see DrawIndexedAdd).
void IndexedAddRow(uint8_t* dst_row, const uint8_t* src_row, const std::vector<int>& columns, const TSurfaceFormat& f,
                   int amount, int64_t threshold, const uint32_t* colour_table, std::vector<uint8_t>& pixels)
{
    const size_t n = columns.size();
    pixels.resize(n * f.bytes);
    for (size_t i = 0; i < n; ++i) {
        int index = src_row[columns[i]];
        WriteRaw(pixels.data(), i, f.bytes, index > threshold ? colour_table[index] : 0);
    }
    TRowBlender(f, f, TBlendOp::Add, static_cast<uint32_t>(std::min(amount, 256)), kernels::kNoKey)
        .Run(dst_row, pixels.data(), nullptr, n);
}

}  // namespace

void TCustomDIBX::DrawIndexed4(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                               int alpha, const uint32_t (&colour_table)[16])
{
    if (alpha <= 0) return;
    const int64_t key = source.TransparentColor;
    std::vector<uint8_t> pixels;
    IndexedRows(*this, source, src_rect, x, y, hflip, vflip, 4,
                [&](uint8_t* dst_row, const uint8_t* src_row, const std::vector<int>& columns, const TSurfaceFormat& f) {
                    Indexed4Row(dst_row, src_row, columns, f, alpha, key, colour_table, pixels);
                });
}

void TCustomDIBX::DrawIndexedAdd(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                                 int amount, const uint32_t (&colour_table)[256])
{
    if (amount <= 0) return;
    const int64_t threshold = source.TransparentColor;
    std::vector<uint8_t> pixels;
    IndexedRows(*this, source, src_rect, x, y, hflip, vflip, 8,
                [&](uint8_t* dst_row, const uint8_t* src_row, const std::vector<int>& columns, const TSurfaceFormat& f) {
                    IndexedAddRow(dst_row, src_row, columns, f, amount, threshold, colour_table, pixels);
                });
}

void TCustomDIBX::StretchDrawIndexed(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool hflip,
                                     bool vflip, int alpha, std::span<const uint32_t> colour_table)
{
    if (alpha <= 0) return;
    const int source_bits = source.StoreBitCount();
    if (source_bits == 4 ? colour_table.size() < 16 : source_bits != 8 || colour_table.size() < 256) return;
    TSurfaceFormat df = TSurfaceFormat::Of(*this);
    if (!df.Drawable() || IsEmpty() || source.IsEmpty()) return;
    TStretchPlan plan;
    if (!PlanStretch(*this, dest_rect, source, src_rect, nullptr, hflip, vflip, plan)) return;
    TPixelLock dst_lock(*this, true);
    if (!dst_lock.Locked()) return;
    TPixelLock src_lock(source, false);
    if (!src_lock.Locked()) return;
    const std::vector<int> columns(plan.column_of.begin(), plan.column_of.end());
    const int64_t key = source.TransparentColor;
    std::vector<uint8_t> pixels;
    for (int step = 0; step < plan.rows; ++step) {
        int r = RowInMemoryOrder(step, plan.rows, Pitch());
        uint8_t* dst_row = dst_lock.WritableRow(plan.y + r) + static_cast<size_t>(plan.x) * df.bytes;
        const uint8_t* src_row = src_lock.Row(plan.row_of[static_cast<size_t>(r)]);
        if (source_bits == 4) Indexed4Row(dst_row, src_row, columns, df, alpha, key, colour_table.data(), pixels);
        else IndexedAddRow(dst_row, src_row, columns, df, alpha, key, colour_table.data(), pixels);
    }
}

}  // namespace mobu
