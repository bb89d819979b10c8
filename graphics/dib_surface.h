// The memory pixel store: a device-independent bitmap (1, 4, 8, 15, 16, 24 or 32 bits, rows
// kept bottom-up and padded to 4 bytes) with an optional 8-bit alpha plane. Copies made by
// assignment share the pixels until one of them changes them (copy on write); the pixels can
// be held compressed and are expanded again on the next access.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/rect.h"

namespace mobu {

// Red, green and blue channel masks and shifts of a 16-, 24- or 32-bit store.
struct TPixelFormat {
    uint32_t RedMask = 0;
    uint32_t GreenMask = 0;
    uint32_t BlueMask = 0;
    int RedShift = 0;
    int GreenShift = 0;
    int BlueShift = 0;
    int RedBits = 0;
    int GreenBits = 0;
    int BlueBits = 0;
};

TPixelFormat PixelFormat555();
TPixelFormat PixelFormat565();
TPixelFormat PixelFormat888();

class TDIBSurface {
public:
    TDIBSurface() = default;
    TDIBSurface(int width, int height, int bits) { SetSize(width, height, bits); }
    TDIBSurface(const TDIBSurface& other);
    TDIBSurface& operator=(const TDIBSurface& other);
    TDIBSurface(TDIBSurface&&) noexcept = default;
    TDIBSurface& operator=(TDIBSurface&&) noexcept = default;
    ~TDIBSurface();

    // ---- size and format ----
    // Re-creates the store at the size and bit count (15 = 16-bit 5-5-5, 16 = 5-6-5); all
    // pixels become 0, the palette is kept, an alpha plane is resized with the store (0).
    // Negative sizes count as 0. Raises "Can not alloc memory" when the size cannot be held.
    void SetSize(int width, int height, int bits);
    // Empties the image (0 × 0) and frees the alpha plane.
    void Clear();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }
    // 15 for a 16-bit store in 5-5-5, else the stored bit count.
    int BitCount() const;
    // Bits per stored pixel: 1, 4, 8, 16, 24 or 32 (0 when never sized).
    int StoreBitCount() const { return bits_; }
    const TPixelFormat& Format() const { return format_; }
    uint32_t RedMask() const { return format_.RedMask; }
    uint32_t GreenMask() const { return format_.GreenMask; }
    uint32_t BlueMask() const { return format_.BlueMask; }
    TRect Bounds() const { return TRect{0, 0, width_, height_}; }

    // Bytes of one stored row ((bits × width + 31) div 32 × 4).
    size_t RowBytes() const { return row_bytes_; }
    // Bytes from one image row to the next in memory: negative, rows are bottom-up.
    ptrdiff_t Pitch() const { return -static_cast<ptrdiff_t>(row_bytes_); }
    // Total bytes of pixel storage (RowBytes × Height).
    size_t ImageSize() const { return row_bytes_ * static_cast<size_t>(height_); }

