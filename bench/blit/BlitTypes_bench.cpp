// "Normal Scale" stretching a 544 x 400 video frame to 1024 x 768 against
// pixman's nearest-filter scaled composite (ratio below 1: ours is faster),
// a 32 x 32 tile wrapped over 1024 x 768, and 10,000 random anti-aliased
// lines in a 1024 x 768 frame.
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CBlitWrap.h"
#include "blit/CColor.h"
#include "blit/ColorTables.h"
#include "blit/DrawLineAA.h"
#include "images/CFrame.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::unique_ptr<CFrame> RandomFrame(uint32_t width, uint32_t height, uint32_t depth, uint32_t seed)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, height, depth);
    std::mt19937 random(seed);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t b = 0; b < width * depth / 8; ++b)
            frame->Row(y)[b] = uint8_t(random());
    return frame;
}

struct SScaleSetup {
    std::unique_ptr<CFrame> source = RandomFrame(544, 400, 32, 1);
    std::unique_ptr<CFrame> destination = RandomFrame(1024, 768, 32, 2);
    CBlitType* type = nullptr;
    BlitFunction routine = nullptr;
    pixman_image_t* pixmanSource = nullptr;
    pixman_image_t* pixmanDestination = nullptr;

    SScaleSetup()
    {
        RegisterImagesClasses();
        InitBlitTables();
        CBlitTypeList& list = CBlitTypeList::SGetInstance();
        type = list.GetBlitType(list.Find("Normal Scale"));
        routine = type->GetBlitFunction(*source, *destination);
        pixmanSource = pixman_image_create_bits(PIXMAN_a8r8g8b8, 544, 400,
                                                reinterpret_cast<uint32_t*>(source->GetPixels()), 544 * 4);
        pixmanDestination = pixman_image_create_bits(PIXMAN_a8r8g8b8, 1024, 768,
                                                     reinterpret_cast<uint32_t*>(destination->GetPixels()), 1024 * 4);
        pixman_transform_t transform;
        pixman_transform_init_scale(&transform, pixman_double_to_fixed(544.0 / 1024.0),
                                    pixman_double_to_fixed(400.0 / 768.0));
        pixman_image_set_transform(pixmanSource, &transform);
        pixman_image_set_filter(pixmanSource, PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
    ~SScaleSetup()
    {
        pixman_image_unref(pixmanSource);
        pixman_image_unref(pixmanDestination);
    }
    void Ours() { routine(*source, {0, 0, 544, 400}, *destination, {0, 0, 1024, 768}, *type); }
    void Pixman()
    {
        pixman_image_composite32(PIXMAN_OP_SRC, pixmanSource, nullptr, pixmanDestination, 0, 0, 0, 0, 0, 0, 1024, 768);
    }
};

void SetPixelRate(benchmark::State& state, double pixelsPerIteration)
{
    state.counters["Mpix/s"]
        = benchmark::Counter(double(state.iterations()) * pixelsPerIteration / 1e6, benchmark::Counter::kIsRate);
}

void BM_NormalScale544x400To1024x768(benchmark::State& state)
{
    SScaleSetup setup;
    for (auto _ : state) {
        setup.Ours();
        benchmark::ClobberMemory();
    }
    SetPixelRate(state, 1024.0 * 768.0);
}
BENCHMARK(BM_NormalScale544x400To1024x768)->Unit(benchmark::kMicrosecond);

void BM_PixmanNearestScale544x400To1024x768(benchmark::State& state)
{
    SScaleSetup setup;
    for (auto _ : state) {
        setup.Pixman();
        benchmark::ClobberMemory();
    }
    SetPixelRate(state, 1024.0 * 768.0);
}
BENCHMARK(BM_PixmanNearestScale544x400To1024x768)->Unit(benchmark::kMicrosecond);

// Both in each iteration; the counter is our time over pixman's.
void BM_NormalScaleOverPixmanRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    SScaleSetup setup;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        setup.Ours();
        benchmark::ClobberMemory();
        const auto middle = Clock::now();
        setup.Pixman();
        benchmark::ClobberMemory();
        const auto end = Clock::now();
        ours += std::chrono::duration<double>(middle - start).count();
        theirs += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
}
BENCHMARK(BM_NormalScaleOverPixmanRatio)->Unit(benchmark::kMicrosecond);

void RunWrap(benchmark::State& state, CBlitType& type)
{
    RegisterImagesClasses();
    InitBlitTables();
    std::unique_ptr<CFrame> tile = RandomFrame(32, 32, 32, 3);
    std::unique_ptr<CFrame> destination = RandomFrame(1024, 768, 32, 4);
    const BlitFunction routine = type.GetBlitFunction(*tile, *destination);
    for (auto _ : state) {
        routine(*tile, {5, 7, 6, 8}, *destination, {0, 0, 1024, 768}, type);
        benchmark::ClobberMemory();
    }
    SetPixelRate(state, 1024.0 * 768.0);
}

// Tiles drawn one by one through "Transparent Mask".
void BM_WrapAny32x32Over1024x768(benchmark::State& state)
{
    RunWrap(state, GetWrapAnyBlitType());
}
BENCHMARK(BM_WrapAny32x32Over1024x768)->Unit(benchmark::kMicrosecond);

void BM_WrapPow2Masked32x32Over1024x768(benchmark::State& state)
{
    RunWrap(state, GetWrapPow2BlitType());
}
BENCHMARK(BM_WrapPow2Masked32x32Over1024x768)->Unit(benchmark::kMicrosecond);

void BM_DrawLineAA10000Lines1024x768(benchmark::State& state)
{
    RegisterImagesClasses();
    InitBlitTables();
    const uint32_t depth = uint32_t(state.range(0));
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(1024, 768, depth);
    std::mt19937 random(6);
    std::uniform_real_distribution<float> x(-50.0f, 1074.0f), y(-50.0f, 818.0f);
    std::vector<float> ends(4 * 10000);
    for (size_t i = 0; i < ends.size(); i += 4) {
        ends[i] = x(random);
        ends[i + 1] = y(random);
        ends[i + 2] = x(random);
        ends[i + 3] = y(random);
    }
    CColor colour(200, 120, 40, 255);
    for (auto _ : state) {
        for (size_t i = 0; i < ends.size(); i += 4)
            DrawLineAA(*frame, ends[i], ends[i + 1], ends[i + 2], ends[i + 3], colour);
        benchmark::ClobberMemory();
    }
    state.counters["lines/s"] = benchmark::Counter(double(state.iterations()) * 10000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawLineAA10000Lines1024x768)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

} // namespace
