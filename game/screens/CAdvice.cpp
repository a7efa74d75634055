#include "game/screens/CAdvice.h"

#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/screens/CStats.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/ListReferences.h"
#include "objects/CBoolProperty.h"
#include "objects/CClassInfo.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CFormula.h"
#include "objects/CIntProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/CSlotProperty.h"
#include "objects/DeclaredClassBody.h"

#include <cmath>

OMBRISALT_DECLARED_CLASS(CAdviceOptions, 1.0)
OMBRISALT_DECLARED_CLASS(CAdvice, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceShouldPurchaseUpgradeForSlot, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceShouldPurchaseUpgradeForPhase, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceAverageValueTooLowForPhase, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceNotUsingUpgradeInSlot, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceHadToBulldoze, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceNotDoing3InARowMatching, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceNotUsingClickAssist, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceNotUsingMegaClickAssist, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceGetMoreOptionalGoals, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceHadToPaintAgainForGarage, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceHaveMoneyButNoUpgradeForPhase, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceNotMultitasking, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceHistory, 1.0)
OMBRISALT_DECLARED_CLASS(CAdviceWorkVariables, 1.0)

namespace {

using CHistoryProperty = CSlotProperty<CTypedPObjectProperty<CAdviceHistory>>;
using CWorkProperty = CSlotProperty<CTypedPObjectProperty<CAdviceWorkVariables>>;

CHistoryProperty& HistoryProperty()
{
    static CHistoryProperty* property = [] {
        auto* made = new CHistoryProperty("Advice History", nullptr);
        made->AddAsDynamicProperty(CObject::SGetClassInfo(), DynamicKind::OnRequest);
        return made;
    }();
    return *property;
}

CWorkProperty& WorkProperty()
{
    static CWorkProperty* property = [] {
        auto* made = new CWorkProperty("Advice Work Variables", nullptr);
        made->AddAsDynamicProperty(CObject::SGetClassInfo(), DynamicKind::OnRequest);
        return made;
    }();
    return *property;
}

template <typename T, typename Property>
T* GetOrMake(Property& property, CObject* owner)
{
    if (!owner)
        return nullptr;
    auto* value = static_cast<T*>(property.GetDynamicValue(owner));
    if (!value) {
        value = new T;
        property.SetDynamicValue(owner, value);
    }
    return value;
}

CPlayerStats* CurrentPlayer()
{
    return CStats::SGetInstance().GetCurrentPlayer();
}

void DescribeWithListItem(CObject& advice, CVirtualArray& list, int32_t index, CJString& out,
                          const char* wordToRemove)
{
    out = advice.GetClassInfo()->GetDisplayName(wordToRemove);
    out.Append(" ");
    if (index >= 0 && index < list.GetCount())
        out.Append(list.GetItemNameString(index));
}

// An owned upgrade that is a part of the phase and costs something.
bool OwnsPricedPartOfPhase(const CGameState& state, int32_t phase)
{
    for (uint32_t i = 0; i < state.m_UpgradesReceived.GetCount(); ++i) {
        auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(state.m_UpgradesReceived[i]));
        if (part && part->m_BuildPhase == phase && part->m_UpgradeCost != 0.0f)
            return true;
    }
    return false;
}

void AppendCandidate(CJString& out, uint32_t number, const CAdvice& advice)
{
    out.AppendFormat("%u: ", number);
    const CJString title = advice.GetTitle();
    if (!title.IsEmpty()) {
        out.Append(title);
        out.Append(" - ");
    }
    out.Append(advice.GetDisplayString());
    out.Append("\n");
}

void GrowTo(CObject& owner, const char* arrayName, uint32_t count)
{
    auto* array = static_cast<CPropertyArrayProperty*>(owner.GetClassInfo()->FindProperty(arrayName));
    if (array->GetCount(&owner) < count)
        array->ArrayProperty_SetCount(&owner, count);
}

} // namespace

// --- CAdvice ---

