#pragma once
// The game screens' answers to the one table the game asks them through,
// installed by the screens' registration.
//
// The game object opens and closes its screens by kind; each screen's own
// file fills its entry of the screen table, and its progression lists join
// the makers run when the game object asks for them.
#include "game/world/CGameApp.h"
#include "game/world/WorldHooks.h"

struct SGameScreenEntry {
    bool (*open)() = nullptr; // false when the screen could not be made
    void (*close)() = nullptr;
    bool (*isOpen)() = nullptr;
};
// Replaces the screen's entry; an empty entry removes it.
void SetGameScreenEntry(EGameScreen screen, const SGameScreenEntry& entry);
// Runs once per request of the game object, in the order added; adding the
// same maker again does nothing.
void AddProgressionListMaker(void (*make)());

// The screens' answers to everything the game asks of them.
class CScreensHooks : public CGameScreensHooks {
public:
    bool IsScreenOpen(EGameScreen screen) override;
    bool OpenScreen(EGameScreen screen) override;
    void CloseScreen(EGameScreen screen) override;
    // The open neighbourhood viewer's level copy.
    CObject* GetViewedLevel() override;

    void CreateProgressionLists() override;
    // Lays the map's level markers out when the rules ask for it.
    void PrepareTownMap() override;
    // The level completion with its results.
    void CompleteLevel() override;

    // Every frame counts to the current profile's running time, playing
    // frames also to its playing time; neither marks the profiles changed.
    void AddPlayTime(float seconds) override;
    void AddLevelPlayTime(float seconds) override;
    // A starting level clears the per-level work variables of the profile.
    void ResetPlayerLevelVariables() override;
    bool GetCurrentPlayer(CCareerPlayerRecord& out) override;
    uint32_t GetGameBuildNumber() override;
    int32_t GetPlayerBuildNumber() override;
    bool IsFirstTimePlayer() override;
    CGameState* GetSavedStateForLevel(uint32_t level) override;
    CGameState* FindSavedStateForLevel(uint32_t level) override;
    void StoreStateBeforeLevel(CGameState* copy) override;
    // The current profile's record of the level: found in the level set; the
    // current level's otherwise.
    int32_t GetTimesCompleted(CLevelOptions* level) override;
    int32_t GetTimesFailed(CLevelOptions* level) override;
    bool WasGoalAchievedBefore(CLevelOptions* level, uint32_t goal) override;
    void MarkOptionalGoalAchieved(CLevelOptions* level, uint32_t goal) override;
    // Saves the profiles, changed or not, before the lists they name go.
    void OnGameClosing() override;

    // Tips and decade transitions follow their levels (LevelNumberedData.h).
    void OnLevelsInserted(uint32_t at, uint32_t count) override;
    void OnLevelRemoved(uint32_t at) override;
    void OnLevelsSwapped(uint32_t i, uint32_t j) override;
    CJString GetLevelTip(uint32_t level) override;
    void SetLevelTip(uint32_t level, const CJString& text) override;
    bool SaveRenumberedLevelData(CJString& failedFile) override;
    void RenumberedLevelDataSaved() override;
    void KeepRenumberedLevelData() override;
    void PutBackRenumberedLevelData() override;

    // "Tips Options".
    CJString GetTipText(uint32_t levelIndex) override;
    float GetTipDuration() override;
    int32_t GetTipOverlay() override;
    float GetTipFrontOfLineOffset() override;
    // The advice given last, for the level's statistics text.
    CJString GetLastAdviceName() override;
    void NoteGarageRepainted() override;

    // The trophies.
    void AddCareerRevenue(float thousands) override;
    void AwardAchievement(const char* name) override;
    void GetAchievements(std::vector<CAchievementEarned>& out) override;
    void AdvanceAchievementTimers(float seconds) override;
    void ReportWatchedUpgradeMovedIn(bool holds) override;
    void ReportInARowRuns(int32_t runs) override;
    void ResetAchievements() override;
    int32_t GetWatchedUpgradeSlot() override;
};

// Installs the table above (one instance for the program's life) and every
// screen's entry; RegisterGameScreensClasses() calls it. Called again it
// installs the same instance.
void InstallGameScreensHooks();
