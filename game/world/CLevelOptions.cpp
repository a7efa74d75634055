#include "game/world/CLevelOptions.h"

#include "foundation/CurrentLoadFile.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPeriod.h"
#include "game/world/ListReferences.h"
#include "game/world/WorldHooks.h"
#include "objects/CBoolProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CFormula.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "sequences/CTextSubstitutionList.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CLevelOptions, 1.0)

namespace {

LevelUndoHistoryFactory g_LevelUndoHistoryFactory = nullptr;

CPropertyArrayProperty& ArrayPropertyOf(CClassInfo* info, const char* name)
{
    return *static_cast<CPropertyArrayProperty*>(info->FindProperty(name));
}

CPropertyArrayProperty& FutureOrdersProperty()
{
    return ArrayPropertyOf(CLevelOptions::SGetClassInfo(), "Future Orders List");
}

CPropertyArrayProperty& MaxInLineProperty()
{
    return ArrayPropertyOf(CLevelOptions::SGetClassInfo(), "Max In Line List");
}

CPropertyArrayProperty& OptionalGoalsProperty()
{
    return ArrayPropertyOf(CLevelOptions::SGetClassInfo(), "Optional Goals List");
}

CPropertyArrayProperty& FrequencyProperty()
{
    return ArrayPropertyOf(CLevelOptions::SGetClassInfo(), "Build Phase Frequency List");
}

CPropertyArrayProperty& PartsProperty()
{
    return ArrayPropertyOf(CBuildablePackage::SGetClassInfo(), "Parts List");
}

void AppendInt(CObject* owner, CPropertyArrayProperty& property, CPropertyArray<int32_t>& array, int32_t value)
{
    property.ArrayProperty_SetCount(owner, array.GetCount() + 1);
    array[array.GetCount() - 1] = value;
}

bool IsRequiredPhase(uint32_t phase)
{
    CBuildPhase* buildPhase = GetBuildPhaseList().GetObject(int32_t(phase));
    return buildPhase && buildPhase->IsRequired();
}

// 0 for a value at or below 0 or not a number; the largest index for one
// past it (a float that does not fit is undefined as an integer).
uint32_t TruncateToIndex(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 4294967295.0)
        return 0xFFFFFFFFu;
    return uint32_t(value);
}

template <typename Visit>
void ForEachSpriteOfLayer(CPlayfield& playfield, const char* layerName, Visit visit)
{
    CPlayfieldLayer* layer = playfield.FindLayer(layerName);
    if (!layer)
        return;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i)
        if (CSprite* sprite = layer->GetSprite(i))
            if (!visit(sprite))
                return;
}

} // namespace

void CLevelOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLevelOptions;
    static const CMultipleFormula<float> percent(100.0f);

    d.Add(&C::m_DisplayName, "Display Name", "");
    d.AddListReference<CNoneableListProperty>(&C::m_Period, "Period", &GetPeriodList(), nullptr);
    d.Add(&C::m_Comment, "Comment", "");
    // Each customer gets its order at level start: a damaged count must not
    // ask for billions of them.
    d.Add(&C::m_Customers, "Customers", 12u).Range(0u, kMaxLevelCustomers);
    d.Add(&C::m_RequiredRevenue, "Goals/Required Revenue", 500.0f).Units("Thousand $").AlternateName("Goal");
    d.AddArray<CTypedPObjectProperty<CGoal>>(&C::m_OptionalGoals, "Goals/Optional Goals List", "Goals/Optional Goal",
                                             nullptr);
    d.Add(&C::m_FamesPerNewCustomer, "Fames Per New Customer", 240).Units("60th of a second");
    auto whitelist
        = d.AddArray<CNoneableListProperty>(&C::m_CustomerStylesWhitelist, "Random Customers/Customer Whitelist",
                                            "Random Customers/Whitelisted Customer", 0);
    static_cast<CListProperty*>(whitelist.Get().GetElementProperty())->SetList(&GetCustomerStyleSheetList());
    auto blacklist
        = d.AddArray<CNoneableListProperty>(&C::m_CustomerStylesBlacklist, "Random Customers/Customer Blacklist",
                                            "Random Customers/Blacklisted Customer", 0);
    static_cast<CListProperty*>(blacklist.Get().GetElementProperty())->SetList(&GetCustomerStyleSheetList());
    auto script = d.AddArray<CNoneableListProperty>(&C::m_ForcedOrderedCustomerStylesScript,
                                                    "Customer Script/Scripted Customer List",
                                                    "Customer Script/Scripted Customer", 0);
    static_cast<CListProperty*>(script.Get().GetElementProperty())->SetList(&GetCustomerStyleSheetList());
    d.Add(&C::m_CustomerIntervalDuration, "Simultaneous Customers/Customer Interval Duration", 60.0f).Units("Seconds");
    auto inLine
        = d.AddArray<CIntProperty>(&C::m_MaxSimultaneousCustomersInLineInterval,
                                   "Simultaneous Customers/Max In Line List", "Simultaneous Customers/Max In Line", 0);
    inLine.Get().GetElementProperty()->SetUnits("customers");
    d.AddListReference<CNoneableListProperty>(&C::m_Background, "Background", &GetBackgroundStyleSheetList(), nullptr);
    d.Add(&C::m_IsTutorialLevel, "Tutorial/Is Tutorial Level", false);
    d.Add(&C::m_IsLastTutorialLevel, "Tutorial/Is Last Tutorial Level", false);
    d.AddOwned(&C::m_ForcedGameState, "Tutorial/Forced Game State");
    d.Add(&C::m_CustomerSpawningDisabled, "Tutorial/Customer Spawning Disabled For Tutorial", false);
    d.Add(&C::m_CustomerDeliveryDisabled, "Tutorial/Customer Delivery Disabled For Tutorial", false);
    d.Add(&C::m_PacifierPickupDisabled, "Tutorial/Pacifier Pickup Disabled For Tutorial", false);
    d.Add(&C::m_RequireClickAssist, "Tutorial/Require Click Assist", false);
    d.Add(&C::m_RequireMegaClickAssist, "Tutorial/Require Mega Click Assist For Tutotial", false);
    d.Add(&C::m_CustomersNeverOrderWhatYouHave, "Tutorial/Customers Never Order What You Have", false);
    d.AddListReference<CNoneableListProperty>(&C::m_FirstCustomerWillOrder, "Tutorial/First Customer Will Order",
                                              &GetUpgradeList(), nullptr);
    d.Add(&C::m_MustBuildAtGridCoordinate, "Tutorial/Must Build At Grid Coordinate", kNoMustBuildCoordinate);
    d.Add(&C::m_MustBuildWhatCustomerWants, "Tutorial/Must Build What Customer Wants", false);
    auto orders = d.AddArray<CTypedPObjectProperty<CBuildablePackage>>(&C::m_FutureOrders, "Future Orders List",
                                                                       "Future Order", nullptr);
    orders.Get().GetElementProperty()->SetLevel(kLevelHidden);
    auto frequency
        = d.AddArray<CFloatProperty>(&C::m_BuildPhaseFrequency, "Build Phase Frequency List", "Frequency", 1.0f)
              .NamedBy(&GetBuildPhaseList());
    auto* frequencyElement = static_cast<CFloatProperty*>(frequency.Get().GetElementProperty());
    frequencyElement->SetUnits("%");
    frequencyElement->SetFormula(&percent);
    d.Add(&C::m_ScalePercent, "Scale Percent", 100.0f).Units("%");
    d.AddEmbedded(&C::m_Playfield, "Playfield/Playfield");
    d.Add(&C::m_SecondsPlayed, "Debug/Seconds Played", 0.0f).Units("seconds").Level(kLevelHidden);
    d.Add(&C::m_CustomersSpawned, "Debug/Customers Spawned", 0).Level(kLevelHidden);
    d.Add(&C::m_PlayerInteractionComplete, "Debug/Player Interaction Complete", false).Level(kLevelHidden);
    d.Add(&C::m_LevelIntro, "Level Intro", "");
    d.Add(&C::m_AllowClickAssist, "Allow Click Assist", true);
    d.AddOwned(&C::m_PlayStats, "").Level(kLevelHidden);
    d.Add(&C::m_AllowGenericMegaClickAssistTutorial, "Allow Generic Mega Click Assist Tutorial", true);
    d.Add(&C::m_IsLastStandardLevel, "Is Last Standard Level", false);
    d.Add(&C::m_IsSpeedRound, "Is Speed Round", false);
    d.Add(&C::m_PendingRevenue, "", 0.0f).Level(kLevelHidden);
}

