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
        pool_size_ = count > 0 ? count : 0;
        remaining_ = pool_size_;
        // Fenwick tree over "still in the pool" flags: every element starts present.
        tree_.assign(static_cast<size_t>(pool_size_) + 1, 0);
        for (int i = 1; i <= pool_size_; ++i) {
            tree_[static_cast<size_t>(i)] += 1;
            const int parent = i + (i & -i);
            if (parent <= pool_size_) tree_[static_cast<size_t>(parent)] += tree_[static_cast<size_t>(i)];
        }
    }
    int PoolSize() const { return remaining_; }

    // Removes and returns a pool element chosen by the next state; -1 when the pool is empty.
    // The element is the index-th of those left in ascending order, found in logarithmic
    // time so that images of a million scrambled tiles load as fast as small ones.
    int Pick()
    {
        if (remaining_ == 0) return -1;
        s_ = s_ * 5u + static_cast<uint32_t>(c_);
        int index = static_cast<int>(s_ % static_cast<uint32_t>(remaining_));
        int position = 0;
        int step = 1;
        while (step * 2 <= pool_size_) step *= 2;
        for (; step > 0; step /= 2) {
            const int next = position + step;
            if (next <= pool_size_ && tree_[static_cast<size_t>(next)] <= index) {
                position = next;
                index -= tree_[static_cast<size_t>(next)];
            }
        }
        // position + 1 is the 1-based slot of the chosen element.
        for (int i = position + 1; i <= pool_size_; i += i & -i) tree_[static_cast<size_t>(i)] -= 1;
        --remaining_;
        return position;
    }

private:
    int32_t c_;
    uint32_t s_ = 0;
    std::vector<int32_t> tree_;
    int pool_size_ = 0;
    int remaining_ = 0;
};

// Increment of the generators that scramble archive names and offsets.
inline constexpr int32_t kArchiveKey = 1803524679;

}  // namespace mobu
