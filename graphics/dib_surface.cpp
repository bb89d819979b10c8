// Core of the pixel store: size and format, pixel access, palette, copy-on-write sharing,
// compression, the alpha plane and the value conversions.
#include "graphics/dib_surface.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <zlib.h>

#include "core/mobu_error.h"
#include "graphics/pixel_store_messages.h"

namespace mobu {

struct TDIBSurface::TStorage {
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> packed;  // zlib stream while compressed
    bool compressed = false;
};

static TPixelFormat MakeFormat(int red_bits, int green_bits, int blue_bits)
{
    TPixelFormat f;
    f.RedBits = red_bits;
    f.GreenBits = green_bits;
    f.BlueBits = blue_bits;
    f.BlueShift = 0;
    f.GreenShift = blue_bits;
    f.RedShift = blue_bits + green_bits;
    f.BlueMask = (1u << blue_bits) - 1;
    f.GreenMask = ((1u << green_bits) - 1) << f.GreenShift;
    f.RedMask = ((1u << red_bits) - 1) << f.RedShift;
    return f;
}

TPixelFormat PixelFormat555() { return MakeFormat(5, 5, 5); }
TPixelFormat PixelFormat565() { return MakeFormat(5, 6, 5); }
TPixelFormat PixelFormat888() { return MakeFormat(8, 8, 8); }

size_t DibRowBytes(int width, int bits)
{
    if (width <= 0 || bits <= 0) return 0;
    return (static_cast<size_t>(bits) * static_cast<size_t>(width) + 31) / 32 * 4;
}

TDIBSurface::TDIBSurface(const TDIBSurface& other)
    : width_(other.width_),
      height_(other.height_),
      bits_(other.bits_),
      row_bytes_(other.row_bytes_),
      format_(other.format_),
      palette_(other.palette_),
      storage_(other.storage_),
      alpha_(other.alpha_ ? std::make_unique<TDIBSurface>(*other.alpha_) : nullptr)
{
}

TDIBSurface& TDIBSurface::operator=(const TDIBSurface& other)
{
    if (this == &other) return *this;
    TDIBSurface copy(other);
    *this = std::move(copy);
    return *this;
}

TDIBSurface::~TDIBSurface() = default;

void TDIBSurface::SetSize(int width, int height, int bits)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    int store_bits;
    switch (bits) {
    case 1: case 4: case 8: case 24: case 32: store_bits = bits; format_ = bits >= 24 ? PixelFormat888() : TPixelFormat{}; break;
    case 15: store_bits = 16; format_ = PixelFormat555(); break;
    case 16: store_bits = 16; format_ = PixelFormat565(); break;
    default: store_bits = 24; format_ = PixelFormat888(); break;
    }
    size_t row = DibRowBytes(width, store_bits);
    // Refuse sizes whose storage cannot be addressed (the product is taken in 64 bits).
    if (height > 0 && row > std::numeric_limits<size_t>::max() / 4 / static_cast<size_t>(height))
        throw EMobuError(MsgCanNotAllocMemory());
    if (row * static_cast<size_t>(height) > (size_t{1} << 34)) throw EMobuError(MsgCanNotAllocMemory());
    auto storage = std::make_shared<TStorage>();
    try {
        storage->pixels.assign(row * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        throw EMobuError(MsgCanNotAllocMemory());
    }
    width_ = width;
    height_ = height;
    bits_ = store_bits;
    row_bytes_ = row;
    storage_ = std::move(storage);
    if (alpha_) alpha_->SetSize(width, height, 8);
}

void TDIBSurface::Clear()
{
    width_ = height_ = 0;
    row_bytes_ = 0;
    storage_.reset();
    alpha_.reset();
}

int TDIBSurface::BitCount() const
{
    if (bits_ == 16 && format_.GreenMask == 0x03E0) return 15;
    return bits_;
}

int TDIBSurface::PaletteSize() const
{
    return bits_ >= 1 && bits_ <= 8 ? 1 << bits_ : 0;
}

void TDIBSurface::SetGreyPalette()
{
    int n = std::max(PaletteSize(), 2);
    for (int i = 0; i < n; ++i) {
        uint32_t v = static_cast<uint32_t>(i * 255 / (n - 1));
        palette_[static_cast<size_t>(i)] = v << 16 | v << 8 | v;
    }
}

void TDIBSurface::Expand() const
{
    if (!storage_ || !storage_->compressed) return;
    std::vector<uint8_t> pixels(ImageSize());
    uLongf size = static_cast<uLongf>(pixels.size());
    if (uncompress(pixels.data(), &size, storage_->packed.data(), static_cast<uLong>(storage_->packed.size())) != Z_OK ||
        size != pixels.size())
        throw EMobuError(MsgCanNotAllocMemory());
    storage_->pixels = std::move(pixels);
    storage_->packed.clear();
    storage_->packed.shrink_to_fit();
    storage_->compressed = false;
}

void TDIBSurface::MakeOwn()
{
    if (!storage_) return;
    Expand();
    if (storage_.use_count() > 1) storage_ = std::make_shared<TStorage>(*storage_);
}

bool TDIBSurface::IsShared() const { return storage_ && storage_.use_count() > 1; }
bool TDIBSurface::IsCompressed() const { return storage_ && storage_->compressed; }

void TDIBSurface::Compress()
{
    if (!storage_ || storage_->compressed || storage_->pixels.empty()) return;
    uLongf bound = compressBound(static_cast<uLong>(storage_->pixels.size()));
    std::vector<uint8_t> packed(bound);
    if (compress2(packed.data(), &bound, storage_->pixels.data(), static_cast<uLong>(storage_->pixels.size()),
                  Z_BEST_SPEED) != Z_OK)
        return;
    packed.resize(bound);
    storage_->packed = std::move(packed);
    storage_->pixels.clear();
    storage_->pixels.shrink_to_fit();
    storage_->compressed = true;
}

uint8_t* TDIBSurface::Bits()
{
    MakeOwn();
    return storage_ ? storage_->pixels.data() : nullptr;
}

const uint8_t* TDIBSurface::Bits() const
{
    Expand();
    return storage_ ? storage_->pixels.data() : nullptr;
}

uint8_t* TDIBSurface::ScanLine(int y)
{
    return Bits() + static_cast<size_t>(height_ - 1 - y) * row_bytes_;
}

const uint8_t* TDIBSurface::ScanLine(int y) const
{
    return Bits() + static_cast<size_t>(height_ - 1 - y) * row_bytes_;
}

uint32_t TDIBSurface::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return RowPixel(ScanLine(y), x);
}

