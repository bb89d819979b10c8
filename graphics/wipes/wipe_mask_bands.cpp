#include "graphics/wipes/wipe_mask_bands.h"

#include <algorithm>
#include <cmath>

#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

bool TWipeBlindH::UpdateMask()
{
    const int64_t p0 = Params[0], p1 = Params[1];
    if (!TakeLevel(Progress(p1 + 2 * p0 - 2))) return false;
    Binary = p1 < 2;
    uint8_t* row = Mask.Row(0);
    for (int x = 0; x < Mask.Width; ++x) {
        const int64_t k = x % p0;
        row[x] = Ramp(LastLevel, Reverse ? 2 * (p0 - k - 1) : 2 * k);
    }
    return true;
}

int TWipeBlindV::MaskHeight() const { return std::min(std::max(Params[0], 2), Height()); }

bool TWipeBlindV::UpdateMask()
{
    const int64_t p0 = Params[0], p1 = Params[1];
    if (!TakeLevel(Progress(p1 + 2 * p0 - 2))) return false;
    Binary = p1 < 2;
    for (int y = 0; y < Mask.Height; ++y) {
        const uint8_t level = Ramp(LastLevel, Reverse ? 2 * (p0 - y - 1) : 2 * int64_t{y});
        Mask.FillRect(0, y, Mask.Width, y + 1, level);
    }
    return true;
}

void TWipeOrderHMask::SetParam(int index, int32_t value) { TCustomWipe::SetParam(index, std::max(value, 1)); }

bool TWipeOrderHMask::UpdateMask()
{
    const int64_t p0 = Params[0], p1 = Params[1];
    const int64_t n = Rows() ? Height() : Width();
    const int64_t groups = (n + p0 - 1) / p0;
    if (!TakeLevel(Progress((groups + p0 - 2) * 16 + p1))) return false;
    Binary = p1 < 2;
    for (int64_t i = 0; i < n; ++i) {
        const int64_t k = Reverse ? n - i - 1 : i;
        const uint8_t level = Ramp(LastLevel, 16 * (k / p0 + k % p0));
        if (Rows()) Mask.FillRect(0, static_cast<int>(i), Mask.Width, static_cast<int>(i) + 1, level);
        else Mask.Row(0)[i] = level;
    }
    return true;
}

int TWipeGrid::Columns() const { return static_cast<int>((int64_t{Width()} + Params[0] - 1) / Params[0]); }
int TWipeGrid::CellRows() const { return static_cast<int>((int64_t{Height()} + Params[0] - 1) / Params[0]); }

int64_t TWipeGrid::Spread() const { return 4 * RoundEven(std::hypot(CellRows() - 1, Columns() - 1)); }

int64_t TWipeGrid::CellStart(int i, int j) const
{
    if (Reverse) i = CellRows() - 1 - i, j = Columns() - 1 - j;
    return 4 * RoundEven(std::hypot(i, j));
}

int TWipeGridH::MaskHeight() const { return std::min(std::max(Params[0], 2), Height()); }

int64_t TWipeGridH::CellStart(int, int j) const { return 4 * int64_t{Reverse ? Columns() - 1 - j : j}; }

int64_t TWipeGridV::CellStart(int i, int) const { return 4 * int64_t{Reverse ? CellRows() - 1 - i : i}; }

bool TWipeGrid::UpdateMask()
{
    const int64_t p0 = Params[0], p1 = Params[1];
    if (!TakeLevel(Progress(p1 + Spread() - 4))) return false;
    Binary = p1 < 2;
    Mask.Fill(0);
    const auto rows = static_cast<int>((int64_t{Mask.Height} + p0 - 1) / p0);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < Columns(); ++j) {
            const int64_t s = CellStart(i, j);
            if (LastLevel < s) continue;
            const auto side = static_cast<int>(std::min<__int128>(p0, static_cast<__int128>(p0) * (LastLevel - s) / p1));
            const int x0 = static_cast<int>(j * p0 + (p0 - side) / 2);
            const int y0 = static_cast<int>(i * p0 + (p0 - side) / 2);
            Mask.FillRect(x0, y0, x0 + side, y0 + side, Ramp(LastLevel, s));
        }
    }
    return true;
}

}  // namespace mobu
