#include "platform/frame_placement.h"

#include <algorithm>
#include <cmath>

namespace mobu {

TPlacement PlaceFrame(int32_t frame_width, int32_t frame_height, int32_t output_width, int32_t output_height)
{
    TPlacement placement;
    if (frame_width <= 0 || frame_height <= 0 || output_width <= 0 || output_height <= 0) return placement;
    int32_t factor = std::min(output_width / frame_width, output_height / frame_height);
    if (factor >= 1) {
        placement.width = frame_width * factor;
        placement.height = frame_height * factor;
    } else {  // the output is smaller than the frame: shrink, keeping the aspect ratio
        double scale = std::min(static_cast<double>(output_width) / frame_width,
                                static_cast<double>(output_height) / frame_height);
        placement.width = std::max<int32_t>(1, static_cast<int32_t>(frame_width * scale));
        placement.height = std::max<int32_t>(1, static_cast<int32_t>(frame_height * scale));
    }
    placement.x = (output_width - placement.width) / 2;
    placement.y = (output_height - placement.height) / 2;
    return placement;
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

}  // namespace mobu
