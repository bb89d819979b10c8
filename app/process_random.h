// Seeding of the process random generator (the one behind the script's Random and the
// random choices of effects and transitions, expr/script_random.h). Seeded once at start from
// the time of day, so runs differ, unless the command line fixes the seed (--seed) so that
// runs repeat.
#pragma once

#include <cstdint>

namespace mobu {

void SeedProcessRandom(uint32_t seed);
uint32_t ProcessRandomSeed();  // the seed given last

// Milliseconds since local midnight: the default seed.
uint32_t MillisecondsSinceMidnight();

}  // namespace mobu
