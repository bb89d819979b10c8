// Mask transitions drawn as shapes around the screen centre: the circle, the clock hand and
// the fans. The pie slices and circles are rasterised here: a pixel (x, y) belongs to a
// shape when the point (x, y) does.
#pragma once

#include "graphics/wipes/wipe_mask.h"

namespace mobu {

// A circle of the new picture grows from the centre (reversed: one of the old picture
// shrinks into it).
class TWipeCircle : public TWipeMask {
public:
    bool UpdateMask() override;
};

// A hand sweeps clockwise from θ0 = Param 0 degrees past straight up (counterclockwise when
// reversed) and uncovers the new picture behind it.
class TWipeClockhand : public TWipeMask {
public:
    bool UpdateMask() override;

protected:
    double StartAngle() const;
    // Fills the pie slices in the mask (white), when their rounded end points changed.
    bool DrawSlices(const double* starts, double sweep, int count);

private:
    int64_t last_key_ = -1;
};

// A fan centred on θ0 opens to both sides until it is the full circle.
class TWipeFan : public TWipeClockhand {
public:
    bool UpdateMask() override;
};

// Two opposite fans that each open to a half circle.
class TWipeWFan : public TWipeClockhand {
public:
    bool UpdateMask() override;
};

// The slice of the circle of radius r around (cx, cy) swept counterclockwise on the screen
// (y pointing down) from the angle `start` through `sweep` radians (0..2π), as 255 in
// `plane`.
void FillPieSlice(TWipeMaskPlane& plane, double cx, double cy, double r, double start, double sweep);
// The filled circle of radius r around (cx, cy) at `level`.
void FillCircle(TWipeMaskPlane& plane, double cx, double cy, double r, uint8_t level);

}  // namespace mobu
