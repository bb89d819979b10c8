// TMobuFire (LT_FIRE): a heat simulation stepped every 40 ms and drawn additively through
// the fire colour table, stretched by its zoom.
#pragma once

#include "components/fire_heat.h"
#include "components/mobu_object.h"
#include "graphics/dibx.h"

namespace mobu {

class TMobuFire : public TMobuControl {
public:
    static constexpr int32_t kStepMs = 40;

    explicit TMobuFire(TMobuBaseList* owner);
    void Draw(TCustomDIBX& surface) override;
    bool Update() override;

    int32_t Power() const { return power_; }
    int32_t OrigWidth() const { return heat_.Width(); }
    int32_t OrigHeight() const { return heat_.Height(); }
    TFireHeat& Heat() { return heat_; }
    bool PausedFlag = false;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void SetPower(int32_t power);
    void Resize(int32_t width, int32_t height);
    void SetZoom(int32_t& zoom, int32_t value);
    // Width and height from the cell counts and zooms.
    void UpdateSize();

    TFireHeat heat_;
    TDIBX surface_;  // the cells as an 8-bit indexed picture for drawing
    bool surface_stale_ = true;
    int32_t power_ = 0;
    int32_t zoom_x_ = 256, zoom_y_ = 256;
    int32_t accumulator_ = 0;
};

}  // namespace mobu
