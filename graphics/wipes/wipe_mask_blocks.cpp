#include "graphics/wipes/wipe_mask_blocks.h"

#include <algorithm>
#include <cstring>

#include "archive/ks_random.h"
#include "expr/script_random.h"

namespace mobu {

const std::vector<int>& TWipeDither::CellOrder()
{
    static const std::vector<int> order = [] {
        std::vector<int> cells;
        TKsRandom random(kSeed);
        random.FillPool(kTile * kTile);
        for (int k = 0; k < kTile * kTile; ++k) cells.push_back(random.Pick());
        return cells;
    }();
    return order;
}

void TWipeDither::Prepare()
{
    TWipeMask::Prepare();
    tile_.assign(kTile * kTile, 0);
}

bool TWipeDither::UpdateMask()
{
    Binary = true;
    const int64_t n = Pos() * kTile * kTile / Dur();
    if (!TakeLevel(n)) return false;
    if (tile_.size() != kTile * kTile) tile_.assign(kTile * kTile, 0);
    const std::vector<int>& order = CellOrder();
    // Fewer cells to write either way: the turned ones on 0, or the others on 255.
    const bool many = n > kTile * kTile / 2 - 1;
    std::fill(tile_.begin(), tile_.end(), many ? 255 : 0);
    if (many) {
        for (size_t k = static_cast<size_t>(n); k < order.size(); ++k) tile_[static_cast<size_t>(order[k])] = 0;
    } else {
        for (size_t k = 0; k < static_cast<size_t>(n); ++k) tile_[static_cast<size_t>(order[k])] = 255;
    }
    for (int y = 0; y < Mask.Height; ++y) {
        uint8_t* row = Mask.Row(y);
        const uint8_t* tile_row = tile_.data() + y * kTile;
        for (int x = 0; x < Mask.Width; x += kTile)
            std::memcpy(row + x, tile_row, static_cast<size_t>(std::min(kTile, Mask.Width - x)));
    }
    return true;
}

int TWipeBlockCoil::BlockSide() const { return std::min({std::max(10, Params[0]), Width(), Height()}); }

int TWipeBlockCoil::BlockColumns() const
{
    const int side = BlockSide();
    return side > 0 ? (Width() + side - 1) / side : 0;
}

int TWipeBlockCoil::BlockRows() const
{
    const int side = BlockSide();
    return side > 0 ? (Height() + side - 1) / side : 0;
}

void TWipeBlockCoil::Prepare()
{
    TWipeMask::Prepare();
    MakeOrder();
}

void TWipeBlockCoil::MakeOrder()
{
    Order.clear();
    int left = 0, top = 0, right = BlockColumns() - 1, bottom = BlockRows() - 1;
    const int columns = BlockColumns();
    while (left <= right && top <= bottom) {
        for (int x = left; x <= right; ++x) Order.push_back(top * columns + x);
        for (int y = top + 1; y <= bottom; ++y) Order.push_back(y * columns + right);
        if (top < bottom)
            for (int x = right - 1; x >= left; --x) Order.push_back(bottom * columns + x);
        if (left < right)
            for (int y = bottom - 1; y > top; --y) Order.push_back(y * columns + left);
        ++left, ++top, --right, --bottom;
    }
}

void TWipeBlockRandom::MakeOrder()
{
    const int count = BlockColumns() * BlockRows();
    Order.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) Order[static_cast<size_t>(i)] = i;
    // Fisher-Yates with the process generator, so a fixed seed repeats the order.
    for (int i = count - 1; i > 0; --i) std::swap(Order[static_cast<size_t>(i)], Order[static_cast<size_t>(ScriptRandom(i + 1))]);
}

bool TWipeBlockCoil::UpdateMask()
{
    Binary = true;
    const auto blocks = static_cast<int64_t>(Order.size());
    if (blocks == 0) return false;
    // A single block turns with the switch at the end.
    const int64_t n = blocks > 1 ? (blocks - 1) * Pos() / Dur() : -1;
    if (!TakeLevel(n)) return false;
    Mask.Fill(0);
    const int side = BlockSide(), columns = BlockColumns();
    for (int64_t k = 0; k <= n && k < blocks; ++k) {
        const int b = Order[static_cast<size_t>(k)];
        const int x = (b % columns) * side, y = (b / columns) * side;
        Mask.FillRect(x, y, x + side, y + side, 255);
    }
    return true;
}

}  // namespace mobu
