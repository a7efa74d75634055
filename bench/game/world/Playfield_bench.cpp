// A busy playfield: 2,000 sprites of 32 x 32 with alpha over 1024 x 768, a
// tenth turned or scaled and a tenth tinted, each with two AIs and a script
// block (a sequence holding a trigger). Measured: one update; one update and
// draw, against the same frames blitted in a plain loop; the pixel hit test of
// one point (a miss) over every sprite.
#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "foundation/FilePaths.h"
#include "blit/CBlitTypeList.h"
#include "game/scripting/CAction.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "game/world/CPlayfield.h"
#include "images/CFrame.h"
#include "program/RegisterAllClasses.h"
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

constexpr uint32_t kSprites = 2000;
constexpr uint32_t kSide = 32;
constexpr uint32_t kFrames = 8;
constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr float kPi = 3.14159265f;

// A soft-edged ball whose highlight turns with the frame.
std::vector<uint8_t> FramePixels(uint32_t frame)
{
    std::vector<uint8_t> rgba(size_t(kSide) * kSide * 4);
    const float hx = 16.0f + 6.0f * std::cos(float(frame) * kPi / 4.0f);
    const float hy = 16.0f + 6.0f * std::sin(float(frame) * kPi / 4.0f);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const float d = std::hypot(float(x) - 15.5f, float(y) - 15.5f);
            const float h = std::hypot(float(x) - hx, float(y) - hy);
            uint8_t* p = &rgba[(size_t(y) * kSide + x) * 4];
            p[0] = uint8_t(std::max(0.0f, 250.0f - h * 12.0f));
            p[1] = uint8_t(80 + x * 4);
            p[2] = uint8_t(200 - y * 3);
            p[3] = d < 13.0f ? 255 : d < 16.0f ? uint8_t((16.0f - d) * 85.0f) : 0;
        }
    return rgba;
}

// Moves its sprite and turns back at the edges of the screen.
class CDriftAI final : public CSpriteAI {
public:
    CDriftAI(float dx, float dy)
        : m_Dx(dx)
        , m_Dy(dy)
    {
    }
    void Update(CSpriteUpdateRecord& record) override
    {
        CSprite* sprite = record.sprite;
        const CFPoint at = sprite->GetPosition();
        if (at.x < 0.0f || at.x > float(kWidth))
            m_Dx = -m_Dx;
        if (at.y < 0.0f || at.y > float(kHeight))
            m_Dy = -m_Dy;
        sprite->SetPosition(at.x + m_Dx, at.y + m_Dy);
        UpdateNextAI(record);
    }

private:
    float m_Dx;
    float m_Dy;
};

// Loops the sprite's animation at its sequence's rate.
class CLoopAI final : public CSpriteAI {
public:
    void Update(CSpriteUpdateRecord& record) override
    {
        CSprite* sprite = record.sprite;
        if (CSequence* sequence = sprite->GetImageSequence()) {
            const float count = float(sequence->GetFrameCount());
            float f = sprite->GetFramePosition() + record.seconds * sequence->GetFramesPerSecond();
            if (f >= count)
                f -= count;
            sprite->SetFramePosition(f);
        }
        UpdateNextAI(record);
    }
};

struct SPlaced {
    CSprite* sprite;
    bool transformed;
};

struct SScene {
    std::unique_ptr<CPlayfield> playfield = std::make_unique<CPlayfield>();
    std::unique_ptr<CFrame> screen = CFrame::MakeOwned(uint32_t(kWidth), uint32_t(kHeight), 32);
    std::vector<SPlaced> placed;
    CSequence* sequence = nullptr;

