#pragma once
// Trophies: data records a player earns once per profile. The game rules
// report events (a move-in, its matches, revenue, a finished level, a new
// optional goal, every playing frame); the current player's work variables
// count them, the options hold the thresholds (all inclusive), and the
// history keeps what was earned and what still waits for the "New Trophy
// Earned" menu. Both per-player objects hang on the player's record as
// dynamic properties, so they travel in "Stats.dat".
#include "game/world/WorldHooks.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>
#include <vector>

class CPlayerStats;
struct CAchievementEarned;

class CAchievement : public CObject {
    OMBRISALT_REFLECTED(CAchievement, CObject)
public:
    CAchievement();
    ~CAchievement() override;

    CTranslatedText m_DisplayName;
    CTranslatedText m_Description;
    CTranslatedText m_JustEarnedDescription;
    bool m_IsClickableWhenEarned = false;
    int32_t m_EarnedImage = 0; // sequences; 0 none
    int32_t m_UnEarnedImage = 0;
    int32_t m_HoverSequence = 0;
    bool m_ShowNewTrophyEarnedMenuWhenEarned = true;
    int32_t m_NewTrophyEarnedMenuImage = 0;
};

class CAchievementList : public CObjectArrayBaseTemplate<CAchievement> {
public:
    CAchievementList();
};
// "Achievement.txt" in "Resources", built on first use.
CAchievementList& GetAchievementList();

class CAchievementOptions : public CObject {
    OMBRISALT_REFLECTED(CAchievementOptions, CObject)
public:
    CAchievementOptions();
    ~CAchievementOptions() override;

    int32_t m_JustEarnedSound = 0; // audio list; 0 none
    float m_BuilderOfDreamsRequiredTime = 30.0f;
    uint32_t m_AccomplishedBuilderHouses = 30;
    uint32_t m_MatchingApprenticeNumMatches = 1;
    uint32_t m_MatchingMasterNumMatches = 2;
    uint32_t m_SupremeMatchingAceNumMatches = 3;
    uint32_t m_CareerEarningsBronzeRevenue = 1000; // thousands of $
    uint32_t m_CareerEarningsSilverRevenue = 10000;
    uint32_t m_CareerEarningsGoldRevenue = 100000;
    uint32_t m_BlueModelHomeMasterHousesRequired = 9;
    int32_t m_BlueModelHomeUpgradeSlot = 0; // upgrade slots; 0 none
    CTranslatedText m_ScrapbookHoverName;
    CTranslatedText m_ScrapbookHoverDescription;
    CTranslatedText m_NoLevelsToShowTitle;
    CTranslatedText m_NoLevelsToShowMessage;
};
// The general object "Achievement Options"; a data set without it is the
// general objects' fatal missing-item report.
CAchievementOptions& GetAchievementOptions();

class CAchievementWorkVariables : public CObject {
    OMBRISALT_REFLECTED(CAchievementWorkVariables, CObject)
public:
    CAchievementWorkVariables();
    ~CAchievementWorkVariables() override;

    float m_MegaClickAssistDuration = 0.0f; // seconds of unbroken bonus
    uint32_t m_NumberOfHousesBuilt = 0;     // career
    float m_CareerRevenueK = 0.0f;          // career, thousands of $
    uint32_t m_BlueHousesBuiltThisLevel = 0;
};

class CAchievementHistory : public CObject {
    OMBRISALT_REFLECTED(CAchievementHistory, CObject)
public:
    CAchievementHistory();
    ~CAchievementHistory() override;

    bool HasBeenEarned(int32_t index) const;
    uint32_t GetCountToShow() const { return m_AchievementIndexesToBeShown.GetCount(); }
    // Null when nothing waits (or the entry no longer names a trophy).
    CAchievement* GetFirstToShow() const;
    void DropFirstToShow();

    // Indexes into the achievement list, each at most once, oldest first.
    CPropertyArray<int32_t> m_AchievementIndexesHaveBeenEarned;
    CPropertyArray<int32_t> m_AchievementIndexesToBeShown;
};

// Attaches "Achievement Work Variables" and "Achievement History" to the
// player records; before any "Stats.dat" is read.
void RegisterAchievementProperties();

// The current player's objects, made with defaults on first use; null
// without a current player.
CAchievementWorkVariables* GetAchievementWorkVariables();
CAchievementHistory* GetAchievementHistory();
// The same for a given player.
CAchievementWorkVariables* GetAchievementWorkVariables(CPlayerStats& player);
CAchievementHistory* GetAchievementHistory(CPlayerStats& player);

// Earns the trophy for the current player once: recorded, the sound, and
// queued for the menu when the trophy asks. A name the list lacks is its
// fatal missing-item report.
void AwardAchievement(int32_t index);
void AwardAchievementByName(const char* name);

// The events.
void AchievementFrameTick(float seconds);
void AchievementHouseMovedInto(bool isBlueModelHome);
void AchievementMatchesMade(int32_t matches);
void AchievementRevenueAdded(float thousands);
void AchievementLevelComplete(bool passed);
void AchievementOptionalGoalAchieved();
// Level start: the bonus duration and the level's blue houses back to 0.
void ResetAchievementLevelVariables();
// The typed reset: nothing earned, the work variables made anew on next
// use; what waits to be shown stays.
void ResetAllAchievements();

// Every trophy in list order with the current player's flag.
void GetAchievementsEarned(std::vector<CAchievementEarned>& out);

// Plays the options' just-earned sound (none: nothing).
void PlayJustEarnedSound();
