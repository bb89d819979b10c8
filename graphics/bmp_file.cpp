// Bitmap files: the file header, an info header (core, 40-byte or later), the colour table
// and the rows, bottom-up unless the height is negative.
#include <algorithm>
#include <cstring>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "graphics/image_decoder_limits.h"
#include "graphics/image_file_parts.h"
#include "graphics/image_files.h"

namespace mobu {

namespace {

int LowestBit(uint32_t mask)
{
    int n = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++n;
    return n;
}

int BitWidth(uint32_t mask)
{
    mask >>= LowestBit(mask);
    int n = 0;
    while (mask & 1) mask >>= 1, ++n;
    return n;
}

// A channel of `mask` widened to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask) return 0;
    int width = BitWidth(mask);
    uint32_t v = (value & mask) >> LowestBit(mask);
    if (width >= 8) return v >> (width - 8);
    // Narrower channels repeat their bits into the vacated low bits.
    uint32_t out = 0;
    int have = 0;
    while (have < 8) out = out << width | v, have += width;
    return out >> (have - 8);
}

}  // namespace

// Reads the device-independent bitmap that starts at `info` (an info header, the colour table
// and the pixels at `pixels_offset` from the start of `data`, or right after the table when
// pixels_offset is 0).
void ReadDib(TDIBSurface& store, const uint8_t* data, size_t size, size_t info, size_t pixels_offset)
{
    ByteReader in(data, size);
    in.Seek(info);
    uint32_t header_size = in.U32();
    int64_t width, height;
    int bits;
    uint32_t compression = 0, colours_used = 0;
    size_t entry_size = 4;
    if (header_size == 12) {
        width = in.U16();
        height = in.I16();
        in.U16();
        bits = in.U16();
        entry_size = 3;
    } else if (header_size >= 40) {
        width = in.I32();
        height = in.I32();
        in.U16();
        bits = in.U16();
        compression = in.U32();
        in.Skip(12);
        colours_used = in.U32();
        in.U32();
    } else {
        in.Fail();
    }
    uint32_t masks[4] = {0, 0, 0, 0};
    if (header_size >= 40 && compression == 3) {
        // Channel masks: inside the later headers, or right after the 40-byte one.
        for (int i = 0; i < 3; ++i) masks[i] = in.U32();
        if (header_size >= 56) masks[3] = in.U32();
    }
    in.Seek(info + header_size + (header_size == 40 && compression == 3 ? 12 : 0));
    bool top_down = height < 0;
    if (top_down) height = -height;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        !WithinPixelBudget(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        in.Fail();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) in.Fail();
    if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32))) in.Fail();
    size_t palette_entries = 0;
    if (bits <= 8) palette_entries = colours_used ? std::min<uint32_t>(colours_used, 1u << bits) : (1u << bits);
    else if (colours_used && colours_used <= 256) in.Skip(std::min<size_t>(colours_used * entry_size, in.Remaining()));
    std::array<uint32_t, 256> palette{};
    for (size_t i = 0; i < palette_entries; ++i) {
        uint32_t b = in.U8(), g = in.U8(), r = in.U8();
        if (entry_size == 4) in.U8();
        palette[i] = r << 16 | g << 8 | b;
    }
    if (pixels_offset) in.Seek(pixels_offset);
    size_t row_bytes = DibRowBytes(static_cast<int>(width), bits);
    if (row_bytes * static_cast<size_t>(height) > in.Remaining()) in.Fail();

    int store_bits = bits;
    bool general_masks = false;
    if (bits == 16) {
        if (compression == 3 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) store_bits = 16;
        else if (compression == 3 && !(masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F)) store_bits = 24, general_masks = true;
        else store_bits = 15;
    } else if (bits == 32 && compression == 3 &&
               !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)) {
        general_masks = true;
    }
    store.Clear();
    store.SetSize(static_cast<int>(width), static_cast<int>(height), store_bits);
    store.SetPalette(palette);
    const uint8_t* pixels = in.Data() + in.Position();
    for (int64_t row = 0; row < height; ++row) {
        int y = static_cast<int>(top_down ? row : height - 1 - row);
        const uint8_t* src = pixels + static_cast<size_t>(row) * row_bytes;
        if (!general_masks) {
            std::memcpy(store.ScanLine(y), src, std::min(row_bytes, store.RowBytes()));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            uint32_t v = bits == 16 ? static_cast<uint32_t>(src[2 * x] | src[2 * x + 1] << 8)
                                    : static_cast<uint32_t>(src[4 * x] | src[4 * x + 1] << 8 | src[4 * x + 2] << 16) |
                                          static_cast<uint32_t>(src[4 * x + 3]) << 24;
            uint32_t out = Channel(v, masks[0]) << 16 | Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
            if (store_bits == 32) out |= (masks[3] ? Channel(v, masks[3]) : 0) << 24;
            store.SetPixel(x, y, out);
        }
    }
}

