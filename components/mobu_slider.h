// The slider (TMobuSlider, LT_SLIDER) and the scroll bar built on it (TMobuScrollbar,
// LT_SCROLLBAR): a track of two halves (normal, pressed), a thumb of three cells and two step
// buttons of three cells each, moved by the mouse and the keys; every change the user makes
// posts the notification with the new value.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "components/mobu_image.h"
#include "components/mobu_object.h"

namespace mobu {

inline constexpr uint8_t OT_HORIZONTAL = 0;
inline constexpr uint8_t OT_VERTICAL = 1;

// Press modes of a slider.
inline constexpr int32_t kSliderIdle = 0;
inline constexpr int32_t kSliderDragging = 1;
inline constexpr int32_t kSliderDecButton = 2;
inline constexpr int32_t kSliderIncButton = 3;
inline constexpr int32_t kSliderPagingDown = 4;
inline constexpr int32_t kSliderPagingUp = 5;

// Cells of the thumb and the buttons.
inline constexpr int32_t kCellNormal = 0;
inline constexpr int32_t kCellHover = 1;
inline constexpr int32_t kCellPressed = 2;

// A picture of cells a control draws from: the cache frames of its first frame and that
// frame's size (0 x 0 without such a file). The frame's mask is the one the file brings, as
// for the picture components.
struct TControlPicture {
    std::string Source;
    TMobuImageList Images;
    int32_t Width = 0, Height = 0;
    void Set(const void* holder, const std::string& path);
    TDIBX* Surface();
    TDIBX* Mask();
};

class TMobuSlider : public TMobuControl {
public:
    explicit TMobuSlider(TMobuBaseList* owner, int type_code = LT_SLIDER);
    ~TMobuSlider() override;

    TControlPicture Track, Thumb, Buttons;
    int32_t Min = 0, Max = 0, Value = 0, Alpha = 255;
    bool PausedFlag = false;
    uint8_t Orientation = OT_HORIZONTAL;
    int32_t TrackWidth = 0, TrackHeight = 0;
    int32_t ThumbWidth = 0, ThumbHeight = 0;
    int32_t ButtonWidth = 0, ButtonHeight = 0;
    int32_t ThumbPos = 0;
    int32_t ThumbCell = kCellNormal;
    std::array<int32_t, 2> ButtonCells{};
    int32_t DragOffset = 0, RepeatLeft = 0;
    int32_t SmallChange = 1;
    bool CaptureMask = false;
    int32_t BarSize = 0;
    int32_t PressMode = kSliderIdle;

    virtual bool IsScrollbar() const { return false; }
    bool Vertical() const { return Orientation == OT_VERTICAL; }
    // Sizes the parts and the control from the pictures and places the thumb.
    void Layout();
    // The track's length along the orientation and the thumb's travel over it.
    int32_t TrackLength() const { return Vertical() ? TrackHeight : TrackWidth; }
    int32_t ThumbLength() const { return Vertical() ? ThumbHeight : ThumbWidth; }
    int32_t ButtonLength() const { return Vertical() ? ButtonHeight : ButtonWidth; }
    int32_t Travel() const;
    // The value clamped into Min ... Max (Min for an empty range).
    int32_t ClampedValue() const;
    // Whether the range holds at least two values.
    bool HasRange() const { return int64_t{Max} - Min >= 1; }
    void PlaceThumb();
    // A value the user chose: clamped, stored, the thumb placed and the notification posted
    // when it changed.
    void UserValue(int64_t value);
    void SetValue(int32_t value);

    // ---- geometry (base coordinates) ----
    TRect TrackRect();
    TRect ThumbRect();
    // 0: the decrement button, 1: the increment button.
    TRect ButtonRect(int which);
    // The thumb position for a pointer at base coordinate `along` with the grab offset.
    int64_t ThumbPosAt(int64_t along);
    int64_t ValueAtThumbPos(int64_t pos);
    // The pointer's coordinate along the orientation.
    int32_t PointerAlong();

    bool Update() override;
    void Draw(TCustomDIBX& surface) override;
    void LButtonDown() override;
    void LButtonUp() override;
    void MouseMove() override;
    void MouseOut(TMobuControl* new_target) override;
    void MouseHold() override;
    void KeyStep() override;
    void ReleaseSurfaces() override;
    void RestoreSurfaces() override;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;
    // The step the value takes while paging (the scroll bar's large change).
    virtual int32_t PageStep() const { return 0; }
    // Whether the thumb has reached the pointer while paging.
    bool ThumbReachedPointer();
    // Hover cells from the pointer (normal when pressed parts are left alone).
    void UpdateHoverCells();
    // Whether the pointer lies on the part `rect` showing cell `cell` of `picture`.
    bool PartHit(const TRect& rect, TControlPicture& picture, int32_t cell_x, bool use_mask);
    void DrawTrack(TCustomDIBX& surface);
};

class TMobuScrollbar : public TMobuSlider {
public:
    explicit TMobuScrollbar(TMobuBaseList* owner);

    int32_t LargeChange = 1;
    bool IsScrollbar() const override { return true; }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;
    int32_t PageStep() const override { return LargeChange; }
};

}  // namespace mobu
