// One whole frame (update and draw) of the credits screen over the running
// game, headless over a copy of the demo data: with the demo's credits, with
// one line of 4 MB, and with a file of 40 MB (a line of 8 MB, then a
// million short ones). What the box cannot show must cost nothing per frame.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "game/screens/CCredits.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameApp.h"
#include "ui/CScreenWindow.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path made = bench::MakeDemoDataCopy("credits");
        std::string text = "Made by~The Team\r\n_" + std::string(size_t(4) << 20, 'M') + "\r\nThe End\r\n";
        std::ofstream(made / "Line Credits.txt", std::ios::binary) << text;
        text = "+" + std::string(size_t(8) << 20, 'W') + "\r\n";
        for (uint32_t i = 0; text.size() < (size_t(40) << 20); ++i)
            text += "Thanks to player " + std::to_string(i) + "~and friends\r\n";
        std::ofstream(made / "Large Credits.txt", std::ios::binary) << text;
        return made;
    }();
    return folder;
}

void InstallLayers()
{
    InstallGameScreensHooks();
}

void CreditsFrames(benchmark::State& state, const char* file)
{
    const std::string path = file[0] == '/' ? std::string(file) : (GameFolder() / file).string();
    bench::CGameRun run(GameFolder(), InstallLayers);
    CGameApp* game = CGameApp::SGetInstance();
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!game || !screen) {
        state.SkipWithError("the game did not start");
        return;
    }
    auto* credits = new CCreditsWindow(nullptr, path.c_str());
    screen->AddChild(credits, EPlace::Centred);
    for (auto _ : state) {
        game->Update(1.0f / 60.0f);
        game->Draw();
    }
    credits->Close();
}

void BM_CreditsFrameDemo(benchmark::State& state)
{
    CreditsFrames(state, (GameFolder() / "Data/Credits.txt").c_str());
}
BENCHMARK(BM_CreditsFrameDemo)->Unit(benchmark::kMillisecond);

void BM_CreditsFrameWithA4MBLine(benchmark::State& state)
{
    CreditsFrames(state, "Line Credits.txt");
}
BENCHMARK(BM_CreditsFrameWithA4MBLine)->Unit(benchmark::kMillisecond);

void BM_CreditsFrameWithA40MBFile(benchmark::State& state)
{
    CreditsFrames(state, "Large Credits.txt");
}
BENCHMARK(BM_CreditsFrameWithA40MBFile)->Unit(benchmark::kMillisecond);

} // namespace
