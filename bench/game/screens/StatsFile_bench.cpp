// "Stats.dat" of a full household: 20 profiles of 100 level records, each
// record keeping the game state its level starts with (upgrades of the demo
// data received). One save (binary form, zlib level 6, atomic replace with
// its sync) and one load (into a spare object, then taken) are measured apart.
#include "bench/BenchSupport.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/screens/CStats.h"
#include "game/world/CGameState.h"
#include "program/RegisterAllClasses.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <memory>

namespace {

template <typename T, typename Owner>
void Append(Owner& owner, CPropertyArray<T>& array, const char* property, T value)
{
    auto* declared = static_cast<CPropertyArrayProperty*>(Owner::SGetClassInfo()->FindProperty(property));
    const uint32_t n = array.GetCount();
    declared->ArrayProperty_SetCount(&owner, n + 1);
    array[n] = value;
}

// The household, saved once in a folder of its own.
CStats& Household()
{
    static std::unique_ptr<CStats> stats = [] {
        RegisterAllClasses();
        // A data set of a slot and twelve upgrades without pictures.
        const std::filesystem::path folder = bench::MakeFolder("stats_file");
        std::filesystem::current_path(folder);
        auto write = [](const std::string& name, const std::string& text) {
            std::filesystem::create_directories(std::filesystem::path(name).parent_path());
            std::ofstream(name, std::ios::binary) << text;
        };
        write("Resources/Slots/!None.UpgradeSlot.txt", "CUpgradeSlot\r\n{\r\n}\r\n");
        write("Resources/Slots/Slot A.UpgradeSlot.txt", "CUpgradeSlot\r\n{\r\n}\r\n");
        write("Resources/Upgrades/!None.Upgrade.txt", "CUpgrade\r\n{\r\nUpgrade Cost=0\r\n}\r\n");
        for (int u = 1; u <= 12; ++u)
            write("Resources/Upgrades/Upgrade " + std::to_string(u) + ".Upgrade.txt",
                  "CUpgrade\r\n{\r\nName=Upgrade " + std::to_string(u)
                      + "\r\nUpgrade Slot=Slot A\r\nUpgrade Cost=1\r\n}\r\n");
        GetUpgradeSlotList().SetSource(nullptr, "Resources", 0);
        GetUpgradeList().SetSource(nullptr, "Resources", 0);
        const uint32_t upgrades = uint32_t(GetUpgradeList().GetCount());
        if (upgrades < 4)
            std::abort();
        auto made = std::make_unique<CStats>();
        for (int p = 0; p < 20; ++p) {
            auto* player = new CPlayerStats;
            player->ResetToDefaults();
            player->m_Name.Format("Player %d", p);
            for (uint32_t level = 0; level < 100; ++level) {
                auto* record = new CPlayerStatsForLevel;
                record->m_HasBeenPlayed = true;
                record->m_TimesCompleted = level % 3;
                record->SetOptionalGoalAchieved(level % 4);
                auto* state = new CGameState;
                for (uint32_t u = 1; u < upgrades && u <= level % 12 + 1; ++u)
                    state->ReceiveUpgrade(int32_t(u));
                state->m_RevenueK = float(level) * 3.5f;
                record->AdoptGameStateBeforeLevelStarted(state);
                Append(*player, player->m_pStatsForLevel, "Stats For Level List", record);
            }
            Append(*made, made->m_Players, "Players", player);
        }
        if (!made->Save())
            std::abort();
        return made;
    }();
    return *stats;
}

void BM_StatsSave(benchmark::State& state)
{
    CStats& stats = Household();
    for (auto _ : state)
        if (!stats.Save())
            state.SkipWithError("save failed");
    state.counters["bytes"] = double(std::filesystem::file_size("Stats.dat"));
}
BENCHMARK(BM_StatsSave)->Unit(benchmark::kMillisecond);

void BM_StatsLoad(benchmark::State& state)
{
    Household();
    for (auto _ : state) {
        CStats read;
        if (!read.Load())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(read.GetPlayerCount());
    }
}
BENCHMARK(BM_StatsLoad)->Unit(benchmark::kMillisecond);

} // namespace
