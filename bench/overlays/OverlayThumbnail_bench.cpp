// The image browser's picture of an overlay set, made again every third of
// a second while the set is shown: the set (twelve translucent 300 x 200
// boxes over a 1024 x 768 screen, a heavy case) drawn and shrunk to
// 160 x 120. Three of these a second per thumbnail in view is what a
// browser of sets costs.
#include "bench/BenchSupport.h"
#include "images/CFrame.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/CFrameOverlayBrowserItem.h"
#include "overlays/RegisterOverlaysClasses.h"
#include "sequences/RegisterSequencesClasses.h"
#include "shell/RegisterShellClasses.h"
#include "ui/RegisterUiClasses.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

CFrameOverlayOptionsList& BoxSets()
{
    static CFrameOverlayOptionsList* sets = [] {
        RegisterShellClasses();
        RegisterSequencesClasses();
        RegisterUiClasses();
        RegisterOverlaysClasses();
        CFrame::SetGlobalBitDepth(32);
        const std::filesystem::path folder = bench::MakeFolder("overlay_thumbnail");
        std::string text = "CFrameOverlayOptions\r\n{\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=12\r\n";
        for (int i = 0; i < 12; ++i)
            text += "\t\tArray Item=CBoxFrameOverlay\r\n\t\t{\r\n\t\t\tPositon=" + std::to_string(40 + i * 70) + "," +
                    std::to_string(30 + i * 50) + "\r\n\t\t\tSize=300,200\r\n\t\t\tFill Color=" +
                    std::to_string(i * 20) + ",60,120,200\r\n\t\t\tOutline Width=3\r\n\t\t}\r\n";
        text += "\t}\r\n}\r\n";
        std::ofstream(folder / "Boxes.FOO", std::ios::binary) << text;
        auto* made = new CFrameOverlayOptionsList;
        made->SetSource(nullptr, folder.string().c_str(), 0);
        return made;
    }();
    return *sets;
}

void BM_OverlaySetThumbnail(benchmark::State& state)
{
    CFrameOverlayOptionsList& sets = BoxSets();
    if (sets.GetCount() != 1) {
        state.SkipWithError("the set was not found");
        return;
    }
    CFrameOverlayBrowserItem item(&sets, 0);
    for (auto _ : state) {
        item.BuildThumbnail();
        benchmark::DoNotOptimize(item.GetThumbnail());
    }
}
BENCHMARK(BM_OverlaySetThumbnail)->Unit(benchmark::kMicrosecond);

} // namespace
