#pragma once
// The player profiles: one process-wide CStats holding every profile
// (CPlayerStats), which of them plays, and per profile one record per level
// (CPlayerStatsForLevel). Built and read from "Stats.dat" on first use,
// written back when asked and once more in the orderly shutdown.
//
// Level records are made on demand, but never for an index at or past the
// level count of the level set: a set without a tutorial level answers an
// index of all ones, which would otherwise grow the list without end.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <array>
#include <cstdint>
#include <utility>

class CGameState;

// The build number new profiles are stamped with.
inline constexpr uint32_t kGameBuildNumber = 24;
// The build a profile is taken to come from when its file does not say.
inline constexpr uint32_t kOldestProfileBuildNumber = 5;
uint32_t GetGameBuildNumber();

// Play modes of "Difficulty".
inline constexpr uint32_t kKidsDifficulty = 0;
inline constexpr uint32_t kStandardDifficulty = 2;

class CPlayerStatsForLevel : public CObject {
    OMBRISALT_REFLECTED(CPlayerStatsForLevel, CObject)
public:
    CPlayerStatsForLevel();
    ~CPlayerStatsForLevel() override;

    bool HasBeenPlayed() const { return m_HasBeenPlayed; }
    bool HasBeenCompleted() const { return m_HasBeenCompleted; }
    bool IsMarkedCompletedOnMap() const { return m_HasBeenMarkedAsCompletedOnWorldMap; }
    bool IsMarkedExpertOnMap() const { return m_HasBeenMarkedAsExpertOnWorldMap; }
    uint32_t GetTimesCompleted() const { return m_TimesCompleted; }
    uint32_t GetTimesFailed() const { return m_TimesFailed; }

    // The flag setters mark the statistics changed only when the flag was
    // clear.
    void MarkPlayed();
    // Marks the level played and answers its saved starting state (null
    // when there is none); the record keeps ownership.
    CGameState* MarkPlayedAndGetSavedState();
    void MarkCompletedOnMap();
    void MarkExpertOnMap();
    void AddFailure();
    // One more completion; with marked also the map's completed mark.
    void AddCompletion(bool marked);

    // Grows the flags with clear ones until the goal exists.
    void SetOptionalGoalAchieved(uint32_t goal);
    // False beyond the flags.
    bool IsOptionalGoalAchieved(uint32_t goal) const;
    // (flags set, flags in all).
    std::pair<uint32_t, uint32_t> GetOptionalGoalCounts() const;

    bool HasSavedLotInfo() const { return m_SavedLevelInfoForScrapbook.GetCount() != 0; }
    // Keeps a copy of the state (null: none), replacing the one kept.
    void SetGameStateBeforeLevelStarted(CGameState* state);
    // Takes ownership of the state, replacing the one kept.
    void AdoptGameStateBeforeLevelStarted(CGameState* state);
    CGameState* GetGameStateBeforeLevelStarted() const { return m_pGameStateBeforeLevelStarted; }
    // One entry per lot of the current playfield's "Lot" layer: the first
    // four parts of its resident's building, "" for a lot without one.
    void SaveLotInfoForScrapbook();
    // An entry names the parts, each in quotes ('"' doubled), none left
    // empty: "\"Cottage\",,\"Lemon Paint\",". Earlier builds wrote upgrade
    // list rows ("1,0,4,0"), which a new upgrade sorting before them moved.
    // Answers the parts' rows in the list as it is: a name it lacks is
    // none, a bare number an earlier build's row, a missing or damaged
    // field 0; a named part stands at its own build phase.
    static std::array<int32_t, 4> SPartsOfLotInfo(const CJString& entry);
    // Entries holding rows rewritten by name from the list as it is, so
    // that no later upgrade moves them, once each row names a part of the
    // phase it stands for; nothing while the list is empty.
    void NameScrapbookParts();

    // Members in member order; the properties are declared in file order.
    CPropertyArray<CJString> m_SavedLevelInfoForScrapbook;
    bool m_HasBeenPlayed = false;
    bool m_HasBeenCompleted = false;
    bool m_HasBeenMarkedAsCompletedOnWorldMap = false;
    uint32_t m_TimesCompleted = 0;
    uint32_t m_TimesFailed = 0;
    CPropertyArray<bool> m_OptionalGoalAchieved;
    bool m_HasBeenMarkedAsExpertOnWorldMap = false;
    CGameState* m_pGameStateBeforeLevelStarted = nullptr; // owned
};

class CPlayerStats : public CObject {
    OMBRISALT_REFLECTED(CPlayerStats, CObject)
public:
    CPlayerStats();
    ~CPlayerStats() override;

    // Every property to its default, then a random "ID" below 2000000 and
    // the running program's channel.
    void ResetToDefaults() override;

    // The record of the level, made on demand (with every record before
    // it); null at or past the level count.
    CPlayerStatsForLevel* GetLevelStats(uint32_t level);
    // The record when it exists already; never makes one.
    CPlayerStatsForLevel* FindLevelStats(uint32_t level) const;

