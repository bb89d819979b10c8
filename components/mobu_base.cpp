#include "components/mobu_base.h"

#include "components/mobu_base_list.h"

namespace mobu {

TMobuBase::TMobuBase(TMobuBaseList* owner, const std::string& name) : TMobuControl(owner, LT_NONE)
{
    StoreName(name);
}

bool TMobuBase::Answers(int id) const { return IsControlProperty(id) || TMobuObject::Answers(id); }

void TMobuBase::AddDirtyRect(const TRect& rect)
{
    TRect clamped = IntersectRects(rect, TRect{0, 0, Width, Height});
    if (!clamped.IsEmpty()) DirtyList.Add(clamped);
}

void TMobuBase::Resize(int32_t width, int32_t height)
{
    Width = width > 0 ? width : 0;
    Height = height > 0 ? height : 0;
    Surface.SetSize(Width, Height, 32);
    WorkSurface.SetSize(Width, Height, 32);
    WorkSurface.TransparentColor = WorkSurface.ColorToPixel(0x800080);
    Invalidate();
}

TCustomDIBX* TMobuBase::DrawSurface()
{
    if (owner_ && owner_->ActiveBase() == this && !owner_->TransitionRunning()) return &owner_->FrameSurface();
    return &Surface;
}

void TMobuBase::DrawBase()
{
    if (!GetVisible()) return;
    TCustomDIBX* surface = DrawSurface();
    if (!surface || surface->IsEmpty()) return;
    for (const TRect& rect : DirtyList.Rects()) {
        surface->ResetClip();
        surface->IncludeClip(rect);
        if (Color >= 0) {
            TRect fill = rect;
            if (HasClip()) fill = IntersectRects(fill, ClipRectOnBase());
            if (!fill.IsEmpty()) surface->FillRect(fill, static_cast<uint32_t>(surface->ColorToPixel(Color)));
        }
        DrawChildren(*surface);
    }
    surface->ResetClip();
}

void TMobuBase::DrawWhole(TCustomDIBX& target)
{
    target.ResetClip();
    target.Clear(0);
    if (!GetVisible() || target.IsEmpty()) return;
    const TRect whole{0, 0, Width, Height};
    target.IncludeClip(whole);
    if (Color >= 0) {
        TRect fill = whole;
        if (HasClip()) fill = IntersectRects(fill, ClipRectOnBase());
        if (!fill.IsEmpty()) target.FillRect(fill, static_cast<uint32_t>(target.ColorToPixel(Color)));
    }
    DrawChildren(target);
    target.ResetClip();
}

}  // namespace mobu
