// The goal panels as the level screen draws them every frame: three goal
// overlays (revenue, time, hearts) over a 1024 x 768 frame, each fetching
// "Goal Options" by name and laying its line out in two passes.
#include "bench/BenchPng.h"
#include "bench/BenchSupport.h"
#include "foundation/FilePaths.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOverlay.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "objects/CPropertyArrayProperty.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void WriteSequence(const std::string& name, uint32_t w, uint32_t h, uint8_t red)
{
    const std::string folder = "Resources/Sequences/-" + name;
    std::filesystem::create_directories(folder);
    WriteText(folder + "/Properties.txt", "CSequence\r\n{\r\n\tCenter Hot Spot=0\r\n}\r\n");
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = red;
        rgba[i + 1] = 120;
        rgba[i + 2] = 60;
        rgba[i + 3] = 230;
    }
    bench::WritePng(folder + "/" + name + " 01.png", rgba, w, h);
}

class CGoalScreen {
public:
    CGoalScreen()
    {
        RegisterAllClasses();
        std::filesystem::current_path(bench::MakeFolder("goals"));
        SetDataFolder(".");
        CFrame::SetGlobalBitDepth(32);
        WriteSequence("Goal_Incomplete", 230, 44, 30);
        WriteSequence("Goal Dollar", 24, 24, 240);
        WriteSequence("Goal Clock", 24, 24, 200);
        WriteSequence("Goal Heart", 24, 24, 220);
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        if (std::filesystem::exists(kDejaVu)) {
            std::filesystem::copy_file(kDejaVu, "Resources/!default.ttf");
            WriteText("Resources/Fonts/Body.FONT.TXT", "CFont\r\n{\r\n\tFont Family=!default.ttf\r\n\tPoint Size=11\r\n}\r\n");
            EnumerateFontFiles();
            GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        }
        WriteText("Resources/Goal Options.Object.txt",
                  "CGoalOptions\r\n{\r\n\tRevenue Sequence=Goal Dollar\r\n\tTimer Sequence=Goal Clock\r\n"
                  "\tTimer Font=Fonts/Body\r\n\tFull Heart Sequence=Goal Heart\r\n\tPartial Heart Sequence=Goal Heart\r\n"
                  "\tAnyone Sequence=Goal Heart\r\n\tBackground Sequence=Goal_Incomplete\r\n\tFont=Fonts/Body\r\n"
                  "\tContentOffset=44,22\r\n\tMax Width=170\r\n}\r\n");
        InitGeneralObjects();

        CLevelOptions level;
        GetLevelHolder().HoldCopyOf(&level);
        CLevelOptions* current = CLevelOptions::SGetCurrent();
        auto* goals = static_cast<CPropertyArrayProperty*>(
            CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
        goals->ArrayProperty_SetCount(current, 3);
        auto* revenue = new CRevenueGoal;
        revenue->m_Revenue = 1250.0f;
        current->m_OptionalGoals[0] = revenue;
        current->m_OptionalGoals[1] = new CTimeGoal;
        current->m_OptionalGoals[2] = new CHeartGoal;
        for (uint32_t i = 0; i < 3; ++i) {
            auto overlay = std::make_unique<CFrameOverlayGoalOverlay>();
            overlay->m_GoalNumber = i;
            overlay->m_Positon = {780, int32_t(16 + 50 * i)};
            overlays.push_back(std::move(overlay));
        }
        screen = CFrame::MakeOwned(1024, 768, 32);
    }

    std::vector<std::unique_ptr<CFrameOverlayGoalOverlay>> overlays;
    std::unique_ptr<CFrame> screen;
};

CGoalScreen& Screen()
{
    static CGoalScreen screen;
    return screen;
}

void BM_DrawThreeGoalPanels(benchmark::State& state)
{
    CGoalScreen& screen = Screen();
    CFrameOverlayDrawContext context;
    context.m_pTarget = screen.screen.get();
    for (auto _ : state) {
        for (auto& overlay : screen.overlays)
            overlay->Draw(context);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawThreeGoalPanels)->Unit(benchmark::kMicrosecond);

} // namespace
