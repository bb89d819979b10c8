#include "components/map_image_masks.h"

namespace mobu {

void TMapImageMasks::Assign(const TFeskItem& item)
{
    frames_.clear();
    frames_.resize(item.Frames.size());
    for (size_t i = 0; i < item.Frames.size(); ++i) {
        const TFeskItemFrame& frame = *item.Frames[i];
        TFrameMasks& masks = frames_[i];
        if (frame.Mask) {
            masks.Loaded.Duplicate(frame.Mask->Store());
        } else {
            const int width = frame.Surface ? frame.Surface->Width() : 0;
            const int height = frame.Surface ? frame.Surface->Height() : 0;
            masks.Loaded.SetSize(width, height, 8);
            masks.Loaded.SetGreyPalette();
            masks.Loaded.FillValue(masks.Loaded.Bounds(), 255);
        }
        masks.Working = std::make_unique<TDIBX>();
        masks.Working->SetSize(masks.Loaded.Width(), masks.Loaded.Height(), 8);
        masks.Working->Store().SetGreyPalette();
    }
}

TDIBX& TMapImageMasks::Prepared(int index, const std::vector<TMapRegion>& regions, int hovered, bool outside)
{
    TFrameMasks& masks = frames_.at(static_cast<size_t>(index));
    if (masks.PreparedFor == hovered) return *masks.Working;
    masks.PreparedFor = hovered;
    TDIBSurface& work = masks.Working->Store();
    work.FillValue(work.Bounds(), 0);
    if (hovered >= 0 && static_cast<size_t>(hovered) < regions.size())
        PaintRegion(work, regions[static_cast<size_t>(hovered)], 0, 0, 255);
    for (int y = 0; y < work.Height(); ++y) {
        uint8_t* row = work.ScanLine(y);
        const uint8_t* loaded = masks.Loaded.ScanLine(y);
        for (int x = 0; x < work.Width(); ++x) {
            const uint8_t painted = outside ? static_cast<uint8_t>(~row[x]) : row[x];
            row[x] = painted & loaded[x];
        }
    }
    return *masks.Working;
}

}  // namespace mobu
