// A town full of props: 1,000 scenery sprites of 48 x 64 with alpha, each
// pokeable (its sequence names a poke sound), spread over 1024 x 768 on one
// layer. Measured: one mouse move broadcast to the playfield, on a point no
// prop covers (every prop tests its pixels and sets the standard cursor) and
// on the last prop placed (the props before it test their pixels, the first
// one under the point takes it, those after it pass it by).
#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "foundation/FilePaths.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CScenery.h"
#include "images/CFrame.h"
#include "platform/CAudioDevice.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kProps = 1000;
constexpr uint32_t kWidth = 48;
constexpr uint32_t kHeight = 64;

// A tree: a round crown over a trunk, clear around them.
std::vector<uint8_t> TreePixels()
{
    std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t* p = &rgba[(size_t(y) * kWidth + x) * 4];
            const bool crown = std::hypot(float(x) - 23.5f, float(y) - 22.0f) < 20.0f;
            const bool trunk = y >= 40 && x >= 20 && x < 28;
            p[0] = crown ? 40 : 110;
            p[1] = crown ? 150 : 70;
            p[2] = 30;
            p[3] = crown || trunk ? 255 : 0;
        }
    return rgba;
}

// 16-bit mono PCM, a tenth of a second of a quiet tone.
std::string Rustle()
{
    const uint32_t frames = 2205;
    std::string bytes = "RIFF";
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += char((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&](uint16_t v) {
        bytes += char(v & 0xFF);
        bytes += char(v >> 8);
    };
    u32(36 + frames * 2);
    bytes += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    bytes += "data";
    u32(frames * 2);
    for (uint32_t i = 0; i < frames; ++i)
        u16(uint16_t(int16_t(800.0f * std::sin(float(i) * 0.2f))));
    return bytes;
}

struct STown {
    plat::CAudioDeviceHeadless audio;
    CSoundDevice device{audio};
    std::unique_ptr<CSoundList> sounds;
    std::unique_ptr<CPlayfield> playfield = std::make_unique<CPlayfield>();
    CPoint miss{-1, -1};
    CPoint hit{-1, -1};

    STown()
    {
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        device.Initialize();
        const std::filesystem::path folder = bench::MakeFolder("scenery");
        const std::filesystem::path tree = folder / "Seqs" / "-Tree";
        std::filesystem::create_directories(tree);
        bench::WritePng((tree / "0001.png").string(), TreePixels(), kWidth, kHeight);
        std::ofstream(tree / "Properties.txt") << "CSequence\r\n{\r\n\tUse 8 Bit Alpha=1\r\n"
                                                  "\tDynamic Properties=1\r\n\t{\r\n\t\tPoke Audio=Rustle\r\n\t}\r\n}\r\n";
        // The list's first entry reads as none in a sprite.
        std::filesystem::create_directories(folder / "Seqs" / "-Aaa");
        bench::WritePng((folder / "Seqs" / "-Aaa" / "f.png").string(), TreePixels(), kWidth, kHeight);
        std::filesystem::create_directories(folder / "Sounds");
        std::ofstream(folder / "Sounds" / "Rustle.wav", std::ios::binary) << Rustle();
        std::filesystem::current_path(folder);
        SetDataFolder(".");
        sounds = std::make_unique<CSoundList>(device);
        sounds->Load("Bench Sounds", "Sounds", ".wav", ".ogg");
        GetAudioList().SetSource("Sounds", sounds.get());
        GetSequenceList().SetSource(nullptr, "Seqs", 0);
        const int32_t sequence = GetSequenceList().Find("Tree");

        std::mt19937 random(7);
        std::uniform_real_distribution<float> px(0.0f, 1024.0f), py(0.0f, 768.0f);
        std::vector<CSprite*> placed;
        for (uint32_t i = 0; i < kProps; ++i) {
            auto* sprite = new CSprite;
            sprite->SetImageSequence(uint32_t(sequence));
            sprite->SetPosition(px(random), py(random));
            auto* scenery = new CScenery;
            scenery->m_TryToAssociateWithLot = false;
            sprite->AddAI(scenery);
            playfield->AddSprite(sprite, "Scenery");
            placed.push_back(sprite);
        }
        SetCurrentPlayfield(playfield.get());
        for (int32_t y = 4; y < 768 && miss.x < 0; y += 8)
            for (int32_t x = 4; x < 1024 && miss.x < 0; x += 8) {
                bool covered = false;
                for (CSprite* sprite : placed)
                    covered = covered || sprite->HitTestFrames(x, y);
                if (!covered)
                    miss = CPoint{x, y};
            }
        // The last prop's place, inside its crown.
        const CFPoint last = placed.back()->GetPosition();
        hit = CPoint{int32_t(last.x), int32_t(last.y)};
        if (!placed.back()->HitTestFrames(hit.x, hit.y))
            hit = CPoint{-1, -1};
    }
};

STown& Town()
{
    static STown town;
    return town;
}

void Broadcast(benchmark::State& state, CPoint at)
{
    STown& town = Town();
    if (at.x < 0) {
        state.SkipWithError("no such point in the town");
        return;
    }
    for (auto _ : state) {
        CPlayfieldMouseMessage message = CPlayfieldMouseMessage::MouseMoved(0, at, at);
        town.playfield->BroadcastMessage(message);
        benchmark::DoNotOptimize(message.IsHandled());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kProps);
}

void BM_SceneryMouseMoveMissingEveryProp(benchmark::State& state)
{
    Broadcast(state, Town().miss);
}
BENCHMARK(BM_SceneryMouseMoveMissingEveryProp)->Unit(benchmark::kMicrosecond);

void BM_SceneryMouseMoveOverAProp(benchmark::State& state)
{
    Broadcast(state, Town().hit);
}
BENCHMARK(BM_SceneryMouseMoveOverAProp)->Unit(benchmark::kMicrosecond);

} // namespace
