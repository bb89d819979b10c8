#include "graphics/wipes/wipe_shadows.h"

#include <algorithm>
#include <cstring>

#include "graphics/fesk_frame_list.h"
#include "graphics/kernels/wipe_kernels.h"
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
    // Level k + L − 256 cut to 0..255: shifts past ±256 give the same cut levels.
    kernels::WipeKernels().shift_levels8(Mask.Levels.data(), Levels.Levels.data(), Mask.Levels.size(),
                                         static_cast<int>(std::clamp<int64_t>(k - 256, -256, 256)));
    return true;
}

void TWipeShadowWhite::Prepare() { LoadTiledWipeMask(MaskName, Reverse != 0, Width(), Height(), Levels); }

void TWipeShadowWhite::DrawState()
{
    if (Levels.Width != Width() || Levels.Height != Height()) Prepare();
    const int64_t k = Pos() * 768 / Dur() + 255;
    // v = k + L − 511 cut to 0..511: the old picture brightened (darkened) by v up to 255,
    // then the new one by 511 − v. Shifts past ±512 give the same cut values.
    const auto shift = static_cast<int>(std::clamp<int64_t>(k - 511, -512, 512));
    TRows32 target(*Target, true), from(*FromImage, false), to(*ToImage, false);
    if (!target.Valid() || !from.Valid() || !to.Valid()) return;
    const auto& kernels = kernels::WipeKernels();
    for (int y = 0; y < Height(); ++y)
        kernels.through_grey32(target.Row(y), from.Row(y), to.Row(y), Levels.Row(y), static_cast<size_t>(Width()), shift,
                               Darkens());
}

}  // namespace mobu
