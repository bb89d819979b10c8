// The scene of a transition test (FROM, TO and the target holding FROM, solid colours or
// pixels that name their position) and the per-channel pixel arithmetic the transition tests expect, written out from the formulas:
// grey added with saturation, grey subtracted with a floor of 0, and the mask blend
// ((m·s + (255 − m)·d) >> 8 on every byte).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/wipes/wipe_table.h"

namespace mobu::wipe_test {

inline uint32_t AddGrey(uint32_t p, int g)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) out |= std::min<uint32_t>(255, ((p >> shift) & 0xFF) + g) << shift;
    return out;
}

inline uint32_t SubGrey(uint32_t p, int g)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = static_cast<int>((p >> shift) & 0xFF) - g;
        out |= static_cast<uint32_t>(c < 0 ? 0 : c) << shift;
    }
    return out;
}

inline uint32_t Blend(uint32_t s, uint32_t d, uint32_t m)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= ((m * ((s >> shift) & 0xFF) + (255 - m) * ((d >> shift) & 0xFF)) >> 8) << shift;
    return out;
}

inline constexpr uint32_t kFrom = 0x00C86432;
inline constexpr uint32_t kTo = 0x00102030;

// A transition of `id` over the pictures, the given parameters set after the table's, reverse
// and the mask name given, prepared. Coded pictures: pixel (x, y) = base + x + 256·y.
struct TScene {
    TDIBX target, from, to;
    std::unique_ptr<TCustomWipe> wipe;

    TScene(int id, int w, int h, bool coded = false, bool reverse = false, int32_t duration = 1000,
           std::vector<std::pair<int, int>> params = {}, const std::string& mask = {})
    {
        from.SetSize(w, h, 32);
        to.SetSize(w, h, 32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                from.SetPixel(x, y, coded ? 0x00100000u + static_cast<uint32_t>(x + 256 * y) : kFrom);
                to.SetPixel(x, y, coded ? 0x00200000u + static_cast<uint32_t>(x + 256 * y) : kTo);
            }
        target.SetSize(w, h, 32);
        target.Assign(from);
        wipe = CreateWipe(id, &target, &from, &to);
        if (!wipe) return;
        for (auto [index, value] : params) wipe->SetParam(index, value);
        wipe->SetReverse(reverse ? 1 : 0);
        wipe->SetMaskName(mask);
        wipe->Duration = duration;
        wipe->Prepare();
    }
    bool StepAt(int32_t position)
    {
        wipe->Position = position;
        return wipe->Step();
    }
    uint32_t At(int x, int y) { return target.GetPixel(x, y); }
    uint32_t From(int x, int y) { return from.GetPixel(x, y); }
    uint32_t To(int x, int y) { return to.GetPixel(x, y); }
    bool IsNew(int x, int y) { return At(x, y) == to.GetPixel(x, y); }
    bool IsOld(int x, int y) { return At(x, y) == from.GetPixel(x, y); }
};

}  // namespace mobu::wipe_test
