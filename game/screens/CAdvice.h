#pragma once
// Advice after a level: a designer-ordered list of entries ("Advice Options",
// "Advice List"), each of a condition class that answers whether it applies
// to the level just played, the player's game state or career. The choice is
// the first applicable entry not given within its waiting period; when none
// is left, recently given ones are allowed again. An entry is known by its
// position in the list, which is what the player's history records.
//
// The history and the work variables hang on the player's profile as the
// dynamic properties "Advice History" and "Advice Work Variables", made with
// defaults the first time they are asked for, and travel in "Stats.dat".
//
// Conditions that read the level's play counters or the game state do not
// apply while there is no level or state to read.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CPlayerStats;

class CAdvice : public CObject {
    OMBRISALT_REFLECTED(CAdvice, CObject)
public:
    CAdvice();
    ~CAdvice() override;

    // Whether the advice may be given now; the plain class tests the level
    // range alone, the condition classes test it first.
    virtual bool Applies();

    CJString GetTitle() const { return m_Title.GetTranslation(); }
    // One entry drawn by the game's generator; empty when there are none.
    CJString GetDisplayString() const;
    // The level number (current index + 1) lies within "Min Level" and
    // "Max Level", 0 meaning no bound.
    bool IsInLevelRange() const;

    uint32_t m_MinLevel = 0;     // "Min Level", once "Level To Check"
    uint32_t m_MaxLevel = 0;     // "Max Level"
    uint32_t m_CanShowAfter = 3; // "Can Show After", levels
    CTranslatedText m_Title;     // "Title"
    CPropertyArray<CTranslatedText> m_DisplayStrings; // "Display Strings"
};

class CAdviceShouldPurchaseUpgradeForSlot : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceShouldPurchaseUpgradeForSlot, CAdvice)
public:
    CAdviceShouldPurchaseUpgradeForSlot();
    ~CAdviceShouldPurchaseUpgradeForSlot() override;
    bool Applies() override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_Slot = 0;                 // "Slot", into the upgrade-slot list
    bool m_IsFillingEmptySlot = false;  // "Is Filling Empty Slot"
};

class CAdviceShouldPurchaseUpgradeForPhase : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceShouldPurchaseUpgradeForPhase, CAdvice)
public:
    CAdviceShouldPurchaseUpgradeForPhase();
    ~CAdviceShouldPurchaseUpgradeForPhase() override;
    bool Applies() override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_Phase = 0; // "Phase", into the build-phase list
};

class CAdviceAverageValueTooLowForPhase : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceAverageValueTooLowForPhase, CAdvice)
public:
    CAdviceAverageValueTooLowForPhase();
    ~CAdviceAverageValueTooLowForPhase() override;
    bool Applies() override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_Phase = 0;            // "Phase"
    uint32_t m_AmountToCheck = 25;  // "Ammount To Check", thousands of $
};

class CAdviceNotUsingUpgradeInSlot : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceNotUsingUpgradeInSlot, CAdvice)
public:
    CAdviceNotUsingUpgradeInSlot();
    ~CAdviceNotUsingUpgradeInSlot() override;
    // Only the pacifier's slot is watched; any other slot never applies.
    bool Applies() override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_Slot = 0; // "Slot"
};

class CAdviceHadToBulldoze : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceHadToBulldoze, CAdvice)
public:
    CAdviceHadToBulldoze();
    ~CAdviceHadToBulldoze() override;
    bool Applies() override;
};

class CAdviceNotDoing3InARowMatching : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceNotDoing3InARowMatching, CAdvice)
public:
    CAdviceNotDoing3InARowMatching();
    ~CAdviceNotDoing3InARowMatching() override;
    bool Applies() override;
};

class CAdviceNotUsingClickAssist : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceNotUsingClickAssist, CAdvice)
public:
    CAdviceNotUsingClickAssist();
    ~CAdviceNotUsingClickAssist() override;
    // Every assist click counts, early ones included.
    bool Applies() override;
};

class CAdviceNotUsingMegaClickAssist : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceNotUsingMegaClickAssist, CAdvice)
public:
    CAdviceNotUsingMegaClickAssist();
    ~CAdviceNotUsingMegaClickAssist() override;
    bool Applies() override;
};

class CAdviceGetMoreOptionalGoals : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceGetMoreOptionalGoals, CAdvice)
public:
    CAdviceGetMoreOptionalGoals();
    ~CAdviceGetMoreOptionalGoals() override;
    // Goals achieved over the profile's levels against the goals offered up
    // to the current level; no goal offered: does not apply.
    bool Applies() override;

    float m_PercentToCheck = 0.3f; // "Percent To Check", a fraction
};

