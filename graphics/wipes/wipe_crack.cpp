#include "graphics/wipes/wipe_crack.h"

#include <algorithm>

#include "expr/script_random.h"
#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

void TWipeCrack::SetParam(int index, int32_t value)
{
    if (index == 0) {
        TCustomWipe::SetParam(0, std::max(value, 16));
        MakeChips();
    } else if (index == 1) {
        TCustomWipe::SetParam(1, std::max(value, 0));
        SetStarts();
    } else {
        TCustomWipe::SetParam(index, value);
    }
}

void TWipeCrack::Prepare()
{
    if (built_width_ != Width() || built_height_ != Height()) MakeChips();
}

void TWipeCrack::MakeChips()
{
    const int w = Width(), h = Height();
    built_width_ = w, built_height_ = h;
    Chips.clear();
    const int64_t side = std::max(Params[0], 16);
    const int64_t columns = (w + side - 1) / side, rows = (h + side - 1) / side;
    FallTime = 0;
    while (Drop(FallTime) < h) ++FallTime;
    const int64_t count = columns * rows;
    // The cells in random order: the j-th drawn becomes chip j.
    std::vector<int64_t> cells(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) cells[static_cast<size_t>(i)] = i;
    for (int64_t j = 0; j < count; ++j) {
        const auto pick = j + ScriptRandom(static_cast<int32_t>(count - j));
        std::swap(cells[static_cast<size_t>(j)], cells[static_cast<size_t>(pick)]);
        TWipeCrackDraw chip;
        const int64_t cell = cells[static_cast<size_t>(j)];
        chip.HomeX = static_cast<int32_t>((cell % columns) * side);
        chip.HomeY = static_cast<int32_t>((cell / columns) * side);
        chip.Speed = ScriptRandom(200) - 100;
        Chips.push_back(chip);
    }
    SetStarts();
}

void TWipeCrack::SetStarts()
{
    const int64_t interval = std::max(Params[1], 0);
    for (size_t j = 0; j < Chips.size(); ++j) Chips[j].Start = static_cast<int64_t>(j) * interval;
    LastStart = Chips.empty() ? 0 : static_cast<int64_t>(Chips.size() - 1) * interval;
}

void TWipeCrack::DrawState()
{
    if (built_width_ != Width() || built_height_ != Height()) MakeChips();
    const int w = Width(), h = Height();
    const int side = std::max(Params[0], 16);
    const auto t = static_cast<int64_t>(static_cast<__int128>(Pos()) * (FallTime + LastStart) / Dur());
    CopyImage(*Target, *ToImage);
    auto square = [&](const TWipeCrackDraw& chip) {
        return IntersectRects(TRect{chip.HomeX, chip.HomeY, chip.HomeX + side, chip.HomeY + side}, TRect{0, 0, w, h});
    };
    for (const TWipeCrackDraw& chip : Chips) {
        if (chip.Start <= t) continue;
        const TRect r = square(chip);
        Target->Draw(r.Left, r.Top, *FromImage, r, false, false, false);
    }
    for (auto it = Chips.rbegin(); it != Chips.rend(); ++it) {
        TWipeCrackDraw& chip = *it;
        if (chip.Gone || chip.Start > t) continue;
        // Past the fall time every chip is below the screen; the drop never grows beyond it.
        const int64_t a = std::min(t - chip.Start, FallTime);
        const int64_t y = chip.HomeY + Drop(a);
        if (y >= h) {
            chip.Gone = true;
            continue;
        }
        const int64_t x = chip.HomeX + a * chip.Speed / 100;
        if (x <= -side || x >= w) continue;
        const TRect r = square(chip);
        Target->Draw(static_cast<int>(x), static_cast<int>(y), *FromImage, r, false, false, false);
    }
}

}  // namespace mobu