    // Optional goals achieved over the career levels.
    uint32_t GetStarCount() const;
    // The end of the unbroken run of completed career levels from level 0;
    // -1 when level 0 is not completed.
    int32_t GetLastCompletedCareerLevel() const;
    // Empty when there is none.
    CJString GetLastCompletedCareerLevelName() const;
    // Thousands of $: the saved starting state of the level after the last
    // completed career level (after the last career level, the state it
    // ended with); 0 without one.
    float GetCareerNetWorth() const;
    // A level set without a tutorial counts its tutorial as played and
    // completed.
    bool IsFirstTutorialLevelPlayed();
    bool IsLastTutorialLevelCompleted();
    // The first tutorial index minus 1 when none is completed; -1 in a set
    // without a tutorial.
    int32_t GetLastCompletedTutorialLevel() const;
    void MarkTutorialCompleted();
    // Keeps a copy of the state as the next level's starting state unless
    // that career level was played already, then counts the completion.
    void RecordLevelCompleted(uint32_t level, CGameState* state);
    void RecordLevelCompletedAndMarked(uint32_t level);

    bool IsKidsMode() const { return m_Difficulty == kKidsDifficulty; }

    // Members in member order; the properties are declared in file order.
    CJString m_Name;
    CJString m_Channel;
    uint32_t m_ID = 0;
    uint32_t m_BuildNumberCreatedWith = kOldestProfileBuildNumber;
    bool m_IsFirstTimePlaying = false;
    bool m_HasBeenRetired = false;
    uint32_t m_Difficulty = kStandardDifficulty;
    uint32_t m_SelectedLevel = 0;
    uint32_t m_NumStoryPagesViewed = 0;
    float m_SecondsProgramRunning = 0.0f;
    float m_SecondsPlaying = 0.0f;
    CPropertyArray<CPlayerStatsForLevel*> m_pStatsForLevel; // owned
};

class CStats : public CObject {
    OMBRISALT_REFLECTED(CStats, CObject)
public:
    CStats();
    ~CStats() override;

    // Built and loaded on first use; destroyed by SShutdown.
    static CStats& SGetInstance();
    // Null before the first use and after the shutdown.
    static CStats* SFindInstance();
    // The orderly shutdown: saves the profiles, even unchanged, and destroys
    // the singleton. Nothing without one. A fatal data error never comes
    // here (the singleton is no static object): the last good save stands
    // rather than profiles written from whatever state the error left.
    static void SShutdown();

    // Reads "Stats.dat" into this object, which is left as it was unless
    // the whole file could be taken. False when nothing was taken. A file
    // this account may not open is not damaged: it is neither moved nor
    // written in this run, and a box names it.
    bool Load();
    // Writes "Stats.dat" now and clears the needs-save flag first; false
    // when the file could not be written (the one on disk is then kept).
    // The first failure after a success (or in the object's life) is told
    // on screen.
    bool Save();
    // Saves when something changed.
    bool SaveIfNeeded();
    void SetNeedsSave() { m_NeedsSave = true; }
    bool NeedsSave() const { return m_NeedsSave; }
    // Marks the singleton changed, when there is one.
    static void SMarkChanged();

    // Null without profiles.
    CPlayerStats* GetCurrentPlayer() const;
    // Stored as given, unchecked; a change is marked for the next save.
    void SetCurrentPlayer(uint32_t index);
    uint32_t GetCurrentPlayerIndex() const { return m_CurrentPlayer; }
    uint32_t GetPlayerCount() const { return m_Players.GetCount(); }
    // Null out of range.
    CPlayerStats* GetPlayer(uint32_t index) const;
    // Case-sensitive; -1 when no profile has the channel.
    int32_t FindFirstPlayerOfChannel(const CJString& channel) const;
    // Case-blind over the profiles of the current channel, skipping one.
    bool IsNameUsed(const CJString& name, const CPlayerStats* skip) const;
    // A fresh unnamed profile of this build, appended and made current.
    void AddNewPlayer();
    // Takes the profile: at index 0 into an empty list, otherwise before
    // the last one; it becomes current.
    void AddPlayer(CPlayerStats* player);
    // Out of range: nothing. The current index follows its profile; when the
    // channel is left without a profile, a fresh one is added. Marked for
    // the next save.
    void DeletePlayer(uint32_t index);

    // The current profile's record of the current level, or of the level;
    // null without a profile or at or past the level count.
    CPlayerStatsForLevel* GetCurrentLevelStats();
    CPlayerStatsForLevel* GetLevelStats(uint32_t level);

    static CJString GetDifficultyName(uint32_t difficulty);

    // After a read: profiles read as none dropped, and a current player of
    // the running channel, adding a fresh profile when the channel has none.
    void SelectPlayerOfChannel();

    // Members in member order; the properties are declared in file order.
    CPropertyArray<CPlayerStats*> m_Players; // owned
    uint32_t m_CurrentPlayer = 0;

private:
    // Every record's scrapbook by name (CPlayerStatsForLevel::NameScrapbookParts).
    void NameScrapbookParts();
    // Removes the slot (deleting its profile); the current index follows.
    void RemovePlayerSlot(uint32_t index);

    bool m_NeedsSave = false;
    // The player is told of the first failed save after a good one only.
    bool m_NotSavedTold = false;
};
