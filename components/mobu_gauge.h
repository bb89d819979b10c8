// The gauge (TMobuGauge, LT_GAUGE): a bar of the picture's left half that shows a value, and
// a "lag" part of its right half that shrinks after the value was lowered (after a delay),
// while a raised value grows the bar; both move at (Max - Min) per PR_DURATION ms.
#pragma once

#include <cstdint>
#include <string>

#include "components/mobu_object.h"
#include "components/mobu_slider.h"

namespace mobu {

// Animation modes of a gauge.
inline constexpr int32_t kGaugeIdle = 0;
inline constexpr int32_t kGaugeShrinkingLag = 100;
inline constexpr int32_t kGaugeGrowingBar = 200;

class TMobuGauge : public TMobuControl {
public:
    explicit TMobuGauge(TMobuBaseList* owner);
    ~TMobuGauge() override;

    TControlPicture Picture;
    int32_t Min = 0, Max = 0, Value = 0, Alpha = 255;
    bool PausedFlag = false;
    uint8_t Orientation = OT_HORIZONTAL;
    int32_t Duration = 0, Delay = 0;
    int32_t SizeWidth = 0, SizeHeight = 0;
    int32_t Shown = 0, Lag = 0;
    int32_t AnimMode = kGaugeIdle;
    double AnimValue = 0;
    int32_t DelayLeft = 0;
    bool Reverse = false;
    int32_t BarSize = 0;

    bool Vertical() const { return Orientation == OT_VERTICAL; }
    int32_t ClampedValue() const;
    // The value set by the script: the lag or the growth starts.
    void SetValue(int32_t value);
    // The bar's and the lag's lengths in pixels (0 for an empty range), within the length.
    int64_t BarLength();
    int64_t LagLength();
    // One update's animation over `elapsed` ms.
    void Animate(int64_t elapsed);
    void Layout();

    bool Update() override;
    void Draw(TCustomDIBX& surface) override;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    // Shown at the clamped value, no lag, no animation.
    void Settle();
    int64_t Length() const { return Vertical() ? Height : Width; }
    int64_t PixelsOf(int64_t amount);
};

}  // namespace mobu