void CAdvice::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdvice;
    d.Add(&C::m_MinLevel, "Min Level", 0u).Range(1, 999).SpecialValue(0, "Any Level").AlternateName("Level To Check");
    d.Add(&C::m_MaxLevel, "Max Level", 0u).Range(1, 999).SpecialValue(0, "No Max");
    d.Add(&C::m_CanShowAfter, "Can Show After", 3u).Units("Levels");
    d.Add(&C::m_Title, "Title", "");
    d.AddArray<CJStringPropertyTranslated>(&C::m_DisplayStrings, "Display Strings", "Display String", "default");
}

bool CAdvice::IsInLevelRange() const
{
    const uint32_t level = GetCurrentLevelIndex() + 1;
    if (m_MinLevel != 0 && level < m_MinLevel)
        return false;
    return m_MaxLevel == 0 || level <= m_MaxLevel;
}

bool CAdvice::Applies()
{
    return IsInLevelRange();
}

CJString CAdvice::GetDisplayString() const
{
    const uint32_t count = m_DisplayStrings.GetCount();
    if (count == 0)
        return CJString();
    return m_DisplayStrings[GameRandom().Next(count)].GetTranslation();
}

// --- The conditions ---

void CAdviceShouldPurchaseUpgradeForSlot::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdviceShouldPurchaseUpgradeForSlot;
    d.AddListReference<CNoneableListProperty>(&C::m_Slot, "Slot", &GetUpgradeSlotList(), nullptr);
    d.Add(&C::m_IsFillingEmptySlot, "Is Filling Empty Slot", false);
}

bool CAdviceShouldPurchaseUpgradeForSlot::Applies()
{
    if (!IsInLevelRange())
        return false;
    CGameState& state = *CGameState::SGetCurrent();
    if (m_IsFillingEmptySlot && !state.HasUpgradeInSlot(m_Slot))
        return true;
    // An empty slot reads the list's entry 0, the placeholder.
    CUpgrade* held = GetUpgradeList().GetObject(state.GetUpgradeInSlot(m_Slot));
    return held && held->m_UpgradeCost == 0.0f;
}

void CAdviceShouldPurchaseUpgradeForSlot::GetDescription(CJString& out, const char* wordToRemove)
{
    DescribeWithListItem(*this, GetUpgradeSlotList(), m_Slot, out, wordToRemove);
}

void CAdviceShouldPurchaseUpgradeForPhase::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CAdviceShouldPurchaseUpgradeForPhase::m_Phase, "Phase",
                                              &GetBuildPhaseList(), nullptr);
}

bool CAdviceShouldPurchaseUpgradeForPhase::Applies()
{
    return IsInLevelRange() && !OwnsPricedPartOfPhase(*CGameState::SGetCurrent(), m_Phase);
}

void CAdviceShouldPurchaseUpgradeForPhase::GetDescription(CJString& out, const char* wordToRemove)
{
    DescribeWithListItem(*this, GetBuildPhaseList(), m_Phase, out, wordToRemove);
}

void CAdviceAverageValueTooLowForPhase::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdviceAverageValueTooLowForPhase;
    d.AddListReference<CNoneableListProperty>(&C::m_Phase, "Phase", &GetBuildPhaseList(), nullptr);
    d.Add(&C::m_AmountToCheck, "Ammount To Check", 25u).Units("K");
}

bool CAdviceAverageValueTooLowForPhase::Applies()
{
    if (!IsInLevelRange())
        return false;
    const CGameState& state = *CGameState::SGetCurrent();
    float sum = 0.0f;
    uint32_t count = 0;
    for (uint32_t slot = 0; slot < state.m_UpgradeInSlot.GetCount(); ++slot) {
        auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(state.m_UpgradeInSlot[slot]));
        if (part && part->m_BuildPhase == m_Phase) {
            sum += part->m_ResaleValue;
            ++count;
        }
    }
    return count != 0 && sum / float(count) < float(m_AmountToCheck);
}

void CAdviceAverageValueTooLowForPhase::GetDescription(CJString& out, const char* wordToRemove)
{
    DescribeWithListItem(*this, GetBuildPhaseList(), m_Phase, out, wordToRemove);
}

void CAdviceNotUsingUpgradeInSlot::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CAdviceNotUsingUpgradeInSlot::m_Slot, "Slot", &GetUpgradeSlotList(),
                                              nullptr);
}

