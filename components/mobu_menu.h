// The list box (TMobuCustomListBox) and the menu built on it (TMobuMenu, LT_MENU): text items
// drawn with two label lists (normal and hover style) inside a frame of nine border pictures,
// a hover highlight, check marks and a scroll bar; chosen with the keys and the mouse. The
// menu adds the opening and closing animation and closes on a right click.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/mobu_image.h"
#include "components/mobu_object.h"
#include "text/ks_label_list.h"

namespace mobu {

// What the mouse pressed on a list box.
inline constexpr int32_t kPressNone = -1;
inline constexpr int32_t kPressThumb = 0;
inline constexpr int32_t kPressUpArrow = 1;
inline constexpr int32_t kPressDownArrow = 2;
inline constexpr int32_t kPressTrackAbove = 3;
inline constexpr int32_t kPressTrackBelow = 4;
inline constexpr int32_t kPressItem = 5;

// One of the pictures a list box draws with: its cache frames and the size of frame 0
// (0 x 0 when there is no such file).
struct TListBoxPicture {
    std::string Source;
    TMobuImageList Images;
    int32_t Width = 0, Height = 0;
    void Set(const void* holder, const std::string& path);
    // The first frame's surface, or none.
    TDIBX* Surface();
    TDIBX* Mask();
};

class TMobuCustomListBox : public TMobuControl {
public:
    static constexpr int kScrollCells = 7;
    static constexpr int kCheckCells = 2;
    // The bar's cells in the scroll picture.
    static constexpr int kCellUp = 0, kCellUpPressed = 1, kCellDown = 2, kCellDownPressed = 3;
    static constexpr int kCellTrack = 4, kCellTrackPressed = 5, kCellThumb = 6;

    TMobuCustomListBox(TMobuBaseList* owner, int type_code);
    ~TMobuCustomListBox() override;

    // ---- fields ----
    std::string Text;
    int32_t LineSpace = 0, Alpha = 255, Reserved = 0, MarginX = 0, MarginY = 0;
    int32_t BorderWidth = 0, BorderColor = -1, RowCount = 0;
    std::array<TListBoxPicture, 9> Borders;
    std::array<uint8_t, 9> BorderHAlign{}, BorderVAlign{};
    TListBoxPicture Scroll, Check;
    bool LayoutDirty = false;
    int32_t TopIndex = 0;
    uint8_t HAlign = 0;
    int32_t HoverIndex = -1;
    int32_t DragOffset = 0, PressMode = kPressNone, RepeatTick = 0, RepeatLeft = 0;
    bool UpPressed = false, DownPressed = false;
    bool PausedFlag = false;
    int32_t SelIndex = -1;
    int32_t State = 0;
    TKsLabelList Labels, HoverLabels;
    std::vector<uint8_t> Checks;
    std::vector<std::string> Items;

    // ---- geometry (base coordinates) ----
    int32_t ScrollCellWidth() const { return Scroll.Width / kScrollCells; }
    int32_t CheckCellWidth() const { return Check.Width / kCheckCells; }
    int32_t RowHeight() const;
    int32_t LeftBorder() const;
    int32_t RightBorder() const;
    int32_t TopBorder() const;
    int32_t BottomBorder() const;
    // More items than visible rows.
    bool NeedsScrollBar() const { return std::max(RowCount, 0) < Count(); }
    bool ScrollBarShown() const { return NeedsScrollBar() && State == 0 && ScrollCellWidth() > 0; }
    // The drawn rectangle less the frame of BorderWidth.
    TRect InnerRect();
    // The scroll bar's column: the right of the centre column, between the top and bottom
    // border pictures.
    TRect ScrollArea();
    // The item under a base point, -1 when none.
    int32_t ItemAt(int32_t x, int32_t y);
    // Top of the thumb in base coordinates.
    int32_t ThumbTop();
    int32_t MaxTopIndex() const { return std::max(Count() - std::max(RowCount, 0), 0); }
    void SetTopIndex(int32_t index);
    // Measures the labels and sizes the box.
    void Layout();
    void ScrollIntoView(int32_t index);

    // ---- hover and selection ----
    void SetHover(int32_t index);
    virtual void Select();
    void SetText(const std::string& text);

    // ---- items ----
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
    int32_t ItemCount() override { return static_cast<int32_t>(Items.size()); }
    std::string ItemText(int32_t index) override;
    bool ItemChecked(int32_t index) override;
    void SetItemChecked(int32_t index, bool checked) override;

    // ---- behaviour ----
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
    // Redraws the row of an item (nothing when it is not shown).
    void InvalidateRow(int32_t index);
    // Invalidates and asks for a new layout at the next update.
    void Relayout();
    // Scrolls by the press mode's step (arrows by a row, track by a page).
    void ScrollStep();
    void DrawPicturePiece(TCustomDIBX& surface, const TRect& rect, TListBoxPicture& picture, int32_t offset_x,
                          int32_t offset_y);
    void DrawRect(TCustomDIBX& surface, const TRect& rect, int32_t colour);
    // Colour of the hovered row's rectangle (-1 none): the menu's PR_HOVERCOLOR.
    virtual int32_t HoverRowColour() const { return -1; }
    bool IsMenuOpen() const { return State == 0; }
};

class TMobuMenu : public TMobuCustomListBox {
public:
    explicit TMobuMenu(TMobuBaseList* owner);
    ~TMobuMenu() override;

    int32_t FullHeight = 0;
    int32_t AnimStart = 0;
    int32_t Delay = 0;
    int32_t HoverColor = -1;
    bool AutoScrap = false, RClickScrap = false;
    uint8_t PlayMode = LP_STOP;
    bool Closing = false;

    bool IsSelecting() const override { return Closing; }
    void SetPlayMode(int mode) override;
    void Select() override;
    bool Update() override;
    void KeyStep() override;
    bool RightClickScrap() override;
    void RButtonDown() override;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;
    int32_t HoverRowColour() const override { return HoverColor; }

private:
    void TakeFocus();
    void ReleaseFocus();
    int32_t Elapsed() const;
};

}  // namespace mobu
