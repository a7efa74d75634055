// The main menu as the player first meets it, headless over a copy of the
// demo data: from start-up to the first drawn main menu (the data loaded,
// the last level started behind it), and one whole frame (update and draw)
// of the menu over its running background level. A data set without its
// own "Main Menu Overlay" gets a plain one with the four buttons.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameApp.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path made = bench::MakeDemoDataCopy("main_menu");
        const std::filesystem::path set = made / "Data/Resources/Frame Overlay Options/Main Menu Overlay.FOO";
        // Until the demo's own set has the buttons.
        std::ifstream held(set, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(held)), std::istreambuf_iterator<char>());
        if (text.find("PlayGame") == std::string::npos) {
            std::string items;
            int y = 300;
            for (const char* id : {"ChangePlayer", "PlayGame", "Options", "Exit"}) {
                items += std::string("\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=") + id + "\r\n\t\t\tTitle="
                    + id + "\r\n\t\t\tPosition=450," + std::to_string(y) + "\r\n\t\t\tSize=120,40\r\n\t\t}\r\n";
                y += 60;
            }
            std::ofstream(set, std::ios::binary)
                << "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n"
                   "\t\tItem Count=4\r\n"
                << items << "\t}\r\n}\r\n";
        }
        return made;
    }();
    return folder;
}

void InstallLayers()
{
    InstallGameScreensHooks();
}

void BM_StartToFirstDrawnMainMenu(benchmark::State& state)
{
    GameFolder();
    for (auto _ : state) {
        bench::CGameRun run(GameFolder(), InstallLayers);
        state.SetIterationTime(run.m_StartSeconds);
        if (!GetMainMenu() || !GetMainMenu()->GetButton("PlayGame"))
            state.SkipWithError("the game did not open at its main menu");
    }
}
BENCHMARK(BM_StartToFirstDrawnMainMenu)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_MainMenuFrameOverItsBackgroundLevel(benchmark::State& state)
{
    bench::CGameRun run(GameFolder(), InstallLayers);
    CGameApp* game = CGameApp::SGetInstance();
    if (!game || !GetMainMenu()) {
        state.SkipWithError("the game did not open at its main menu");
        return;
    }
    for (auto _ : state) {
        game->Update(1.0f / 60.0f);
        game->Draw();
    }
    if (!GetMainMenu())
        state.SkipWithError("the main menu closed during the run");
}
BENCHMARK(BM_MainMenuFrameOverItsBackgroundLevel)->Unit(benchmark::kMillisecond);

} // namespace
