// Undo change detection as the level editor runs it on every hover: the
// level compared with the history's working copy (no change, the common
// case), beside the clone a recorded change costs, on a level of 500
// sprites.
#include "bench/BenchSupport.h"
#include "editor/CEditorCheckpointHistory.h"
#include "foundation/FilePaths.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPeriod.h"
#include "program/RegisterAllClasses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr uint32_t kSprites = 500;

void WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class CEditedLevel {
public:
    CEditedLevel()
    {
        RegisterAllClasses();
        std::filesystem::current_path(bench::MakeFolder("undo"));
        SetDataFolder(".");
        WriteText("Resources/Frame.BuildPhase.txt", "CBuildPhase\r\n{\r\n}\r\n");
        WriteText("Resources/Period 1.Period.txt", "CPeriod\r\n{\r\n}\r\n");
        WriteText("Resources/Town.Background.txt", "CBackgroundStyleSheet\r\n{\r\n}\r\n");
        WriteText("Resources/!None.Upgrade.txt", "CUpgrade\r\n{\r\n}\r\n");
        GetBuildPhaseList().SetSource(nullptr, "Resources", 0);
        GetPeriodList().SetSource(nullptr, "Resources", 0);
        GetBackgroundStyleSheetList().SetSource(nullptr, "Resources", 0);
        GetUpgradeList().SetSource(nullptr, "Resources", 0);

        m_Level.ResetToDefaults();
        m_Level.EnsureDefaultLayers();
        for (uint32_t s = 0; s < kSprites; ++s) {
            auto* sprite = new CSprite;
            sprite->SetPosition(float((s * 37) % 1024), float((s * 53) % 768));
            sprite->SetScale({1.0f + float(s % 3) * 0.25f, 1.0f});
            m_Level.GetPlayfield().AddSprite(sprite, s % 2 ? "Lot" : "Effects");
        }
        m_History = dynamic_cast<CEditorCheckpointHistory*>(m_Level.GetUndoHistory());
        m_History->RecordIfChanged(&m_Level);
        // One sprite moved: the compare must see it, once.
        CSprite* sprite = m_Level.GetPlayfield().FindLayer("Lot")->GetSprite(0);
        sprite->SetPosition(sprite->GetPosition().x + 1.0f, sprite->GetPosition().y);
        m_History->RecordIfChanged(&m_Level);
        m_History->RecordIfChanged(&m_Level);
        m_DetectsMoves = m_History->GetCount() == 1;
    }

    CLevelOptions m_Level;
    CEditorCheckpointHistory* m_History = nullptr;
    bool m_DetectsMoves = false;
};

uint32_t CountSprites(CLevelOptions& level)
{
    uint32_t count = 0;
    for (uint32_t i = 0; i < level.GetPlayfield().GetLayerCount(); ++i)
        count += level.GetPlayfield().GetLayer(i)->GetSpriteCount();
    return count;
}

CEditedLevel& Edited()
{
    static CEditedLevel edited;
    return edited;
}

void BM_ChangeDetectionOnAnUnchanged500SpriteLevel(benchmark::State& state)
{
    CEditedLevel& edited = Edited();
    const uint32_t recorded = edited.m_History->GetCount();
    for (auto _ : state)
        edited.m_History->RecordIfChanged(&edited.m_Level);
    if (edited.m_History->GetCount() != recorded)
        state.SkipWithError("an unchanged level was recorded");
    if (!edited.m_DetectsMoves)
        state.SkipWithError("a moved sprite was not detected");
}
BENCHMARK(BM_ChangeDetectionOnAnUnchanged500SpriteLevel)->Unit(benchmark::kMillisecond);

void BM_CloneA500SpriteLevel(benchmark::State& state)
{
    CEditedLevel& edited = Edited();
    for (auto _ : state) {
        std::unique_ptr<CObject> snapshot(edited.m_Level.Clone());
        benchmark::DoNotOptimize(snapshot.get());
    }
    std::unique_ptr<CObject> snapshot(edited.m_Level.Clone());
    if (CountSprites(*static_cast<CLevelOptions*>(snapshot.get())) != kSprites)
        state.SkipWithError("the snapshot lacks sprites");
}
BENCHMARK(BM_CloneA500SpriteLevel)->Unit(benchmark::kMillisecond);

} // namespace
