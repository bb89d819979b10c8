// One icon or cursor file turned into a pointer frame: the pixel store's icon reader does the
// decoding (colour rows with their AND mask, 32-bit alpha, PNG images); this adds the checks
// a pointer needs (a small image, a hot spot inside it) and the straight-alpha pixels.
#include <algorithm>

#include "core/byte_reader.h"
#include "graphics/cursor_shape.h"
#include "graphics/image_files.h"

namespace mobu {

namespace {

uint32_t BigEndian32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// The size the first image of the file declares, checked before anything is decoded.
void CheckDeclaredSize(const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    int64_t width = 0, height = 0;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        in.Seek(18);
        width = in.I32();
        height = in.I32();
    } else {
        in.Seek(18);
        uint32_t offset = in.U32();
        in.Seek(offset);
        if (in.Remaining() >= 24 && data[offset] == 0x89 && data[offset + 1] == 'P') {
            width = BigEndian32(data + offset + 16);
            height = BigEndian32(data + offset + 20);
        } else {
            in.U32();
            width = in.I32();
            height = in.I32() / 2;  // colour rows and mask rows
        }
    }
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxCursorSide || height > kMaxCursorSide) in.Fail();
}

}  // namespace

TCursorFrame ReadCursorFrame(const uint8_t* data, size_t size)
{
    CheckDeclaredSize(data, size);
    bool cursor = size >= 4 && !(data[0] == 'B' && data[1] == 'M') && data[2] == 2 && data[3] == 0;
    TDIBSurface store;
    TSaveOption option;  // no transparent colour: the AND mask becomes the alpha plane
    ReadIconFile(store, data, size, option);
    TCursorFrame frame;
    frame.Width = store.Width();
    frame.Height = store.Height();
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > kMaxCursorSide || frame.Height > kMaxCursorSide)
        ByteReader(data, 0).Fail();
    frame.HotSpotX = cursor ? std::clamp(option.HotSpotX, 0, frame.Width - 1) : frame.Width / 2;
    frame.HotSpotY = cursor ? std::clamp(option.HotSpotY, 0, frame.Height - 1) : frame.Height / 2;
    const TDIBSurface* alpha = store.AlphaPlane();
    frame.Pixels.resize(static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height));
    for (int y = 0; y < frame.Height; ++y)
        for (int x = 0; x < frame.Width; ++x) {
            int r, g, b;
            store.RGBOfValue(store.GetPixel(x, y), false, r, g, b);
            uint32_t a = alpha ? alpha->GetPixel(x, y) : 255;
            frame.Pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.Width) + static_cast<size_t>(x)] =
                a << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
        }
    return frame;
}

TCursorShape ReadCursorShape(std::string_view extension, const uint8_t* data, size_t size)
{
    std::string ext;
    size_t dot = extension.rfind('.');
    if (dot != std::string_view::npos)
        for (char c : extension.substr(dot)) ext += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == ".ani") return ReadAniFile(data, size);
    TCursorShape shape;
    shape.Frames.push_back(ReadCursorFrame(data, size));
    return shape;
}

}  // namespace mobu
