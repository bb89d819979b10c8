// The pixel store's own image files: bitmaps (with alpha in 32-bit pixels), Truevision TGA,
// Windows icons and cursors, and PNG and JPEG through libpng and libjpeg. Readers take the
// whole file in memory and refuse damaged data with EMobuError; the store keeps what was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/dib_surface.h"

namespace mobu {

// Reading options and outputs handed in with a file name.
struct TSaveOption {
    // Inputs.
    bool AskIndex = false;   // several icon images: let the user choose (no chooser here: 0)
    bool TakeAlpha = false;  // a 32-bit image's fourth bytes become the alpha plane
    // The colour (0x00BBGGRR) placed into the masked pixels of a non-32-bit icon; -1 keeps
    // the icon's mask as the alpha plane instead.
    int32_t TransparentColor = -1;
    // Outputs.
    int32_t TransparentValue = -1;
    bool MadeAlpha = false;
    int IconIndex = 0;
    int HotSpotX = 0;
    int HotSpotY = 0;
};

// Writing parameters: an optional 8-bit alpha store, a transparent value, a cursor hot spot,
// and for TGA whether to run-length encode.
struct TImageSaveParams {
    const TDIBSurface* Alpha = nullptr;
    int32_t TransparentValue = -1;
    int HotSpotX = 0;
    int HotSpotY = 0;
    bool RunLength = true;
    int JpegQuality = 90;
};

// Readers of whole files in memory. The store is cleared first.
void ReadBitmapFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option);
void ReadTgaFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option);
void ReadIconFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option);
void ReadPngFile(TDIBSurface& store, const uint8_t* data, size_t size, TSaveOption& option);
void ReadJpegFile(TDIBSurface& store, const uint8_t* data, size_t size);

// Writers: the whole file as bytes.
std::string WriteBitmapFile(const TDIBSurface& store, const TImageSaveParams& params = {});
std::string WriteTgaFile(const TDIBSurface& store, const TImageSaveParams& params = {});
// cursor: type 2 with the hot spot, else an icon.
std::string WriteIconFile(const TDIBSurface& store, bool cursor, const TImageSaveParams& params = {});
std::string WritePngFile(const TDIBSurface& store, const TImageSaveParams& params = {});
std::string WriteJpegFile(const TDIBSurface& store, const TImageSaveParams& params = {});

// Chooses the reader by the extension (".tga"; ".ico" or ".cur"; else the bitmap reader,
// which also recognises PNG and JPEG content by its signature).
void LoadImageBytes(TDIBSurface& store, std::string_view extension, const uint8_t* data, size_t size,
                    TSaveOption& option);
std::string SaveImageBytes(const TDIBSurface& store, std::string_view extension, const TImageSaveParams& params);

// The store's LoadFromFile and SaveToFile: file names are code page 932.
void LoadImageFile(TDIBSurface& store, const std::string& file_name, TSaveOption& option);
void SaveImageFile(const TDIBSurface& store, const std::string& file_name, const TImageSaveParams& params);

}  // namespace mobu
