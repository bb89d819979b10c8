// Truevision TGA files: raw and run-length encoded images of types 1–3 and 9–11, the
// version-2 footer and the extension area's key colour.
#include <algorithm>
#include <cstring>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "graphics/image_file_parts.h"
#include "graphics/image_decoder_limits.h"
#include "graphics/image_files.h"

namespace mobu {

namespace {

const char kSignature[] = "TRUEVISION-XFILE";
constexpr size_t kExtensionSize = 495;

// A 5-5-5 file pixel as 5-6-5: bits 5–15 move up one place, the new lowest green bit copies
// the old one.
uint32_t Tga16To565(uint32_t v)
{
    return ((v << 1) & 0xFFC0) | (v & 0x20) | (v & 0x1F);
}

}  // namespace

void ReadTgaFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option)
{
    store.Clear();
    option.TransparentValue = -1;
    option.MadeAlpha = false;
    ByteReader in(data, size);
    int id_length = in.U8();
    int map_type = in.U8();
    int image_type = in.U8();
    int map_first = in.U16();
    int map_length = in.U16();
    int map_entry_bits = in.U8();
    in.U16();
    in.U16();
    int width = in.U16();
    int height = in.U16();
    int depth = in.U8();
    int descriptor = in.U8();
    if (!((image_type >= 1 && image_type <= 3) || (image_type >= 9 && image_type <= 11))) return;
    if (depth != 1 && depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) in.Fail();
    in.Skip(static_cast<size_t>(id_length));

    // Footer: trailing zero bytes skipped, then "TRUEVISION-XFILE." and the two offsets.
    size_t data_end = size;
    uint32_t extension_offset = 0, developer_offset = 0;
    size_t last = size;
    while (last > 0 && data[last - 1] == 0) --last;
    if (last >= 1 + 16 + 8 && data[last - 1] == '.' && std::memcmp(data + last - 17, kSignature, 16) == 0) {
        ByteReader footer(data + last - 25, 8);
        extension_offset = footer.U32();
        developer_offset = footer.U32();
        size_t footer_start = last - 25;
        // Offsets that point outside the file or into the header are ignored.
        if (extension_offset < 18 || extension_offset > footer_start) extension_offset = 0;
        if (developer_offset < 18 || developer_offset > footer_start) developer_offset = 0;
        if (developer_offset) data_end = developer_offset;
        else if (extension_offset) data_end = extension_offset;
        else data_end = footer_start;
    }

    std::array<uint32_t, 256> palette{};
    if (map_type == 1) {
        size_t entry_bytes = static_cast<size_t>((map_entry_bits + 7) / 8);
        for (int i = 0; i < map_length; ++i) {
            uint32_t rgb = 0;
            if (entry_bytes == 2) {
                uint32_t v = in.U16();
                uint32_t r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
                uint32_t r8 = r << 3 | ((r & 1) ? 7 : 0), g8 = g << 3, b8 = b << 3 | ((b & 1) ? 7 : 0);
                rgb = r8 << 16 | g8 << 8 | b8;
            } else if (entry_bytes >= 3) {
                uint32_t b = in.U8(), g = in.U8(), r = in.U8();
                in.Skip(entry_bytes - 3);
                rgb = r << 16 | g << 8 | b;
            } else {
                in.Skip(entry_bytes);
            }
            if (map_first + i < 256) palette[static_cast<size_t>(map_first + i)] = rgb;
        }
    } else if (map_type != 0) {
        in.Fail();
    }
    if (width == 0 || height == 0) return;
    if (data_end < in.Position() || !WithinPixelBudget(static_cast<uint64_t>(width), static_cast<uint64_t>(height))) in.Fail();
    // The image data must be able to hold the pixels before the store is allocated: raw rows
    // in full, run-length packets at most 128 pixels per byte.
    size_t available = data_end - in.Position();
    // File pixels take whole bytes (15 bits take two), except 1-bit ones, packed 8 a byte.
    const size_t pixel_bytes = static_cast<size_t>((depth + 7) / 8);
    const uint64_t file_pixel_bits = depth == 1 ? 1 : 8 * pixel_bytes;
    uint64_t pixel_count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (image_type <= 3 && (pixel_count * file_pixel_bits + 7) / 8 > available) in.Fail();
    if (image_type >= 9 && pixel_count > 128 * static_cast<uint64_t>(available)) in.Fail();
    int store_bits = depth == 15 ? 16 : depth;
    store.SetSize(width, height, store_bits);
    if (image_type == 3 || image_type == 11) store.SetGreyPalette();
    else store.SetPalette(palette);

    if (data_end < in.Position()) in.Fail();
    size_t end = data_end;
    auto put = [&](int x, int y, const uint8_t* p) {
        uint32_t v = 0;
        for (size_t i = 0; i < pixel_bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
        if (pixel_bytes == 2) v = Tga16To565(v);
        store.SetPixel(x, y, v);
    };
    if (image_type <= 3) {
        size_t row_bytes = (static_cast<size_t>(width) * file_pixel_bits + 7) / 8;
        for (int y = 0; y < height; ++y) {
            if (row_bytes > end - in.Position()) in.Fail();
            const uint8_t* row = data + in.Position();
            if (depth == 1) {
                for (int x = 0; x < width; ++x) store.SetPixel(x, y, (row[x >> 3] >> (7 - (x & 7))) & 1);
            } else {
                for (int x = 0; x < width; ++x) put(x, y, row + pixel_bytes * static_cast<size_t>(x));
            }
            in.Skip(row_bytes);
        }
    } else {
        if (depth == 1) in.Fail();
        // Packets are decoded continuously across rows; counts are cut at the pixels left.
        int64_t total = static_cast<int64_t>(width) * height, done = 0;
        while (done < total) {
            if (in.Position() >= end) in.Fail();
            int header = in.U8();
            int64_t count = (header & 0x80) ? header - 127 : header + 1;
            count = std::min(count, total - done);
            bool repeat = header & 0x80;
            if (repeat) {
                if (pixel_bytes > end - in.Position()) in.Fail();
                const uint8_t* p = data + in.Position();
                in.Skip(pixel_bytes);
                for (int64_t i = 0; i < count; ++i, ++done) put(static_cast<int>(done % width), static_cast<int>(done / width), p);
            } else {
                for (int64_t i = 0; i < count; ++i, ++done) {
                    if (pixel_bytes > end - in.Position()) in.Fail();
                    put(static_cast<int>(done % width), static_cast<int>(done / width), data + in.Position());
                    in.Skip(pixel_bytes);
                }
            }
        }
    }
    int order = (descriptor >> 4) & 3;
    if (order == 1 || order == 3) store.MirrorHorizontal();
    if (order == 0 || order == 1) store.FlipVertical();

    if (extension_offset && extension_offset + kExtensionSize <= size) {
        const uint8_t* ext = data + extension_offset;
        int r = ext[471], g = ext[472], b = ext[473];
        option.TransparentValue = static_cast<int32_t>(store.ValueOfRGB(r, g, b));
    }
    if (option.TakeAlpha && store.StoreBitCount() == 32) {
        TakeAlphaFromFourthBytes(store);
        option.MadeAlpha = true;
    }
}

std::string WriteTgaFile(const TDIBSurface& source, const TImageSaveParams& params)
{
    const TDIBSurface* alpha = params.Alpha;
    if (alpha && (alpha->Width() != source.Width() || alpha->Height() != source.Height())) alpha = nullptr;
    TDIBSurface store = source;
    if (alpha) {
        TDIBSurface wide(store.Width(), store.Height(), 32);
        for (int y = 0; y < store.Height(); ++y)
            for (int x = 0; x < store.Width(); ++x) {
                int r, g, b;
                store.RGBOfValue(store.GetPixel(x, y), false, r, g, b);
                wide.SetPixel(x, y, alpha->GetPixel(x, y) << 24 | static_cast<uint32_t>(r << 16 | g << 8 | b));
            }
        store = std::move(wide);
    } else if (store.StoreBitCount() < 8) {
        store.SetBitCount(8);  // indices copied, palette kept
    }
    int bits = store.BitCount();
    bool palette = bits <= 8;
    int depth = bits == 15 ? 16 : bits;
    size_t pixel_bytes = static_cast<size_t>(store.StoreBitCount() / 8);
    ByteWriter out;
    out.U8(0);
    out.U8(palette ? 1 : 0);
    out.U8(static_cast<uint8_t>((palette ? 1 : 2) + (params.RunLength ? 8 : 0)));
    out.U16(0);
    out.U16(static_cast<uint16_t>(palette ? 1 << bits : 0));
    out.U8(24);
    out.U16(0);
    out.U16(0);
    out.U16(static_cast<uint16_t>(store.Width()));
    out.U16(static_cast<uint16_t>(store.Height()));
    out.U8(static_cast<uint8_t>(depth));
    out.U8(0x20);
    if (palette)
        for (int i = 0; i < (1 << bits); ++i) {
            uint32_t e = store.PaletteEntry(i);
            out.U8(static_cast<uint8_t>(e));
            out.U8(static_cast<uint8_t>(e >> 8));
            out.U8(static_cast<uint8_t>(e >> 16));
        }
    // File pixel values in order from the top row; 5-6-5 values become 5-5-5.
    auto file_value = [&](int x, int y) {
        uint32_t v = store.GetPixel(x, y);
        if (bits == 16) v = (v >> 6) << 5 | (v & 0x1F);
        return v;
    };
    auto emit = [&](uint32_t v) {
        for (size_t i = 0; i < pixel_bytes; ++i) out.U8(static_cast<uint8_t>(v >> (8 * i)));
    };
    int64_t total = static_cast<int64_t>(store.Width()) * store.Height();
    auto value_at = [&](int64_t i) { return file_value(static_cast<int>(i % store.Width()), static_cast<int>(i / store.Width())); };
    if (!params.RunLength) {
        for (int64_t i = 0; i < total; ++i) emit(value_at(i));
    } else {
        int64_t i = 0;
        while (i < total) {
            uint32_t v = value_at(i);
            int64_t run = 1;
            while (i + run < total && run < 128 && value_at(i + run) == v) ++run;
            if (run >= 2) {
                out.U8(static_cast<uint8_t>(run - 1 + 128));
                emit(v);
                i += run;
                continue;
            }
            // A stretch of single pixels, up to 128, ending where a run of two begins.
            int64_t start = i, count = 0;
            while (i < total && count < 128) {
                if (i + 1 < total && value_at(i + 1) == value_at(i)) break;
                ++i, ++count;
            }
            out.U8(static_cast<uint8_t>(count - 1));
            for (int64_t k = start; k < start + count; ++k) emit(value_at(k));
        }
    }
    uint32_t extension_offset = 0;
    if (params.TransparentValue >= 0 && !alpha) {
        extension_offset = static_cast<uint32_t>(out.Size());
        std::string ext(kExtensionSize, '\0');
        ext[0] = static_cast<char>(kExtensionSize & 0xFF);
        ext[1] = static_cast<char>(kExtensionSize >> 8);
        int r, g, b;
        store.RGBOfValue(static_cast<uint32_t>(params.TransparentValue), false, r, g, b);
        ext[471] = static_cast<char>(r);
        ext[472] = static_cast<char>(g);
        ext[473] = static_cast<char>(b);
        out.Raw(ext);
    }
    out.U32(extension_offset);
    out.U32(0);
    out.Raw(std::string_view("TRUEVISION-XFILE.\0", 18));
    return out.Take();
}

}  // namespace mobu
