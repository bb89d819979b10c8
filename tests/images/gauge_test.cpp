// Gauges: the lag shown unchanged through the delay and then shrinking at the range per
// duration, the bar growing to a raised value, range changes, durations and delays out of
// range, bar lengths inside the bar for ranges not starting at 0, frames of both orientations
// and both directions compared pixel for pixel with the pieces composed by hand, and the
// saved form.
#include "image_fixture.h"

#include <sstream>

#include "components/components_json.h"
#include "components/mobu_gauge.h"

namespace mobu {
namespace {

using testing_images::ImageScene;
using testing_images::Picture;

class Gauge : public ImageScene {
protected:
    void SetUp() override
    {
        ImageScene::SetUp();
        std::ofstream(folder_ / "pic" / "gauge.fsk", std::ios::binary) << Picture(1, 8, 4, 100, 3);
        list_.SetSize(40, 40);
        list_.GetBase(0)->Color = testing_images::kBackground;
    }
    // A 20-pixel gauge over 0-100 showing `value` at rest.
    TMobuGauge* Make(int32_t value, int32_t duration = 1000, int32_t delay = 500)
    {
        auto* g = dynamic_cast<TMobuGauge*>(list_.CreateComponent(LT_GAUGE));
        EXPECT_NE(g, nullptr);
        g->SetName("g");
        g->SetLeft(2);
        g->SetTop(3);
        g->SetProp(PR_SOURCE, TPropValue::Text("pic\\gauge.fsk"));
        g->SetProp(PR_BARSIZE, TPropValue::Int(20));
        g->SetProp(PR_MAX, TPropValue::Int(100));
        g->SetProp(PR_VALUE, TPropValue::Int(value));
        g->SetProp(PR_DURATION, TPropValue::Int(duration));
        g->SetProp(PR_DELAY, TPropValue::Int(delay));
        return g;
    }
    void Updates(int count)
    {
        for (int i = 0; i < count; ++i) list_.UpdatePass();
    }
};

TEST_F(Gauge, TheLagWaitsOutTheDelayThenShrinksAtTheRangePerDuration)
{
    TMobuGauge* g = Make(80);
    ASSERT_EQ(g->Shown, 80);
    g->SetProp(PR_VALUE, TPropValue::Int(50));
    // 50 ms per update; 100 per 1000 ms is 5 per update once the 500 ms have passed.
    const struct {
        int updates;
        int32_t lag, mode;
    } steps[] = {{0, 30, kGaugeShrinkingLag}, {10, 30, kGaugeShrinkingLag}, {1, 25, kGaugeShrinkingLag},
                 {3, 10, kGaugeShrinkingLag}, {1, 5, kGaugeShrinkingLag}, {1, 0, kGaugeIdle}};
    int total = 0;
    for (const auto& step : steps) {
        Updates(step.updates);
        total += step.updates;
        EXPECT_EQ(g->Shown, 50) << total;
        EXPECT_EQ(g->Lag, step.lag) << total;
        EXPECT_EQ(g->AnimMode, step.mode) << total;
        EXPECT_EQ(g->GetProp(PR_PLAYING).AsFlag(), step.mode != kGaugeIdle) << total;
    }
}

TEST_F(Gauge, RaisingGrowsTheBarAndRangeChangesSettleIt)
{
    TMobuGauge* g = Make(50);
    g->SetProp(PR_VALUE, TPropValue::Int(70));
    EXPECT_EQ(g->AnimMode, kGaugeGrowingBar);
    Updates(1);
    EXPECT_EQ(g->Shown, 55);
    Updates(3);
    EXPECT_EQ(g->Shown, 70);
    EXPECT_EQ(g->AnimMode, kGaugeIdle);
    g->SetProp(PR_VALUE, TPropValue::Int(20));
    g->SetProp(PR_MAX, TPropValue::Int(10));  // a new range: shown at the clamped value, no lag
    EXPECT_EQ(g->Shown, 10);
    EXPECT_EQ(g->Lag, 0);
    EXPECT_EQ(g->AnimMode, kGaugeIdle);
    EXPECT_EQ(g->GetProp(PR_VALUE).AsInt(), 10);
}

TEST_F(Gauge, DurationsAndDelaysOutOfRangeActAsZero)
{
    const struct {
        int32_t duration, delay;
        int updates;
        int32_t lag, mode;
    } cases[] = {
        {0, 500, 0, 0, kGaugeIdle},  // no duration: at once
        {-100, 500, 0, 0, kGaugeIdle},
        {1000, -500, 1, 25, kGaugeShrinkingLag},  // a negative delay waits nothing
        {1000, 0, 1, 25, kGaugeShrinkingLag},
    };
    for (const auto& c : cases) {
        list_.Reset();
        TMobuGauge* g = Make(80, c.duration, c.delay);
        g->SetProp(PR_VALUE, TPropValue::Int(50));
        Updates(c.updates);
        EXPECT_EQ(g->Shown, 50) << c.duration << " " << c.delay;
        EXPECT_EQ(g->Lag, c.lag) << c.duration << " " << c.delay;
        EXPECT_EQ(g->AnimMode, c.mode) << c.duration << " " << c.delay;
    }
}

TEST_F(Gauge, BarLengthsCountFromMinAndStayInsideTheBar)
{
    const struct {
        int32_t min, max, shown, lag;
        int64_t bar, lag_length;
    } cases[] = {
        {0, 100, 50, 30, 10, 6},
        {50, 100, 80, 0, 12, 0},  // 30 of 50, not 80 of 50
        {50, 100, 100, 0, 20, 0},
        {INT32_MIN, INT32_MAX, 0, 0, 10, 0},
        {10, 10, 10, 0, 0, 0},  // an empty range shows nothing
        {0, 100, 90, 40, 18, 2},  // the lag is cut at the bar's end
    };
    for (const auto& c : cases) {
        list_.Reset();
        TMobuGauge* g = Make(0, 0, 0);
        g->SetProp(PR_MIN, TPropValue::Int(c.min));
        g->SetProp(PR_MAX, TPropValue::Int(c.max));
        g->Shown = c.shown;
        g->Lag = c.lag;
        EXPECT_EQ(g->BarLength(), c.bar) << c.min << " " << c.shown;
        EXPECT_EQ(g->LagLength(), c.lag_length) << c.min << " " << c.shown;
        Draw();
    }
}

// Shown 50 and lag 30 of 0-100 over 20 pixels: a bar of 10 and a lag of 6, in cells of 4.
TEST_F(Gauge, FramesOfBothOrientationsAndDirectionsMatchThePiecesComposedByHand)
{
    struct TPiece {
        int x, y;
        TRect cell;
        bool flip_h, flip_v;
    };
    const TRect bar{0, 0, 4, 4}, lag{4, 0, 8, 4};
    const struct {
        uint8_t orientation;
        bool reverse;
        std::vector<TPiece> pieces;
    } cases[] = {
        {OT_HORIZONTAL, false,
         {{2, 3, bar, false, false},
          {6, 3, bar, false, false},
          {10, 3, {0, 0, 2, 4}, false, false},
          {12, 3, {6, 0, 8, 4}, false, false},  // column phase 10 mod 4
          {14, 3, lag, false, false}}},
        {OT_HORIZONTAL, true,
         {{18, 3, bar, true, false},
          {14, 3, bar, true, false},
          {12, 3, {0, 0, 2, 4}, true, false},
          {10, 3, {6, 0, 8, 4}, true, false},
          {6, 3, lag, true, false}}},
        {OT_VERTICAL, false,
         {{2, 13, {0, 2, 4, 4}, false, false},  // row phase 4 - 10 mod 4
          {2, 15, bar, false, false},
          {2, 19, bar, false, false},
          {2, 7, lag, false, false},  // row phase 4 - 16 mod 4 = 0
          {2, 11, {4, 0, 8, 2}, false, false}}},
        {OT_VERTICAL, true,
         {{2, 11, {0, 2, 4, 4}, false, true},
          {2, 7, bar, false, true},
          {2, 3, bar, false, true},
          {2, 15, lag, false, true},
          {2, 13, {4, 0, 8, 2}, false, true}}},
    };
    for (const auto& c : cases) {
        list_.Reset();
        list_.GetBase(0)->Color = testing_images::kBackground;
        TMobuGauge* g = Make(80, 0, 0);
        g->SetProp(PR_ORIENTATION, TPropValue::Int(c.orientation));
        g->SetProp(PR_REVERSE, TPropValue::Flag(c.reverse));
        g->SetProp(PR_BARSIZE, TPropValue::Int(20));
        g->Shown = 50;
        g->Lag = 30;
        Draw();
        TDIBX expected;
        expected.SetSize(40, 40, 32);
        expected.Clear(static_cast<uint32_t>(expected.ColorToPixel(testing_images::kBackground)));
        TDIBX& picture = *g->Picture.Surface();
        for (const TPiece& p : c.pieces)
            expected.Draw(p.x, p.y, picture, p.cell, picture.TransparentColor >= 0, p.flip_h, p.flip_v);
        TDIBX& frame = list_.FrameSurface();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(frame.GetPixel(x, y), expected.GetPixel(x, y))
                    << int{c.orientation} << " " << c.reverse << " at " << x << ", " << y;
    }
}

TEST_F(Gauge, APictureTooNarrowForItsHalvesDrawsNothing)
{
    std::ofstream(folder_ / "pic" / "narrow.fsk", std::ios::binary) << Picture(1, 1, 4, 100, 2);
    TMobuGauge* g = Make(50, 0, 0);
    g->SetProp(PR_SOURCE, TPropValue::Text("pic\\narrow.fsk"));
    g->SetProp(PR_BARSIZE, TPropValue::Int(0));
    EXPECT_EQ(g->Width, 0);
    EXPECT_EQ(g->BarLength(), 0);
    g->SetProp(PR_BARSIZE, TPropValue::Int(30));  // a length, but cells 0 wide
    EXPECT_EQ(g->Width, 30);
    Draw();
    TDIBX& frame = list_.FrameSurface();
    const uint32_t background = static_cast<uint32_t>(frame.ColorToPixel(testing_images::kBackground));
    for (int x = 0; x < 40; ++x) EXPECT_EQ(frame.GetPixel(x, 4), background) << x;
}

TEST_F(Gauge, TheSavedFormAndTheDump)
{
    TMobuGauge* g = Make(80, 700, 300);
    g->SetProp(PR_MIN, TPropValue::Int(-20));
    g->SetProp(PR_ORIENTATION, TPropValue::Int(OT_VERTICAL));
    g->SetProp(PR_REVERSE, TPropValue::Flag(true));
    g->SetProp(PR_ALPHA, TPropValue::Int(300));
    g->SetProp(PR_ONIDLE, TPropValue::Text("q.msb:idle"));
    g->SetProp(PR_VALUE, TPropValue::Int(30));
    std::ostringstream dump;
    WriteComponentsJson(list_, dump);
    EXPECT_NE(dump.str().find("\"state\": {\"shown\": 30, \"lag\": 50, \"anim_mode\": 100}"), std::string::npos)
        << dump.str();
    ByteWriter out;
    list_.SaveToStream(out);
    TMobuBaseList loaded;
    loaded.SetSize(40, 40);
    ByteReader in(out.Bytes());
    loaded.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_EQ(in.Remaining(), 0u);
    auto* r = dynamic_cast<TMobuGauge*>(loaded.FindComponent("g"));
    ASSERT_NE(r, nullptr);
    for (int id : {PR_MIN, PR_MAX, PR_VALUE, PR_ALPHA, PR_ORIENTATION, PR_REVERSE, PR_DURATION, PR_DELAY, PR_BARSIZE})
        EXPECT_EQ(r->GetProp(id).AsInt(), g->GetProp(id).AsInt()) << id;
    EXPECT_EQ(r->GetProp(PR_SOURCE).AsText(), "pic\\gauge.fsk");
    EXPECT_EQ(r->EventString(PR_ONIDLE), "q.msb:idle");
    EXPECT_EQ(r->Shown, 30);  // at rest at the value
    EXPECT_EQ(r->Lag, 0);
    EXPECT_EQ(r->Width, 4);
    EXPECT_EQ(r->Height, 20);
}

}  // namespace
}  // namespace mobu
