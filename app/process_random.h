// The process random generator behind the script's Random and the random choices of
// effects and transitions. Seeded once at start from the time of day, so runs differ,
// unless the command line fixes the seed (--seed) so that runs repeat.
#pragma once

#include <cstdint>

namespace mobu {

void SeedProcessRandom(uint32_t seed);
uint32_t ProcessRandomSeed();  // the seed given last

// Uniform over 0 .. n - 1; 0 when n <= 0.
int32_t ProcessRandom(int32_t n);
// Uniform in [0, 1).
double ProcessRandomReal();

// Milliseconds since local midnight: the default seed.
uint32_t MillisecondsSinceMidnight();

}  // namespace mobu
