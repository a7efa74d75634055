#include "game/world/CGameState.h"

#include "foundation/CVirtualArray.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelTimer.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/ListReferences.h"
#include "game/world/WorldHooks.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CObjectStream.h"
#include "objects/CPObjectProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CTextSubstitutionList.h"

#include <algorithm>
#include <cmath>
#include <memory>

OMBRISALT_IMPLEMENT_CLASS(CCrewState, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CGameState, 1.0)

namespace {

// An array that follows a named list (build phases, upgrade slots). A binary
// record written against another data set may name items this one lacks:
// their elements are read and dropped instead of failing the whole read.
template <typename T>
class CListFollowingArrayProperty final : public CPropertyArrayProperty {
public:
    CListFollowingArrayProperty(CPropertyArray<T> CGameState::*member, const char* name, CProperty* element,
                                CVirtualArray* list)
        : CPropertyArrayProperty(name, element, ArrayCapacity::Kept, ArrayStorage::Pool, list)
        , m_Member(member)
    {
    }

    CProperty* Clone() const override { return new CListFollowingArrayProperty(*this); }
    void* GetValueAddress(CObject* owner) const override { return &(static_cast<CGameState*>(owner)->*m_Member); }
    CPropertyArrayStorage& Storage(CObject* owner) const override { return static_cast<CGameState*>(owner)->*m_Member; }

    bool ReadBinary(CObject* owner, CObjectStream& stream) const override
    {
        ArrayProperty_SetCount(owner, 0, -1, Exact::Yes);
        uint32_t n = 0;
        if (!stream.TryReadUint32(n))
            return false;
        if (int64_t(n) > stream.GetSize() - stream.GetPosition())
            return false;
        CVirtualArray& list = *GetElementNameList();
        ArrayProperty_SetCount(owner, uint32_t(std::max(list.GetCount(), 0)), -1, Exact::Yes);
        CProperty& element = *GetElementProperty();
        for (uint32_t i = 0; i < n; ++i) {
            CJString name;
            if (!stream.ReadCountedText(name))
                return false;
            const int32_t item = list.Find(name);
            if (item >= 0 && uint32_t(item) < GetCount(owner)) {
                if (!element.ReadBinary(ElementSlot(owner, uint32_t(item)), stream))
                    return false;
                continue;
            }
            alignas(std::max_align_t) unsigned char scratch[sizeof(T)];
            CObject* slot = SlotOwner(scratch);
            element.InitValue(slot);
            const bool read = element.ReadBinary(slot, stream);
            element.DestroyValue(slot);
            if (!read)
                return false;
        }
        return true;
    }

private:
    CPropertyArray<T> CGameState::*m_Member;
};

// The array properties the operations resize, kept when the classes declare
// them.
const CPropertyArrayProperty* g_NewlyAcquiredProperty = nullptr;
const CPropertyArrayProperty* g_ReceivedProperty = nullptr;
const CPropertyArrayProperty* g_CrewsProperty = nullptr;
const CPropertyArrayProperty* g_SlotsProperty = nullptr;
const CPropertyArrayProperty* g_CrewPartsProperty = nullptr;

const CPropertyArrayProperty* DeclareUpgradeArray(CPropertyDeclarer& d, CPropertyArray<int32_t> CGameState::*member,
                                                  const char* name, const char* elementName)
{
    auto declared = d.AddArray<CNoneableListProperty>(member, name, elementName, 0);
    static_cast<CListProperty*>(declared.Get().GetElementProperty())->SetList(&GetUpgradeList());
    return &declared.Get();
}

bool Contains(const CPropertyArray<int32_t>& array, int32_t value)
{
    for (uint32_t i = 0; i < array.GetCount(); ++i)
        if (array[i] == value)
            return true;
    return false;
}

void RemoveAll(CPropertyArray<int32_t>& array, int32_t value)
{
    uint32_t kept = 0;
    for (uint32_t i = 0; i < array.GetCount(); ++i)
        if (array[i] != value)
            array[kept++] = array[i];
    array.count = kept;
}

void Append(CObject* owner, const CPropertyArrayProperty& property, CPropertyArray<int32_t>& array, int32_t value)
{
    const uint32_t at = array.GetCount();
    property.ArrayProperty_SetCount(owner, at + 1);
    array[at] = value;
}

float Mean(const CArrayPOD<float>& samples)
{
    if (samples.IsEmpty())
        return 0.0f;
    float sum = 0.0f;
    for (uint32_t i = 0; i < samples.GetCount(); ++i)
        sum += samples[i];
    return sum / float(samples.GetCount());
}

int32_t RoundToInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    return int32_t(std::lrint(std::clamp(value, -2147483648.0, 2147483647.0)));
}

