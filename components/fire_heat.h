// The heat simulation of the fire surface: one byte of heat per cell, cooled through the
// decay table with a fixed per-cell jitter while the bottom rows stay at full heat.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "components/fire_tables.h"

namespace mobu {

class TFireHeat {
public:
    // The largest number of cells a buffer may have; larger sizes are refused.
    static constexpr int64_t kMaxCells = int64_t{1} << 24;
    // The heat of the bottom rows and of every cell at setup.
    static constexpr uint8_t kFullHeat = 254;
    static constexpr uint8_t kStartHeat = 16;
    using TRandom = std::function<int32_t(int32_t)>;

    TFireHeat();
    // Sizes the buffer (negative sizes are 0) and runs the setup: jitter from `random`
    // (0..8 per cell), the row and column order tables, every cell at kStartHeat, offsets 0.
    // False (nothing changed) when the size has more than kMaxCells cells or a side longer
    // than that.
    bool Setup(int32_t width, int32_t height, const TRandom& random);
    void SetDecay(const TFireDecayTable& decay) { decay_ = decay; }
    // One simulation step.
    void Step();

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    const std::vector<uint8_t>& Cells() const { return cells_; }
    std::vector<uint8_t>& Cells() { return cells_; }
    std::vector<uint8_t>& Jitter() { return jitter_; }
    int32_t RowOffset() const { return row_offset_; }
    int32_t ColumnOffset() const { return column_offset_; }
    const std::vector<uint8_t>& Clamp() const { return clamp_; }

private:
    int32_t width_ = 0, height_ = 0;
    std::vector<uint8_t> cells_, jitter_, clamp_;
    std::vector<int32_t> row_order_, column_order_;
    TFireDecayTable decay_{};
    int32_t row_offset_ = 0, column_offset_ = 0;
};

}  // namespace mobu
