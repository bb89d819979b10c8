// Sliders and scroll bars: sizes of every layout, values by keys over the whole 32-bit
// range, buttons with the hold repeat, the drag, track clicks and scroll-bar paging that
// stops at the pointer, frames compared pixel for pixel with the pieces composed by hand,
// parts too narrow for their cells, and the saved form.
#include "image_fixture.h"

#include <climits>
#include <sstream>

#include "components/components_json.h"
#include "components/mobu_slider.h"

namespace mobu {
namespace {

using testing_images::ImageScene;
using testing_images::Lines;
using testing_images::Picture;

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
const std::string kHandler = "p.msb:l";

class Slider : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        // Track cells 4 × 4, thumb cells 3 × 6, button cells 2 × 5.
        std::ofstream(folder_ / "pic" / "track.fsk", std::ios::binary) << Picture(1, 8, 4, 100, 1);
        std::ofstream(folder_ / "pic" / "thumb.fsk", std::ios::binary) << Picture(1, 9, 6, 100, 5);
        std::ofstream(folder_ / "pic" / "buttons.fsk", std::ios::binary) << Picture(1, 12, 5, 100, 9);
        std::ofstream(folder_ / "pic" / "narrow.fsk", std::ios::binary) << Picture(1, 1, 4, 100, 2);
        list_.SetSize(40, 40);
    }
    TMobuSlider* Make(int type, uint8_t orientation, int32_t min, int32_t max, int32_t value, int32_t bar = 10)
    {
        auto* s = dynamic_cast<TMobuSlider*>(list_.CreateComponent(type));
        EXPECT_NE(s, nullptr);
        s->SetName("s");
        s->SetLeft(2);
        s->SetTop(3);
        s->SetProp(PR_ORIENTATION, TPropValue::Int(orientation));
        s->SetProp(PR_SOURCE, TPropValue::Text("pic\\track.fsk"));
        s->SetProp(PR_THUMBSOURCE, TPropValue::Text("pic\\thumb.fsk"));
        s->SetProp(PR_BUTTONSOURCE, TPropValue::Text("pic\\buttons.fsk"));
        s->SetProp(PR_BARSIZE, TPropValue::Int(bar));
        s->SetProp(PR_MIN, TPropValue::Int(min));
        s->SetProp(PR_MAX, TPropValue::Int(max));
        s->SetProp(PR_VALUE, TPropValue::Int(value));
        for (int code : {PR_ONNOTIFY, PR_ONHOLD, PR_ONRELEASE}) s->SetProp(code, TPropValue::Text(kHandler));
        s->HandleKey = true;
        list_.SetFocus(s);
        return s;
    }
    void Down(int32_t x, int32_t y)
    {
        list_.MousePosition(x, y);
        list_.MouseButtonDown(true, false);
        list_.ProcessInput(15);
    }
    void Up(int32_t x, int32_t y)
    {
        list_.MousePosition(x, y);
        list_.MouseButtonUp();
        list_.ProcessInput(15);
    }
    // Input passes with the button still held (each one 50 ms of the frame clock).
    void Hold(int passes)
    {
        for (int i = 0; i < passes; ++i) list_.ProcessInput(15);
    }
    static std::string Note(int32_t value) { return std::to_string(PR_ONNOTIFY) + " " + std::to_string(value); }
};