// A whole percent that never shows 0 for something nor 100 for less than all;
// 0 when there is nothing to divide by.
int32_t FractionToPercent(float part, float whole)
{
    if (!(whole != 0.0f))
        return 0;
    const float fraction = part / whole;
    const int32_t percent = RoundToInt(double(fraction) * 100.0);
    if (fraction > 0.0f && percent == 0)
        return 1;
    if (fraction < 1.0f && percent == 100)
        return 99;
    return percent;
}

void AddWhole(CTextSubstitutionList& list, const char* key, double value)
{
    CJString text;
    text.Format("%d", RoundToInt(value));
    list.AddText(key, text);
}

CUpgradeSlot* SlotAt(int32_t slot)
{
    CUpgradeSlotList& slots = GetUpgradeSlotList();
    return slot >= 0 && slot < slots.GetCount() ? slots.GetObject(slot) : nullptr;
}

// The centre of the named marker in the rules' gameplay overlay set.
bool FindGameplayMarker(const char* name, CFPoint& centre)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    const int32_t index = CRules::SGetInstance().GetGameplayOverlay();
    if (index < 0 || index >= sets.GetCount())
        return false;
    CFrameOverlayOptions* set = sets.GetObject(index);
    CFrameOverlayPositionMarker* marker = set ? set->FindPositionMarker(CJString(name)) : nullptr;
    if (!marker)
        return false;
    centre = {float(marker->m_Position.x) + float(marker->m_Size.x) * 0.5f,
              float(marker->m_Position.y) + float(marker->m_Size.y) * 0.5f};
    return true;
}

// The AI is made only once the marker is found: making a counter makes it
// the current one.
void AddMarkerSprite(const char* marker, CSpriteAI* (*makeAI)())
{
    CFPoint centre;
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield || !FindGameplayMarker(marker, centre))
        return;
    auto* sprite = new CSprite;
    sprite->AddAI(makeAI());
    sprite->SetPosition(centre.x, centre.y);
    playfield->FindOrAddLayer("UI")->AddSprite(sprite);
}

} // namespace

// --- Crew state ---

void CCrewState::DeclareProperties(CPropertyDeclarer& d)
{
    auto declared = d.AddArray<CNoneableListProperty>(
        &CCrewState::m_BuildableParts, "Debug/Cached Buildable Parts List", "Debug/Cached Buildable Parts", 0);
    static_cast<CListProperty*>(declared.Get().GetElementProperty())->SetList(&GetUpgradeList());
    g_CrewPartsProperty = &declared.Get();
}

CCrewState::CCrewState()
{
    InitDeclaredProperties();
}

CCrewState::~CCrewState()
{
    DestroyDeclaredProperties();
}

// --- Game state ---

