// PNG and bitmap files read as one-frame layered image lists.
#include <png.h>

#include <array>
#include <cstring>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_messages.h"
#include "graphics/image_decoder_limits.h"

namespace mobu {
namespace {

constexpr int kLargestSide = 16384;

}  // namespace

void TFeskFrameList::LoadPng(std::string_view data)
{
    // The simplified interface cannot be given libpng's limits: chunks whose lengths claim
    // bytes the file does not have are refused before it allocates for them.
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    if (data.size() < 8 || png_sig_cmp(bytes, 0, 8) != 0 || !PngChunksLieInside(bytes, data.size()))
        throw EMobuError(MsgBrokenImage());
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size())) throw EMobuError(MsgBrokenImage());
    if (png.width == 0 || png.height == 0 || png.width > kLargestSide || png.height > kLargestSide ||
        !WithinPixelBudget(png.width, png.height)) {
        png_image_free(&png);
        throw EMobuError(MsgBrokenImage());
    }
    const int width = static_cast<int>(png.width), height = static_cast<int>(png.height);
    TFeskFrame& frame = Add();
    const bool palette = (png.format & PNG_FORMAT_FLAG_COLORMAP) != 0 && png.colormap_entries <= 256;

    if (palette) {
        // Palette images stay 8-bit; a fully transparent entry becomes the transparent
        // index when every entry is either opaque or invisible, otherwise an alpha plane.
        png.format = PNG_FORMAT_BGRA_COLORMAP;
        std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
        std::vector<uint8_t> colormap(256 * 4);
        if (!png_image_finish_read(&png, nullptr, indices.data(), width, colormap.data())) {
            png_image_free(&png);
            throw EMobuError(MsgBrokenImage());
        }
        frame.Image.SetSize(width, height, 8);
        bool partial = false;
        int invisible = -1;
        for (unsigned i = 0; i < png.colormap_entries; ++i) {
            const uint8_t* c = &colormap[4 * i];
            frame.Image.SetPaletteEntry(static_cast<int>(i), static_cast<uint32_t>(c[2]) << 16 | c[1] << 8 | c[0]);
            if (c[3] == 0 && invisible < 0) invisible = static_cast<int>(i);
            if (c[3] != 0 && c[3] != 255) partial = true;
        }
        for (int y = 0; y < height; ++y) std::memcpy(frame.Image.ScanLine(y), &indices[static_cast<size_t>(y) * width], width);
        if (partial) {
            frame.Image.MakeAlphaPlane();
            for (int y = 0; y < height; ++y) {
                uint8_t* alpha = frame.Image.AlphaPlane()->ScanLine(y);
                for (int x = 0; x < width; ++x) alpha[x] = colormap[4 * indices[static_cast<size_t>(y) * width + x] + 3];
            }
        } else if (invisible >= 0) {
            frame.TransparentValue = invisible;
        }
    } else {
        const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
        png.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
        const int channels = alpha ? 4 : 3;
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
        if (!png_image_finish_read(&png, nullptr, pixels.data(), width * channels, nullptr)) {
            png_image_free(&png);
            throw EMobuError(MsgBrokenImage());
        }
        frame.Image.SetSize(width, height, 24);
        if (alpha) frame.Image.MakeAlphaPlane();
        for (int y = 0; y < height; ++y) {
            uint8_t* row = frame.Image.ScanLine(y);
            const uint8_t* source = &pixels[static_cast<size_t>(y) * width * channels];
            if (!alpha) {
                std::memcpy(row, source, static_cast<size_t>(width) * 3);
                continue;
            }
            uint8_t* alpha_row = frame.Image.AlphaPlane()->ScanLine(y);
            for (int x = 0; x < width; ++x) {
                std::memcpy(row + 3 * x, source + 4 * x, 3);
                alpha_row[x] = source[4 * x + 3];
            }
        }
    }
    frame.TransparentColor = frame.ColorOfValue(frame.TransparentValue);
    png_image_free(&png);
}

void TFeskFrameList::LoadBitmap(std::string_view data)
{
    ByteReader in(data, MsgBrokenImage());
    size_t bits_offset = 0;
    bool file_header = data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
    if (file_header) {
        in.Skip(10);
        bits_offset = in.U32();
    }
    const size_t info_start = in.Position();
    const uint32_t info_size = in.U32();
    int32_t width = 0, height = 0;
    int bits = 0;
    uint32_t compression = 0, colours_used = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    size_t palette_entry_size = 4;
    if (info_size == 12) {
        width = in.U16();
        height = in.I16();
        in.U16();
        bits = in.U16();
        palette_entry_size = 3;
    } else if (info_size >= 40 && info_size <= 124) {
        width = in.I32();
        height = in.I32();
        in.U16();
        bits = in.U16();
        compression = in.U32();
        in.Skip(12);
        colours_used = in.U32();
        in.U32();
        if (info_size >= 52) {
            for (int i = 0; i < (info_size >= 56 ? 4 : 3); ++i) masks[i] = in.U32();
        }
        in.Seek(info_start + info_size);
        if (compression == 3 && info_size == 40) {
            for (int i = 0; i < 3; ++i) masks[i] = in.U32();
        }
    } else {
        in.Fail();
    }
    const bool top_down = height < 0;
    if (height < -kLargestSide) in.Fail();
    if (top_down) height = -height;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide ||
        !WithinPixelBudget(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        in.Fail();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) in.Fail();
    if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32))) in.Fail();

    int store_bits = bits;
    if (bits == 16) {
        if (compression == 3 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) store_bits = 16;
        else if (compression == 0 || (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F)) store_bits = 15;
        else in.Fail();
    }
    if (bits == 32 && compression == 3 && !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)) in.Fail();

    std::array<uint32_t, 256> palette{};
    if (bits <= 8) {
        const uint32_t entries = colours_used != 0 && colours_used < (1u << bits) ? colours_used : (1u << bits);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t blue = in.U8(), green = in.U8(), red = in.U8();
            if (palette_entry_size == 4) in.U8();
            palette[i] = static_cast<uint32_t>(red) << 16 | green << 8 | blue;
        }
    }
    if (file_header) in.Seek(bits_offset);
    // The pixels must all be there before the picture is allocated.
    const size_t row_bytes = DibRowBytes(width, bits);
    if (row_bytes * static_cast<size_t>(height) > in.Remaining()) in.Fail();

    TFeskFrame& frame = Add();
    TDIBSurface& image = frame.Image;
    image.SetSize(width, height, bits == 32 ? 24 : store_bits);
    image.SetPalette(palette);
    const uint8_t* pixels = in.Data() + in.Position();
    bool any_alpha = false;
    if (bits == 32) image.MakeAlphaPlane();
    for (int i = 0; i < height; ++i) {
        const int y = top_down ? i : height - 1 - i;
        const uint8_t* source = pixels + static_cast<size_t>(i) * row_bytes;
        if (bits != 32) {
            std::memcpy(image.ScanLine(y), source, image.RowBytes());
            continue;
        }
        // The fourth bytes become the alpha plane, the image 24 bits.
        uint8_t* row = image.ScanLine(y);
        uint8_t* alpha = image.AlphaPlane()->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            std::memcpy(row + 3 * x, source + 4 * x, 3);
            alpha[x] = source[4 * x + 3];
            any_alpha = any_alpha || alpha[x] != 0;
        }
    }
    // Plain 32-bit bitmaps leave the fourth byte 0: they are opaque, not invisible.
    if (bits == 32 && !any_alpha) image.DropAlphaPlane();
}

}  // namespace mobu