TEST_F(Slider, SizesOfEveryLayout)
{
    struct TCase {
        int type;
        uint8_t orientation;
        int32_t bar;
        const char* track;
        int32_t width, height;
    };
    const TCase cases[] = {
        {LT_SLIDER, OT_HORIZONTAL, 10, "pic\\track.fsk", 10 + 3 + 2 * 2, 6},
        {LT_SLIDER, OT_HORIZONTAL, 0, "pic\\track.fsk", 4 + 3 + 2 * 2, 6},
        {LT_SLIDER, OT_HORIZONTAL, -5, "pic\\track.fsk", 4 + 3 + 2 * 2, 6},  // negative: unset
        {LT_SLIDER, OT_VERTICAL, 10, "pic\\track.fsk", 4, 10 + 6 + 2 * 5},
        {LT_SCROLLBAR, OT_HORIZONTAL, 10, "pic\\track.fsk", 10 + 2 * 2, 6},
        {LT_SCROLLBAR, OT_VERTICAL, 10, "pic\\track.fsk", 4, 10 + 2 * 5},
        {LT_SLIDER, OT_HORIZONTAL, 10, "", 0, 0},  // no track picture
    };
    for (const TCase& c : cases) {
        list_.Reset();
        TMobuSlider* s = Make(c.type, c.orientation, 0, 10, 0, c.bar);
        s->SetProp(PR_SOURCE, TPropValue::Text(c.track));
        EXPECT_EQ(s->Width, c.width) << c.type << " " << int{c.orientation} << " " << c.bar;
        EXPECT_EQ(s->Height, c.height) << c.type << " " << int{c.orientation} << " " << c.bar;
        EXPECT_GE(s->GetProp(PR_BARSIZE).AsInt(), 0);
    }
}

TEST_F(Slider, KeysByOrientationWithinTheRange)
{
    struct TCase {
        int type;
        uint8_t orientation;
        int32_t min, max, value;
        int key;
        int32_t after;
        Lines events;
    };
    const TCase cases[] = {
        {LT_SLIDER, OT_HORIZONTAL, 0, 10, 5, kRight, 6, {Note(6)}},
        {LT_SLIDER, OT_HORIZONTAL, 0, 10, 5, kLeft, 4, {Note(4)}},
        {LT_SLIDER, OT_HORIZONTAL, 0, 10, 5, kUp, 5, {}},
        {LT_SLIDER, OT_VERTICAL, 0, 10, 5, kUp, 6, {Note(6)}},
        {LT_SLIDER, OT_VERTICAL, 0, 10, 5, kDown, 4, {Note(4)}},
        {LT_SCROLLBAR, OT_VERTICAL, 0, 10, 5, kDown, 6, {Note(6)}},
        {LT_SCROLLBAR, OT_VERTICAL, 0, 10, 5, kUp, 4, {Note(4)}},
        {LT_SCROLLBAR, OT_HORIZONTAL, 0, 10, 5, kRight, 6, {Note(6)}},
        {LT_SLIDER, OT_HORIZONTAL, 0, 10, 10, kRight, 10, {}},  // at the end: no change
        {LT_SLIDER, OT_HORIZONTAL, 0, 10, 0, kLeft, 0, {}},
        // The whole 32-bit range: no wrap at either end.
        {LT_SLIDER, OT_HORIZONTAL, INT32_MIN, INT32_MAX, 0, kRight, 1, {Note(1)}},
        {LT_SLIDER, OT_HORIZONTAL, INT32_MIN, INT32_MAX, INT32_MAX, kRight, INT32_MAX, {}},
        {LT_SLIDER, OT_HORIZONTAL, INT32_MIN, INT32_MAX, INT32_MIN, kLeft, INT32_MIN, {}},
        // Max below Min is an empty range: keys do nothing.
        {LT_SLIDER, OT_HORIZONTAL, 10, 0, 5, kRight, 10, {}},
    };
    for (const TCase& c : cases) {
        list_.Reset();
        TMobuSlider* s = Make(c.type, c.orientation, c.min, c.max, c.value);
        TakeEvents();
        Press(c.key);
        EXPECT_EQ(s->GetProp(PR_VALUE).AsInt(), c.after) << c.type << " " << c.key << " " << c.value;
        EXPECT_EQ(TakeEvents(), c.events) << c.type << " " << c.key << " " << c.value;
    }
}