void CGameState::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CGameState;
    g_NewlyAcquiredProperty = DeclareUpgradeArray(
        d, &C::m_NewlyAcquiredUpgrades, "Upgrades/Newly Acquired Upgrades List", "Upgrades/Newly Acquired Upgrade");
    DeclareUpgradeArray(d, &C::m_UpgradesShownBefore, "Upgrades/Upgrades Shown List", "Upgrades/Upgrade Shown");
    g_ReceivedProperty = DeclareUpgradeArray(d, &C::m_UpgradesReceived, "Upgrades/Upgrades Received List",
                                             "Upgrades/Upgrade Received");
    g_CrewsProperty
        = &d.AddProperty(new CListFollowingArrayProperty<CCrewState*>(
                             &C::m_Crews, "Set By Engine/Crews List",
                             new CSlotProperty<CTypedPObjectProperty<CCrewState>>("Set By Engine/Crew", nullptr),
                             &GetBuildPhaseList()))
               .Get();
    d.Add(&C::m_RevenueK, "Set By Engine/RevenueK", 0.0f).Units("Thousand $");
    auto* slotElement = new CSlotProperty<CNoneableListProperty>("Debug/Upgrade", 0);
    slotElement->SetList(&GetUpgradeList());
    g_SlotsProperty
        = &d.AddProperty(new CListFollowingArrayProperty<int32_t>(&C::m_UpgradeInSlot, "Debug/Upgrade In Slot",
                                                                  slotElement, &GetUpgradeSlotList()))
               .Get();
    d.Add(&C::m_SpendableMoneyK, "Set By Engine/Spendable MoneyK", 0.0f).Units("Thousand $");
    d.Add(&C::m_ExtraStarsHack, "Extra Stars Hack", 0u).Units("Stars");
}

CGameState::CGameState()
{
    InitDeclaredProperties();
    FitArraysToLists();
}

CGameState::~CGameState()
{
    DestroyDeclaredProperties();
}

CGameState* CGameState::SGetCurrent()
{
    static std::unique_ptr<CGameState> current(new CGameState);
    return current.get();
}

void CGameState::OnLoaded(CUntypedCObjectPointer*)
{
    FitArraysToLists();
}

void CGameState::FitArraysToLists()
{
    const uint32_t phases = uint32_t(std::max(GetBuildPhaseList().GetCount(), 0));
    if (m_Crews.GetCount() != phases)
        g_CrewsProperty->ArrayProperty_SetCount(this, phases, -1, CPropertyArrayProperty::Exact::Yes);
    for (uint32_t i = 0; i < m_Crews.GetCount(); ++i)
        if (!m_Crews[i])
            m_Crews[i] = new CCrewState;
    const uint32_t slots = uint32_t(std::max(GetUpgradeSlotList().GetCount(), 0));
    if (m_UpgradeInSlot.GetCount() != slots)
        g_SlotsProperty->ArrayProperty_SetCount(this, slots, -1, CPropertyArrayProperty::Exact::Yes);
}

void CGameState::AddRevenue(float thousands)
{
    m_RevenueSumK = GetRevenueSumK() + thousands;
    m_RevenueK = float(m_RevenueSumK);
    GetGameScreensHooks().AddCareerRevenue(thousands);
}

double CGameState::GetRevenueSumK() const
{
    return float(m_RevenueSumK) == m_RevenueK ? m_RevenueSumK : double(m_RevenueK);
}

void CGameState::AddEarnedSpendable()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    const float required = level ? level->m_RequiredRevenue : 0.0f;
    const int32_t dollars = EarnedSpendableDollars(std::max(m_RevenueK, required));
    m_SpendableMoneyK = float(double(m_SpendableMoneyK) + double(dollars) / 1000.0);
}

void CGameState::SaveStateBeforeLevel()
{
    GetGameScreensHooks().StoreStateBeforeLevel(static_cast<CGameState*>(Clone()));
}

float CGameState::GetMovedInFraction() const
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level || level->m_Customers == 0)
        return 0.0f;
    return float(m_MovedInCount) / float(level->m_Customers);
}

int32_t CGameState::GetUpgradeInSlot(int32_t slot) const
{
    return slot >= 0 && uint32_t(slot) < m_UpgradeInSlot.GetCount() ? m_UpgradeInSlot[uint32_t(slot)] : 0;
}

bool CGameState::HasReceivedUpgrade(int32_t index) const
{
    return Contains(m_UpgradesReceived, index);
}

bool CGameState::IsNewlyAcquired(int32_t index) const
{
    return Contains(m_NewlyAcquiredUpgrades, index);
}

void CGameState::ClearNewlyAcquiredUpgrades()
{
    g_NewlyAcquiredProperty->ArrayProperty_SetCount(this, 0);
}

