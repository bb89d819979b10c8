#include "expr/script_random.h"

#include <chrono>

namespace mobu {
namespace {

uint64_t& State()
{
    static uint64_t state = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return state;
}

// splitmix64: small, fast and well distributed.
uint64_t Next()
{
    uint64_t z = (State() += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

void SeedScriptRandom(uint64_t seed) { State() = seed; }

int32_t ScriptRandom(int32_t n)
{
    if (n <= 0) return 0;
    // Rejection keeps every value equally likely.
    const uint64_t range = static_cast<uint64_t>(n);
    const uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    uint64_t value;
    do {
        value = Next();
    } while (value >= limit);
    return static_cast<int32_t>(value % range);
}

}  // namespace mobu
