#include "game/screens/CAchievement.h"

#include "game/scripting/CAudio.h"
#include "game/screens/CStats.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/WorldHooks.h"
#include "objects/CBoolProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"
#include "sequences/CSequenceList.h"

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CAchievement, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CAchievementOptions, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CAchievementWorkVariables, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CAchievementHistory, 1.0)

namespace {

CTypedPObjectProperty<CAchievementWorkVariables>* g_WorkVariablesProperty = nullptr;
CTypedPObjectProperty<CAchievementHistory>* g_HistoryProperty = nullptr;

bool Contains(const CPropertyArray<int32_t>& indexes, int32_t index)
{
    for (uint32_t i = 0; i < indexes.GetCount(); ++i)
        if (indexes[i] == index)
            return true;
    return false;
}

void AppendIndex(CObject& owner, const char* arrayName, CPropertyArray<int32_t>& indexes, int32_t index)
{
    // Through the array property so the element storage stays its own.
    auto* property = dynamic_cast<CPropertyArrayProperty*>(owner.GetClassInfo()->FindProperty(arrayName));
    const uint32_t count = indexes.GetCount();
    property->ArrayProperty_SetCount(&owner, count + 1, -1, CPropertyArrayProperty::Exact::No);
    indexes[count] = index;
}

CAchievement* AchievementAt(int32_t index)
{
    CAchievementList& list = GetAchievementList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

CPlayerStats* CurrentPlayer()
{
    return CStats::SGetInstance().GetCurrentPlayer();
}

void AwardIfAtLeast(double value, double threshold, const char* name)
{
    if (value >= threshold)
        AwardAchievementByName(name);
}

} // namespace

// --- CAchievement ---

void CAchievement::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAchievement;
    CVirtualArray* sequences = &GetSequenceList();
    d.Add(&C::m_DisplayName, "Display Name", "");
    d.Add(&C::m_Description, "Description", "").EditLines(3);
    d.Add(&C::m_JustEarnedDescription, "Just Earned Description", "");
    d.Add(&C::m_IsClickableWhenEarned, "Is Clickable When Earned", false);
    d.AddListReference<CDataReferenceProperty>(&C::m_EarnedImage, "Earned Image", sequences, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_UnEarnedImage, "Un-Earned Image", sequences, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_HoverSequence, "Hover Sequence", sequences, nullptr);
    d.Add(&C::m_ShowNewTrophyEarnedMenuWhenEarned, "Show New Trophy Earned Menu When Earned", true);
    d.AddListReference<CDataReferenceProperty>(&C::m_NewTrophyEarnedMenuImage, "New Trophy Earned Menu Image",
                                               sequences, nullptr);
}

CAchievement::CAchievement()
{
    InitDeclaredProperties();
}

CAchievement::~CAchievement()
{
    DestroyDeclaredProperties();
}

CAchievementList::CAchievementList()
    : CObjectArrayBaseTemplate<CAchievement>("Achievement.txt")
{
}

