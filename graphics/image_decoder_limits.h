// What one decoded picture may cost, whatever its file claims: a pixel budget every image
// reader checks before it allocates, and the caps handed to libpng and libjpeg so that
// neither library allocates more than the picture needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

namespace mobu {

// 8192 × 8192 pixels: four times a 4K screen, far above any game picture, while the largest
// picture within it still fits in a few hundred MB at 32 bits.
inline constexpr uint64_t kImagePixelBudget = uint64_t{8192} * 8192;

// True when a picture of width × height pixels is within the budget (0 × 0 passes).
inline bool WithinPixelBudget(uint64_t width, uint64_t height)
{
    return width <= kImagePixelBudget && height <= kImagePixelBudget && width * height <= kImagePixelBudget;
}

// Largest block libpng may allocate at once and largest ancillary chunk it may keep: the
// biggest row buffer (65535 pixels of 16-bit RGBA) is well under it.
inline constexpr size_t kPngBlockCap = size_t{8} << 20;
// Most text, palette-suggestion and unknown chunks libpng may store for one file.
inline constexpr unsigned kPngChunkCountCap = 64;

// A libpng read structure whose allocations pass through a cap of kPngBlockCap per block,
// with chunk memory and chunk counts capped and every ancillary chunk the readers do not use
// (all but tRNS: text, time, colour profiles, unknown chunks...) skipped as it is read,
// never buffered. nullptr when it cannot be made.
png_structp CreateLimitedPngReader(png_error_ptr error, png_error_ptr warning);

// True when every chunk of the PNG file up to IEND lies inside the data: no length field
// claims bytes the file does not have. Readers that cannot configure libpng (the simplified
// interface) check this first, so libpng never allocates for bytes that are not there.
bool PngChunksLieInside(const uint8_t* data, size_t size);

// Scans a progressive JPEG may have. Encoders use about ten; a legal file can have a few
// hundred (a scan per coefficient band and component, refinements); a hostile file can
// repeat scans without end, each one a walk over the whole picture. 500 is the limit
// libjpeg-turbo's own fuzz drivers set.
inline constexpr int kJpegScanCap = 500;

// Progress monitor of a JPEG decoder that stops after kJpegScanCap scans; it must live as
// long as the decoder it is installed in.
struct TJpegScanLimit {
    jpeg_progress_mgr Manager{};
};

// After jpeg_read_header: false when the picture is beyond the pixel budget. Otherwise caps
// the decoder's large buffers (the coefficients of a progressive picture) at what a picture
// of that size and component count needs, and installs the scan limit.
bool LimitJpegDecoder(jpeg_decompress_struct& info, TJpegScanLimit& limit);

}  // namespace mobu
