#include "components/mobu_prop_motion.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>

#include "core/globals.h"
#include "components/component_functions.h"
#include "components/mobu_base_list.h"
#include "expr/param_values.h"

namespace mobu {

Real TMobuPropMotion::ValueAt(int motion_type, Real start, Real target, int32_t time, int32_t elapsed)
{
    // No time at all: the target at once (and no division by it).
    if (time <= 0) return target;
    if (elapsed == 0) return start;
    if (elapsed >= time - 1) return target;
    const Real pi = std::numbers::pi_v<Real>;
    const Real t = static_cast<Real>(time), e = static_cast<Real>(elapsed);
    switch (motion_type) {
        case MT_INC: return target - std::sin((t - e - 1) * pi / (2 * t)) * (target - start);
        case MT_DEC: return start + std::sin(e * pi / (2 * t)) * (target - start);
        default: return start + (target - start) * e / t;
    }
}

bool TMobuPropMotion::Update()
{
    if (MotionPaused || !owner_) return false;
    if (!TargetObject) {
        TargetObject = TargetName.empty() ? nullptr : owner_->FindComponent(TargetName);
        if (!TargetObject || PropId >= kPropertyCount) return true;
        try {
            Start = TargetObject->GetProp(PropId).AsReal();
        } catch (const std::exception&) {
            return true;  // a property that reads as no number
        }
    } else if (!owner_->IsRegistered(TargetObject)) {
        return true;
    }
    const bool last = Time <= 0 || (Elapsed != 0 && Elapsed >= Time - 1);
    const Real value = ValueAt(MotionType, Start, Target, Time, Elapsed);
    if (!pass_) pass_ = NewParamOfType(PT_FLOAT);
    try {
        // Written as the script's SetProp writes a real: converted to the property's type,
        // and refused for the properties SetProp refuses.
        pass_->SetFloat(value);
        SetPropOf(*TargetObject, PropId, *pass_);
    } catch (const std::exception&) {
        // A property whose setter raises (a picture that cannot be loaded, a bad value) ends
        // the motion instead of failing every frame.
        return true;
    }
    Elapsed = static_cast<int32_t>(std::clamp<int64_t>(int64_t{Elapsed} + FrameDeltaMs, INT32_MIN, INT32_MAX));
    return last;
}

TPropValue TMobuPropMotion::ReadProperty(int id)
{
    switch (id) {
        case PR_PAUSED: return TPropValue::Flag(MotionPaused);
        case PR_PLAYING: return TPropValue::Flag(!MotionPaused);
        default: return TMobuComponent::ReadProperty(id);
    }
}

void TMobuPropMotion::WriteProperty(int id, const TPropValue& value)
{
    if (id == PR_PAUSED) {
        MotionPaused = value.AsFlag();
        return;
    }
    TMobuComponent::WriteProperty(id, value);
}

void TMobuPropMotion::SaveToStream(ByteWriter& out)
{
    TMobuComponent::SaveToStream(out);
    const bool target_alive = TargetObject ? owner_ && owner_->IsRegistered(TargetObject) : true;
    out.String(target_alive ? (TargetObject ? TargetObject->Name() : TargetName) : std::string());
    out.I32(PropId);
    out.Real80(Target);
    out.I32(Time);
    out.I32(MotionType);
    out.Real80(Start);
    out.I32(Elapsed);
    out.Flag(MotionPaused);
}

void TMobuPropMotion::LoadFromStream(ByteReader& in, int version)
{
    TMobuComponent::LoadFromStream(in, version);
    TargetName = in.String();
    const int32_t prop = in.I32();
    PropId = prop >= 0 && prop < kNoProperty ? static_cast<uint8_t>(prop) : kNoProperty;
    Target = in.Real80();
    Time = in.I32();
    MotionType = static_cast<uint8_t>(in.I32() & 0xFF);
    Start = in.Real80();
    Elapsed = in.I32();
    MotionPaused = version > 125 ? in.Flag() : false;
    // Resolved again at the next update, which reads Start anew; Elapsed stays.
    TargetObject = nullptr;
}

}  // namespace mobu