CAchievementList& GetAchievementList()
{
    // Kept to the end: the profiles written at exit name trophies.
    static auto* list = [] {
        auto* made = new CAchievementList;
        made->SetSource("Achievement", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

// --- CAchievementOptions ---

void CAchievementOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAchievementOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_JustEarnedSound, "During Level/Just Earned Sound", &GetAudioList(),
                                               nullptr);
    d.Add(&C::m_BuilderOfDreamsRequiredTime, "Builder Of Dreams Required Time", 30.0f).Units("seconds");
    d.Add(&C::m_AccomplishedBuilderHouses, "Accomplished Builder Houses", 30u);
    d.Add(&C::m_MatchingApprenticeNumMatches, "Matching Apprentice Num Matches", 1u);
    d.Add(&C::m_MatchingMasterNumMatches, "Matching Master Num Matches", 2u);
    d.Add(&C::m_SupremeMatchingAceNumMatches, "Supreme Matching Ace Num Matches", 3u);
    d.Add(&C::m_CareerEarningsBronzeRevenue, "Career Earnings Bronze Revenue", 1000u).Units("1000 dollars");
    d.Add(&C::m_CareerEarningsSilverRevenue, "Career Earnings Silver Revenue", 10000u).Units("1000 dollars");
    d.Add(&C::m_CareerEarningsGoldRevenue, "Career Earnings Gold Revenue", 100000u).Units("1000 dollars");
    d.Add(&C::m_BlueModelHomeMasterHousesRequired, "Blue Model Home Master Houses Required", 9u);
    d.AddListReference<CNoneableListProperty>(&C::m_BlueModelHomeUpgradeSlot, "Blue Model Home Upgrade Slot",
                                              &GetUpgradeSlotList(), nullptr);
    d.Add(&C::m_ScrapbookHoverName, "Scrapbook/Scrapbook Hover Name", "Scrapbook");
    d.Add(&C::m_ScrapbookHoverDescription, "Scrapbook/Scrapbook Hover Description",
          "Click to view all of the neighborhoods you have built so far.");
    d.Add(&C::m_NoLevelsToShowTitle, "Scrapbook/No Levels To Show Title", "No Neighborhoods To Show");
    d.Add(&C::m_NoLevelsToShowMessage, "Scrapbook/No Levels To Show Message",
          "You have not built any neighborhoods yet!  You must build at least one neghborhood before you can view "
          "them here.");
}

CAchievementOptions::CAchievementOptions()
{
    InitDeclaredProperties();
}

CAchievementOptions::~CAchievementOptions()
{
    DestroyDeclaredProperties();
}

CAchievementOptions& GetAchievementOptions()
{
    // The entry is found by name once; its object is fetched each time.
    static int32_t index = -1;
    CGeneralObjectsList& objects = GetGeneralObjects();
    if (index < 0 || index >= objects.GetCount()
        || CJString(objects.GetItemName(index)).CompareNoCase("Achievement Options") != 0)
        index = objects.FindOrReportMissing("Achievement Options");
    auto* options = dynamic_cast<CAchievementOptions*>(objects.GetObjectAt(index));
    return options ? *options : GetGeneralObjectAs<CAchievementOptions>("Achievement Options");
}

// --- CAchievementWorkVariables ---

void CAchievementWorkVariables::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAchievementWorkVariables;
    d.Add(&C::m_MegaClickAssistDuration, "Mega Click Assist Duration", 0.0f).Units("seconds");
    d.Add(&C::m_NumberOfHousesBuilt, "Number Of Houses Built", 0u);
    d.Add(&C::m_CareerRevenueK, "Career Revenue K", 0.0f);
    d.Add(&C::m_BlueHousesBuiltThisLevel, "Blue Houses Built This Level", 0u);
}

CAchievementWorkVariables::CAchievementWorkVariables()
{
    InitDeclaredProperties();
}

CAchievementWorkVariables::~CAchievementWorkVariables()
{
    DestroyDeclaredProperties();
}

// --- CAchievementHistory ---

void CAchievementHistory::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CAchievementHistory;
    auto earned = d.AddArray<CListProperty>(&C::m_AchievementIndexesHaveBeenEarned, "Have Been Earned",
                                            "Has Been Earned", 0);
    static_cast<CListProperty*>(earned.Get().GetElementProperty())->SetList(&GetAchievementList());
    auto shown = d.AddArray<CListProperty>(&C::m_AchievementIndexesToBeShown, "Show These", "Show This", 0);
    static_cast<CListProperty*>(shown.Get().GetElementProperty())->SetList(&GetAchievementList());
}

CAchievementHistory::CAchievementHistory()
{
    InitDeclaredProperties();
}

CAchievementHistory::~CAchievementHistory()
{
    DestroyDeclaredProperties();
}

bool CAchievementHistory::HasBeenEarned(int32_t index) const
{
    return Contains(m_AchievementIndexesHaveBeenEarned, index);
}

CAchievement* CAchievementHistory::GetFirstToShow() const
{
    return GetCountToShow() ? AchievementAt(m_AchievementIndexesToBeShown[0]) : nullptr;
}

