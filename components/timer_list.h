// The event queue of a component list: records of component events waiting for (or being
// run by) the interpreter, oldest first.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace mobu {

class TMobuObject;

struct TTimerData {
    std::string Handler;          // event string: page, optionally ':' and a label
    TMobuObject* Sender = nullptr;  // not owned; none once the sender is gone
    uint8_t Code = 0;             // id of the event property
    int32_t Level = 0;            // 0 = waiting, else the call level running the handler
    std::vector<std::string> Params;
};

class TTimerList {
public:
    void Post(TTimerData record) { records_.push_back(std::move(record)); }
    int32_t Count() const { return static_cast<int32_t>(records_.size()); }
    TTimerData& At(int32_t index) { return records_[static_cast<size_t>(index)]; }
    const TTimerData& At(int32_t index) const { return records_[static_cast<size_t>(index)]; }
    // Index of the oldest waiting record (level 0), or -1.
    int32_t OldestWaiting() const;
    void SetLevel(int32_t index, int32_t level) { records_[static_cast<size_t>(index)].Level = level; }
    // Whether a waiting or running record of `code` from `sender` is queued.
    bool IsQueued(const TMobuObject* sender, int code) const;
    void RemoveLevel(int32_t level);
    void RemoveRunning();
    // Removes the still-waiting records of a component and forgets it as the sender of the
    // running ones.
    void RemoveSender(const TMobuObject* sender);
    // Removes the still-waiting records of a component; running ones stay its own.
    void RemoveWaiting(const TMobuObject* sender);
    void Clear() { records_.clear(); }

private:
    std::deque<TTimerData> records_;
};

}  // namespace mobu
