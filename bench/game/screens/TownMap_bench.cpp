// One draw of the map screen with sixty level buttons at 1024 x 768,
// headless over a copy of the demo data: the map set, the highlight, the
// buttons and the text variables of the towns and star beams. Half the
// levels are completed, so half the buttons are active.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "game/screens/CStats.h"
#include "game/screens/CTownMap.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelSet.h"
#include "images/CFrame.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kLevels = 60;

std::string Button(const std::string& id, int x, int y)
{
    return "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=" + id + "\r\n\t\t\tTitle=" + id
        + "\r\n\t\t\tPosition=" + std::to_string(x) + "," + std::to_string(y) + "\r\n\t\t\tSize=48,32\r\n\t\t}\r\n";
}

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path made = bench::MakeDemoDataCopy("town_map");
        std::string items;
        for (int i = 0; i < kLevels; ++i)
            items += Button(GetLevelMarkerName(uint32_t(i)).GetString(), 40 + 96 * (i % 10), 60 + 100 * (i / 10));
        for (const char* id : {"Continue", "Quit", "TrophyRoom", "StoryButton", "TutorialButton"})
            items += Button(id, 880, 700);
        std::ofstream(made / "Data/Resources/Frame Overlay Options/Level Select Overlay.FOO", std::ios::binary)
            << "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count="
            << (kLevels + 5) << "\r\n"
            << items << "\t}\r\n}\r\n";
        return made;
    }();
    return folder;
}

void InstallLayers()
{
    InstallGameScreensHooks();
}

void BM_DrawOfAMapOfSixtyLevels(benchmark::State& state)
{
    bench::CGameRun run(GameFolder(), InstallLayers);
    CLevelSet* levels = FindLevels();
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    if (!levels || !player) {
        state.SkipWithError("the demo data has no level set or profile");
        return;
    }
    while (levels->GetCount() < uint32_t(kLevels))
        levels->InsertLevel(levels->GetCount(), nullptr);
    for (uint32_t i = 0; i < uint32_t(kLevels) / 2; ++i)
        if (CPlayerStatsForLevel* record = player->GetLevelStats(i)) {
            record->m_HasBeenCompleted = true;
            record->m_HasBeenMarkedAsCompletedOnWorldMap = true;
        }
    player->m_SelectedLevel = kLevels / 2;
    auto destroy = [](CTownMapWindow* window) { window->Destroy(); };
    std::unique_ptr<CTownMapWindow, decltype(destroy)> map(new CTownMapWindow(nullptr), destroy);
    if (map->GetLevelButtonSlots() != uint32_t(kLevels) || !map->GetLevelButton(kLevels - 1)) {
        state.SkipWithError("the map set lacks its level buttons");
        return;
    }
    CFrame canvas;
    canvas.Create(1024, 768, 32);
    for (auto _ : state) {
        map->Draw(canvas);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawOfAMapOfSixtyLevels)->Unit(benchmark::kMicrosecond);

} // namespace