void CAchievementHistory::DropFirstToShow()
{
    const uint32_t count = m_AchievementIndexesToBeShown.GetCount();
    if (count == 0)
        return;
    for (uint32_t i = 1; i < count; ++i)
        m_AchievementIndexesToBeShown[i - 1] = m_AchievementIndexesToBeShown[i];
    auto* property = dynamic_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Show These"));
    property->ArrayProperty_SetCount(this, count - 1, -1, CPropertyArrayProperty::Exact::No);
}

// --- per-player objects ---

void RegisterAchievementProperties()
{
    if (g_WorkVariablesProperty)
        return;
    g_WorkVariablesProperty =
        new CSlotProperty<CTypedPObjectProperty<CAchievementWorkVariables>>("Achievement Work Variables", nullptr);
    g_HistoryProperty = new CSlotProperty<CTypedPObjectProperty<CAchievementHistory>>("Achievement History", nullptr);
    g_WorkVariablesProperty->AddAsDynamicProperty(CPlayerStats::SGetClassInfo(), DynamicKind::Optional);
    g_HistoryProperty->AddAsDynamicProperty(CPlayerStats::SGetClassInfo(), DynamicKind::Optional);
}

namespace {

template <typename T>
T* AttachedOrNew(CPlayerStats& player, CTypedPObjectProperty<T>* property)
{
    RegisterAchievementProperties();
    if (auto* held = dynamic_cast<T*>(property->GetDynamicValue(&player)))
        return held;
    auto* made = new T;
    made->ResetToDefaults();
    property->SetDynamicValue(&player, made);
    return made;
}

} // namespace

CAchievementWorkVariables* GetAchievementWorkVariables(CPlayerStats& player)
{
    RegisterAchievementProperties();
    return AttachedOrNew(player, g_WorkVariablesProperty);
}

CAchievementHistory* GetAchievementHistory(CPlayerStats& player)
{
    RegisterAchievementProperties();
    return AttachedOrNew(player, g_HistoryProperty);
}

CAchievementWorkVariables* GetAchievementWorkVariables()
{
    CPlayerStats* player = CurrentPlayer();
    return player ? GetAchievementWorkVariables(*player) : nullptr;
}

CAchievementHistory* GetAchievementHistory()
{
    CPlayerStats* player = CurrentPlayer();
    return player ? GetAchievementHistory(*player) : nullptr;
}

// --- awards ---

void PlayJustEarnedSound()
{
    const int32_t sound = GetAchievementOptions().m_JustEarnedSound;
    if (sound > 0)
        GetAudioList().PlayAudioByIndex(sound);
}

void AwardAchievement(int32_t index)
{
    CAchievementHistory* history = GetAchievementHistory();
    CAchievement* achievement = AchievementAt(index);
    if (!history || !achievement || history->HasBeenEarned(index))
        return;
    AppendIndex(*history, "Have Been Earned", history->m_AchievementIndexesHaveBeenEarned, index);
    CStats::SMarkChanged();
    PlayJustEarnedSound();
    if (achievement->m_ShowNewTrophyEarnedMenuWhenEarned && !Contains(history->m_AchievementIndexesToBeShown, index))
        AppendIndex(*history, "Show These", history->m_AchievementIndexesToBeShown, index);
}

void AwardAchievementByName(const char* name)
{
    AwardAchievement(GetAchievementList().FindOrReportMissing(name));
}

// --- events ---

void AchievementFrameTick(float seconds)
{
    CAchievementWorkVariables* work = GetAchievementWorkVariables();
    if (!work)
        return;
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (counter && counter->IsBonusActive() && !(level && level->m_RequireMegaClickAssist)) {
        work->m_MegaClickAssistDuration += seconds;
        AwardIfAtLeast(work->m_MegaClickAssistDuration, GetAchievementOptions().m_BuilderOfDreamsRequiredTime,
                       "BuilderOfDreams");
    } else {
        work->m_MegaClickAssistDuration = 0.0f;
    }
}

