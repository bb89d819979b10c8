#include "app/process_random.h"

#include <chrono>
#include <ctime>

#include "expr/script_random.h"

namespace mobu {
namespace {

uint32_t seed_given = 0;

}  // namespace

void SeedProcessRandom(uint32_t seed)
{
    seed_given = seed;
    SeedScriptRandom(seed);
}

uint32_t ProcessRandomSeed() { return seed_given; }

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
