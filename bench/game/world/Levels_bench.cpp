// Levels as the game meets them: reading a level set of 50 levels with 300
// sprites each from its object text (the designers' "Levels" file), holding
// a copy of one at a level start, and fetching an option object by name from
// the general objects (the pattern every options accessor follows) next to
// the customers-in-line query a level makes every frame.
#include "bench/BenchSupport.h"
#include "foundation/FilePaths.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "objects/CObject.h"
#include "program/RegisterAllClasses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr uint32_t kLevels = 50;
constexpr uint32_t kSpritesPerLevel = 300;
constexpr const char* kLevelsFile = "Resources/Levels.Object.txt";

void WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A data folder with the lists a level refers to and a "Levels" file.
class CLevelData {
public:
    CLevelData()
    {
        RegisterAllClasses();
        std::filesystem::current_path(bench::MakeFolder("levels"));
        SetDataFolder(".");
        WriteText("Resources/Frame.BuildPhase.txt", "CBuildPhase\r\n{\r\n\tOption Index=Required\r\n}\r\n");
        WriteText("Resources/Garage.BuildPhase.txt", "CBuildPhase\r\n{\r\n}\r\n");
        WriteText("Resources/Period 1.Period.txt", "CPeriod\r\n{\r\n}\r\n");
        WriteText("Resources/Town.Background.txt", "CBackgroundStyleSheet\r\n{\r\n}\r\n");
        WriteText("Resources/!None.Upgrade.txt", "CUpgrade\r\n{\r\n}\r\n");
        WriteText("Resources/Rules.Object.txt", "CPeriod\r\n{\r\n}\r\n");
        GetBuildPhaseList().SetSource(nullptr, "Resources", 0);
        GetPeriodList().SetSource(nullptr, "Resources", 0);
        GetBackgroundStyleSheetList().SetSource(nullptr, "Resources", 0);
        GetUpgradeList().SetSource(nullptr, "Resources", 0);

        CLevelSetUserMade set;
        for (uint32_t i = 0; i < kLevels; ++i) {
            auto* level = new CLevelOptions;
            level->ResetToDefaults();
            level->m_DisplayName.SetText(("Level " + std::to_string(i)).c_str());
            level->EnsureDefaultLayers();
            CPlayfield& playfield = level->GetPlayfield();
            for (uint32_t s = 0; s < kSpritesPerLevel; ++s) {
                auto* sprite = new CSprite;
                sprite->SetPosition(float((s * 37) % 1024), float((s * 53) % 768));
                sprite->SetScale({1.0f + float(s % 3) * 0.25f, 1.0f});
                playfield.AddSprite(sprite, s % 2 ? "Lot" : "Effects");
            }
            set.InsertLevel(i, level);
        }
        set.SaveToFile(kLevelsFile, kSaveSkipWritableTest);
        InitGeneralObjects();
    }
};

CLevelData& Data()
{
    static CLevelData data;
    return data;
}

void BM_LoadFiftyLevelsOf300Sprites(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        std::unique_ptr<CObject> levels(
            LoadObjectFromFile(kLevelsFile, 0, IdMode::WithoutIds, ReportUnknownClass::Quiet));
        benchmark::DoNotOptimize(levels.get());
        if (!levels) {
            state.SkipWithError("the levels file did not load");
            break;
        }
    }
}
BENCHMARK(BM_LoadFiftyLevelsOf300Sprites)->Unit(benchmark::kMillisecond);

void BM_HoldACopyAtALevelStart(benchmark::State& state)
{
    Data();
    CLevelOptions* level = GetLevels()->GetLevel(kLevels / 2);
    for (auto _ : state) {
        GetLevelHolder().HoldCopyOf(level);
        benchmark::DoNotOptimize(GetLevelHolder().GetLevel());
    }
    GetLevelHolder().Release();
}
BENCHMARK(BM_HoldACopyAtALevelStart)->Unit(benchmark::kMillisecond);

void BM_FetchAnOptionObjectByName(benchmark::State& state)
{
    Data();
    GetGeneralObject("Rules");
    for (auto _ : state)
        benchmark::DoNotOptimize(GetGeneralObject("Rules"));
}
BENCHMARK(BM_FetchAnOptionObjectByName);

void BM_CustomersAllowedInLine(benchmark::State& state)
{
    Data();
    CLevelOptions* level = GetLevels()->GetLevel(0);
    level->m_SecondsPlayed = 125.0f;
    for (auto _ : state)
        benchmark::DoNotOptimize(level->GetMaxCustomersInLine());
}
BENCHMARK(BM_CustomersAllowedInLine);

} // namespace
