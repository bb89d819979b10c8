// Row access and the whole-picture operations the transitions share. Every surface here is
// 32 bits; rows are addressed top-down whatever order the store keeps them in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/custom_dibx.h"

namespace mobu::wipes {

// The rows of one locked surface (unlocked when the object ends).
class TRows32 {
public:
    TRows32(TCustomDIBX& surface, bool write);
    ~TRows32();
    TRows32(const TRows32&) = delete;
    TRows32& operator=(const TRows32&) = delete;

    uint32_t* Row(int y) const { return reinterpret_cast<uint32_t*>(base_ + y * pitch_); }
    bool Valid() const { return base_ != nullptr; }
    // Bytes from one row to the next (negative for a store kept bottom-up).
    std::ptrdiff_t Pitch() const { return pitch_; }

private:
    TCustomDIBX& surface_;
    uint8_t* base_ = nullptr;
    std::ptrdiff_t pitch_ = 0;
};

// target(x, y) := pixel(x, y, from(x, y), to(x, y)) over the whole target (all three the
// same size).
template <class F>
void MapPixels(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to, F pixel)
{
    TRows32 t(target, true), f(from, false), n(to, false);
    if (!t.Valid() || !f.Valid() || !n.Valid()) return;
    const int w = target.Width(), h = target.Height();
    for (int y = 0; y < h; ++y) {
        uint32_t* tr = t.Row(y);
        const uint32_t* fr = f.Row(y);
        const uint32_t* nr = n.Row(y);
        for (int x = 0; x < w; ++x) tr[x] = pixel(x, y, fr[x], nr[x]);
    }
}

// target := source (same size).
void CopyImage(TCustomDIBX& target, TCustomDIBX& source);
// The grey level g (0..255) in every channel of a 32-bit pixel.
inline uint32_t Grey32(int g) { return static_cast<uint32_t>(g) * 0x010101u; }
// Per channel: min(255, c + g), and max(0, c - g).
uint32_t AddGrey(uint32_t pixel, int g);
uint32_t SubGrey(uint32_t pixel, int g);
// round(x) with halves to the even neighbour.
int64_t RoundEven(double x);

}  // namespace mobu::wipes
