// TMobuBase: a screen base, the root of one control tree. It keeps the dirty rectangles,
// its private composition surface, and the mouse state the window layer writes into it.
#pragma once

#include <memory>

#include "components/clip_list.h"
#include "components/mobu_object.h"
#include "graphics/dibx.h"

namespace mobu {

class TMobuBase : public TMobuControl {
public:
    TMobuBase(TMobuBaseList* owner, const std::string& name);

    bool IsBase() const override { return true; }
    TMobuBase* GetBase() override { return this; }
    bool Answers(int id) const override;
    int32_t GetAbsLeft() override { return 0; }
    int32_t GetAbsTop() override { return 0; }
    TRect GetBoundsRect() override { return TRect{0, 0, Width, Height}; }
    void Invalidate() override { AddDirtyRect(TRect{0, 0, Width, Height}); }

    void AddDirtyRect(const TRect& rect);
    void InvalidateAll() { Invalidate(); }
    // Re-creates the private surfaces at the size (32 bits).
    void Resize(int32_t width, int32_t height);
    // The surface this base draws on now.
    TCustomDIBX* DrawSurface();
    // Draws the dirty rectangles onto its surface.
    void DrawBase();
    // Draws the whole base as the frame draw would onto `target` (a surface of the base's
    // size, black where nothing is drawn), leaving its own surfaces and dirty list alone.
    void DrawWhole(TCustomDIBX& target);

    TClipList DirtyList;
    TDIBX Surface;
    TDIBX WorkSurface;
    int32_t MouseX = 0, MouseY = 0;
    bool LNew = false, LClick = false, RNew = false, RClick = false;
    bool LHeld = false, RHeld = false;
    bool Moved = false;
    uint8_t Capture = 0;  // 4 = left captured by Hover, 8 = right captured
    TMobuControl* Hover = nullptr;
    bool WheelDownNew = false, WheelDown = false, WheelUpNew = false, WheelUp = false;
    std::string CursorPath;
};

inline constexpr uint8_t kCaptureLeft = 4;
inline constexpr uint8_t kCaptureRight = 8;

// An invisible container that parks controls with their state: never drawn, hit or shown.
class TMobuCabinet : public TMobuControl {
public:
    explicit TMobuCabinet(TMobuBaseList* owner) : TMobuControl(owner, LT_CABINET) {}
    bool IsCabinet() const override { return true; }
    bool GetVisible() const override { return false; }
    void Draw(TCustomDIBX&) override {}
};

}  // namespace mobu
