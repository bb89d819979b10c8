#include "components/fesk_collection.h"

#include <algorithm>

#include "components/game_files.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "graphics/fesk_frame_list.h"
#include "script/project.h"

namespace mobu {

namespace {

constexpr std::string_view kMaskSuffix = "?m";
constexpr std::string_view kTrimSuffix = "?t";

bool CutSuffix(std::string& text, std::string_view suffix)
{
    if (text.size() < suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    text.resize(text.size() - suffix.size());
    return true;
}

// The frame's surface object is kept when there is one, so holders that lent it still
// point at valid storage after a reload.
TDIBX& SurfaceOf(TFeskItemFrame& frame, bool recreate)
{
    if (!frame.Surface || recreate) frame.Surface = std::make_unique<TDIBX>();
    return *frame.Surface;
}

}  // namespace

std::string TFeskCollection::KeyOf(const std::string& path, bool trim, bool mask)
{
    std::string key = path;
    if (mask) key += kMaskSuffix;
    if (trim) key += kTrimSuffix;
    return key;
}

TFeskItem* TFeskCollection::Acquire(const void* user, const std::string& path, bool trim, bool mask)
{
    const std::string key = KeyOf(path, trim, mask);
    TFeskItem* item = Find(key);
    if (!item) {
        auto fresh = std::make_unique<TFeskItem>();
        TFeskItem* loaded = fresh.get();
        loaded->SetName(key);
        Load(*loaded, false);
        item = Add(std::move(fresh), key);
    }
    item->Users.push_back(user);
    return item;
}

void TFeskCollection::Release(TFeskItem* item, const void* user)
{
    if (!item) return;
    auto held = std::find(item->Users.begin(), item->Users.end(), user);
    if (held != item->Users.end()) item->Users.erase(held);
    if (!item->Users.empty()) return;
    for (int i = 0; i < Count(); ++i) {
        if (Item(i) == item) {
            Delete(i);
            return;
        }
    }
    std::erase_if(forgotten_, [item](const std::unique_ptr<TFeskItem>& held) { return held.get() == item; });
}

void TFeskCollection::Forget(const std::string& path)
{
    for (bool trim : {false, true}) {
        for (bool mask : {false, true}) {
            for (int index; (index = IndexOf(KeyOf(path, trim, mask))) >= 0;) {
                std::unique_ptr<THashCollectionItem> taken = Take(index);
                auto* item = static_cast<TFeskItem*>(taken.release());
                if (!item->Users.empty()) forgotten_.emplace_back(item);
                else delete item;
            }
        }
    }
}

void TFeskCollection::SetDither(bool flag)
{
    if (flag == dither_) return;
    dither_ = flag;
    for (int i = 0; i < Count(); ++i) Load(*Item(i), false);
}

void TFeskCollection::ReleaseSurfaces()
{
    for (int i = 0; i < Count(); ++i)
        for (auto& frame : Item(i)->Frames)
            if (frame->Surface) frame->Surface->Release();
}

void TFeskCollection::Reload(bool recreate)
{
    for (int i = 0; i < Count(); ++i) Load(*Item(i), recreate);
}

void TFeskCollection::Load(TFeskItem& item, bool recreate)
{
    std::string path = item.Name();
    const bool trim = CutSuffix(path, kTrimSuffix);
    const bool mask = CutSuffix(path, kMaskSuffix);

    TFeskFrameList list(Project() ? Project()->IdentCode() : 0);
    if (dither_) list.TargetBitCount = ScreenBitCount;
    if (std::optional<std::string> bytes = ReadGameFile(path)) {
        // A damaged picture keeps the frames read before the damage; with none it shows
        // the placeholder below, like a missing one.
        try {
            list.LoadFromStream(*bytes, false, false, false);
        } catch (const EMobuError& error) {
            ReportScriptFailure(error.what());
        }
    }

    item.TotalDelay = 0;
    if (list.Count() == 0) {
        item.Frames.resize(1);
        if (!item.Frames[0]) item.Frames[0] = std::make_unique<TFeskItemFrame>();
        TFeskItemFrame& frame = *item.Frames[0];
        TDIBX& surface = SurfaceOf(frame, recreate);
        surface.SetSize(8, 8, ScreenBitCount);
        surface.Clear(0);
        surface.TransparentColor = 0;
        frame.Mask.reset();
        if (mask) {
            frame.Mask = std::make_unique<TDIBX>();
            frame.Mask->SetSize(8, 8, 8);
            frame.Mask->Clear(0);
        }
        frame.TransparentColor = 0;
        frame.Delay = 1;
        frame.OffsetX = frame.OffsetY = 0;
        item.Width = item.Height = 8;
        item.TotalDelay = frame.Delay;
        return;
    }

    if (mask) list.BuildAlphaAll(false);
    item.Width = list.Frames(0).Image.Width();
    item.Height = list.Frames(0).Image.Height();
    item.Frames.resize(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        TFeskFrame& source = list.Frames(i);
        auto& slot = item.Frames[static_cast<size_t>(i)];
        if (!slot) slot = std::make_unique<TFeskItemFrame>();
        TFeskItemFrame& frame = *slot;
        frame.OffsetX = frame.OffsetY = 0;
        TRect bounds;
        if (trim && source.Trim(bounds)) {
            frame.OffsetX = bounds.Left;
            frame.OffsetY = bounds.Top;
        }
        TDIBX& surface = SurfaceOf(frame, recreate);
        surface.SetSize(source.Image.Width(), source.Image.Height(), ScreenBitCount);
        surface.Store().PutConverted(0, 0, -1, source.Image);
        surface.TransparentColor =
            source.TransparentColor < 0 ? -1 : surface.ColorToPixel(source.TransparentColor);
        if (const TDIBSurface* alpha = source.Image.AlphaPlane()) {
            // Like the surface, a mask keeps its identity: pictures that borrowed it stay valid.
            if (!frame.Mask || recreate) frame.Mask = std::make_unique<TDIBX>();
            frame.Mask->SetSize(alpha->Width(), alpha->Height(), 8);
            frame.Mask->Store() = *alpha;
        } else {
            frame.Mask.reset();
        }
        frame.TransparentColor = source.TransparentColor;
        frame.Delay = source.Delay == 0 ? 1 : source.Delay;
        item.TotalDelay += frame.Delay;
    }
}

TFeskCollection& FeskCollection()
{
    static TFeskCollection collection;
    return collection;
}

}  // namespace mobu