CLevelOptions::CLevelOptions()
{
    InitDeclaredProperties();
}

LevelUndoHistoryFactory SetLevelUndoHistoryFactory(LevelUndoHistoryFactory factory)
{
    LevelUndoHistoryFactory previous = g_LevelUndoHistoryFactory;
    g_LevelUndoHistoryFactory = factory;
    return previous;
}

CLevelOptions::~CLevelOptions()
{
    delete m_UndoHistory;
    delete m_AuxiliaryRecord;
    DestroyDeclaredProperties();
    for (uint32_t i = m_RemovedSprites.GetCount(); i > 0; --i)
        delete m_RemovedSprites[i - 1];
}

void CLevelOptions::KeepRemovedSprite(CSprite* sprite)
{
    if (sprite)
        m_RemovedSprites.Append(sprite);
}

CLevelOptions* CLevelOptions::SGetCurrent()
{
    CObject* level = GetLevelHolder().GetLevel();
    return level && level->IsKindOf(SGetClassInfo()) ? static_cast<CLevelOptions*>(level) : nullptr;
}

void CLevelOptions::ResetToDefaults()
{
    CLevelOptions::BaseClass::ResetToDefaults();
    CBuildPhaseList& phases = GetBuildPhaseList();
    const uint32_t count = uint32_t(phases.GetCount());
    FrequencyProperty().ArrayProperty_SetCount(this, count);
    for (uint32_t j = 0; j < count; ++j)
        m_BuildPhaseFrequency[j] = IsRequiredPhase(j) ? 1.0f : 0.8f;
}

void CLevelOptions::ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream)
{
    CJString key(name);
    if (key.IsWide())
        key.ToNarrow();
    CJString text(value);
    if (text.IsWide())
        text.ToNarrow();
    if (key.Compare("Max Simultaneous Customers In Line") == 0) {
        MaxInLineProperty().ArrayProperty_SetCount(this, 0);
        AppendInt(this, MaxInLineProperty(), m_MaxSimultaneousCustomersInLineInterval,
                  int32_t(std::strtol(text.GetString(), nullptr, 10)));
        return;
    }
    if (key.Compare("Expert Goal") == 0) {
        auto* goal = new CRevenueGoal;
        goal->ResetToDefaults();
        goal->m_Revenue = std::strtof(text.GetString(), nullptr);
        OptionalGoalsProperty().ArrayProperty_SetCount(this, m_OptionalGoals.GetCount() + 1);
        m_OptionalGoals[m_OptionalGoals.GetCount() - 1] = goal;
        return;
    }
    // The next save would lose the key without a word: say so, with the file.
    if (!GetClassInfo()->GetDynamicPropertyList().FindByName(key)) {
        CJString report("Dropped unknown property \"");
        report.Append(key);
        report.Append("\" with a value of \"");
        report.Append(text);
        report.Append("\" for class CLevelOptions while processing file \"");
        report.Append(GetCurrentLoadFileName());
        report.Append("\"\n");
        if (report.IsWide())
            report.ToNarrow();
        std::fputs(report.GetString(), stderr);
    }
    CLevelOptions::BaseClass::ReadCustomProperties(name, value, stream);
}

