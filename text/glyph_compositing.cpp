#include "text/glyph_compositing.h"

#include <algorithm>
#include <array>

namespace mobu {
namespace {

struct TCompositeTables {
    std::array<std::array<uint8_t, 256>, 256> effect{};
    std::array<std::array<uint8_t, 256>, 256> weight{};
    TCompositeTables()
    {
        for (int m = 0; m < 256; ++m)
            for (int e = 0; e < 256; ++e) {
                const int after = e + m * (255 - e) / 255;
                effect[m][e] = static_cast<uint8_t>(after);
                weight[m][e] = static_cast<uint8_t>(after == 0 ? 0 : std::min(255, m * 255 / after));
            }
    }
};

const TCompositeTables& Tables()
{
    static const TCompositeTables tables;
    return tables;
}

}  // namespace

uint8_t CompositeEffect(int m, int e) { return Tables().effect[m & 255][e & 255]; }
uint8_t CompositeWeight(int m, int e) { return Tables().weight[m & 255][e & 255]; }

bool TGlyphCompositor::Inside(int x, int y) const
{
    return x >= colour_.clip.Left && x < colour_.clip.Right && y >= colour_.clip.Top && y < colour_.clip.Bottom &&
           x >= effect_.clip.Left && x < effect_.clip.Right && y >= effect_.clip.Top && y < effect_.clip.Bottom;
}

uint32_t TGlyphCompositor::Read(int x, int y) const
{
    const uint8_t* row = colour_.Row(y);
    if (colour_.bits == 32) return reinterpret_cast<const uint32_t*>(row)[x];
    return reinterpret_cast<const uint16_t*>(row)[x];
}

void TGlyphCompositor::Write(int x, int y, uint32_t value)
{
    uint8_t* row = colour_.Row(y);
    if (colour_.bits == 32) reinterpret_cast<uint32_t*>(row)[x] = value;
    else reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
}

// Per channel (weight * a + (255 - weight) * b) >> 8, each channel isolated by its mask.
uint32_t TGlyphCompositor::Mix(uint32_t a, uint32_t b, int weight) const
{
    uint32_t out = 0;
    for (uint32_t mask : colour_.masks) {
        const uint64_t channel =
            (static_cast<uint64_t>(weight) * (a & mask) + static_cast<uint64_t>(255 - weight) * (b & mask)) >> 8;
        out |= static_cast<uint32_t>(channel) & mask;
    }
    return out;
}

void TGlyphCompositor::Composite(int x, int y, int m, uint32_t pixel)
{
    if (m <= 0 || !Inside(x, y)) return;
    uint8_t& e = effect_.Row(y)[x];
    if (m >= 255) {
        e = 255;
        if (colour_.HasColor()) Write(x, y, pixel);
        return;
    }
    const int weight = CompositeWeight(m, e);
    e = CompositeEffect(m, e);
    if (colour_.HasColor()) Write(x, y, Mix(pixel, Read(x, y), weight));
}

void TGlyphCompositor::PutMaskMax(const uint8_t* mask, int width, int height, int x, int y, uint32_t pixel)
{
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const uint8_t m = mask[static_cast<size_t>(j) * width + i];
            if (m == 0 || !Inside(x + i, y + j)) continue;
            uint8_t& e = effect_.Row(y + j)[x + i];
            e = std::max(e, m);
            if (colour_.HasColor()) Write(x + i, y + j, pixel);
        }
}

void TGlyphCompositor::PutMaskCopy(const uint8_t* mask, int width, int height, int x, int y, uint32_t pixel)
{
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const uint8_t m = mask[static_cast<size_t>(j) * width + i];
            if (m == 0 || !Inside(x + i, y + j)) continue;
            effect_.Row(y + j)[x + i] = m;
            if (colour_.HasColor()) Write(x + i, y + j, pixel);
        }
}

void TGlyphCompositor::PutMaskComposite(const uint8_t* mask, int width, int height, int x, int y, uint32_t pixel)
{
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) Composite(x + i, y + j, mask[static_cast<size_t>(j) * width + i], pixel);
}

void TGlyphCompositor::Stamp(const uint8_t* mask, int width, int height, int x, int y, int w, uint32_t pixel)
{
    // The stamp costs (2w + 1)^2 composites per mask pixel: a huge glyph with a wide outline
    // (stored sizes are not to be trusted) gets a thinner outline rather than minutes of work.
    // Text of any usual size (a 128-pixel glyph with a 15-pixel outline) stays within it.
    constexpr int64_t kStampBudget = int64_t{1} << 24;
    const int64_t area = int64_t{std::max(width, 0)} * std::max(height, 0);
    while (w > 0 && area * (2 * w + 1) * (2 * w + 1) > kStampBudget) --w;
    if (w <= 0) return;
    // Only the part of each square that falls inside both clips is visited: a large glyph
    // stamped onto a small target costs what the target shows.
    const int left = std::max(colour_.clip.Left, effect_.clip.Left);
    const int top = std::max(colour_.clip.Top, effect_.clip.Top);
    const int right = std::min(colour_.clip.Right, effect_.clip.Right);
    const int bottom = std::min(colour_.clip.Bottom, effect_.clip.Bottom);
    for (int j = 0; j < height; ++j) {
        const int cy = y + j;
        const int first_dy = std::max(-w, top - cy);
        const int last_dy = std::min(w, bottom - 1 - cy);
        if (first_dy > last_dy) continue;
        for (int i = 0; i < width; ++i) {
            const int m = mask[static_cast<size_t>(j) * width + i];
            if (m == 0) continue;
            const int cx = x + i;
            const int first_dx = std::max(-w, left - cx);
            const int last_dx = std::min(w, right - 1 - cx);
            for (int dy = first_dy; dy <= last_dy; ++dy)
                for (int dx = first_dx; dx <= last_dx; ++dx)
                    if (dx != 0 || dy != 0) Composite(cx + dx, cy + dy, m, pixel);
        }
    }
}

void TGlyphCompositor::PutMaskOverOutline(const uint8_t* mask, int width, int height, int x, int y, uint32_t text,
                                          uint32_t outline)
{
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const int m = mask[static_cast<size_t>(j) * width + i];
            if (m == 0 || !Inside(x + i, y + j)) continue;
            effect_.Row(y + j)[x + i] = 255;
            if (colour_.HasColor()) Write(x + i, y + j, m == 255 ? text : Mix(text, outline, m));
        }
}

void TGlyphCompositor::Bar(const TRect& rect, uint32_t pixel, bool colour_too)
{
    for (int y = rect.Top; y < rect.Bottom; ++y)
        for (int x = rect.Left; x < rect.Right; ++x) {
            if (!Inside(x, y)) continue;
            effect_.Row(y)[x] = 255;
            if (colour_too && colour_.HasColor()) Write(x, y, pixel);
        }
}

}  // namespace mobu
