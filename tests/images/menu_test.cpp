// The menu: items and size, keys from none and scrolling into view, the mouse on items and
// on the scroll bar, the play states and their events, right clicks, the faults of odd
// sizes, drawing compared pixel for pixel with the pattern operations and labels composed
// by hand, and the saved form.
#include "image_fixture.h"

#include "components/mobu_menu.h"
#include "expr/param_collection.h"
#include "expr/param_man.h"

namespace mobu {
namespace {

using testing_images::ImageScene;
using testing_images::Picture;
using testing_images::Lines;

constexpr int kReturn = 13, kEscape = 27, kSpace = 32, kPageUp = 33, kPageDown = 34, kUp = 38, kDown = 40;

class Menu : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        // A 7-cell scroll picture of 3 × 4 cells and a 2-cell check picture of 4 × 4 cells.
        std::ofstream(folder_ / "pic" / "scroll.fsk", std::ios::binary) << Picture(1, 21, 4, 100, 8);
        std::ofstream(folder_ / "pic" / "check.fsk", std::ios::binary) << Picture(1, 8, 4, 100, 12);
        std::ofstream(folder_ / "pic" / "thin.fsk", std::ios::binary) << Picture(1, 6, 4, 100, 2);
        list_.SetSize(120, 90);
        saved_params_ = ParamMan;
        ParamMan = &params_;
        menu_ = dynamic_cast<TMobuMenu*>(list_.CreateComponent(LT_MENU));
        ASSERT_NE(menu_, nullptr);
        menu_->SetName("menu");
        menu_->SetLeft(10);
        menu_->SetTop(5);
        menu_->HandleKey = true;
        menu_->SetProp(PR_FONTHEIGHT, TPropValue::Int(10));
        menu_->SetProp(PR_FONTBORDER, TPropValue::Int(0));
        menu_->SetProp(PR_FONTSHADOW, TPropValue::Int(0));
        menu_->SetProp(PR_FONTHOVERBORDER, TPropValue::Int(0));
        menu_->SetProp(PR_FONTHOVERSHADOW, TPropValue::Int(0));
        menu_->SetProp(PR_LINESPACE, TPropValue::Int(2));
        menu_->SetProp(PR_MARGINX, TPropValue::Int(3));
        menu_->SetProp(PR_MARGINY, TPropValue::Int(4));
        menu_->SetProp(PR_BORDERWIDTH, TPropValue::Int(1));
        menu_->SetProp(PR_ROWCOUNT, TPropValue::Int(2));
        menu_->SetProp(PR_DELAY, TPropValue::Int(0));
        menu_->SetProp(PR_TEXT, TPropValue::Text("\x01\x02North\r\nSouth\r\nEast\r\n\t"));
        for (int code : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT, PR_ONOPENING, PR_ONOPENED, PR_ONCLOSING, PR_ONCLOSED})
            menu_->SetProp(code, TPropValue::Text("p.msb:l"));
    }
    void TearDown() override
    {
        ParamMan = saved_params_;
        ImageScene::TearDown();
    }
    // Opens the menu at once (no animation) and gives it the focus.
    void Open()
    {
        menu_->SetPlayMode(LP_PLAY);
        list_.SetFocus(menu_);
        list_.Events().Clear();
    }
    // The list written to its saved form and read into a new list of the same size; the
    // whole saved form must be read back.
    std::unique_ptr<TMobuBaseList> Reloaded()
    {
        ByteWriter out;
        list_.SaveToStream(out);
        auto loaded = std::make_unique<TMobuBaseList>();
        loaded->SetSize(120, 90);
        ByteReader in(out.Bytes());
        loaded->LoadFromStream(in, kComponentSaveVersion);
        EXPECT_EQ(in.Remaining(), 0u);
        return loaded;
    }
    // Base y of the top of row r (inside the frame of 1 and the top margin of 4).
    int32_t RowTop(int r) const { return 5 + 1 + 4 + r * 12; }

    TParamCollection params_;
    TParamCollection* saved_params_ = nullptr;
    TMobuMenu* menu_ = nullptr;
};

