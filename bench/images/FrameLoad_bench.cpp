#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CPNGFileIO.h"
#include "images/CTGAFileIO.h"
#include "images/FrameCache.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kFrames = 200;
constexpr uint32_t kSide = 96;

// Pixels of a sprite: an opaque disc with soft edges on transparency, its
// colours varying with the seed.
std::vector<uint8_t> SpritePixels(uint32_t w, uint32_t h, uint32_t seed)
{
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const int dx = int(x) - int(w / 2), dy = int(y) - int(h / 2);
            const int d = dx * dx + dy * dy, r = int(w * w / 5);
            uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
            p[0] = uint8_t(x * 2 + seed);
            p[1] = uint8_t(y * 3 + seed * 7);
            p[2] = uint8_t((x ^ y) + seed);
            p[3] = d < r ? 255 : d < r + 200 ? uint8_t(255 - (d - r)) : 0;
        }
    return rgba;
}

// The folder of 200 PNG frames, made once; the working folder moves there.
const std::filesystem::path& FrameFolder()
{
    static const std::filesystem::path folder = [] {
        RegisterImagesClasses();
        CFrame::SetGlobalBitDepth(16);
        std::filesystem::path made = bench::MakeFolder("frames");
        std::filesystem::create_directories(made / "Art");
        for (uint32_t i = 0; i < kFrames; ++i)
            bench::WritePng((made / "Art" / ("f" + std::to_string(i) + ".png")).string(), SpritePixels(kSide, kSide, i),
                            kSide, kSide);
        return made;
    }();
    std::filesystem::current_path(folder);
    return folder;
}

void LoadAll()
{
    for (uint32_t i = 0; i < kFrames; ++i) {
        CFrame frame;
        benchmark::DoNotOptimize(frame.Load("Art", ("f" + std::to_string(i)).c_str(), nullptr, 0, 0));
    }
}

void BM_LoadFramesFromSource(benchmark::State& state)
{
    const std::filesystem::path& folder = FrameFolder();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder / "Cache");
        state.ResumeTiming();
        LoadAll();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames);
}
BENCHMARK(BM_LoadFramesFromSource)->Unit(benchmark::kMillisecond);

void BM_LoadFramesFromCache(benchmark::State& state)
{
    FrameFolder();
    LoadAll(); // builds the caches
    for (auto _ : state)
        LoadAll();
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames);
}
BENCHMARK(BM_LoadFramesFromCache)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_LoadFramesFromCache, BM_LoadFramesFromSource);

// One 1024 x 768 32-bit sprite sheet as a run-length TGA and as a PNG.
struct SEncoded {
    std::string tga, png;
    size_t pixelBytes = 1024 * 768 * 4;
};

const SEncoded& Encoded()
{
    static const SEncoded encoded = [] {
        RegisterImagesClasses();
        const std::filesystem::path folder = bench::MakeFolder("decode");
        const std::vector<uint8_t> rgba = SpritePixels(1024, 768, 3);
        CFrame frame;
        frame.Create(1024, 768, 32);
        for (size_t i = 0; i < rgba.size(); i += 4) {
            frame.GetPixels()[i] = rgba[i + 2];
            frame.GetPixels()[i + 1] = rgba[i + 1];
            frame.GetPixels()[i + 2] = rgba[i];
            frame.GetPixels()[i + 3] = rgba[i + 3];
        }
        CTGAFileIO writer;
        writer.WriteImageFile(frame, (folder / "sheet.tga").c_str(), 0);
        bench::WritePng((folder / "sheet.png").string(), rgba, 1024, 768);
        SEncoded made;
        std::ifstream tga(folder / "sheet.tga", std::ios::binary), png(folder / "sheet.png", std::ios::binary);
        made.tga.assign(std::istreambuf_iterator<char>(tga), {});
        made.png.assign(std::istreambuf_iterator<char>(png), {});
        return made;
    }();
    return encoded;
}

template <typename Reader>
void Decode(benchmark::State& state, const std::string& bytes)
{
    Reader reader;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    for (auto _ : state) {
        CFrame frame;
        if (!reader.DecodeFromMemory(frame, data, uint32_t(bytes.size()), "bench", 32) || frame.GetWidth() != 1024) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(frame.GetPixels());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Encoded().pixelBytes));
}

void BM_DecodeTga(benchmark::State& state)
{
    Decode<CTGAFileIO>(state, Encoded().tga);
}
BENCHMARK(BM_DecodeTga)->Unit(benchmark::kMillisecond);

void BM_DecodePngLibpng(benchmark::State& state)
{
    Decode<CPNGFileIO>(state, Encoded().png);
}
BENCHMARK(BM_DecodePngLibpng)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_DecodeTga, BM_DecodePngLibpng);

} // namespace
