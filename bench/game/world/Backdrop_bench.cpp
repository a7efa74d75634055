// The HUD over the demo data's first level: the backdrop hit test that
// every playfield mouse message costs (the whole gameplay set drawn into one
// pixel), and the HUD's whole draw of a 1024 x 768 frame. The file sorts
// before the frame benchmarks, whose game keeps running to the end.
#include "bench/BenchSupport.h"
#include "foundation/FilePaths.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlay.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A copy of the demo data with its generated pictures, made once.
std::filesystem::path DemoData()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("hud") / "Data";
    return folder;
}

// The lists this benchmark fills, each with the folder it reads.
std::vector<std::pair<CObjectFileArray*, const char*>> Lists()
{
    return {{&GetSequenceList(), "Resources/Sequences"},
            {&GetFrameLibrary(), "Resources/Frames"},
            {&GetFontList(), "Resources|Fonts"},
            {&GetFrameOverlayOptionsList(), "Resources/Frame Overlay Options"},
            {&GetPeriodList(), "Resources"},
            {&GetGeneralObjects(), "Resources"}};
}

// The first level of the demo, with its goals and its period's backdrop,
// held as the game plays it; every list is emptied again afterwards, as
// the other benchmarks of this program expect.
class CHudScreen {
public:
    CHudScreen()
    {
        std::filesystem::current_path(DemoData());
        SetDataFolder(".");
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        EnumerateFontFiles();
        for (auto [list, folder] : Lists())
            list->SetSource(nullptr, folder, 0);
        InitGeneralObjects();

        CLevelOptions* first = GetLevels()->GetLevel(0);
        if (!first)
            std::abort();
        GetLevelHolder().HoldCopyOf(first);
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        level->m_SecondsPlayed = 3.0f;
        hud = level->GetPlayfield().GetHUD();
        // The two points measured: open ground and the backdrop's bar.
        if (!hud || hud->HitsPeriodBackdrop(500, 450) || !hud->HitsPeriodBackdrop(500, 720))
            std::abort();
        screen = CFrame::MakeOwned(1024, 768, 32);
    }
    ~CHudScreen()
    {
        GetLevelHolder().Release();
        // Emptied, to be read again from whatever folder is current then.
        for (auto [list, folder] : Lists()) {
            list->RemoveAll();
            list->SetSource(nullptr, folder, 0);
        }
    }
    CHudScreen(const CHudScreen&) = delete;
    CHudScreen& operator=(const CHudScreen&) = delete;

    CHUD* hud = nullptr;
    std::unique_ptr<CFrame> screen;
};

// Argument 0: open ground (every overlay drawn, nothing lands); 1: on the
// backdrop's bottom bar.
void BM_HitsPeriodBackdrop(benchmark::State& state)
{
    CHudScreen screen;
    CHUD& hud = *screen.hud;
    const int32_t x = state.range(0) ? 100 : 500;
    const int32_t y = state.range(0) ? 720 : 450;
    for (auto _ : state)
        benchmark::DoNotOptimize(hud.HitsPeriodBackdrop(x, y));
}
BENCHMARK(BM_HitsPeriodBackdrop)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_HudDraw(benchmark::State& state)
{
    CHudScreen screen;
    for (auto _ : state) {
        screen.hud->Draw(*screen.screen);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HudDraw)->Unit(benchmark::kMicrosecond);

} // namespace