bool CAdviceNotUsingUpgradeInSlot::Applies()
{
    if (!IsInLevelRange())
        return false;
    if (m_Slot <= 0 || m_Slot != GetUpgradeSlotList().Find("Pacifier A"))
        return false;
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    return stats && CGameState::SGetCurrent()->HasUpgradeInSlot(m_Slot) && stats->m_PacifierUsed == 0;
}

void CAdviceNotUsingUpgradeInSlot::GetDescription(CJString& out, const char* wordToRemove)
{
    DescribeWithListItem(*this, GetUpgradeSlotList(), m_Slot, out, wordToRemove);
}

void CAdviceHadToBulldoze::DeclareProperties(CPropertyDeclarer&) {}

bool CAdviceHadToBulldoze::Applies()
{
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    return IsInLevelRange() && stats && stats->m_BulldozerUsed != 0;
}

void CAdviceNotDoing3InARowMatching::DeclareProperties(CPropertyDeclarer&) {}

bool CAdviceNotDoing3InARowMatching::Applies()
{
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    return IsInLevelRange() && stats && stats->m_MadeThreeInARow == 0;
}

void CAdviceNotUsingClickAssist::DeclareProperties(CPropertyDeclarer&) {}

bool CAdviceNotUsingClickAssist::Applies()
{
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    return IsInLevelRange() && stats && stats->m_AssistedClicks == 0;
}

void CAdviceNotUsingMegaClickAssist::DeclareProperties(CPropertyDeclarer&) {}

bool CAdviceNotUsingMegaClickAssist::Applies()
{
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    return IsInLevelRange() && stats && stats->m_MadeThreeInARow != 0 && stats->m_MegaClickAssistsUsed == 0;
}

void CAdviceGetMoreOptionalGoals::DeclareProperties(CPropertyDeclarer& d)
{
    // Kept as a fraction, edited as a percentage.
    static const CMultipleFormula<float> percent(100.0f);
    d.Add(&CAdviceGetMoreOptionalGoals::m_PercentToCheck, "Percent To Check", 0.3f)
        .Range(0.0f, 1.0f)
        .Units("%")
        .Formula(&percent);
}

bool CAdviceGetMoreOptionalGoals::Applies()
{
    if (!IsInLevelRange())
        return false;
    CPlayerStats* player = CurrentPlayer();
    CLevelSet* levels = FindLevels();
    if (!player || !levels)
        return false;
    uint32_t achieved = 0;
    for (uint32_t i = 0; i < player->m_pStatsForLevel.GetCount(); ++i)
        if (const CPlayerStatsForLevel* record = player->m_pStatsForLevel[i])
            achieved += record->GetOptionalGoalCounts().first;
    uint32_t offered = 0;
    const uint32_t current = GetCurrentLevelIndex();
    for (uint32_t i = 0; i < levels->GetCount() && i <= current; ++i)
        if (CLevelOptions* level = levels->GetLevel(i))
            offered += level->m_OptionalGoals.GetCount();
    if (offered == 0)
        return false;
    return m_PercentToCheck >= float(achieved) / float(offered);
}

void CAdviceHadToPaintAgainForGarage::DeclareProperties(CPropertyDeclarer&) {}

bool CAdviceHadToPaintAgainForGarage::Applies()
{
    CAdviceWorkVariables* work = CAdviceWorkVariables::SGetCurrent();
    return IsInLevelRange() && work && work->m_HadToRepaintForAddedGarage;
}

void CAdviceHaveMoneyButNoUpgradeForPhase::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdviceHaveMoneyButNoUpgradeForPhase;
    d.AddListReference<CNoneableListProperty>(&C::m_Phase, "Phase", &GetBuildPhaseList(), nullptr);
    d.Add(&C::m_SpendableAmountToCheck, "Spendable Ammount To Check", 100u).Units("K");
}

bool CAdviceHaveMoneyButNoUpgradeForPhase::Applies()
{
    if (!IsInLevelRange())
        return false;
    const CGameState& state = *CGameState::SGetCurrent();
    return state.m_SpendableMoneyK >= float(m_SpendableAmountToCheck) && !OwnsPricedPartOfPhase(state, m_Phase);
}

