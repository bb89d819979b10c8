#include <gtest/gtest.h>

#include "archive/ks_random.h"
#include "core/hash_collection.h"
#include "core/name_case.h"

namespace mobu {
namespace {

TEST(HashCollection, BucketOfANameFollowsItsLowerCasedBytes)
{
    EXPECT_EQ(THashCollection::HashOf(""), 0);
    EXPECT_EQ(THashCollection::HashOf("A"), 16);
    // "Ab": n=2 -> 32 + 'a' + 'a' = 226.
    EXPECT_EQ(THashCollection::HashOf("Ab"), (32 + 'a' + 'a') % 256);
    EXPECT_EQ(THashCollection::HashOf("start.MSB"), (9 * 16 + 'S' + 32 + 's') % 256);
    // A trail byte that looks like a capital letter is never folded: "ア" is 0x83 0x41.
    EXPECT_EQ(LowerCp932Name("\x83\x41Z"), "\x83\x41z");
    EXPECT_FALSE(SameCp932Name("\x83\x41", "\x83\x61"));
    EXPECT_TRUE(SameCp932Name("BG\\Room.PNG", "bg\\room.png"));
}

TEST(HashCollection, LookupFindsTheNewestOfEqualNamesAndKeepsPositions)
{
    THashCollectionOf<THashCollectionItem> items;
    items.Add(std::make_unique<THashCollectionItem>(), "Alpha");
    items.Add(std::make_unique<THashCollectionItem>(), "beta");
    items.Add(std::make_unique<THashCollectionItem>(), "ALPHA");
    EXPECT_EQ(items.IndexOf("alpha"), 2);
    EXPECT_EQ(items.IndexOf("BETA"), 1);
    EXPECT_EQ(items.IndexOf("gamma"), -1);
    items.Delete(0);
    EXPECT_EQ(items.IndexOf("beta"), 0);
    EXPECT_EQ(items.IndexOf("alpha"), 1);
    items.Item(0)->SetName("gamma");
    EXPECT_EQ(items.IndexOf("beta"), -1);
    EXPECT_EQ(items.Find("GAMMA"), items.Item(0));
    items.Delete(1);
    EXPECT_EQ(items.IndexOf("alpha"), -1);
    EXPECT_EQ(items.Count(), 1);
}

TEST(KsRandom, SequenceAndPermutation)
{
    TKsRandom random(kArchiveKey);
    uint32_t state = 0;
    for (int i = 0; i < 5; ++i) {
        state = state * 5u + 1803524679u;
        EXPECT_EQ(random.NextValue(), static_cast<int32_t>(state));
    }
    TKsRandom picker(7);
    picker.FillPool(4);
    std::vector<int> seen;
    uint32_t s = 0;
    std::vector<int> pool = {0, 1, 2, 3};
    while (picker.PoolSize() > 0) {
        s = s * 5u + 7u;
        int expected = pool[s % pool.size()];
        pool.erase(pool.begin() + s % pool.size());
        EXPECT_EQ(picker.Pick(), expected);
    }
    EXPECT_EQ(picker.Pick(), -1);
}

// The pool picks in logarithmic time; the order must stay that of removing the index-th
// element of a plain list, for pools of every shape (sizes that are and are not powers of
// two, refilled after use, seeds that wrap the state).
TEST(KsRandom, PermutationMatchesAPlainListForManyPoolsAndSeeds)
{
    for (int32_t seed : {1, 7, kArchiveKey, -1, 0x7FFFFFFF}) {
        TKsRandom picker(seed);
        for (int count : {0, 1, 2, 3, 8, 1000, 1023, 1024, 1025}) {
            picker.FillPool(count);
            std::vector<int> pool(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) pool[static_cast<size_t>(i)] = i;
            uint32_t s = picker.State();
            while (!pool.empty()) {
                s = s * 5u + static_cast<uint32_t>(seed);
                const size_t index = s % pool.size();
                const int expected = pool[index];
                pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(index));
                ASSERT_EQ(picker.Pick(), expected) << "seed " << seed << " count " << count;
            }
            EXPECT_EQ(picker.Pick(), -1);
        }
    }
}

TEST(KsRandom, AMillionElementPoolGivesEachElementOnce)
{
    TKsRandom picker(kArchiveKey);
    const int count = 1 << 20;
    picker.FillPool(count);
    std::vector<bool> seen(count, false);
    for (int i = 0; i < count; ++i) {
        const int value = picker.Pick();
        ASSERT_TRUE(value >= 0 && value < count && !seen[static_cast<size_t>(value)]);
        seen[static_cast<size_t>(value)] = true;
    }
    EXPECT_EQ(picker.PoolSize(), 0);
}

}  // namespace
}  // namespace mobu
