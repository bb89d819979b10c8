// Pixel planes of layered images: zlib with a capped output, JPEG colour planes, and the
// raw pixel copies the tile and row layouts need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/dib_surface.h"

namespace mobu {

// Inflates one zlib stream; refuses data that is not one complete stream or whose output
// would pass `cap` bytes.
std::string InflatePlane(std::string_view compressed, size_t cap);
// Deflates at the fastest level.
std::string DeflatePlane(std::string_view raw);

// Width and height of a JPEG file (false when the header cannot be read).
bool JpegSize(std::string_view jpeg, int& width, int& height);
// Decodes a JPEG file into `image`, whose size it must have; pixels go through the image's
// format (BGR rows directly for 24 and 32 bits).
void DecodeJpegPlane(std::string_view jpeg, TDIBSurface& image);
std::string EncodeJpegPlane(const TDIBSurface& image, int quality);

// Bits a stored pixel takes (16 for 15-bit 5-5-5).
inline int StoredBits(const TDIBSurface& image) { return image.StoreBitCount(); }

// Writes packed pixels (most significant bits first for 1 and 4 bits) into row y of
// `image` starting at pixel x, `count` pixels.
void PutPackedPixels(TDIBSurface& image, int x, int y, int count, const uint8_t* packed);
// Copies a rectangle of pixels between stores of the same stored bit count.
void CopyPixelRect(TDIBSurface& target, int target_x, int target_y, const TDIBSurface& source, int source_x,
                   int source_y, int width, int height);

}  // namespace mobu
