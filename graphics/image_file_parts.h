// Pieces shared by the image file readers and writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "graphics/dib_surface.h"

namespace mobu {

// Reads the device-independent bitmap whose info header starts at `info`; the pixels start
// at `pixels_offset`, or right after the colour table when it is 0. Checked against `size`.
void ReadDib(TDIBSurface& store, const uint8_t* data, size_t size, size_t info, size_t pixels_offset);
// The info header, colour table and rows of a store (32 bits with the alpha in the fourth
// bytes when an alpha store of the same size is given); *pixel_start receives the offset of
// the rows.
std::string WriteDib(const TDIBSurface& store, const TDIBSurface* alpha, size_t* pixel_start);
// The fourth bytes of a 32-bit store become its alpha plane and the store 24 bits; all-zero
// fourth bytes make an opaque plane.
void TakeAlphaFromFourthBytes(TDIBSurface& store);

}  // namespace mobu
