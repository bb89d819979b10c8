// Mask transitions that switch whole cells at once: the ordered dither and the blocks
// (in a coil or at random).
#pragma once

#include <vector>

#include "graphics/wipes/wipe_mask.h"

namespace mobu {

// A 64 × 64 tile whose cells turn in a fixed scrambled order, repeated over the screen.
class TWipeDither : public TWipeMask {
public:
    static constexpr int kTile = 64;
    static constexpr int32_t kSeed = 12341;
    void Prepare() override;
    bool UpdateMask() override;
    int MaskHeight() const override { return kTile; }
    // The tile's cells (k = x + 64·y) in the order they turn.
    static const std::vector<int>& CellOrder();

private:
    std::vector<uint8_t> tile_;
};

// Square blocks that turn one by one in an order fixed at Prepare.
class TWipeBlockCoil : public TWipeMask {
public:
    void Prepare() override;
    bool UpdateMask() override;
    // Side of a block: min(max(10, Param 0), W, H).
    int BlockSide() const;
    int BlockColumns() const;
    int BlockRows() const;
    // Block indexes (row-major) in the order they turn.
    std::vector<int> Order;

protected:
    // The order of the coil: around the outside, then inwards.
    virtual void MakeOrder();
};

// The same in an order shuffled with the process random generator.
class TWipeBlockRandom : public TWipeBlockCoil {
protected:
    void MakeOrder() override;
};

}  // namespace mobu