void CGameState::ReceiveUpgrade(int32_t index)
{
    CUpgrade* upgrade = GetUpgradeByIndex(index);
    if (!upgrade)
        return;
    FitArraysToLists();
    if (!HasReceivedUpgrade(index)) {
        Append(this, *g_ReceivedProperty, m_UpgradesReceived, index);
        Append(this, *g_NewlyAcquiredProperty, m_NewlyAcquiredUpgrades, index);
        CheckBuildingUpgradeMaster();
    }
    const int32_t slot = upgrade->m_UpgradeSlot;
    if (slot >= 0 && uint32_t(slot) < m_UpgradeInSlot.GetCount())
        m_UpgradeInSlot[uint32_t(slot)] = index;
    RebuildCrewCaches();
}

void CGameState::RemoveUpgrade(int32_t index)
{
    CUpgrade* upgrade = GetUpgradeByIndex(index);
    if (!upgrade)
        return;
    FitArraysToLists();
    if (HasReceivedUpgrade(index)) {
        RemoveAll(m_UpgradesReceived, index);
        RemoveAll(m_NewlyAcquiredUpgrades, index);
    }
    const int32_t slot = upgrade->m_UpgradeSlot;
    if (slot >= 0 && uint32_t(slot) < m_UpgradeInSlot.GetCount())
        m_UpgradeInSlot[uint32_t(slot)] = GetLastReceivedUpgradeOfSlot(slot);
    RebuildCrewCaches();
}

int32_t CGameState::GetLastReceivedUpgradeOfSlot(int32_t slot)
{
    for (uint32_t i = m_UpgradesReceived.GetCount(); i-- > 0;) {
        CUpgrade* upgrade = GetUpgradeByIndex(m_UpgradesReceived[i]);
        if (upgrade && upgrade->m_UpgradeSlot == slot)
            return m_UpgradesReceived[i];
    }
    return 0;
}

void CGameState::RebuildCrewCaches()
{
    FitArraysToLists();
    for (uint32_t i = 0; i < m_Crews.GetCount(); ++i)
        g_CrewPartsProperty->ArrayProperty_SetCount(m_Crews[i], 0);
    for (uint32_t slot = 0; slot < m_UpgradeInSlot.GetCount(); ++slot) {
        auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(m_UpgradeInSlot[slot]));
        // A part naming a phase this data set lacks has no crew to cache it.
        if (part && part->m_BuildPhase >= 0 && uint32_t(part->m_BuildPhase) < m_Crews.GetCount()) {
            CCrewState* crew = m_Crews[uint32_t(part->m_BuildPhase)];
            Append(crew, *g_CrewPartsProperty, crew->m_BuildableParts, m_UpgradeInSlot[slot]);
        }
    }
    CBuildPhaseList& phases = GetBuildPhaseList();
    for (uint32_t p = 0; p < m_Crews.GetCount(); ++p) {
        CBuildPhase* phase = phases.GetObject(int32_t(p));
        if (!phase)
            continue;
        CCrewState* crew = m_Crews[p];
        while (crew->m_BuildableParts.GetCount() < phase->m_MinimumNumberOfSlots)
            Append(crew, *g_CrewPartsProperty, crew->m_BuildableParts, 0);
    }
}

void CGameState::CheckBuildingUpgradeMaster()
{
    CUpgradeList& upgrades = GetUpgradeList();
    for (int32_t i = 0; i < upgrades.GetCount(); ++i) {
        CUpgrade* upgrade = upgrades.GetObject(i);
        if (dynamic_cast<CBuildablePart*>(upgrade) && !dynamic_cast<CColorBuildablePart*>(upgrade)
            && upgrade->m_UpgradeCost != 0.0f && !HasReceivedUpgrade(i))
            return;
    }
    GetGameScreensHooks().AwardAchievement("BuildingUpgradeMaster");
}

void CGameState::GrantFreeUpgrades()
{
    CUpgradeList& upgrades = GetUpgradeList();
    // Item 0 stands for no upgrade and is never received.
    for (int32_t i = 1; i < upgrades.GetCount(); ++i) {
        CUpgrade* upgrade = upgrades.GetObject(i);
        if (upgrade && upgrade->m_UpgradeCost == 0.0f && !HasReceivedUpgrade(i) && upgrade->AreRequirementsMet())
            ReceiveUpgrade(i);
    }
}

