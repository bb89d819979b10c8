#include "graphics/png_file_writer.h"

#include <png.h>

#include <vector>

#include "core/mobu_error.h"
#include "graphics/fesk_messages.h"

namespace mobu {

std::string EncodePng(const TDIBSurface& image)
{
    if (image.IsEmpty()) throw EMobuError(MsgBrokenImage());
    const bool alpha = image.HasAlphaPlane();
    const int channels = alpha ? 4 : 3;
    const int width = image.Width(), height = image.Height();
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int red, green, blue;
            image.RGBOfValue(image.GetPixel(x, y), true, red, green, blue);
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
            p[0] = static_cast<uint8_t>(red);
            p[1] = static_cast<uint8_t>(green);
            p[2] = static_cast<uint8_t>(blue);
            if (alpha) p[3] = static_cast<uint8_t>(image.AlphaPlane()->GetPixel(x, y));
        }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, pixels.data(), width * channels, nullptr))
        throw EMobuError(MsgBrokenImage());
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&png, out.data(), &size, 0, pixels.data(), width * channels, nullptr))
        throw EMobuError(MsgBrokenImage());
    out.resize(size);
    return out;
}

}  // namespace mobu
