#include "components/mes_inline_images.h"

#include <algorithm>

#include "components/fesk_collection.h"

namespace mobu {

TMesInlineImages::~TMesInlineImages()
{
    for (auto& [source, item] : items_) FeskCollection().Release(item, this);
}

TFeskItem* TMesInlineImages::Item(const std::string& source)
{
    auto found = items_.find(source);
    if (found != items_.end()) return found->second;
    TFeskItem* item = FeskCollection().Acquire(this, source, false, true);
    items_.emplace(source, item);
    return item;
}

bool TMesInlineImages::Size(const std::string& source, int& width, int& height)
{
    width = height = 0;
    if (source.empty()) return false;
    TFeskItem* item = Item(source);
    if (item == nullptr || item->FrameCount() == 0 || !item->Frame(0).Surface) return false;
    width = item->Frame(0).Surface->Width();
    height = item->Frame(0).Surface->Height();
    return true;
}

void TMesInlineImages::Draw(const std::string& source, TCustomDIBX& target, int x, int y, int opacity, bool additive,
                            int amount)
{
    if (source.empty()) return;
    TFeskItem* item = Item(source);
    if (item == nullptr || item->FrameCount() == 0 || !item->Frame(0).Surface) return;
    TFeskItemFrame& frame = item->Frame(0);
    TDIBX& picture = *frame.Surface;
    if (picture.IsEmpty()) return;
    const TRect whole = picture.SurfaceRect();
    const bool keyed = picture.TransparentColor >= 0;
    if (additive) {
        amount = std::min(amount, 255);
        if (amount <= 0) return;
        if (frame.Mask) target.DrawAddMask(x, y, picture, whole, false, false, *frame.Mask, amount);
        else target.DrawAdd(x, y, picture, whole, keyed, false, false, amount);
        return;
    }
    if (opacity <= 0) return;
    if (frame.Mask) {
        if (opacity >= 255) target.DrawMask(x, y, picture, whole, false, false, *frame.Mask);
        else target.DrawAlphaMask(x, y, picture, whole, false, false, *frame.Mask, opacity);
    } else {
        if (opacity >= 255) target.Draw(x, y, picture, whole, keyed, false, false);
        else target.DrawAlpha(x, y, picture, whole, keyed, false, false, opacity);
    }
}

}  // namespace mobu
