// Screen transitions: the base class every effect derives from. A transition mixes the
// picture shown at the start (FromImage) and the one shown at the end (ToImage) into Target
// for a Position between 0 and Duration (the same time unit, chosen by the caller).
//
// Only 32-bit surfaces of one size are drawn: a step with any other surfaces reports the
// transition finished instead of drawing past them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "graphics/custom_dibx.h"

namespace mobu {

class TCustomWipe {
public:
    TCustomWipe() = default;
    TCustomWipe(const TCustomWipe&) = delete;
    TCustomWipe& operator=(const TCustomWipe&) = delete;
    virtual ~TCustomWipe() = default;

    // ---- virtual operations, in slot order ----
    virtual void SetReverse(uint8_t reverse) { Reverse = reverse; }
    virtual int32_t GetParam(int index) const;
    virtual void SetParam(int index, int32_t value);
    virtual void SetMaskName(const std::string& name) { MaskName = name; }
    virtual void Create(TCustomDIBX* target, TCustomDIBX* to_image, TCustomDIBX* from_image);
    virtual void Prepare() {}
    // Draws the state at Position; true (without drawing) once Position reaches Duration.
    virtual bool Step();
    virtual void Reserved() {}

    // Whether Target, FromImage and ToImage are 32-bit surfaces of one non-empty size.
    bool SurfacesUsable() const;
    int Width() const { return Target ? Target->Width() : 0; }
    int Height() const { return Target ? Target->Height() : 0; }
    // Position clamped to 0..Duration (a negative position counts as 0).
    int64_t Pos() const;
    int64_t Dur() const { return Duration < 1 ? 1 : Duration; }
    // span * Pos() / Dur(), the share of span reached so far. The product is taken in 128 bits,
    // so parameters and positions anywhere in the 32-bit range never overflow it.
    int64_t Progress(int64_t span) const;

    uint8_t Reverse = 0;
    std::string MaskName;
    TCustomDIBX* Target = nullptr;
    TCustomDIBX* FromImage = nullptr;
    TCustomDIBX* ToImage = nullptr;
    int32_t Duration = 0;
    int32_t Position = 0;
    std::array<int32_t, 6> Params{};

protected:
    // Draws the current state; Position lies in 0..Duration - 1 and the surfaces are usable.
    virtual void DrawState() = 0;
};

}  // namespace mobu
