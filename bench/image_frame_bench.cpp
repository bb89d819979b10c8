// One 1280 x 720 frame of 100 image components through the component list, against the
// floor of the same surface operations done alone. The scene: a full-screen picture at the
// back, then 99 pictures of 64 to 256 pixels in four kinds taken in turn: zoomed to 150 %,
// turned (with a zoom of their own), half transparent, and a four-frame animation that
// steps every frame. The full frame marks everything dirty, runs the update pass (the
// animations step) and draws; the floor calls, for each component in the same order, the
// drawing operation of the graphics core that component uses, with the same arguments, on
// a 32-bit surface of the same size. After the runs a table gives the ratio (goal <= 1.3 x).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "archive/vr_file_manager.h"
#include "bench/gradient_pictures.h"
#include "bench/time_table_reporter.h"
#include "components/mobu_base_list.h"
#include "components/mobu_image.h"
#include "core/globals.h"
#include "graphics/fesk_frame_list.h"

namespace {

using namespace mobu;
using mobu::bench::GradientBitmap;

constexpr int kWidth = 1280, kHeight = 720;
constexpr int kImageCount = 100;  // the background included
constexpr int kAnimationFrames = 4;
constexpr int kRepetitions = 5;

// A layered image of `frames` frames, each shown for one frame of the player's clock.
std::string Picture(int width, int height, int seed, int frames = 1)
{
    TFeskFrameList list;
    list.LoadFromBytes(GradientBitmap(width, height, seed), "bmp", false, false, false);
    for (int i = 1; i < frames; ++i) {
        TFeskFrameList next;
        next.LoadFromBytes(GradientBitmap(width, height, seed + 40 * i), "bmp", false, false, false);
        TFeskFrame& frame = list.Add();
        frame.Image.Duplicate(next.Frames(0).Image);
    }
    for (int i = 0; i < list.Count(); ++i) list.Frames(i).Delay = 16;
    return list.SaveToStream(kFeskDefaultCompression, 70);
}

struct TScene {
    std::filesystem::path folder;
    TMobuBaseList list;
    std::vector<TMobuImages*> images;  // back to front
    TDIBX floor;

    TScene()
    {
        FrameDeltaMs = 16;
        folder = std::filesystem::temp_directory_path() / "mobu_image_frame_bench";
        std::filesystem::create_directories(folder / "cg");
        std::mt19937 random(20261211);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        std::ofstream(folder / "cg" / "bg.fsk", std::ios::binary) << Picture(kWidth, kHeight, 1);
        for (int i = 1; i < kImageCount; ++i) {
            const int frames = i % 4 == 0 ? kAnimationFrames : 1;
            std::ofstream(folder / "cg" / (std::to_string(i) + ".fsk"), std::ios::binary)
                << Picture(pick(64, 256), pick(64, 256), i, frames);
        }
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder.string());
        list.SetSize(kWidth, kHeight);
        for (int i = 0; i < kImageCount; ++i) {
            auto* image = dynamic_cast<TMobuImages*>(list.CreateComponent(LT_IMAGES));
            image->SetName("i" + std::to_string(i));
            image->SetPriority(i);
            image->SetSource(i == 0 ? "cg\\bg.fsk" : "cg\\" + std::to_string(i) + ".fsk");
            if (i > 0) {
                image->SetLeft(pick(-64, kWidth - 64));
                image->SetTop(pick(-64, kHeight - 64));
                switch (i % 4) {
                    case 1:
                        image->SetProp(PR_ZOOMX, TPropValue::Int(384));
                        image->SetProp(PR_ZOOMY, TPropValue::Int(384));
                        break;
                    case 2:
                        image->SetProp(PR_ANGLE, TPropValue::Int(pick(1, 255)));
                        image->SetProp(PR_ZOOMX, TPropValue::Int(320));
                        image->SetProp(PR_ZOOMY, TPropValue::Int(320));
                        break;
                    case 3: image->SetProp(PR_ALPHA, TPropValue::Int(128)); break;
                    default: image->SetProp(PR_REPEAT, TPropValue::Flag(true)); break;
                }
            }
            images.push_back(image);
        }
        if (images.front()->PictureSurface()->Width() != kWidth) std::fprintf(stderr, "image_frame_bench: no pictures\n");
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
        list.MarkAllDirty();
        list.UpdatePass();
        list.DrawPass();
        list.ClearDirty();
    }

    // What each component's drawing does on the surface, and nothing else: the same
    // operation with the same arguments, picked the way the component picks it.
    void FloorFrame()
    {
        for (TMobuImages* image : images) {
            TDIBX& source = *image->PictureSurface();
            const TRect whole = source.SurfaceRect();
            const bool keyed = source.TransparentColor >= 0;
            if (image->Angle % 256 != 0) {
                floor.DrawRotate(image->OriginX(), image->OriginY(), image->ZoomXValue, image->ZoomYValue, source,
                                 whole, image->OffsetX, image->OffsetY, image->Angle, keyed, false, false,
                                 image->Alpha);
            } else if (image->Width == source.Width() && image->Height == source.Height()) {
                if (image->Alpha < 255) floor.DrawAlpha(image->GetAbsLeft(), image->GetAbsTop(), source, whole, keyed, false, false, image->Alpha);
                else floor.Draw(image->GetAbsLeft(), image->GetAbsTop(), source, whole, keyed, false, false);
            } else {
                floor.StretchDrawAlpha(image->TMobuControl::GetBoundsRect(), source, whole, keyed, false, false, image->Alpha);
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
    for (auto _ : state) s.Frame();
}

void FloorFrame(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        s.FloorFrame();
        benchmark::ClobberMemory();
    }
}

class TRatioReporter : public mobu::bench::TTimeTableReporter {
public:
    void PrintTable() const
    {
        const double frame = Time("frame/full"), floor = Time("floor/operations");
        std::printf("\n%-36s %12s %10s   %s\n", "frame (1280x720, 100 images)", "ns/frame", "/ floor", "goal");
        std::printf("%-36s %12.0f %10.3f   <= 1.30 x floor: %s\n", "full redraw through the component list", frame,
                    frame / floor, frame / floor <= 1.3 ? "met" : "MISSED");
        std::printf("%-36s %12.0f %10.3f\n", "floor: the same operations alone", floor, 1.0);
        std::printf("(thread CPU time per frame, median of %d runs)\n", kRepetitions);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("frame/full", FullFrame)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
    benchmark::RegisterBenchmark("floor/operations", FloorFrame)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
