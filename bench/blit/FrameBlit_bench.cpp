// Whole-frame blits against their peers, each pair timed in the same run:
// "Normal" 32 -> 32 against memcpy, "Transparent Mask" 32 -> 32 and 32 -> 16
// against pixman's OVER, and the 24 -> 32 and 8 -> 32 conversions against
// memcpy of the destination's bytes. Counters: Mpix/s of ours and of the
// peer, and ratio = our speed over the peer's (above 1: faster).
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "foundation/CRect.h"
#include "images/CFrame.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kScreenWidth = 1024, kScreenHeight = 768, kSprite = 256;

enum class Alphas { Sprite, Random };

void SetUpTables()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterImagesClasses();
    InitBlitTables();
    std::vector<uint8_t> palette(768);
    std::mt19937 random(9);
    for (uint8_t& b : palette)
        b = uint8_t(random());
    SetGamePalette(palette.data());
}

// Premultiplied-valid pixels (no channel above the alpha), so that pixman's
// input is meaningful. Sprite: an opaque disc with a 4-pixel soft edge in a
// transparent surround; Random: every alpha equally likely.
void FillSprite(CFrame& frame, Alphas alphas)
{
    std::mt19937 random(1);
    const double centre = (kSprite - 1) / 2.0;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
            uint32_t alpha = random() & 0xFF;
            if (alphas == Alphas::Sprite) {
                const double r = std::hypot(x - centre, y - centre);
                alpha = r < 120 ? 255 : r < 124 ? uint32_t(255 * (124 - r) / 4) : 0;
            }
            for (int c = 0; c < 3; ++c)
                row[4 * x + c] = uint8_t(alpha ? random() % (alpha + 1) : 0);
            row[4 * x + 3] = uint8_t(alpha);
        }
    }
}

std::unique_ptr<CFrame> RandomFrame(uint32_t width, uint32_t height, uint32_t depth)
{
    auto frame = CFrame::MakeOwned(width, height, depth);
    std::mt19937 random(2);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width * depth / 8; ++x)
            frame->Row(y)[x] = uint8_t(random());
    return frame;
}

// Runs ours and the peer alternately, each a few times per iteration.
void Compare(benchmark::State& state, double pixels, const std::function<void()>& ours,
             const std::function<void()>& peer)
{
    using Clock = std::chrono::steady_clock;
    double oursTime = 0, peerTime = 0;
    ours();
    peer();
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < 4; ++i)
            ours();
        benchmark::ClobberMemory();
        const auto middle = Clock::now();
        for (int i = 0; i < 4; ++i)
            peer();
        benchmark::ClobberMemory();
        const auto end = Clock::now();
        oursTime += std::chrono::duration<double>(middle - start).count();
        peerTime += std::chrono::duration<double>(end - middle).count();
    }
    const double total = pixels * 4 * double(state.iterations());
    state.counters["Mpix/s"] = oursTime > 0 ? total / oursTime / 1e6 : 0;
    state.counters["peer Mpix/s"] = peerTime > 0 ? total / peerTime / 1e6 : 0;
    state.counters["ratio"] = oursTime > 0 ? peerTime / oursTime : 0;
}

pixman_image_t* PixmanImage(CFrame& frame, pixman_format_code_t format)
{
    return pixman_image_create_bits(format, int(frame.GetWidth()), int(frame.GetHeight()),
                                    reinterpret_cast<uint32_t*>(frame.GetPixels()),
                                    int(frame.GetPitch() * frame.GetBytesPerPixel()));
}

void BM_Normal32To32VsMemcpy(benchmark::State& state)
{
    SetUpTables();
    auto source = RandomFrame(kScreenWidth, kScreenHeight, 32);
    auto destination = CFrame::MakeOwned(kScreenWidth, kScreenHeight, 32);
    const CRect all = SizeToRect(kScreenWidth, kScreenHeight);
    CBlitType& normal = GetNormalBlitType();
    const size_t bytes = size_t(kScreenWidth) * kScreenHeight * 4;
    Compare(
        state, double(kScreenWidth) * kScreenHeight, [&] { destination->Blit(*source, all, all, normal); },
        [&] { std::memcpy(destination->GetPixels(), source->GetPixels(), bytes); });
}
BENCHMARK(BM_Normal32To32VsMemcpy)->Unit(benchmark::kMillisecond);

