// Sound decoded by libavformat and libavcodec over an archive stream (our own AVIO
// callbacks, 64-bit sizes, under the media stream lock): ADPCM, A/µ-law and MPEG audio in
// wave files, Windows Media audio in ASF, FLAC, MP3, Opus and other codecs in Ogg. The
// first audio stream plays at its own rate and channel count (at most 8).
#pragma once

#include <memory>

#include "archive/range_stream.h"
#include "media/pcm_source.h"

namespace mobu {

// Throws "サウンドデータが不正です" when no audio stream can be decoded.
std::unique_ptr<TPcmSource> OpenAvAudioSource(std::unique_ptr<TRangeStream> stream);

}  // namespace mobu
