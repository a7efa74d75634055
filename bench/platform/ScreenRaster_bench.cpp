// The memory screen's rasteriser on the draws a street frame is made of, at
// 1024 x 768: a whole-pixel opaque backdrop, twelve lot pictures scaled to
// 0.78 at fractional places (filtered; a third of each clear, as a lot's
// corners are), and translucent panels. The SSE2 spans against the plain
// loop (their peer): same bytes, so the ratio is the whole story.
#include "platform/ScreenRaster.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using plat::ScreenBlend;
using plat::ScreenVertex;
using plat::TextureAddress;
using plat::TextureLevel;

// A picture with soft gradients, its outer band clear and its edge half
// transparent; levels halve down to 1.
std::vector<TextureLevel> Picture(uint32_t width, uint32_t height, uint32_t seed)
{
    std::vector<TextureLevel> levels;
    for (uint32_t w = width, h = height; w > 0 && h > 0; w /= 2, h /= 2) {
        TextureLevel level{w, h, {}};
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t band = std::min(std::min(x, w - 1 - x) * 6 / w, std::min(y, h - 1 - y) * 6 / h);
                const uint32_t alpha = band == 0 ? 0u : band == 1 ? 128u : 255u;
                const uint32_t rgb
                    = ((x * 255 / w + seed) & 0xFF) << 16 | ((y * 255 / h) & 0xFF) << 8 | (seed * 37 & 0xFF);
                level.pixels.push_back(alpha << 24 | rgb);
            }
        levels.push_back(std::move(level));
        if (w == 1 && h == 1)
            break;
    }
    return levels;
}

void Quad(plat::CScreenRaster& raster, float x0, float y0, float x1, float y1, float u1, float v1,
          const std::vector<TextureLevel>* texture, uint32_t argb)
{
    const ScreenVertex a{x0, y0, argb, 0, 0}, b{x1, y0, argb, u1, 0}, c{x1, y1, argb, u1, v1}, d{x0, y1, argb, 0, v1};
    raster.DrawTriangle(a, b, c, texture, TextureAddress::Clamp, ScreenBlend::Normal);
    raster.DrawTriangle(a, c, d, texture, TextureAddress::Clamp, ScreenBlend::Normal);
}

void StreetFrame(benchmark::State& state, bool plain)
{
    const bool before = plat::SetPlainScreenRaster(plain);
    std::vector<TextureLevel> backdrop = Picture(1024, 1024, 1);
    for (uint32_t& p : backdrop[0].pixels)
        p |= 0xFF000000u;
    std::vector<std::vector<TextureLevel>> lots;
    for (uint32_t i = 0; i < 12; ++i)
        lots.push_back(Picture(512, 256, i));
    plat::CScreenRaster raster;
    raster.Resize(1024, 768);
    for (auto _ : state) {
        raster.Clear(0);
        Quad(raster, 0, 0, 1024, 768, 1.0f, 0.75f, &backdrop, 0xFFFFFFFFu);
        for (uint32_t i = 0; i < 12; ++i) {
            const float x = 203.58f + float(i % 4) * 163.8f + float(i / 4) * 46.8f, y = 318.24f + float(i / 4) * 109.2f;
            Quad(raster, x, y, x + 215.28f, y + 118.56f, 0.539062f, 0.59375f, &lots[i], 0xFFFFFFFFu);
        }
        for (uint32_t i = 0; i < 4; ++i)
            Quad(raster, 40.0f + float(i) * 240.0f, 20.0f, 240.0f + float(i) * 240.0f, 130.0f, 0, 0, nullptr,
                 0xDC0A0E1Eu);
        benchmark::DoNotOptimize(raster.GetPixels().data());
    }
    plat::SetPlainScreenRaster(before);
}

void BM_StreetFrameRasterised(benchmark::State& state)
{
    StreetFrame(state, false);
}
BENCHMARK(BM_StreetFrameRasterised)->Unit(benchmark::kMillisecond);

void BM_StreetFrameRasterisedPlain(benchmark::State& state)
{
    StreetFrame(state, true);
}
BENCHMARK(BM_StreetFrameRasterisedPlain)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_StreetFrameRasterised, BM_StreetFrameRasterisedPlain);

} // namespace
