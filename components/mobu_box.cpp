#include "components/mobu_box.h"

#include <algorithm>

namespace mobu {

void TMobuBox::Draw(TCustomDIBX& surface)
{
    TRect rect = GetBoundsRect();
    int alpha = std::clamp(GetProp(PR_ALPHA).AsInt(), 0, 255);
    if (Color >= 0 && alpha > 0) {
        uint32_t pixel = static_cast<uint32_t>(surface.ColorToPixel(Color));
        if (alpha >= 255) surface.FillRect(rect, pixel);
        else surface.FillRectAlpha(rect, pixel, alpha);
    }
    int border = GetProp(PR_BORDERWIDTH).AsInt();
    int32_t border_colour = GetProp(PR_BORDERCOLOR).AsInt();
    if (border > 0 && border_colour >= 0 && alpha > 0) {
        uint32_t pixel = static_cast<uint32_t>(surface.ColorToPixel(border_colour));
        if (alpha >= 255) surface.FrameRect(rect, border, pixel);
        else surface.FrameRectAlpha(rect, border, pixel, alpha);
    }
    DrawChildren(surface);
}

}  // namespace mobu
