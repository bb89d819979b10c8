// TKsRandom: the small sequence generator of the archive index, the layered image format
// and the dither transition. s = s*5 + c (mod 2^32), c being the seed.
#pragma once

#include <cstdint>
#include <vector>

namespace mobu {

class TKsRandom {
public:
    explicit TKsRandom(int32_t seed = 0) : c_(seed) {}

    int32_t Seed() const { return c_; }
    uint32_t State() const { return s_; }
    void Restart() { s_ = 0; }

    int32_t NextValue()
    {
        s_ = s_ * 5u + static_cast<uint32_t>(c_);
        return static_cast<int32_t>(s_);
    }

    // Fills the permutation pool with 0..count-1.
    void FillPool(int count)
    {
        pool_.clear();
        pool_.reserve(count > 0 ? static_cast<size_t>(count) : 0);
        for (int i = 0; i < count; ++i) pool_.push_back(i);
    }
    int PoolSize() const { return static_cast<int>(pool_.size()); }

    // Removes and returns a pool element chosen by the next state; -1 when the pool is empty.
    int Pick()
    {
        if (pool_.empty()) return -1;
        s_ = s_ * 5u + static_cast<uint32_t>(c_);
        size_t index = s_ % static_cast<uint32_t>(pool_.size());
        int value = pool_[index];
        pool_.erase(pool_.begin() + static_cast<std::ptrdiff_t>(index));
        return value;
    }

private:
    int32_t c_;
    uint32_t s_ = 0;
    std::vector<int> pool_;
};

// Increment of the generators that scramble archive names and offsets.
inline constexpr int32_t kArchiveKey = 1803524679;

}  // namespace mobu
