// The width memo of one label measurement: a character code's width, remembered while the
// labels of a list are measured so that each code is measured once.
#pragma once

#include <cstdint>
#include <unordered_map>

namespace mobu {

class TKsTagValList {
public:
    bool Find(uint16_t code, int& width) const
    {
        auto it = widths_.find(code);
        if (it == widths_.end()) return false;
        width = it->second;
        return true;
    }
    void Set(uint16_t code, int width) { widths_[code] = width; }
    void Clear() { widths_.clear(); }
    size_t Count() const { return widths_.size(); }

private:
    std::unordered_map<uint16_t, int> widths_;
};

}  // namespace mobu
