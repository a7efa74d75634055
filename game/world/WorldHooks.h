#pragma once
// The one table through which the game asks the screens above it.
#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"

#include <cstdint>
#include <vector>

class CGameState;
class CLevelOptions;
class CObject;

// The game screens over the playfield that the game asks about.
enum class EGameScreen : uint8_t {
    MainMenu,
    EndOfLevel,
    TutorialEndOfLevel,
    TownMap,
    Rewards,
    DecadeTransition,
    LevelIntro,
    Shop,
    PauseMenu,
    NeighbourhoodViewer,
    Count
};

// The current player's record as the career statistics read it.
struct CCareerPlayerRecord {
    CJString name;
    uint32_t id = 0;
    float secondsPlaying = 0.0f;
    float secondsProgramRunning = 0.0f;
    uint32_t careerStars = 0;
    float careerRevenueK = 0.0f; // thousands of $
    int32_t difficulty = 0;      // 0: the mode without a revenue requirement
};

struct CAchievementEarned {
    CJString name;
    bool earned = false;
};

// What the game object, the levels and the building business ask of the
// screens, the player profiles, the advice and the achievements above this
// library: one table, filled by the screens' registration. Uninstalled, every
// screen is closed and can't be opened and every service does nothing, or
// answers a neutral value.
class CGameScreensHooks {
public:
    virtual ~CGameScreensHooks() = default;

    // --- Screens by kind
    virtual bool IsScreenOpen(EGameScreen /*screen*/) { return false; }
    // Opens the screen as the current window; false when it could not be made.
    virtual bool OpenScreen(EGameScreen /*screen*/) { return false; }
    virtual void CloseScreen(EGameScreen /*screen*/) {}
    // The end-of-level window is open and folded away.
    virtual bool IsEndOfLevelWindowHidden() { return false; }
    // The level the neighbourhood viewer shows while it is open, else null.
    virtual CObject* GetViewedLevel() { return nullptr; }

    // --- Progression
    // Before the main menu is made.
    virtual void PrepareTownMap() {}
    // The decade transition and life rewards lists.
    virtual void CreateProgressionLists() {}
    // Ends the level with its results screens. Uninstalled, the stand-in
    // tells the level and the playfield "LevelComplete", clears the finish
    // and fail switches and starts the level again.
    virtual void CompleteLevel();

    // --- The current profile: clocks and records
    virtual void AddPlayTime(float /*seconds*/) {}
    virtual void AddLevelPlayTime(float /*seconds*/) {}
    // A starting level clears the per-level work variables.
    virtual void ResetPlayerLevelVariables() {}
    // False when there is no current player.
    virtual bool GetCurrentPlayer(CCareerPlayerRecord& /*out*/) { return false; }
    virtual uint32_t GetGameBuildNumber() { return 0; }
    virtual int32_t GetPlayerBuildNumber() { return 0; }
    virtual bool IsFirstTimePlayer() { return false; }
    // The current player's play mode flag (the mode with a revenue
    // requirement).
    virtual bool IsStandardPlayMode() { return true; }
    // The state the player's statistics saved for the level (marking them
    // visited); null when there is none.
    virtual CGameState* GetSavedStateForLevel(uint32_t /*level*/) { return nullptr; }
    // The same, writing nothing: for a level nobody plays.
    virtual CGameState* FindSavedStateForLevel(uint32_t /*level*/) { return nullptr; }
    // Keeps the copy (taking ownership) as the current level's state before
    // the level started, replacing the one kept there, and marks the player
    // statistics for saving. Uninstalled: the copy is dropped.
    virtual void StoreStateBeforeLevel(CGameState* copy);
    // The current player's record of this level: times completed and failed,
    // whether optional goal i was achieved before; marking goal i achieved.
    virtual int32_t GetTimesCompleted(CLevelOptions* /*level*/) { return 0; }
    virtual int32_t GetTimesFailed(CLevelOptions* /*level*/) { return 0; }
    virtual bool WasGoalAchievedBefore(CLevelOptions* /*level*/, uint32_t /*goal*/) { return false; }
    virtual void MarkOptionalGoalAchieved(CLevelOptions* /*level*/, uint32_t /*goal*/) {}
    // The game object is going while every list is still loaded: what the
    // screens keep (the player profiles above all) is saved and released.
    virtual void OnGameClosing() {}

    // --- Data kept by level number
    // The sorter changed the order of "Levels": what the screens keep by
    // level number (tips, decade transitions) follows its level. A removed
    // level's number goes to the level after it.
    virtual void OnLevelsInserted(uint32_t /*at*/, uint32_t /*count*/) {}
    virtual void OnLevelRemoved(uint32_t /*at*/) {}
    virtual void OnLevelsSwapped(uint32_t /*i*/, uint32_t /*j*/) {}
    // The tip as written of a level, and a pasted level's tip.
    virtual CJString GetLevelTip(uint32_t /*level*/) { return CJString(); }
    virtual void SetLevelTip(uint32_t /*level*/, const CJString& /*text*/) {}
    // Writes what those changed, with "Levels" and in its replacement group;
    // false with the file that could not be written. The changes are written
    // again with each save until RenumberedLevelDataSaved says the group
    // holding them was committed.
    virtual bool SaveRenumberedLevelData(CJString& /*failedFile*/) { return true; }
    virtual void RenumberedLevelDataSaved() {}
    // Keeps that data as it is now, and puts it back (with what was waiting
    // to be written then) after a save of the sorter's order was refused.
    virtual void KeepRenumberedLevelData() {}
    virtual void PutBackRenumberedLevelData() {}

    // --- Tips and advice
    // "Tips Options": the tip of a level (empty: none), how many seconds of
    // play it shows, and the overlay set it is drawn with (a frame-overlay
    // list index; negative: none).
    virtual CJString GetTipText(uint32_t /*levelIndex*/) { return CJString(); }
    virtual float GetTipDuration() { return 0.0f; }
    virtual int32_t GetTipOverlay() { return -1; }
    // How far the customers' line moves up while a tip shows.
    virtual float GetTipFrontOfLineOffset() { return 200.0f; }
    // The name of the advice shown last; empty when none.
    virtual CJString GetLastAdviceName() { return CJString(); }
    // A colour dropped again on a garage still waiting for that paint.
    virtual void NoteGarageRepainted() {}

    // --- Achievements: the current player's work variables
    // The career-revenue counter.
    virtual void AddCareerRevenue(float /*thousands*/) {}
    // Awards the named achievement to the current player.
    virtual void AwardAchievement(const char* /*name*/) {}
    // Every achievement, in its list order, with the current player's flag.
    virtual void GetAchievements(std::vector<CAchievementEarned>& /*out*/) {}
    // The achievement work timers, once a frame.
    virtual void AdvanceAchievementTimers(float /*seconds*/) {}
    // One more optional goal.
    virtual void CountOptionalGoalAchieved() {}
    virtual void ReportWatchedUpgradeMovedIn(bool /*holds*/) {}
    virtual void ReportInARowRuns(int32_t /*runs*/) {}
    virtual void ResetAchievements() {}
    // The upgrade slot whose held part makes a house a blue model home; 0
    // for none.
    virtual int32_t GetWatchedUpgradeSlot() { return 0; }
};

// Installs hooks (null: none); returns the previous ones. The caller keeps
// ownership.
CGameScreensHooks* SetGameScreensHooks(CGameScreensHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetGameScreensHooks);
// The installed hooks, or the do-nothing ones.
CGameScreensHooks& GetGameScreensHooks();