// Turns the fourth bytes of a 32-bit store into its alpha plane and the store into 24 bits.
// A store whose fourth bytes are all 0 carries no alpha: it is opaque.
void TakeAlphaFromFourthBytes(TDIBSurface& store)
{
    if (store.StoreBitCount() != 32) return;
    TDIBSurface alpha(store.Width(), store.Height(), 8);
    alpha.SetGreyPalette();
    bool any = false;
    for (int y = 0; y < store.Height(); ++y) {
        const uint8_t* src = store.ScanLine(y);
        uint8_t* dst = alpha.ScanLine(y);
        for (int x = 0; x < store.Width(); ++x) {
            dst[x] = src[4 * x + 3];
            any |= dst[x] != 0;
        }
    }
    if (!any) alpha.FillValue(alpha.Bounds(), 255);
    store.SetBitCount(24);
    store.CopyAlphaPlane(alpha);
}

void ReadBitmapFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option)
{
    store.Clear();
    ByteReader in(data, size);
    if (in.U8() != 'B' || in.U8() != 'M') in.Fail();
    in.Skip(8);
    uint32_t offset = in.U32();
    if (offset < 14 || offset > size) in.Fail();
    ReadDib(store, data, size, 14, offset);
    option.MadeAlpha = false;
    if (option.TakeAlpha && store.StoreBitCount() == 32) {
        TakeAlphaFromFourthBytes(store);
        option.MadeAlpha = true;
    }
}

// The pixels of a store as a DIB: the info header, the colour table and the rows.
std::string WriteDib(const TDIBSurface& source, const TDIBSurface* alpha, size_t* pixel_start)
{
    TDIBSurface store = source;
    if (alpha && (alpha->Width() != store.Width() || alpha->Height() != store.Height())) alpha = nullptr;
    if (alpha) {
        TDIBSurface wide(store.Width(), store.Height(), 32);
        for (int y = 0; y < store.Height(); ++y)
            for (int x = 0; x < store.Width(); ++x) {
                int r, g, b;
                store.RGBOfValue(store.GetPixel(x, y), false, r, g, b);
                wide.SetPixel(x, y, alpha->GetPixel(x, y) << 24 | static_cast<uint32_t>(r << 16 | g << 8 | b));
            }
        store = std::move(wide);
    }
    ByteWriter out;
    int bits = store.StoreBitCount();
    bool fields = store.BitCount() == 16;
    out.U32(40);
    out.I32(store.Width());
    out.I32(store.Height());
    out.U16(1);
    out.U16(static_cast<uint16_t>(bits));
    out.U32(fields ? 3 : 0);
    out.U32(static_cast<uint32_t>(store.ImageSize()));
    out.U32(2835);
    out.U32(2835);
    out.U32(static_cast<uint32_t>(store.PaletteSize()));
    out.U32(0);
    if (fields) {
        out.U32(0xF800);
        out.U32(0x07E0);
        out.U32(0x001F);
    }
    for (int i = 0; i < store.PaletteSize(); ++i) out.U32(store.PaletteEntry(i));
    if (pixel_start) *pixel_start = out.Size();
    if (!store.IsEmpty()) out.Raw(store.Bits(), store.ImageSize());
    return out.Take();
}

std::string WriteBitmapFile(const TDIBSurface& store, const TImageSaveParams& params)
{
    size_t pixel_start = 0;
    std::string dib = WriteDib(store, params.Alpha, &pixel_start);
    ByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(static_cast<uint32_t>(14 + dib.size()));
    out.U32(0);
    out.U32(static_cast<uint32_t>(14 + pixel_start));
    out.Raw(dib);
    return out.Take();
}

}  // namespace mobu
