#include "components/timer_list.h"

#include <algorithm>

namespace mobu {

int32_t TTimerList::OldestWaiting() const
{
    for (size_t i = 0; i < records_.size(); ++i)
        if (records_[i].Level == 0) return static_cast<int32_t>(i);
    return -1;
}

bool TTimerList::IsQueued(const TMobuObject* sender, int code) const
{
    return std::any_of(records_.begin(), records_.end(),
                       [&](const TTimerData& r) { return r.Sender == sender && r.Code == code; });
}

void TTimerList::RemoveLevel(int32_t level)
{
    std::erase_if(records_, [&](const TTimerData& r) { return r.Level == level; });
}

void TTimerList::RemoveRunning()
{
    std::erase_if(records_, [](const TTimerData& r) { return r.Level != 0; });
}

void TTimerList::RemoveWaiting(const TMobuObject* sender)
{
    std::erase_if(records_, [&](const TTimerData& r) { return r.Sender == sender && r.Level == 0; });
}

void TTimerList::RemoveSender(const TMobuObject* sender)
{
    std::erase_if(records_, [&](const TTimerData& r) { return r.Sender == sender && r.Level == 0; });
    for (TTimerData& r : records_)
        if (r.Sender == sender) r.Sender = nullptr;
}

}  // namespace mobu
