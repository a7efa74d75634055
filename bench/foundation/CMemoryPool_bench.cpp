// The small-block pool against glibc malloc on the same churn: 4,096 live
// blocks of 8 to 256 bytes, one freed and one allocated per step, in a fixed
// pseudo-random order of sizes and slots. Built without OMBRISALT_POOL_MALLOC
// the pool is the real one; with it both sides are malloc.
#include "bench/BenchSupport.h"
#include "foundation/CMemoryPool.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr size_t kLive = 4096;
constexpr size_t kSteps = 1 << 16;

struct Step {
    uint32_t slot;
    uint32_t size;
};

const std::vector<Step>& Steps()
{
    static const std::vector<Step> steps = [] {
        std::vector<Step> made(kSteps);
        uint32_t state = 12345;
        for (Step& step : made) {
            state = state * 1664525u + 1013904223u;
            step.slot = (state >> 8) % kLive;
            step.size = 8 + ((state >> 20) % 249);
        }
        return made;
    }();
    return steps;
}

struct Pool {
    static void* Allocate(size_t size) { return PoolAllocate(size); }
    static void Free(void* block, size_t size) { PoolFree(block, size); }
};

struct Malloc {
    static void* Allocate(size_t size) { return std::malloc(size); }
    static void Free(void* block, size_t) { std::free(block); }
};

template <typename Allocator>
void Churn(benchmark::State& state)
{
    const std::vector<Step>& steps = Steps();
    std::vector<void*> blocks(kLive);
    std::vector<uint32_t> sizes(kLive, 64);
    for (size_t i = 0; i < kLive; ++i)
        blocks[i] = Allocator::Allocate(sizes[i]);
    for (auto _ : state) {
        for (const Step& step : steps) {
            Allocator::Free(blocks[step.slot], sizes[step.slot]);
            blocks[step.slot] = Allocator::Allocate(step.size);
            sizes[step.slot] = step.size;
            benchmark::DoNotOptimize(blocks[step.slot]);
        }
    }
    for (size_t i = 0; i < kLive; ++i)
        Allocator::Free(blocks[i], sizes[i]);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kSteps));
}

void BM_PoolChurn(benchmark::State& state)
{
    Churn<Pool>(state);
}
BENCHMARK(BM_PoolChurn)->Unit(benchmark::kMicrosecond);

void BM_MallocChurn(benchmark::State& state)
{
    Churn<Malloc>(state);
}
BENCHMARK(BM_MallocChurn)->Unit(benchmark::kMicrosecond);
OMBRISALT_BENCH_PEER(BM_PoolChurn, BM_MallocChurn);

} // namespace
