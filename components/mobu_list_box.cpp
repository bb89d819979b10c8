// TMobuCustomListBox: items, layout, drawing, hover and selection, mouse and keys.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "components/mobu_base.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"
#include "components/mobu_label.h"
#include "components/mobu_menu.h"
#include "core/globals.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"

namespace mobu {

namespace {

constexpr int kKeyPageUp = 33, kKeyPageDown = 34, kKeyUp = 38, kKeyDown = 40;

// Pieces of the frame: 0 top-left ... 8 bottom-right, by rows.
constexpr int kTopRow[3] = {0, 1, 2}, kBottomRow[3] = {6, 7, 8};
constexpr int kLeftColumn[3] = {0, 3, 6}, kRightColumn[3] = {2, 5, 8};

int32_t WidestOf(const std::array<TListBoxPicture, 9>& pictures, const int (&which)[3])
{
    int32_t w = 0;
    for (int i : which) w = std::max(w, pictures[static_cast<size_t>(i)].Width);
    return w;
}

int32_t TallestOf(const std::array<TListBoxPicture, 9>& pictures, const int (&which)[3])
{
    int32_t h = 0;
    for (int i : which) h = std::max(h, pictures[static_cast<size_t>(i)].Height);
    return h;
}

// The pattern offset along an aligned direction: piece length `length`, picture length `w`.
int32_t AlignedOffset(uint8_t align, int32_t length, int32_t w)
{
    if (align == 1) return w < length ? -((length % w) / 2) : (length - w) / 2;
    if (align == 2) return w < length ? -(length % w) : length - w;
    return 0;
}

// Leading and trailing characters below 32 removed.
std::string Trimmed(const std::string& text)
{
    size_t first = 0, last = text.size();
    while (first < last && static_cast<uint8_t>(text[first]) < 32) ++first;
    while (last > first && static_cast<uint8_t>(text[last - 1]) < 32) --last;
    return text.substr(first, last - first);
}

int32_t Clamp64(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void TListBoxPicture::Set(const void* holder, const std::string& path)
{
    Source = path;
    Images.Clear();
    Width = Height = 0;
    if (path.empty()) return;
    Images.Fill(holder, path, false, true);
    if (TDIBX* s = Surface()) Width = s->Width(), Height = s->Height();
}

TDIBX* TListBoxPicture::Surface()
{
    if (Images.Count() == 0 || !Images.Data(0).Frame->Surface) return nullptr;
    return Images.Data(0).Frame->Surface.get();
}

TDIBX* TListBoxPicture::Mask()
{
    if (Images.Count() == 0) return nullptr;
    return Images.Data(0).Frame->Mask.get();
}

TMobuCustomListBox::TMobuCustomListBox(TMobuBaseList* owner, int type_code) : TMobuControl(owner, type_code)
{
    // The creation defaults of every property the box keeps in a field of its own.
    for (int id : {PR_LINESPACE, PR_ALPHA, PR_MARGINX, PR_MARGINY, PR_BORDERWIDTH, PR_BORDERCOLOR, PR_ROWCOUNT,
                   PR_HALIGN, PR_FONTNAME, PR_FONTHEIGHT, PR_FONTSTYLE, PR_FONTCOLOR, PR_FONTBORDER, PR_FONTSHADOW,
                   PR_FONTBORDERCOLOR, PR_FONTSHADOWCOLOR, PR_FONTHOVERSTYLE, PR_FONTHOVERCOLOR, PR_FONTHOVERBORDER,
                   PR_FONTHOVERSHADOW, PR_FONTHOVERBORDERCOLOR, PR_FONTHOVERSHADOWCOLOR, PR_ANTIALIAS}) {
        if (TypeAnswers(type_code, id)) WriteProperty(id, DefaultValue(id));
    }
    LayoutDirty = true;
}

TMobuCustomListBox::~TMobuCustomListBox() = default;

// ---------------- geometry ----------------

int32_t TMobuCustomListBox::RowHeight() const
{
    int64_t normal = 2 * int64_t{Labels.OutlineWidth} + Labels.FontSize + Labels.ShadowOffset;
    int64_t hover = 2 * int64_t{HoverLabels.OutlineWidth} + HoverLabels.FontSize + HoverLabels.ShadowOffset;
    return Clamp64(std::max(normal, hover));
}

int32_t TMobuCustomListBox::LeftBorder() const { return WidestOf(Borders, kLeftColumn); }
int32_t TMobuCustomListBox::RightBorder() const { return WidestOf(Borders, kRightColumn); }
int32_t TMobuCustomListBox::TopBorder() const { return TallestOf(Borders, kTopRow); }
int32_t TMobuCustomListBox::BottomBorder() const { return TallestOf(Borders, kBottomRow); }

TRect TMobuCustomListBox::InnerRect()
{
    TRect r = GetBoundsRect();
    const int32_t b = std::max(BorderWidth, 0);
    return TRect{r.Left + b, r.Top + b, std::max(r.Right - b, r.Left + b), std::max(r.Bottom - b, r.Top + b)};
}

TRect TMobuCustomListBox::ScrollArea()
{
    const TRect inner = InnerRect();
    const int32_t right = inner.Right - RightBorder();
    return TRect{right - ScrollCellWidth(), inner.Top + TopBorder(), right, inner.Bottom - BottomBorder()};
}

int32_t TMobuCustomListBox::ItemAt(int32_t x, int32_t y)
{
    const int32_t step = RowHeight() + LineSpace;
    if (RowHeight() + LineSpace <= 0 || RowHeight() <= 0) return -1;
    const TRect inner = InnerRect();
    const int32_t extend = std::clamp(LineSpace / 2, 0, std::max(MarginY, 0));
    const int32_t left = inner.Left + LeftBorder() + MarginX;
    const int32_t right = inner.Right - RightBorder() - MarginX - (ScrollBarShown() ? ScrollCellWidth() : 0);
    const int32_t top = inner.Top + TopBorder() + MarginY;
    const int32_t bottom = inner.Bottom - BottomBorder() - MarginY;
    if (x < left || x >= right || y < top - extend || y >= bottom + extend) return -1;
    const int64_t row = (int64_t{y} - top + extend) / step;
    const int64_t index = row + TopIndex;
    if (row < 0 || row >= std::max(RowCount, 0) || index >= Count()) return -1;
    return static_cast<int32_t>(index);
}

int32_t TMobuCustomListBox::ThumbTop()
{
    const TRect area = ScrollArea();
    const int32_t cell = Scroll.Height;
    const int64_t span = int64_t{area.Bottom - area.Top} - 3 * int64_t{cell};
    const int32_t range = MaxTopIndex();
    if (span <= 0 || range <= 0) return area.Top + cell;
    return Clamp64(area.Top + cell + span * TopIndex / range);
}

void TMobuCustomListBox::SetTopIndex(int32_t index)
{
    index = std::clamp(index, 0, MaxTopIndex());
    if (index == TopIndex) return;
    TopIndex = index;
    Invalidate();
}

void TMobuCustomListBox::ScrollIntoView(int32_t index)
{
    if (index < 0) return;
    const int32_t rows = std::max(RowCount, 0);
    if (index < TopIndex) SetTopIndex(index);
    else if (rows > 0 && index >= TopIndex + rows) SetTopIndex(index - rows + 1);
}

void TMobuCustomListBox::Relayout()
{
    Invalidate();
    LayoutDirty = true;
}

void TMobuCustomListBox::Layout()
{
    LayoutDirty = false;
    Labels.Measure();
    HoverLabels.Measure();
    const int32_t count = Count();
    const int32_t rows = std::min(std::max(RowCount, 0), count);
    int64_t width = std::max(Labels.MaxWidth(), HoverLabels.MaxWidth());
    width += 2 * int64_t{BorderWidth} + LeftBorder() + RightBorder() + 2 * int64_t{MarginX} + CheckCellWidth();
    if (NeedsScrollBar()) width += ScrollCellWidth();
    int64_t height = int64_t{rows} * RowHeight() + int64_t{std::max(rows - 1, 0)} * LineSpace;
    height += 2 * int64_t{BorderWidth} + TopBorder() + BottomBorder() + 2 * int64_t{MarginY};
    Invalidate();
    Width = Clamp64(std::max<int64_t>(width, 0));
    Height = Clamp64(std::max<int64_t>(height, 0));
    Invalidate();
    TopIndex = std::clamp(TopIndex, 0, MaxTopIndex());
}

// ---------------- items ----------------

void TMobuCustomListBox::SetText(const std::string& text)
{
    Invalidate();
    Text = text;
    Labels.Clear();
    HoverLabels.Clear();
    Items = SplitTextLines(Trimmed(text));
    for (const std::string& line : Items) {
        Labels.Add().Text = line;
        HoverLabels.Add().Text = line;
    }
    Checks.assign(Items.size(), 0);
    TopIndex = 0;
    LayoutDirty = true;
}

std::string TMobuCustomListBox::ItemText(int32_t index)
{
    return index >= 0 && index < Count() ? Items[static_cast<size_t>(index)] : std::string();
}

bool TMobuCustomListBox::ItemChecked(int32_t index)
{
    return index >= 0 && index < Count() && Checks[static_cast<size_t>(index)] != 0;
}

void TMobuCustomListBox::SetItemChecked(int32_t index, bool checked)
{
    if (index < 0 || index >= Count() || (Checks[static_cast<size_t>(index)] != 0) == checked) return;
    Checks[static_cast<size_t>(index)] = checked ? 1 : 0;
    Invalidate();
}

// ---------------- hover and selection ----------------

void TMobuCustomListBox::SetHover(int32_t index)
{
    if (index == HoverIndex) return;
    const int32_t old = HoverIndex;
    if (index < 0 && old >= 0) PostEvent(PR_ONMAPOUT, {ItemText(old), std::to_string(old)});
    HoverIndex = index;
    SelIndex = -1;
    InvalidateRow(old);
    InvalidateRow(index);
    if (index >= 0) PostEvent(PR_ONMAPIN, {ItemText(index), std::to_string(index)});
}

void TMobuCustomListBox::Select()
{
    SelIndex = HoverIndex;
    if (ParamMan) {
        ParamMan->SelStr = ItemText(HoverIndex);
        ParamMan->SelIndex = HoverIndex;
    }
    PostEvent(PR_ONSELECT, {ItemText(HoverIndex), std::to_string(HoverIndex)});
}

// ---------------- update and drawing ----------------

void TMobuCustomListBox::InvalidateRow(int32_t index)
{
    const int32_t rows = std::max(RowCount, 0);
    if (index < TopIndex || index >= TopIndex + rows || index >= Count()) return;
    TMobuBase* base = GetBase();
    if (!base || !IsShown() || HasClip() || LayoutDirty || State != 0) {
        Invalidate();
        return;
    }
    // The row with its hover rectangle, and the labels, which may reach below the row.
    const TRect inner = InnerRect();
    const int32_t extend = std::clamp(LineSpace / 2, 0, std::max(MarginY, 0));
    const int64_t top = int64_t{inner.Top} + TopBorder() + MarginY + int64_t{index - TopIndex} * (RowHeight() + LineSpace);
    int32_t height = RowHeight();
    if (index < Labels.Count()) height = std::max(height, Labels.Label(index).Height);
    if (index < HoverLabels.Count()) height = std::max(height, HoverLabels.Label(index).Height);
    const TRect row{inner.Left, Clamp64(top - extend), inner.Right, Clamp64(top + height + extend)};
    const TRect rect = IntersectRects(row, GetBoundsRect());
    if (!rect.IsEmpty()) base->AddDirtyRect(rect);
}

bool TMobuCustomListBox::Update()
{
    if (TMobuControl::Update()) return true;
    if (LayoutDirty) Layout();
    return false;
}

void TMobuCustomListBox::DrawRect(TCustomDIBX& surface, const TRect& rect, int32_t colour)
{
    if (rect.IsEmpty() || colour < 0) return;
    if (Alpha > TMobuBox::kOpaqueAlpha) {
        surface.FillRectAdd(rect, static_cast<uint32_t>(surface.ColorToPixel(ScaleColour(colour, Alpha - 256))));
    } else if (Alpha == TMobuBox::kOpaqueAlpha) {
        surface.FillRect(rect, static_cast<uint32_t>(surface.ColorToPixel(colour)));
    } else {
        surface.FillRectAlpha(rect, static_cast<uint32_t>(surface.ColorToPixel(colour)), Alpha);
    }
}

void TMobuCustomListBox::DrawPicturePiece(TCustomDIBX& surface, const TRect& rect, TListBoxPicture& picture,
                                          int32_t offset_x, int32_t offset_y)
{
    TDIBX* texture = picture.Surface();
    if (!texture || texture->Width() <= 0 || texture->Height() <= 0 || rect.IsEmpty()) return;
    if (TDIBX* mask = picture.Mask()) {
        surface.PatternFillMask(rect, *texture, offset_x, offset_y, false, false, Alpha, *mask);
    } else if (Alpha == TMobuBox::kOpaqueAlpha && texture->TransparentColor < 0) {
        surface.PatternCopy(rect, *texture, false, false, offset_x, offset_y);
    } else {
        surface.PatternFill(rect, *texture, offset_x, offset_y, false, false, Alpha);
    }
}

void TMobuCustomListBox::Draw(TCustomDIBX& surface)
{
    const TRect bounds = GetBoundsRect();
    if (Alpha > 0 && Alpha < TMobuBox::kAlphaLimit && Width > 0 && Height > 0 &&
        !IntersectRects(bounds, surface.GetClipRect()).IsEmpty()) {
        // (1) the frame and (2) the background inside it.
        if (BorderWidth > 0 && BorderColor >= 0) {
            const bool additive = Alpha > TMobuBox::kOpaqueAlpha;
            const auto pixel = static_cast<uint32_t>(
                surface.ColorToPixel(additive ? ScaleColour(BorderColor, Alpha - 256) : BorderColor));
            if (additive) surface.FrameRectAdd(bounds, BorderWidth, pixel);
            else if (Alpha == TMobuBox::kOpaqueAlpha) surface.FrameRect(bounds, BorderWidth, pixel);
            else surface.FrameRectAlpha(bounds, BorderWidth, pixel, Alpha);
        }
        const TRect inner = InnerRect();
        DrawRect(surface, inner, Color);

        // (3) the nine pieces.
        const int32_t lw = LeftBorder(), rw = RightBorder(), th = TopBorder(), bh = BottomBorder();
        const int32_t xs[4] = {inner.Left, inner.Left + lw, inner.Right - rw, inner.Right};
        const int32_t ys[4] = {inner.Top, inner.Top + th, inner.Bottom - bh, inner.Bottom};
        const bool bar = ScrollBarShown();
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                const int piece = row * 3 + col;
                TListBoxPicture& picture = Borders[static_cast<size_t>(piece)];
                if (picture.Width <= 0 || picture.Height <= 0) continue;
                TRect rect{xs[col], ys[row], xs[col + 1], ys[row + 1]};
                // Corners at their own size in the corners of the inner rectangle.
                if (col == 0) rect.Right = rect.Left + picture.Width;
                if (col == 2) rect.Left = rect.Right - picture.Width;
                if (row == 0) rect.Bottom = rect.Top + picture.Height;
                if (row == 2) rect.Top = rect.Bottom - picture.Height;
                if (piece == 4 && bar) rect.Right -= ScrollCellWidth();
                if (rect.IsEmpty()) continue;
                int32_t ox = 0, oy = 0;
                if (col == 1) ox = AlignedOffset(BorderHAlign[static_cast<size_t>(piece)], rect.Right - rect.Left, picture.Width);
                if (row == 1) oy = AlignedOffset(BorderVAlign[static_cast<size_t>(piece)], rect.Bottom - rect.Top, picture.Height);
                DrawPicturePiece(surface, rect, picture, ox, oy);
            }
        }

        // (4) the scroll bar.
        if (bar) {
            const TRect area = ScrollArea();
            const int32_t cw = ScrollCellWidth(), ch = Scroll.Height;
            auto cell = [&](int32_t top, int32_t bottom, int index) {
                DrawPicturePiece(surface, TRect{area.Left, top, area.Left + cw, bottom}, Scroll, index * cw, 0);
            };
            const int32_t thumb = ThumbTop();
            const bool up = PressMode == kPressUpArrow && UpPressed, down = PressMode == kPressDownArrow && DownPressed;
            const bool above = PressMode == kPressTrackAbove && UpPressed;
            const bool below = PressMode == kPressTrackBelow && DownPressed;
            if (area.Bottom - area.Top > 2 * ch) {
                cell(area.Top + ch, thumb, above ? kCellTrackPressed : kCellTrack);
                cell(thumb + ch, area.Bottom - ch, below ? kCellTrackPressed : kCellTrack);
                cell(thumb, thumb + ch, kCellThumb);
            }
            cell(area.Top, area.Top + ch, up ? kCellUpPressed : kCellUp);
            cell(area.Bottom - ch, area.Bottom, down ? kCellDownPressed : kCellDown);
        }

        // (5) the rows.
        const int32_t row_height = RowHeight();
        const int32_t step = row_height + LineSpace;
        const int32_t content_left = inner.Left + lw + MarginX;
        const int32_t content_right = inner.Right - rw - MarginX - (bar ? ScrollCellWidth() : 0);
        const int32_t check_width = CheckCellWidth();
        const int32_t label_left = content_left + check_width;
        const int32_t label_width = content_right - label_left;
        const int32_t extend = std::clamp(LineSpace / 2, 0, std::max(MarginY, 0));
        const int32_t first_top = inner.Top + th + MarginY;
        const int32_t rows = std::min(std::max(RowCount, 0), Count() - TopIndex);
        Labels.Target = HoverLabels.Target = &surface;
        Labels.Opacity = HoverLabels.Opacity = std::min(Alpha, 255);
        for (int32_t r = 0; r < rows; ++r) {
            const int32_t index = TopIndex + r;
            const int32_t top = Clamp64(first_top + int64_t{r} * step);
            const bool hovered = index == HoverIndex;
            if (hovered && HoverRowColour() != -1) {
                DrawRect(surface, TRect{inner.Left + lw, top - extend, inner.Right - rw - (bar ? ScrollCellWidth() : 0),
                                        top + row_height + extend},
                         HoverRowColour());
            }
            TKsLabelList& list = hovered ? HoverLabels : Labels;
            if (index < list.Count()) {
                TKsLabelDIB& label = list.Label(index);
                int32_t x = label_left;
                if (HAlign == HA_CENTER) x += (label_width - label.Width) / 2;
                else if (HAlign == HA_RIGHT) x += label_width - label.Width;
                list.DrawLabel(index, x, top);
            }
            if (Checks[static_cast<size_t>(index)] && check_width > 0) {
                const int32_t y = top + (row_height - Check.Height) / 2;
                DrawPicturePiece(surface, TRect{content_left, y, content_left + check_width, y + Check.Height}, Check,
                                 hovered ? check_width : 0, 0);
            }
        }
        Labels.Target = HoverLabels.Target = nullptr;
    }
    DrawChildren(surface);
}

// ---------------- mouse ----------------

void TMobuCustomListBox::LButtonDown()
{
    TMobuBase* base = owner_ ? owner_->ActiveBase() : nullptr;
    if (!base) return;
    if (PausedFlag) {
        TMobuControl::LButtonDown();
        return;
    }
    base->LClick = false;
    base->Capture |= kCaptureLeft;
    const int32_t x = base->MouseX, y = base->MouseY;
    const TRect area = ScrollArea();
    const int32_t ch = Scroll.Height;
    PressMode = kPressItem;
    if (ScrollBarShown() && x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom) {
        const int32_t thumb = ThumbTop();
        if (y < area.Top + ch) PressMode = kPressUpArrow;
        else if (y >= area.Bottom - ch) PressMode = kPressDownArrow;
        else if (y < thumb) PressMode = kPressTrackAbove;
        else if (y >= thumb + ch) PressMode = kPressTrackBelow;
        else {
            PressMode = kPressThumb;
            DragOffset = y - thumb - ch / 2;
        }
    }
    if (PressMode >= kPressUpArrow && PressMode <= kPressTrackBelow) {
        UpPressed = PressMode == kPressUpArrow || PressMode == kPressTrackAbove;
        DownPressed = !UpPressed;
        ScrollStep();
        RepeatLeft = TMobuBaseList::kFirstRepeatMs;
        Invalidate();
    }
}

void TMobuCustomListBox::ScrollStep()
{
    const int32_t rows = std::max(RowCount, 0);
    switch (PressMode) {
        case kPressUpArrow: SetTopIndex(TopIndex - 1); break;
        case kPressDownArrow:
            if (TopIndex + rows < Count()) SetTopIndex(TopIndex + 1);
            break;
        case kPressTrackAbove: SetTopIndex(TopIndex - rows); break;
        case kPressTrackBelow: SetTopIndex(TopIndex + rows); break;
        default: break;
    }
}

void TMobuCustomListBox::MouseHold()
{
    if (PressMode < kPressUpArrow || PressMode > kPressTrackBelow) return;
    TMobuBase* base = GetBase();
    if (!base) return;
    const int32_t x = base->MouseX, y = base->MouseY;
    const TRect area = ScrollArea();
    const int32_t ch = Scroll.Height;
    const int32_t thumb = ThumbTop();
    bool on = x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
    switch (PressMode) {
        case kPressUpArrow: on = on && y < area.Top + ch; break;
        case kPressDownArrow: on = on && y >= area.Bottom - ch; break;
        case kPressTrackAbove: on = on && y >= area.Top + ch && y < thumb; break;
        default: on = on && y >= thumb + ch && y < area.Bottom - ch; break;
    }
    const bool up_part = PressMode == kPressUpArrow || PressMode == kPressTrackAbove;
    bool& flag = up_part ? UpPressed : DownPressed;
    if (flag != on) {
        flag = on;
        Invalidate();
    }
    RepeatLeft -= FrameDeltaMs;
    if (RepeatLeft <= 0) {
        RepeatLeft = TMobuBaseList::kRepeatMs;
        if (on) ScrollStep();
    }
}

void TMobuCustomListBox::MouseMove()
{
    TMobuBase* base = GetBase();
    if (base && PressMode == kPressThumb) {
        const TRect area = ScrollArea();
        const int32_t ch = Scroll.Height;
        const int64_t span = int64_t{area.Bottom - area.Top} - 3 * int64_t{ch};
        if (span > 0) {
            const double along = double(base->MouseY) - DragOffset - area.Top - 1.5 * ch;
            const double index = double(MaxTopIndex()) * along / double(span);
            SetTopIndex(static_cast<int32_t>(std::clamp(std::lround(index), 0L, long{MaxTopIndex()})));
        }
    } else if (base && (PressMode == kPressNone || PressMode == kPressItem) && !PausedFlag) {
        SetHover(ItemAt(base->MouseX, base->MouseY));
    }
    TMobuControl::MouseMove();
}

void TMobuCustomListBox::LButtonUp()
{
    if (!IsSelecting() && PressMode == kPressItem && HoverIndex >= 0) Select();
    PressMode = kPressNone;
    UpPressed = DownPressed = false;
    Invalidate();
    TMobuControl::LButtonUp();
    if (owner_) owner_->ActiveBase()->Capture &= static_cast<uint8_t>(~kCaptureLeft);
}

void TMobuCustomListBox::MouseOut(TMobuControl* new_target)
{
    if (!PausedFlag && IgnoreMouse != IM_ALL) SetHover(-1);
    TMobuControl::MouseOut(new_target);
}

// ---------------- keys ----------------

void TMobuCustomListBox::KeyStep()
{
    if (!owner_) return;
    const int32_t count = Count(), rows = std::max(RowCount, 0);
    if (count <= 0) return;
    const int32_t last = count - 1;
    int32_t next = HoverIndex;
    bool moved = true;
    if (owner_->KeyFireLast(kKeyUp)) next = HoverIndex < 0 ? last : std::max(HoverIndex - 1, 0);
    else if (owner_->KeyFireLast(kKeyDown)) next = HoverIndex < 0 ? 0 : std::min(HoverIndex + 1, last);
    else if (owner_->KeyFireLast(kKeyPageUp)) next = HoverIndex < 0 ? last : std::max(HoverIndex - rows, 0);
    else if (owner_->KeyFireLast(kKeyPageDown)) next = HoverIndex < 0 ? 0 : std::min(HoverIndex + rows, last);
    else moved = false;
    if (!moved) return;
    SetHover(next);
    ScrollIntoView(HoverIndex);
}

// ---------------- surfaces ----------------

void TMobuCustomListBox::ReleaseSurfaces()
{
    for (TListBoxPicture& p : Borders) p.Images.DropCopies();
    Labels.MarkAllChanged();
    HoverLabels.MarkAllChanged();
}

void TMobuCustomListBox::RestoreSurfaces() { Invalidate(); }

// ---------------- properties ----------------

TPropValue TMobuCustomListBox::ReadProperty(int id)
{
    if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR)
        return TPropValue::Text(Borders[static_cast<size_t>(id - PR_BORDERSOURCETL)].Source);
    switch (id) {
        case PR_TEXT: return TPropValue::Text(Text);
        case PR_LINESPACE: return TPropValue::Int(LineSpace);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_MARGINX: return TPropValue::Int(MarginX);
        case PR_MARGINY: return TPropValue::Int(MarginY);
        case PR_BORDERWIDTH: return TPropValue::Int(BorderWidth);
        case PR_BORDERCOLOR: return TPropValue::Int(BorderColor);
        case PR_ROWCOUNT: return TPropValue::Int(RowCount);
        case PR_BORDERHALIGNT: return TPropValue::Int(BorderHAlign[1]);
        case PR_BORDERHALIGNC: return TPropValue::Int(BorderHAlign[4]);
        case PR_BORDERHALIGNB: return TPropValue::Int(BorderHAlign[7]);
        case PR_BORDERVALIGNL: return TPropValue::Int(BorderVAlign[3]);
        case PR_BORDERVALIGNC: return TPropValue::Int(BorderVAlign[4]);
        case PR_BORDERVALIGNR: return TPropValue::Int(BorderVAlign[5]);
        case PR_SCROLLSOURCE: return TPropValue::Text(Scroll.Source);
        case PR_CHECKSOURCE: return TPropValue::Text(Check.Source);
        case PR_TOPINDEX: return TPropValue::Int(TopIndex);
        case PR_HALIGN: return TPropValue::Int(HAlign);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        case PR_INDEX: return TPropValue::Int(SelIndex);
        case PR_COUNT: return TPropValue::Int(Count());
        case PR_FONTNAME: return TPropValue::Text(Labels.FontName);
        case PR_FONTHEIGHT: return TPropValue::Int(Labels.FontSize);
        case PR_ANTIALIAS: return TPropValue::Flag(Labels.Antialias != 0);
        case PR_FONTSTYLE: return TPropValue::Int(Labels.FontStyle);
        case PR_FONTCOLOR: return TPropValue::Int(Labels.Color);
        case PR_FONTBORDER: return TPropValue::Int(Labels.OutlineWidth);
        case PR_FONTSHADOW: return TPropValue::Int(Labels.ShadowOffset);
        case PR_FONTBORDERCOLOR: return TPropValue::Int(Labels.OutlineColor);
        case PR_FONTSHADOWCOLOR: return TPropValue::Int(Labels.ShadowColor);
        case PR_FONTHOVERSTYLE: return TPropValue::Int(HoverLabels.FontStyle);
        case PR_FONTHOVERCOLOR: return TPropValue::Int(HoverLabels.Color);
        case PR_FONTHOVERBORDER: return TPropValue::Int(HoverLabels.OutlineWidth);
        case PR_FONTHOVERSHADOW: return TPropValue::Int(HoverLabels.ShadowOffset);
        case PR_FONTHOVERBORDERCOLOR: return TPropValue::Int(HoverLabels.OutlineColor);
        case PR_FONTHOVERSHADOWCOLOR: return TPropValue::Int(HoverLabels.ShadowColor);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuCustomListBox::WriteProperty(int id, const TPropValue& value)
{
    const int32_t v = value.integer;
    // A setter that changes the size lays the box out again; the others only redraw.
    auto sizing = [this](auto& field, auto to) {
        if (field == to) return;
        field = to;
        Relayout();
    };
    auto drawing = [this](auto& field, auto to) {
        if (field == to) return;
        field = to;
        Invalidate();
    };
    auto both = [&](auto member, auto to) {
        sizing(Labels.*member, to);
        sizing(HoverLabels.*member, to);
    };
    if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR) {
        TListBoxPicture& picture = Borders[static_cast<size_t>(id - PR_BORDERSOURCETL)];
        if (picture.Source == value.text) return;
        picture.Set(this, value.text);
        Relayout();
        return;
    }
    switch (id) {
        case PR_TEXT: SetText(value.text); return;
        case PR_LINESPACE: sizing(LineSpace, v); return;
        case PR_ALPHA:
            drawing(Alpha, v);
            Labels.Opacity = HoverLabels.Opacity = std::clamp(v, 0, 255);
            return;
        case PR_MARGINX: sizing(MarginX, v); return;
        case PR_MARGINY: sizing(MarginY, v); return;
        case PR_BORDERWIDTH: sizing(BorderWidth, v); return;
        case PR_BORDERCOLOR: drawing(BorderColor, v); return;
        case PR_ROWCOUNT: sizing(RowCount, v); return;
        case PR_BORDERHALIGNT: drawing(BorderHAlign[1], static_cast<uint8_t>(v)); return;
        case PR_BORDERHALIGNC: drawing(BorderHAlign[4], static_cast<uint8_t>(v)); return;
        case PR_BORDERHALIGNB: drawing(BorderHAlign[7], static_cast<uint8_t>(v)); return;
        case PR_BORDERVALIGNL: drawing(BorderVAlign[3], static_cast<uint8_t>(v)); return;
        case PR_BORDERVALIGNC: drawing(BorderVAlign[4], static_cast<uint8_t>(v)); return;
        case PR_BORDERVALIGNR: drawing(BorderVAlign[5], static_cast<uint8_t>(v)); return;
        case PR_SCROLLSOURCE:
            if (Scroll.Source == value.text) return;
            Scroll.Set(this, value.text);
            Relayout();
            return;
        case PR_CHECKSOURCE:
            if (Check.Source == value.text) return;
            Check.Set(this, value.text);
            Relayout();
            return;
        case PR_TOPINDEX: SetTopIndex(v); return;
        case PR_HALIGN: drawing(HAlign, static_cast<uint8_t>(v)); return;
        case PR_INDEX: SelIndex = v; return;
        case PR_COUNT: return;
        case PR_PAUSED: {
            const bool paused = v != 0;
            if (paused == PausedFlag) return;
            PausedFlag = paused;
            // A paused box gives the focus back; an unpaused one may take it when nobody has it.
            if (owner_) {
                TMobuControl* focus = owner_->Focus();
                if ((paused && focus && (focus == this || HasDescendant(focus))) || (!paused && !focus)) {
                    owner_->DropFocus();
                    owner_->RequestRefocus();
                }
            }
            return;
        }
        case PR_FONTNAME: both(&TKsLabelList::FontName, value.text); return;
        case PR_FONTHEIGHT: both(&TKsLabelList::FontSize, v); return;
        case PR_ANTIALIAS: both(&TKsLabelList::Antialias, v != 0 ? 3 : 0); return;
        case PR_FONTSTYLE: sizing(Labels.FontStyle, static_cast<uint8_t>(v)); return;
        case PR_FONTCOLOR: drawing(Labels.Color, v); Labels.MarkAllChanged(); return;
        case PR_FONTBORDER: sizing(Labels.OutlineWidth, v); return;
        case PR_FONTSHADOW: sizing(Labels.ShadowOffset, v); return;
        case PR_FONTBORDERCOLOR: drawing(Labels.OutlineColor, v); Labels.MarkAllChanged(); return;
        case PR_FONTSHADOWCOLOR: drawing(Labels.ShadowColor, v); Labels.MarkAllChanged(); return;
        case PR_FONTHOVERSTYLE: sizing(HoverLabels.FontStyle, static_cast<uint8_t>(v)); return;
        case PR_FONTHOVERCOLOR: drawing(HoverLabels.Color, v); HoverLabels.MarkAllChanged(); return;
        case PR_FONTHOVERBORDER: sizing(HoverLabels.OutlineWidth, v); return;
        case PR_FONTHOVERSHADOW: sizing(HoverLabels.ShadowOffset, v); return;
        case PR_FONTHOVERBORDERCOLOR: drawing(HoverLabels.OutlineColor, v); HoverLabels.MarkAllChanged(); return;
        case PR_FONTHOVERSHADOWCOLOR: drawing(HoverLabels.ShadowColor, v); HoverLabels.MarkAllChanged(); return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

// ---------------- saved form ----------------

void TMobuCustomListBox::SaveTypePart(ByteWriter& out)
{
    Labels.SaveToStream(out);
    HoverLabels.SaveToStream(out);
    out.String(Text);
    for (int32_t v : {LineSpace, Alpha, Reserved, MarginX, MarginY, BorderWidth, BorderColor, RowCount}) out.I32(v);
    for (size_t i = 0; i < Borders.size(); ++i) {
        out.String(Borders[i].Source);
        out.U8(BorderHAlign[i]);
        out.U8(BorderVAlign[i]);
    }
    out.String(Scroll.Source);
    out.String(Check.Source);
    out.I32(TopIndex);
    out.U8(HAlign);
    for (uint8_t c : Checks) out.U8(c);
    out.String(EventString(PR_ONSELECT));
    out.Flag(PausedFlag);
    out.I32(SelIndex);
    out.I32(State);
    out.String(EventString(PR_ONIDLE));
    out.String(EventString(PR_ONMAPIN));
    out.String(EventString(PR_ONMAPOUT));
}

void TMobuCustomListBox::LoadTypePart(ByteReader& in, int version)
{
    Labels.LoadFromStream(in, version);
    HoverLabels.LoadFromStream(in, version);
    SetText(in.String());
    for (int32_t* v : {&LineSpace, &Alpha, &Reserved, &MarginX, &MarginY, &BorderWidth, &BorderColor, &RowCount})
        *v = in.I32();
    for (size_t i = 0; i < Borders.size(); ++i) {
        Borders[i].Set(this, in.String());
        BorderHAlign[i] = in.U8();
        BorderVAlign[i] = in.U8();
    }
    Scroll.Set(this, in.String());
    Check.Set(this, in.String());
    const int32_t top = in.I32();
    if (version < 104) in.U8();
    HAlign = in.U8();
    for (uint8_t& c : Checks) c = in.U8() != 0 ? 1 : 0;
    values_[PR_ONSELECT] = TPropValue::Text(in.String());
    PausedFlag = in.Flag();
    SelIndex = in.I32();
    State = in.I32();
    if (version > 130) values_[PR_ONIDLE] = TPropValue::Text(in.String());
    if (version > 133) {
        values_[PR_ONMAPIN] = TPropValue::Text(in.String());
        values_[PR_ONMAPOUT] = TPropValue::Text(in.String());
    }
    // What the game may rely on stays; what would break the box is brought back in range.
    if (SelIndex < -1 || SelIndex >= Count()) SelIndex = -1;
    switch (State) {
        case 0: case 10: case 100: case 101: case 102: case 200: case 201: case 300: case 301: case 302: break;
        default: State = 0; break;
    }
    Labels.Opacity = HoverLabels.Opacity = std::clamp(Alpha, 0, 255);
    Layout();
    TopIndex = std::clamp(top, 0, MaxTopIndex());
}

}  // namespace mobu