void AchievementHouseMovedInto(bool isBlueModelHome)
{
    CAchievementWorkVariables* work = GetAchievementWorkVariables();
    if (!work)
        return;
    CAchievementOptions& options = GetAchievementOptions();
    work->m_NumberOfHousesBuilt += 1;
    CStats::SMarkChanged();
    AwardIfAtLeast(work->m_NumberOfHousesBuilt, options.m_AccomplishedBuilderHouses, "AccomplishedBuilder");
    if (isBlueModelHome) {
        work->m_BlueHousesBuiltThisLevel += 1;
        AwardIfAtLeast(work->m_BlueHousesBuiltThisLevel, options.m_BlueModelHomeMasterHousesRequired,
                       "BlueModelHomeMaster");
    }
}

void AchievementMatchesMade(int32_t matches)
{
    if (!CurrentPlayer())
        return;
    CAchievementOptions& options = GetAchievementOptions();
    AwardIfAtLeast(matches, options.m_MatchingApprenticeNumMatches, "MatchingApprentice");
    AwardIfAtLeast(matches, options.m_MatchingMasterNumMatches, "MatchingMaster");
    AwardIfAtLeast(matches, options.m_SupremeMatchingAceNumMatches, "SupremeMatchingAce");
}

void AchievementRevenueAdded(float thousands)
{
    CAchievementWorkVariables* work = GetAchievementWorkVariables();
    if (!work)
        return;
    CAchievementOptions& options = GetAchievementOptions();
    work->m_CareerRevenueK += thousands;
    CStats::SMarkChanged();
    AwardIfAtLeast(work->m_CareerRevenueK, options.m_CareerEarningsBronzeRevenue, "CareerEarningsBronze");
    AwardIfAtLeast(work->m_CareerRevenueK, options.m_CareerEarningsSilverRevenue, "CareerEarningsSilver");
    AwardIfAtLeast(work->m_CareerRevenueK, options.m_CareerEarningsGoldRevenue, "CareerEarningsGold");
}

void AchievementLevelComplete(bool passed)
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (passed && level && level->m_IsLastStandardLevel && CurrentPlayer())
        AwardAchievementByName("CraftsmanOfTheCentury");
}

void AchievementOptionalGoalAchieved()
{
    CPlayerStats* player = CurrentPlayer();
    CLevelSet* levels = FindLevels();
    if (!player || !levels)
        return;
    const uint32_t count = levels->GetCount();
    for (uint32_t i = 0; i < count; ++i) {
        CLevelOptions* level = levels->GetLevel(i);
        const uint32_t goals = level ? level->m_OptionalGoals.GetCount() : 0;
        if (goals == 0)
            return;
        CPlayerStatsForLevel* record = player->FindLevelStats(i);
        const uint32_t achieved = record ? record->GetOptionalGoalCounts().first : 0;
        if (achieved < goals)
            return;
        if (level->m_IsLastStandardLevel)
            break;
    }
    AwardAchievementByName("OutstandingBuildingAwardOfExcellence");
}

void ResetAchievementLevelVariables()
{
    if (CAchievementWorkVariables* work = GetAchievementWorkVariables()) {
        work->m_MegaClickAssistDuration = 0.0f;
        work->m_BlueHousesBuiltThisLevel = 0;
    }
}

void ResetAllAchievements()
{
    CPlayerStats* player = CurrentPlayer();
    if (!player)
        return;
    CAchievementHistory* history = GetAchievementHistory(*player);
    auto* earned = dynamic_cast<CPropertyArrayProperty*>(history->GetClassInfo()->FindProperty("Have Been Earned"));
    earned->ArrayProperty_SetCount(history, 0, -1, CPropertyArrayProperty::Exact::No);
    g_WorkVariablesProperty->SetDynamicValue(player, nullptr);
    CStats::SMarkChanged();
}

void GetAchievementsEarned(std::vector<CAchievementEarned>& out)
{
    CAchievementList& list = GetAchievementList();
    CPlayerStats* player = CurrentPlayer();
    CAchievementHistory* history = player ? GetAchievementHistory(*player) : nullptr;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        CAchievementEarned entry;
        entry.name = list.GetItemNameString(i);
        entry.earned = history && history->HasBeenEarned(i);
        out.push_back(entry);
    }
}
