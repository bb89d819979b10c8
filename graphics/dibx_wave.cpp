// The wave surface: operations forwarded to the target band by band.
#include "graphics/dibx_wave.h"

#include <algorithm>

#include "graphics/custom_dibx_blit.h"

namespace mobu {

void TDIBXWave::SetDisplacement(int row, int32_t shift)
{
    if (row >= 0 && static_cast<size_t>(row) < shifts_.size()) shifts_[static_cast<size_t>(row)] = shift;
}

int32_t TDIBXWave::Displacement(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < shifts_.size() ? shifts_[static_cast<size_t>(row)] : 0;
}

void TDIBXWave::SetSize(int width, int height, int bits)
{
    TCustomDIBX::SetSize(width, height, bits);
    shifts_.resize(static_cast<size_t>(Height()), 0);
}

void TDIBXWave::ResetClip()
{
    TCustomDIBX::ResetClip();
    target_->ResetClip();
}

void TDIBXWave::IncludeClip(const TRect& rect)
{
    TRect region{left_, top_, left_ + Width(), top_ + Height()};
    TRect r = Intersect(rect, region);
    if (r.IsEmpty()) return;
    target_->IncludeClip(r);
}

template <typename BandDraw>
void TDIBXWave::Bands(BandDraw draw)
{
    const TRect saved = target_->ClipRect;
    const TRect clip = target_->GetClipRect();
    const int first = std::max(0, clip.Top - top_);
    const int last = std::min(static_cast<int>(shifts_.size()), clip.Bottom - top_);
    try {
        for (int row = first; row < last;) {
            int end = row + 1;
            while (end < last && shifts_[static_cast<size_t>(end)] == shifts_[static_cast<size_t>(row)]) ++end;
            target_->ClipRect = TRect{clip.Left, top_ + row, clip.Right, top_ + end};
            if (!target_->ClipRect.IsEmpty()) draw(shifts_[static_cast<size_t>(row)]);
            row = end;
        }
    } catch (...) {
        target_->ClipRect = saved;
        throw;
    }
    target_->ClipRect = saved;
}

namespace {

TRect Shifted(const TRect& r, int shift) { return TRect{r.Left + shift, r.Top, r.Right + shift, r.Bottom}; }

}  // namespace

void TDIBXWave::Clear(uint32_t pixel)
{
    TRect region{left_, top_, left_ + Width(), top_ + Height()};
    Bands([&](int s) { target_->FillRect(Shifted(region, s), pixel); });
}

void TDIBXWave::FillRect(const TRect& rect, uint32_t pixel)
{
    Bands([&](int s) { target_->FillRect(Shifted(rect, s), pixel); });
}

void TDIBXWave::FillRectAlpha(const TRect& rect, uint32_t pixel, int alpha)
{
    Bands([&](int s) { target_->FillRectAlpha(Shifted(rect, s), pixel, alpha); });
}

void TDIBXWave::FillRectAdd(const TRect& rect, uint32_t pixel)
{
    Bands([&](int s) { target_->FillRectAdd(Shifted(rect, s), pixel); });
}

void TDIBXWave::FillRectSub(const TRect& rect, uint32_t pixel)
{
    Bands([&](int s) { target_->FillRectSub(Shifted(rect, s), pixel); });
}

void TDIBXWave::Draw(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                     bool vflip)
{
    Bands([&](int s) { target_->Draw(x + s, y, source, src_rect, transparent, hflip, vflip); });
}

void TDIBXWave::DrawMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                         TCustomDIBX& mask)
{
    Bands([&](int s) { target_->DrawMask(x + s, y, source, src_rect, hflip, vflip, mask); });
}

void TDIBXWave::DrawAlpha(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                          bool vflip, int alpha)
{
    Bands([&](int s) { target_->DrawAlpha(x + s, y, source, src_rect, transparent, hflip, vflip, alpha); });
}

void TDIBXWave::DrawAlphaMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                              TCustomDIBX& mask, int alpha)
{
    Bands([&](int s) { target_->DrawAlphaMask(x + s, y, source, src_rect, hflip, vflip, mask, alpha); });
}

void TDIBXWave::DrawAdd(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool transparent, bool hflip,
                        bool vflip, int amount)
{
    Bands([&](int s) { target_->DrawAdd(x + s, y, source, src_rect, transparent, hflip, vflip, amount); });
}

