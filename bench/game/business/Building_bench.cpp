// The town while it is built, headless at 1024 x 768 over a copy of the demo
// data: twelve lots, six with a frame going up (six framing crews on them,
// the foreman at one), three finished, painted houses with garages and three
// empty lots. One update and one draw of that frame are measured apart.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "foundation/FilePaths.h"
#include "game/business/BusinessHooks.h"
#include "game/business/CBuildingOps.h"
#include "game/business/CCrew.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CGameApp.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "game/world/CUpgrade.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"
#include "shell/StartGame.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("business");
    return folder;
}

// The town half built; the buildings under construction, or empty when the
// level is not the demo's town.
std::vector<CBuildablePackage*> BuildHalfTheTown(CGameApp& game)
{
    std::vector<CBuildablePackage*> building;
    CPlayfield* playfield = GetCurrentPlayfield();
    CLotPlayfieldLayer* lots = GetLotLayer();
    const int32_t cottage = GetUpgradeList().Find("Cottage");
    const int32_t garage = GetUpgradeList().Find("Single Garage");
    const int32_t lemon = GetUpgradeList().Find("Lemon Paint");
    if (!playfield || !lots || lots->GetSpriteCount() != 12 || cottage <= 0 || garage <= 0 || lemon <= 0)
        return building;
    CUpgradeButton* frameButton = nullptr;
    if (CPlayfieldLayer* ui = playfield->FindLayer("UI"))
        for (uint32_t i = 0; i < ui->GetSpriteCount() && !frameButton; ++i)
            if (auto* button = dynamic_cast<CUpgradeButton*>(ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo()));
                button && button->GetUpgradeIndex() == cottage)
                frameButton = button;
    if (!frameButton)
        return building;
    // Five more framing crews beside the one the data gives.
    const int32_t frame = GetFramePhase();
    for (int i = 0; i < 5; ++i) {
        auto* crew = new CSprite;
        crew->SetImageSequence(uint32_t(GetSequenceList().Find("Framing Crew")));
        crew->AddAI(CreateCrewAI(frame));
        playfield->AddSprite(crew, "Crew");
    }
    game.Update(1.0f / 60.0f);
    for (int32_t i = 0; i < 12; ++i) {
        CLot* lot = lots->FindLot(i % 4, i / 4);
        if (!lot || !lot->GetBuilding())
            return {};
        CBuildablePackage& package = *lot->GetBuilding();
        if (i < 6) {
            if (!frameButton->DropOnLot(lot))
                return {};
            building.push_back(&package);
        } else if (i < 9) {
            SizeToBuildPhases(package);
            package.m_Parts[uint32_t(frame)] = cottage;
            package.m_Parts[uint32_t(GetGaragePhase())] = garage;
            package.m_Parts[uint32_t(GetColorPhase())] = lemon;
        }
    }
    for (int i = 0; i < 60; ++i)
        game.Update(1.0f / 60.0f);
    return building;
}

// Midway, where a frame cross-fades into the next.
void KeepBuilding(const std::vector<CBuildablePackage*>& building)
{
    for (CBuildablePackage* package : building)
        package->m_ConstructionProgress = 0.55f;
}

void BM_UpdateOfTwelveLotsSixBeingBuilt(benchmark::State& state)
{
    bench::CGameRun run(GameFolder(), InstallGameBusinessHooks);
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
    bench::CGameRun run(GameFolder(), InstallGameBusinessHooks);
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