TEST_F(Menu, ItemsAreTrimmedLinesAndTheSizeFollowsTheRule)
{
    EXPECT_EQ(menu_->GetProp(PR_COUNT).AsInt(), 3);
    EXPECT_EQ(menu_->ItemText(0), "North");
    EXPECT_EQ(menu_->ItemText(2), "East");
    Open();
    const int32_t widest = std::max(menu_->Labels.MaxWidth(), menu_->HoverLabels.MaxWidth());
    EXPECT_GT(widest, 0);
    EXPECT_EQ(menu_->Width, widest + 2 * 1 + 2 * 3);  // no pictures: no scroll cell, no check cell
    EXPECT_EQ(menu_->Height, 2 * 10 + 1 * 2 + 2 * 1 + 2 * 4);  // two rows
    menu_->SetProp(PR_SCROLLSOURCE, TPropValue::Text("pic\\scroll.fsk"));
    menu_->SetProp(PR_CHECKSOURCE, TPropValue::Text("pic\\check.fsk"));
    list_.UpdatePass();
    EXPECT_EQ(menu_->Width, widest + 2 + 6 + 3 + 4);  // the scroll cell (3) and the check cell (4)
    menu_->SetProp(PR_ROWCOUNT, TPropValue::Int(3));
    list_.UpdatePass();
    EXPECT_EQ(menu_->Width, widest + 2 + 6 + 4);  // every item fits: no scroll bar
    EXPECT_EQ(menu_->Height, 3 * 10 + 2 * 2 + 2 + 8);
}

TEST_F(Menu, KeysFromNoneAndScrollingIntoView)
{
    struct TCase {
        std::vector<int> keys;
        int32_t hover, top;
    };
    const TCase cases[] = {
        {{kDown}, 0, 0},
        {{kUp}, 2, 1},
        {{kPageDown}, 0, 0},
        {{kPageUp}, 2, 1},
        {{kDown, kDown}, 1, 0},
        {{kDown, kDown, kDown}, 2, 1},  // Down from the second row scrolls by one
        {{kDown, kDown, kDown, kDown}, 2, 1},  // stops at the last
        {{kUp, kUp, kUp, kUp}, 0, 0},
        {{kDown, kPageDown}, 2, 1},
        {{kUp, kPageUp}, 0, 0},
    };
    for (const TCase& c : cases) {
        menu_->SetProp(PR_TEXT, TPropValue::Text("North\r\nSouth\r\nEast"));
        menu_->SetHover(-1);
        Open();
        for (int key : c.keys) Press(key);
        EXPECT_EQ(menu_->HoverIndex, c.hover) << c.keys.size();
        EXPECT_EQ(menu_->GetProp(PR_TOPINDEX).AsInt(), c.top) << c.keys.size();
    }
}

TEST_F(Menu, ReturnSelectsTheHoveredItem)
{
    Open();
    Press(kReturn);  // nothing hovered: nothing chosen
    EXPECT_EQ(TakeEvents(), Lines{});
    Press(kDown);
    EXPECT_EQ(TakeEvents(), Lines{"104 North 0"});
    Press(kDown);
    Press(kUp);
    Press(kDown);
    // Straight from item to item: map-in only, and never a second one while one waits.
    EXPECT_EQ(TakeEvents(), Lines{"104 South 1"});
    Press(kSpace);
    EXPECT_EQ(params_.SelStr, "South");
    EXPECT_EQ(params_.SelIndex, 1);
    EXPECT_EQ(menu_->GetProp(PR_INDEX).AsInt(), 1);
    EXPECT_EQ(TakeEvents(), Lines{"72 South 1"});
    Press(kUp);
    EXPECT_EQ(menu_->GetProp(PR_INDEX).AsInt(), -1);  // any hover change forgets the selection
}