TEST_F(Slider, ThumbPositionsClampAndSpanTheWholeRange)
{
    TMobuSlider* s = Make(LT_SLIDER, OT_HORIZONTAL, INT32_MIN, INT32_MAX, 0);
    EXPECT_EQ(s->ThumbPos, 5);  // the middle of a 10-pixel track
    s->SetProp(PR_VALUE, TPropValue::Int(INT32_MAX));
    EXPECT_EQ(s->ThumbPos, 10);
    s->SetProp(PR_MIN, TPropValue::Int(0));
    s->SetProp(PR_MAX, TPropValue::Int(10));
    s->SetProp(PR_VALUE, TPropValue::Int(50));  // outside: read and drawn clamped
    EXPECT_EQ(s->GetProp(PR_VALUE).AsInt(), 10);
    EXPECT_EQ(s->ThumbPos, 10);
    s->SetProp(PR_VALUE, TPropValue::Int(-3));
    EXPECT_EQ(s->ThumbPos, 0);
    EXPECT_TRUE(TakeEvents().empty());  // script writes notify nobody
    // A vertical slider grows upward: the largest value puts the thumb at the top.
    list_.Reset();
    TMobuSlider* v = Make(LT_SLIDER, OT_VERTICAL, 0, 10, 10);
    EXPECT_EQ(v->ThumbRect().Top, 3 + 5);
    v->SetProp(PR_VALUE, TPropValue::Int(0));
    EXPECT_EQ(v->ThumbRect().Top, 3 + 5 + 10);
}

TEST_F(Slider, HoverCellsFollowThePointerUnlessPaused)
{
    TMobuSlider* s = Make(LT_SLIDER, OT_HORIZONTAL, 0, 10, 0);
    struct TCase {
        int32_t x, y;
        bool paused;
        int32_t thumb, dec, inc;
    } const cases[] = {
        {5, 5, false, kCellHover, kCellNormal, kCellNormal},
        {3, 5, false, kCellNormal, kCellHover, kCellNormal},
        {18, 5, false, kCellNormal, kCellNormal, kCellHover},
        {12, 5, false, kCellNormal, kCellNormal, kCellNormal},  // the track
        {5, 5, true, kCellNormal, kCellNormal, kCellNormal},
        {30, 30, false, kCellNormal, kCellNormal, kCellNormal},  // outside: the cells go back
    };
    for (const TCase& c : cases) {
        s->SetProp(PR_PAUSED, TPropValue::Flag(c.paused));
        MouseAt(c.x, c.y);
        EXPECT_EQ(s->ThumbCell, c.thumb) << c.x;
        EXPECT_EQ(s->ButtonCells[0], c.dec) << c.x;
        EXPECT_EQ(s->ButtonCells[1], c.inc) << c.x;
        MouseAt(30, 30);
    }
}

TEST_F(Slider, ButtonsStepAndRepeatAfter300ThenEvery50Ms)
{
    TMobuSlider* s = Make(LT_SLIDER, OT_HORIZONTAL, 0, 10, 0);
    TakeEvents();
    Down(18, 5);  // the increment button at x 17-18
    EXPECT_EQ(s->Value, 1);
    EXPECT_EQ(s->PressMode, kSliderIncButton);
    EXPECT_EQ(s->ButtonCells[1], kCellPressed);
    Hold(5);
    EXPECT_EQ(s->Value, 1);
    Hold(1);
    EXPECT_EQ(s->Value, 2);
    Hold(1);
    EXPECT_EQ(s->Value, 3);
    Up(18, 5);
    EXPECT_EQ(s->PressMode, kSliderIdle);
    Lines events = TakeEvents();
    events.erase(std::remove_if(events.begin(), events.end(),
                                [](const std::string& e) { return e.rfind(std::to_string(PR_ONNOTIFY), 0) != 0; }),
                 events.end());
    EXPECT_EQ(events, (Lines{Note(1), Note(2), Note(3)}));
    Down(3, 5);  // the decrement button
    EXPECT_EQ(s->Value, 2);
}

