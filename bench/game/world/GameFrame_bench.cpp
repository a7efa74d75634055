// The game as the player meets it, headless over a copy of the demo data:
// from start-up to the first drawn frame of the first level, and one whole
// frame (update and draw) of that level grown to 500 animated sprites: once
// as the town stands (its 12 lots, scenery and the HUD's gameplay overlay),
// once with half the sprites on the lot layer.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "foundation/FilePaths.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CPlayfield.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"
#include "shell/StartGame.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kSprites = 500;

// A copy of the demo data with its generated pictures, made once.
std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("game");
    return folder;
}

// Start-up, the loading picture (its minimum time is 0 once the data load)
// and the first frame of level 1.
void BM_StartToFirstDrawnLevel(benchmark::State& state)
{
    GameFolder();
    for (auto _ : state) {
        bench::CGameRun run(GameFolder());
        state.SetIterationTime(run.m_StartSeconds);
    }
}
BENCHMARK(BM_StartToFirstDrawnLevel)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The level frame of a playing town: 12 lots, 500 other sprites among its
// scenery, the HUD drawing the period's gameplay overlay; the sprites go again
// afterwards.
void BM_LevelFrameOf12LotsAnd500Sprites(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* lots = playfield ? playfield->FindLayer("Lot") : nullptr;
    if (!game || !lots || lots->GetSpriteCount() != 12 || !playfield->GetHUD()) {
        state.SkipWithError("the first level has no town of 12 lots under a HUD");
        return;
    }
    const uint32_t sequences[] = {uint32_t(GetSequenceList().Find("House")), uint32_t(GetSequenceList().Find("Tree")),
                                  uint32_t(GetSequenceList().Find("Walk")), uint32_t(GetSequenceList().Find("Coin"))};
    std::vector<CSprite*> added;
    for (uint32_t i = 0; i < kSprites; ++i) {
        auto* sprite = new CSprite;
        sprite->SetImageSequence(sequences[i % 4]);
        sprite->SetPosition(float((i * 37) % 1000), float((i * 53) % 740));
        playfield->AddSprite(sprite, i % 2 ? "Meadow" : "Effects");
        added.push_back(sprite);
    }
    for (auto _ : state) {
        game->Update(1.0f / 60.0f);
        game->Draw();
    }
    for (CSprite* sprite : added)
        sprite->MarkForDeletion();
    game->Update(1.0f / 60.0f);
}
BENCHMARK(BM_LevelFrameOf12LotsAnd500Sprites)->Unit(benchmark::kMillisecond);

void BM_FullFrameOf500Sprites(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!game || !playfield) {
        state.SkipWithError("no level");
        return;
    }
    const uint32_t sequences[] = {uint32_t(GetSequenceList().Find("House")), uint32_t(GetSequenceList().Find("Tree")),
                                  uint32_t(GetSequenceList().Find("Walk")), uint32_t(GetSequenceList().Find("Coin"))};
    for (uint32_t i = 0; i < kSprites; ++i) {
        auto* sprite = new CSprite;
        sprite->SetImageSequence(sequences[i % 4]);
        sprite->SetPosition(float((i * 37) % 1000), float((i * 53) % 740));
        playfield->AddSprite(sprite, i % 2 ? "Lot" : "Effects");
    }
    for (auto _ : state) {
        game->Update(1.0f / 60.0f);
        game->Draw();
    }
}
BENCHMARK(BM_FullFrameOf500Sprites)->Unit(benchmark::kMillisecond);

} // namespace
