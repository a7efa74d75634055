// The town while it is built, headless at 1024 x 768 over a copy of the demo
// data: twelve lots, six with a frame going up (six framing crews on them,
// the foreman at one), three finished, painted houses with garages and three
// empty lots. One update and one draw of that frame are measured apart.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "bench/game/business/HalfBuiltTown.h"
#include "foundation/FilePaths.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"
#include "shell/StartGame.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using bench::BuildHalfTheTown;
using bench::KeepBuilding;

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("business");
    return folder;
}

void BM_UpdateOfTwelveLotsSixBeingBuilt(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    const std::vector<CBuildablePackage*> building = game ? BuildHalfTheTown(*game) : std::vector<CBuildablePackage*>{};
    if (building.size() != 6) {
        state.SkipWithError("the town's six lots could not be built on");
        return;
    }
    for (auto _ : state) {
        KeepBuilding(building);
        game->Update(1.0f / 60.0f);
    }
    state.counters["crews_working"] = double(GetCrewsWorking());
    state.counters["updates"] = double(game->GetUpdatePassCount());
}
BENCHMARK(BM_UpdateOfTwelveLotsSixBeingBuilt)->Unit(benchmark::kMicrosecond);

void BM_DrawOfTwelveLotsSixBeingBuilt(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    const std::vector<CBuildablePackage*> building = game ? BuildHalfTheTown(*game) : std::vector<CBuildablePackage*>{};
    if (building.size() != 6) {
        state.SkipWithError("the town's six lots could not be built on");
        return;
    }
    KeepBuilding(building);
    game->Update(1.0f / 60.0f);
    for (auto _ : state)
        game->Draw();
}
BENCHMARK(BM_DrawOfTwelveLotsSixBeingBuilt)->Unit(benchmark::kMicrosecond);

} // namespace
