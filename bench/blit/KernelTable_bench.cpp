// The 16-bit four-pixel blend on SSE2 against its plain form, and what the
// kernel table's dispatch costs per run against calling the loop directly.
#include "blit/KernelTable.h"
#include "blit/KernelTable_SSE2.h"
#include "blit/PixelBlends.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using BlendRun = void (*)(uint8_t*, uint16_t, uint8_t, uint32_t);

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes)
        b = uint8_t(random());
    return bytes;
}

void RunBlend(benchmark::State& state, BlendRun blend)
{
    const uint32_t width = uint32_t(state.range(0));
    std::vector<uint8_t> pixels = RandomBytes(2 * width, 1);
    for (auto _ : state) {
        blend(pixels.data(), 0xA5A5, 128, width);
        benchmark::ClobberMemory();
    }
    state.counters["Mpix/s"]
        = benchmark::Counter(double(state.iterations()) * width / 1e6, benchmark::Counter::kIsRate);
}

void BM_Blend565GroupsPlain(benchmark::State& state)
{
    RunBlend(state, &BlendRun565FastPlain);
}
void BM_Blend565GroupsSse2(benchmark::State& state)
{
    RunBlend(state, &BlendRun565FastSse2);
}
BENCHMARK(BM_Blend565GroupsPlain)->Arg(16)->Arg(64)->Arg(1024);
BENCHMARK(BM_Blend565GroupsSse2)->Arg(16)->Arg(64)->Arg(1024);

// Both forms in each iteration; the counter is plain time over SSE2 time.
void BM_Blend565PlainOverSse2Ratio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const uint32_t width = uint32_t(state.range(0));
    std::vector<uint8_t> pixels = RandomBytes(2 * width, 2);
    double plain = 0, sse2 = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < 64; ++i)
            BlendRun565FastPlain(pixels.data(), 0x5A5A, uint8_t(i * 4), width);
        benchmark::ClobberMemory();
        const auto middle = Clock::now();
        for (int i = 0; i < 64; ++i)
            BlendRun565FastSse2(pixels.data(), 0x5A5A, uint8_t(i * 4), width);
        benchmark::ClobberMemory();
        const auto end = Clock::now();
        plain += std::chrono::duration<double>(middle - start).count();
        sse2 += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = sse2 > 0 ? plain / sse2 : 0;
}
BENCHMARK(BM_Blend565PlainOverSse2Ratio)->Arg(16)->Arg(64)->Arg(1024);

// Runs of 1 to 63 pixels as a run-length row has them.
struct SRuns {
    std::vector<uint32_t> counts;
    std::vector<uint8_t> dst, src, alpha;
    uint32_t totalPixels = 0;
};

SRuns MakeRuns()
{
    SRuns runs;
    std::mt19937 random(3);
    for (int i = 0; i < 4096; ++i) {
        const uint32_t n = 1 + random() % 63;
        runs.counts.push_back(n);
        runs.totalPixels += n;
    }
    runs.dst = RandomBytes(2 * 64, 4);
    runs.src = RandomBytes(2 * 64, 5);
    runs.alpha = RandomBytes(64, 6);
    return runs;
}

template <bool ThroughTable>
void RunDispatch(benchmark::State& state, KernelRow row)
{
    SRuns runs = MakeRuns();
    static const uint32_t opacity[256] = {};
    SBlitArgs args;
    args.tables.opacityRow = opacity;
    SRun run;
    run.dst = runs.dst.data();
    run.src = runs.src.data();
    run.alpha = runs.alpha.data();
    const KernelTable& table = BlitKernelTable();
    const RunKernel general = table[uint32_t(row)][63];
    for (auto _ : state) {
        for (uint32_t n : runs.counts) {
            if (ThroughTable)
                table[uint32_t(row)][n](args, run, n);
            else
                general(args, run, n);
        }
        benchmark::ClobberMemory();
    }
    state.counters["ns/run"] = benchmark::Counter(double(state.iterations()) * double(runs.counts.size()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["Mpix/s"]
        = benchmark::Counter(double(state.iterations()) * runs.totalPixels / 1e6, benchmark::Counter::kIsRate);
}

void BM_DispatchCopy16Table(benchmark::State& state)
{
    RunDispatch<true>(state, KernelRow::Copy16);
}
void BM_DispatchCopy16GeneralLoop(benchmark::State& state)
{
    RunDispatch<false>(state, KernelRow::Copy16);
}
void BM_DispatchAlphaBlend16Table(benchmark::State& state)
{
    RunDispatch<true>(state, KernelRow::AlphaBlend16);
}
void BM_DispatchAlphaBlend16GeneralLoop(benchmark::State& state)
{
    RunDispatch<false>(state, KernelRow::AlphaBlend16);
}
BENCHMARK(BM_DispatchCopy16Table);
BENCHMARK(BM_DispatchCopy16GeneralLoop);
BENCHMARK(BM_DispatchAlphaBlend16Table);
BENCHMARK(BM_DispatchAlphaBlend16GeneralLoop);

} // namespace
