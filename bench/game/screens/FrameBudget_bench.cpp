// The frame budget: one whole frame (update, draw and present) of the
// busiest street the demo has, at 1024 x 768, with the screens and business
// layers installed as the launcher installs them. The street (the last
// career street of twelve lots, entered as the game starts a level) is made
// busy by the game's own code: six lots with a frame going up (a framing
// crew on each, the foreman at one), three finished houses under score
// balloons, eight customers in line (waiting, thinking, decided), the
// signpost, the three-in-a-row meter running its bonus, the HUD and the
// level's tip.
//
// Two screens: the headless one (the frame rasterised, as a reader of the
// picture gets it; and, apart, unread, as the headless program runs) and
// OpenGL on Mesa under SDL's off-screen driver (presented, then glFinish).
// Each frame is timed on its own; the counters give the median and the 99th
// percentile of those times in milliseconds (goals: 8 ms headless, 16.7 ms
// on OpenGL), and of the update and the draw apart.
#include "bench/BenchSupport.h"
#include "bench/GameRun.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CForeman.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgradeButton.h"
#include "game/screens/ScreensHooks.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "game/business/CScoreBalloonAI.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "platform/GraphicsDeviceGL.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kLots = 12;
constexpr size_t kBuilding = 6;
constexpr size_t kFinished = 3;
constexpr int kCustomers = 8;

std::filesystem::path GameFolder()
{
    static const std::filesystem::path folder = bench::MakeDemoDataCopy("budget");
    return folder;
}

// The launcher's hooks, without the main menu a start opens: the benchmark
// goes straight to a street.
void InstallHooks()
{
    InstallGameScreensHooks();
    SetGameScreenEntry(EGameScreen::MainMenu, SGameScreenEntry{});
}

template <class AI>
AI* FindAI(CSprite* sprite)
{
    return sprite ? dynamic_cast<AI*>(sprite->FindAI(AI::SGetClassInfo())) : nullptr;
}

template <class AI>
std::vector<AI*> AllOf(CPlayfield& playfield)
{
    std::vector<AI*> found;
    for (uint32_t l = 0; l < playfield.GetLayerCount(); ++l)
        if (CPlayfieldLayer* layer = playfield.GetLayer(l))
            for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i)
                if (AI* ai = FindAI<AI>(layer->GetSprite(i)))
                    found.push_back(ai);
    return found;
}

// The street at work; Keep puts back, before every frame, what time would
// otherwise move on (frames half up, the line's patience, the balloons' age,
// the tip's seconds, the bonus), so every frame draws the same busy scene.
struct SBusyStreet {
    std::vector<CBuildablePackage*> building;
    std::vector<CCustomer*> line;
    std::vector<CScoreBalloonAI*> balloons;
    CThreeInARowCounter* meter = nullptr;
    size_t crews = 0;
    size_t foremen = 0;
    size_t signposts = 0;

    void Keep() const
    {
        for (CBuildablePackage* package : building)
            package->m_ConstructionProgress = 0.55f;
        for (size_t i = 0; i < line.size(); ++i) {
            CCustomer& customer = *line[i];
            // A share of the customer's own patience: one kept past it leaves
            // the street, and the next frame would write through a freed one.
            const CCustomerStyleSheet* style = customer.GetStyleSheet();
            const float patience = style ? style->m_MaximumWait : 60.0f;
            customer.m_TimeWaited = patience * float(i) / float(line.size() + 1);
            if (i >= 2 && i < 5)
                customer.m_TimeLeftToDecideWhatToOrder = 30.0f;
        }
        for (CScoreBalloonAI* balloon : balloons)
            balloon->m_TimeSinceCreate = 0.25f;
        if (CLevelOptions* level = CLevelOptions::SGetCurrent())
            level->m_SecondsPlayed = 2.0f;
        if (meter)
            meter->m_SecondsBonusLeft = 5.0f;
    }
};

// Enters the street with every screen over it closed; true when it is a
// career street (a tutorial's pop-ups would cover it) of twelve lots.
bool EnterStreetOfTwelveLots(CGameApp& game, uint32_t index)
{
    game.StartLevelByIndex(index);
    for (int pass = 0; pass < 3; ++pass) {
        game.CloseAllOverlayScreens();
        game.Update(1.0f / 60.0f);
    }
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CLotPlayfieldLayer* lots = GetLotLayer();
    return level && !level->m_IsTutorialLevel && lots && lots->GetSpriteCount() == kLots;
}

// The button that starts a house (the one a vacant lot takes first).
CUpgradeButton* FrameButton(CPlayfield& playfield)
{
    const int32_t frame = GetFramePhase();
    for (CUpgradeButton* button : AllOf<CUpgradeButton>(playfield))
        if (auto* part = dynamic_cast<CBuildablePart*>(button->GetUpgrade()); part && part->m_BuildPhase == frame)
            return button;
    return nullptr;
}

