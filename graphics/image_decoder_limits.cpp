#include "graphics/image_decoder_limits.h"

#include <algorithm>
#include <cstdlib>

namespace mobu {
namespace {

// libpng asks for memory here: a block above the cap is refused, which libpng reports as
// an error for the memory it needs and skips for an optional chunk.
png_voidp CappedPngMalloc(png_structp, png_alloc_size_t size)
{
    if (size > kPngBlockCap) return nullptr;
    return std::malloc(size);
}

void PngFree(png_structp, png_voidp block) { std::free(block); }

uint32_t BigEndian32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void StopAfterScanCap(j_common_ptr common)
{
    if (!common->is_decompressor) return;
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > kJpegScanCap) common->err->error_exit(common);
}

}  // namespace

png_structp CreateLimitedPngReader(png_error_ptr error, png_error_ptr warning)
{
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, error, warning, nullptr, CappedPngMalloc,
                                               PngFree);
    if (png == nullptr) return nullptr;
    png_set_user_limits(png, 65535, 65535);
    png_set_chunk_malloc_max(png, kPngBlockCap);
    png_set_chunk_cache_max(png, kPngChunkCountCap);
    // Unknown chunks and every known ancillary chunk except tRNS are skipped unread.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    return png;
}

bool PngChunksLieInside(const uint8_t* data, size_t size)
{
    size_t position = 8;
    while (position <= size && size - position >= 12) {
        const uint32_t length = BigEndian32(data + position);
        if (length > 0x7FFFFFFFu || length > size - position - 12) return false;
        if (std::equal(data + position + 4, data + position + 8, "IEND")) return true;
        position += 12 + static_cast<size_t>(length);
    }
    return false;
}

bool LimitJpegDecoder(jpeg_decompress_struct& info, TJpegScanLimit& limit)
{
    if (!WithinPixelBudget(info.image_width, info.image_height)) return false;
    // Coefficient buffers hold two bytes per pixel and component, rounded up to whole blocks
    // and sampling units; the rest of the decoder's memory stays within the fixed part.
    const uint64_t components = static_cast<uint64_t>(info.num_components);
    const uint64_t coefficients = (uint64_t{info.image_width} + 32) * (uint64_t{info.image_height} + 32) * 2 * components;
    info.mem->max_memory_to_use = static_cast<long>(coefficients + (uint64_t{16} << 20));
    limit.Manager.progress_monitor = StopAfterScanCap;
    info.progress = &limit.Manager;
    return true;
}

}  // namespace mobu
