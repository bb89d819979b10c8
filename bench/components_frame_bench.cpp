// One frame of a 1280 × 720 scene of 200 boxes through the component list: the update pass,
// the draw pass over the dirty rectangles and the copy of those rectangles into the
// presentation buffer, as the shell runs it. Half of the boxes are alpha-blended, some have
// a border, a quarter of them move in the full frame, and one text-sized box (400 × 40) in
// front changes in the text-area frame. Boxes are the only drawing component so far, so the
// scene holds boxes only.
//
// The floor is the surface's own fills of the same rectangles, back to back on a 32-bit
// memory surface: what a frame costs with no component machinery at all. After the runs a
// table gives every frame as a ratio to the floor and to the full frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/component_screen_bases.h"
#include "platform/frame_buffer.h"
#include "bench/time_table_reporter.h"
#include "components/mobu_box.h"
#include "graphics/dibx.h"

namespace {

using mobu::TDIBX;
using mobu::TMobuBox;
using mobu::TMobuControl;
using mobu::TPropValue;
using mobu::TRect;

constexpr int kWidth = 1280, kHeight = 720;
constexpr int kBoxCount = 200;  // the text box included
constexpr int kBlendAlpha = 128;
constexpr int kStep = 3;  // pixels a moving box travels per frame
constexpr int32_t kBackground = 0x302010;
constexpr int kRepetitions = 5;

// One fill of the floor: a frame or a filled rectangle, opaque or blended.
struct TFloorOp {
    TRect rect;
    uint32_t pixel;
    int alpha;
    int border;  // 0: fill the rectangle; else a frame of this width
};

struct TScene {
    mobu::TComponentScreenBases screens;
    mobu::FrameBuffer frame;
    std::vector<TMobuControl*> boxes;  // back to front
    std::vector<TMobuControl*> moving;
    TMobuControl* text_box = nullptr;
    int direction = 1;
    bool text_toggle = false;
    TDIBX floor;
    std::vector<TFloorOp> floor_ops;

    TScene()
    {
        screens.SetSize(kWidth, kHeight);
        mobu::TMobuBaseList& list = screens.List();
        list.GetBase(0)->Color = kBackground;
        std::mt19937 random(20240601);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        for (int i = 0; i < kBoxCount - 1; ++i) {
            int w = pick(40, 320), h = pick(30, 200);
            int x = pick(-w / 2, kWidth - w / 2), y = pick(-h / 2, kHeight - h / 2);
            TMobuControl* box = list.CreateComponent(mobu::LT_BOX)->AsControl();
            box->SetBounds(x, y, w, h);
            box->SetColor(pick(0, 0xFFFFFF));
            box->SetPriority(i);
            box->SetProp(mobu::PR_ALPHA, TPropValue::Int(i % 2 == 1 ? kBlendAlpha : 255));
            if (i % 8 == 3) {
                box->SetProp(mobu::PR_BORDERWIDTH, TPropValue::Int(2));
                box->SetProp(mobu::PR_BORDERCOLOR, TPropValue::Int(pick(0, 0xFFFFFF)));
            }
            boxes.push_back(box);
            if (i % 4 == 0) moving.push_back(box);
        }
        // The text area in front, like a message line being redrawn.
        text_box = list.CreateComponent(mobu::LT_BOX)->AsControl();
        text_box->SetBounds(440, 640, 400, 40);
        text_box->SetColor(0xF0F0F0);
        text_box->SetPriority(kBoxCount);
        boxes.push_back(text_box);
        FullFrame();
        BuildFloor();
    }

    void RunFrame()
    {
        screens.Animate();
        screens.Render(frame);
        frame.all_dirty = false;  // presented
        frame.dirty.clear();
    }

    void FullFrame()
    {
        for (TMobuControl* box : moving) box->SetLeft(box->Left + direction * kStep);
        direction = -direction;
        screens.List().MarkAllDirty();
        RunFrame();
    }

    void TextAreaFrame()
    {
        text_toggle = !text_toggle;
        text_box->SetColor(text_toggle ? 0xE0E0E0 : 0xF0F0F0);
        RunFrame();
    }

