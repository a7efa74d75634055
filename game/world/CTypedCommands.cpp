#include "game/world/CTypedCommands.h"

#include "game/business/CCustomer.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CPlayfield.h"
#include "game/world/WorldHooks.h"
#include "shell/CTypedCommandList.h"

namespace {

bool g_Registered = false;

void PlayConfirmationSound()
{
    CAudioPlaySettings settings;
    settings.pitch = 1.0f;
    settings.volume = 1.0f;
    settings.pan = 0.0f;
    // The list names the sounds it finds by themselves without their ending.
    CAudioList& audio = GetAudioList();
    audio.PlayAudioByName(audio.Find("Customer Moved In.Wav") > 0 ? "Customer Moved In.Wav" : "Customer Moved In",
                          settings);
}

STypedCommandSwitches& Switches()
{
    return GetTypedCommandSwitches();
}

void ToggleFrameRate()
{
    if (CGameBase* game = CGameBase::SGetInstance())
        game->SetDisplayFps(!game->GetDisplayFps());
}

void CustomerCacheOn()
{
    Switches().customerCache = true;
}

void CustomerCacheOff()
{
    Switches().customerCache = false;
}

void PlayfieldCacheOn()
{
    Switches().playfieldCache = true;
}

void PlayfieldCacheOff()
{
    Switches().playfieldCache = false;
}

void AddMoney()
{
    if (CGameState* state = CGameState::SGetCurrent())
        state->m_SpendableMoneyK += 100.0f;
}

void AddOneStar()
{
    if (CGameState* state = CGameState::SGetCurrent())
        state->m_ExtraStarsHack += 1;
}

void AddTenStars()
{
    if (CGameState* state = CGameState::SGetCurrent())
        state->m_ExtraStarsHack += 10;
}

void OpenShop()
{
    CGameApp* app = CGameApp::SGetInstance();
    if (app && !GetGameScreensHooks().IsScreenOpen(EGameScreen::Shop))
        app->OpenShopBeforeLevel();
}

void ToggleDebugBuild()
{
    Switches().debugBuild = !Switches().debugBuild;
}

void GrantThreeInARow()
{
    if (CThreeInARowCounter* counter = GetThreeInARowCounter())
        counter->AddBonus();
}

void CompleteLevel()
{
    CompletePlayerInteraction();
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->Update(1.0f / 60.0f);
    Switches().levelFinishedByCommand = true;
}

void AchieveOptionalGoals()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level)
        return;
    const uint32_t goals = level->m_OptionalGoals.GetCount();
    for (uint32_t i = 0; i < goals; ++i)
        GetGameScreensHooks().MarkOptionalGoalAchieved(level, i);
}

void FailLevel()
{
    Switches().levelFinishedByCommand = true;
    Switches().levelFailedByCommand = true;
}

void ResetAchievements()
{
    GetGameScreensHooks().ResetAchievements();
}

void SendFirstCustomerAway()
{
    CPlayfield* playfield = GetCurrentPlayfield();
    CPlayfieldLayer* customers = playfield ? playfield->FindLayer("Customers") : nullptr;
    if (CCustomer* first = FindCustomer(customers ? customers->GetSprites().GetFirst() : nullptr))
        first->Leave();
}

void ToggleAdviceDebug()
{
    Switches().adviceDebug = !Switches().adviceDebug;
}

// Each word's effect, then the confirmation sound.
template <void (*Effect)()>
void Confirmed()
{
    Effect();
    PlayConfirmationSound();
}

struct SWord {
    const char* word = nullptr;
    bool cheat = false;
    CFunctionCommand::ExecuteFunction function = nullptr;
};

// In registration order.
constexpr SWord kWords[] = {
    {"glimvat", false, &Confirmed<ToggleFrameRate>},
    {"trunelda", false, &Confirmed<CustomerCacheOn>},
    {"trunelbox", false, &Confirmed<CustomerCacheOff>},
    {"wobrinet", false, &Confirmed<PlayfieldCacheOn>},
    {"wobrinzul", false, &Confirmed<PlayfieldCacheOff>},
    {"zorpMelon", true, &Confirmed<AddMoney>},
    {"zorp1Quill", true, &Confirmed<AddOneStar>},
    {"zorp10Quill", true, &Confirmed<AddTenStars>},
    {"zorpBarge", true, &Confirmed<OpenShop>},
    {"zorpHammer", true, &Confirmed<ToggleDebugBuild>},
    {"zorp3trelkin", true, &Confirmed<GrantThreeInARow>},
    {"zorpCompleteTier", true, &Confirmed<CompleteLevel>},
    {"zorpGrantBonusAim", true, &Confirmed<AchieveOptionalGoals>},
    {"zorpFlunkTiers", false, &Confirmed<FailLevel>},
    {"zorpWipeAllMedalRecord", false, &Confirmed<ResetAchievements>},
    {"zorpDepart", false, &SendFirstCustomerAway},
    {"zorpCounsel", false, &Confirmed<ToggleAdviceDebug>},
};

} // namespace

STypedCommandSwitches& GetTypedCommandSwitches()
{
    static STypedCommandSwitches switches;
    return switches;
}

void RegisterGameTypedCommands(CTypedCommandList& list, bool cheats)
{
    // The list has no way to drop a word: a second registration would make
    // every word run twice, and a toggle then undoes itself.
    if (!g_Registered) {
        g_Registered = true;
        for (const SWord& word : kWords)
            if (cheats || !word.cheat)
                list.RegisterFunction(word.word, word.function);
    }
    list.Enable();
}

void ResetGameTypedCommandsForTesting()
{
    g_Registered = false;
    GetTypedCommandSwitches() = STypedCommandSwitches();
}
