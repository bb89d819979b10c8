// Transitions that move or stretch whole columns (rows) of the pictures: the scrolls, the
// bamboo blind ("すだれ"), the rubber band ("ゴム") and the mosaic.
#pragma once

#include "graphics/dibx.h"
#include "graphics/wipes/custom_wipe.h"

namespace mobu {

// The new picture pushes the old one out to the left (to the right when reversed).
class TWipeScrollH : public TCustomWipe {
protected:
    void DrawState() override;
};

// The same upwards (downwards when reversed).
class TWipeScrollV : public TCustomWipe {
protected:
    void DrawState() override;
};

// One column stretched over the columns before it, sweeping across and back.
class TWipeSudareH : public TCustomWipe {
protected:
    void DrawState() override;
    virtual bool Vertical() const { return false; }
    // Width of the strip that ends at `a` and is stretched over 0..a; 1 for the blind.
    virtual int StripWidth(int a) const;
};

class TWipeSudareV : public TWipeSudareH {
protected:
    bool Vertical() const override { return true; }
};

// As the blind, with a strip that narrows towards the midpoint and widens again.
class TWipeRubberH : public TWipeSudareH {
protected:
    int StripWidth(int a) const override;
};

class TWipeRubberV : public TWipeRubberH {
protected:
    bool Vertical() const override { return true; }
};

// The pictures shrunk into growing blocks, crossed over and sharpened again.
class TWipeMosaic : public TCustomWipe {
protected:
    void DrawState() override;

private:
    TDIBX work_;
};

}  // namespace mobu
