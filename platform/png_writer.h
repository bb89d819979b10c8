// Writes a frame as an 8-bit RGB PNG file (the headless runner's screenshots).
#pragma once

#include <string>

#include "platform/frame_buffer.h"

namespace mobu {

// Returns false (with errno-style detail in `error`) when the file cannot be written.
bool WritePngFile(const std::string& path, const FrameBuffer& frame, std::string& error);

}  // namespace mobu
