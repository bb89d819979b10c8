// "チップ落下": the old picture breaks into square chips (Param 0 = side S, at least 16)
// that lift slightly and fall off the screen one after the other, Param 1 (= I, at least 0)
// time units apart, in an order drawn with the process random generator.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/wipes/custom_wipe.h"

namespace mobu {

// One falling chip.
struct TWipeCrackDraw {
    int32_t HomeX = 0, HomeY = 0;
    int64_t Start = 0;
    int32_t Speed = 0;  // horizontal, in 1/100 pixel per time unit
    bool Gone = false;  // fell below the screen
};

class TWipeCrack : public TCustomWipe {
public:
    // (0, S) rebuilds the chips; (1, I) recomputes their start times.
    void SetParam(int index, int32_t value) override;
    void Prepare() override;

    std::vector<TWipeCrackDraw> Chips;
    int64_t FallTime = 0;  // T: time of the fall from the top to below the screen
    int64_t LastStart = 0;

    // The chip's drop at time a after its start: (5a² − 1500a) div 1000.
    static int64_t Drop(int64_t a) { return (5 * a * a - 1500 * a) / 1000; }

protected:
    void DrawState() override;

private:
    void MakeChips();
    void SetStarts();
    int built_width_ = -1, built_height_ = -1;
};

}  // namespace mobu
