// The asset dependency browser's backward search over a copy of the demo
// data, headless: who refers to the "House" sequence. The first search loads
// every object of every registered list that start-up left unloaded; later
// ones walk what is loaded. Counters: the lists in the registry, the objects
// walked and the rows found.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "editor/CAssetDependencyBrowser.h"
#include "objects/CFileListList.h"
#include "objects/CObjectFileArray.h"
#include "sequences/CSequenceList.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

namespace {

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("dependency_search");
    return folder;
}

void Count(benchmark::State& state, const CAssetDependencyFinder& finder)
{
    CFileListList& registry = CFileListList::SGetInstance();
    int32_t objects = 0;
    for (int32_t i = 0; i < registry.GetCount(); ++i)
        if (CObjectFileArray* list = registry.GetList(i))
            objects += list->GetCount();
    state.counters["lists"] = double(registry.GetCount());
    state.counters["objects"] = double(objects);
    state.counters["rows"] = double(finder.GetHits().GetCount());
}

void BM_FirstBackwardSearchLoadingEveryObject(benchmark::State& state)
{
    GameFolder();
    for (auto _ : state) {
        bench::CGameRun run(GameFolder());
        const int32_t house = GetSequenceList().Find("House");
        if (house < 0) {
            state.SkipWithError("the demo data has no \"House\" sequence");
            return;
        }
        CAssetDependencyFinder finder;
        const auto start = std::chrono::steady_clock::now();
        finder.Find(&GetSequenceList(), uint32_t(house));
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        Count(state, finder);
    }
}
BENCHMARK(BM_FirstBackwardSearchLoadingEveryObject)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BackwardSearchOverLoadedData(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    const int32_t house = GetSequenceList().Find("House");
    if (house < 0) {
        state.SkipWithError("the demo data has no \"House\" sequence");
        return;
    }
    CAssetDependencyFinder finder;
    finder.Find(&GetSequenceList(), uint32_t(house));
    for (auto _ : state)
        finder.Find(&GetSequenceList(), uint32_t(house));
    Count(state, finder);
}
BENCHMARK(BM_BackwardSearchOverLoadedData)->Unit(benchmark::kMillisecond);

} // namespace