void TDIBXWave::DrawAddMask(int x, int y, TCustomDIBX& source, const TRect& src_rect, bool hflip, bool vflip,
                            TCustomDIBX& mask, int amount)
{
    Bands([&](int s) { target_->DrawAddMask(x + s, y, source, src_rect, hflip, vflip, mask, amount); });
}

void TDIBXWave::DrawColorMask(int x, int y, TCustomDIBX& mask, const TRect& src_rect, bool hflip, bool vflip,
                              uint32_t pixel, int alpha)
{
    Bands([&](int s) { target_->DrawColorMask(x + s, y, mask, src_rect, hflip, vflip, pixel, alpha); });
}

void TDIBXWave::DrawMonoCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t pixel, bool hflip,
                                 bool vflip, int alpha, int factor)
{
    Bands([&](int s) { target_->DrawMonoCoverage(x + s, y, source, src_rect, pixel, hflip, vflip, alpha, factor); });
}

void TDIBXWave::DrawTriColorCoverage(int x, int y, TCustomDIBX& source, const TRect& src_rect, uint32_t body,
                                     uint32_t edge, uint32_t shadow, bool hflip, bool vflip, int alpha, int factor)
{
    Bands([&](int s) {
        target_->DrawTriColorCoverage(x + s, y, source, src_rect, body, edge, shadow, hflip, vflip, alpha, factor);
    });
}

void TDIBXWave::DrawRotate(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect,
                           int pivot_x, int pivot_y, int angle, bool transparent, bool hflip, bool vflip, int alpha)
{
    Bands([&](int s) {
        target_->DrawRotate(x + s, y, zoom_x, zoom_y, source, src_rect, pivot_x, pivot_y, angle, transparent, hflip,
                            vflip, alpha);
    });
}

void TDIBXWave::DrawRotateMask(int x, int y, int zoom_x, int zoom_y, TCustomDIBX& source, const TRect& src_rect,
                               int pivot_x, int pivot_y, int angle, bool hflip, bool vflip, TCustomDIBX& mask,
                               int alpha)
{
    Bands([&](int s) {
        target_->DrawRotateMask(x + s, y, zoom_x, zoom_y, source, src_rect, pivot_x, pivot_y, angle, hflip, vflip,
                                mask, alpha);
    });
}

void TDIBXWave::StretchDrawAlpha(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                 bool transparent, bool hflip, bool vflip, int alpha)
{
    Bands([&](int s) {
        target_->StretchDrawAlpha(Shifted(dest_rect, s), source, src_rect, transparent, hflip, vflip, alpha);
    });
}

void TDIBXWave::StretchDrawAlphaMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                     TCustomDIBX& mask, bool hflip, bool vflip, int alpha)
{
    Bands([&](int s) {
        target_->StretchDrawAlphaMask(Shifted(dest_rect, s), source, src_rect, mask, hflip, vflip, alpha);
    });
}

void TDIBXWave::StretchDrawAdd(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool transparent,
                               bool hflip, bool vflip, int amount)
{
    Bands([&](int s) {
        target_->StretchDrawAdd(Shifted(dest_rect, s), source, src_rect, transparent, hflip, vflip, amount);
    });
}

void TDIBXWave::StretchDrawAddMask(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect,
                                   TCustomDIBX& mask, bool hflip, bool vflip, int amount)
{
    Bands([&](int s) {
        target_->StretchDrawAddMask(Shifted(dest_rect, s), source, src_rect, mask, hflip, vflip, amount);
    });
}

void TDIBXWave::PatternFill(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip,
                            bool vflip, int mode)
{
    Bands([&](int s) { target_->PatternFill(Shifted(rect, s), texture, offset_x, offset_y, hflip, vflip, mode); });
}

void TDIBXWave::PatternFillMask(const TRect& rect, TCustomDIBX& texture, int offset_x, int offset_y, bool hflip,
                                bool vflip, int mode, TCustomDIBX& mask)
{
    Bands([&](int s) {
        target_->PatternFillMask(Shifted(rect, s), texture, offset_x, offset_y, hflip, vflip, mode, mask);
    });
}

void TDIBXWave::StretchDrawIndexed(const TRect& dest_rect, TCustomDIBX& source, const TRect& src_rect, bool hflip,
                                   bool vflip, int alpha, std::span<const uint32_t> colour_table)
{
    Bands([&](int s) {
        target_->StretchDrawIndexed(Shifted(dest_rect, s), source, src_rect, hflip, vflip, alpha, colour_table);
    });
}

}  // namespace mobu
