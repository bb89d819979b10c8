// PNG files through libpng and JPEG files through libjpeg: decoded into 24-bit stores (with
// an alpha plane when the PNG has alpha) and encoded from any store.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "graphics/image_decoder_limits.h"
#include "graphics/image_files.h"

namespace mobu {

namespace {

[[noreturn]] void FailImage() { throw EMobuError(ByteReader::DefaultFailureMessage()); }

struct TPngSource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

void PngRead(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->position) png_error(png, "truncated");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

void PngWrite(png_structp png, png_bytep data, png_size_t count)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), count);
}

void PngFlush(png_structp) {}

void PngWarning(png_structp, png_const_charp) {}

// Errors end the decoding through the jump set by the caller, without printing.
[[noreturn]] void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Colour of every pixel of a store as 8-bit red, green and blue.
void StoreRow(const TDIBSurface& store, int y, uint8_t* rgb, const TDIBSurface* alpha)
{
    for (int x = 0; x < store.Width(); ++x) {
        int r, g, b;
        store.RGBOfValue(store.GetPixel(x, y), false, r, g, b);
        *rgb++ = static_cast<uint8_t>(r);
        *rgb++ = static_cast<uint8_t>(g);
        *rgb++ = static_cast<uint8_t>(b);
        if (alpha) *rgb++ = static_cast<uint8_t>(alpha->GetPixel(x, y));
    }
}

}  // namespace

void ReadPngFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option)
{
    store.Clear();
    option.MadeAlpha = false;
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) FailImage();
    png_structp png = CreateLimitedPngReader(PngError, PngWarning);
    if (!png) FailImage();
    png_infop info = png_create_info_struct(png);
    TPngSource source{data, size, 0};
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0, height = 0;
    bool has_alpha = false;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        store.Clear();
        FailImage();
    }
    png_set_read_fn(png, &source, PngRead);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (!WithinPixelBudget(width, height)) png_error(png, "too large");
    int colour_type = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_packing(png);
    has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    if (!has_alpha) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t channels = has_alpha ? 4 : 3;
    // Deflate packs at most about 1032 bytes into one: a header claiming more pixels than the
    // file can hold is refused before anything is allocated.
    const uint64_t pixel_bytes = static_cast<uint64_t>(width) * height * channels;
    if (pixel_bytes > (uint64_t{1} << 31) || pixel_bytes > 1100 * static_cast<uint64_t>(size) + 65536) png_error(png, "too large");
    const size_t row_bytes = static_cast<size_t>(width) * channels;
    store.SetSize(static_cast<int>(width), static_cast<int>(height), 24);
    if (has_alpha) store.MakeAlphaPlane();
    // An interlaced picture arrives in passes over the whole picture and needs all of it in
    // libpng's layout; any other comes a row at a time straight into the store, so the
    // picture is held once.
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    pixels.resize(interlaced ? row_bytes * height : row_bytes);
    if (interlaced) {
        rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + static_cast<size_t>(y) * row_bytes;
        png_read_image(png, rows.data());
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        const uint8_t* p = interlaced ? rows[y] : pixels.data();
        if (!interlaced) png_read_row(png, pixels.data(), nullptr);
        uint8_t* out = store.ScanLine(static_cast<int>(y));
        uint8_t* a = has_alpha ? store.AlphaPlane()->ScanLine(static_cast<int>(y)) : nullptr;
        for (png_uint_32 x = 0; x < width; ++x, p += channels) {
            out[3 * x] = p[2];
            out[3 * x + 1] = p[1];
            out[3 * x + 2] = p[0];
            if (a) a[x] = p[3];
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    option.MadeAlpha = has_alpha;
}

std::string WritePngFile(const TDIBSurface& store, const TImageSaveParams& params)
{
    const TDIBSurface* given = params.Alpha ? params.Alpha : store.AlphaPlane();
    if (given && (given->Width() != store.Width() || given->Height() != store.Height())) given = nullptr;
    const TDIBSurface* const volatile alpha = given;
    if (store.IsEmpty()) FailImage();
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) FailImage();
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> row(static_cast<size_t>(store.Width()) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        FailImage();
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(store.Width()), static_cast<png_uint_32>(store.Height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < store.Height(); ++y) {
        StoreRow(store, y, row.data(), alpha);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
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

void JpegMessage(j_common_ptr) {}

}  // namespace

void ReadJpegFile(TDIBSurface& store, const uint8_t* data, size_t size)
{
    store.Clear();
    jpeg_decompress_struct info;
    TJpegError error;
    TJpegScanLimit scan_limit;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    error.manager.output_message = JpegMessage;
    std::vector<uint8_t> row;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        store.Clear();
        FailImage();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    // A header claiming more pixels than the budget, or far more than the data could
    // describe, is refused before the decoder or the store allocates for them.
    if (info.image_width > 65535 || info.image_height > 65535 ||
        static_cast<uint64_t>(info.image_width) * info.image_height > 4096 * static_cast<uint64_t>(size) + 65536 ||
        !LimitJpegDecoder(info, scan_limit))
        JpegFail(reinterpret_cast<j_common_ptr>(&info));
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    store.SetSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height), 24);
    row.resize(static_cast<size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        uint8_t* out = store.ScanLine(y);
        for (size_t x = 0; x < info.output_width; ++x) {
            out[3 * x] = row[3 * x + 2];
            out[3 * x + 1] = row[3 * x + 1];
            out[3 * x + 2] = row[3 * x];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

std::string WriteJpegFile(const TDIBSurface& store, const TImageSaveParams& params)
{
    if (store.IsEmpty()) FailImage();
    jpeg_compress_struct info;
    TJpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    error.manager.output_message = JpegMessage;
    unsigned char* buffer = nullptr;
    unsigned long buffer_size = 0;
    std::vector<uint8_t> row(static_cast<size_t>(store.Width()) * 3);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        FailImage();
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &buffer_size);
    info.image_width = static_cast<JDIMENSION>(store.Width());
    info.image_height = static_cast<JDIMENSION>(store.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, params.JpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < store.Height(); ++y) {
        StoreRow(store, y, row.data(), nullptr);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), buffer_size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace mobu
