#include "game/screens/CLevelCompletion.h"

#include "foundation/CCommand.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/GameWindows.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/CTypedCommands.h"
#include "objects/CMessage.h"
#include "sequences/CTextSubstitutionList.h"

namespace {

class CShowResultsCommand : public CCommand {
public:
    explicit CShowResultsCommand(bool won)
        : m_Won(won)
    {
    }
    void Execute() override { CLevelCompletion::ShowLevelResultsWindow(m_Won); }

private:
    bool m_Won;
};

// The layer's sprites go; nothing the game keeps may point at them after.
void DeleteLayerSprites(CPlayfield& playfield, const char* name)
{
    CPlayfieldLayer* layer = playfield.FindLayer(name);
    if (!layer)
        return;
    CGameApp* game = CGameApp::SGetInstance();
    CSpriteArray& sprites = layer->GetSprites();
    while (sprites.GetCount() > 0) {
        CSprite* sprite = sprites.GetAt(sprites.GetCount() - 1);
        sprites.Remove(sprite);
        if (game)
            game->ForgetCursorAttachment(sprite);
        delete sprite;
    }
}

// The trophy room taken from the trophies' menu outlives it: the results
// wait behind the room until the player leaves it.
void KeepTrophyRoomInFront()
{
    CTrophyRoomWindow* room = GetTrophyRoomWindow();
    if (CJWindow* parent = room ? room->GetParent() : nullptr)
        parent->BringChildToFront(room);
}

} // namespace

bool CLevelCompletion::IsLevelWon()
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    if (player && player->IsKidsMode())
        return true;
    const CGameState* state = CGameState::SGetCurrent();
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    const float revenue = state ? state->m_RevenueK : 0.0f;
    return revenue >= (level ? level->m_RequiredRevenue : 0.0f);
}

void CLevelCompletion::CompleteLevel()
{
    CLevelHolder& held = GetLevelHolder();
    if (held.IsPlayEnded()) {
        // Recorded and paid when it ended: uncovered again, the street
        // shows its results and nothing more.
        ShowLevelResultsWindow(IsLevelWon());
        return;
    }
    held.EndPlay();
    CMessage message = CMessage::CMessageByName("LevelComplete");
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (level)
        level->HandleMessage(message);
    CPlayfield* playfield = GetCurrentPlayfield();
    if (playfield) {
        playfield->BroadcastMessage(message);
        DeleteLayerSprites(*playfield, "UI");
        DeleteLayerSprites(*playfield, "Crew");
    }

    const bool won = IsLevelWon();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    const uint32_t index = GetCurrentLevelIndex();
    CGameState* state = CGameState::SGetCurrent();
    EndTutorialPlay();
    // The goals met go into the record with the result, so that the results'
    // save keeps both: the HUD would award them only at its next draw, after
    // that save.
    if (CPlayerStatsForLevel* record = level ? stats.GetCurrentLevelStats() : nullptr)
        for (uint32_t i = 0; i < level->m_OptionalGoals.GetCount(); ++i)
            if (const CGoal* goal = level->m_OptionalGoals[i]; goal && goal->m_AchievedThisTime)
                record->SetOptionalGoalAchieved(i);
    if (!won) {
        if (CPlayerStatsForLevel* record = stats.GetCurrentLevelStats()) {
            record->AddFailure();
            CStats::SMarkChanged();
        }
    } else {
        if (state)
            state->AddEarnedSpendable();
        if (player && level && level->m_IsTutorialLevel) {
            player->RecordLevelCompletedAndMarked(index);
        } else if (player) {
            if (CPlayerStatsForLevel* record = stats.GetCurrentLevelStats())
                record->SaveLotInfoForScrapbook();
            player->RecordLevelCompleted(index, state);
        }
    }

    STypedCommandSwitches& switches = GetTypedCommandSwitches();
    if (!switches.levelFinishedByCommand)
        GetGlobalTextSubstitutions().RemoveAll();
    switches.levelFinishedByCommand = false;
    switches.levelFailedByCommand = false;
    AchievementLevelComplete(won);
    // The result and the trophies it earned are kept from now: a kill on a
    // trophy card or before the results must not cost the street.
    stats.SaveIfNeeded();
    ShowLevelEndScreens(won);
}

void CLevelCompletion::ShowLevelEndScreens(bool won)
{
    // The trophies' menu plays their sound and runs the command when it
    // closes; with none waiting the command runs at once.
    AnnounceEarnedTrophies(new CShowResultsCommand(won));
}

void CLevelCompletion::ShowLevelResultsWindow(bool won)
{
    const CRules& rules = CRules::SGetInstance();
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!won) {
        PlayAudioUnlessNone(rules.m_LevelFailedAudio);
        AddGameScreenWindow(new CEndOfLevelWindow(false));
        KeepTrophyRoomInFront();
        return;
    }
    PlayAudioUnlessNone(rules.m_LevelFinishedAudio);
    if (level && level->m_IsTutorialLevel)
        AddGameScreenWindow(new CTutorialEndOfLevelWindow);
    else
        AddGameScreenWindow(new CEndOfLevelWindow(true));
    KeepTrophyRoomInFront();
}
