#include "app/process_random.h"

#include <chrono>
#include <ctime>

namespace mobu {
namespace {

uint32_t seed_given = 0;
uint32_t state = 0;

uint32_t Next()
{
    state = state * 134775813u + 1u;  // the classic 32-bit linear congruential step
    return state;
}

}  // namespace

void SeedProcessRandom(uint32_t seed)
{
    seed_given = seed;
    state = seed;
}

uint32_t ProcessRandomSeed() { return seed_given; }

int32_t ProcessRandom(int32_t n)
{
    if (n <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(Next()) * static_cast<uint32_t>(n)) >> 32);
}

double ProcessRandomReal() { return Next() / 4294967296.0; }

uint32_t MillisecondsSinceMidnight()
{
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return static_cast<uint32_t>((local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) * 1000 + milliseconds);
}

}  // namespace mobu
