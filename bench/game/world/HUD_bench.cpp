// The HUD over the demo data's first level: the backdrop hit test that every
// playfield mouse message costs (the whole gameplay set drawn into one
// pixel), and the HUD's whole draw of a 1024 x 768 frame.
#include "bench/BenchSupport.h"
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

namespace {

class CHudScreen {
public:
    CHudScreen()
    {
        const std::filesystem::path folder = bench::MakeFolder("hud");
        const std::string source = OMBRISALT_SOURCE_DIR;
        std::filesystem::copy(source + "/data/Data", folder / "Data", std::filesystem::copy_options::recursive);
        std::filesystem::remove_all(folder / "Data/Resources/Sequences/.frames-made");
        std::filesystem::remove_all(folder / "Data/Resources/Frames");
        for (const char* maker : {"sequences", "tones", "overlays", "interface", "music"})
            if (std::system(
                    ("python3 " + source + "/tools/make_demo_" + maker + ".py " + folder.string() + " >/dev/null")
                        .c_str())
                != 0)
                std::abort();
        std::filesystem::current_path(folder / "Data");
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetPeriodList().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();

        // The first level with its goals, on the default layers, in a period
        // with a backdrop.
        CLevelOptions* first = GetLevels()->GetLevel(0);
        if (!first)
            std::abort();
        GetLevelHolder().HoldCopyOf(first);
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        level->GetPlayfield().FillDefaultLayers();
        level->m_SecondsPlayed = 3.0f;
        if (CPeriod* period = GetCurrentPeriod())
            period->m_HudBackground = GetSequenceList().Find("House");
        hud = level->GetPlayfield().GetHUD();
        if (!hud)
            std::abort();
        screen = CFrame::MakeOwned(1024, 768, 32);
    }

    CHUD* hud = nullptr;
    std::unique_ptr<CFrame> screen;
};

CHudScreen& Screen()
{
    static CHudScreen screen;
    return screen;
}

// Argument 0: open ground (every overlay drawn, nothing lands); 1: on the
// money panel.
void BM_HitsPeriodBackdrop(benchmark::State& state)
{
    CHUD& hud = *Screen().hud;
    const int32_t x = state.range(0) ? 100 : 500;
    const int32_t y = state.range(0) ? 30 : 450;
    for (auto _ : state)
        benchmark::DoNotOptimize(hud.HitsPeriodBackdrop(x, y));
}
BENCHMARK(BM_HitsPeriodBackdrop)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_HudDraw(benchmark::State& state)
{
    CHudScreen& screen = Screen();
    for (auto _ : state) {
        screen.hud->Draw(*screen.screen);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HudDraw)->Unit(benchmark::kMicrosecond);

} // namespace
