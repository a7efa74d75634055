// A street with many lots, headless over a copy of the demo data: the first
// level given that many more vacant lots (in a grid, most of them off the
// screen). One whole frame (update and draw) is timed; the memory the lots
// take is counted once they have been drawn. Both grow with the lots (the
// data's choice); the counters give the cost per lot against the demo's own
// street.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "foundation/CMemoryPool.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "sequences/CSequenceList.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("lots");
    return folder;
}

// Bytes in use: the heap's count, less the pool's blocks that are not in
// use (objects come from the engine's pool, which keeps what the load freed).
double BytesInUse()
{
    double bytes = double(mallinfo2().uordblks) + double(mallinfo2().hblkhd);
    if (CMemoryPool* pool = GetMemoryPool())
        for (uint32_t i = 0; i < pool->GetClassCount(); ++i) {
            const CFixedSizeAllocator& items = pool->GetClass(i);
            bytes -= double(items.GetTotalItems() - items.GetItemsInUse()) * items.GetItemSize();
        }
    return bytes;
}

void BM_FrameOfAStreetWithMoreLots(benchmark::State& state)
{
    static double demoFrame = 0.0;
    const uint32_t lots = uint32_t(state.range(0));
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!game || !playfield || !playfield->FindLayer("Lot")) {
        state.SkipWithError("the first level has no lots");
        return;
    }
    game->Update(1.0f / 60.0f);
    game->Draw();
    const double before = BytesInUse();
    const int32_t vacant = GetSequenceList().Find("Lot Vacant");
    for (uint32_t i = 0; i < lots; ++i) {
        const int32_t column = int32_t(i % 1000), row = int32_t(i / 1000);
        auto* sprite = new CSprite;
        auto* lot = new CLot;
        sprite->AddAI(lot);
        lot->m_GridCoordinate = {column, row + 10};
        lot->m_BackgroundSequence = vacant;
        sprite->SetImageSequence(uint32_t(vacant));
        sprite->SetPosition(float(420 + column * 210), float(700 + row * 140));
        playfield->AddSprite(sprite, "Lot");
    }
    game->Update(1.0f / 60.0f);
    game->Draw();
    const double bytes = BytesInUse() - before;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        game->Update(1.0f / 60.0f);
        game->Draw();
    }
    const double frame
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
    if (lots == 0) {
        demoFrame = frame;
    } else {
        state.counters["bytes per lot"] = bytes / lots;
        if (demoFrame > 0.0)
            state.counters["ms per 10k lots"] = (frame - demoFrame) * 1000.0 * 10000.0 / lots;
    }
}
BENCHMARK(BM_FrameOfAStreetWithMoreLots)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
