// The one lock every stream operation of the media decoders takes: archive streams share
// file handles with the rest of the player.
#pragma once

#include <mutex>

namespace mobu {

std::mutex& MediaStreamLock();

}  // namespace mobu
