// Sliders and gauges, each side by side with its peer in one run:
// (a) a frame of a slider drag (the value moves, the track, thumb and buttons are drawn again
//     over a full-screen picture), against the graphics-core floor of blending the same
//     rectangles alone: the picture's strip under the slider, the track's cells, the thumb
//     and the buttons (goal <= 1.5 x);
// (b) a frame of an animating gauge over the same picture, against the floor of its strip of
//     the picture and the bar's and the lag's cells (goal <= 1.5 x).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "archive/vr_file_manager.h"
#include "bench/gradient_pictures.h"
#include "bench/time_table_reporter.h"
#include "components/mobu_base_list.h"
#include "components/mobu_gauge.h"
#include "components/mobu_image.h"
#include "components/mobu_slider.h"
#include "core/globals.h"
#include "graphics/fesk_frame_list.h"

namespace {

using namespace mobu;
using mobu::bench::GradientPicture;

constexpr int kWidth = 1280, kHeight = 720;
constexpr int kLength = 600;
constexpr int kRepetitions = 3;

// Tiles cells of `cell` over [left, left + length) of the row at `top`, as plain draws.
void FloorTrack(TDIBX& floor, TDIBX& source, const TRect& cell, int32_t left, int32_t top, int32_t length)
{
    for (int32_t x = 0; x < length; x += cell.Width()) {
        const int32_t w = std::min(cell.Width(), length - x);
        floor.Draw(left + x, top, source, TRect{cell.Left, cell.Top, cell.Left + w, cell.Bottom}, false, false, false);
    }
}

struct TScene {
    std::filesystem::path folder;
    TMobuBaseList list;
    TMobuSlider* slider = nullptr;
    TMobuGauge* gauge = nullptr;
    TDIBX* background = nullptr;
    TDIBX floor;
    int32_t value = 0;
    bool lowered = false;

    TScene()
    {
        FrameDeltaMs = 16;  // a frame of the player's clock
        folder = std::filesystem::temp_directory_path() / "mobu_controls_bench";
        std::filesystem::create_directories(folder / "cg");
        std::ofstream(folder / "cg" / "bg.fsk", std::ios::binary) << GradientPicture(kWidth, kHeight, 1);
        std::ofstream(folder / "cg" / "track.fsk", std::ios::binary) << GradientPicture(64, 16, 2);
        std::ofstream(folder / "cg" / "thumb.fsk", std::ios::binary) << GradientPicture(48, 24, 3);
        std::ofstream(folder / "cg" / "buttons.fsk", std::ios::binary) << GradientPicture(96, 20, 4);
        std::ofstream(folder / "cg" / "gauge.fsk", std::ios::binary) << GradientPicture(64, 16, 5);
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder.string());
        list.SetSize(kWidth, kHeight);
        auto* picture = dynamic_cast<TMobuImages*>(list.CreateComponent(LT_IMAGES));
        picture->SetName("bg");
        picture->SetSource("cg\\bg.fsk");
        background = picture->PictureSurface();
        if (background->Width() != kWidth) std::fprintf(stderr, "controls_bench: the background did not load\n");
        slider = dynamic_cast<TMobuSlider*>(list.CreateComponent(LT_SLIDER));
        slider->SetName("s");
        slider->SetPriority(1);
        slider->SetBounds(100, 200, 0, 0);
        slider->SetProp(PR_SOURCE, TPropValue::Text("cg\\track.fsk"));
        slider->SetProp(PR_THUMBSOURCE, TPropValue::Text("cg\\thumb.fsk"));
        slider->SetProp(PR_BUTTONSOURCE, TPropValue::Text("cg\\buttons.fsk"));
        slider->SetProp(PR_BARSIZE, TPropValue::Int(kLength));
        slider->SetProp(PR_MAX, TPropValue::Int(kLength));
        gauge = dynamic_cast<TMobuGauge*>(list.CreateComponent(LT_GAUGE));
        gauge->SetName("g");
        gauge->SetPriority(1);
        gauge->SetBounds(100, 400, 0, 0);
        gauge->SetProp(PR_SOURCE, TPropValue::Text("cg\\gauge.fsk"));
        gauge->SetProp(PR_BARSIZE, TPropValue::Int(kLength));
        gauge->SetProp(PR_MAX, TPropValue::Int(1000));
        gauge->SetProp(PR_VALUE, TPropValue::Int(800));
        gauge->SetProp(PR_DURATION, TPropValue::Int(20000));
        floor.SetSize(kWidth, kHeight, 32);
        Frame();
    }
    ~TScene()
    {
        list.Reset();
        ResetVrFileManager();
        std::filesystem::remove_all(folder);
    }
    void Frame()
    {
        list.UpdatePass();
        list.DrawPass();
        list.ClearDirty();
    }
    void Strip(const TRect& r)
    {
        floor.SetClipRect(r);
        floor.Draw(r.Left, r.Top, *background, r, false, false, false);
        floor.SetClipRect(TRect{});
    }
};

