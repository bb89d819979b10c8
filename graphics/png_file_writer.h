// PNG files from pixel stores: for tools and the headless renderings of the tests.
#pragma once

#include <string>

#include "graphics/dib_surface.h"

namespace mobu {

// RGB, or RGBA when the store has an alpha plane. Raises EMobuError when encoding fails.
std::string EncodePng(const TDIBSurface& image);

}  // namespace mobu
