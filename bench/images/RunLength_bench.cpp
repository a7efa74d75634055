// A sprite with a transparent surround drawn from its run-length form
// against the same sprite drawn raw ("Transparent Mask" both ways), into 16
// and 32 bits; and the best palette of a 512 x 512 image.
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr uint32_t kSide = 256;

// An opaque disc with a soft 4-pixel edge in a transparent square.
std::unique_ptr<CFrame> Sprite()
{
    auto frame = CFrame::MakeOwned(kSide, kSide, 32);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const double d = std::hypot(double(x) - 128, double(y) - 128);
            uint8_t* p = frame->Row(y) + 4 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t((x * y) >> 8);
            p[3] = d < 96 ? 255 : d < 100 ? uint8_t(255 * (100 - d) / 4) : 0;
        }
    return frame;
}

std::unique_ptr<CFrame> RunLengthSprite(const CFrame& sprite)
{
    auto frame = CFrame::MakeOwned(kSide, kSide, 32);
    frame->CopyFrom(const_cast<CFrame*>(&sprite));
    SetRunLengthEncodingEnabled(true);
    CFrameFilter chain;
    chain.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands));
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 16));
    chain.ApplyAll(*frame);
    SetRunLengthEncodingEnabled(false);
    return frame;
}

// Run-length time over raw time, both measured in every iteration. The raw
// peer holds the sprite at rawDepth.
void RunLengthOverRaw(benchmark::State& state, uint32_t destinationDepth, uint32_t rawDepth)
{
    using Clock = std::chrono::steady_clock;
    RegisterImagesClasses();
    auto sprite = Sprite();
    auto encoded = RunLengthSprite(*sprite);
    // The raw peer is the sprite at the depth it would be built for.
    auto raw = CFrame::MakeOwned(kSide, kSide, 32);
    raw->CopyFrom(sprite.get());
    if (rawDepth == 16)
        ChangeFrameBitDepth(*raw, 16, Dither::Off);
    auto destination = CFrame::MakeOwned(1024, 768, destinationDepth);
    CBlitType& type = GetTransparentMaskBlitType();
    const CRect s = {0, 0, int32_t(kSide), int32_t(kSide)};
    double rle = 0, plain = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < 16; ++i)
            destination->Blit(*encoded, s, {100 + i, 100, 100 + i + 256, 356}, type);
        benchmark::ClobberMemory();
        const auto middle = Clock::now();
        for (int i = 0; i < 16; ++i)
            destination->Blit(*raw, s, {100 + i, 100, 100 + i + 256, 356}, type);
        benchmark::ClobberMemory();
        const auto end = Clock::now();
        rle += std::chrono::duration<double>(middle - start).count();
        plain += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["rle/raw"] = plain > 0 ? rle / plain : 0;
    state.counters["rle us/sprite"] = rle / double(state.iterations()) / 16 * 1e6;
    state.counters["raw us/sprite"] = plain / double(state.iterations()) / 16 * 1e6;
}

// Into 16 bits against the raw 16-bit sprite; into 32 bits against the raw
// 16-bit sprite (the same pixels) and against the raw 32-bit sprite.
void BM_Into16OverRaw16(benchmark::State& state)
{
    RunLengthOverRaw(state, 16, 16);
}
void BM_Into32OverRaw16(benchmark::State& state)
{
    RunLengthOverRaw(state, 32, 16);
}
void BM_Into32OverRaw32(benchmark::State& state)
{
    RunLengthOverRaw(state, 32, 32);
}
BENCHMARK(BM_Into16OverRaw16);
BENCHMARK(BM_Into32OverRaw16);
BENCHMARK(BM_Into32OverRaw32);

void BM_BestPalette512(benchmark::State& state)
{
    RegisterImagesClasses();
    auto image = CFrame::MakeOwned(512, 512, 32);
    for (uint32_t y = 0; y < 512; ++y)
        for (uint32_t x = 0; x < 512; ++x) {
            uint8_t* p = image->Row(y) + 4 * x;
            p[0] = uint8_t(x / 2);
            p[1] = uint8_t(y / 2);
            p[2] = uint8_t((x + y) / 4 + ((x * 7 + y * 13) & 15));
            p[3] = 255;
        }
    CFilterCreateBestPalette filter;
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.Apply(*image, {}));
}
BENCHMARK(BM_BestPalette512)->Unit(benchmark::kMillisecond);

} // namespace
