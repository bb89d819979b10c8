// Menus, each side by side with its peer in one run:
// (a) a frame in which the hover of a 20-row menu over a full-screen picture moves one row,
//     against the full redraw of that screen (goal <= 5 %) and against the graphics-core
//     floor of redrawing the two rows' rectangles alone: the picture's two strips, the hover
//     rectangle and the two labels (goal <= 1.5 x);
// (b) creating a preview menu of 32 buttons with 5 pictures each, against loading the same
//     pictures through the image cache alone (goal <= 1.2 x);
// (c) setting a 1,000-item text and laying it out, against measuring the same strings with
//     the glyph rasterizer alone (goal <= 1.3 x).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "archive/vr_file_manager.h"
#include "bench/gradient_pictures.h"
#include "bench/time_table_reporter.h"
#include "components/fesk_collection.h"
#include "components/mobu_base_list.h"
#include "components/mobu_image.h"
#include "components/mobu_menu.h"
#include "components/mobu_prev_menu.h"
#include "core/cp932_chars.h"
#include "graphics/fesk_frame_list.h"
#include "text/font_pixel_manager.h"

namespace {

using namespace mobu;
using mobu::bench::GradientPicture;

constexpr int kWidth = 1280, kHeight = 720;
constexpr int kRows = 20;
constexpr int kButtons = 32, kPicturesPerButton = 5;
constexpr int kItems = 1000;
constexpr int kRepetitions = 3;

std::string Items(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + std::string("Destination number ") + std::to_string(i);
    return text;
}

struct TScene {
    std::filesystem::path folder;
    TMobuBaseList list;
    TMobuMenu* menu = nullptr;
    int32_t hover = 5;
    TDIBX floor;
    TDIBX* background = nullptr;

    TScene()
    {
        folder = std::filesystem::temp_directory_path() / "mobu_menu_bench";
        std::filesystem::create_directories(folder / "cg");
        std::ofstream(folder / "cg" / "bg.fsk", std::ios::binary) << GradientPicture(kWidth, kHeight, 1);
        for (int b = 0; b < kButtons; ++b)
            for (int p = 0; p < kPicturesPerButton; ++p)
                std::ofstream(folder / "cg" / ("b" + std::to_string(b) + "_" + std::to_string(p) + ".fsk"),
                              std::ios::binary)
                    << GradientPicture(96, 40, b * 5 + p);
        TPrevMenuFile file;
        file.Width = kWidth;
        file.Height = kHeight;
        for (int b = 0; b < kButtons; ++b) {
            TPrevMenuRecord r;
            r.X = (b % 8) * 120;
            r.Y = (b / 8) * 60;
            const std::string stem = "b" + std::to_string(b) + "_";
            r.Normal = stem + "0.fsk", r.Hover = stem + "1.fsk", r.Leave = stem + "2.fsk";
            r.Click = stem + "3.fsk", r.Disabled = stem + "4.fsk";
            file.Buttons.push_back(r);
        }
        std::ofstream(folder / "cg" / "menu.mmt", std::ios::binary) << WritePrevMenuFile(file);
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(folder.string());

        list.SetSize(kWidth, kHeight);
        auto* picture = dynamic_cast<TMobuImages*>(list.CreateComponent(LT_IMAGES));
        picture->SetName("bg");
        picture->SetSource("cg\\bg.fsk");
        background = picture->PictureSurface();
        if (background->Width() != kWidth) std::fprintf(stderr, "menu_bench: the background did not load\n");
        menu = dynamic_cast<TMobuMenu*>(list.CreateComponent(LT_MENU));
        menu->SetName("menu");
        menu->SetBounds(200, 40, 0, 0);
        menu->SetPriority(1);
        menu->SetProp(PR_FONTHEIGHT, TPropValue::Int(24));
        menu->SetProp(PR_ROWCOUNT, TPropValue::Int(kRows));
        menu->SetProp(PR_LINESPACE, TPropValue::Int(6));
        menu->SetProp(PR_MARGINX, TPropValue::Int(8));
        menu->SetProp(PR_HOVERCOLOR, TPropValue::Int(0x804020));
        menu->SetProp(PR_FONTCOLOR, TPropValue::Int(0xFFFFFF));
        menu->SetProp(PR_FONTHOVERCOLOR, TPropValue::Int(0x00FFFF));
        menu->SetProp(PR_TEXT, TPropValue::Text(Items(kRows)));
        menu->SetPlayMode(LP_PLAY);
        menu->SetHover(hover);
        Frame();
        floor.SetSize(kWidth, kHeight, 32);
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
    // The base y of row r of the menu.
    int32_t RowTop(int32_t r) const { return menu->Top + r * (menu->RowHeight() + menu->LineSpace); }
    // The floor: the two rows' strips of the picture, the hover rectangle and the labels.
    void FloorFrame(int32_t from, int32_t to)
    {
        const int32_t height = menu->RowHeight() + menu->LineSpace;
        for (int32_t r : {from, to}) {
            const TRect strip{menu->Left, RowTop(r), menu->Left + menu->Width, RowTop(r) + height};
            floor.SetClipRect(strip);
            floor.Draw(strip.Left, strip.Top, *background, strip, false, false, false);
        }
        floor.SetClipRect(TRect{});
        floor.FillRect(TRect{menu->Left, RowTop(to), menu->Left + menu->Width, RowTop(to) + menu->RowHeight()},
                       static_cast<uint32_t>(floor.ColorToPixel(0x804020)));
        menu->Labels.Target = menu->HoverLabels.Target = &floor;
        menu->Labels.DrawLabel(from, menu->Left + 8, RowTop(from));
        menu->HoverLabels.DrawLabel(to, menu->Left + 8, RowTop(to));
        menu->Labels.Target = menu->HoverLabels.Target = nullptr;
    }
};

TScene& Scene()
{
    static std::unique_ptr<TScene> scene = std::make_unique<TScene>();
    return *scene;
}

void HoverMove(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        s.hover = s.hover == 5 ? 6 : 5;
        s.menu->SetHover(s.hover);
        s.Frame();
    }
}

void FullRedraw(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        s.list.MarkAllDirty();
        s.Frame();
    }
}

