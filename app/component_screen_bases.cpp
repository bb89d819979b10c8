#include "app/component_screen_bases.h"

#include <cstring>

#include "core/globals.h"
#include "components/component_functions.h"
#include "components/clip_list.h"

namespace mobu {

TComponentScreenBases::TComponentScreenBases()
{
    if (!GlobalBaseList()) SetGlobalBaseList(&list_);
}

TComponentScreenBases::~TComponentScreenBases()
{
    if (GlobalBaseList() == &list_) SetGlobalBaseList(nullptr);
}

void TComponentScreenBases::SetSize(int32_t width, int32_t height)
{
    list_.SetSize(width, height);
    // Until the game sets a background, the bases are black.
    for (int i = 0; i < 2; ++i)
        if (list_.GetBase(i)->Color < 0) list_.GetBase(i)->Color = 0;
    list_.MarkAllDirty();
}

void TComponentScreenBases::UpdateInput() { list_.ProcessInput(FrameDeltaMs); }

void TComponentScreenBases::Animate() { list_.UpdatePass(); }

void CopyToFrame(TDIBX& surface, const TRect& rect, FrameBuffer& frame)
{
    TRect r = IntersectRects(rect, TRect{0, 0, std::min(frame.width, surface.Width()),
                                         std::min(frame.height, surface.Height())});
    if (r.IsEmpty() || surface.Store().StoreBitCount() != 32) return;
    const TDIBSurface& store = surface.Store();
    const size_t bytes = static_cast<size_t>(r.Width()) * 4;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        std::memcpy(frame.Row(y) + r.Left, store.ScanLine(y) + static_cast<size_t>(r.Left) * 4, bytes);
}

void TComponentScreenBases::Render(FrameBuffer& frame)
{
    TDIBX& surface = list_.FrameSurface();
    if (frame.width != surface.Width() || frame.height != surface.Height()) {
        frame.Resize(surface.Width(), surface.Height());
        list_.MarkAllDirty();
    }
    list_.DrawPass();
    frame.dirty.clear();
    if (frame.all_dirty) {
        CopyToFrame(surface, TRect{0, 0, frame.width, frame.height}, frame);
    } else {
        for (const TRect& rect : list_.FrameDirtyRects()) {
            CopyToFrame(surface, rect, frame);
            frame.dirty.push_back(rect);
        }
    }
    list_.ClearDirty();
}

}  // namespace mobu
