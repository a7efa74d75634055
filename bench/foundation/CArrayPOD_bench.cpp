#include "bench/BenchSupport.h"
#include "foundation/CArrayPOD.h"
#include "foundation/CFPoint.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_ArrayPODAppend(benchmark::State& state)
{
    const auto count = uint32_t(state.range(0));
    for (auto _ : state) {
        CArrayPOD<CFPoint> points;
        for (uint32_t i = 0; i < count; ++i)
            points.Append(CFPoint{float(i), 1.0f});
        benchmark::DoNotOptimize(points.GetData());
    }
    state.SetItemsProcessed(int64_t(state.iterations() * count));
}
BENCHMARK(BM_ArrayPODAppend)->Arg(16)->Arg(64)->Arg(1024);

void BM_VectorAppend(benchmark::State& state)
{
    const auto count = uint32_t(state.range(0));
    for (auto _ : state) {
        std::vector<CFPoint> points;
        for (uint32_t i = 0; i < count; ++i)
            points.push_back(CFPoint{float(i), 1.0f});
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations() * count));
}
BENCHMARK(BM_VectorAppend)->Arg(16)->Arg(64)->Arg(1024);
OMBRISALT_BENCH_PEER(BM_ArrayPODAppend, BM_VectorAppend);

} // namespace
