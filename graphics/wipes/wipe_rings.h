// Transitions computed per pixel from the distance to the centre: the spotlight ring and
// the ripple.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/wipes/custom_wipe.h"

namespace mobu {

// A bright ring spreads from the centre (towards it when reversed) and leaves the new
// picture behind it.
class TWipeSpot : public TCustomWipe {
public:
    // Computes every pixel's start n and the span.
    void SetReverse(uint8_t reverse) override;

    std::vector<int32_t> Starts;  // n per pixel, rows top-down
    int64_t Span = 0;

protected:
    void DrawState() override;

private:
    void MakeStarts();
    int table_width_ = -1, table_height_ = -1;
};

// The new picture spreads from the centre behind a ring Param 0 (amplitude) deep in which it
// is pushed outwards by a saw-tooth profile.
class TWipeRipple : public TCustomWipe {
public:
    void SetParam(int index, int32_t value) override;
    void Prepare() override;

    // Ring width N and its profile.
    int32_t RingWidth = 0;
    std::vector<int32_t> Profile;

protected:
    void DrawState() override;

private:
    struct TPoint {
        int32_t distance;
        int32_t cosine, sine;  // 16.16
    };
    void MakeTables();
    void MakeProfile();
    std::vector<TPoint> quarter_;  // the top-left quarter (middle row and column included)
    int quarter_width_ = 0, quarter_height_ = 0;
    int table_width_ = -1, table_height_ = -1;
};

}  // namespace mobu
