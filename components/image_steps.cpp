#include "components/image_steps.h"

namespace mobu {

bool CaptureMaskHit(const TDIBSurface& mask, int32_t component_width, int32_t component_height, int32_t x,
                    int32_t y, bool flip_h, bool flip_v)
{
    if (component_width < 1 || component_height < 1 || mask.IsEmpty() || mask.BitCount() != 8) return false;
    if (x < 0 || y < 0 || x >= component_width || y >= component_height) return false;
    int64_t mx = static_cast<int64_t>(x) * mask.Width() / component_width;
    int64_t my = static_cast<int64_t>(y) * mask.Height() / component_height;
    if (flip_h) mx = mask.Width() - 1 - mx;
    if (flip_v) my = mask.Height() - 1 - my;
    if (mx < 0 || my < 0 || mx >= mask.Width() || my >= mask.Height()) return false;
    return mask.ScanLine(static_cast<int>(my))[mx] > 127;
}

void EnterFrame(TFrameClock& clock, const std::vector<int32_t>& delays, int32_t index, int64_t last_frame_wait)
{
    clock.Index = index;
    if (index < 0 || static_cast<size_t>(index) >= delays.size()) return;
    clock.FrameLeft += delays[static_cast<size_t>(index)];
    if (delays.size() > 1 && static_cast<size_t>(index) == delays.size() - 1) clock.FrameLeft += last_frame_wait;
}

TFrameAdvanceResult AdvanceFrames(TFrameClock& clock, const std::vector<int32_t>& delays, int64_t elapsed,
                                  bool repeat, int64_t last_frame_wait)
{
    const int32_t count = static_cast<int32_t>(delays.size());
    if (clock.Index < 0 || clock.Index >= count) return TFrameAdvanceResult::Running;
    if (clock.FrameLeft > 0) clock.FrameLeft -= elapsed;
    int32_t steps = 0;
    while (clock.FrameLeft < 1) {
        if (steps++ >= count) break;  // one cycle per update at most
        if (clock.Index < count - 1) {
            if (count <= 2) clock.FrameLeft = 0;
            EnterFrame(clock, delays, clock.Index + 1, last_frame_wait);
        } else if (repeat) {
            clock.FrameLeft = 0;
            EnterFrame(clock, delays, 0, last_frame_wait);
        } else {
            return TFrameAdvanceResult::Finished;
        }
    }
    return TFrameAdvanceResult::Running;
}

std::optional<TTileLayout> LayoutTile(int32_t picture_width, int32_t picture_height, int32_t distance_x,
                                      int32_t distance_y, int32_t scroll_x, int32_t scroll_y)
{
    if (picture_width < 1 || picture_height < 1) return std::nullopt;
    TTileLayout layout;
    const bool counts_x = distance_x >= 1 && distance_x >= picture_width / 2;
    const bool counts_y = distance_y >= 1 && distance_y >= picture_height / 2;
    layout.UsesDistance = counts_x || counts_y;
    layout.StepX = counts_x ? distance_x : picture_width;
    layout.StepY = counts_y ? distance_y : picture_height;
    auto wrap = [](int32_t scroll, int32_t step) {
        int32_t shift = scroll % step;
        return shift < 0 ? shift + step : shift;
    };
    layout.ShiftX = wrap(scroll_x, layout.StepX);
    layout.ShiftY = wrap(scroll_y, layout.StepY);
    return layout;
}

}  // namespace mobu
