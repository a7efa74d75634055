#include "game/business/CCustomerArrivals.h"

#include "game/business/CCustomer.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CMessage.h"

#include <cmath>
#include <cstdio>

namespace {

SpawnLimitingQuery g_SpawnLimiting = nullptr;

CPlayfieldLayer* CustomersLayer()
{
    CPlayfield* playfield = GetCurrentPlayfield();
    return playfield ? playfield->FindLayer("Customers") : nullptr;
}

bool IsBonusActive(CThreeInARowCounter* counter)
{
    return counter && counter->IsBonusActive();
}

bool IsPayingOut(CThreeInARowCounter* counter)
{
    return counter && counter->IsInEndOfLevelPhase();
}

// The line has room: one chance in "Fames Per New Customer" this frame. A
// count of 0 or less would divide by zero: the customer comes at once.
bool DrawsNewCustomer(const CLevelOptions& level)
{
    if (level.m_FamesPerNewCustomer <= 0)
        return true;
    return CRandomGenerator::Global().Chance(1.0f / float(level.m_FamesPerNewCustomer));
}

int32_t NextStyle(CLevelOptions& level)
{
    const int32_t spawned = level.m_CustomersSpawned;
    const CPropertyArray<int32_t>& script = level.m_ForcedOrderedCustomerStylesScript;
    if (spawned >= 0 && uint32_t(spawned) < script.GetCount() && script[uint32_t(spawned)] != 0)
        return script[uint32_t(spawned)];
    const int32_t style = level.NextRandomCustomerStyle(CRandomGenerator::Global());
    return style > 0 ? style : 0;
}

void StandInCompleteLevel()
{
    CMessage message = CMessage::CMessageByName("LevelComplete");
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        level->HandleMessage(message);
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->BroadcastMessage(message);
    STypedCommandSwitches& switches = GetTypedCommandSwitches();
    switches.levelFinishedByCommand = false;
    switches.levelFailedByCommand = false;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->StartLevel(true);
}

} // namespace

CSprite* SpawnCustomer()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!level || !playfield)
        return nullptr;
    auto* sprite = new CSprite;
    if (CObject* script = GetCustomerOptions().m_CustomerScript.Clone()) {
        if (auto* plugIn = dynamic_cast<CSpritePlugIn*>(script))
            sprite->AddPlugIn(plugIn);
        else
            delete script;
    }
    auto* customer = new CCustomer;
    customer->ResetToDefaults();
    customer->m_CustomerStyleSheet = NextStyle(*level);
    sprite->AddAI(customer);
    sprite->SetPosition(-999.0f, -999.0f);
    playfield->AddSprite(sprite, "Customers");
    customer->Arrive();
    ++level->m_CustomersSpawned;
    return sprite;
}

uint32_t CountIdleCustomers()
{
    CPlayfieldLayer* layer = CustomersLayer();
    if (!layer)
        return 0;
    uint32_t idle = 0;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* sprite = layer->GetSprite(i);
        auto* customer = sprite ? dynamic_cast<CCustomer*>(sprite->FindAI(CCustomer::SGetClassInfo())) : nullptr;
        if (customer && customer->GetState() == CCustomer::kIdle)
            ++idle;
    }
    return idle;
}

void UpdateCustomerSpawning()
{
    SetCustomerLinePosition(0);
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level || !GetCurrentPlayfield())
        return;
    CGameBase* game = CGameBase::SGetInstance();
    if (GetLevelHolder().IsPlayEnded()) {
        // An ended street uncovered (F7 closes the screens over it) takes
        // nobody new: its results are the way on.
        if (!(game && game->QueryScreenWindow(0)))
            CompleteLevel();
        return;
    }
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    const bool bonus = IsBonusActive(counter);
    CPlayfieldLayer* layer = CustomersLayer();
    uint32_t n = bonus ? CountIdleCustomers() : (layer ? layer->GetSpriteCount() : 0);
    STypedCommandSwitches& switches = GetTypedCommandSwitches();

    const bool moreToCome = level->m_CustomersSpawned < 0 || uint32_t(level->m_CustomersSpawned) < level->m_Customers;
    if (moreToCome && !switches.levelFinishedByCommand) {
        if (level->m_CustomerSpawningDisabled)
            return;
        if (level->m_SecondsPlayed < GetCustomerOptions().m_FirstCustomerDelay)
            return;
        if (n == 0) {
            SpawnCustomer();
            return;
        }
        const int32_t maxInLine = level->GetMaxCustomersInLine();
        if (maxInLine <= 0 || n >= uint32_t(maxInLine))
            return;
        if (DrawsNewCustomer(*level))
            SpawnCustomer();
        return;
    }
    if (switches.levelFinishedByCommand && !IsPayingOut(counter)) {
        n = 0;
        if (CGameState* state = CGameState::SGetCurrent()) {
            if (state->m_RevenueK < level->m_RequiredRevenue)
                state->m_RevenueK = level->m_RequiredRevenue;
            if (switches.levelFailedByCommand)
                state->m_RevenueK = 0.0f;
        }
    }
    if (CountIdleCustomers() == 0 && !level->m_PlayerInteractionComplete)
        CompletePlayerInteraction();
    if (n != 0)
        return;
    if (game && game->QueryScreenWindow(0))
        return;
    if (bonus) {
        if (!IsPayingOut(counter))
            counter->StartEndOfLevelPhase();
        return;
    }
    CompleteLevel();
}

void CompleteLevel()
{
    GetGameScreensHooks().CompleteLevel();
}

void CGameScreensHooks::CompleteLevel()
{
    StandInCompleteLevel();
}

void DrawLevelTimeDebugInfo(CFrameInterface& target)
{
    if (!g_SpawnLimiting || !g_SpawnLimiting())
        return;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CCustomerOptions* options = FindCustomerOptions();
    if (!level || !options)
        return;
    CFontList& fonts = GetFontList();
    const int32_t index = options->m_LevelTimeFont;
    CFont* font = index > 0 && index < fonts.GetCount() ? fonts.GetObject(index) : nullptr;
    if (!font)
        return;
    char text[32];
    std::snprintf(text, sizeof text, "%ld", std::lround(level->m_SecondsPlayed));
    font->DrawText(target, 10, 10, CJString(text));
    std::snprintf(text, sizeof text, "%d", int(level->GetMaxCustomersInLine()));
    font->DrawText(target, 10, 10 + font->GetPointSize() + 10, CJString(text));
}

SpawnLimitingQuery SetSpawnLimitingQuery(SpawnLimitingQuery query)
{
    SpawnLimitingQuery previous = g_SpawnLimiting;
    g_SpawnLimiting = query;
    return previous;
}
