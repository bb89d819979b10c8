// Reading and seeking an archive stream for libavformat's custom I/O: the two callbacks
// `avio_alloc_context` takes, with the stream as their opaque pointer. Both hold the media
// stream lock, since archive streams share file handles with the rest of the player.
#pragma once

#include <cstdint>

namespace mobu {

// Reads up to `size` bytes of the TRangeStream `opaque`; AVERROR_EOF at the end.
int AvReadPacket(void* opaque, uint8_t* buffer, int size);
// Seeks the TRangeStream `opaque` (AVSEEK_SIZE gives its size); -1 for an unknown origin.
int64_t AvSeekStream(void* opaque, int64_t offset, int whence);

}  // namespace mobu
