// Image files and palettes of drawing surfaces. Files are read into a pixel store and copied
// in converted to the surface's own bit count; saving goes out through a 24-bit store.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "graphics/custom_dibx.h"
#include "graphics/fesk_frame_list.h"
#include "graphics/image_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

bool HasBitmapExtension(const std::string& file_name)
{
    if (file_name.size() < 4) return false;
    std::string ext = file_name.substr(file_name.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".bmp";
}

}  // namespace

int TCustomDIBX::PaletteCount() const
{
    int bits = StoreBitCount();
    return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
}

void TCustomDIBX::GetPalette(uint32_t* entries)
{
    if (int count = PaletteCount()) GetPaletteEntries(entries, 0, count);
}

void TCustomDIBX::SetPalette(const uint32_t* entries)
{
    if (int count = PaletteCount()) SetPaletteEntries(entries, 0, count);
}

void TCustomDIBX::TakeImage(TDIBSurface& image)
{
    const int bits = BitCount();
    TDIBSurface converted(image.Width(), image.Height(), bits);
    if (converted.StoreBitCount() <= 8) {
        uint32_t palette[256] = {};
        GetPalette(palette);
        for (int i = 0; i < 256; ++i) converted.SetPaletteEntry(i, palette[i]);
    }
    converted.PutConverted(0, 0, -1, image);
    SetSize(image.Width(), image.Height(), bits);
    if (Width() != image.Width() || Height() != image.Height()) return;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x) SetPixel(x, y, converted.GetPixel(x, y));
}

void TCustomDIBX::LoadFromFile(const std::string& file_name)
{
    if (!HasBitmapExtension(file_name)) return;
    std::ifstream file(Cp932ToUtf8(file_name), std::ios::binary);
    if (!file) return;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TDIBSurface image;
    TSaveOption option;
    ReadBitmapFile(image, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
    TakeImage(image);
}

void TCustomDIBX::LoadFromStream(std::string_view data, int option)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    TDIBSurface image;
    if (data.size() >= 2 && data.substr(0, 2) == "BM") {
        TSaveOption read_option;
        ReadBitmapFile(image, bytes, data.size(), read_option);
    } else if (data.size() >= 4 && data.substr(1, 3) == "PNG") {
        TSaveOption read_option;
        ReadPngFile(image, bytes, data.size(), read_option);
    } else if (data.size() >= 4 && data.substr(0, 4) == "Fesk") {
        TFeskFrameList frames(option);
        frames.LoadFromStream(data, true, false, false);
        if (frames.Count() == 0) return;
        image = frames.Frames(0).Image;
    } else {
        return;
    }
    TakeImage(image);
}

void TCustomDIBX::SaveToFile(const std::string& file_name)
{
    if (!HasBitmapExtension(file_name)) return;
    TDIBSurface image(Width(), Height(), BitCount());
    if (image.StoreBitCount() <= 8) {
        uint32_t palette[256] = {};
        GetPalette(palette);
        for (int i = 0; i < 256; ++i) image.SetPaletteEntry(i, palette[i]);
    }
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x) image.SetPixel(x, y, GetPixel(x, y));
    TDIBSurface out(Width(), Height(), 24);
    out.PutConverted(0, 0, -1, image);
    SaveImageFile(out, file_name, TImageSaveParams{});
}

}  // namespace mobu
