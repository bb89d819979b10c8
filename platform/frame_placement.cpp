#include "platform/frame_placement.h"

#include <algorithm>
#include <cmath>

namespace mobu {

TPlacement PlaceFrame(int32_t frame_width, int32_t frame_height, int32_t output_width, int32_t output_height,
                      TScaleMode mode)
{
    TPlacement placement;
    if (frame_width <= 0 || frame_height <= 0 || output_width <= 0 || output_height <= 0) return placement;
    if (mode == TScaleMode::Stretch) {
        placement.width = output_width;
        placement.height = output_height;
        return placement;
    }
    int32_t factor = std::min(output_width / frame_width, output_height / frame_height);
    if (mode == TScaleMode::WholeOrAspect && factor >= 1) {
        placement.width = frame_width * factor;
        placement.height = frame_height * factor;
    } else {  // keep the aspect ratio: the side that fills the output decides
        // Compared in 64 bits: width-limited when output_width / frame_width is the smaller ratio.
        if (int64_t{output_width} * frame_height <= int64_t{output_height} * frame_width) {
            placement.width = output_width;
            placement.height = static_cast<int32_t>(int64_t{frame_height} * output_width / frame_width);
        } else {
            placement.height = output_height;
            placement.width = static_cast<int32_t>(int64_t{frame_width} * output_height / frame_height);
        }
        placement.width = std::max<int32_t>(1, placement.width);
        placement.height = std::max<int32_t>(1, placement.height);
    }
    placement.x = (output_width - placement.width) / 2;
    placement.y = (output_height - placement.height) / 2;
    return placement;
}

bool IsWholeScale(const TPlacement& placement, int32_t frame_width, int32_t frame_height)
{
    if (frame_width <= 0 || frame_height <= 0 || placement.width % frame_width != 0 ||
        placement.height % frame_height != 0)
        return false;
    return placement.width / frame_width == placement.height / frame_height && placement.width >= frame_width;
}

void OutputToGame(const TPlacement& placement, int32_t frame_width, int32_t frame_height, int32_t x, int32_t y,
                  int32_t& game_x, int32_t& game_y)
{
    if (placement.width <= 0 || placement.height <= 0) {
        game_x = x;
        game_y = y;
        return;
    }
    game_x = static_cast<int32_t>(std::floor((x - placement.x) * static_cast<double>(frame_width) / placement.width));
    game_y = static_cast<int32_t>(std::floor((y - placement.y) * static_cast<double>(frame_height) / placement.height));
}

int32_t FitWindowScale(int32_t requested, int32_t panel_width, int32_t panel_height, int32_t strip_height,
                       int32_t usable_width, int32_t usable_height)
{
    if (panel_width <= 0 || panel_height <= 0) return 1;
    int32_t fits = std::min(usable_width / panel_width, (usable_height - strip_height) / panel_height);
    int32_t factor = requested <= 0 ? fits : std::min(requested, fits);
    return std::max<int32_t>(1, factor);
}

}  // namespace mobu
