#include "platform/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace mobu {

bool WritePngFile(const std::string& path, const FrameBuffer& frame, std::string& error)
{
    if (frame.width <= 0 || frame.height <= 0) {
        error = "empty frame";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        error = "out of memory";
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(frame.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::remove(path.c_str());
        error = "PNG encoding failed";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint32_t* pixels = frame.Row(y);
        for (int32_t x = 0; x < frame.width; ++x) {
            row[x * 3 + 0] = static_cast<png_byte>(pixels[x] >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        error = std::strerror(errno);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

}  // namespace mobu
