// TMobuWave (LT_WAVE): its children draw through a wave surface that shifts every row by a
// travelling sine displacement.
#pragma once

#include <vector>

#include "components/mobu_object.h"

namespace mobu {

class TMobuWave : public TMobuControl {
public:
    explicit TMobuWave(TMobuBaseList* owner);
    void Draw(TCustomDIBX& surface) override;
    bool Update() override;
    void Invalidate() override;
    // A child's dirty rectangle reaches |Amp| further left and right.
    void WidenDirtyRect(TRect& rect) override;

    int32_t Amp = 10;
    int32_t WaveLen = 200;
    int32_t Delay = 2000;
    int32_t Phase() const { return phase_; }
    // The displacement of component row `row` (0 for rows that cannot reach the screen).
    int32_t Shift(int64_t row);
    // Rows [first, first + count) of the component that lie on the screen.
    int64_t FirstRow() const { return first_row_; }
    const std::vector<int32_t>& Shifts() const { return shifts_; }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    // Recomputes the displacements of the rows on the screen; true when any changed.
    bool Recompute();
    TRect Widened(TRect rect) const;

    int32_t phase_ = 0;
    int64_t accumulator_ = 0;
    int64_t first_row_ = 0;
    std::vector<int32_t> shifts_;
};

}  // namespace mobu
