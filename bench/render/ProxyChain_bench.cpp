#include "bench/BenchSupport.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "foundation/CPoint.h"
#include "images/CFrame.h"
#include "render/CBatchedProxyFrame.h"
#include "render/CProxyFrame.h"
#include "render/RegisterRenderClasses.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kSprites = 500;

// 500 translucent 64 x 64 sprites scattered over a 1024 x 768 destination,
// partly off its edges.
struct SScene {
    std::unique_ptr<CFrame> destination;
    std::vector<std::unique_ptr<CFrame>> sprites;
    std::vector<CPoint> positions;

    SScene()
    {
        RegisterRenderClasses();
        InitBlitTables();
        destination = CFrame::MakeOwned(1024, 768, 32);
        uint32_t state = 1;
        for (int i = 0; i < 8; ++i) {
            sprites.push_back(CFrame::MakeOwned(64, 64, 32));
            CFrame& sprite = *sprites.back();
            for (uint32_t y = 0; y < 64; ++y)
                for (uint32_t x = 0; x < 64; ++x) {
                    state = state * 1103515245u + 12345u;
                    uint8_t* p = sprite.Row(y) + 4 * x;
                    p[0] = uint8_t(state >> 8), p[1] = uint8_t(state >> 16), p[2] = uint8_t(state >> 24);
                    p[3] = uint8_t(x < 8 || y < 8 ? 0 : x < 16 ? 128 : 255);
                }
        }
        for (int i = 0; i < kSprites; ++i) {
            state = state * 1103515245u + 12345u;
            positions.push_back({int32_t(state >> 8) % 1060 - 30, int32_t(state >> 20) % 800 - 30});
        }
    }

    void Draw(CFrameInterface& target) const
    {
        CBlitType& type = GetTransparentMaskBlitType();
        for (int i = 0; i < kSprites; ++i) {
            CFrame& sprite = *sprites[size_t(i) % sprites.size()];
            const CPoint& at = positions[size_t(i)];
            target.Blit(sprite, {0, 0, 64, 64}, {at.x, at.y, at.x + 64, at.y + 64}, type);
        }
    }
};

const SScene& Scene()
{
    static const SScene scene;
    return scene;
}

void DrawDirect()
{
    Scene().Draw(*Scene().destination);
}

// A child window's usual chain: its offset over the parent's clip.
void DrawThroughTwoProxies()
{
    CClippedProxyFrame clip(Scene().destination.get());
    clip.SetClipRect({0, 0, 1024, 768});
    COffsetProxyFrame offset(&clip, 0, 0);
    Scene().Draw(offset);
}

void BM_SpritesDirect(benchmark::State& state)
{
    for (auto _ : state)
        DrawDirect();
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_SpritesDirect)->Unit(benchmark::kMicrosecond);

void BM_SpritesThroughTwoProxies(benchmark::State& state)
{
    for (auto _ : state)
        DrawThroughTwoProxies();
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_SpritesThroughTwoProxies)->Unit(benchmark::kMicrosecond);
OMBRISALT_BENCH_PEER(BM_SpritesThroughTwoProxies, BM_SpritesDirect);

void BM_SpritesRecordedAndReplayed(benchmark::State& state)
{
    CBatchedProxyFrame batch;
    batch.SetFrame(Scene().destination.get());
    for (auto _ : state) {
        batch.Clear();
        Scene().Draw(batch);
        batch.EndRecording();
        batch.Replay();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_SpritesRecordedAndReplayed)->Unit(benchmark::kMicrosecond);
OMBRISALT_BENCH_PEER(BM_SpritesRecordedAndReplayed, BM_SpritesDirect);

// Both in each iteration; the counter is proxied time over direct time.
void BM_TwoProxiesOverDirectRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    double proxied = 0, direct = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        DrawThroughTwoProxies();
        const auto middle = Clock::now();
        DrawDirect();
        const auto end = Clock::now();
        proxied += std::chrono::duration<double>(middle - start).count();
        direct += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = direct > 0 ? proxied / direct : 0;
}
BENCHMARK(BM_TwoProxiesOverDirectRatio)->Unit(benchmark::kMicrosecond);

} // namespace
