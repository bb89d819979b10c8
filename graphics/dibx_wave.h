// The wave surface: no pixels of its own. Every drawing operation is forwarded to a target
// surface with each row displaced horizontally by its entry in the displacement table, which
// distorts a screen region like a wave. Coordinates are the target's; table entry i belongs
// to target row Top + i of the region.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/custom_dibx.h"

namespace mobu {

class TDIBXWave : public TCustomDIBX {
public:
    // The target is not owned.
    explicit TDIBXWave(TCustomDIBX* target) : target_(target) {}

    // The region's top left in target coordinates.
    void SetOrigin(int left, int top) { left_ = left, top_ = top; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    // Displacement of region row `row` (0 = top); rows outside the table are ignored.
    void SetDisplacement(int row, int32_t shift);
    int32_t Displacement(int row) const;

    int BitCount() const override { return target_->BitCount(); }
    uint32_t RedMask() const override { return target_->RedMask(); }
    uint32_t GreenMask() const override { return target_->GreenMask(); }
    uint32_t BlueMask() const override { return target_->BlueMask(); }
    int StoreBitCount() const override { return target_->StoreBitCount(); }
    TCustomDIBX* TargetSurface() override { return target_; }
    // Also sizes the displacement table to the height (new rows 0).
    void SetSize(int width, int height, int bits) override;
    int32_t ColorToPixel(int32_t colour) override { return target_->ColorToPixel(colour); }
    void ResetClip() override;
    void IncludeClip(const TRect& rect) override;

    void Clear(uint32_t pixel) override;
    void FillRect(const TRect& rect, uint32_t pixel) override;
    void FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha) override;
    void FillRectAdd(const TRect& rect, uint32_t pixel) override;
    void FillRectSub(const TRect& rect, uint32_t pixel) override;
    void Draw(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
              bool vflip) override;
    void DrawMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                  TCustomDIBX& mask) override;
    void DrawAlpha(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip, bool vflip,
                   int alpha) override;
    void DrawAlphaMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                       TCustomDIBX& mask, int alpha) override;
    void DrawAdd(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip, bool vflip,
                 int amount) override;
    void DrawAddMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                     TCustomDIBX& mask, int amount) override;
    void DrawColorMask(int x, int y, TCustomDIBX& mask, const TRect& src_rect, bool hflip, bool vflip, uint32_t pixel,
                       int alpha) override;
    void DrawMonoCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t pixel, bool hflip,
                          bool vflip, int alpha, int factor) override;
    void DrawTriColorCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t body, uint32_t edge,
                              uint32_t shadow, bool hflip, bool vflip, int alpha, int factor) override;
    void DrawRotate(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect, int pivot_x,
                    int pivot_y, int angle, bool transparent, bool hflip, bool vflip, int alpha) override;
    void DrawRotateMask(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect, int pivot_x,
                        int pivot_y, int angle, bool hflip, bool vflip, TCustomDIBX& mask, int alpha) override;
    void StretchDrawAlpha(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool transparent,
                          bool hflip, bool vflip, int alpha) override;
    void StretchDrawAlphaMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, TCustomDIBX& mask,
                              bool hflip, bool vflip, int alpha) override;
    void StretchDrawAdd(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool transparent,
                        bool hflip, bool vflip, int amount) override;
    void StretchDrawAddMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, TCustomDIBX& mask,
                            bool hflip, bool vflip, int amount) override;
    void PatternFill(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip, bool vflip,
                     int mode) override;
    void PatternFillMask(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip, bool vflip,
                         int mode, TCustomDIBX& mask) override;
    void StretchDrawIndexed(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                            int alpha, std::span<const uint32_t> colour_table) override;

private:
    // Calls draw(shift) once per band of consecutive region rows sharing a displacement, with
    // the target's clip narrowed to those rows (and restored afterwards).
    template <typename BandDraw>
    void Bands(BandDraw draw);

    TCustomDIBX* target_;
    int left_ = 0, top_ = 0;
    std::vector<int32_t> shifts_;
};

}  // namespace mobu