void CAdviceHaveMoneyButNoUpgradeForPhase::GetDescription(CJString& out, const char* /*wordToRemove*/)
{
    out = "Have ";
    out.AppendFormat("%u", m_SpendableAmountToCheck);
    out.Append("K But No Upgrade For ");
    CBuildPhaseList& phases = GetBuildPhaseList();
    if (m_Phase >= 0 && m_Phase < phases.GetCount())
        out.Append(phases.GetItemNameString(m_Phase));
}

void CAdviceNotMultitasking::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdviceNotMultitasking;
    d.Add(&C::m_ThresholdPercent, "Threshold Percent", 25u);
    d.Add(&C::m_NumCrewsToCheck, "Num Crews To Check", 2u).Range(2, 5);
}

bool CAdviceNotMultitasking::Applies()
{
    if (!IsInLevelRange())
        return false;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (m_NumCrewsToCheck > 2 && level && level->m_IsSpeedRound)
        return false;
    CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    if (!stats || !(stats->m_SecondsInLevel > 0.0f))
        return false;
    const uint32_t crews = m_NumCrewsToCheck >= 2 && m_NumCrewsToCheck <= 4 ? m_NumCrewsToCheck : 5;
    float busy = 0.0f;
    for (uint32_t n = crews; n <= 5; ++n)
        busy += stats->SecondsWithCrewsWorking(n);
    const long percent = std::lrint(busy / stats->m_SecondsInLevel * 100.0f);
    return percent < long(m_ThresholdPercent);
}

// --- Per player ---

void CAdviceHistory::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdviceHistory;
    d.AddArray<CUintProperty>(&C::m_NumLevelsPlayedWhenAdviceWasShown, "Advice Shown At Levels Played",
                              "Levels Played When Shown", 0u);
    d.Add(&C::m_LevelsPlayed, "Levels Played", 0u);
}

CAdviceHistory* CAdviceHistory::SGetCurrent()
{
    return GetOrMake<CAdviceHistory>(HistoryProperty(), CurrentPlayer());
}

uint32_t CAdviceHistory::GetShownAt(uint32_t position) const
{
    return position < m_NumLevelsPlayedWhenAdviceWasShown.GetCount() ? m_NumLevelsPlayedWhenAdviceWasShown[position]
                                                                       : 0;
}

void CAdviceHistory::SetShownAt(uint32_t position, uint32_t levelsPlayed)
{
    GrowTo(*this, "Advice Shown At Levels Played", position + 1);
    m_NumLevelsPlayedWhenAdviceWasShown[position] = levelsPlayed;
    CStats::SMarkChanged();
}

void CAdviceHistory::AddLevelPlayed()
{
    ++m_LevelsPlayed;
    CStats::SMarkChanged();
}

void CAdviceWorkVariables::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAdviceWorkVariables;
    d.Add(&C::m_HasSeenUsedBulldozerThisLevelAdvice, "Has Seen Used Bulldozer This Level Advice", false);
    d.Add(&C::m_HadToRepaintForAddedGarage, "Had To Repaint For Added Garage", false);
}

CAdviceWorkVariables* CAdviceWorkVariables::SGetCurrent()
{
    return GetOrMake<CAdviceWorkVariables>(WorkProperty(), CurrentPlayer());
}

// --- The list and the choice ---

void CAdviceOptions::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CAdvice>>(&CAdviceOptions::m_AdviceList, "Advice List", "Advice", nullptr);
}

CAdviceOptions& CAdviceOptions::SGetInstance()
{
    // The list keeps the object it loaded; looking it up again costs a
    // search and never outlives a reloaded list.
    return GetGeneralObjectAs<CAdviceOptions>("Advice Options");
}

bool CAdviceOptions::IsEligible(uint32_t position, bool allowRecent, const CAdviceHistory& history,
                                const CAdviceWorkVariables& work)
{
    CAdvice* advice = position < m_AdviceList.GetCount() ? m_AdviceList[position] : nullptr;
    if (!advice)
        return false;
    if (work.m_HasSeenUsedBulldozerThisLevelAdvice && advice->IsKindOf(CAdviceHadToBulldoze::SGetClassInfo()))
        return false;
    if (!advice->Applies())
        return false;
    const uint32_t shown = history.GetShownAt(position);
    if (shown == 0 || allowRecent)
        return true;
    return history.m_LevelsPlayed - shown > advice->m_CanShowAfter;
}