TScene& Scene()
{
    static std::unique_ptr<TScene> scene = std::make_unique<TScene>();
    return *scene;
}

void SliderDrag(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        s.value = (s.value + 37) % kLength;
        s.slider->SetProp(PR_VALUE, TPropValue::Int(s.value));
        s.Frame();
    }
}

void SliderFloor(benchmark::State& state)
{
    TScene& s = Scene();
    TMobuSlider& slider = *s.slider;
    TDIBX& track = *slider.Track.Surface();
    TDIBX& thumb = *slider.Thumb.Surface();
    TDIBX& buttons = *slider.Buttons.Surface();
    int32_t value = 0;
    for (auto _ : state) {
        value = (value + 37) % kLength;
        s.Strip(slider.GetBoundsRect());
        const TRect t = slider.TrackRect();
        FloorTrack(s.floor, track, TRect{32, 0, 64, 16}, t.Left, t.Top, value);
        FloorTrack(s.floor, track, TRect{0, 0, 32, 16}, t.Left + value, t.Top, kLength - value);
        s.floor.Draw(t.Left + value, slider.ThumbRect().Top, thumb, TRect{0, 0, 16, 24}, false, false, false);
        s.floor.Draw(slider.ButtonRect(0).Left, slider.ButtonRect(0).Top, buttons, TRect{0, 0, 16, 20}, false, false,
                     false);
        s.floor.Draw(slider.ButtonRect(1).Left, slider.ButtonRect(1).Top, buttons, TRect{48, 0, 64, 20}, false,
                     false, false);
        benchmark::ClobberMemory();
    }
}

void GaugeAnimate(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        if (!s.gauge->GetProp(PR_PLAYING).AsFlag()) {
            s.lowered = !s.lowered;
            s.gauge->SetProp(PR_VALUE, TPropValue::Int(s.lowered ? 300 : 800));
        }
        s.Frame();
    }
}

void GaugeFloor(benchmark::State& state)
{
    TScene& s = Scene();
    TMobuGauge& gauge = *s.gauge;
    TDIBX& picture = *gauge.Picture.Surface();
    const TRect r = gauge.GetBoundsRect();
    int32_t bar = 180;
    for (auto _ : state) {
        bar = bar == 180 ? 181 : 180;
        s.Strip(r);
        FloorTrack(s.floor, picture, TRect{0, 0, 32, 16}, r.Left, r.Top, bar);
        FloorTrack(s.floor, picture, TRect{32, 0, 64, 16}, r.Left + bar, r.Top, 300);
        benchmark::ClobberMemory();
    }
}

class TRatioReporter : public bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        struct TRow {
            const char* label;
            const char* name;
            const char* peer;
            double goal;
        };
        const TRow rows[] = {
            {"(a) slider drag frame", "slider/drag_frame", "floor/slider_rects", 1.5},
            {"(b) animating gauge frame", "gauge/animate_frame", "floor/gauge_rects", 1.5},
        };
        std::printf("\n%-26s %14s %14s %10s   %s\n", "case", "ns", "peer ns", "ratio", "goal");
        for (const TRow& row : rows) {
            const double t = Time(row.name), p = Time(row.peer);
            std::printf("%-26s %14.0f %14.0f %10.3f   <= %.2f vs %s: %s\n", row.label, t, p, t / p, row.goal, row.peer,
                        t / p <= row.goal ? "met" : "MISSED");
        }
        std::printf("(thread CPU time, median of %d runs)\n", kRepetitions);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const std::pair<const char*, void (*)(benchmark::State&)> rows[] = {{"slider/drag_frame", SliderDrag},
                                                                         {"floor/slider_rects", SliderFloor},
                                                                         {"gauge/animate_frame", GaugeAnimate},
                                                                         {"floor/gauge_rects", GaugeFloor}};
    for (const auto& [name, fn] : rows)
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
