// The generator behind the script function Random: seeded from the time of day at start, so
// runs differ, or with a fixed seed (the headless runner's --seed) so runs repeat.
#pragma once

#include <cstdint>

namespace mobu {

void SeedScriptRandom(uint64_t seed);
// Uniform over 0 … n − 1; 0 when n is 0 or negative.
int32_t ScriptRandom(int32_t n);

}  // namespace mobu
