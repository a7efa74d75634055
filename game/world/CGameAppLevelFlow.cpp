#include "game/world/CGameApp.h"

#include "game/world/CLevelPlay.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPlayfield.h"
#include "sequences/CTextSubstitutionList.h"

#include <cstdio>

namespace {

// The level's forced state (tutorials too), the chosen stored one on a
// restart, the player's saved one, else "Initial", looked up once into
// initial. A backdrop's level is nobody's play: it marks no record.
void CopyStartingState(bool restart, CGameState* chosen, CGameState*& initial, bool backdrop = false)
{
    GetLevelHolder().Release();
    CLevelSet* levels = FindLevels();
    const uint32_t index = GetCurrentLevelIndex();
    CLevelOptions* level = levels ? levels->GetLevel(index) : nullptr;
    CGameState* source = nullptr;
    if (level && (level->m_IsTutorialLevel || level->m_ForcedGameState)) {
        source = level->m_ForcedGameState;
        if (!backdrop)
            GetGameScreensHooks().GetSavedStateForLevel(index);
    } else if (restart && chosen) {
        source = chosen;
    } else {
        CGameScreensHooks& hooks = GetGameScreensHooks();
        source = backdrop ? hooks.FindSavedStateForLevel(index) : hooks.GetSavedStateForLevel(index);
    }
    if (!source) {
        if (!initial) {
            CGameStateList& states = GetGameStateList();
            const int32_t found = states.Find("Initial");
            initial = found >= 0 ? states.GetObject(found) : nullptr;
        }
        source = initial;
    }
    if (CGameState* current = CGameState::SGetCurrent())
        current->CopyFromAndReset(source);
}

// A level set that is there but empty is the data's choice; one that is
// missing or unreadable leaves the town as empty too, so the data's author
// is told: the game goes on as with an empty set.
void ReportNoLevelSet()
{
    CGeneralObjectsList& list = GetGeneralObjects();
    const char* folder = list.GetFolderName();
    if (list.Find("Levels") < 0)
        std::fprintf(stderr,
                     "%s: the general objects hold no \"Levels\": there are no levels to play and the town "
                     "is empty\n",
                     folder);
    else
        std::fprintf(stderr,
                     "%s/Levels: not a level set that could be read: there are no levels to play and the "
                     "town is empty\n",
                     folder);
}

} // namespace

void CGameApp::StartLevel(bool skipIntro, bool backdrop)
{
    CGameState* state = CGameState::SGetCurrent();
    if (state)
        state->ResetForLevel();
    GetLevelHolder().Release();
    CLevelSet* levels = FindLevels();
    if (!levels)
        ReportNoLevelSet();
    CLevelOptions* source = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr;
    if (source)
        GetLevelHolder().HoldCopyOf(source);
    if (state)
        state->GrantFreeUpgrades();
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level)
        level->StartPlay();
    GetGlobalTextSubstitutions().RemoveAll();
    PlaceSlotSprites();
    if (state && level) {
        state->AddTimerSprite();
        state->AddThreeInARowCounterSprite();
    }
    if (!backdrop)
        GetGameScreensHooks().ResetPlayerLevelVariables();
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->Update(0.0f);
    if (level)
        level->Update(0.0f, false);
    if (!skipIntro)
        GetGameScreensHooks().OpenScreen(EGameScreen::LevelIntro);
    CGameSongPlayer::SGetInstance().StartLevelMusic();
}

void CGameApp::StartLevelByIndex(uint32_t index)
{
    SetCurrentLevelIndex(index);
    SelectStartingGameState(false);
    StartLevel(true);
}

void CGameApp::StartLastLevel()
{
    CLevelSet* levels = FindLevels();
    const uint32_t count = levels ? levels->GetCount() : 0;
    SetCurrentLevelIndex(count > 0 ? count - 1 : 0);
    CopyStartingState(false, m_ChosenStoredState, m_InitialState, true);
    StartLevel(true, true);
}

void CGameApp::StartLevelAfterLast()
{
    CLevelSet* levels = FindLevels();
    const uint32_t count = levels ? levels->GetCount() : 0;
    uint32_t next = GetCurrentLevelIndex() + 1;
    if (next >= count)
        next = count > 0 ? count - 1 : 0;
    StartLevelByIndex(next);
}

void CGameApp::RestartFromFirstLevel()
{
    SetCurrentLevelIndex(0);
    SelectStartingGameState(false);
    StartLevel(false);
}

void CGameApp::EnterCurrentLevel()
{
    SelectStartingGameState(false);
    CLevelSet* levels = FindLevels();
    CLevelOptions* level = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr;
    if (GetCurrentLevelIndex() == 0)
        StartLevel(false);
    else if (level && level->m_IsTutorialLevel)
        StartLevel(true);
    else
        OpenShopBeforeLevel();
}

void CGameApp::OpenShopBeforeLevel()
{
    GetLevelHolder().Release();
    CLevelSet* levels = FindLevels();
    if (CLevelOptions* source = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr)
        GetLevelHolder().HoldCopyOf(source);
    GetGameScreensHooks().OpenScreen(EGameScreen::Shop);
}

void CGameApp::OpenDecadeTransition()
{
    SetCurrentLevelIndex(0);
    if (!GetGameScreensHooks().OpenScreen(EGameScreen::DecadeTransition))
        RestartFromFirstLevel();
}

void CGameApp::OpenPauseMenu()
{
    if (!QueryScreenWindow(0))
        GetGameScreensHooks().OpenScreen(EGameScreen::PauseMenu);
}

void CGameApp::CloseAllOverlayScreens()
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    for (EGameScreen screen : {EGameScreen::MainMenu, EGameScreen::EndOfLevel, EGameScreen::TutorialEndOfLevel,
                               EGameScreen::TownMap, EGameScreen::Rewards, EGameScreen::DecadeTransition,
                               EGameScreen::LevelIntro, EGameScreen::Shop, EGameScreen::PauseMenu})
        if (hooks.IsScreenOpen(screen))
            hooks.CloseScreen(screen);
}

void CGameApp::SelectStartingGameState(bool restart)
{
    CopyStartingState(restart, m_ChosenStoredState, m_InitialState);
}

bool CGameApp::HasNamedPlayer()
{
    CCareerPlayerRecord player;
    return !GetGameScreensHooks().GetCurrentPlayer(player) || !player.name.IsEmpty();
}

void CGameApp::RestartAfterEditing()
{
    // Without a main menu to go back to, a designer's session on a profile
    // not yet named is nobody's play: the player who names it next is still
    // new.
    CopyStartingState(true, m_ChosenStoredState, m_InitialState, !HasNamedPlayer());
    StartLevel(true);
}

void SelectStartingGameState(bool restart)
{
    if (CGameApp* game = CGameApp::SGetInstance()) {
        game->SelectStartingGameState(restart);
        return;
    }
    CGameState* initial = nullptr;
    CopyStartingState(restart, nullptr, initial);
}

void SetChosenStoredGameState(CGameState* state)
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->SetChosenStoredGameState(state);
}
