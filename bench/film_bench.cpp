// Films, 1280 × 720, in one run:
// - a cinema of 200 moving, blended box tracks (SetTime, then the list's update and draw
//   passes) against the same 200 boxes moved by SetProp with the same values (goal ≤ 1.2×);
// - loading a 1 MB film (read and parse) against reading its bytes (goal ≤ 2×);
// - 1,000 boxes playing one motion film against one box: the film is parsed once, and the
//   time per player per frame is reported for both (goal within 1.1×).
// The cinema's tracks are boxes: pictures need game files, which a benchmark does not have.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/globals.h"
#include "components/film_cinema.h"
#include "components/film_files.h"
#include "components/film_motion.h"
#include "components/mobu_base_list.h"
#include "components/mobu_box.h"
#include "graphics/film_easing.h"
#include "graphics/film_source.h"

namespace {

using namespace mobu;

constexpr int kWidth = 1280, kHeight = 720;
constexpr int kTracks = 200;
constexpr int32_t kLength = 600;

// 200 box tracks of 600 units, each moving across the screen, half of them blended.
std::shared_ptr<TFilmData> MovingBoxes(int count, int kind)
{
    auto film = std::make_shared<TFilmData>();
    film->Kind = kind;
    film->Version = kFilmNewestVersion;
    film->ScreenSize = {kWidth, kHeight};
    for (int i = 0; i < count; ++i) {
        auto track = std::make_unique<TBoxFrameList>();
        track->Length = kLength;
        track->Priority = i;
        TBoxFrame& r = track->Stored;
        r.PosStart = {(i * 37) % kWidth, (i * 53) % kHeight};
        r.PosEnd = {kWidth - r.PosStart.X, kHeight - r.PosStart.Y};
        r.WStart = r.WEnd = 40 + i % 80;
        r.HStart = r.HEnd = 30 + i % 60;
        r.ColorStart = 0x102030 * (i % 5);
        r.ColorEnd = 0xFFFFFF - r.ColorStart;
        r.AlphaStart = r.AlphaEnd = i % 2 ? 128 : 255;
        film->Tracks.push_back(std::move(track));
    }
    LinkFilm(*film);
    return film;
}

void Frame(TMobuBaseList& list)
{
    list.UpdatePass();
    list.DrawPass();
    list.ClearDirty();
}

void BM_CinemaOfBoxTracks(benchmark::State& state)
{
    const std::string bytes = [] {
        auto film = MovingBoxes(kTracks, kFilmCinema);
        return WriteFilm(*film);
    }();
    LoadFilmFromBytes("bench\\cinema.mmt", bytes);
    auto shared = LoadFilmFromBytes("bench\\cinema.mmt", bytes);  // kept alive for Load
    TMobuBaseList list;
    list.SetSize(kWidth, kHeight);
    TFilmCinema cinema;
    // Load finds the shared film by name without touching the game files.
    cinema.Load("bench\\cinema.mmt", 1000);
    cinema.Start(list);
    int32_t t = 0;
    for (auto _ : state) {
        cinema.SetTime(t);
        Frame(list);
        t = (t + 1) % kLength;
    }
}
BENCHMARK(BM_CinemaOfBoxTracks)->Unit(benchmark::kMicrosecond);

void BM_SameBoxesBySetProp(benchmark::State& state)
{
    auto film = MovingBoxes(kTracks, kFilmCinema);
    TMobuBaseList list;
    list.SetSize(kWidth, kHeight);
    std::vector<TMobuControl*> boxes;
    for (int i = 0; i < kTracks; ++i) {
        TMobuControl* box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetPriority(i);
        boxes.push_back(box);
    }
    int32_t t = 0;
    for (auto _ : state) {
        for (int i = 0; i < kTracks; ++i) {
            const TBoxFrame& r = static_cast<const TBoxFrameList&>(*film->Tracks[static_cast<size_t>(i)]).Live;
            TMobuControl* box = boxes[static_cast<size_t>(i)];
            // The same values the track computes, set the way a script would.
            box->SetLeft(EaseValue(r.PosStart.X, r.PosEnd.X, t, kLength, 0));
            box->SetTop(EaseValue(r.PosStart.Y, r.PosEnd.Y, t, kLength, 0));
            box->SetProp(PR_WIDTH, TPropValue::Int(r.WStart));
            box->SetProp(PR_HEIGHT, TPropValue::Int(r.HStart));
            box->SetProp(PR_COLOR, TPropValue::Int(EaseColour(r.ColorStart, r.ColorEnd, t, kLength)));
            box->SetProp(PR_ALPHA, TPropValue::Int(r.AlphaStart));
        }
        Frame(list);
        t = (t + 1) % kLength;
    }
}
BENCHMARK(BM_SameBoxesBySetProp)->Unit(benchmark::kMicrosecond);

// About 1 MB of film: box tracks of 128 bytes each.
std::string MegabyteFilm()
{
    auto film = MovingBoxes(8200, kFilmMotion);
    return WriteFilm(*film);
}

std::string FilmPath()
{
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "mobu_bench_film.mmt").string();
        std::ofstream(p, std::ios::binary) << MegabyteFilm();
        return p;
    }();
    return path;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BM_ReadFilmBytes(benchmark::State& state)
{
    const std::string path = FilmPath();
    for (auto _ : state) benchmark::DoNotOptimize(ReadBytes(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_ReadFilmBytes)->Unit(benchmark::kMicrosecond);

void BM_LoadFilm(benchmark::State& state)
{
    const std::string path = FilmPath();
    for (auto _ : state) {
        const std::string bytes = ReadBytes(path);
        benchmark::DoNotOptimize(ReadFilm(bytes));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_LoadFilm)->Unit(benchmark::kMicrosecond);

void BM_PlayersOfOneMotion(benchmark::State& state)
{
    const int players = static_cast<int>(state.range(0));
    const std::string bytes = [] {
        auto film = MovingBoxes(1, kFilmMotion);
        film->Tracks[0]->Length = 6000;
        LinkFilm(*film);
        return WriteFilm(*film);
    }();
    const int parsed_before = FilmsParsed();
    auto shared = LoadFilmFromBytes("bench\\walk.mmt", bytes);
    SetMotionFilmFactory([&](TMobuControl& target, const std::string&) -> std::unique_ptr<TMotionFilm> {
        return std::make_unique<TFilmMotion>(target, LoadFilmFromBytes("bench\\walk.mmt", bytes));
    });
    TMobuBaseList list;
    list.SetSize(kWidth, kHeight);
    for (int i = 0; i < players; ++i) {
        TMobuControl* box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetProp(PR_SOURCE, TPropValue::Text("bench\\walk.mmt"));
        box->SetProp(PR_REPEAT, TPropValue::Flag(true));
    }
    FrameDeltaMs = 16;
    for (auto _ : state) {
        list.UpdatePass();
        list.ClearDirty();  // what the frame's draw pass leaves behind
    }
    FrameDeltaMs = 0;
    SetMotionFilmFactory({});
    state.counters["parses"] = FilmsParsed() - parsed_before;
    state.counters["ns_per_player"] =
        benchmark::Counter(static_cast<double>(players), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["player_bytes"] = static_cast<double>(sizeof(TFilmMotion) + sizeof(TMobuMotion));
}
BENCHMARK(BM_PlayersOfOneMotion)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