TEST_F(Menu, TheMouseHoversAndChoosesItems)
{
    Open();
    MouseAt(20, RowTop(1) + 3);
    EXPECT_EQ(menu_->HoverIndex, 1);
    EXPECT_EQ(TakeEvents(), Lines{"104 South 1"});
    MouseAt(20, RowTop(0) + 3);
    EXPECT_EQ(menu_->HoverIndex, 0);
    EXPECT_EQ(TakeEvents(), Lines{"104 North 0"});
    MouseAt(110, 80);  // off the menu
    EXPECT_EQ(menu_->HoverIndex, -1);
    EXPECT_EQ(TakeEvents(), Lines{"105 North 0"});
    Click(20, RowTop(1) + 3);
    EXPECT_EQ(params_.SelIndex, 1);
    EXPECT_EQ(params_.SelStr, "South");
    EXPECT_EQ(menu_->PressMode, kPressNone);
}

TEST_F(Menu, TheScrollBarArrowsRepeatAndTheThumbFollows)
{
    menu_->SetProp(PR_TEXT, TPropValue::Text("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh"));
    menu_->SetProp(PR_SCROLLSOURCE, TPropValue::Text("pic\\scroll.fsk"));
    Open();
    const TRect area = menu_->ScrollArea();
    ASSERT_EQ(area.Right - area.Left, 3);
    // Down arrow: one row at once, the first repeat 300 ms later, then every 50 ms.
    list_.MousePosition(area.Left + 1, area.Bottom - 1);
    list_.MouseButtonDown(true, false);
    FrameDeltaMs = 100;
    list_.ProcessInput(100);
    EXPECT_EQ(menu_->PressMode, kPressDownArrow);
    EXPECT_EQ(menu_->TopIndex, 1);
    list_.ProcessInput(100);
    list_.ProcessInput(100);
    EXPECT_EQ(menu_->TopIndex, 1);
    list_.ProcessInput(100);  // 300 ms
    EXPECT_EQ(menu_->TopIndex, 2);
    FrameDeltaMs = 50;
    list_.ProcessInput(50);
    EXPECT_EQ(menu_->TopIndex, 3);
    list_.MouseButtonUp();
    list_.ProcessInput(50);
    EXPECT_EQ(menu_->PressMode, kPressNone);
    // The thumb dragged to the bottom of the track shows the last rows.
    const int32_t thumb = menu_->ThumbTop();
    list_.MousePosition(area.Left + 1, thumb + 1);
    list_.MouseButtonDown(true, false);
    list_.ProcessInput(15);
    EXPECT_EQ(menu_->PressMode, kPressThumb);
    MouseAt(area.Left + 1, area.Bottom + 40);
    EXPECT_EQ(menu_->TopIndex, menu_->MaxTopIndex());
    MouseAt(area.Left + 1, area.Top - 40);
    EXPECT_EQ(menu_->TopIndex, 0);
    list_.MouseButtonUp();
    list_.ProcessInput(15);
}

TEST_F(Menu, OpeningWithoutDelayCompletesInTheThirdUpdate)
{
    menu_->SetPlayMode(LP_PLAYFADE);
    list_.UpdatePass();
    EXPECT_EQ(menu_->Height, 0);
    const int32_t full = menu_->GetProp(PR_ORIGHEIGHT).AsInt();
    EXPECT_GT(full, 0);
    list_.UpdatePass();
    EXPECT_EQ(menu_->State, 102);
    list_.UpdatePass();
    EXPECT_EQ(menu_->State, 0);
    EXPECT_EQ(menu_->Height, full);
    EXPECT_EQ(TakeEvents(), (Lines{"74", "75"}));
}