int32_t CLevelOptions::GetMaxCustomersInLine()
{
    if (m_MaxSimultaneousCustomersInLineInterval.GetCount() == 0)
        AppendInt(this, MaxInLineProperty(), m_MaxSimultaneousCustomersInLineInterval, 3);
    uint32_t interval = 0;
    if (m_CustomerIntervalDuration > 0.0f)
        interval = TruncateToIndex(double(m_SecondsPlayed / m_CustomerIntervalDuration));
    const uint32_t last = m_MaxSimultaneousCustomersInLineInterval.GetCount() - 1;
    return m_MaxSimultaneousCustomersInLineInterval[interval < last ? interval : last];
}

void CLevelOptions::GenerateFutureOrders(CRandomGenerator& random)
{
    CPropertyArrayProperty& ordersProperty = FutureOrdersProperty();
    ordersProperty.ArrayProperty_SetCount(this, 0);
    const uint32_t customers = m_Customers;
    const uint32_t phases = uint32_t(GetBuildPhaseList().GetCount());
    ordersProperty.ArrayProperty_SetCount(this, customers);
    for (uint32_t k = 0; k < customers; ++k) {
        auto* package = new CBuildablePackage;
        package->ResetToDefaults();
        // Every phase has its entry, so orders compare part for part with
        // the buildings they are matched against.
        PartsProperty().ArrayProperty_SetCount(package, phases);
        for (uint32_t j = 0; j < phases; ++j)
            package->m_Parts[j] = 0;
        m_FutureOrders[k] = package;
    }
    CGameState* state = CGameState::SGetCurrent();
    for (uint32_t j = 0; j < phases; ++j) {
        CCrewState* crew = state ? state->GetCrewState(int32_t(j)) : nullptr;
        const uint32_t partCount = crew ? crew->m_BuildableParts.GetCount() : 0;
        if (partCount > 0) {
            float f = j < m_BuildPhaseFrequency.GetCount() ? m_BuildPhaseFrequency[j] : 1.0f;
            // A required phase is in every order, unless the street leaves
            // it out altogether (the first lesson sells its cottages bare).
            if (IsRequiredPhase(j) && f > 0.0f)
                f = 1.0f;
            const double wanted = std::nearbyint(double(float(customers) * f));
            // Above 100 % there are still only "Customers" orders to fill.
            const uint32_t n = wanted >= double(customers) ? customers : TruncateToIndex(wanted);
            const float step = float(partCount) / float(n);
            for (uint32_t k = 0; k < n; ++k) {
                const uint32_t index = TruncateToIndex(double(float(k) * step));
                m_FutureOrders[k]->m_Parts[j] = crew->m_BuildableParts[index < partCount ? index : partCount - 1];
            }
        }
        for (uint32_t u = 0; u < customers; ++u) {
            const uint32_t r = random.Next(customers);
            std::swap(m_FutureOrders[u]->m_Parts[j], m_FutureOrders[r]->m_Parts[j]);
        }
    }
}

CBuildablePackage* CLevelOptions::PopFutureOrder()
{
    int32_t i = FindOrderWantedByNoCustomer();
    if (m_FirstCustomerWillOrder != 0) {
        i = FindOrderContainingPart(m_FirstCustomerWillOrder);
        m_FirstCustomerWillOrder = 0;
    }
    const uint32_t count = m_FutureOrders.GetCount();
    if (count == 0)
        return nullptr;
    if (i < 0 || uint32_t(i) >= count)
        i = int32_t(count - 1);
    CBuildablePackage* order = m_FutureOrders[uint32_t(i)];
    m_FutureOrders[uint32_t(i)] = nullptr;
    FutureOrdersProperty().ArrayProperty_SetCount(this, count - 1, i);
    return order;
}

int32_t CLevelOptions::FindOrderWantedByNoCustomer()
{
    for (uint32_t i = 0; i < m_FutureOrders.GetCount(); ++i) {
        CBuildablePackage* order = m_FutureOrders[i];
        bool wanted = false;
        ForEachSpriteOfLayer(m_Playfield, "Customers", [&](CSprite* sprite) {
            if (CCustomer* customer = FindWaitingCustomer(sprite)) {
                CBuildablePackage* package = customer->GetPackageWanted();
                if (package && order && package->HasSamePartsAs(order))
                    wanted = true;
            }
            return !wanted;
        });
        if (!wanted)
            return int32_t(i);
    }
    return -1;
}

