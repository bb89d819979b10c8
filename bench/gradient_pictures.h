// Pictures for the benchmarks that draw components: a 24-bit gradient bitmap (each seed a
// different one), and the same as a layered image the way the build converts pictures.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/fesk_frame_list.h"

namespace mobu::bench {

inline std::string GradientBitmap(int width, int height, int seed)
{
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t image = static_cast<uint32_t>(stride * height), file = 54 + image;
    std::string out = "BM";
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { out.push_back(static_cast<char>(v)); out.push_back(static_cast<char>(v >> 8)); };
    u32(file), u32(0), u32(54), u32(40), u32(static_cast<uint32_t>(width)), u32(static_cast<uint32_t>(height));
    u16(1), u16(24), u32(0), u32(image), u32(2835), u32(2835), u32(0), u32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out.push_back(static_cast<char>(x + seed));
            out.push_back(static_cast<char>(y * 3));
            out.push_back(static_cast<char>((x ^ y) + seed * 7));
        }
        out.append(static_cast<size_t>(stride - width * 3), '\0');
    }
    return out;
}

inline std::string GradientPicture(int width, int height, int seed)
{
    TFeskFrameList list;
    list.LoadFromBytes(GradientBitmap(width, height, seed), "bmp", false, false, false);
    return list.SaveToStream(kFeskDefaultCompression, 70);
}

}  // namespace mobu::bench
