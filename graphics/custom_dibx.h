// Drawing surfaces: an abstract raster with a fixed pixel format, a clip rectangle and the
// drawing operations every screen component, transition and image uses.
//
// Every operation is implemented here on top of the virtual pixel-access operations
// (PixelAddress/UnlockPixels, GetPixel/SetPixel, the channel masks and Pitch), so the same
// code serves any store a subclass provides. Rows are processed by the row kernels of
// graphics/kernels; formats the kernels do not cover go through an exact per-pixel path.
//
// Pixel values are raw values of the surface's own format (see ColorToPixel). Blends work per
// channel on each channel's bits in place; 32-bit surfaces blend all four bytes alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "graphics/dib_surface.h"

namespace mobu {

class TCustomDIBX {
public:
    TCustomDIBX() = default;
    TCustomDIBX(const TCustomDIBX&) = delete;
    TCustomDIBX& operator=(const TCustomDIBX&) = delete;
    virtual ~TCustomDIBX() = default;

    // ---- format and pixel access (the seam a store-specific subclass fills in) ----
    virtual bool IsEmpty() const { return Width() == 0 || Height() == 0; }
    virtual int BitCount() const { return 0; }
    virtual void SetBitCount(int /*bits*/) {}
    virtual uint32_t RedMask() const { return 0; }
    virtual uint32_t GreenMask() const { return 0; }
    virtual uint32_t BlueMask() const { return 0; }
    // Bytes from one row to the next (negative for bottom-up stores).
    virtual ptrdiff_t Pitch() const { return 0; }
    virtual uint32_t GetPixel(int x, int y);
    virtual void SetPixel(int x, int y, uint32_t value);
    virtual int BlueShift() const { return 0; }
    virtual int GreenShift() const { return 0; }
    virtual int RedShift() const { return 0; }
    virtual int Height() const { return height_; }
    virtual int Width() const { return width_; }
    virtual TCustomDIBX* TargetSurface() { return nullptr; }
    virtual int StoreBitCount() const { return BitCount(); }
    virtual void SetSize(int width, int height, int bits);
    // Locks the pixels and returns the address of pixel (x, y); nil when empty or the lock
    // fails. Every successful call is paired with UnlockPixels.
    virtual uint8_t* PixelAddress(int x, int y) { (void)x, (void)y; return nullptr; }
    virtual void UnlockPixels() {}
    // The same for reading only (a store shared with others need not be copied first).
    virtual const uint8_t* ReadPixelAddress(int x, int y) { return PixelAddress(x, y); }

    // ---- clip rectangle ----
    virtual void ResetClip();
    virtual void IncludeClip(const TRect& rect);
    // The effective clip: the whole surface when none is set.
    TRect GetClipRect() const;
    TRect SurfaceRect() const { return TRect{0, 0, Width(), Height()}; }
    void SetClipRect(const TRect& rect) { ClipRect = rect; }
    int BytesPerPixel() const { return (BitCount() + 7) / 8; }

    // ---- colours ----
    // 0x00BBGGRR colour to a pixel value of this surface; negative gives -1.
    virtual int32_t ColorToPixel(int32_t colour);

    // ---- fills ----
    virtual void Clear(uint32_t pixel);
    virtual void FillRect(const TRect& rect, uint32_t pixel);
    virtual void FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha);
    virtual void FillRectAdd(const TRect& rect, uint32_t pixel);
    virtual void FillRectSub(const TRect& rect, uint32_t pixel);
    virtual void FrameRect(const TRect& rect, int width, uint32_t pixel);
    virtual void FrameRectAlpha(const TRect& rect, int width, uint32_t pixel, int alpha);
    virtual void FrameRectAdd(const TRect& rect, int width, uint32_t pixel);

