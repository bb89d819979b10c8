// Windows icon and cursor files: a directory of images, each a bitmap (colour rows followed
// by a 1-bit AND mask) or a PNG file; the first image is read (no chooser is shown).
#include <algorithm>
#include <cstring>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "graphics/image_decoder_limits.h"
#include "graphics/image_file_parts.h"
#include "graphics/image_files.h"

namespace mobu {

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

void ReadIconFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option)
{
    store.Clear();
    option.TransparentValue = -1;
    option.MadeAlpha = false;
    option.IconIndex = 0;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        ReadBitmapFile(store, data, size, option);
        return;
    }
    ByteReader in(data, size);
    in.U16();
    int type = in.U16();
    size_t count = in.U16();
    if (count == 0 || count > in.Remaining() / 16) in.Fail();
    // Without a chooser the first image is taken.
    size_t index = 0;
    option.IconIndex = static_cast<int>(index);
    in.Skip(16 * index);
    in.Skip(4);
    int hot_x = in.U16(), hot_y = in.U16();
    uint32_t bytes = in.U32();
    uint32_t offset = in.U32();
    if (offset >= size || bytes > size - offset) in.Fail();
    if (type == 2) {
        option.HotSpotX = hot_x;
        option.HotSpotY = hot_y;
    }
    const uint8_t* image = data + offset;
    if (bytes >= 8 && std::memcmp(image, kPngSignature, 8) == 0) {
        TSaveOption png;
        ReadPngFile(store, image, bytes, png);
        option.MadeAlpha = store.HasAlphaPlane();
        return;
    }
    // The bitmap header's height counts the colour rows and the mask rows.
    ByteReader header(image, bytes);
    uint32_t header_size = header.U32();
    if (header_size < 40) header.Fail();
    int32_t width = header.I32();
    int32_t double_height = header.I32();
    header.U16();
    int bits = header.U16();
    uint32_t compression = header.U32();
    header.Skip(12);
    uint32_t colours_used = header.U32();
    if (width <= 0 || double_height < 2 || width > 65535 || double_height > 131070 || compression != 0 ||
        !WithinPixelBudget(static_cast<uint64_t>(width), static_cast<uint64_t>(double_height / 2)))
        header.Fail();
    int height = double_height / 2;
    // The header with its height halved, read as a bitmap of its own.
    std::string dib(reinterpret_cast<const char*>(image), bytes);
    int32_t halved = height;
    std::memcpy(&dib[8], &halved, 4);
    ReadDib(store, reinterpret_cast<const uint8_t*>(dib.data()), dib.size(), 0, 0);
    // The colour table as the bitmap reader skips it: images above 8 bits may still carry
    // one of up to 256 entries when their used-colour count says so.
    size_t table = bits <= 8 ? (colours_used ? std::min<uint32_t>(colours_used, 1u << bits) : (1u << bits)) * 4
                   : colours_used <= 256 ? colours_used * 4
                                         : 0;
    size_t colour_rows = DibRowBytes(width, bits) * static_cast<size_t>(height);
    size_t mask_start = header_size + table + colour_rows;
    size_t mask_row = DibRowBytes(width, 1);
    // A missing or cut-off AND mask counts as all clear.
    bool has_mask = mask_start <= bytes && mask_row * static_cast<size_t>(height) <= bytes - mask_start;
    auto masked = [&](int x, int y) {
        if (!has_mask) return false;
        const uint8_t* row = image + mask_start + static_cast<size_t>(height - 1 - y) * mask_row;
        return ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0;
    };
    if (bits == 32) {
        TakeAlphaFromFourthBytes(store);
        TDIBSurface* alpha = store.AlphaPlane();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (masked(x, y)) alpha->SetPixel(x, y, 0);
        option.MadeAlpha = true;
        option.TransparentValue = -1;
        return;
    }
    store.MakeAlphaPlane();
    TDIBSurface* alpha = store.AlphaPlane();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) alpha->SetPixel(x, y, masked(x, y) ? 0 : 255);
    if (option.TakeAlpha || bits == 1 || option.TransparentColor < 0) {
        option.MadeAlpha = true;
        option.TransparentValue = -1;
        return;
    }
    int red = option.TransparentColor & 0xFF, green = (option.TransparentColor >> 8) & 0xFF,
        blue = (option.TransparentColor >> 16) & 0xFF;
    uint32_t value;
    if (store.BitCount() <= 8) {
        int free_index = store.FreePaletteIndex();
        if (free_index >= 0) {
            store.SetPaletteEntry(free_index, static_cast<uint32_t>(red << 16 | green << 8 | blue));
            value = static_cast<uint32_t>(free_index);
        } else {
            value = store.ValueOfRGB(red, green, blue);
        }
    } else {
        value = store.ValueOfRGB(red, green, blue);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (masked(x, y)) store.SetPixel(x, y, value);
    store.DropAlphaPlane();
    option.TransparentValue = static_cast<int32_t>(value);
}