// An upgrade of the list that builds the phase; 0 when none does.
int32_t PartFor(int32_t phase)
{
    CUpgradeList& upgrades = GetUpgradeList();
    for (int32_t i = 1; i < upgrades.GetCount(); ++i)
        if (auto* part = dynamic_cast<CBuildablePart*>(upgrades.GetObject(i)); part && part->m_BuildPhase == phase)
            return i;
    return 0;
}

// Makes the street just entered busy; the reason in why when its data does
// not allow it.
bool MakeBusy(CGameApp& game, SBusyStreet& street, std::string& why)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CLotPlayfieldLayer* lots = GetLotLayer();
    CUpgradeButton* frameButton = playfield ? FrameButton(*playfield) : nullptr;
    if (!frameButton || !playfield->GetHUD()) {
        why = "the street has no frame button or no HUD";
        return false;
    }
    // One framing crew for each frame going up; the data gives the first.
    const int32_t frame = GetFramePhase();
    std::vector<CCrew*> framers;
    for (CCrew* crew : AllOf<CCrew>(*playfield))
        if (crew->m_BuildingPhase == frame)
            framers.push_back(crew);
    if (framers.empty()) {
        why = "the street has no framing crew";
        return false;
    }
    const uint32_t crewLook = framers.front()->GetSprite()->GetImageSequenceIndex();
    for (size_t i = framers.size(); i < kBuilding; ++i) {
        auto* crew = new CSprite;
        crew->SetImageSequence(crewLook);
        crew->AddAI(CreateCrewAI(frame));
        playfield->AddSprite(crew, "Crew");
    }
    game.Update(1.0f / 60.0f);
    std::vector<CLot*> finished;
    for (uint32_t i = 0; i < lots->GetSpriteCount(); ++i) {
        CLot* lot = CLot::SFromSprite(lots->GetSprite(i));
        if (!lot || !lot->GetBuilding())
            continue;
        CBuildablePackage& package = *lot->GetBuilding();
        if (street.building.size() < kBuilding) {
            if (frameButton->DropOnLot(lot))
                street.building.push_back(&package);
        } else if (finished.size() < kFinished) {
            package.SizeToBuildPhases();
            for (int32_t phase : {frame, GetGaragePhase(), GetColorPhase()})
                if (phase >= 0 && uint32_t(phase) < package.m_Parts.GetCount())
                    package.m_Parts[uint32_t(phase)] = PartFor(phase);
            finished.push_back(lot);
        }
    }
    if (street.building.size() != kBuilding || finished.size() != kFinished) {
        why = "the frames or the houses could not be put on the lots";
        return false;
    }
    for (int i = 0; i < 60; ++i)
        game.Update(1.0f / 60.0f);
    for (int i = 0; i < kCustomers; ++i) {
        auto* customer = FindAI<CCustomer>(SpawnCustomer());
        if (!customer) {
            why = "the customers could not be spawned";
            return false;
        }
        street.line.push_back(customer);
        if (i < 2) {
            delete customer->m_PackageWanted;
            customer->m_PackageWanted = nullptr;
            customer->m_TimeLeftToDecideWhatToOrder = 0.0f;
        } else if (i >= 5) {
            customer->DecideOrder();
        }
    }
    for (CLot* lot : finished)
        lot->ShowScoreBalloon(0.0f);
    street.balloons = AllOf<CScoreBalloonAI>(*playfield);
    street.meter = GetThreeInARowCounter();
    street.crews = AllOf<CCrew>(*playfield).size();
    street.foremen = AllOf<CForeman>(*playfield).size();
    street.signposts = AllOf<CSignpost>(*playfield).size();
    street.Keep();
    game.Update(1.0f / 60.0f);
    if (street.foremen == 0 || street.signposts == 0 || !street.meter || street.balloons.size() != kFinished) {
        why = "the street has no foreman, signpost or bonus meter, or shows no balloons";
        return false;
    }
    if (!playfield->GetHUD()->ShouldShowTip()) {
        why = "the street shows no tip";
        return false;
    }
    return true;
}

// The last career street (the later the busier) of twelve lots that can be
// made busy with all its parts.
bool MakeAStreetBusy(CGameApp& game, SBusyStreet& street, std::string& why)
{
    why = "no career street of twelve lots";
    CLevelSet* levels = FindLevels();
    for (uint32_t i = levels ? levels->GetCount() : 0; i-- > 0;) {
        street = SBusyStreet{};
        if (EnterStreetOfTwelveLots(game, i) && MakeBusy(game, street, why))
            return true;
    }
    return false;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(fraction * double(values.size())));
    return values[at];
}

