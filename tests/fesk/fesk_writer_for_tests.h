// A small independent writer of layered image files for the tests: the records are laid
// out field by field here and planes are deflated with zlib directly, so the reader is
// checked against bytes the player's own writer did not make.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mobu::testing_fesk {

struct TRawLayer {
    uint8_t visible = 1;
    int32_t transparent = -1;
    int32_t opacity = 255;
    uint8_t use_alpha = 0;
    std::string name = "L";
    std::string colour;  // plane bytes before compression (rows, tiles or a JPEG file)
    std::string alpha;   // empty: no alpha plane
};

struct TRawArea {
    int32_t left, top, right, bottom;
};

struct TRawFrame {
    std::string name = "F";
    int32_t transparent = -1;
    int32_t delay = 100;
    uint8_t flag = 0;
    int32_t width = 0, height = 0, bits = 24;
    std::vector<uint32_t> palette;  // 0x00RRGGBB, 2^bits entries when bits <= 8
    std::vector<TRawLayer> layers;
    std::vector<TRawArea> areas1, areas2;
};

struct TRawFile {
    int version = 106;  // 0 writes no magic
    int mode = 0;
    uint8_t scrambled = 0;
    uint32_t back_color = 0;
    int32_t tile_width = 0, tile_height = 0;
    uint8_t first_layer_opaque = 0;
    int32_t header_size = 40;
    std::vector<TRawFrame> frames;
};

class TBytes {
public:
    void I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
    }
    void U8(uint8_t v) { out.push_back(static_cast<char>(v)); }
    void Str(const std::string& s)
    {
        I32(static_cast<int32_t>(s.size()));
        out += s;
    }
    std::string out;
};

// The 24-bit rows of a picture whose pixel (x, y) is 0x00RRGGBB, row 0 first: blue, green,
// red per pixel, each row padded to 4 bytes.
inline std::string Rows24(int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    std::string out;
    const size_t row_bytes = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        std::string row(row_bytes, '\0');
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixel(x, y);
            row[3 * x] = static_cast<char>(p & 0xFF);
            row[3 * x + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        out += row;
    }
    return out;
}

inline std::string Zlib(const std::string& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 6);
    out.resize(size);
    return out;
}

// The pick sequence written out plainly: a list of 0..n-1, s = s*5 + seed, take s mod size.
inline std::vector<int> PickSequence(int32_t seed, int n)
{
    std::vector<int> pool;
    for (int i = 0; i < n; ++i) pool.push_back(i);
    std::vector<int> order;
    uint32_t s = 0;
    while (!pool.empty()) {
        s = s * 5u + static_cast<uint32_t>(seed);
        size_t index = s % pool.size();
        order.push_back(pool[index]);
        pool.erase(pool.begin() + static_cast<long>(index));
    }
    return order;
}

inline std::string WriteRawFesk(const TRawFile& file)
{
    TBytes b;
    const int v = file.version;
    if (v > 0) {
        b.out += "Fesk";
        b.out += std::to_string(v).insert(0, 3 - std::to_string(v).size(), '0');
    }
    if (v >= 103) {
        b.I32(file.header_size);
        TBytes h;
        h.I32(v);
        h.I32(file.frames.empty() ? 0 : file.frames[0].width);
        h.I32(file.frames.empty() ? 0 : file.frames[0].height);
        h.I32(file.frames.empty() ? 0 : file.frames[0].bits);
        h.I32(static_cast<int32_t>(file.frames.size()));
        h.U8(1);
        h.U8(file.scrambled);
        h.U8(static_cast<uint8_t>(file.mode));
        h.U8(0);
        h.I32(static_cast<int32_t>(file.back_color));
        h.I32(file.tile_width);
        h.I32(file.tile_height);
        h.U8(file.first_layer_opaque);
        h.U8(70);
        h.U8(0);
        h.U8(0);
        h.out.resize(static_cast<size_t>(std::max(file.header_size, 0)), '\0');
        b.out += h.out;
    } else {
        b.I32(static_cast<int32_t>(file.frames.size()));
        b.U8(0);
        if (v >= 102) b.I32(static_cast<int32_t>(file.back_color));
    }
    const int mode = v >= 103 ? file.mode : 0;
    for (const TRawFrame& f : file.frames) {
        b.Str(f.name);
        b.I32(f.transparent);
        b.I32(f.delay);
        b.U8(f.flag);
        b.I32(0);
        b.I32(static_cast<int32_t>(f.layers.size()));
        b.I32(f.width);
        b.I32(f.height);
        b.I32(f.bits);
        if (f.bits <= 8)
            for (int i = 0; i < (1 << f.bits); ++i) {
                uint32_t c = i < static_cast<int>(f.palette.size()) ? f.palette[i] : 0;
                b.U8(c & 0xFF);
                b.U8((c >> 8) & 0xFF);
                b.U8((c >> 16) & 0xFF);
                b.U8(0);
            }
        for (const TRawLayer& l : f.layers) {
            b.I32(0);
            b.I32(0);
            b.U8(l.visible);
            b.I32(l.transparent);
            b.I32(l.opacity);
            if (v > 100) b.U8(l.use_alpha);
            b.Str(l.name);
            b.Str(mode == 0 ? Zlib(l.colour) : l.colour);
            if (v > 99) b.Str(l.alpha.empty() ? std::string() : (mode == 1 ? l.alpha : Zlib(l.alpha)));
        }
        if (v >= 104) {
            for (const auto* areas : {&f.areas1, &f.areas2}) {
                b.I32(static_cast<int32_t>(areas->size()));
                for (const TRawArea& a : *areas) {
                    b.I32(a.left);
                    b.I32(a.top);
                    b.I32(a.right);
                    b.I32(a.bottom);
                }
            }
        }
    }
    return b.out;
}

}  // namespace mobu::testing_fesk