int32_t CLevelOptions::FindOrderContainingPart(int32_t upgrade)
{
    for (uint32_t i = 0; i < m_FutureOrders.GetCount(); ++i)
        if (m_FutureOrders[i] && m_FutureOrders[i]->HoldsUpgrade(upgrade))
            return int32_t(i);
    return -1;
}

void CLevelOptions::ReplaceOrderPart(int32_t slot, int32_t oldPart, int32_t newPart)
{
    if (slot < 0 || slot > 3)
        return;
    for (uint32_t i = 0; i < m_FutureOrders.GetCount(); ++i) {
        CBuildablePackage* order = m_FutureOrders[i];
        if (order && uint32_t(slot) < order->m_Parts.GetCount() && order->m_Parts[uint32_t(slot)] == oldPart) {
            order->m_Parts[uint32_t(slot)] = newPart;
            return;
        }
    }
}

void CLevelOptions::ApplyPartChanges(const CArrayPOD<int32_t>& oldParts, const CArrayPOD<int32_t>& newParts)
{
    for (uint32_t slot = 0; slot < 4; ++slot) {
        const int32_t before = slot < oldParts.GetCount() ? oldParts[slot] : 0;
        const int32_t after = slot < newParts.GetCount() ? newParts[slot] : 0;
        if (before != after)
            ReplaceOrderPart(int32_t(slot), before, after);
    }
}

bool CLevelOptions::IsPartWantedByWaitingCustomer(int32_t upgrade)
{
    bool wanted = false;
    ForEachSpriteOfLayer(m_Playfield, "Customers", [&](CSprite* sprite) {
        if (CCustomer* customer = FindWaitingCustomer(sprite))
            if (CBuildablePackage* package = customer->GetPackageWanted())
                wanted = package->HoldsUpgrade(upgrade);
        return !wanted;
    });
    return wanted;
}

void CLevelOptions::BuildCustomerStylePool(CRandomGenerator& random)
{
    CCustomerStyleSheetList& styles = GetCustomerStyleSheetList();
    // The none entry is no customer.
    const auto add = [&](int32_t style) {
        if (!styles.IsNoneRow(style))
            m_RandomCustomerPool.push_back(styles.GetItemNameString(style));
    };
    m_RandomCustomerPool.clear();
    if (m_CustomerStylesWhitelist.GetCount() > 0) {
        for (uint32_t i = 0; i < m_CustomerStylesWhitelist.GetCount(); ++i)
            add(m_CustomerStylesWhitelist[i]);
    } else if (CPeriod* period = GetPeriodList().GetCount() > 0 ? GetPeriodList().GetObject(m_Period) : nullptr) {
        for (uint32_t i = 0; i < period->m_CustomerStyles.GetCount(); ++i) {
            const int32_t style = period->m_CustomerStyles[i];
            bool barred = false;
            for (uint32_t b = 0; b < m_CustomerStylesBlacklist.GetCount(); ++b)
                barred = barred || m_CustomerStylesBlacklist[b] == style;
            if (!barred)
                add(style);
        }
    }
    const uint32_t size = uint32_t(m_RandomCustomerPool.size());
    for (uint32_t i = 0; i < size; ++i)
        std::swap(m_RandomCustomerPool[i], m_RandomCustomerPool[random.Next(size)]);
}

std::vector<int32_t> CLevelOptions::GetCustomerStylePool() const
{
    std::vector<int32_t> rows;
    for (const CJString& name : m_RandomCustomerPool)
        rows.push_back(GetCustomerStyleSheetList().Find(name));
    return rows;
}

