// Writing the ".fsk" layered image format (the newest version), used for screen captures.
#include <fstream>

#include "core/mobu_error.h"
#include "core/byte_writer.h"
#include "archive/ks_random.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/fesk_messages.h"
#include "graphics/fesk_planes.h"

namespace mobu {
namespace {

struct TPlaneOptions {
    int mode;
    int quality;
    bool scrambled;
    int32_t ident_code;
};

std::string PlaneBytes(const TDIBSurface& image, bool alpha, const TPlaneOptions& options)
{
    if (options.mode == kFeskNonreversible && !alpha) return EncodeJpegPlane(image, options.quality);
    const size_t row_bytes = image.RowBytes();
    std::string rows;
    rows.reserve(row_bytes * static_cast<size_t>(image.Height()));
    if (options.scrambled) {
        if (options.ident_code == 0) throw EMobuError(MsgSetIdentCode());
        // Stored row i is image row p(i) of the pick sequence.
        TKsRandom order(options.ident_code);
        order.FillPool(image.Height());
        for (int i = 0; i < image.Height(); ++i)
            rows.append(reinterpret_cast<const char*>(image.ScanLine(order.Pick())), row_bytes);
    } else {
        for (int y = 0; y < image.Height(); ++y) rows.append(reinterpret_cast<const char*>(image.ScanLine(y)), row_bytes);
    }
    if (options.mode == kFeskDefaultCompression || (options.mode == kFeskNonreversible && alpha))
        return DeflatePlane(rows);
    return rows;
}

void WritePlanes(ByteWriter& out, const TDIBSurface& image, const TPlaneOptions& options)
{
    out.String(PlaneBytes(image, false, options));
    if (image.HasAlphaPlane()) out.String(PlaneBytes(*image.AlphaPlane(), true, options));
    else out.I32(0);
}

void WritePalette(ByteWriter& out, const TDIBSurface& image)
{
    if (image.BitCount() > 8) return;
    const int entries = 1 << image.BitCount();
    for (int i = 0; i < entries; ++i) {
        const uint32_t rgb = image.PaletteEntry(i);
        out.U8(rgb & 0xFF);
        out.U8((rgb >> 8) & 0xFF);
        out.U8((rgb >> 16) & 0xFF);
        out.U8(0);
    }
}

void WriteAreas(ByteWriter& out, const std::vector<TRect>& areas)
{
    out.I32(static_cast<int32_t>(areas.size()));
    for (const TRect& r : areas) {
        out.I32(r.Left);
        out.I32(r.Top);
        out.I32(r.Right);
        out.I32(r.Bottom);
    }
}

}  // namespace

std::string TFeskFrameList::SaveToStream(int mode, int quality) const
{
    const bool scrambled = IdentCode != 0;
    TPlaneOptions options{scrambled ? kFeskNoCompression : mode, quality, scrambled, IdentCode};
    if (options.mode < kFeskDefaultCompression || options.mode > kFeskNonreversible) options.mode = kFeskDefaultCompression;
    // Scrambled planes are rows; JPEG planes cannot be scrambled.
    if (options.mode == kFeskNonreversible) options.scrambled = false;

    ByteWriter out;
    out.Raw("Fesk106");
    out.I32(40);
    out.I32(kFeskNewestVersion);
    const TFeskFrame* first = frames_.empty() ? nullptr : frames_.front().get();
    out.I32(first ? first->Width() : 0);
    out.I32(first ? first->Height() : 0);
    out.I32(first ? first->BitCount() : 0);
    out.I32(Count());
    out.U8(1);
    out.U8(options.scrambled ? 1 : 0);
    out.U8(static_cast<uint8_t>(options.mode));
    out.U8(0);
    out.U32(BackColor);
    out.I32(0);  // no tiles
    out.I32(0);
    out.U8(FirstLayerOpaque ? 1 : 0);
    out.U8(static_cast<uint8_t>(quality));
    out.U16(0);

    for (const auto& frame_pointer : frames_) {
        const TFeskFrame& frame = *frame_pointer;
        out.String(frame.Name);
        out.I32(frame.TransparentValue);
        out.I32(frame.Delay);
        out.U8(frame.Flag);
        out.I32(0);
        if (frame.LayerCount() > 0) {
            const TDIBSurface& base = frame.Layers(0).Image;
            out.I32(frame.LayerCount());
            out.I32(base.Width());
            out.I32(base.Height());
            out.I32(base.BitCount());
            WritePalette(out, base);
            for (int i = 0; i < frame.LayerCount(); ++i) {
                const TFeskLayer& layer = frame.Layers(i);
                out.I32(0);
                out.I32(0);
                out.U8(layer.Visible);
                out.I32(layer.TransparentColor);
                out.I32(layer.Opacity);
                out.U8(layer.UseAlpha);
                out.String(layer.Name);
                WritePlanes(out, layer.Image, options);
            }
        } else {
            // One layer made of the composed image.
            out.I32(1);
            out.I32(frame.Image.Width());
            out.I32(frame.Image.Height());
            out.I32(frame.Image.BitCount());
            WritePalette(out, frame.Image);
            out.I32(0);
            out.I32(0);
            out.U8(1);
            out.I32(-1);
            out.I32(255);
            out.U8(frame.Image.HasAlphaPlane() ? 1 : 0);
            out.String("Layer");
            WritePlanes(out, frame.Image, options);
        }
        // The areas travel with the frame, so a capture read back keeps them.
        WriteAreas(out, frame.Areas1);
        WriteAreas(out, frame.Areas2);
    }
    return out.Take();
}

void TFeskFrameList::SaveToFile(const std::string& file_name) const
{
    std::string bytes = SaveToStream(kFeskDefaultCompression, 70);
    std::ofstream file(file_name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw EMobuError(SysText(u8"%s:ファイルに書き込めません").replace(0, 2, Utf8ToCp932(file_name)));
}

}  // namespace mobu
