// TFeskCollection: the shared image cache. Picture components, film tracks, menus, sliders
// and gauges obtain the frames of a layered image here; an item is loaded once per key and
// freed when its last holder lets go. The key is the picture path followed by "?m" when an
// alpha mask is wanted and then "?t" when the frames are trimmed.
//
// The frames of an item are shared by every holder and must be treated as read-only: a
// component that changes a mask (the map image) works on its own copy.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/hash_collection.h"
#include "graphics/dibx.h"

namespace mobu {

class TFeskItemFrame {
public:
    std::unique_ptr<TDIBX> Surface;  // the frame in the screen pixel format
    std::unique_ptr<TDIBX> Mask;     // 8-bit alpha plane, or nullptr
    int32_t TransparentColor = -1;   // 0x00BBGGRR, -1 none
    int32_t Delay = 1;               // milliseconds, at least 1
    int32_t OffsetX = 0;             // place of a trimmed frame inside the whole picture
    int32_t OffsetY = 0;
};

class TFeskItem : public THashCollectionItem {
public:
    std::vector<const void*> Users;
    std::vector<std::unique_ptr<TFeskItemFrame>> Frames;
    int32_t Width = 0;  // of frame 0's composed image
    int32_t Height = 0;
    int64_t TotalDelay = 0;

    int FrameCount() const { return static_cast<int>(Frames.size()); }
    TFeskItemFrame& Frame(int index) { return *Frames.at(static_cast<size_t>(index)); }
};

class TFeskCollection : public THashCollectionOf<TFeskItem> {
public:
    // The key of a picture: the path, then "?m" with a mask, then "?t" when trimmed.
    static std::string KeyOf(const std::string& path, bool trim, bool mask);

    // Finds or loads the item and adds `user` to its holders.
    TFeskItem* Acquire(const void* user, const std::string& path, bool trim, bool mask);
    // Removes `user`; the item is freed at once when nobody holds it any more.
    void Release(TFeskItem* item, const void* user);

    // Forgets the items of `path` (every key: with and without "?m" and "?t"), so the next
    // Acquire loads the file again; holders keep the frames they have until they let go.
    void Forget(const std::string& path);

    bool Dither() const { return dither_; }
    // A change reloads every item in place: frame surfaces keep their identity.
    void SetDither(bool flag);

    // Around display-mode changes: every frame surface is emptied, then loaded again
    // (with `recreate` each frame gets a fresh surface at the current bit count).
    void ReleaseSurfaces();
    void Reload(bool recreate);

    // Bit count of frame surfaces (the screen's; 32 while no display exists).
    int ScreenBitCount = 32;

private:
    void Load(TFeskItem& item, bool recreate);

    bool dither_ = false;
    // Forgotten items still held by components.
    std::vector<std::unique_ptr<TFeskItem>> forgotten_;
};

// The process-wide cache.
TFeskCollection& FeskCollection();

}  // namespace mobu