    SScene()
    {
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        const std::filesystem::path folder = bench::MakeFolder("playfield");
        const std::filesystem::path images = folder / "Seqs" / "-Ball";
        std::filesystem::create_directories(images);
        for (uint32_t f = 0; f < kFrames; ++f) {
            std::string name = std::to_string(10 + f);
            name += ".png";
            bench::WritePng((images / name).string(), FramePixels(f), kSide, kSide);
        }
        std::ofstream(images / "Properties.txt") << "CSequence\r\n{\r\n\tFrames Per Second=12\r\n"
                                                    "\tUse 8 Bit Alpha=1\r\n}\r\n";
        // The list's first entry reads as none in a sprite.
        std::filesystem::create_directories(folder / "Seqs" / "-Aaa");
        bench::WritePng((folder / "Seqs" / "-Aaa" / "f.png").string(), FramePixels(0), kSide, kSide);
        std::filesystem::current_path(folder);
        SetDataFolder(".");
        GetSequenceList().SetSource(nullptr, "Seqs", 0);
        const uint32_t ball = uint32_t(GetSequenceList().Find("Ball"));
        sequence = GetSequenceList().GetObject(int32_t(ball));

        std::mt19937 random(11);
        std::uniform_real_distribution<float> px(0.0f, float(kWidth)), py(0.0f, float(kHeight)), step(-1.0f, 1.0f);
        std::uniform_real_distribution<float> frame(0.0f, float(kFrames)), turn(0.0f, 2.0f * kPi), size(0.6f, 1.6f);
        for (uint32_t i = 0; i < kSprites; ++i) {
            auto* sprite = new CSprite;
            sprite->SetImageSequence(ball);
            sprite->SetPosition(px(random), py(random));
            sprite->SetFramePosition(frame(random));
            const bool transformed = i % 10 == 3;
            if (transformed) {
                if (i % 20 == 3)
                    sprite->SetAngle(turn(random));
                else
                    sprite->SetUniformScale(size(random));
            }
            if (i % 10 == 7)
                sprite->SetColor(CColor(255, 180, 120, 220));
            sprite->AddAI(new CDriftAI(step(random), step(random)));
            sprite->AddAI(new CLoopAI);
            auto* steps = new CSpritePlugInSequence;
            auto* trigger = new CSpritePlugInTriggerActionEveryXSeconds;
            trigger->m_TimeToWait = 0.5f;
            trigger->m_RepeatLimit = 0;
            auto* send = new CActionSendMessage;
            send->m_Message = "Tick";
            send->m_SpriteToSendTo.m_Name = "this";
            trigger->m_Action = send;
            steps->AddStep(trigger);
            sprite->AddPlugIn(steps);
            playfield->AddSprite(sprite, i < kSprites / 2 ? "Ground" : "Air");
            placed.push_back({sprite, transformed || i % 10 == 7});
        }
        SetCurrentPlayfield(playfield.get());
        // The first update restarts every script.
        playfield->Update(1.0f / 60.0f);
    }
};

SScene& Scene()
{
    static SScene scene;
    return scene;
}

void Clear(CFrame& frame)
{
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        std::fill_n(reinterpret_cast<uint32_t*>(frame.Row(y)), frame.GetWidth(), 0xFF204030u);
}

void BM_PlayfieldUpdate(benchmark::State& state)
{
    SScene& scene = Scene();
    for (auto _ : state)
        scene.playfield->Update(1.0f / 60.0f);
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_PlayfieldUpdate)->Unit(benchmark::kMicrosecond);

void BM_PlayfieldUpdateAndDraw(benchmark::State& state)
{
    SScene& scene = Scene();
    for (auto _ : state) {
        Clear(*scene.screen);
        scene.playfield->Update(1.0f / 60.0f);
        scene.playfield->Draw(*scene.screen);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_PlayfieldUpdateAndDraw)->Unit(benchmark::kMicrosecond);

// The same frames at the same places, turned, scaled and tinted alike, with
// nothing of the sprites around them.
void BM_PlainBlitLoop(benchmark::State& state)
{
    SScene& scene = Scene();
    CBlitType& blitType = GetTransparentMaskBlitType();
    for (auto _ : state) {
        Clear(*scene.screen);
        for (const SPlaced& p : scene.placed) {
            CSprite& sprite = *p.sprite;
            CFrame* frame = scene.sequence->GetFrame(sprite.GetFrameIndex());
            const CFPoint at = sprite.GetPosition();
            if (!p.transformed) {
                BlitAt(*scene.screen, *frame, int32_t(at.x), int32_t(at.y), blitType);
                continue;
            }
            const CFPoint scale = sprite.GetScale();
            CBlitXParams blit(frame, at.x, at.y, sprite.GetAngle() * 180.0f / kPi, scale.x, scale.y, sprite.GetColor(),
                              0, 0.0f, 0.0f, true);
            blit.Render(*scene.screen);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_PlainBlitLoop)->Unit(benchmark::kMicrosecond);
OMBRISALT_BENCH_PEER(BM_PlayfieldUpdateAndDraw, BM_PlainBlitLoop);

// A point on the screen that no sprite covers, tested against every sprite
// by its pixels.
void BM_PixelHitTestMiss(benchmark::State& state)
{
    SScene& scene = Scene();
    float x = -500.0f, y = -500.0f;
    for (int32_t cy = 8; cy < kHeight && x < 0.0f; cy += 16)
        for (int32_t cx = 8; cx < kWidth && x < 0.0f; cx += 16) {
            bool hit = false;
            for (const SPlaced& p : scene.placed)
                if (p.sprite->HitTest(float(cx), float(cy))) {
                    hit = true;
                    break;
                }
            if (!hit)
                x = float(cx), y = float(cy);
        }
    if (x < 0.0f)
        state.SetLabel("off the screen");
    for (auto _ : state) {
        bool hit = false;
        for (const SPlaced& p : scene.placed)
            hit = p.sprite->HitTest(x, y) || hit;
        benchmark::DoNotOptimize(hit);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSprites);
}
BENCHMARK(BM_PixelHitTestMiss)->Unit(benchmark::kMicrosecond);

} // namespace
