#include "graphics/fesk_planes.h"

#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "archive/zlib_codec.h"
#include "core/mobu_error.h"
#include "graphics/fesk_messages.h"
#include "graphics/image_decoder_limits.h"

namespace mobu {

std::string InflatePlane(std::string_view compressed, size_t cap)
{
    // Planes inflate to a size known in advance, which callers pass as the cap: the whole
    // stream inflates in one call into a buffer of that size. The layer's pixels of the
    // same size are already allocated, and the cap never passes what deflate can give from
    // the stored bytes, so a tiny file cannot make the buffer large.
    std::string out;
    InflateWhole(compressed, out, cap, cap, MsgBrokenImage());
    return out;
}

std::string DeflatePlane(std::string_view raw)
{
    uLongf bound = compressBound(static_cast<uLong>(raw.size()));
    std::string out(bound, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK)
        throw EMobuError(MsgBrokenImage());
    out.resize(bound);
    return out;
}

namespace {

struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1);
}
void JpegQuiet(j_common_ptr, int) {}

// Runs the decoder steps; false when libjpeg reported an error. Kept free of objects with
// destructors because the error path jumps out of libjpeg.
bool DecodeRows(jpeg_decompress_struct& info, TJpegError& error, TJpegScanLimit& scan_limit, TDIBSurface& image,
                uint8_t* row_buffer, bool header_only, int& width, int& height)
{
    if (setjmp(error.jump) != 0) return false;
    jpeg_read_header(&info, TRUE);
    width = static_cast<int>(info.image_width);
    height = static_cast<int>(info.image_height);
    if (header_only) return true;
    if (width != image.Width() || height != image.Height()) return false;
    if (!LimitJpegDecoder(info, scan_limit)) return false;
    const int bits = image.StoreBitCount();
    info.out_color_space = bits == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = (bits == 24 || bits == 32) ? image.ScanLine(y) : row_buffer;
        jpeg_read_scanlines(&info, &row, 1);
        if (row == row_buffer) {
            for (int x = 0; x < width; ++x)
                image.SetPixel(x, y, image.ValueOfRGB(row_buffer[3 * x + 2], row_buffer[3 * x + 1], row_buffer[3 * x]));
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool ReadJpeg(std::string_view jpeg, TDIBSurface* image, int& width, int& height)
{
    jpeg_decompress_struct info{};
    TJpegError error{};
    TJpegScanLimit scan_limit;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    error.manager.emit_message = JpegQuiet;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
    std::vector<uint8_t> row_buffer(image != nullptr ? static_cast<size_t>(image->Width()) * 4 + 16 : 0);
    TDIBSurface none;
    bool ok = !jpeg.empty() && DecodeRows(info, error, scan_limit, image != nullptr ? *image : none, row_buffer.data(),
                                          image == nullptr, width, height);
    jpeg_destroy_decompress(&info);
    return ok;
}

bool EncodeRows(jpeg_compress_struct& info, TJpegError& error, const TDIBSurface& image, uint8_t* row_buffer,
                int quality)
{
    if (setjmp(error.jump) != 0) return false;
    info.image_width = static_cast<JDIMENSION>(image.Width());
    info.image_height = static_cast<JDIMENSION>(image.Height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const bool direct = image.StoreBitCount() == 24;
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        JSAMPROW row = row_buffer;
        if (direct) {
            row = const_cast<uint8_t*>(image.ScanLine(y));
        } else {
            for (int x = 0; x < image.Width(); ++x) {
                int red, green, blue;
                image.RGBOfValue(image.GetPixel(x, y), true, red, green, blue);
                row_buffer[3 * x] = static_cast<uint8_t>(blue);
                row_buffer[3 * x + 1] = static_cast<uint8_t>(green);
                row_buffer[3 * x + 2] = static_cast<uint8_t>(red);
            }
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

}  // namespace

bool JpegSize(std::string_view jpeg, int& width, int& height)
{
    return ReadJpeg(jpeg, nullptr, width, height);
}

void DecodeJpegPlane(std::string_view jpeg, TDIBSurface& image)
{
    int width = 0, height = 0;
    if (!ReadJpeg(jpeg, &image, width, height)) throw EMobuError(MsgBrokenImage());
}

std::string EncodeJpegPlane(const TDIBSurface& image, int quality)
{
    if (image.IsEmpty()) return std::string();
    jpeg_compress_struct info{};
    TJpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    error.manager.emit_message = JpegQuiet;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    std::vector<uint8_t> row_buffer(static_cast<size_t>(image.Width()) * 3 + 16);
    bool ok = EncodeRows(info, error, image, row_buffer.data(), std::clamp(quality, 1, 100));
    jpeg_destroy_compress(&info);
    std::string out;
    if (ok && buffer != nullptr) out.assign(reinterpret_cast<char*>(buffer), size);
    free(buffer);
    if (!ok) throw EMobuError(MsgBrokenImage());
    return out;
}

void PutPackedPixels(TDIBSurface& image, int x, int y, int count, const uint8_t* packed)
{
    const int bits = image.StoreBitCount();
    if (bits >= 8) {
        std::memcpy(image.ScanLine(y) + static_cast<size_t>(x) * (bits / 8), packed, static_cast<size_t>(count) * (bits / 8));
        return;
    }
    const int per_byte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int i = 0; i < count; ++i) {
        const int shift = 8 - bits * (i % per_byte + 1);
        image.SetPixel(x + i, y, (packed[i / per_byte] >> shift) & mask);
    }
}

void CopyPixelRect(TDIBSurface& target, int target_x, int target_y, const TDIBSurface& source, int source_x,
                   int source_y, int width, int height)
{
    const int bits = target.StoreBitCount();
    for (int row = 0; row < height; ++row) {
        if (bits >= 8) {
            const size_t bytes = static_cast<size_t>(bits / 8);
            std::memmove(target.ScanLine(target_y + row) + target_x * bytes,
                         source.ScanLine(source_y + row) + source_x * bytes, width * bytes);
        } else {
            for (int i = 0; i < width; ++i)
                target.SetPixel(target_x + i, target_y + row, source.GetPixel(source_x + i, source_y + row));
        }
    }
}

}  // namespace mobu