// Waits until the current OpenGL context has drawn everything asked of it.
void FinishOpenGL()
{
    using Finish = void (*)();
    static const auto finish = reinterpret_cast<Finish>(SDL_GL_GetProcAddress("glFinish"));
    if (finish && SDL_GL_GetCurrentContext())
        finish();
}

plat::CGraphicsDevice* OpenGL(std::string& reason)
{
    static std::string why;
    static plat::CGraphicsDevice* const device = plat::CreateOffscreenGLGraphicsDevice(1024, 768, why).release();
    reason = why;
    return device;
}

enum class EScreen { Headless, HeadlessUnread, OpenGL };

void BusyFrame(benchmark::State& state, EScreen kind)
{
    plat::CGraphicsDevice* gl = nullptr;
    if (kind == EScreen::OpenGL) {
        std::string reason;
        gl = OpenGL(reason);
        if (!gl) {
            state.SkipWithError(("no OpenGL: " + reason).c_str());
            return;
        }
    }
    bench::CGameRun run(GameFolder(), &InstallHooks);
    CGameApp* game = CGameApp::SGetInstance();
    SBusyStreet street;
    std::string why = "no game";
    if (!game || !MakeAStreetBusy(*game, street, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    CScreenDevice& device = CScreenDevice::SGetInstance();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    if (gl) {
        device.SetDeviceForTesting(gl);
        SetUseDesktopResolution(false);
        if (!screen.SetScreenMode(true)) {
            device.SetDeviceForTesting(nullptr);
            screen.SetScreenMode(true);
            state.SkipWithError("the OpenGL screen cannot take the mode");
            return;
        }
    }
    if (device.GetBackBufferWidth() != 1024 || device.GetBackBufferHeight() != 768) {
        state.SkipWithError("the screen is not 1024 x 768");
        return;
    }
    auto* headless = dynamic_cast<plat::CGraphicsDeviceHeadless*>(&device.GetDevice());
    if (headless)
        headless->SetRecording(false);
    else if (kind != EScreen::OpenGL) {
        state.SkipWithError("the screen is not the memory device");
        return;
    }
    game->SetWindowActive(true);
    // Textures made, the first frame's costs left out.
    street.Keep();
    game->Update(1.0f / 60.0f);
    game->Draw();

    using Clock = std::chrono::steady_clock;
    std::vector<double> frames, updates, draws;
    bool presented = true;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        street.Keep();
        game->Update(1.0f / 60.0f);
        const Clock::time_point updated = Clock::now();
        presented = game->Draw() && presented;
        if (kind == EScreen::Headless)
            benchmark::DoNotOptimize(headless->GetPresented().data());
        else if (kind == EScreen::OpenGL)
            FinishOpenGL();
        const Clock::time_point end = Clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        frames.push_back(seconds * 1e3);
        updates.push_back(std::chrono::duration<double, std::milli>(updated - start).count());
        draws.push_back(std::chrono::duration<double, std::milli>(end - updated).count());
    }
    if (!presented)
        state.SkipWithError("a frame was not presented");
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
    state.counters["update_median_ms"] = Percentile(updates, 0.5);
    state.counters["draw_median_ms"] = Percentile(draws, 0.5);
    state.counters["draw_p99_ms"] = Percentile(draws, 0.99);
    state.counters["crews"] = double(street.crews);
    state.counters["street"] = double(GetCurrentLevelIndex());
    if (auto* glDevice = dynamic_cast<plat::CGraphicsDeviceGL*>(gl))
        state.counters["draw_calls"] = double(glDevice->GetDrawCallsOfLastFrame());
    if (gl) {
        device.SetDeviceForTesting(nullptr);
        screen.SetScreenMode(true);
    }
}

void BM_BusyStreetFrameHeadless(benchmark::State& state)
{
    BusyFrame(state, EScreen::Headless);
}
BENCHMARK(BM_BusyStreetFrameHeadless)->UseManualTime()->Iterations(600)->Unit(benchmark::kMillisecond);

// The same without reading the picture, as the headless program runs: the
// draws are recorded and never rasterised.
void BM_BusyStreetFrameHeadlessUnread(benchmark::State& state)
{
    BusyFrame(state, EScreen::HeadlessUnread);
}
BENCHMARK(BM_BusyStreetFrameHeadlessUnread)->UseManualTime()->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_BusyStreetFrameOpenGL(benchmark::State& state)
{
    BusyFrame(state, EScreen::OpenGL);
}
BENCHMARK(BM_BusyStreetFrameOpenGL)->UseManualTime()->Iterations(600)->Unit(benchmark::kMillisecond);

} // namespace
