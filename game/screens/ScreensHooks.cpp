#include "game/screens/ScreensHooks.h"

#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerArrivals.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLevelCompletion.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CTips.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/LevelNumberedData.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelSet.h"
#include "game/world/CRules.h"
#include "objects/ObjectFileCallbacks.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

std::array<SGameScreenEntry, size_t(EGameScreen::Count)> g_ScreenEntries;
std::vector<void (*)()> g_ProgressionListMakers;

const SGameScreenEntry* ScreenEntry(EGameScreen screen)
{
    return size_t(screen) < g_ScreenEntries.size() ? &g_ScreenEntries[size_t(screen)] : nullptr;
}

// The level's index in the level set: the current index when the level is
// not found there (a copy the editor plays).
uint32_t LevelIndexOf(CLevelOptions* level)
{
    const uint32_t current = GetCurrentLevelIndex();
    CLevelSet* levels = FindLevels();
    if (!levels || !level || levels->GetLevel(current) == level)
        return current;
    for (uint32_t i = 0; i < levels->GetCount(); ++i)
        if (levels->GetLevel(i) == level)
            return i;
    return current;
}

} // namespace

void SetGameScreenEntry(EGameScreen screen, const SGameScreenEntry& entry)
{
    if (size_t(screen) < g_ScreenEntries.size())
        g_ScreenEntries[size_t(screen)] = entry;
}

void AddProgressionListMaker(void (*make)())
{
    if (make && std::find(g_ProgressionListMakers.begin(), g_ProgressionListMakers.end(), make) ==
                    g_ProgressionListMakers.end())
        g_ProgressionListMakers.push_back(make);
}

bool CScreensHooks::IsScreenOpen(EGameScreen screen)
{
    const SGameScreenEntry* entry = ScreenEntry(screen);
    return entry && entry->isOpen && entry->isOpen();
}

bool CScreensHooks::OpenScreen(EGameScreen screen)
{
    const SGameScreenEntry* entry = ScreenEntry(screen);
    return entry && entry->open && entry->open();
}

void CScreensHooks::CloseScreen(EGameScreen screen)
{
    if (const SGameScreenEntry* entry = ScreenEntry(screen); entry && entry->close)
        entry->close();
}

void CScreensHooks::CreateProgressionLists()
{
    for (void (*make)() : g_ProgressionListMakers)
        make();
}

void CScreensHooks::PrepareTownMap()
{
    if (CRules::SGetInstance().m_ResetLevelSelectPositionsOnStartup)
        LayOutLevelSelectMarkers();
}

void CScreensHooks::AddPlayTime(float seconds)
{
    if (CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer())
        player->m_SecondsProgramRunning += seconds;
}

void CScreensHooks::AddLevelPlayTime(float seconds)
{
    if (CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer())
        player->m_SecondsPlaying += seconds;
}

void CScreensHooks::ResetPlayerLevelVariables()
{
    ResetAchievementLevelVariables();
    ResetAdviceWorkVariables();
    BeginTutorialPlay();
}

CGameState* CScreensHooks::GetSavedStateForLevel(uint32_t level)
{
    CPlayerStatsForLevel* record = CStats::SGetInstance().GetLevelStats(level);
    return record ? record->MarkPlayedAndGetSavedState() : nullptr;
}

CGameState* CScreensHooks::FindSavedStateForLevel(uint32_t level)
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    const CPlayerStatsForLevel* record = player ? player->FindLevelStats(level) : nullptr;
    return record ? record->GetGameStateBeforeLevelStarted() : nullptr;
}

void CScreensHooks::OnGameClosing()
{
    // A street closed before it ended was not played through: its lessons
    // show again, as after Restart or Quit.
    ForgetTutorialsOfThisPlay();
    CStats::SShutdown();
}

void CScreensHooks::AddCareerRevenue(float thousands)
{
    AchievementRevenueAdded(thousands);
}

void CScreensHooks::AwardAchievement(const char* name)
{
    AwardAchievementByName(name);
}

void CScreensHooks::GetAchievements(std::vector<CAchievementEarned>& out)
{
    GetAchievementsEarned(out);
}

void CScreensHooks::StoreStateBeforeLevel(CGameState* copy)
{
    CStats& stats = CStats::SGetInstance();
    CPlayerStatsForLevel* record = stats.GetCurrentLevelStats();
    if (!record) {
        delete copy;
        return;
    }
    record->AdoptGameStateBeforeLevelStarted(copy);
    stats.SetNeedsSave();
}

bool CScreensHooks::GetCurrentPlayer(CCareerPlayerRecord& out)
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    if (!player)
        return false;
    out.name = player->m_Name;
    out.id = player->m_ID;
    out.secondsPlaying = player->m_SecondsPlaying;
    out.secondsProgramRunning = player->m_SecondsProgramRunning;
    out.careerStars = player->GetStarCount();
    out.difficulty = int32_t(player->m_Difficulty);
    return true;
}

uint32_t CScreensHooks::GetGameBuildNumber()
{
    return ::GetGameBuildNumber();
}