int32_t CLevelOptions::NextRandomCustomerStyle(CRandomGenerator& random)
{
    if (m_RandomCustomerPool.empty())
        BuildCustomerStylePool(random);
    std::vector<int32_t> pool = GetCustomerStylePool();
    // A style deleted meanwhile is passed over.
    for (size_t i = pool.size(); i-- > 0;)
        if (pool[i] < 0) {
            pool.erase(pool.begin() + std::ptrdiff_t(i));
            m_RandomCustomerPool.erase(m_RandomCustomerPool.begin() + std::ptrdiff_t(i));
        }
    if (pool.empty())
        return -1;
    uint32_t chosen = 0;
    for (uint32_t i = 0; i < pool.size(); ++i) {
        bool inUse = false;
        ForEachSpriteOfLayer(m_Playfield, "Customers", [&](CSprite* sprite) {
            // A sprite that is no customer has no style (-1).
            const CCustomer* customer = FindCustomer(sprite);
            inUse = (customer ? customer->m_CustomerStyleSheet : -1) == pool[i];
            return !inUse;
        });
        if (!inUse) {
            chosen = i;
            break;
        }
    }
    m_RandomCustomerPool.erase(m_RandomCustomerPool.begin() + std::ptrdiff_t(chosen));
    return pool[chosen];
}

float CLevelOptions::GetRevenueGoalTarget()
{
    for (uint32_t i = 0; i < m_OptionalGoals.GetCount(); ++i)
        if (CGoal* goal = m_OptionalGoals[i]; goal && goal->IsKindOf(CRevenueGoal::SGetClassInfo()))
            return static_cast<CRevenueGoal*>(goal)->m_Revenue;
    return 0.0f;
}

int32_t CLevelOptions::CountEmptyLots()
{
    int32_t count = 0;
    ForEachSpriteOfLayer(m_Playfield, "Lot", [&](CSprite* sprite) {
        if (CLot* lot = CLot::SFromSprite(sprite); lot && lot->IsVacant())
            ++count;
        return true;
    });
    return count;
}

bool CLevelOptions::HasMustBuildCoordinate() const
{
    return m_MustBuildAtGridCoordinate.x != kNoMustBuildCoordinate.x
        || m_MustBuildAtGridCoordinate.y != kNoMustBuildCoordinate.y;
}

void CLevelOptions::EnsureDefaultLayers()
{
    if (m_Playfield.GetLayerCount() == 0)
        m_Playfield.FillDefaultLayers();
}

bool CLevelOptions::AnyOptionalGoalAccepts(int32_t value)
{
    for (uint32_t i = 0; i < m_OptionalGoals.GetCount(); ++i)
        if (m_OptionalGoals[i] && m_OptionalGoals[i]->RefersToCustomer(value))
            return true;
    return false;
}

void CLevelOptions::CopyPlayerHistoryTexts(CTextSubstitutionList& list)
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    list.AddNumber("%s[Previously Completed]", hooks.GetTimesCompleted(this));
    list.AddNumber("%s[Previously Failed]", hooks.GetTimesFailed(this));
    list.AddNumber("%s[Build Player Created With]", hooks.GetPlayerBuildNumber());
    list.AddNumber("%s[First Time Player]", hooks.IsFirstTimePlayer() ? 1 : 0);
}

void CLevelOptions::MarkPreviouslyAchievedGoals()
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    for (uint32_t i = 0; i < m_OptionalGoals.GetCount(); ++i)
        if (m_OptionalGoals[i] && hooks.WasGoalAchievedBefore(this, i))
            m_OptionalGoals[i]->m_AchievedPreviously = true;
}

CLevelUndoHistory* CLevelOptions::GetUndoHistory()
{
    if (!m_UndoHistory && g_LevelUndoHistoryFactory)
        m_UndoHistory = g_LevelUndoHistoryFactory();
    return m_UndoHistory;
}

void CLevelOptions::ForgetUndoHistory()
{
    delete m_UndoHistory;
    m_UndoHistory = nullptr;
}

CLevelAuxiliaryRecord& CLevelOptions::GetAuxiliaryRecord()
{
    if (!m_AuxiliaryRecord)
        m_AuxiliaryRecord = new CLevelAuxiliaryRecord;
    return *m_AuxiliaryRecord;
}
