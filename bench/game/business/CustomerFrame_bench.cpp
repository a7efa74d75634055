// A frame of the half-built town with eight customers in line, headless at
// 1024 x 768 over a copy of the demo data: two wait to be answered, three
// think, three have decided; their patience spread from full to the angry
// flash. One update and one draw of that frame are measured apart, and the
// "Customer Options" lookups the customers make are counted per frame.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "bench/game/business/HalfBuiltTown.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CCustomerOptions.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

// The benchmark program links with --wrap for the options' getter: calls
// from the other objects (the customers, arrivals, greeter) come here.
extern "C" CCustomerOptions& __real__Z18GetCustomerOptionsv();
namespace {
uint64_t g_OptionsLookups = 0;
}
extern "C" CCustomerOptions& __wrap__Z18GetCustomerOptionsv()
{
    ++g_OptionsLookups;
    return __real__Z18GetCustomerOptionsv();
}

namespace {

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("customers");
    return folder;
}

constexpr int kCustomers = 8;

// The line at a fixed moment: who waits, thinks or has decided, and how long
// each has waited.
void KeepTheLine(const std::vector<CCustomer*>& line)
{
    for (int i = 0; i < kCustomers; ++i) {
        CCustomer& customer = *line[size_t(i)];
        customer.m_TimeWaited = 10.0f * float(i);
        if (i < 2) {
            delete customer.m_PackageWanted;
            customer.m_PackageWanted = nullptr;
            customer.m_TimeLeftToDecideWhatToOrder = 0.0f;
        } else if (i < 5) {
            customer.m_TimeLeftToDecideWhatToOrder = 30.0f;
        }
    }
}

// The town half built and eight customers in line, or empty when the demo
// data does not allow it.
std::vector<CCustomer*> FillTheLine(CGameApp& game)
{
    std::vector<CCustomer*> line;
    if (bench::BuildHalfTheTown(game).size() != 6)
        return line;
    for (int i = 0; i < kCustomers; ++i) {
        CSprite* sprite = SpawnCustomer();
        auto* customer = sprite ? dynamic_cast<CCustomer*>(sprite->FindAI(CCustomer::SGetClassInfo())) : nullptr;
        if (!customer)
            return {};
        line.push_back(customer);
        if (i >= 5)
            customer->DecideOrder();
    }
    KeepTheLine(line);
    game.Update(1.0f / 60.0f);
    return line;
}

void BM_UpdateOfEightCustomersOverTwelveLots(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    const std::vector<CCustomer*> line = game ? FillTheLine(*game) : std::vector<CCustomer*>{};
    if (line.size() != size_t(kCustomers)) {
        state.SkipWithError("the town could not be built on or the customers not spawned");
        return;
    }
    const uint64_t lookupsBefore = g_OptionsLookups;
    for (auto _ : state) {
        KeepTheLine(line);
        game->Update(1.0f / 60.0f);
    }
    state.counters["options_lookups_per_frame"] =
        double(g_OptionsLookups - lookupsBefore) / double(state.iterations());
}
BENCHMARK(BM_UpdateOfEightCustomersOverTwelveLots)->Unit(benchmark::kMicrosecond);

void BM_DrawOfEightCustomersOverTwelveLots(benchmark::State& state)
{
    bench::CGameRun run(GameFolder());
    CGameApp* game = CGameApp::SGetInstance();
    const std::vector<CCustomer*> line = game ? FillTheLine(*game) : std::vector<CCustomer*>{};
    if (line.size() != size_t(kCustomers)) {
        state.SkipWithError("the town could not be built on or the customers not spawned");
        return;
    }
    KeepTheLine(line);
    game->Update(1.0f / 60.0f);
    const uint64_t lookupsBefore = g_OptionsLookups;
    for (auto _ : state)
        game->Draw();
    state.counters["options_lookups_per_frame"] =
        double(g_OptionsLookups - lookupsBefore) / double(state.iterations());
}
BENCHMARK(BM_DrawOfEightCustomersOverTwelveLots)->Unit(benchmark::kMicrosecond);

} // namespace
