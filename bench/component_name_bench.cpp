// Built-in functions that find components by name, side by side with their floor:
//  - Exists, GetProp and ToClientX by name over a list of 2,000 components (the handlers as
//    expressions call them), against the same number of std::unordered_map lookups of the
//    same names;
//  - SaveScreen of a 1280 x 720 screen to a 320 x 180 "mem:" file, against one copy of the
//    frame plus zlib level-1 deflate of the thumbnail's bytes.
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/vr_file_manager.h"
#include "components/component_functions.h"
#include "components/mobu_base_list.h"
#include "expr/param_collection.h"
#include "expr/param_values.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

constexpr int kComponents = 2000;

struct TNamedList {
    TMobuBaseList list;
    std::vector<std::string> names;
    TNamedList()
    {
        list.SetSize(320, 240);
        for (int i = 0; i < kComponents; ++i) {
            TMobuControl* box = list.CreateComponent(LT_BOX)->AsControl();
            box->StoreName("compo" + std::to_string(i));
            box->SetBounds(i % 300, i % 200, 10, 10);
            names.push_back(box->Name());
        }
    }
};

std::unique_ptr<TCustomParam> Text(const std::string& value)
{
    auto param = NewParamOfType(PT_STR);
    param->SetString(value);
    return param;
}
std::unique_ptr<TCustomParam> Integer(int32_t value)
{
    auto param = NewParamOfType(PT_INT);
    param->SetInteger(value);
    return param;
}

void ComponentFunctionsByName(benchmark::State& state)
{
    TNamedList named;
    SetGlobalBaseList(&named.list);
    TParamCollection table;
    TSysFuncMan functions(table);
    InstallComponentFunctions(functions);
    std::vector<std::unique_ptr<TCustomParam>> name_params;
    for (const std::string& name : named.names) name_params.push_back(Text(name));
    auto left = Integer(PR_LEFT), five = Integer(5);
    auto flag = NewParamOfType(PT_BOOL), integer = NewParamOfType(PT_INT);
    int64_t found = 0;
    for (auto _ : state) {
        for (const auto& name : name_params) {
            functions.Call(*flag, kSysFuncExists, {name.get()});
            functions.Call(*integer, kSysFuncGetProp, {name.get(), left.get()});
            found += integer->GetInteger();
            functions.Call(*integer, kSysFuncToClientX, {name.get(), five.get()});
            found += flag->GetFlag() + integer->GetInteger();
        }
    }
    benchmark::DoNotOptimize(found);
    SetGlobalBaseList(nullptr);
    state.SetItemsProcessed(state.iterations() * kComponents * 3);
}
BENCHMARK(ComponentFunctionsByName)->Unit(benchmark::kMicrosecond);

void UnorderedMapLookups(benchmark::State& state)
{
    TNamedList named;
    std::unordered_map<std::string, TMobuObject*> index;
    for (int32_t i = 0; i < named.list.GetCount(); ++i) index.emplace(named.list.GetItem(i)->Name(), named.list.GetItem(i));
    std::vector<std::unique_ptr<TCustomParam>> name_params;
    for (const std::string& name : named.names) name_params.push_back(Text(name));
    int64_t found = 0;
    for (auto _ : state) {
        for (const auto& name : name_params) {
            // The names arrive as script values, as they do for the functions.
            for (int call = 0; call < 3; ++call) {
                auto hit = index.find(name->GetString());
                found += hit != index.end();
            }
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * kComponents * 3);
}
BENCHMARK(UnorderedMapLookups)->Unit(benchmark::kMicrosecond);

void SaveScreenToMemory(benchmark::State& state)
{
    TMobuBaseList list;
    list.SetSize(1280, 720);
    for (int i = 0; i < 40; ++i) {
        TMobuControl* box = list.CreateComponent(LT_BOX)->AsControl();
        box->SetBounds((i * 37) % 1200, (i * 23) % 700, 200, 120);
        box->SetColor(0x102030 * (i + 1));
    }
    ResetVrFileManager();
    VrFileManager().AddArchive("");
    VrFileManager().SetBaseFolder("/tmp");
    for (auto _ : state) {
        if (!SaveScreen(&list, "mem:thumb.fsk", 320, 180, false, 0)) state.SkipWithError("SaveScreen failed");
    }
    ResetVrFileManager();
}
BENCHMARK(SaveScreenToMemory)->Unit(benchmark::kMillisecond);

void FrameCopyAndThumbnailDeflate(benchmark::State& state)
{
    std::vector<uint32_t> frame(1280 * 720, 0x00336699), copy(frame.size());
    // The thumbnail holds the same boxes as the screen above, at a quarter of the size.
    std::vector<uint8_t> thumbnail(320 * 180 * 3, 0);
    for (int i = 0; i < 40; ++i) {
        const uint32_t colour = 0x102030u * static_cast<uint32_t>(i + 1);
        const int left = ((i * 37) % 1200) / 4, top = ((i * 23) % 700) / 4;
        for (int y = top; y < std::min(180, top + 30); ++y)
            for (int x = left; x < std::min(320, left + 50); ++x)
                for (int c = 0; c < 3; ++c) thumbnail[static_cast<size_t>((y * 320 + x) * 3 + c)] = (colour >> (8 * c)) & 0xFF;
    }
    std::vector<uint8_t> packed(compressBound(static_cast<uLong>(thumbnail.size())));
    for (auto _ : state) {
        std::copy(frame.begin(), frame.end(), copy.begin());
        uLongf size = static_cast<uLongf>(packed.size());
        compress2(packed.data(), &size, thumbnail.data(), static_cast<uLong>(thumbnail.size()), 1);
        benchmark::DoNotOptimize(copy.data());
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(FrameCopyAndThumbnailDeflate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mobu

BENCHMARK_MAIN();
