#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "render/CBlurRenderer.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kSprites = 500;
constexpr int kSpriteSize = 64;

struct SSprite {
    float x, y, angle, scale;
};

// A round sprite with a soft edge and a colour gradient, and 500 random
// placements, angles and scales (0.5 to 1.5) over a 1024 x 768 frame.
struct SScene {
    std::unique_ptr<CFrame> sprite = CFrame::MakeOwned(kSpriteSize, kSpriteSize, 32);
    std::vector<uint32_t> premultiplied = std::vector<uint32_t>(kSpriteSize * kSpriteSize);
    std::vector<SSprite> sprites;

    SScene()
    {
        RegisterShapeAndBlitClasses();
        for (int y = 0; y < kSpriteSize; ++y)
            for (int x = 0; x < kSpriteSize; ++x) {
                const float d = std::hypot(x - 31.5f, y - 31.5f);
                const uint32_t a = d < 28 ? 255 : d < 32 ? uint32_t((32 - d) * 63.75f) : 0;
                uint8_t* p = sprite->Row(uint32_t(y)) + 4 * x;
                p[0] = uint8_t(x * 4), p[1] = uint8_t(y * 4), p[2] = 128, p[3] = uint8_t(a);
                const uint32_t b = (p[0] * a + 127) / 255, g = (p[1] * a + 127) / 255, r = (p[2] * a + 127) / 255;
                premultiplied[size_t(y * kSpriteSize + x)] = a << 24 | r << 16 | g << 8 | b;
            }
        std::mt19937 random(7);
        std::uniform_real_distribution<float> px(0, 1024), py(0, 768), angle(0, 360), scale(0.5f, 1.5f);
        for (int i = 0; i < kSprites; ++i)
            sprites.push_back({px(random), py(random), angle(random), scale(random)});
    }
};

SScene& Scene()
{
    static SScene scene;
    return scene;
}

void DrawOurs(CFrame& target)
{
    SScene& s = Scene();
    for (const SSprite& p : s.sprites) {
        CBlitXParams blit(s.sprite.get(), p.x, p.y, p.angle, p.scale, p.scale, CColor(255, 255, 255, 255), 0, 32.0f,
                          32.0f, true);
        target.Render(blit);
    }
}

void DrawPixman(pixman_image_t* target, pixman_image_t* sprite)
{
    SScene& s = Scene();
    for (const SSprite& p : s.sprites) {
        // Destination to source: translate, rotate back, scale back, hot spot.
        const double a = p.angle * M_PI / 180.0, c = std::cos(a), sn = std::sin(a), k = 1.0 / p.scale;
        pixman_transform_t t;
        pixman_transform_init_identity(&t);
        pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-p.x), pixman_double_to_fixed(-p.y));
        pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(c), pixman_double_to_fixed(-sn));
        pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(k), pixman_double_to_fixed(k));
        pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(32), pixman_int_to_fixed(32));
        pixman_image_set_transform(sprite, &t);
        const int half = int(std::ceil(kSpriteSize * p.scale * 0.7072)) + 1;
        pixman_image_composite32(PIXMAN_OP_OVER, sprite, nullptr, target, int(p.x) - half, int(p.y) - half, 0, 0,
                                 int(p.x) - half, int(p.y) - half, 2 * half, 2 * half);
    }
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// 500 rotated and scaled 64 x 64 sprites into 1024 x 768 with bilinear
// sampling, ours against pixman's transformed OVER composite of the same
// (premultiplied) sprites; "ratio" is our time over pixman's (below 1: faster).
void BM_RotatedSpritesAgainstPixman(benchmark::State& state)
{
    SScene& s = Scene();
    std::unique_ptr<CFrame> ours = CFrame::MakeOwned(1024, 768, 32);
    std::vector<uint32_t> theirs(1024 * 768);
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, 1024, 768, theirs.data(), 1024 * 4);
    pixman_image_t* sprite
        = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSpriteSize, kSpriteSize, s.premultiplied.data(), kSpriteSize * 4);
    pixman_image_set_filter(sprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(sprite, PIXMAN_REPEAT_NONE);
    double oursSeconds = 0, pixmanSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        DrawOurs(*ours);
        oursSeconds += Seconds(start);
        start = std::chrono::steady_clock::now();
        DrawPixman(target, sprite);
        pixmanSeconds += Seconds(start);
        benchmark::DoNotOptimize(ours->Row(0));
        benchmark::DoNotOptimize(theirs.data());
    }
    pixman_image_unref(sprite);
    pixman_image_unref(target);
    const double runs = double(state.iterations());
    state.counters["ours_ms"] = oursSeconds / runs * 1e3;
    state.counters["pixman_ms"] = pixmanSeconds / runs * 1e3;
    state.counters["ratio"] = pixmanSeconds > 0 ? oursSeconds / pixmanSeconds : 0.0;
}
BENCHMARK(BM_RotatedSpritesAgainstPixman)->Unit(benchmark::kMillisecond);

// A 1024 x 768 frame blurred at radius 8; argument 0 the stack blur, 1 the
// recursive blur.
void BM_Blur1024x768Radius8(benchmark::State& state)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(1024, 768, 32);
    std::mt19937 random(3);
    for (uint32_t y = 0; y < 768; ++y)
        for (uint32_t x = 0; x < 4096; ++x)
            frame->Row(y)[x] = uint8_t(random());
    CBlurRenderer blur(8.0f, state.range(0) ? CBlurRenderer::kRecursive : 0);
    for (auto _ : state) {
        frame->Render(blur);
        benchmark::DoNotOptimize(frame->Row(0));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1024 * 768);
}
BENCHMARK(BM_Blur1024x768Radius8)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