TEST_F(Menu, OpeningAndClosingHeightsFollowTheClock)
{
    menu_->SetProp(PR_DELAY, TPropValue::Int(100));
    menu_->SetPlayMode(LP_PLAYFADE);
    list_.UpdatePass();
    list_.UpdatePass();  // the start time
    const int32_t full = menu_->FullHeight;
    AdvanceGameClock(50);
    list_.UpdatePass();
    EXPECT_EQ(menu_->Height, full / 2);
    AdvanceGameClock(60);
    list_.UpdatePass();
    EXPECT_EQ(menu_->Height, full);
    menu_->SetPlayMode(LP_STOPFADE);
    list_.UpdatePass();
    EXPECT_TRUE(menu_->IsSelecting());
    AdvanceGameClock(25);
    list_.UpdatePass();
    EXPECT_EQ(menu_->Height, full - full / 4);
    AdvanceGameClock(100);
    list_.UpdatePass();
    EXPECT_EQ(menu_->State, 302);
    EXPECT_EQ(TakeEvents(), (Lines{"74", "75", "76", "77"}));
    list_.UpdatePass();  // no handler waits: the menu goes
    EXPECT_EQ(list_.FindComponent("menu"), nullptr);
}

TEST_F(Menu, AutoScrapClosesAfterTheSelectionOnceTheHandlersRan)
{
    menu_->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    Open();
    Press(kDown);
    Press(kReturn);
    EXPECT_TRUE(menu_->IsSelecting());
    list_.UpdatePass();
    list_.UpdatePass();
    list_.UpdatePass();
    EXPECT_EQ(TakeEvents(), (Lines{"104 North 0", "72 North 0", "76", "77"}));
    ASSERT_NE(list_.FindComponent("menu"), nullptr);  // removed only when no handler waits
    list_.UpdatePass();
    EXPECT_EQ(list_.FindComponent("menu"), nullptr);
}

TEST_F(Menu, ARightClickAnywhereClosesWithTheAnimationAndKeepsTheChoice)
{
    menu_->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    Open();
    params_.SelStr = "kept";
    Click(115, 85, false);
    EXPECT_TRUE(menu_->IsSelecting());
    for (int i = 0; i < 3; ++i) list_.UpdatePass();
    EXPECT_EQ(menu_->State, 302);
    EXPECT_EQ(TakeEvents(), (Lines{"76", "77"}));
    list_.UpdatePass();
    EXPECT_EQ(params_.SelStr, "kept");
    EXPECT_EQ(list_.FindComponent("menu"), nullptr);
}

TEST_F(Menu, EscapeClosesAMenuThatClosesOnRightClicks)
{
    Open();
    Press(kEscape);
    EXPECT_EQ(menu_->State, 0);  // without PR_RCLICKSCRAP Escape does nothing
    menu_->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    Press(kEscape);
    EXPECT_EQ(menu_->State, 10);
    list_.UpdatePass();
    EXPECT_EQ(menu_->State, 200);
}

TEST_F(Menu, OddSizesNeitherDivideByZeroNorScroll)
{
    Open();
    // No row height: nothing lies under the pointer, the keys still work.
    menu_->SetProp(PR_FONTHEIGHT, TPropValue::Int(0));
    menu_->SetProp(PR_LINESPACE, TPropValue::Int(-3));
    list_.UpdatePass();
    EXPECT_EQ(menu_->ItemAt(20, RowTop(0)), -1);
    Press(kDown);
    EXPECT_EQ(menu_->HoverIndex, 0);
    // No rows: Page keys move nothing, the top index is never negative.
    menu_->SetProp(PR_ROWCOUNT, TPropValue::Int(-5));
    list_.UpdatePass();
    Press(kPageDown);
    EXPECT_EQ(menu_->HoverIndex, 0);
    menu_->SetProp(PR_TOPINDEX, TPropValue::Int(-2));
    EXPECT_EQ(menu_->TopIndex, 0);
    menu_->SetProp(PR_TOPINDEX, TPropValue::Int(99));
    EXPECT_EQ(menu_->TopIndex, 3);
    // A scroll picture narrower than 7 pixels and a tiny scroll area: nothing drawn, the
    // thumb stays at the top and the top index unchanged.
    menu_->SetProp(PR_SCROLLSOURCE, TPropValue::Text("pic\\thin.fsk"));
    menu_->SetProp(PR_CHECKSOURCE, TPropValue::Text("pic\\thin.fsk"));
    menu_->SetItemChecked(0, true);
    list_.UpdatePass();
    EXPECT_EQ(menu_->ScrollCellWidth(), 0);
    Draw();
    menu_->SetProp(PR_SCROLLSOURCE, TPropValue::Text("pic\\scroll.fsk"));
    menu_->SetProp(PR_ROWCOUNT, TPropValue::Int(1));
    menu_->SetProp(PR_MARGINY, TPropValue::Int(0));
    list_.UpdatePass();
    menu_->SetProp(PR_TOPINDEX, TPropValue::Int(1));
    EXPECT_EQ(menu_->ThumbTop(), menu_->ScrollArea().Top + 4);
    const TRect area = menu_->ScrollArea();
    menu_->PressMode = kPressThumb;
    list_.MousePosition(area.Left, area.Bottom + 30);
    menu_->MouseMove();
    EXPECT_EQ(menu_->TopIndex, 1);
    menu_->PressMode = kPressNone;
    Draw();
}

