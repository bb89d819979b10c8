// The wall clock: milliseconds of a steady clock that never goes back (for watchdogs, not
// for the game's own time).
#pragma once

#include <cstdint>

namespace mobu {

uint64_t WallClockMs();

}  // namespace mobu