std::string WriteIconFile(const TDIBSurface& source, bool cursor, const TImageSaveParams& params)
{
    const TDIBSurface* alpha = params.Alpha;
    if (alpha && (alpha->Width() != source.Width() || alpha->Height() != source.Height())) alpha = nullptr;
    TDIBSurface store = source;
    int width = store.Width(), height = store.Height();
    // The AND mask: pixels equal to the transparent value, or with alpha below 128.
    std::vector<bool> mask(static_cast<size_t>(width) * static_cast<size_t>(height), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool m = alpha ? alpha->GetPixel(x, y) < 128
                           : params.TransparentValue >= 0 && store.GetPixel(x, y) == static_cast<uint32_t>(params.TransparentValue);
            mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = m;
        }
    TDIBSurface written;
    if (alpha) {
        written.SetSize(width, height, 32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int r, g, b;
                store.RGBOfValue(store.GetPixel(x, y), false, r, g, b);
                uint32_t a = alpha->GetPixel(x, y);
                bool m = mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
                written.SetPixel(x, y, m ? 0 : (a << 24 | static_cast<uint32_t>(r << 16 | g << 8 | b)));
            }
    } else {
        written = store;
        if (written.BitCount() > 8 && written.BitCount() != 24) written.SetBitCount(24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]) written.SetPixel(x, y, 0);
    }
    size_t pixel_start = 0;
    std::string dib = WriteDib(written, nullptr, &pixel_start);
    // Doubled height in the header, then the AND mask after the colour rows.
    int32_t doubled = height * 2;
    std::memcpy(&dib[8], &doubled, 4);
    // Icon bitmaps carry no resolution.
    std::memset(&dib[24], 0, 8);
    size_t mask_row = DibRowBytes(width, 1);
    std::string and_mask(mask_row * static_cast<size_t>(height), '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)])
                and_mask[static_cast<size_t>(height - 1 - y) * mask_row + static_cast<size_t>(x >> 3)] |=
                    static_cast<char>(0x80 >> (x & 7));
    uint32_t image_size = static_cast<uint32_t>(dib.size() + and_mask.size());
    int bits = written.StoreBitCount();
    ByteWriter out;
    out.U16(0);
    out.U16(cursor ? 2 : 1);
    out.U16(1);
    out.U8(static_cast<uint8_t>(width >= 256 ? 0 : width));
    out.U8(static_cast<uint8_t>(height >= 256 ? 0 : height));
    out.U8(static_cast<uint8_t>(bits < 8 ? 1 << bits : 0));
    out.U8(0);
    out.U16(static_cast<uint16_t>(cursor ? params.HotSpotX : 1));
    out.U16(static_cast<uint16_t>(cursor ? params.HotSpotY : bits));
    out.U32(image_size);
    out.U32(6 + 16);
    out.Raw(dib);
    out.Raw(and_mask);
    return out.Take();
}

}  // namespace mobu
