// zlib streams of archive entries: deflate at the fastest level, inflation with an output
// cap that must end exactly at the stream's end, and the CRC-32 of the index. Streams held
// whole in memory inflate through libdeflate in one call; zlib inflates the streams read
// block by block from a source.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/big_stream.h"

namespace mobu {

// Largest inflated entry accepted: memory streams stay below 2^31 bytes.
inline constexpr size_t kMaxInflatedSize = 0x7FFFFFFF;
// Deflate never shrinks data by more than about 1032:1, so a stored size bounds the output.
inline constexpr size_t kMaxDeflateRatio = 1032;

// Output cap for an entry of `stored_size` compressed bytes.
size_t InflateCapFor(int64_t stored_size);

std::string DeflateFastest(std::string_view raw);

// Inflates `size` bytes of `source` starting at `offset`, appending to `out`. Throws
// EMobuError(failure_message) when the bytes are not one complete zlib stream, when the
// stream ends early, or when the output would pass `cap`.
void InflateFromStream(TKsBigStream& source, int64_t offset, int64_t size, std::string& out, size_t cap,
                       const std::string& failure_message);
void InflateBytes(std::string_view compressed, std::string& out, size_t cap, const std::string& failure_message);

// Inflates the one zlib stream `compressed` in a single libdeflate call, appending to
// `out`. The output buffer starts at `first_guess` bytes (an exact size when the caller
// knows it) and doubles up to `cap` while the stream needs more. Refuses, with
// EMobuError(failure_message), what InflateBytes refuses: bytes that are not a zlib stream,
// a stream that ends early or fails its Adler-32 check, output past `cap`. Bytes after the
// end of the stream are ignored by both.
void InflateWhole(std::string_view compressed, std::string& out, size_t first_guess, size_t cap,
                  const std::string& failure_message);

uint32_t Crc32(std::string_view bytes);

}  // namespace mobu
