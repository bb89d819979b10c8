// Mask transitions in bands and cells: the blinds, the curtains (ordered masks) and the
// grids. Each position of the mask starts its ramp at its own level.
#pragma once

#include "graphics/wipes/wipe_mask.h"

namespace mobu {

// Vertical slats Param 0 columns wide that turn one after the other.
class TWipeBlindH : public TWipeMask {
public:
    bool UpdateMask() override;
    int MaskHeight() const override { return 1; }
};

// Horizontal slats Param 0 rows high.
class TWipeBlindV : public TWipeMask {
public:
    bool UpdateMask() override;
    // Param 0 rows, at most the target height (the mask repeats with that period).
    int MaskHeight() const override;
};

// Columns in groups of Param 0 that close like a curtain, every param at least 1.
class TWipeOrderHMask : public TWipeMask {
public:
    void SetParam(int index, int32_t value) override;
    bool UpdateMask() override;
    int MaskHeight() const override { return 1; }

protected:
    virtual bool Rows() const { return false; }
};

class TWipeCurtainH : public TWipeOrderHMask {};

// The same over rows.
class TWipeOrderVMask : public TWipeOrderHMask {
public:
    int MaskHeight() const override { return Height(); }

protected:
    bool Rows() const override { return true; }
};

class TWipeCurtainV : public TWipeOrderVMask {};

// Square cells of side Param 0 that grow from their centres, in order of distance from the
// top-left corner (from the far corner when reversed).
class TWipeGrid : public TWipeMask {
public:
    bool UpdateMask() override;

protected:
    // Number of cell columns and rows.
    int Columns() const;
    int CellRows() const;
    // d of the level formula and the start of cell (row i, column j).
    virtual int64_t Spread() const;
    virtual int64_t CellStart(int i, int j) const;
};

// Cells by column (the mask one cell row high).
class TWipeGridH : public TWipeGrid {
public:
    int MaskHeight() const override;

protected:
    int64_t Spread() const override { return 4 * int64_t{Columns()}; }
    int64_t CellStart(int i, int j) const override;
};

// Cells by row.
class TWipeGridV : public TWipeGrid {
protected:
    int64_t Spread() const override { return 4 * int64_t{CellRows()}; }
    int64_t CellStart(int i, int j) const override;
};

}  // namespace mobu