void TwoRowsFloor(benchmark::State& state)
{
    TScene& s = Scene();
    int32_t hover = 5;
    for (auto _ : state) {
        const int32_t from = hover;
        hover = hover == 5 ? 6 : 5;
        s.FloorFrame(from, hover);
        benchmark::ClobberMemory();
    }
}

void CreatePrevMenu(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        TMobuObject* menu = s.list.CreateComponent(LT_PREVMENU);
        menu->SetName("pm");
        menu->SetProp(PR_SOURCE, TPropValue::Text("cg\\menu.mmt"));
        s.list.Destroy(menu);
    }
}

void CacheLoad(benchmark::State& state)
{
    Scene();
    std::vector<std::string> paths;
    for (int b = 0; b < kButtons; ++b)
        for (int p = 0; p < kPicturesPerButton; ++p)
            paths.push_back("cg\\b" + std::to_string(b) + "_" + std::to_string(p) + ".fsk");
    int holder = 0;
    std::vector<TFeskItem*> held;
    for (auto _ : state) {
        for (const std::string& path : paths) held.push_back(FeskCollection().Acquire(&holder, path, false, false));
        for (TFeskItem* item : held) FeskCollection().Release(item, &holder);
        held.clear();
    }
}

void SetText(benchmark::State& state)
{
    TScene& s = Scene();
    auto* menu = dynamic_cast<TMobuMenu*>(s.list.CreateComponent(LT_MENU));
    menu->SetProp(PR_FONTHEIGHT, TPropValue::Int(24));
    const std::string text = Items(kItems);
    for (auto _ : state) {
        menu->SetProp(PR_TEXT, TPropValue::Text(text));
        menu->Layout();
    }
    s.list.Destroy(menu);
}

void MeasureGlyphs(benchmark::State& state)
{
    Scene();
    TKsLabelList fonts;
    fonts.FontSize = 24;
    auto& manager = FontPixelManager();
    std::vector<std::vector<uint16_t>> strings;
    for (int i = 0; i < kItems; ++i)
        strings.push_back(Cp932CharCodes(std::string("Destination number ") + std::to_string(i)));
    for (auto _ : state) {
        int64_t total = 0;
        // Twice, as the menu measures its normal and its hover labels.
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& codes : strings)
                for (uint16_t code : codes) {
                    auto glyph = manager.GetGlyph(code, fonts.FontName, 0, 24);
                    total += glyph->abc_a + glyph->abc_b + glyph->abc_c;
                }
        benchmark::DoNotOptimize(total);
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
            {"(a) hover moves one row", "menu/hover_move", "menu/full_redraw", 0.05},
            {"(a) hover moves one row", "menu/hover_move", "floor/two_rows", 1.5},
            {"(b) preview menu, 32x5", "prevmenu/create", "cache/load_160", 1.2},
            {"(c) 1,000-item text", "menu/set_text_1000", "glyph/measure_1000", 1.3},
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
    const std::pair<const char*, void (*)(benchmark::State&)> rows[] = {
        {"menu/hover_move", HoverMove},        {"menu/full_redraw", FullRedraw},
        {"floor/two_rows", TwoRowsFloor},      {"prevmenu/create", CreatePrevMenu},
        {"cache/load_160", CacheLoad},         {"menu/set_text_1000", SetText},
        {"glyph/measure_1000", MeasureGlyphs}};
    for (const auto& [name, fn] : rows)
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