    // ---- copies and blends (X, Y: destination of the source rectangle's top left) ----
    virtual void Assign(TCustomDIBX& source);
    virtual void Draw(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                      bool vflip);
    virtual void DrawMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                          TCustomDIBX& mask);
    virtual void DrawAlpha(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                           bool vflip, int alpha);
    virtual void DrawAlphaMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                               TCustomDIBX& mask, int alpha);
    virtual void DrawAdd(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                         bool vflip, int amount);
    virtual void DrawAddMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                             TCustomDIBX& mask, int amount);
    // Solid pixel through an 8-bit mask (text glyphs). A source rectangle that does not lie
    // inside the mask draws nothing.
    virtual void DrawColorMask(int x, int y, TCustomDIBX& mask, const TRect& src_rect, bool hflip, bool vflip,
                               uint32_t pixel, int alpha);

    // ---- supersampled glyphs (the source holds the glyph at `factor` times its size) ----
    // 1-bit source, 0 bits are ink: each destination pixel mixes the pixel value with the
    // destination by the share of ink in its factor × factor block.
    virtual void DrawMonoCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t pixel,
                                  bool hflip, bool vflip, int alpha, int factor);
    // 4-bit source whose low two bits pick background, body, edge or shadow.
    virtual void DrawTriColorCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t body,
                                      uint32_t edge, uint32_t shadow, bool hflip, bool vflip, int alpha, int factor);

    // ---- indexed sources ----
    // 4-bit source through a 16-entry table of pixels; the source's transparent index is
    // skipped. Alpha 255 copies, above 255 adds with the low byte as amount (entries of 0 and
    // saturated destinations left), below 255 blends (destinations equal to the colour left).
    virtual void DrawIndexed4(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                              int alpha, const uint32_t (&colour_table)[16]);
    // 8-bit source: indexes above the source's transparent value add their table entry scaled
    // by amount / 256, saturating per channel.
    virtual void DrawIndexedAdd(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                                int amount, const uint32_t (&colour_table)[256]);
    // Nearest-neighbour stretched counterpart of both: a 4-bit source is drawn as by
    // DrawIndexed4 (Alpha as there, 16 table entries), an 8-bit source as by DrawIndexedAdd
    // (Alpha is the amount, 256 table entries). A shorter table draws nothing.
    virtual void StretchDrawIndexed(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool hflip,
                                    bool vflip, int alpha, std::span<const uint32_t> colour_table);

    // ---- rotation, zoom and stretching ----
    // Zooms in 1/256 units, the angle in 1/256 turns; the source pivot lands on (X, Y).
    virtual void DrawRotate(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect,
                            int pivot_x, int pivot_y, int angle, bool transparent, bool hflip, bool vflip,
                            int alpha);
    virtual void DrawRotateMask(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect,
                                int pivot_x, int pivot_y, int angle, bool hflip, bool vflip, TCustomDIBX& mask,
                                int alpha);
    virtual void StretchDrawAlpha(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                  bool transparent, bool hflip, bool vflip, int alpha);
    virtual void StretchDrawAlphaMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                      TCustomDIBX& mask, bool hflip, bool vflip, int alpha);
    virtual void StretchDrawAdd(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                bool transparent, bool hflip, bool vflip, int amount);
    virtual void StretchDrawAddMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                    TCustomDIBX& mask, bool hflip, bool vflip, int amount);

    // ---- tiling ----
    virtual void TileDraw(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source, const TRect& src_rect,
                          bool transparent, int offset_x, int offset_y);
    virtual void TileDrawAlpha(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                               const TRect& src_rect, bool transparent, int offset_x, int offset_y, int alpha);
    virtual void TileDrawAdd(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                             const TRect& src_rect, bool transparent, int offset_x, int offset_y, int amount);
    virtual void TileDrawMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                              const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y);
    virtual void TileDrawAlphaMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                   const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y, int alpha);
    virtual void TileDrawAddMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                 const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y, int amount);
    // Zoomed tiles (1/256 units) through StretchDrawAlpha, or StretchDrawAdd when `additive`.
    virtual void TileStretchDraw(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                 const TRect& src_rect, bool transparent, int offset_x, int offset_y, int zoom,
                                 bool additive, int alpha);
    virtual void TileStretchDrawMask(const TRect& dest_rect, int gap_x, int gap_y, TCustomDIBX& source,
                                     const TRect& src_rect, TCustomDIBX& mask, int offset_x, int offset_y, int zoom,
                                     bool additive, int alpha);

    // ---- pattern fill ----
    // Texture repeated from (offset mod size); mode 0 nothing, 1-254 alpha, 255 copy,
    // 256 and above additive with amount mode - 256 (at most 255).
    virtual void PatternFill(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip,
                             bool vflip, int mode);
    // The same through an 8-bit mask of the texture's size (mask, alpha-mask or add-mask).
    virtual void PatternFillMask(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip,
                                 bool vflip, int mode, TCustomDIBX& mask);
    virtual void PatternCopy(const TRect& rect, TCustomDIBX& texture, bool hflip, bool vflip, int offset_x,
                             int offset_y);
    // A border of the given width (strips as FrameRect) filled with the texture tiled from
    // the rectangle's top left, (offset mod size) being the texture pixel placed there.
    virtual void FramePattern(const TRect& rect, int width, int offset_x, int offset_y, TCustomDIBX& texture);

    // ---- image files (file names are code page 932) ----
    // Reads a ".bmp" file (any case) when it exists: the surface takes its size with its own
    // bit count. Other names and missing files leave the surface unchanged.
    virtual void LoadFromFile(const std::string& file_name);
    // Recognises the bytes by their start: "BM" a bitmap, "PNG" at offset 1 a PNG, "Fesk" a
    // layered image of which frame 0 is taken (`option` is its scrambling code). Other content
    // leaves the surface unchanged.
    virtual void LoadFromStream(std::string_view data, int option);
    // Writes a 24-bit ".bmp" file of the surface; other names write nothing.
    virtual void SaveToFile(const std::string& file_name);

    // ---- palette (entries are 4 bytes in bitmap order B, G, R, 0: words 0x00RRGGBB) ----
    // GetPalette/SetPalette move 2, 16 or 256 entries for 1-, 4- and 8-bit surfaces and none
    // otherwise; the ...Entries forms move `count` entries from `index`, kept within 0..255.
    virtual void GetPalette(uint32_t* entries);
    virtual void GetPaletteEntries(uint32_t* entries, int index, int count) { (void)entries, (void)index, (void)count; }
    virtual void SetPalette(const uint32_t* entries);
    virtual void SetPaletteEntries(const uint32_t* entries, int index, int count)
    {
        (void)entries, (void)index, (void)count;
    }
    // Entries GetPalette and SetPalette move: 2, 16 or 256 up to 8 bits, else 0.
    int PaletteCount() const;

    // ---- store management ----
    virtual void Release() { SetSize(0, 0, BitCount()); }
    virtual void Compact() {}

    // Fields.
    TRect ClipRect{};              // Right == 0: no clip set
    int32_t TransparentColor = -1;  // raw source value keyed operations skip; -1 = none

protected:
    int height_ = 0;
    int width_ = 0;

private:
    // Takes the image of the store: this surface's bit count, the store's size and pixels.
    void TakeImage(TDIBSurface& image);
    void FillWith(const TRect& rect, int kind, uint32_t pixel, int alpha);
};

}  // namespace mobu
