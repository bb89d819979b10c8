#include "text/draw_glyph.h"

#include <algorithm>

#include "graphics/custom_dibx.h"
#include "text/font_style.h"

namespace mobu {
namespace {

// numerator / denominator (> 0) to the nearest integer, halves to the even neighbour.
int64_t RoundDivideEven(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const int64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

TRect Union(const TRect& a, const TRect& b)
{
    if (b.IsEmpty()) return a;
    if (a.IsEmpty()) return b;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

}  // namespace

int GlyphCentringShift(const TFontPixel& glyph, const TRect& cell)
{
    const int free_width = std::min(cell.Width(), glyph.size) - glyph.mask_width;
    if (glyph.left_offset + glyph.trailing_advance >= free_width) return 0;
    const int64_t a = glyph.abc_a, b = glyph.abc_b, c = glyph.abc_c;
    int64_t shift;
    // A character whose widths add up to nothing cannot be placed by them: the middle.
    if (a + c != 0 && a + b + c > 0) shift = RoundDivideEven((a + b / 2) * free_width, a + b + c);
    else shift = free_width / 2;
    return static_cast<int>(std::max<int64_t>(0, shift - glyph.left_offset));
}

TRect DrawGlyphOnPlanes(const TFontPixel& glyph, const TPixelPlane& colour, const TPixelPlane& effect,
                        const TGlyphStyle& style, const TRect& cell)
{
    if (glyph.IsEmpty()) return TRect{};
    const int w = std::max(0, style.outline_width);
    const int d = std::max(0, style.shadow_offset);
    const int u = (glyph.style & kFontUnderline) ? glyph.underline_thickness : 0;
    const int k = (glyph.style & kFontStrikeOut) ? glyph.strikeout_thickness : 0;
    const int p = glyph.strikeout_position;
    const int h = cell.Height();

    const int x = cell.Left + glyph.left_offset + GlyphCentringShift(glyph, cell);
    const int y = cell.Top + glyph.top_offset;
    TRect touched{x, y, x + glyph.mask_width + 2 * w + d, y + glyph.mask_height + 2 * w + d};

    TGlyphCompositor out(colour, effect);
    const uint8_t* mask = glyph.mask.data();
    const int mw = glyph.mask_width, mh = glyph.mask_height;
    // Bars span the cell, rows given relative to the cell's top.
    auto bar = [&](int first_row, int rows, int left_inset, int right_inset, uint32_t pixel, bool colour_too) {
        if (rows <= 0) return;
        TRect r{cell.Left + left_inset, cell.Top + first_row, cell.Right - right_inset, cell.Top + first_row + rows};
        if (r.IsEmpty()) return;
        out.Bar(r, pixel, colour_too);
        touched = Union(touched, r);
    };

    if (w == 0 && d == 0) {
        out.PutMaskMax(mask, mw, mh, x, y, style.text_pixel);
        if (u > 0) bar(h - u, u, 0, 0, 0, false);
        if (k > 0) bar(p, k, 0, 0, 0, false);
        return touched;
    }

    const int shadow_inset = style.previous_differs ? d : 0;
    const int text_inset = style.next_differs ? d : 0;
    if (d > 0) {
        if (u > 0) bar(h - 2 * w - u, 2 * w + u, shadow_inset, 0, style.shadow_pixel, true);
        if (w == 0) out.PutMaskCopy(mask, mw, mh, x + d, y + d, style.shadow_pixel);
        else out.Stamp(mask, mw, mh, x + w + d, y + w + d, w, style.shadow_pixel);
        if (k > 0) bar(d + p, 2 * w + k, shadow_inset, 0, style.shadow_pixel, true);
    }
    if (u > 0) {
        bar(h - d - w - u, u, 0, text_inset, style.text_pixel, true);
        if (w > 0) {
            bar(h - d - 2 * w - u, w, 0, text_inset, style.outline_pixel, true);
            bar(h - d - w, w, 0, text_inset, style.outline_pixel, true);
        }
    }
    if (w == 0) {
        out.PutMaskComposite(mask, mw, mh, x, y, style.text_pixel);
    } else {
        out.Stamp(mask, mw, mh, x + w, y + w, w, style.outline_pixel);
        out.PutMaskOverOutline(mask, mw, mh, x + w, y + w, style.text_pixel, style.outline_pixel);
    }
    if (k > 0) {
        bar(w + p, k, 0, text_inset, style.text_pixel, true);
        if (w > 0) {
            bar(p, w, 0, text_inset, style.outline_pixel, true);
            bar(p + w + k, w, 0, text_inset, style.outline_pixel, true);
        }
    }
    return touched;
}

namespace {

// Holds a surface's pixels locked for the length of one glyph.
class TPlaneLock {
public:
    explicit TPlaneLock(TCustomDIBX& surface) : surface_(surface)
    {
        if (surface.IsEmpty()) return;
        plane.origin = surface.PixelAddress(0, 0);
        if (plane.origin == nullptr) return;
        locked_ = true;
        plane.pitch = surface.Pitch();
        plane.bits = surface.BitCount();
        plane.masks[0] = surface.RedMask();
        plane.masks[1] = surface.GreenMask();
        plane.masks[2] = surface.BlueMask();
        plane.clip = IntersectRects(surface.GetClipRect(), TRect{0, 0, surface.Width(), surface.Height()});
    }
    ~TPlaneLock()
    {
        if (locked_) surface_.UnlockPixels();
    }
    TPlaneLock(const TPlaneLock&) = delete;
    TPlaneLock& operator=(const TPlaneLock&) = delete;

    TPixelPlane plane;

private:
    TCustomDIBX& surface_;
    bool locked_ = false;
};

}  // namespace

TRect DrawGlyph(const TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& effect, const TGlyphStyle& style,
                const TRect& cell)
{
    if (glyph.IsEmpty()) return TRect{};
    // Locked destination first, released last: the effect surface is let go before the colour.
    TPlaneLock colour_lock(colour);
    TPlaneLock effect_lock(effect);
    TPixelPlane effect_plane = effect_lock.plane;
    // Opacity lives in an 8-bit surface; its whole area may be written.
    if (effect_plane.origin == nullptr || effect.BitCount() != 8) return TRect{};
    effect_plane.clip = TRect{0, 0, effect.Width(), effect.Height()};
    return DrawGlyphOnPlanes(glyph, colour_lock.plane, effect_plane, style, cell);
}

}  // namespace mobu
