#include "bench/BenchSupport.h"
#include "foundation/MathHelpers.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Inputs(float low, float high)
{
    std::vector<float> values(1024);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = low + (high - low) * float(i) / float(values.size());
    return values;
}

void BM_TableSqrt(benchmark::State& state)
{
    const std::vector<float> values = Inputs(0.01f, 10000.0f);
    for (auto _ : state)
        for (float v : values)
            benchmark::DoNotOptimize(TableSqrt(v));
    state.SetItemsProcessed(int64_t(state.iterations() * values.size()));
}
BENCHMARK(BM_TableSqrt);

void BM_LibmSqrt(benchmark::State& state)
{
    const std::vector<float> values = Inputs(0.01f, 10000.0f);
    for (auto _ : state)
        for (float v : values)
            benchmark::DoNotOptimize(std::sqrt(v));
    state.SetItemsProcessed(int64_t(state.iterations() * values.size()));
}
BENCHMARK(BM_LibmSqrt);

void BM_LookupSin(benchmark::State& state)
{
    const std::vector<float> values = Inputs(-10.0f, 10.0f);
    for (auto _ : state)
        for (float v : values)
            benchmark::DoNotOptimize(LookupSin(v));
    state.SetItemsProcessed(int64_t(state.iterations() * values.size()));
}
BENCHMARK(BM_LookupSin);

void BM_LibmSin(benchmark::State& state)
{
    const std::vector<float> values = Inputs(-10.0f, 10.0f);
    for (auto _ : state)
        for (float v : values)
            benchmark::DoNotOptimize(std::sin(v));
    state.SetItemsProcessed(int64_t(state.iterations() * values.size()));
}
BENCHMARK(BM_LibmSin);
OMBRISALT_BENCH_PEER(BM_TableSqrt, BM_LibmSqrt);
OMBRISALT_BENCH_PEER(BM_LookupSin, BM_LibmSin);

} // namespace
