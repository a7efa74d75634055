#pragma once
// The player's running state: which upgrades are owned and which fills each
// upgrade slot, the crews' cached parts, the level's revenue and the money to
// spend in the shop, and the samples the end of a level averages. One
// current state serves the whole process; stored states ("GameState.txt")
// are copied into it at a level start.
//
// Upgrade references are indexes into the upgrade list, 0 = none. The slot
// array follows the upgrade-slot list and the crews array the build-phase
// list: stored states written against another data set are padded or cut to
// fit when read, and indexes outside the lists are passed over.
#include "foundation/CArrayPOD.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CTextSubstitutionList;
class CUpgrade;

class CCrewState : public CObject {
    OMBRISALT_REFLECTED(CCrewState, CObject)
public:
    CCrewState();
    ~CCrewState() override;

    CPropertyArray<int32_t> m_BuildableParts; // "Debug/Cached Buildable Parts List"
};

class CGameState : public CObject {
    OMBRISALT_REFLECTED(CGameState, CObject)
public:
    CGameState();
    ~CGameState() override;

    // Built on first use, destroyed at exit.
    static CGameState* SGetCurrent();

    // Pads the crews and slots to the current lists after a read.
    void OnLoaded(CUntypedCObjectPointer* holder) override;

    void AddRevenue(float thousands);
    void AddEarnedSpendable();
    void SaveStateBeforeLevel();
    // Moved-in count over the level's "Customers"; 0 without customers.
    float GetMovedInFraction() const;

    bool IsSlotEmpty(int32_t slot) const { return GetUpgradeInSlot(slot) == 0; }
    bool HasUpgradeInSlot(int32_t slot) const { return GetUpgradeInSlot(slot) != 0; }
    // 0 for an empty slot and one outside the slot array.
    int32_t GetUpgradeInSlot(int32_t slot) const;
    bool HasReceivedUpgrade(int32_t index) const;
    bool IsNewlyAcquired(int32_t index) const;
    void ClearNewlyAcquiredUpgrades();

    void ReceiveUpgrade(int32_t index);
    void RemoveUpgrade(int32_t index);
    void GrantFreeUpgrades();
    int32_t FindNextUpgradeForSlot(int32_t slot, bool anyCost);
    int32_t GetLastReceivedUpgradeOfSlot(int32_t slot);

    // The upgrade in the phase's crew slot; null when empty.
    CUpgrade* GetUpgradeForBuildPhase(int32_t phase);
    // That upgrade's "Build Speed"; 1 when it has none.
    float GetBuildSpeedForBuildPhase(int32_t phase);
    // The cached parts of the phase; null outside the crews array.
    CCrewState* GetCrewState(int32_t phase);

    float GetNetWorth();
    float GetAverageFrameValue() const;
    float GetAverageGarageValue() const;
    float GetAverageAddOnValue() const;
    float GetAverageHearts() const;
    float GetAverageBuildingValue() const;

    void AddFrameSample(float value) { m_FrameSamples.Append(value); }
    void AddGarageSample(float value) { m_GarageSamples.Append(value); }
    void AddAddOnSample(float value) { m_AddOnSamples.Append(value); }
    void AddHeartsSample(float value) { m_HeartsSamples.Append(value); }
    const CArrayPOD<float>& GetFrameSamples() const { return m_FrameSamples; }
    const CArrayPOD<float>& GetGarageSamples() const { return m_GarageSamples; }
    const CArrayPOD<float>& GetAddOnSamples() const { return m_AddOnSamples; }
    const CArrayPOD<float>& GetHeartsSamples() const { return m_HeartsSamples; }
    void IncrementMovedInCount() { ++m_MovedInCount; }
    // A lot's move-in bonus also counts in the level's bonus total, which the
    // results show apart from the lot values.
    void AddEarlyMoveInBonus(float thousands)
    {
        m_EarlyMoveInBonusTotal += thousands;
        AddBonusTotal(thousands);
    }
    uint32_t GetMovedInCount() const { return m_MovedInCount; }
    float GetEarlyMoveInBonusTotal() const { return m_EarlyMoveInBonusTotal; }
    // Every bonus of the level, thousands of $: the lots' move-in bonuses and
    // the three-in-a-row bonus paid at the end.
    void AddBonusTotal(float thousands)
    {
        m_BonusSumK += thousands;
        m_BonusTotal = float(m_BonusSumK);
    }
    float GetBonusTotal() const { return m_BonusTotal; }
    // The revenue and the bonus total as added up in double: the float sums
    // are these rounded, so a float rounding per addition never piles up
    // (the three-in-a-row countdown adds every step). A revenue set outside
    // AddRevenue is taken as it stands.
    double GetRevenueSumK() const;
    double GetBonusSumK() const { return m_BonusSumK; }

    void ResetForLevel();
    void CopyFromAndReset(CGameState* other);
    void AddCareerStats(CTextSubstitutionList& list);

    // Level start: sprites at the "Timer" and "ThreeInARowCounter" markers of
    // the rules' gameplay overlay, on the "UI" layer.
    void AddTimerSprite();
    void AddThreeInARowCounterSprite();

    CPropertyArray<int32_t> m_NewlyAcquiredUpgrades; // "Upgrades/Newly Acquired Upgrades List"
    CPropertyArray<int32_t> m_UpgradesShownBefore;   // "Upgrades/Upgrades Shown List"
    CPropertyArray<int32_t> m_UpgradesReceived;      // "Upgrades/Upgrades Received List"
    CPropertyArray<CCrewState*> m_Crews;             // "Set By Engine/Crews List", owned, one per build phase
    float m_RevenueK = 0.0f;                         // "Set By Engine/RevenueK"
    CPropertyArray<int32_t> m_UpgradeInSlot;         // "Debug/Upgrade In Slot", one per upgrade slot
    float m_SpendableMoneyK = 0.0f;                  // "Set By Engine/Spendable MoneyK"
    uint32_t m_ExtraStarsHack = 0;                   // "Extra Stars Hack"

private:
    void RebuildCrewCaches();
    void FitArraysToLists();
    void CheckBuildingUpgradeMaster();

    uint32_t m_MovedInCount = 0;
    CArrayPOD<float> m_FrameSamples;
    CArrayPOD<float> m_GarageSamples;
    CArrayPOD<float> m_AddOnSamples;
    CArrayPOD<float> m_HeartsSamples;
    float m_EarlyMoveInBonusTotal = 0.0f;
    float m_BonusTotal = 0.0f;
    double m_RevenueSumK = 0.0;
    double m_BonusSumK = 0.0;
};

class CGameStateList : public CObjectArrayBaseTemplate<CGameState> {
public:
    CGameStateList();
};
// "Game State" under "Resources", "GameState.txt"; made on first use.
CGameStateList& GetGameStateList();

// Money is kept in thousands of $; screens show it in whole dollars, held
// to the int32 range (a total that is not a number shows 0). Written with
// thousands separators (CJString::FormatThousands, or a substitution list's
// AddNumber), as every screen writes money.
int32_t WholeDollars(float thousands);
// The spendable share of a street's revenue (thousands) in whole dollars:
// rounded once, so that the results show what the player is given.
int32_t EarnedSpendableDollars(float revenueK);