CAdvice* CAdviceOptions::Choose(bool commit, CAdviceHistory& history, CAdviceWorkVariables& work)
{
    const uint32_t count = m_AdviceList.GetCount();
    uint32_t chosen = count;
    for (uint32_t i = 0; i < count && chosen == count; ++i)
        if (IsEligible(i, false, history, work))
            chosen = i;
    for (uint32_t i = 0; i < count && chosen == count; ++i)
        if (IsEligible(i, true, history, work))
            chosen = i;
    if (chosen == count)
        return nullptr;
    CAdvice* advice = m_AdviceList[chosen];
    if (commit) {
        if (advice->IsKindOf(CAdviceHadToBulldoze::SGetClassInfo()))
            work.m_HasSeenUsedBulldozerThisLevelAdvice = true;
        history.SetShownAt(chosen, history.m_LevelsPlayed);
        work.m_LastAdviceShown = advice->GetTitle();
    }
    return advice;
}

CJString CAdviceOptions::ListCandidates(const CAdviceHistory& history, const CAdviceWorkVariables& work)
{
    CJString out;
    uint32_t number = 0;
    for (uint32_t i = 0; i < m_AdviceList.GetCount(); ++i)
        if (IsEligible(i, false, history, work))
            AppendCandidate(out, ++number, *m_AdviceList[i]);
    if (number != 0)
        return out;
    out.Append("Allowing Recent Advice\n");
    for (uint32_t i = 0; i < m_AdviceList.GetCount(); ++i)
        if (IsEligible(i, true, history, work))
            AppendCandidate(out, ++number, *m_AdviceList[i]);
    return out;
}

CAdvice* ChooseAdvice(bool commit)
{
    CAdviceHistory* history = CAdviceHistory::SGetCurrent();
    CAdviceWorkVariables* work = CAdviceWorkVariables::SGetCurrent();
    if (!history || !work)
        return nullptr;
    return CAdviceOptions::SGetInstance().Choose(commit, *history, *work);
}

CJString ListAdviceCandidates()
{
    CAdviceHistory* history = CAdviceHistory::SGetCurrent();
    CAdviceWorkVariables* work = CAdviceWorkVariables::SGetCurrent();
    if (!history || !work)
        return CJString();
    return CAdviceOptions::SGetInstance().ListCandidates(*history, *work);
}

void ResetAdviceWorkVariables()
{
    if (CAdviceWorkVariables* work = CAdviceWorkVariables::SGetCurrent())
        work->ResetForLevel();
}

void NoteGarageRepaintedForAdvice()
{
    if (CAdviceWorkVariables* work = CAdviceWorkVariables::SGetCurrent())
        work->m_HadToRepaintForAddedGarage = true;
}

CJString GetLastAdviceShown()
{
    CStats* stats = CStats::SFindInstance();
    CPlayerStats* player = stats ? stats->GetCurrentPlayer() : nullptr;
    auto* work = player ? static_cast<CAdviceWorkVariables*>(WorkProperty().GetDynamicValue(player)) : nullptr;
    return work ? work->m_LastAdviceShown : CJString();
}

void RegisterAdviceClasses()
{
    CAdviceOptions::SGetClassInfo();
    CAdvice::SGetClassInfo();
    CAdviceShouldPurchaseUpgradeForSlot::SGetClassInfo();
    CAdviceShouldPurchaseUpgradeForPhase::SGetClassInfo();
    CAdviceAverageValueTooLowForPhase::SGetClassInfo();
    CAdviceNotUsingUpgradeInSlot::SGetClassInfo();
    CAdviceHadToBulldoze::SGetClassInfo();
    CAdviceNotDoing3InARowMatching::SGetClassInfo();
    CAdviceNotUsingClickAssist::SGetClassInfo();
    CAdviceNotUsingMegaClickAssist::SGetClassInfo();
    CAdviceGetMoreOptionalGoals::SGetClassInfo();
    CAdviceHadToPaintAgainForGarage::SGetClassInfo();
    CAdviceHaveMoneyButNoUpgradeForPhase::SGetClassInfo();
    CAdviceNotMultitasking::SGetClassInfo();
    CAdviceHistory::SGetClassInfo();
    CAdviceWorkVariables::SGetClassInfo();
    HistoryProperty();
    WorkProperty();
}