// Arg 0: alphas (0 sprite, 1 random); arg 1: opacity in percent.
void BM_TransparentMask32To32VsPixmanOver(benchmark::State& state)
{
    SetUpTables();
    const Alphas alphas = state.range(0) == 0 ? Alphas::Sprite : Alphas::Random;
    const float opacity = float(state.range(1)) / 100.0f;
    auto sprite = CFrame::MakeOwned(kSprite, kSprite, 32);
    FillSprite(*sprite, alphas);
    auto ours = RandomFrame(kScreenWidth, kScreenHeight, 32);
    auto theirs = RandomFrame(kScreenWidth, kScreenHeight, 32);
    CBlitType& mask = GetTransparentMaskBlitType();
    pixman_image_t* source = PixmanImage(*sprite, PIXMAN_a8r8g8b8);
    pixman_image_t* destination = PixmanImage(*theirs, PIXMAN_a8r8g8b8);
    pixman_color_t half{0, 0, 0, uint16_t(opacity * 0xFFFF)};
    pixman_image_t* opacityMask = opacity < 1.0f ? pixman_image_create_solid_fill(&half) : nullptr;
    const CRect s = SizeToRect(kSprite, kSprite);
    const CRect d{300, 200, 300 + int32_t(kSprite), 200 + int32_t(kSprite)};
    Compare(
        state, double(kSprite) * kSprite,
        [&] {
            mask.SetOpacity(opacity);
            ours->Blit(*sprite, s, d, mask);
            mask.SetOpacity(1.0f);
        },
        [&] {
            pixman_image_composite32(PIXMAN_OP_OVER, source, opacityMask, destination, 0, 0, 0, 0, 300, 200,
                                     int(kSprite), int(kSprite));
        });
    if (opacityMask)
        pixman_image_unref(opacityMask);
    pixman_image_unref(source);
    pixman_image_unref(destination);
}
BENCHMARK(BM_TransparentMask32To32VsPixmanOver)
    ->ArgNames({"random", "opacity%"})
    ->Args({0, 100})
    ->Args({0, 50})
    ->Args({1, 100})
    ->Args({1, 50});

void BM_TransparentMask32To16VsPixmanOver(benchmark::State& state)
{
    SetUpTables();
    const Alphas alphas = state.range(0) == 0 ? Alphas::Sprite : Alphas::Random;
    auto sprite = CFrame::MakeOwned(kSprite, kSprite, 32);
    FillSprite(*sprite, alphas);
    auto ours = RandomFrame(kScreenWidth, kScreenHeight, 16);
    auto theirs = RandomFrame(kScreenWidth, kScreenHeight, 16);
    CBlitType& mask = GetTransparentMaskBlitType();
    pixman_image_t* source = PixmanImage(*sprite, PIXMAN_a8r8g8b8);
    pixman_image_t* destination = PixmanImage(*theirs, PIXMAN_r5g6b5);
    const CRect s = SizeToRect(kSprite, kSprite);
    const CRect d{300, 200, 300 + int32_t(kSprite), 200 + int32_t(kSprite)};
    Compare(
        state, double(kSprite) * kSprite, [&] { ours->Blit(*sprite, s, d, mask); },
        [&] {
            pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, destination, 0, 0, 0, 0, 300, 200, int(kSprite),
                                     int(kSprite));
        });
    pixman_image_unref(source);
    pixman_image_unref(destination);
}
BENCHMARK(BM_TransparentMask32To16VsPixmanOver)->ArgNames({"random"})->Arg(0)->Arg(1);

// Arg: source depth, 24 or 8.
void BM_NormalConversionTo32VsMemcpy(benchmark::State& state)
{
    SetUpTables();
    auto source = RandomFrame(kScreenWidth, kScreenHeight, uint32_t(state.range(0)));
    auto destination = CFrame::MakeOwned(kScreenWidth, kScreenHeight, 32);
    auto copy = CFrame::MakeOwned(kScreenWidth, kScreenHeight, 32);
    const CRect all = SizeToRect(kScreenWidth, kScreenHeight);
    CBlitType& normal = GetNormalBlitType();
    const size_t bytes = size_t(kScreenWidth) * kScreenHeight * 4;
    Compare(
        state, double(kScreenWidth) * kScreenHeight, [&] { destination->Blit(*source, all, all, normal); },
        [&] { std::memcpy(destination->GetPixels(), copy->GetPixels(), bytes); });
}
BENCHMARK(BM_NormalConversionTo32VsMemcpy)->ArgName("depth")->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace
