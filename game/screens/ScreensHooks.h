#pragma once
// The game screens' answers to the hooks the lower layers left for them, and
// the one installer the program calls at start-up.
//
// The game object opens and closes its screens by kind; each screen's own
// file fills its entry of the screen table, and its progression lists join
// the makers run when the game object asks for them.
#include "game/world/CLevelPlay.h"
#include "game/world/CGameApp.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
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

class CScreensGameAppHooks : public CGameAppHooks {
public:
    bool IsScreenOpen(EGameScreen screen) override;
    bool OpenScreen(EGameScreen screen) override;
    void CloseScreen(EGameScreen screen) override;
    void CreateProgressionLists() override;
    // Lays the map's level markers out when the rules ask for it.
    void PrepareTownMap() override;
    // Every frame counts to the current profile's running time, playing
    // frames also to its playing time; neither marks the profiles changed.
    void AddPlayTime(float seconds) override;
    void AddLevelPlayTime(float seconds) override;
    // A starting level clears the per-level work variables of the profile.
    void ResetPlayerLevelVariables() override;
    CGameState* GetSavedStateForLevel(uint32_t level) override;
    // Saves the profiles, changed or not, before the lists they name go.
    void OnGameClosing() override;
};

// The tips ("Tips Options").
class CScreensHudHooks : public CHudHooks {
public:
    CJString GetTipText(uint32_t levelIndex) override;
    float GetTipDuration() override;
    int32_t GetTipOverlay() override;
    float GetTipFrontOfLineOffset() override;
};

// The advice given last, for the level's statistics text.
class CScreensCurrentLevelHooks : public CCurrentLevelHooks {
public:
    CJString GetLastAdviceName() override;
};

class CScreensWorldHooks : public CWorldHooks {
public:
    void AddCareerRevenue(float thousands) override;
    void AwardAchievement(const char* name) override;
    void GetAchievements(std::vector<CAchievementEarned>& out) override;
    void StoreStateBeforeLevel(CGameState* copy) override;
    bool GetCurrentPlayer(CCareerPlayerRecord& out) override;
    uint32_t GetGameBuildNumber() override;
};

class CScreensGoalHooks : public CGoalHooks {
public:
    // The current profile's record of the level (found in the level set; the
    // current level otherwise) takes the goal.
    void MarkOptionalGoalAchieved(CLevelOptions* level, uint32_t goal) override;
};

class CScreensLevelOptionsHooks : public CLevelOptionsHooks {
public:
    int32_t GetTimesCompleted(CLevelOptions* level) override;
    int32_t GetTimesFailed(CLevelOptions* level) override;
    int32_t GetPlayerBuildNumber() override;
    bool IsFirstTimePlayer() override;
    bool WasGoalAchievedBefore(CLevelOptions* level, uint32_t goal) override;
};

// The trophies' frame clock, and the open neighbourhood viewer's level copy
// as the level viewed.
class CScreensPlayfieldHooks : public CPlayfieldHooks {
public:
    void AdvanceAchievementTimers(float seconds) override;
    CObject* GetViewedLevel() override;
};

// Installs every table above (each one instance for the program's life),
// the trophies' services and the level's end.
// Called again it installs the same instances.
void InstallGameScreensHooks();