    // ---- pixel access ----
    // Start of image row y (0 = top). The writable form makes the pixels this store's own
    // first (copy on write). Rows outside the image are not checked.
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;
    // The whole storage in memory order (the bottom row first).
    uint8_t* Bits();
    const uint8_t* Bits() const;
    // Raw pixel values; outside the image GetPixel gives 0 and SetPixel does nothing.
    uint32_t GetPixel(int x, int y) const;
    // The raw value of pixel `x` of a row returned by ScanLine, for loops that walk whole rows.
    uint32_t RowPixel(const uint8_t* row, int x) const
    {
        switch (bits_) {
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        case 8: return row[x];
        case 16: return static_cast<uint32_t>(row[2 * x] | row[2 * x + 1] << 8);
        case 24: return static_cast<uint32_t>(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
        case 32: {
            const uint8_t* p = row + 4 * static_cast<size_t>(x);
            return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
        }
        default: return 0;
        }
    }
    void SetPixel(int x, int y, uint32_t value);
    // Writes the raw value of pixel `x` into a row returned by ScanLine (no bounds check).
    void SetRowPixel(uint8_t* row, int x, uint32_t value) const;

    // ---- palette (stores of up to 8 bits) ----
    // Entries are 0x00RRGGBB words: in memory blue, green, red, reserved.
    uint32_t PaletteEntry(int index) const { return palette_[static_cast<size_t>(index) & 255]; }
    void SetPaletteEntry(int index, uint32_t rgb) { palette_[static_cast<size_t>(index) & 255] = rgb & 0xFFFFFF; }
    const std::array<uint32_t, 256>& Palette() const { return palette_; }
    void SetPalette(const std::array<uint32_t, 256>& palette) { palette_ = palette; }
    void SetGreyPalette();
    // Entries a store of this bit count uses: 2, 16 or 256 (0 above 8 bits).
    int PaletteSize() const;

    // ---- sharing and compression ----
    // True when another store shares these pixels.
    bool IsShared() const;
    // Holds the pixels compressed until the next access.
    void Compress();
    bool IsCompressed() const;

    // ---- alpha plane ----
    TDIBSurface* AlphaPlane() { return alpha_.get(); }
    const TDIBSurface* AlphaPlane() const { return alpha_.get(); }
    bool HasAlphaPlane() const { return alpha_ != nullptr; }
    // Creates the alpha plane when missing, sized to the store, all 0.
    void MakeAlphaPlane();
    void DropAlphaPlane();
    // Creates the alpha plane and copies the rows of an 8-bit store of the same size.
    void CopyAlphaPlane(const TDIBSurface& store8);
    // Copies Rect of an 8-bit store into the alpha plane's rows from the top.
    void CopyAlphaRect(const TDIBSurface& store8, const TRect& rect);
    // Every alpha byte becomes 255 (nothing without an alpha plane).
    void OpaqueAlphaPlane();

    // ---- values ----
    // Raw pixel value of a colour: the nearest palette entry (squared RGB distance, first
    // minimum) up to 8 bits, the packed channels above.
    uint32_t ValueOfRGB(int red, int green, int blue) const;
    // Red, green and blue of a raw value; with fill every nonzero channel of a 15/16-bit value
    // gets its vacated low bits set.
    void RGBOfValue(uint32_t value, bool fill, int& red, int& green, int& blue) const;
    // Nearest entry of the first `count` palette entries (squared RGB distance, first minimum).
    int NearestPaletteIndex(int red, int green, int blue, int count) const;
    // Distinct raw values present (stops at 2, 16, 256 for 1-, 4-, 8-bit stores).
    int UsedColorCount() const;
    // Lowest palette index no pixel uses; -1 when all are used or above 8 bits.
    int FreePaletteIndex() const;

    // ---- pixel operations (implemented in the dib_surface_*.cpp files) ----
    void FillValue(const TRect& rect, uint32_t value);
    void PutImage(int x, int y, const TDIBSurface& source);
    void PutImage(int x, int y, const TRect& source_rect, const TDIBSurface& source);
    void PutKeyed(int x, int y, int32_t transparent_value, const TRect& source_rect, const TDIBSurface& source);
    void PutBlended(int x, int y, int opacity, int32_t transparent_value, const TRect& source_rect,
                    const TDIBSurface& source);
    void PutMasked(int x, int y, const TRect& source_rect, const TDIBSurface& source);
    void PutConverted(int x, int y, int32_t transparent_value, const TDIBSurface& source);
    void Duplicate(const TDIBSurface& source);
    void CropTo(const TRect& rect);
    TRect OpaqueBounds(int32_t transparent_value) const;
    TRect TrimTo(int32_t transparent_value);
    void MirrorHorizontal();
    void FlipVertical();

    void SetBitCount(int bits);
    void ChangeBitCount(int bits, int max_colors, bool dither);
    void Resample(int width, int height, bool keep_bit_count, int32_t transparent_value, bool smooth);
    void Blur(int bits, int radius);

    // Reads or writes the file by its extension (image_files.h); names are code page 932.
    void LoadFromFile(const std::string& file_name);
    void SaveToFile(const std::string& file_name) const;

private:
    struct TStorage;
    void MakeOwn();
    void Expand() const;

    int width_ = 0;
    int height_ = 0;
    int bits_ = 0;
    size_t row_bytes_ = 0;
    TPixelFormat format_;
    std::array<uint32_t, 256> palette_{};
    mutable std::shared_ptr<TStorage> storage_;
    std::unique_ptr<TDIBSurface> alpha_;
};

// Bytes of one stored row of `width` pixels of `bits` bits, padded to 4 bytes.
size_t DibRowBytes(int width, int bits);

}  // namespace mobu
