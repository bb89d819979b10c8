#include "media/av_stream_io.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
}

#include <cstdio>
#include <mutex>

#include "archive/range_stream.h"
#include "media/stream_lock.h"

namespace mobu {

int AvReadPacket(void* opaque, uint8_t* buffer, int size)
{
    std::lock_guard lock(MediaStreamLock());
    size_t got = static_cast<TRangeStream*>(opaque)->Read(buffer, static_cast<size_t>(size));
    return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

int64_t AvSeekStream(void* opaque, int64_t offset, int whence)
{
    std::lock_guard lock(MediaStreamLock());
    auto* stream = static_cast<TRangeStream*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return stream->Size();
    case SEEK_SET: return stream->Seek(offset, TRangeStream::Origin::Begin);
    case SEEK_CUR: return stream->Seek(offset, TRangeStream::Origin::Current);
    case SEEK_END: return stream->Seek(offset, TRangeStream::Origin::End);
    default: return -1;
    }
}

}  // namespace mobu
