// TMobuPropMotion: moves one numeric property of another component to a target value over
// a time, linearly or along a quarter sine, and removes itself at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/mobu_object.h"
#include "expr/custom_param.h"

namespace mobu {

inline constexpr int MT_NORMAL = 0;
inline constexpr int MT_INC = 1;
inline constexpr int MT_DEC = 2;

class TMobuPropMotion : public TMobuComponent {
public:
    // A PropId that names no property yet.
    static constexpr uint8_t kNoProperty = 255;

    explicit TMobuPropMotion(TMobuBaseList* owner) : TMobuComponent(owner, LT_PROPMOTION) {}

    // Writes the value of this step into the target; true asks for removal (no target, no
    // property, the target refused the value, or the last step was written).
    bool Update() override;

    // The value at `elapsed` ms of a motion from `start` to `target` over `time` ms.
    static Real ValueAt(int motion_type, Real start, Real target, int32_t time, int32_t elapsed);

    void SaveToStream(ByteWriter& out) override;
    void LoadFromStream(ByteReader& in, int version) override;

    Real Target = 0;
    int32_t Time = 0;
    std::string TargetName;
    uint8_t PropId = kNoProperty;
    uint8_t MotionType = MT_NORMAL;
    int32_t Elapsed = 0;
    Real Start = 0;
    bool MotionPaused = false;
    // The resolved target; none until the first update (and again after a load).
    TMobuObject* TargetObject = nullptr;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;

private:
    std::unique_ptr<TCustomParam> pass_;  // the real handed to SetProp
};

}  // namespace mobu
