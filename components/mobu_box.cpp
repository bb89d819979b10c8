#include "components/mobu_box.h"

#include <algorithm>
#include <cstdint>

namespace mobu {

int32_t ScaleColour(int32_t colour, int32_t amount)
{
    uint32_t c = static_cast<uint32_t>(colour), a = static_cast<uint32_t>(std::clamp(amount, 0, 255));
    uint32_t red = (c & 0xFF) * a >> 8, green = ((c >> 8) & 0xFF) * a >> 8, blue = ((c >> 16) & 0xFF) * a >> 8;
    return static_cast<int32_t>(red | green << 8 | blue << 16);
}

namespace {

// The rectangle shrunk by `inset` on each side (empty when nothing is left).
TRect Shrunk(const TRect& r, int32_t inset)
{
    int64_t left = int64_t{r.Left} + inset, top = int64_t{r.Top} + inset;
    int64_t right = int64_t{r.Right} - inset, bottom = int64_t{r.Bottom} - inset;
    if (left >= right || top >= bottom) return TRect{};
    return TRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                 static_cast<int32_t>(bottom)};
}

}  // namespace

void TMobuBox::Draw(TCustomDIBX& surface)
{
    int32_t alpha = GetProp(PR_ALPHA).AsInt();
    if (alpha > 0 && alpha < kAlphaLimit) {
        const TRect rect = GetBoundsRect();
        const bool additive = alpha > kOpaqueAlpha;
        // Additive drawing adds the colour scaled by its amount; the others use it as it is.
        auto pixel_of = [&](int32_t colour) {
            return static_cast<uint32_t>(surface.ColorToPixel(additive ? ScaleColour(colour, alpha - 256) : colour));
        };
        TRect inside = rect;
        int32_t border = GetProp(PR_BORDERWIDTH).AsInt();
        int32_t border_colour = GetProp(PR_BORDERCOLOR).AsInt();
        if (border > 0 && border_colour >= 0) {
            uint32_t pixel = pixel_of(border_colour);
            if (additive) surface.FrameRectAdd(rect, border, pixel);
            else if (alpha == kOpaqueAlpha) surface.FrameRect(rect, border, pixel);
            else surface.FrameRectAlpha(rect, border, pixel, alpha);
            // The fill stays inside the border, so no pixel is blended twice.
            inside = Shrunk(rect, border);
        }
        if (Color >= 0 && !inside.IsEmpty()) {
            uint32_t pixel = pixel_of(Color);
            if (additive) surface.FillRectAdd(inside, pixel);
            else if (alpha == kOpaqueAlpha) surface.FillRect(inside, pixel);
            else surface.FillRectAlpha(inside, pixel, alpha);
        }
    }
    DrawChildren(surface);
}

}  // namespace mobu
