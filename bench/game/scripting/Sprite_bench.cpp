// A busy layer: 2,000 sprites of one 32 x 32 frame with soft alpha edges over
// a 1024 x 768 frame, a tenth of them turned or scaled and a tenth tinted.
//   - drawing the array (three passes per sprite) against the same frames
//     blitted in a plain loop; goal: under 1.3 times the plain loop;
//   - the pixel hit test of one point that no sprite covers, over all
//     2,000; goal: under 1 ms.
#include "bench/BenchSupport.h"
#include "blit/CBlitTypeList.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "images/CFrame.h"
#include "render/CBlitXParams.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSprites = 2000;
constexpr int kSide = 32;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// No sprite covers this point.
constexpr int kMissX = 512;
constexpr int kMissY = 384;

// A 32-bit TGA, rows top to bottom, of a disc with a soft edge.
void WriteBallTga(const std::filesystem::path& path)
{
    std::string bytes("\0\0\2\0\0\0\0\0\0\0\0\0", 12);
    for (int v : {kSide, kSide}) {
        bytes.push_back(char(v & 0xFF));
        bytes.push_back(char(v >> 8));
    }
    bytes.push_back(32);
    bytes.push_back(0x28);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const float d = std::hypot(float(x) - 15.5f, float(y) - 15.5f);
            const int a = d < 13 ? 255 : d < 16 ? int((16 - d) * 85) : 0;
            bytes += {char(x * 8), char(y * 8), char(160), char(a)};
        }
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

struct SLayer {
    CSpriteArray sprites;
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(kWidth, kHeight, 32);

    SLayer()
    {
        RegisterGameScriptingClasses();
        CFrame::SetGlobalBitDepth(32);
        const std::filesystem::path folder = bench::MakeFolder("sprites");
        for (const char* name : {"!None", "Ball"})
            std::filesystem::create_directories(folder / "Seqs" / (std::string("-") + name));
        WriteBallTga(folder / "Seqs" / "-!None" / "a.tga");
        WriteBallTga(folder / "Seqs" / "-Ball" / "a.tga");
        std::filesystem::current_path(folder);
        GetSequenceList().SetSource(nullptr, "Seqs", 0);
        const int32_t ball = GetSequenceList().Find("Ball");

        std::mt19937 random(11);
        std::uniform_real_distribution<float> px(0, kWidth), py(0, kHeight), angle(0.0f, 6.28f), scale(0.5f, 1.5f);
        for (int i = 0; i < kSprites; ++i) {
            float x = px(random), y = py(random);
            // Keep clear of the missed point, at any turn or scale.
            while (std::fabs(x - float(kMissX)) < 40 && std::fabs(y - float(kMissY)) < 40)
                x = px(random), y = py(random);
            auto* sprite = new CSprite;
            sprite->SetImageSequence(uint32_t(ball));
            sprite->SetPosition(x, y);
            if (i % 10 == 0) {
                if (i % 20 == 0)
                    sprite->SetAngle(angle(random));
                else
                    sprite->SetUniformScale(scale(random));
            } else if (i % 10 == 5) {
                sprite->SetColor(CColor(255, 200, 120, 255));
            }
            sprites.Add(sprite);
        }
    }
};

SLayer& Layer()
{
    static SLayer layer;
    return layer;
}

void BM_SpriteArrayDraw(benchmark::State& state)
{
    SLayer& layer = Layer();
    for (auto _ : state) {
        layer.target->Clear();
        layer.sprites.Draw(*layer.target);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_SpriteArrayDraw)->Unit(benchmark::kMillisecond);

// The same frames, untouched, at the same whole-pixel places.
void BM_PlainLoopBlit(benchmark::State& state)
{
    SLayer& layer = Layer();
    CBlitType& blit = GetNormalBlitType();
    for (auto _ : state) {
        layer.target->Clear();
        for (uint32_t i = layer.sprites.GetCount(); i-- > 0;) {
            CSprite* sprite = layer.sprites.GetAt(i);
            BlitAt(*layer.target, *sprite->GetCurrentFrame(), int32_t(sprite->GetPosition().x),
                   int32_t(sprite->GetPosition().y), blit);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_PlainLoopBlit)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_SpriteArrayDraw, BM_PlainLoopBlit);

// The same blits the sprites make (turned, scaled and tinted ones through
// the transformed blit), called directly: what the sprite machinery adds.
void BM_SameBlitsLoop(benchmark::State& state)
{
    SLayer& layer = Layer();
    CBlitType& blit = GetNormalBlitType();
    for (auto _ : state) {
        layer.target->Clear();
        for (uint32_t i = layer.sprites.GetCount(); i-- > 0;) {
            CSprite* sprite = layer.sprites.GetAt(i);
            const CFPoint p = sprite->GetPosition();
            const CFPoint scale = sprite->GetScale();
            const CColor& colour = sprite->GetColor();
            const bool turned = sprite->GetAngle() != 0.0f || scale.x != 1.0f;
            const float x = turned ? p.x : std::nearbyint(p.x), y = turned ? p.y : std::nearbyint(p.y);
            if (turned || colour.GetGreen() != 255) {
                CBlitXParams params(sprite->GetCurrentFrame(), x, y, sprite->GetAngle() * 57.29578f, scale.x, scale.y,
                                    colour, 0, 0.0f, 0.0f, true);
                layer.target->Render(params);
            } else {
                BlitAt(*layer.target, *sprite->GetCurrentFrame(), int32_t(x), int32_t(y), blit);
            }
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_SameBlitsLoop)->Unit(benchmark::kMillisecond);
[[maybe_unused]] const bool kSameBlitsPeer = bench::AddPeer("BM_SpriteArrayDraw", "BM_SameBlitsLoop");

void BM_PixelHitTestMiss(benchmark::State& state)
{
    SLayer& layer = Layer();
    for (auto _ : state) {
        int hits = 0;
        for (uint32_t i = 0; i < layer.sprites.GetCount(); ++i)
            hits += layer.sprites.GetAt(i)->HitTest(kMissX, kMissY);
        if (hits)
            state.SkipWithError("the point was meant to miss");
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_PixelHitTestMiss)->Unit(benchmark::kMicrosecond);

} // namespace