TEST_F(Slider, TheThumbIsDraggedAndTheTrackJumpsToThePointer)
{
    TMobuSlider* s = Make(LT_SLIDER, OT_HORIZONTAL, 0, 10, 0);
    TakeEvents();
    Down(5, 5);  // on the thumb (x 4-6), grabbed one pixel in
    EXPECT_EQ(s->PressMode, kSliderDragging);
    EXPECT_EQ(s->ThumbCell, kCellPressed);
    MouseAt(10, 5);
    EXPECT_EQ(s->Value, 5);
    MouseAt(100, 5);
    EXPECT_EQ(s->Value, 10);
    Up(100, 5);
    Lines events = TakeEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), std::to_string(PR_ONHOLD)), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), std::to_string(PR_ONRELEASE)), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), Note(5)), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), Note(10)), events.end());
    Down(8, 5);  // the track: the thumb's centre goes to the pointer
    EXPECT_EQ(s->Value, 3);
    EXPECT_EQ(s->PressMode, kSliderDragging);
    Up(8, 5);
}

TEST_F(Slider, ScrollBarPagingStopsAtThePointer)
{
    auto* s = dynamic_cast<TMobuScrollbar*>(Make(LT_SCROLLBAR, OT_HORIZONTAL, 0, 100, 0));
    ASSERT_NE(s, nullptr);
    s->SetProp(PR_LARGECHANGE, TPropValue::Int(20));
    TakeEvents();
    Down(10, 5);  // after the thumb (x 4-6)
    EXPECT_EQ(s->Value, 20);
    EXPECT_EQ(s->PressMode, kSliderPagingUp);
    Hold(6);
    EXPECT_EQ(s->Value, 40);
    Hold(1);
    EXPECT_EQ(s->Value, 60);  // the thumb (x 8-10) now covers the pointer
    EXPECT_EQ(s->PressMode, kSliderIdle);
    Hold(10);
    EXPECT_EQ(s->Value, 60);
    Up(10, 5);
    std::ostringstream out;
    WriteComponentsJson(list_, out);
    EXPECT_NE(out.str().find("\"state\": {\"thumb_pos\": 4, \"press_mode\": 0}"), std::string::npos) << out.str();
}

// The frame against the same pieces drawn by hand: the track's halves split at the thumb,
// then the thumb's and the buttons' cells.
TEST_F(Slider, HorizontalAndVerticalFramesMatchThePiecesComposedByHand)
{
    TMobuSlider* s = Make(LT_SLIDER, OT_HORIZONTAL, 0, 10, 4);
    Draw();
    TDIBX expected;
    expected.SetSize(40, 40, 32);
    expected.Clear(static_cast<uint32_t>(expected.ColorToPixel(testing_images::kBackground)));
    TDIBX& track = *s->Track.Surface();
    TDIBX& thumb = *s->Thumb.Surface();
    TDIBX& buttons = *s->Buttons.Surface();
    auto keyed = [](TDIBX& p) { return p.TransparentColor >= 0; };
    // Track at x 5-14, y 4: pressed half over 4 pixels, then the normal half from phase 4.
    expected.Draw(5, 4, track, TRect{4, 0, 8, 4}, keyed(track), false, false);
    expected.Draw(9, 4, track, TRect{0, 0, 4, 4}, keyed(track), false, false);
    expected.Draw(13, 4, track, TRect{0, 0, 2, 4}, keyed(track), false, false);
    expected.Draw(8, 3, thumb, TRect{0, 0, 3, 6}, keyed(thumb), false, false);
    expected.Draw(2, 3, buttons, TRect{0, 0, 2, 5}, keyed(buttons), false, false);
    expected.Draw(17, 3, buttons, TRect{6, 0, 8, 5}, keyed(buttons), false, false);
    TDIBX& frame = list_.FrameSurface();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(frame.GetPixel(x, y), expected.GetPixel(x, y)) << x << ", " << y;

    // Vertical, value 3 of 10, no thumb or buttons: the pattern is anchored at the bottom of
    // the track (x 2-5, y 3-12).
    list_.Reset();
    TMobuSlider* v = Make(LT_SLIDER, OT_VERTICAL, 0, 10, 3);
    v->SetProp(PR_THUMBSOURCE, TPropValue::Text(""));
    v->SetProp(PR_BUTTONSOURCE, TPropValue::Text(""));
    v->SetProp(PR_BARSIZE, TPropValue::Int(10));
    ASSERT_EQ(v->Width, 4);
    list_.GetBase(0)->Color = testing_images::kBackground;
    Draw();
    expected.Clear(static_cast<uint32_t>(expected.ColorToPixel(testing_images::kBackground)));
    TDIBX& vtrack = *v->Track.Surface();
    // Pressed, the bottom 3 rows: row phase 4 - 3 = 1.
    expected.Draw(2, 10, vtrack, TRect{4, 1, 8, 4}, keyed(vtrack), false, false);
    // Normal, the 7 rows above: row phase 4 - (10 mod 4) = 2.
    expected.Draw(2, 3, vtrack, TRect{0, 2, 4, 4}, keyed(vtrack), false, false);
    expected.Draw(2, 5, vtrack, TRect{0, 0, 4, 4}, keyed(vtrack), false, false);
    expected.Draw(2, 9, vtrack, TRect{0, 0, 4, 1}, keyed(vtrack), false, false);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(frame.GetPixel(x, y), expected.GetPixel(x, y)) << x << ", " << y;
}

