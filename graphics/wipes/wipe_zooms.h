// Transitions that turn, zoom or squeeze the pictures: the old picture shrinking away, the
// new one growing in, the zoom into a point and the twists.
#pragma once

#include "graphics/wipes/custom_wipe.h"

namespace mobu {

// The old picture shrinks (turning by Param 0 in 1/256 turns) over the new one.
class TWipeSmall : public TCustomWipe {
protected:
    void DrawState() override;
};

// The new picture grows (turning back from Param 0) over the old one.
class TWipeBig : public TCustomWipe {
protected:
    void DrawState() override;
};

// The old picture zooms into the point (Param 0, Param 1), the new one out of it.
class TWipeZoomin : public TCustomWipe {
protected:
    void DrawState() override;
};

// Rows turn about the vertical axis one after the other, the old picture on the front.
class TWipeTwistH : public TCustomWipe {
protected:
    void DrawState() override;
    virtual bool Columns() const { return false; }
};

// Columns turn about the horizontal axis.
class TWipeTwistV : public TWipeTwistH {
protected:
    bool Columns() const override { return true; }
};

}  // namespace mobu
