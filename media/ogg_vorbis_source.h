// Ogg Vorbis through libvorbisfile, read over an archive stream. Every stream operation
// of the decoder takes the process-wide stream lock, since archive streams are shared with
// the decoders' threads. Chained streams play link after link, each link's channels mapped
// to the first link's count.
#pragma once

#include <memory>

#include "archive/range_stream.h"
#include "media/pcm_source.h"

namespace mobu {

// Throws "サウンドデータが不正です" when the stream is not Ogg Vorbis.
std::unique_ptr<TPcmSource> OpenOggVorbisSource(std::unique_ptr<TRangeStream> stream);

}  // namespace mobu