TEST_F(Menu, IsDrawnAsTheFramePatternsAndLabelsComposedByHand)
{
    menu_->SetProp(PR_COLOR, TPropValue::Int(0x102030));
    menu_->SetProp(PR_BORDERCOLOR, TPropValue::Int(0x00FF00));
    menu_->SetProp(PR_HOVERCOLOR, TPropValue::Int(0x800000));
    menu_->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
    menu_->SetProp(PR_FONTHOVERCOLOR, TPropValue::Int(0x00FFFF));
    menu_->SetProp(PR_SCROLLSOURCE, TPropValue::Text("pic\\scroll.fsk"));
    menu_->SetProp(PR_CHECKSOURCE, TPropValue::Text("pic\\check.fsk"));
    menu_->SetProp(PR_BORDERSOURCECL, TPropValue::Text("pic\\one.fsk"));
    menu_->SetItemChecked(1, true);
    Open();
    Press(kDown);
    Press(kDown);  // "South" hovered
    Draw();

    TDIBX expected;
    expected.SetSize(120, 90, 32);
    expected.Clear(static_cast<uint32_t>(expected.ColorToPixel(testing_images::kBackground)));
    const TRect bounds{10, 5, 10 + menu_->Width, 5 + menu_->Height};
    expected.FrameRect(bounds, 1, static_cast<uint32_t>(expected.ColorToPixel(0x00FF00)));
    const TRect inner{11, 6, bounds.Right - 1, bounds.Bottom - 1};
    expected.FillRect(inner, static_cast<uint32_t>(expected.ColorToPixel(0x102030)));
    // The centre-left piece: 4 pixels wide, stretched between the (empty) corners.
    TFeskItem* one = FeskCollection().Acquire(this, "pic\\one.fsk", false, true);
    TFeskItem* scroll = FeskCollection().Acquire(this, "pic\\scroll.fsk", false, true);
    TFeskItem* check = FeskCollection().Acquire(this, "pic\\check.fsk", false, true);
    // Each piece tiled through its mask when it has one, else with its transparent colour.
    auto fill = [&](const TRect& r, TFeskItem* item, int32_t ox) {
        TFeskItemFrame& f = item->Frame(0);
        if (f.Mask) expected.PatternFillMask(r, *f.Surface, ox, 0, false, false, 255, *f.Mask);
        else expected.PatternFill(r, *f.Surface, ox, 0, false, false, 255);
    };
    fill(TRect{11, 6, 15, inner.Bottom}, one, 0);
    // The scroll bar: arrows, track, thumb at the top (top index 0).
    const int32_t bar = inner.Right - 3;
    auto cell = [&](int32_t top, int32_t bottom, int index) {
        fill(TRect{bar, top, bar + 3, bottom}, scroll, index * 3);
    };
    cell(14, inner.Bottom - 4, 4);
    cell(10, 14, 6);
    cell(6, 10, 0);
    cell(inner.Bottom - 4, inner.Bottom, 2);
    // Labels after the check cell; the hovered row first gets its rectangle, extended by
    // one (half the line space) above and below, then the label in the hover style and
    // check cell 1.
    const int32_t label_left = 15 + 3 + 4;
    menu_->Labels.Target = menu_->HoverLabels.Target = &expected;
    menu_->Labels.DrawLabel(0, label_left, RowTop(0));
    expected.FillRect(TRect{15, RowTop(1) - 1, bar, RowTop(1) + 10 + 1},
                      static_cast<uint32_t>(expected.ColorToPixel(0x800000)));
    menu_->HoverLabels.DrawLabel(1, label_left, RowTop(1));
    menu_->Labels.Target = menu_->HoverLabels.Target = nullptr;
    fill(TRect{18, RowTop(1) + 3, 22, RowTop(1) + 7}, check, 4);
    for (TFeskItem* item : {one, scroll, check}) FeskCollection().Release(item, this);

    TDIBX& frame = list_.FrameSurface();
    int differ = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) differ += frame.GetPixel(x, y) != expected.GetPixel(x, y);
    EXPECT_EQ(differ, 0);
}

