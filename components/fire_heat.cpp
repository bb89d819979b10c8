#include "components/fire_heat.h"

#include <algorithm>
#include <cstring>

namespace mobu {

TFireHeat::TFireHeat() : clamp_(256)
{
    for (int i = 0; i < 256; ++i) clamp_[static_cast<size_t>(i)] = static_cast<uint8_t>(i < 16 ? 16 : i);
    decay_ = MakeFireDecayTable(kFirePowerUnset);
}

bool TFireHeat::Setup(int32_t width, int32_t height, const TRandom& random)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int64_t count = int64_t{width} * height;
    // Each side is held to the cap too: a buffer 0 rows high and a billion columns wide has
    // no cells, but its column table would still take gigabytes.
    if (count > kMaxCells || width > kMaxCells || height > kMaxCells) return false;
    width_ = width, height_ = height;
    cells_.assign(static_cast<size_t>(count), kStartHeat);
    jitter_.resize(static_cast<size_t>(count));
    for (uint8_t& j : jitter_) j = static_cast<uint8_t>(std::clamp(random(9), 0, 8));
    row_order_.resize(2 * static_cast<size_t>(height));
    for (size_t i = 0; i < row_order_.size(); ++i) row_order_[i] = static_cast<int32_t>(i % static_cast<size_t>(height));
    column_order_.resize(2 * static_cast<size_t>(width));
    for (size_t i = 0; i < column_order_.size(); ++i) column_order_[i] = static_cast<int32_t>(i % static_cast<size_t>(width));
    row_offset_ = 0, column_offset_ = 0;
    return true;
}

void TFireHeat::Step()
{
    if (width_ == 0 || height_ == 0) return;
    row_offset_ = row_order_[static_cast<size_t>(row_offset_) + 1];
    if (row_offset_ % 8 == 0) column_offset_ = column_order_[static_cast<size_t>(column_offset_) + 1];
    const size_t w = static_cast<size_t>(width_);
    // Only the rows that exist are heated.
    for (int32_t y = std::max(height_ - 4, 0); y < height_; ++y)
        std::memset(cells_.data() + static_cast<size_t>(y) * w, kFullHeat, w);
    if (width_ < 3 || height_ < 3) return;
    // Row y reads itself and rows y + 1 and y + 2, which this step has not written yet, so
    // the top-down pass is the in-place rule and every row could run on its own.
    const int32_t* columns = column_order_.data() + column_offset_;
    for (int32_t y = 0; y <= height_ - 3; ++y) {
        uint8_t* row = cells_.data() + static_cast<size_t>(y) * w;
        const uint8_t* below = row + w;
        const uint8_t* below2 = below + w;
        const uint8_t* jitter = jitter_.data() + static_cast<size_t>(row_order_[static_cast<size_t>(row_offset_ + y)]) * w;
        for (size_t x = 1; x + 1 < w; ++x) {
            const int sum = below[x - 1] + below[x + 1] + row[x] + below2[x];
            const int index = std::clamp(decay_[static_cast<size_t>(sum)] - jitter[columns[x]], 0, 255);
            row[x] = clamp_[static_cast<size_t>(index)];
        }
    }
}

}  // namespace mobu
