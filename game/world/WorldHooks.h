#pragma once
// What the game state, the levels and the building business ask of the
// player profiles, the achievements and the game object, which all live above
// this library. Every service does nothing, or answers a neutral value, until
// installed.
#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"

#include <cstdint>
#include <vector>

class CGameState;

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

class CWorldHooks {
public:
    virtual ~CWorldHooks() = default;

    // Achievement work variables: the career-revenue counter.
    virtual void AddCareerRevenue(float /*thousands*/) {}
    // Awards the named achievement to the current player.
    virtual void AwardAchievement(const char* /*name*/) {}

    // Keeps the copy (taking ownership) as the current level's state before
    // the level started, replacing the one kept there, and marks the player
    // statistics for saving. Uninstalled: the copy is dropped.
    virtual void StoreStateBeforeLevel(CGameState* copy);
    // False when there is no current player.
    virtual bool GetCurrentPlayer(CCareerPlayerRecord& /*out*/) { return false; }
    virtual uint32_t GetGameBuildNumber() { return 0; }
    // Every achievement, in its list order, with the current player's flag.
    virtual void GetAchievements(std::vector<CAchievementEarned>& /*out*/) {}
};

// Installs hooks (null: none); returns the previous ones. The caller keeps
// ownership.
CWorldHooks* SetWorldHooks(CWorldHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetWorldHooks);
// The installed hooks, or the do-nothing ones.
CWorldHooks& GetWorldHooks();

// The current player's achievement work variables, as the lots and the typed
// words report to them.
class CAchievementServices {
public:
    virtual ~CAchievementServices() = default;
    virtual void ReportWatchedUpgradeMovedIn(bool /*holds*/) {}
    virtual void ReportInARowRuns(int32_t /*runs*/) {}
    virtual void ResetAchievements() {}
    // The upgrade slot whose held part makes a house a blue model home; 0
    // for none.
    virtual int32_t GetWatchedUpgradeSlot() { return 0; }
};

// Installs services (null: none); returns the previous ones. The caller
// keeps ownership.
CAchievementServices* SetAchievementServices(CAchievementServices* services);
OMBRISALT_UPWARD_HOOK(SetAchievementServices);
// The installed services, or the do-nothing ones.
CAchievementServices& GetAchievementServices();