void TDIBSurface::SetPixel(int x, int y, uint32_t value)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    SetRowPixel(ScanLine(y), x, value);
}

void TDIBSurface::SetRowPixel(uint8_t* row, int x, uint32_t value) const
{
    switch (bits_) {
    case 1: {
        uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (value & 0x0F));
        else
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | (value & 0x0F) << 4);
        break;
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16:
        row[2 * x] = static_cast<uint8_t>(value);
        row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
        break;
    case 24:
        row[3 * x] = static_cast<uint8_t>(value);
        row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
        break;
    case 32: std::memcpy(row + 4 * static_cast<size_t>(x), &value, 4); break;
    default: break;
    }
}

// ---- alpha plane ----

void TDIBSurface::MakeAlphaPlane()
{
    if (alpha_) return;
    alpha_ = std::make_unique<TDIBSurface>(width_, height_, 8);
    alpha_->SetGreyPalette();
}

void TDIBSurface::DropAlphaPlane() { alpha_.reset(); }

void TDIBSurface::CopyAlphaPlane(const TDIBSurface& store8)
{
    MakeAlphaPlane();
    if (store8.StoreBitCount() != 8) return;
    int rows = std::min(height_, store8.Height());
    size_t bytes = static_cast<size_t>(std::min(width_, store8.Width()));
    if (rows <= 0 || bytes == 0) return;  // nothing to copy (and no rows to address)
    for (int y = 0; y < rows; ++y) std::memcpy(alpha_->ScanLine(y), store8.ScanLine(y), bytes);
}

