// TMobuBox: a filled rectangle with an optional border, blended by its alpha.
#pragma once

#include "components/mobu_object.h"

namespace mobu {

class TMobuBox : public TMobuControl {
public:
    // Alpha 1-254 blends, 255 is opaque, 256-511 adds the colours scaled by (alpha - 256) / 256;
    // 0 and below, and 512 and above, draw nothing.
    static constexpr int32_t kOpaqueAlpha = 255;
    static constexpr int32_t kAlphaLimit = 512;

    explicit TMobuBox(TMobuBaseList* owner) : TMobuControl(owner, LT_BOX) {}
    void Draw(TCustomDIBX& surface) override;
    bool Update() override;

    int32_t BorderWidth = 0;
    int32_t BorderColor = -1;
    int32_t Alpha = kOpaqueAlpha;
    std::string Source;  // a film path
    bool Repeat = false;
    bool AutoScrap = false;
    bool PausedFlag = false;
    int32_t BlurSpan = 0, BlurDelay = 0;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    struct TBoxSnapshot {
        int32_t Left = 0, Top = 0, Width = 0, Height = 0, BorderWidth = 0;
        bool operator==(const TBoxSnapshot&) const = default;
    };
    TBoxSnapshot CurrentSnapshot() const { return {Left, Top, Width, Height, BorderWidth}; }

    int32_t blur_timer_ = 0;
    TBoxSnapshot snapshot_;
};

// Each channel of a 0x00BBGGRR colour times amount / 256 (amount 0-255), for additive drawing.
int32_t ScaleColour(int32_t colour, int32_t amount);

}  // namespace mobu
