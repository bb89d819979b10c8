// Mask transitions: an 8-bit level per pixel decides between the old picture (0), the new
// one (255) and a blend between them. The mask is as wide as the target and repeats
// vertically with period MaskHeight; a step recomposes the frame only when the quantised
// progress changed.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/wipes/custom_wipe.h"

namespace mobu {

// The 8-bit mask: Width × Height levels, rows top-down.
struct TWipeMaskPlane {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Levels;

    void SetSize(int width, int height);
    void Fill(uint8_t level);
    uint8_t* Row(int y) { return Levels.data() + static_cast<size_t>(y) * static_cast<size_t>(Width); }
    // Fills the rectangle [x0, x1) × [y0, y1), cut to the plane.
    void FillRect(int x0, int y0, int x1, int y1, uint8_t level);
};

class TWipeMask : public TCustomWipe {
public:
    // Param 0 at least 2, Param 1 at least 1.
    void SetParam(int index, int32_t value) override;
    // Sizes the mask (target width × MaskHeight) and clears it to 0.
    void Prepare() override;
    // Recomputes the mask for Position; false when its quantised level did not change.
    virtual bool UpdateMask() = 0;
    virtual int MaskHeight() const { return Height(); }

    TWipeMaskPlane Mask;
    int64_t LastLevel = -1;
    bool Binary = false;

protected:
    void DrawState() override;
    // Takes level L: false when it equals the last one, else stores it and returns true.
    bool TakeLevel(int64_t level);
    // The ramp of a position that starts at s: 0 before s, then (L - s)·255 / Param 1 up to 255.
    uint8_t Ramp(int64_t level, int64_t start) const;
    // The frame from the mask (select or blend).
    void Compose();
};

}  // namespace mobu
