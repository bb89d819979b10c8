#include "graphics/wipes/wipe_shadows.h"

#include <algorithm>
#include <cstring>

#include "graphics/fesk_frame_list.h"
#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

namespace {

TWipeMaskLoader& Loader()
{
    static TWipeMaskLoader loader;
    return loader;
}

}  // namespace

std::string_view PictureKindOf(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "BM") return "bmp";
    if (bytes.size() >= 4 && bytes.substr(1, 3) == "PNG") return "png";
    return "fsk";
}

bool WipeMaskFromBytes(const std::string& bytes, int32_t ident_code, TWipeMaskPlane& levels)
{
    TFeskFrameList list(ident_code);
    try {
        list.LoadFromBytes(bytes, PictureKindOf(bytes), false, false, false);
    } catch (const std::exception&) {
    }
    if (list.Count() == 0) return false;
    const TDIBSurface& image = list.Frames(0).Image;
    if (image.IsEmpty()) return false;
    levels.SetSize(image.Width(), image.Height());
    const bool indexed = image.StoreBitCount() == 8;
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* row = levels.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t value = image.GetPixel(x, y);
            if (indexed) {
                row[x] = static_cast<uint8_t>(value);
                continue;
            }
            int r = 0, g = 0, b = 0;
            image.RGBOfValue(value, false, r, g, b);
            row[x] = static_cast<uint8_t>(r == g && g == b ? r : (77 * r + 151 * g + 28 * b) >> 8);
        }
    }
    return true;
}

void SetWipeMaskLoader(TWipeMaskLoader loader) { Loader() = std::move(loader); }

void LoadTiledWipeMask(const std::string& name, bool invert, int width, int height, TWipeMaskPlane& out)
{
    out.SetSize(width, height);
    out.Fill(255);
    TWipeMaskPlane picture;
    if (name.empty() || !Loader() || !Loader()(name, picture)) return;
    const size_t expected = static_cast<size_t>(std::max(picture.Width, 0)) * static_cast<size_t>(std::max(picture.Height, 0));
    if (picture.Width <= 0 || picture.Height <= 0 || picture.Levels.size() != expected) return;
    if (invert)
        for (uint8_t& level : picture.Levels) level = static_cast<uint8_t>(255 - level);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = picture.Row(y % picture.Height);
        uint8_t* row = out.Row(y);
        for (int x = 0; x < width; x += picture.Width)
            std::memcpy(row + x, source, static_cast<size_t>(std::min(picture.Width, width - x)));
    }
}

void TWipeShadow::Prepare()
{
    TWipeMask::Prepare();
    LoadTiledWipeMask(MaskName, Reverse != 0, Width(), Height(), Levels);
}

bool TWipeShadow::UpdateMask()
{
    Binary = false;
    if (Levels.Width != Mask.Width || Levels.Height != Mask.Height)
        LoadTiledWipeMask(MaskName, Reverse != 0, Mask.Width, Mask.Height, Levels);
    const int64_t k = Pos() * 512 / Dur();
    if (!TakeLevel(k)) return false;
    for (size_t i = 0; i < Mask.Levels.size(); ++i)
        Mask.Levels[i] = static_cast<uint8_t>(std::clamp<int64_t>(k + Levels.Levels[i] - 256, 0, 255));
    return true;
}

void TWipeShadowWhite::Prepare() { LoadTiledWipeMask(MaskName, Reverse != 0, Width(), Height(), Levels); }

uint32_t TWipeShadowWhite::Shade(uint32_t pixel, int grey) const { return AddGrey(pixel, grey); }

uint32_t TWipeShadowBlack::Shade(uint32_t pixel, int grey) const { return SubGrey(pixel, grey); }

void TWipeShadowWhite::DrawState()
{
    if (Levels.Width != Width() || Levels.Height != Height()) Prepare();
    const int64_t k = Pos() * 768 / Dur() + 255;
    MapPixels(*Target, *FromImage, *ToImage, [&](int x, int y, uint32_t old_pixel, uint32_t new_pixel) {
        const auto v = static_cast<int>(std::clamp<int64_t>(k + Levels.Row(y)[x] - 511, 0, 511));
        return v <= 255 ? Shade(old_pixel, v) : Shade(new_pixel, 511 - v);
    });
}

}  // namespace mobu
