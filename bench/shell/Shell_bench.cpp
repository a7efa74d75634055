// The main loop without a game to speak of: how many passes a second the
// shell itself runs, and how much of a processor the loop takes while the
// window is active, spinning as the loop is written or sleeping for the time
// left until the next step.

#include "platform/CPlatformHeadless.h"
#include "shell/CGameBase.h"
#include "shell/StartGame.h"

#include "../BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

class CEmptyGame final : public CGameBase {
public:
    CEmptyGame()
        : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, nullptr, nullptr, nullptr)
    {
    }
};

std::unique_ptr<CGameBase> RunEmptyGame()
{
    return std::make_unique<CEmptyGame>();
}

// The program started once, headless, in a folder of its own.
class CRunningShell {
public:
    CRunningShell()
    {
        const std::filesystem::path folder = bench::MakeFolder("shell");
        std::filesystem::current_path(folder);
        m_Previous = plat::ReplacePlatform(&m_Platform);
        SetInstanceLockName(("OmbrisaltBench-" + std::to_string(::getpid())).c_str());
        SetRunGame(RunEmptyGame);
        SLauncherRecord record;
        record.gameName = "Bench";
        const std::string program = (folder / "bench").string();
        record.programPath = program.c_str();
        int32_t code = 0;
        m_Started = StartUp(record, "bench", code, m_Game);
    }
    ~CRunningShell()
    {
        if (m_Started)
            ShutDown(std::move(m_Game));
        plat::ReplacePlatform(m_Previous);
    }
    bool IsStarted() const { return m_Started; }
    CGameBase* Game() const { return m_Game.get(); }

private:
    plat::CPlatformHeadless m_Platform;
    plat::CPlatform* m_Previous = nullptr;
    bool m_Started = false;
    std::unique_ptr<CGameBase> m_Game;
};

CRunningShell& Shell()
{
    static CRunningShell shell;
    return shell;
}

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void BM_EmptyLoopPasses(benchmark::State& state)
{
    if (!Shell().IsStarted()) {
        state.SkipWithError("the shell did not start");
        return;
    }
    SetIdleWait(IdleWait::Spin);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunOnePass(Shell().Game()));
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_EmptyLoopPasses);

// Every pass a step: without real time the driver updates and draws once per pass.
void BM_PassesWithAStep(benchmark::State& state)
{
    if (!Shell().IsStarted()) {
        state.SkipWithError("the shell did not start");
        return;
    }
    SetIdleWait(IdleWait::Spin);
    CGameBase* game = Shell().Game();
    game->SetRealTime(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunOnePass(game));
    game->SetRealTime(true);
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_PassesWithAStep);

// A quarter second of the loop on the real clock per iteration: counters
// give the processor share, the frames drawn a second, and the share of the
// spinning loop over the sleeping one measured in the same run.
double RunFor(IdleWait wait, double seconds, uint32_t& draws)
{
    SetIdleWait(wait);
    CGameBase* game = Shell().Game();
    const uint32_t drawsBefore = game->GetDrawCount();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuSeconds();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds)
        RunOnePass(game);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    draws = game->GetDrawCount() - drawsBefore;
    return (ProcessCpuSeconds() - cpuStart) / wall;
}

void BM_ActiveLoopProcessorShare(benchmark::State& state)
{
    if (!Shell().IsStarted()) {
        state.SkipWithError("the shell did not start");
        return;
    }
    double spinShare = 0.0;
    double sleepShare = 0.0;
    uint32_t spinDraws = 0;
    uint32_t sleepDraws = 0;
    for (auto _ : state) {
        uint32_t draws = 0;
        spinShare += RunFor(IdleWait::Spin, 0.25, draws);
        spinDraws += draws;
        sleepShare += RunFor(IdleWait::Sleep, 0.25, draws);
        sleepDraws += draws;
    }
    const double n = double(state.iterations());
    state.counters["spin_cpu"] = spinShare / n;
    state.counters["sleep_cpu"] = sleepShare / n;
    state.counters["spin_fps"] = double(spinDraws) / (0.25 * n);
    state.counters["sleep_fps"] = double(sleepDraws) / (0.25 * n);
    state.counters["ratio"] = sleepShare > 0 ? spinShare / sleepShare : 0;
}
BENCHMARK(BM_ActiveLoopProcessorShare)->Iterations(4)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
