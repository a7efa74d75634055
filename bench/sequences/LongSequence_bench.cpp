// Start-up cost of one very long sequence: a folder of tiny images (1 to 4
// pixels a side, so every frame moves the bounds) built from the images and
// read from its cache. The cost per frame must not grow with the length.
#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "sequences/CSequence.h"
#include "sequences/RegisterSequencesClasses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// "Seqs/-Long" with count images, made once per count; the working folder
// moves there.
const std::filesystem::path& LongFolder(uint32_t count)
{
    static std::map<uint32_t, std::filesystem::path> made;
    auto found = made.find(count);
    if (found == made.end()) {
        RegisterObjectClasses();
        RegisterImagesClasses();
        RegisterSequencesClasses();
        CFrame::SetGlobalBitDepth(16);
        const std::filesystem::path folder = bench::MakeFolder("long_sequence_" + std::to_string(count));
        const std::filesystem::path images = folder / "Seqs" / "-Long";
        std::filesystem::create_directories(images);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t side = 1 + i % 4;
            std::vector<uint8_t> rgba(size_t(side) * side * 4, uint8_t(i));
            for (size_t p = 3; p < rgba.size(); p += 4)
                rgba[p] = 255;
            bench::WritePng((images / ("f" + std::to_string(1000000 + i) + ".png")).string(), rgba, side, side);
        }
        found = made.emplace(count, folder).first;
    }
    std::filesystem::current_path(found->second);
    return found->second;
}

void Load(benchmark::State& state)
{
    CSequence sequence;
    benchmark::DoNotOptimize(sequence.Load("Seqs", "Long", nullptr));
    if (sequence.GetFrameCount() != uint32_t(state.range(0)))
        state.SkipWithError("frames missing");
}

void CountFrames(benchmark::State& state)
{
    const double frames = double(state.range(0));
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
    state.counters["per frame"]
        = benchmark::Counter(frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LongSequenceFromImages(benchmark::State& state)
{
    const std::filesystem::path& folder = LongFolder(uint32_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder / "Cache");
        state.ResumeTiming();
        Load(state);
    }
    CountFrames(state);
}
BENCHMARK(BM_LongSequenceFromImages)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LongSequenceFromCache(benchmark::State& state)
{
    LongFolder(uint32_t(state.range(0)));
    Load(state); // builds the cache
    for (auto _ : state)
        Load(state);
    CountFrames(state);
}
BENCHMARK(BM_LongSequenceFromCache)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