int32_t CGameState::FindNextUpgradeForSlot(int32_t slot, bool anyCost)
{
    CUpgradeList& upgrades = GetUpgradeList();
    if (upgrades.GetCount() < 2)
        return 0;
    const int32_t inSlot = GetUpgradeInSlot(slot);
    for (int32_t i = 1; i < upgrades.GetCount(); ++i) {
        CUpgrade* upgrade = upgrades.GetObject(i);
        if (!upgrade || upgrade->m_UpgradeSlot != slot || i == inSlot || HasReceivedUpgrade(i))
            continue;
        if (!anyCost && !(upgrade->m_UpgradeCost > 0.0f))
            continue;
        if (upgrade->AreRequirementsMet())
            return i;
    }
    return 0;
}

CUpgrade* CGameState::GetUpgradeForBuildPhase(int32_t phase)
{
    CBuildPhaseList& phases = GetBuildPhaseList();
    if (phase < 0 || phase >= phases.GetCount())
        return nullptr;
    CBuildPhase* buildPhase = phases.GetObject(phase);
    return buildPhase ? GetUpgradeByIndex(GetUpgradeInSlot(buildPhase->GetCrewSlot())) : nullptr;
}

float CGameState::GetBuildSpeedForBuildPhase(int32_t phase)
{
    auto* skill = dynamic_cast<CCrewSkillUpgrade*>(GetUpgradeForBuildPhase(phase));
    return skill ? skill->m_BuildSpeed : 1.0f;
}

CCrewState* CGameState::GetCrewState(int32_t phase)
{
    return phase >= 0 && uint32_t(phase) < m_Crews.GetCount() ? m_Crews[uint32_t(phase)] : nullptr;
}

float CGameState::GetNetWorth()
{
    float worth = m_SpendableMoneyK;
    for (uint32_t i = 0; i < m_UpgradesReceived.GetCount(); ++i)
        if (CUpgrade* upgrade = GetUpgradeByIndex(m_UpgradesReceived[i]))
            worth += upgrade->m_UpgradeCost;
    return worth;
}

float CGameState::GetAverageFrameValue() const
{
    return Mean(m_FrameSamples);
}

float CGameState::GetAverageGarageValue() const
{
    return Mean(m_GarageSamples);
}

float CGameState::GetAverageAddOnValue() const
{
    return Mean(m_AddOnSamples);
}

float CGameState::GetAverageHearts() const
{
    return Mean(m_HeartsSamples);
}

float CGameState::GetAverageBuildingValue() const
{
    return GetAverageFrameValue() + GetAverageGarageValue() + GetAverageAddOnValue();
}

void CGameState::ResetForLevel()
{
    FitArraysToLists();
    for (uint32_t i = 0; i < m_UpgradesReceived.GetCount(); ++i)
        ReceiveUpgrade(m_UpgradesReceived[i]);
    // Also with nothing received the caches are padded to the phases' minimums.
    RebuildCrewCaches();
    m_EarlyMoveInBonusTotal = 0.0f;
    m_BonusTotal = 0.0f;
    m_BonusSumK = 0.0;
    m_FrameSamples.RemoveAll();
    m_GarageSamples.RemoveAll();
    m_AddOnSamples.RemoveAll();
    m_HeartsSamples.RemoveAll();
    m_RevenueK = 0.0f;
    m_RevenueSumK = 0.0;
    m_MovedInCount = 0;
}

void CGameState::CopyFromAndReset(CGameState* other)
{
    if (other && other != this)
        CopyFrom(other);
    ResetForLevel();
}