TEST_F(Slider, PartsTooNarrowForTheirCellsDrawNothingAndTakeNoHits)
{
    TMobuSlider* s = Make(LT_SLIDER, OT_HORIZONTAL, 0, 10, 5, 0);
    s->SetProp(PR_SOURCE, TPropValue::Text("pic\\narrow.fsk"));  // track half 0 wide
    s->SetProp(PR_THUMBSOURCE, TPropValue::Text("pic\\narrow.fsk"));  // thumb cell 0 wide
    s->SetProp(PR_BUTTONSOURCE, TPropValue::Text("pic\\narrow.fsk"));  // button cells 0 wide
    EXPECT_EQ(s->Width, 0);
    Draw();
    for (int32_t x = 0; x < 12; ++x) {
        Down(x, 5);
        Up(x, 5);
        Press(kRight);
    }
    EXPECT_EQ(s->PressMode, kSliderIdle);
    EXPECT_EQ(s->Value, 10);  // only the keys moved it
}

TEST_F(Slider, TheSavedFormKeepsEveryField)
{
    auto* s = dynamic_cast<TMobuScrollbar*>(Make(LT_SCROLLBAR, OT_VERTICAL, -5, 50, 7, 12));
    ASSERT_NE(s, nullptr);
    s->SetProp(PR_SMALLCHANGE, TPropValue::Int(3));
    s->SetProp(PR_LARGECHANGE, TPropValue::Int(9));
    s->SetProp(PR_ALPHA, TPropValue::Int(128));
    s->SetProp(PR_CAPTUREMASK, TPropValue::Flag(true));
    s->SetProp(PR_ONIDLE, TPropValue::Text("q.msb:idle"));
    ByteWriter out;
    list_.SaveToStream(out);
    TMobuBaseList loaded;
    loaded.SetSize(40, 40);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_EQ(in.Remaining(), 0u);
    auto* r = dynamic_cast<TMobuScrollbar*>(loaded.FindComponent("s"));
    ASSERT_NE(r, nullptr);
    for (int id : {PR_SOURCE, PR_THUMBSOURCE, PR_BUTTONSOURCE, PR_ONNOTIFY, PR_ONHOLD, PR_ONRELEASE, PR_ONIDLE})
        EXPECT_EQ(r->GetProp(id).AsText(), s->GetProp(id).AsText()) << id;
    for (int id : {PR_MIN, PR_MAX, PR_VALUE, PR_SMALLCHANGE, PR_LARGECHANGE, PR_ALPHA, PR_ORIENTATION, PR_BARSIZE,
                   PR_CAPTUREMASK})
        EXPECT_EQ(r->GetProp(id).AsInt(), s->GetProp(id).AsInt()) << id;
    EXPECT_EQ(r->Width, s->Width);
    EXPECT_EQ(r->Height, s->Height);
    EXPECT_EQ(r->ThumbPos, s->ThumbPos);
}

}  // namespace
}  // namespace mobu