TEST_F(Menu, TheSavedFormComesBackWhole)
{
    menu_->SetProp(PR_SCROLLSOURCE, TPropValue::Text("pic\\scroll.fsk"));
    menu_->SetProp(PR_BORDERSOURCETC, TPropValue::Text("pic\\one.fsk"));
    menu_->SetProp(PR_BORDERHALIGNT, TPropValue::Int(2));
    menu_->SetProp(PR_HOVERCOLOR, TPropValue::Int(0x123456));
    menu_->SetProp(PR_RCLICKSCRAP, TPropValue::Flag(true));
    menu_->SetItemChecked(2, true);
    Open();
    Press(kDown);
    Press(kReturn);
    std::unique_ptr<TMobuBaseList> loaded = Reloaded();
    auto* back = dynamic_cast<TMobuMenu*>(loaded->FindComponent("menu"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->ItemCount(), 3);
    EXPECT_TRUE(back->ItemChecked(2));
    EXPECT_FALSE(back->ItemChecked(1));
    EXPECT_EQ(back->GetProp(PR_INDEX).AsInt(), 0);
    EXPECT_EQ(back->GetProp(PR_BORDERSOURCETC).AsText(), "pic\\one.fsk");
    EXPECT_EQ(back->GetProp(PR_BORDERHALIGNT).AsInt(), 2);
    EXPECT_EQ(back->GetProp(PR_HOVERCOLOR).AsInt(), 0x123456);
    EXPECT_TRUE(back->RClickScrap);
    EXPECT_EQ(back->Width, menu_->Width);
    EXPECT_EQ(back->FullHeight, menu_->Height);
    EXPECT_EQ(back->GetProp(PR_ONCLOSED).AsText(), "p.msb:l");
}

TEST_F(Menu, ACutSavedFormFailsAndOddValuesComeBackInRange)
{
    Open();
    ByteWriter out;
    list_.SaveToStream(out);
    std::string bytes = out.Bytes();
    // Cut anywhere inside the menu's part: refused with an error, never a crash.
    for (size_t keep : {bytes.size() - 1, bytes.size() - 20, bytes.size() - 60}) {
        TMobuBaseList loaded;
        loaded.SetSize(120, 90);
        const std::string cut = bytes.substr(0, keep);
        ByteReader in(cut);
        EXPECT_ANY_THROW(loaded.LoadFromStream(in, kComponentSaveVersion)) << keep;
    }
    // An unknown state loads as 0 and a selection out of range as -1.
    menu_->State = 777;
    menu_->SelIndex = 50;
    std::unique_ptr<TMobuBaseList> loaded = Reloaded();
    auto* back = dynamic_cast<TMobuMenu*>(loaded->FindComponent("menu"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->State, 0);
    EXPECT_EQ(back->SelIndex, -1);
}

}  // namespace
}  // namespace mobu