void CScreensHooks::MarkOptionalGoalAchieved(CLevelOptions* level, uint32_t goal)
{
    if (CPlayerStatsForLevel* record = CStats::SGetInstance().GetLevelStats(LevelIndexOf(level)))
        record->SetOptionalGoalAchieved(goal);
    AchievementOptionalGoalAchieved();
}

int32_t CScreensHooks::GetTimesCompleted(CLevelOptions* level)
{
    const CPlayerStatsForLevel* record = CStats::SGetInstance().GetLevelStats(LevelIndexOf(level));
    return record ? int32_t(record->GetTimesCompleted()) : 0;
}

int32_t CScreensHooks::GetTimesFailed(CLevelOptions* level)
{
    const CPlayerStatsForLevel* record = CStats::SGetInstance().GetLevelStats(LevelIndexOf(level));
    return record ? int32_t(record->GetTimesFailed()) : 0;
}

int32_t CScreensHooks::GetPlayerBuildNumber()
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    return player ? int32_t(player->m_BuildNumberCreatedWith) : 0;
}

bool CScreensHooks::IsFirstTimePlayer()
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    return player && player->m_IsFirstTimePlaying;
}

bool CScreensHooks::WasGoalAchievedBefore(CLevelOptions* level, uint32_t goal)
{
    const CPlayerStatsForLevel* record = CStats::SGetInstance().GetLevelStats(LevelIndexOf(level));
    return record && record->IsOptionalGoalAchieved(goal);
}

void CScreensHooks::AdvanceAchievementTimers(float seconds)
{
    AchievementFrameTick(seconds);
}

CObject* CScreensHooks::GetViewedLevel()
{
    CNeighborhoodViewer* viewer = GetNeighborhoodViewer();
    return viewer ? viewer->GetLevelCopy() : nullptr;
}

void CScreensHooks::OnLevelsInserted(uint32_t at, uint32_t count)
{
    InsertLevelNumberedData(at, count);
}

void CScreensHooks::OnLevelRemoved(uint32_t at)
{
    RemoveLevelNumberedData(at);
}

void CScreensHooks::OnLevelsSwapped(uint32_t i, uint32_t j)
{
    SwapLevelNumberedData(i, j);
}

CJString CScreensHooks::GetLevelTip(uint32_t level)
{
    return GetLevelNumberedTip(level);
}

void CScreensHooks::SetLevelTip(uint32_t level, const CJString& text)
{
    SetLevelNumberedTip(level, text);
}

bool CScreensHooks::SaveRenumberedLevelData(CJString& failedFile)
{
    return SaveLevelNumberedData(failedFile);
}

void CScreensHooks::RenumberedLevelDataSaved()
{
    LevelNumberedDataSaved();
}

void CScreensHooks::KeepRenumberedLevelData()
{
    KeepLevelNumberedData();
}

void CScreensHooks::PutBackRenumberedLevelData()
{
    PutBackLevelNumberedData();
}

CJString CScreensHooks::GetTipText(uint32_t levelIndex)
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    return tips ? tips->GetTipText(levelIndex) : CJString();
}

float CScreensHooks::GetTipDuration()
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    return tips ? tips->m_SecondsToShowTips : 0.0f;
}

int32_t CScreensHooks::GetTipOverlay()
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    return tips ? tips->m_FrameOverlay : -1;
}

float CScreensHooks::GetTipFrontOfLineOffset()
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    return tips ? tips->m_FrontOfLineOffset : CGameScreensHooks::GetTipFrontOfLineOffset();
}

CJString CScreensHooks::GetLastAdviceName()
{
    return GetLastAdviceShown();
}

void CScreensHooks::CompleteLevel()
{
    CLevelCompletion::CompleteLevel();
}

void CScreensHooks::NoteGarageRepainted()
{
    NoteGarageRepaintedForAdvice();
}

void CScreensHooks::ReportWatchedUpgradeMovedIn(bool holds)
{
    AchievementHouseMovedInto(holds);
}

void CScreensHooks::ReportInARowRuns(int32_t runs)
{
    AchievementMatchesMade(runs);
}

void CScreensHooks::ResetAchievements()
{
    ResetAllAchievements();
}

int32_t CScreensHooks::GetWatchedUpgradeSlot()
{
    return GetAchievementOptions().m_BlueModelHomeUpgradeSlot;
}

void InstallGameScreensHooks()
{
    static CScreensHooks screens;
    [[maybe_unused]] static const bool savesNoted
        = (RegisterObjectSavedCallback(&LevelNumberedFileSaved),
           RegisterObjectSaveCallback(&SaveLevelNumberedFileOnlyWithLevels), true);
    SetGameScreensHooks(&screens);
    InstallDecadeTransitionScreen();
    InstallLifeRewardsScreen();
    InstallEndOfLevelScreens();
    InstallTownMapScreen();
    InstallMainMenuScreen();
    InstallShopScreen();
    InstallLevelIntroScreen();
    InstallPauseMenuScreen();
    InstallNeighborhoodViewerScreen();
}
