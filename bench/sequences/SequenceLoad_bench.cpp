// Start-up cost of the sequences: 45 folders of 30 frames (96 x 96 PNG)
// built from their images against read from their caches.
#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "images/CFrame.h"
#include "objects/CObject.h"
#include "sequences/CSequence.h"
#include "sequences/RegisterSequencesClasses.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kSequences = 45;
constexpr uint32_t kFrames = 30;
constexpr uint32_t kSide = 96;

// An opaque disc with soft edges that moves with the frame.
std::vector<uint8_t> FramePixels(uint32_t sequence, uint32_t frame)
{
    std::vector<uint8_t> rgba(size_t(kSide) * kSide * 4);
    const int cx = 30 + int(frame), cy = 48, r = 900;
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const int d = (int(x) - cx) * (int(x) - cx) + (int(y) - cy) * (int(y) - cy);
            uint8_t* p = &rgba[(size_t(y) * kSide + x) * 4];
            p[0] = uint8_t(x * 2 + sequence);
            p[1] = uint8_t(y * 3 + frame * 7);
            p[2] = uint8_t((x ^ y) + sequence);
            p[3] = d < r ? 255 : d < r + 200 ? uint8_t(255 - (d - r)) : 0;
        }
    return rgba;
}

std::string Name(uint32_t i)
{
    return "S" + std::to_string(i);
}

// The 45 folders, made once; the working folder moves there.
const std::filesystem::path& SequenceFolder()
{
    static const std::filesystem::path folder = [] {
        RegisterObjectClasses();
        RegisterImagesClasses();
        RegisterSequencesClasses();
        CFrame::SetGlobalBitDepth(16);
        std::filesystem::path made = bench::MakeFolder("sequences");
        for (uint32_t s = 0; s < kSequences; ++s) {
            const std::filesystem::path images = made / "Seqs" / ("-" + Name(s));
            std::filesystem::create_directories(images);
            for (uint32_t f = 0; f < kFrames; ++f)
                bench::WritePng((images / ("f" + std::to_string(100 + f) + ".png")).string(), FramePixels(s, f), kSide,
                                kSide);
        }
        return made;
    }();
    std::filesystem::current_path(folder);
    return folder;
}

void LoadAll()
{
    for (uint32_t s = 0; s < kSequences; ++s) {
        CSequence sequence;
        benchmark::DoNotOptimize(sequence.Load("Seqs", Name(s).c_str(), nullptr));
    }
}

void BM_LoadSequencesFromImages(benchmark::State& state)
{
    const std::filesystem::path& folder = SequenceFolder();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder / "Cache");
        state.ResumeTiming();
        LoadAll();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSequences * kFrames);
}
BENCHMARK(BM_LoadSequencesFromImages)->Unit(benchmark::kMillisecond);

void BM_LoadSequencesFromCache(benchmark::State& state)
{
    SequenceFolder();
    LoadAll(); // builds the caches
    for (auto _ : state)
        LoadAll();
    state.SetItemsProcessed(int64_t(state.iterations()) * kSequences * kFrames);
}
BENCHMARK(BM_LoadSequencesFromCache)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_LoadSequencesFromCache, BM_LoadSequencesFromImages);

} // namespace