void CGameState::AddCareerStats(CTextSubstitutionList& list)
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    CCareerPlayerRecord player;
    hooks.GetCurrentPlayer(player);
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    const float required = level ? level->m_RequiredRevenue : 0.0f;
    const float customers = level ? float(level->m_Customers) : 0.0f;

    AddWhole(list, "Game Build", double(hooks.GetGameBuildNumber()));
    list.AddText("Player", player.name);
    AddWhole(list, "PlayerID", double(player.id));
    AddWhole(list, "Minutes Playing", double(player.secondsPlaying) / 60.0);
    AddWhole(list, "Minutes Running Program", double(player.secondsProgramRunning) / 60.0);
    AddWhole(list, "Career Stars", double(player.careerStars));
    AddWhole(list, "Career Revenue", double(player.careerRevenueK) * 1000.0);

    const uint32_t current = GetCurrentLevelIndex();
    int64_t levelNumber = int64_t(current) + 1;
    if (level && level->m_IsTutorialLevel) {
        CLevelSet* levels = GetLevels();
        const uint32_t first = levels ? levels->GetFirstTutorialLevelIndex() : CLevelSet::kNoTutorialLevel;
        if (first != CLevelSet::kNoTutorialLevel)
            levelNumber = int64_t(first) - int64_t(current) - 1;
    }
    AddWhole(list, "Level", double(levelNumber));
    AddWhole(list, "Revenue", double(m_RevenueK) * 1000.0);
    AddWhole(list, "Revenue Pct", FractionToPercent(m_RevenueK, required));
    const float earnedBase = player.difficulty == 0 ? std::max(m_RevenueK, required) : m_RevenueK;
    AddWhole(list, "Earned Spendable", double(EarnedSpendableDollars(earnedBase)));
    AddWhole(list, "Total Spendable", double(m_SpendableMoneyK) * 1000.0);
    AddWhole(list, "Avg Frame", double(GetAverageFrameValue()) * 1000.0);
    AddWhole(list, "Avg Garage", double(GetAverageGarageValue()) * 1000.0);
    AddWhole(list, "Avg AddOn", double(GetAverageAddOnValue()) * 1000.0);
    AddWhole(list, "TotalEarlyMoveInBonus", double(m_EarlyMoveInBonusTotal) * 1000.0);
    CJString hearts;
    hearts.AppendFloat(GetAverageHearts());
    list.AddText("Avg Hearts", hearts);
    AddWhole(list, "Customers Placed Pct", FractionToPercent(float(m_MovedInCount), customers));

    CUpgradeSlotList& slots = GetUpgradeSlotList();
    for (int32_t slot = 1; slot < slots.GetCount(); ++slot) {
        CUpgradeSlot* record = SlotAt(slot);
        if (!record || !record->m_IncludeInPlayLog)
            continue;
        // The slot's own name, without the folders its file lies in.
        CJString name = slots.GetItemNameString(slot);
        const int last = name.GetLength() - 1;
        const int cut = std::max(name.FindChar(u'/', last, FindDirection::Backward),
                                 name.FindChar(u'\\', last, FindDirection::Backward));
        if (cut >= 0)
            name = name.Mid(cut + 1);
        CUpgrade* upgrade = GetUpgradeByIndex(GetUpgradeInSlot(slot));
        list.Add(name, upgrade ? upgrade->m_Name.GetText() : CJString());
    }
    std::vector<CAchievementEarned> achievements;
    hooks.GetAchievements(achievements);
    for (const CAchievementEarned& achievement : achievements) {
        CJString key("Ty_");
        key.Append(achievement.name);
        list.Add(key, CJString(achievement.earned ? "1" : "0"));
    }
}

void CGameState::AddTimerSprite()
{
    AddMarkerSprite("Timer", []() -> CSpriteAI* { return new CLevelTimer; });
}

void CGameState::AddThreeInARowCounterSprite()
{
    AddMarkerSprite("ThreeInARowCounter", []() -> CSpriteAI* { return new CThreeInARowCounter; });
}

CGameStateList::CGameStateList()
    : CObjectArrayBaseTemplate<CGameState>("GameState.txt")
{
}

CGameStateList& GetGameStateList()
{
    static auto* list = [] {
        auto* made = new CGameStateList;
        made->SetSource("Game State", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

int32_t WholeDollars(float thousands)
{
    return TruncateToInt32(std::round(double(thousands) * 1000.0));
}

int32_t EarnedSpendableDollars(float revenueK)
{
    return WholeDollars(CRules::SGetInstance().m_SpendableProfit * revenueK);
}
