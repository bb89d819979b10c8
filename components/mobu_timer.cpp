#include "components/mobu_timer.h"

#include "core/globals.h"
#include "components/mobu_base_list.h"

namespace mobu {

TMobuTimer::TMobuTimer(TMobuBaseList* owner) : TMobuComponent(owner, LT_TIMER) { StartTick = GameClockMs; }

void TMobuTimer::Restart()
{
    if (owner_) owner_->Events().RemoveWaiting(this);
    StartTick = GameClockMs;
}

bool TMobuTimer::Update()
{
    const bool queued = owner_ && owner_->Events().IsQueued(this, PR_ONNOTIFY);
    if (Fired && AutoScrap) return !queued;
    if (Delay < 0 || TimerPaused) return false;
    // The clock wraps at 32 bits: the time since the start is the unsigned difference.
    const uint32_t since = static_cast<uint32_t>(GameClockMs) - static_cast<uint32_t>(StartTick);
    if (Delay > 0 && since < static_cast<uint32_t>(Delay)) return false;
    // The next interval stays anchored to the start, whenever this update came.
    StartTick = static_cast<int32_t>(static_cast<uint32_t>(StartTick) + static_cast<uint32_t>(Delay));
    if (!queued && !OnNotify.empty() && PostEvent(PR_ONNOTIFY)) Fired = true;
    return false;
}

TPropValue TMobuTimer::ReadProperty(int id)
{
    switch (id) {
        case PR_ONNOTIFY: return TPropValue::Text(OnNotify);
        case PR_DELAY: return TPropValue::Int(Delay);
        case PR_PAUSED: return TPropValue::Flag(TimerPaused);
        case PR_AUTOSCRAP: return TPropValue::Flag(AutoScrap);
        default: return TMobuComponent::ReadProperty(id);
    }
}

void TMobuTimer::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_ONNOTIFY:
            OnNotify = value.AsText();
            Restart();
            return;
        case PR_DELAY:
            Delay = value.AsInt();
            Restart();
            return;
        case PR_PAUSED:
            if (value.AsFlag() == TimerPaused) return;
            TimerPaused = value.AsFlag();
            Restart();
            return;
        case PR_AUTOSCRAP: AutoScrap = value.AsFlag(); return;
        default: TMobuComponent::WriteProperty(id, value); return;
    }
}

void TMobuTimer::SaveToStream(ByteWriter& out)
{
    TMobuComponent::SaveToStream(out);
    out.String(OnNotify);
    out.I32(Delay);
    out.Flag(TimerPaused);
    out.Flag(AutoScrap);
    out.Flag(Fired);
}

void TMobuTimer::LoadFromStream(ByteReader& in, int version)
{
    TMobuComponent::LoadFromStream(in, version);
    OnNotify = in.String();
    Delay = in.I32();
    TimerPaused = in.U8() != 0;
    if (version > 103) {
        AutoScrap = in.U8() != 0;
        Fired = in.U8() != 0;
    }
    StartTick = GameClockMs;
}

}  // namespace mobu
