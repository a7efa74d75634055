// One draw of the results window over the demo data, headless at 1024 x 768:
// its 40-odd result variables filled afresh and an overlay set of 40 texts
// naming them, with the three buttons.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "game/scripting/CScriptValue.h"
#include "game/scripting/CSpriteVariables.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameState.h"
#include "shell/CScreenFrame.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* const kKeys[] = {
    "TotalRevenue", "GoalPercent", "GoalScore", "ExpertGoalScore", "TopOfThermometer", "EarnedSpendable",
    "KidsBonusProfit", "Year", "AverageFrame", "AverageGarage", "AverageAddOn", "AverageHearts",
    "TotalEarlyMoveInBonus", "LotValues", "Num3InARowBonuses", "CustomerPercent", "Decade", "WonLevel",
    "BarelyWon", "FailedLevel", "Message", "AdviceTitle", "Advice", "OptionalGoals",
    "OptionalGoalsAchived", "OptionalGoal1", "OptionalGoal2", "OptionalGoal3", "Has3rdGoal", "GotExpert",
    "ShowStarEffect", "ShowExpertStarComplete", "ShowProfit", "ShowAdviceList", "TotalRevenue", "GoalScore",
    "LotValues", "TotalEarlyMoveInBonus", "CustomerPercent", "Decade"};

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path made = bench::MakeDemoDataCopy("results");
        std::string items;
        int y = 20;
        for (const char* key : kKeys) {
            items += std::string("Array Item=CFrameOverlayTextOverlay\r\n{\r\nText String=") + key + ": %s[" + key
                   + "]\r\nText Bounds Left=100," + std::to_string(y) + "\r\n}\r\n";
            y += 17;
        }
        for (const char* id : {"Continue", "Replay", "Hide"})
            items += std::string("Array Item=CFrameOverlayButton\r\n{\r\nID=") + id + "\r\nTitle=" + id
                   + "\r\nPosition=700," + std::to_string(y += 50) + "\r\nSize=120,40\r\n}\r\n";
        std::ofstream(made / "Data/Resources/Frame Overlay Options/End Of Level Overlay.FOO", std::ios::binary)
            << "CFrameOverlayOptions\r\n{\r\nText Overlays=Array\r\n{\r\nItem Count=" << std::size(kKeys) + 3
            << "\r\n" << items << "}\r\n}\r\n";
        return made;
    }();
    return folder;
}

void InstallHooks()
{
    InstallGameScreensHooks();
}

void BM_DrawResultsWindow(benchmark::State& state)
{
    bench::CGameRun run(GameFolder(), &InstallHooks);
    CGameState::SGetCurrent()->m_RevenueK = 612.5f;
    auto* window = new CEndOfLevelWindow(true);
    CScriptValue fraction;
    fraction.SetFloat(0.75f);
    SetSpriteVariable(window->GetSprite(), CJString("SalesFraction"), fraction);
    SetSpriteVariable(window->GetSprite(), CJString("BonusFraction"), fraction);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    for (auto _ : state) {
        window->Draw(screen);
        benchmark::ClobberMemory();
    }
    window->Destroy();
}
BENCHMARK(BM_DrawResultsWindow)->Unit(benchmark::kMicrosecond);

} // namespace
