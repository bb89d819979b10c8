#include "platform/wall_clock.h"

#include <chrono>

namespace mobu {

uint64_t WallClockMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace mobu