    // The fills a full frame performs, in the same order and on the same rectangles.
    void BuildFloor()
    {
        floor.SetSize(kWidth, kHeight, 32);
        auto pixel = [&](int32_t colour) { return static_cast<uint32_t>(floor.ColorToPixel(colour)); };
        floor_ops.push_back({TRect{0, 0, kWidth, kHeight}, pixel(kBackground), 255, 0});
        for (TMobuControl* box : boxes) {
            TRect r = box->GetBoundsRect();
            int alpha = box->GetProp(mobu::PR_ALPHA).AsInt();
            int border = box->GetProp(mobu::PR_BORDERWIDTH).AsInt();
            int32_t border_colour = box->GetProp(mobu::PR_BORDERCOLOR).AsInt();
            if (border > 0 && border_colour >= 0) {
                floor_ops.push_back({r, pixel(border_colour), alpha, border});
                r = TRect{r.Left + border, r.Top + border, r.Right - border, r.Bottom - border};
            }
            if (!r.IsEmpty()) floor_ops.push_back({r, pixel(box->Color), alpha, 0});
        }
    }

    void FloorFrame()
    {
        for (const TFloorOp& op : floor_ops) {
            if (op.border > 0) {
                if (op.alpha >= 255) floor.FrameRect(op.rect, op.border, op.pixel);
                else floor.FrameRectAlpha(op.rect, op.border, op.pixel, op.alpha);
            } else if (op.alpha >= 255) {
                floor.FillRect(op.rect, op.pixel);
            } else {
                floor.FillRectAlpha(op.rect, op.pixel, op.alpha);
            }
        }
    }
};

TScene& Scene()
{
    static std::unique_ptr<TScene> scene = std::make_unique<TScene>();
    return *scene;
}

void FullFrame(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) s.FullFrame();
}

void UnchangedFrame(benchmark::State& state)
{
    TScene& s = Scene();
    s.FullFrame();  // nothing left over from an earlier row
    for (auto _ : state) s.RunFrame();
}

void TextAreaFrame(benchmark::State& state)
{
    TScene& s = Scene();
    s.FullFrame();
    for (auto _ : state) s.TextAreaFrame();
}

void FloorFrame(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        s.FloorFrame();
        benchmark::ClobberMemory();
    }
}

// For reading the full frame: the copy of the whole frame into the presentation buffer.
void CopyOnly(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        mobu::CopyToFrame(s.screens.List().FrameSurface(), TRect{0, 0, kWidth, kHeight}, s.frame);
        benchmark::ClobberMemory();
    }
}

class TRatioReporter : public mobu::bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        double floor = Time("floor/blends"), full = Time("frame/full");
        struct TRow {
            const char* label;
            const char* name;
            double goal;  // against the floor for the full frame, against the full frame otherwise
        };
        const TRow rows[] = {{"(a) full redraw", "frame/full", 1.5},
                             {"(b) nothing changed", "frame/unchanged", 0.05},
                             {"(c) one 400x40 area", "frame/text_area", 0.10},
                             {"(d) floor: fills alone", "floor/blends", NAN},
                             {"    copy of a whole frame", "copy/full", NAN}};
        std::printf("\n%-26s %12s %10s %10s   %s\n", "frame (1280x720, 200 boxes)", "ns/frame", "/ floor",
                    "/ (a)", "goal");
        for (const TRow& row : rows) {
            double t = Time(row.name);
            std::printf("%-26s %12.0f %10.3f %10.3f   ", row.label, t, t / floor, t / full);
            if (std::isnan(row.goal)) std::printf("-\n");
            else if (row.goal > 1) std::printf("<= %.2f x floor: %s\n", row.goal, t / floor <= row.goal ? "met" : "MISSED");
            else std::printf("< %.0f%% of (a): %s\n", row.goal * 100, t / full < row.goal ? "met" : "MISSED");
        }
        std::printf("(thread CPU time per frame, median of %d runs)\n", kRepetitions);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const std::pair<const char*, void (*)(benchmark::State&)> rows[] = {
        {"frame/full", FullFrame},       {"frame/unchanged", UnchangedFrame}, {"frame/text_area", TextAreaFrame},
        {"floor/blends", FloorFrame},    {"copy/full", CopyOnly}};
    for (const auto& [name, fn] : rows)
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
