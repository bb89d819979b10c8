// Row blending between surfaces: packed kernels for matching 16/32-bit formats, and the
// per-pixel path with the channel masks for everything else.
#include "graphics/surface_row_blender.h"

#include <algorithm>
#include <cstring>

#include "graphics/custom_dibx.h"

namespace mobu {

TSurfaceFormat TSurfaceFormat::Of(const TCustomDIBX& surface)
{
    TSurfaceFormat f;
    f.bit_count = surface.BitCount();
    f.bytes = (f.bit_count + 7) / 8;
    switch (f.bit_count) {
    case 8:
        // Palette indexes and masks: one channel of eight bits.
        f.masks[0] = 0xFF;
        f.mask_count = 1;
        break;
    case 15:
    case 16:
        f.masks[0] = surface.RedMask();
        f.masks[1] = surface.GreenMask();
        f.masks[2] = surface.BlueMask();
        f.mask_count = 3;
        f.format16 = f.bit_count == 15 ? kernels::kFormat555 : kernels::kFormat565;
        break;
    case 24:
        f.masks[0] = 0xFF0000;
        f.masks[1] = 0x00FF00;
        f.masks[2] = 0x0000FF;
        f.mask_count = 3;
        break;
    case 32:
        // The top byte carries no colour but is blended like the others.
        f.masks[0] = 0xFF000000u;
        f.masks[1] = 0x00FF0000;
        f.masks[2] = 0x0000FF00;
        f.masks[3] = 0x000000FF;
        f.mask_count = 4;
        break;
    default:
        f.bytes = 0;
        break;
    }
    return f;
}

bool TSurfaceFormat::SameAs(const TSurfaceFormat& other) const
{
    if (bit_count != other.bit_count || mask_count != other.mask_count) return false;
    for (int k = 0; k < mask_count; ++k)
        if (masks[k] != other.masks[k]) return false;
    return true;
}

uint32_t ReadRaw(const uint8_t* row, size_t x, int bytes)
{
    const uint8_t* p = row + x * static_cast<size_t>(bytes);
    switch (bytes) {
    case 1: return p[0];
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case 3: return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    default: { uint32_t v; std::memcpy(&v, p, 4); return v; }
    }
}

void WriteRaw(uint8_t* row, size_t x, int bytes, uint32_t value)
{
    uint8_t* p = row + x * static_cast<size_t>(bytes);
    switch (bytes) {
    case 1: p[0] = static_cast<uint8_t>(value); break;
    case 2: { uint16_t v = static_cast<uint16_t>(value); std::memcpy(p, &v, 2); break; }
    case 3:
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
        break;
    default: std::memcpy(p, &value, 4); break;
    }
}

TRowBlender::TRowBlender(const TSurfaceFormat& dst, const TSurfaceFormat& src, TBlendOp op, uint32_t amount,
                         int64_t key)
    : dst_(dst),
      src_(src),
      op_(op),
      // Additive amounts may reach 256 (the whole source value); blends stop at 255.
      amount_(std::min<uint32_t>(amount, op == TBlendOp::Add || op == TBlendOp::AddMask ? 256 : 255)),
      key_(key)
{
    packed_ = dst_.SameAs(src_) && (dst_.bytes == 2 || dst_.bytes == 4);
}

void TRowBlender::Run(uint8_t* dst, const uint8_t* src, const uint8_t* mask, size_t count) const
{
    if (count == 0) return;
    if (!packed_) {
        // Plain copies between 16- and 32-bit formats have their own packed conversions.
        if (op_ == TBlendOp::Copy && key_ < 0) {
            if (dst_.bit_count == 32 && src_.bytes == 2) {
                kernels::Kernels().widen16to32(reinterpret_cast<uint32_t*>(dst),
                                               reinterpret_cast<const uint16_t*>(src), count, src_.format16);
                return;
            }
            if (dst_.bytes == 2 && src_.bit_count == 32) {
                kernels::Kernels().narrow32to16(reinterpret_cast<uint16_t*>(dst),
                                                reinterpret_cast<const uint32_t*>(src), count, dst_.format16);
                return;
            }
        }
        RunPerPixel(dst, src, mask, count);
        return;
    }
    const kernels::TKernelTable& k = kernels::Kernels();
    if (dst_.bytes == 4) {
        auto* d = reinterpret_cast<uint32_t*>(dst);
        auto* s = reinterpret_cast<const uint32_t*>(src);
        switch (op_) {
        case TBlendOp::Copy: k.keyed32(d, s, count, key_); break;
        case TBlendOp::Alpha: k.alpha32(d, s, count, amount_, key_); break;
        case TBlendOp::Add: k.add32(d, s, count, amount_, key_); break;
        case TBlendOp::Mask: k.mask32(d, s, mask, count); break;
        case TBlendOp::AlphaMask: k.alpha_mask32(d, s, mask, count, amount_); break;
        case TBlendOp::AddMask: k.add_mask32(d, s, mask, count, amount_); break;
        }
        return;
    }
    auto* d = reinterpret_cast<uint16_t*>(dst);
    auto* s = reinterpret_cast<const uint16_t*>(src);
    const kernels::TFormat16& f = dst_.format16;
    switch (op_) {
    case TBlendOp::Copy: k.keyed16(d, s, count, key_); break;
    case TBlendOp::Alpha: k.alpha16(d, s, count, amount_, key_, f); break;
    case TBlendOp::Add: k.add16(d, s, count, amount_, key_, f); break;
    case TBlendOp::Mask: k.mask16(d, s, mask, count, f); break;
    case TBlendOp::AlphaMask: k.alpha_mask16(d, s, mask, count, amount_, f); break;
    case TBlendOp::AddMask: k.add_mask16(d, s, mask, count, amount_, f); break;
    }
}

// A source value in the destination's format: the same format passes unchanged; between
// colour formats each channel is widened to 8 bits (top bits repeated) and narrowed to the
// destination's channel width; 8-bit values (palette indexes, masks) are used unchanged.
uint32_t TRowBlender::Convert(uint32_t value) const
{
    if (src_.SameAs(dst_) || src_.bit_count == 8 || dst_.bit_count == 8) return value;
    auto channel = [&](int k) {
        uint64_t m = src_.masks[k];
        int shift = __builtin_ctzll(m);
        int bits = __builtin_popcountll(m);
        uint32_t c = static_cast<uint32_t>((value & m) >> shift);
        if (bits >= 8) return c >> (bits - 8);
        uint32_t wide = c << (8 - bits);
        return wide | (wide >> bits);
    };
    // Source channels in red, green, blue order.
    int first = src_.bit_count == 32 ? 1 : 0;
    uint32_t rgb[3] = {channel(first), channel(first + 1), channel(first + 2)};
    uint32_t out = 0;
    int dfirst = dst_.bit_count == 32 ? 1 : 0;
    for (int k = 0; k < 3; ++k) {
        uint64_t m = dst_.masks[dfirst + k];
        int shift = __builtin_ctzll(m);
        int bits = __builtin_popcountll(m);
        out |= (rgb[k] >> (8 - bits)) << shift;
    }
    return out;
}

void TRowBlender::RunPerPixel(uint8_t* dst, const uint8_t* src, const uint8_t* mask, size_t count) const
{
    const int db = dst_.bytes, sb = src_.bytes;
    const uint64_t* masks = dst_.masks;
    const int mask_count = dst_.mask_count;
    auto blend = [&](uint64_t s, uint64_t d, uint64_t a) {
        uint64_t r = 0;
        for (int k = 0; k < mask_count; ++k) {
            uint64_t m = masks[k];
            r |= ((a * (s & m) + (255 - a) * (d & m)) >> 8) & m;
        }
        return static_cast<uint32_t>(r);
    };
    auto add = [&](uint64_t s, uint64_t d, uint64_t a) {
        uint64_t r = 0;
        for (int k = 0; k < mask_count; ++k) {
            uint64_t m = masks[k];
            r |= std::min(m, (d & m) + (((a * (s & m)) >> 8) & m));
        }
        return static_cast<uint32_t>(r);
    };
    const bool keyed = key_ >= 0;
    const uint32_t key = static_cast<uint32_t>(key_);
    for (size_t i = 0; i < count; ++i) {
        uint32_t raw = ReadRaw(src, i, sb);
        uint32_t m = mask ? mask[i] : 255;
        uint32_t d = ReadRaw(dst, i, db);
        uint32_t s = Convert(raw);
        uint32_t out = d;
        switch (op_) {
        case TBlendOp::Copy:
            if (keyed && raw == key) continue;
            out = s;
            break;
        case TBlendOp::Alpha:
            if ((keyed && raw == key) || s == d) continue;
            out = blend(s, d, amount_);
            break;
        case TBlendOp::Add:
            if (keyed && raw == key) continue;
            // Palette surfaces add the raw values.
            out = dst_.bit_count == 8 ? std::min<uint32_t>(255, d + s) : add(s, d, amount_);
            break;
        case TBlendOp::Mask:
            if (m == 0) continue;
            out = m == 255 ? s : blend(s, d, m);
            break;
        case TBlendOp::AlphaMask:
            if (m == 0) continue;
            out = blend(s, d, (amount_ * m) >> 8);
            break;
        case TBlendOp::AddMask:
            if (m == 0) continue;
            out = add(s, d, (amount_ * m) >> 8);
            break;
        }
        WriteRaw(dst, i, db, out);
    }
}

}  // namespace mobu
