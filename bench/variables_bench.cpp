// Variable lookup by name (hit and miss, 10 and 10,000 variables) and the cp932 character
// routines over 1 MB of mixed text.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "expr/jconvert.h"
#include "expr/param_collection.h"

namespace {

using namespace mobu;

std::vector<std::string> MakeNames(int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("Var_" + std::to_string(i) + (i % 3 ? "x" : "Flag"));
    return names;
}

void BM_FindHit(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    TParamCollection table;
    const auto names = MakeNames(count);
    for (const auto& name : names) table.AddVariable(name, PT_INT);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Find(names[i]));
        if (++i == names.size()) i = 0;
    }
}
BENCHMARK(BM_FindHit)->Arg(10)->Arg(10000);

void BM_FindMiss(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    TParamCollection table;
    for (const auto& name : MakeNames(count)) table.AddVariable(name, PT_INT);
    auto misses = MakeNames(count);
    for (auto& name : misses) name += "_missing";
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Find(misses[i]));
        if (++i == misses.size()) i = 0;
    }
}
BENCHMARK(BM_FindMiss)->Arg(10)->Arg(10000);

// 1 MB of mixed text: ASCII, kanji, hiragana, half-width katakana with voiced marks, blanks.
const std::string& MixedText()
{
    static const std::string text = [] {
        const char* pieces[] = {"abc ", "\x8a\xbf\x8e\x9a", "\x82\xa0\x82\xa2", "\xb6\xde\xca\xdf", "\x81\x40",
                                "XYZ,", "\x95\x5c", "0123", "\x83\x41\x83\x5c"};
        std::mt19937 random(932);
        std::string out;
        while (out.size() < (1u << 20)) out += pieces[random() % std::size(pieces)];
        return out;
    }();
    return text;
}

void BM_JLength(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(JLength(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JLength);

void BM_JPosMiss(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(JPos("\x82\xa4\x82\xa6", text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JPosMiss);

void BM_JCopyMiddle(benchmark::State& state)
{
    const std::string& text = MixedText();
    const int32_t middle = JLength(text) / 2;
    for (auto _ : state) benchmark::DoNotOptimize(JCopy(text, middle, 100));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() / 2));
}
BENCHMARK(BM_JCopyMiddle);

void BM_HanToZen(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(HanToZen(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_HanToZen);

void BM_ZenToHan(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(ZenToHan(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ZenToHan);

void BM_NextTokenAll(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) {
        size_t position = 0;
        size_t tokens = 0;
        while (position < text.size()) {
            benchmark::DoNotOptimize(NextToken(text, position, ","));
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_NextTokenAll);

void BM_JLowerCase(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(JLowerCase(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JLowerCase);

void BM_IsTrailByteAtEnd(benchmark::State& state)
{
    const std::string& text = MixedText();
    const int32_t last = static_cast<int32_t>(text.size());
    for (auto _ : state) benchmark::DoNotOptimize(IsTrailByte(text, last));
}
BENCHMARK(BM_IsTrailByteAtEnd);

}  // namespace

BENCHMARK_MAIN();
