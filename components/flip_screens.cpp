#include "components/flip_screens.h"

#include <algorithm>
#include <climits>

#include "components/component_types.h"
#include "components/mobu_image.h"

namespace mobu {
namespace {

// A picture component holding its own copy of the screen.
class TMobuFlipSnapshot : public TMobuCustomImage {
public:
    explicit TMobuFlipSnapshot(TMobuBaseList* owner) : TMobuCustomImage(owner, LT_IMAGES) {}
    bool HasPicture() override { return !OwnSurface.IsEmpty(); }
};

bool Selected(const std::string& name, const std::vector<std::string>& lines, int mode)
{
    const bool listed = std::find(lines.begin(), lines.end(), name) != lines.end();
    return mode == 1 ? listed : mode == 0 && !listed;
}

}  // namespace

void TakeFlipSnapshot(TMobuBaseList& list)
{
    list.DrawPass();
    auto* snapshot = new TMobuFlipSnapshot(&list);
    snapshot->StoreName(kFlipSnapshotName);
    snapshot->OwnSurface.SetSize(list.ScreenWidth(), list.ScreenHeight(), 32);
    snapshot->OwnSurface.Assign(list.FrameSurface());
    snapshot->SetParent(list.ActiveBase());
    snapshot->SetPriority(INT32_MAX);
    snapshot->RecomputeSize();
    snapshot->Invalidate();
}

void MoveFlipSelection(TMobuBaseList& list, const std::vector<std::string>& lines, int mode)
{
    std::vector<TMobuControl*> children = list.ActiveBase()->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        TMobuControl* child = *it;
        if (child->Name() == kFlipSnapshotName || !Selected(child->Name(), lines, mode)) continue;
        child->SetParent(list.InactiveBase());
    }
}

void StartFlip(TMobuBaseList& list, int id, bool reverse, int32_t duration)
{
    list.SwitchBase(list.ActiveIndex(), id, reverse, true, 0, duration);
}

void FinishFlip(TMobuBaseList& list, bool clear_hidden, bool keep_cabinets)
{
    list.SwitchBase(list.ActiveIndex() ^ 1, 0, false, true, 0, 0);
    if (TMobuObject* snapshot = list.FindByName(kFlipSnapshotName)) list.Doom(snapshot);
    if (!clear_hidden) return;
    std::vector<TMobuControl*> children = list.InactiveBase()->Children();
    for (TMobuControl* child : children)
        if (!(keep_cabinets && child->IsCabinet())) list.Doom(child);
}

}  // namespace mobu