void TDIBSurface::CopyAlphaRect(const TDIBSurface& store8, const TRect& rect)
{
    MakeAlphaPlane();
    if (store8.StoreBitCount() != 8) return;
    TRect r = IntersectRects(rect, store8.Bounds());
    if (r.IsEmpty()) return;
    int rows = std::min(r.Height(), height_);
    size_t bytes = static_cast<size_t>(std::min(r.Width(), width_));
    if (rows <= 0 || bytes == 0) return;
    for (int y = 0; y < rows; ++y) std::memcpy(alpha_->ScanLine(y), store8.ScanLine(r.Top + y) + r.Left, bytes);
}

void TDIBSurface::OpaqueAlphaPlane()
{
    if (!alpha_ || alpha_->IsEmpty()) return;
    std::memset(alpha_->Bits(), 255, alpha_->ImageSize());
}

// ---- values ----

int TDIBSurface::NearestPaletteIndex(int red, int green, int blue, int count) const
{
    int best = 0;
    int64_t best_distance = std::numeric_limits<int64_t>::max();
    count = std::clamp(count, 1, 256);
    for (int i = 0; i < count; ++i) {
        uint32_t e = palette_[static_cast<size_t>(i)];
        int64_t dr = static_cast<int>((e >> 16) & 0xFF) - red;
        int64_t dg = static_cast<int>((e >> 8) & 0xFF) - green;
        int64_t db = static_cast<int>(e & 0xFF) - blue;
        int64_t d = dr * dr + dg * dg + db * db;
        if (d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

uint32_t TDIBSurface::ValueOfRGB(int red, int green, int blue) const
{
    red &= 0xFF;
    green &= 0xFF;
    blue &= 0xFF;
    switch (BitCount()) {
    case 1: case 4: case 8: return static_cast<uint32_t>(NearestPaletteIndex(red, green, blue, PaletteSize()));
    case 15: return static_cast<uint32_t>((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3));
    case 16: return static_cast<uint32_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
    default: return static_cast<uint32_t>(red << 16 | green << 8 | blue);
    }
}

void TDIBSurface::RGBOfValue(uint32_t value, bool fill, int& red, int& green, int& blue) const
{
    switch (BitCount()) {
    case 1: case 4: case 8: {
        uint32_t e = palette_[value & 0xFF];
        red = static_cast<int>((e >> 16) & 0xFF);
        green = static_cast<int>((e >> 8) & 0xFF);
        blue = static_cast<int>(e & 0xFF);
        return;
    }
    case 16:
        blue = static_cast<int>((value & 0x1F) << 3);
        green = static_cast<int>((value & 0x07E0) >> 3);
        red = static_cast<int>((value & 0xF800) >> 8);
        if (fill) {
            if (blue) blue |= 7;
            if (green) green |= 3;
            if (red) red |= 7;
        }
        return;
    case 15:
        blue = static_cast<int>((value & 0x1F) << 3);
        green = static_cast<int>((value & 0x03E0) >> 2);
        red = static_cast<int>((value & 0x7C00) >> 7);
        if (fill) {
            if (blue) blue |= 7;
            if (green) green |= 7;
            if (red) red |= 7;
        }
        return;
    default:
        red = static_cast<int>((value >> 16) & 0xFF);
        green = static_cast<int>((value >> 8) & 0xFF);
        blue = static_cast<int>(value & 0xFF);
        return;
    }
}

int TDIBSurface::UsedColorCount() const
{
    if (IsEmpty()) return 0;
    if (bits_ <= 8) {
        int limit = 1 << bits_;
        bool seen[256] = {};
        int count = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                uint32_t v = GetPixel(x, y);
                if (!seen[v]) {
                    seen[v] = true;
                    if (++count >= limit) return count;
                }
            }
        return count;
    }
    std::vector<uint32_t> values;
    values.reserve(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) values.push_back(GetPixel(x, y));
    std::sort(values.begin(), values.end());
    return static_cast<int>(std::unique(values.begin(), values.end()) - values.begin());
}

int TDIBSurface::FreePaletteIndex() const
{
    if (bits_ > 8 || bits_ == 0) return -1;
    int limit = 1 << bits_;
    bool used[256] = {};
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) used[GetPixel(x, y)] = true;
    if (bits_ == 1) {
        if (used[0] && used[1]) return -1;
        return used[0] ? 1 : 0;
    }
    for (int i = 0; i < limit; ++i)
        if (!used[i]) return i;
    return -1;
}

}  // namespace mobu