class CAdviceHadToPaintAgainForGarage : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceHadToPaintAgainForGarage, CAdvice)
public:
    CAdviceHadToPaintAgainForGarage();
    ~CAdviceHadToPaintAgainForGarage() override;
    bool Applies() override;
};

class CAdviceHaveMoneyButNoUpgradeForPhase : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceHaveMoneyButNoUpgradeForPhase, CAdvice)
public:
    CAdviceHaveMoneyButNoUpgradeForPhase();
    ~CAdviceHaveMoneyButNoUpgradeForPhase() override;
    bool Applies() override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_Phase = 0;                      // "Phase"
    uint32_t m_SpendableAmountToCheck = 100;  // "Spendable Ammount To Check", thousands of $
};

class CAdviceNotMultitasking : public CAdvice {
    OMBRISALT_REFLECTED(CAdviceNotMultitasking, CAdvice)
public:
    CAdviceNotMultitasking();
    ~CAdviceNotMultitasking() override;
    // A level that took no time says nothing about multitasking: does not
    // apply.
    bool Applies() override;

    uint32_t m_ThresholdPercent = 25; // "Threshold Percent"
    uint32_t m_NumCrewsToCheck = 2;   // "Num Crews To Check", 2 to 5
};

// Per player: when each entry of the list was last given.
class CAdviceHistory : public CObject {
    OMBRISALT_REFLECTED(CAdviceHistory, CObject)
public:
    CAdviceHistory();
    ~CAdviceHistory() override;

    // The current profile's, made on first use; null without a profile.
    static CAdviceHistory* SGetCurrent();

    // "Levels Played" when the advice at the position was last given; 0:
    // never (also past the recorded entries).
    uint32_t GetShownAt(uint32_t position) const;
    // Grows the entries with zeros as needed.
    void SetShownAt(uint32_t position, uint32_t levelsPlayed);
    // One more finished level; the profiles are marked changed.
    void AddLevelPlayed();

    CPropertyArray<uint32_t> m_NumLevelsPlayedWhenAdviceWasShown; // "Advice Shown At Levels Played"
    uint32_t m_LevelsPlayed = 0;                                  // "Levels Played"
};

// Per player: what the conditions remember besides the play counters.
class CAdviceWorkVariables : public CObject {
    OMBRISALT_REFLECTED(CAdviceWorkVariables, CObject)
public:
    CAdviceWorkVariables();
    ~CAdviceWorkVariables() override;

    // The current profile's, made on first use; null without a profile.
    static CAdviceWorkVariables* SGetCurrent();

    // At every level start: the repaint flag goes, the bulldoze flag stays.
    void ResetForLevel() { m_HadToRepaintForAddedGarage = false; }

    bool m_HasSeenUsedBulldozerThisLevelAdvice = false; // "Has Seen Used Bulldozer This Level Advice"
    bool m_HadToRepaintForAddedGarage = false;          // "Had To Repaint For Added Garage"
    // The title of the advice given last in this run (not saved).
    CJString m_LastAdviceShown;
};

// The general object "Advice Options" (fatal when the data lacks it).
class CAdviceOptions : public CObject {
    OMBRISALT_REFLECTED(CAdviceOptions, CObject)
public:
    CAdviceOptions();
    ~CAdviceOptions() override;

    static CAdviceOptions& SGetInstance();

    // With allowRecent the waiting period is ignored. A missing entry is
    // never eligible; the bulldoze advice only until it was given once.
    bool IsEligible(uint32_t position, bool allowRecent, const CAdviceHistory& history,
                    const CAdviceWorkVariables& work);
    // The lowest eligible position, recent advice allowed only when none is
    // otherwise; null when none. With commit the choice is recorded in the
    // history (and the bulldoze advice marked seen).
    CAdvice* Choose(bool commit, CAdviceHistory& history, CAdviceWorkVariables& work);
    // "1: Title - text\n" per eligible entry; when none, "Allowing Recent
    // Advice\n" and the entries eligible with recent advice allowed.
    CJString ListCandidates(const CAdviceHistory& history, const CAdviceWorkVariables& work);

    CPropertyArray<CAdvice*> m_AdviceList; // "Advice List", owned
};

// The same for the current profile; null / empty without one.
CAdvice* ChooseAdvice(bool commit);
CJString ListAdviceCandidates();
// The level start's reset of the current profile's work variables.
void ResetAdviceWorkVariables();
// The building rules saw a house painted again in its own colour while a
// garage part still waited for paint.
void NoteGarageRepaintedForAdvice();
// The title of the advice given last in this run; empty when none.
CJString GetLastAdviceShown();

// Classes and the two per-player properties, before "Stats.dat" is read.
void RegisterAdviceClasses();
