#include "media/stream_lock.h"

namespace mobu {

std::mutex& MediaStreamLock()
{
    static std::mutex lock;
    return lock;
}

}  // namespace mobu
