// Levels as designers write them: older keys, default frequencies, the
// customers allowed in line, the future orders and the customer style pool,
// over small lists written to the test's folder and a seeded generator.
#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPeriod.h"
#include "objects/CNewFileOptions.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

CPropertyArrayProperty& ArrayProperty(CClassInfo* info, const char* name)
{
    auto* property = static_cast<CPropertyArrayProperty*>(info->FindProperty(name));
    EXPECT_NE(property, nullptr) << name;
    return *property;
}

// A customer of the style on the "Customers" layer, with a copy of the order
// when one is given.
CCustomer* AddCustomer(CLevelOptions& level, int32_t style, CBuildablePackage* order = nullptr)
{
    auto* sprite = new CSprite;
    auto* customer = new CCustomer;
    customer->m_CustomerStyleSheet = style;
    if (order) {
        customer->m_PackageWanted = new CBuildablePackage;
        customer->m_PackageWanted->CopyFrom(order);
    }
    sprite->AddAI(customer);
    level.GetPlayfield().AddSprite(sprite, "Customers");
    return customer;
}

class LevelOptions : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        for (CClassInfo* info :
             {CBuildPhase::SGetClassInfo(), CCustomerStyleSheet::SGetClassInfo(), CUpgrade::SGetClassInfo(),
              CGameState::SGetClassInfo(), CCrewState::SGetClassInfo(), CBuildablePackage::SGetClassInfo()})
            ASSERT_NE(info, nullptr);
        // Sorted without case: "Add On" 0, "Frame" 1, "Garage" 2.
        WriteObject("Resources/Frame.BuildPhase.txt", "CBuildPhase", "Option Index=Required\r\n");
        WriteObject("Resources/Garage.BuildPhase.txt", "CBuildPhase", "Option Index=Optional\r\n");
        WriteObject("Resources/Add On.BuildPhase.txt", "CBuildPhase", "Option Index=Optional\r\n");
        for (const char* name : {"!None", "Anne", "Bert", "Cleo", "Dora"})
            WriteObject(std::string("Resources/Customers/") + name + ".Customer.txt", "CCustomerStyleSheet", "");
        for (const char* name : {"!None", "Cabin", "Chalet", "Cottage", "Porch", "Shed"})
            WriteObject(std::string("Resources/") + name + ".Upgrade.txt", "CUpgrade", "");
        WriteObject("Resources/Period 1.Period.txt", "CPeriod",
                    "Customers List=Array\r\n\t{\r\n\tItem Count=3\r\n\tCustomer=Anne\r\n\tCustomer=Bert\r\n"
                    "\tCustomer=Cleo\r\n\t}\r\n");
        WriteObject("Resources/Quiet.Period.txt", "CPeriod", "");
        WriteObject("Resources/Town.Background.txt", "CBackgroundStyleSheet", "");
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Resources", 0);
        ResetCrews();
    }
    void TearDown() override
    {
        ResetCrews();
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Nowhere", 0);
        CTempFolderTest::TearDown();
    }

    static std::vector<CObjectFileArray*> Lists()
    {
        return {&GetBuildPhaseList(), &GetCustomerStyleSheetList(), &GetUpgradeList(), &GetPeriodList(),
                &GetBackgroundStyleSheetList()};
    }
    static void WriteObject(const std::string& path, const char* className, const std::string& lines)
    {
        WriteBytes(path, std::string(className) + "\r\n{\r\n" + lines + "}\r\n");
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    static int32_t Style(const char* name) { return GetCustomerStyleSheetList().Find(name); }

    // The current game state keeps these parts for each build phase.
    static void SetCrewParts(const std::vector<std::vector<int32_t>>& partsByPhase)
    {
        CGameState* state = CGameState::SGetCurrent();
        CPropertyArrayProperty& crews = ArrayProperty(CGameState::SGetClassInfo(), "Crews List");
        CPropertyArrayProperty& parts = ArrayProperty(CCrewState::SGetClassInfo(), "Cached Buildable Parts List");
        crews.ArrayProperty_SetCount(state, 0);
        crews.ArrayProperty_SetCount(state, uint32_t(partsByPhase.size()));
        for (uint32_t j = 0; j < partsByPhase.size(); ++j) {
            if (!state->m_Crews[j])
                state->m_Crews[j] = new CCrewState;
            CCrewState* crew = state->m_Crews[j];
            parts.ArrayProperty_SetCount(crew, uint32_t(partsByPhase[j].size()));
            for (uint32_t k = 0; k < partsByPhase[j].size(); ++k)
                crew->m_BuildableParts[k] = partsByPhase[j][k];
        }
    }
    static void ResetCrews()
    {
        if (CGameState::SGetClassInfo()->FindProperty("Crews List"))
            ArrayProperty(CGameState::SGetClassInfo(), "Crews List")
                .ArrayProperty_SetCount(CGameState::SGetCurrent(), 0);
    }

    std::unique_ptr<CLevelOptions> NewLevel()
    {
        auto level = std::make_unique<CLevelOptions>();
        level->ResetToDefaults();
        return level;
    }
    static void SetMaxInLine(CLevelOptions& level, std::vector<int32_t> values)
    {
        CPropertyArrayProperty& list = ArrayProperty(CLevelOptions::SGetClassInfo(), "Max In Line List");
        list.ArrayProperty_SetCount(&level, uint32_t(values.size()));
        for (uint32_t i = 0; i < values.size(); ++i)
            level.m_MaxSimultaneousCustomersInLineInterval[i] = values[i];
    }
    // How many orders hold each part in the phase's slot (0: none).
    static std::map<int32_t, int> PartCounts(CLevelOptions& level, uint32_t phase)
    {
        std::map<int32_t, int> counts;
        for (uint32_t k = 0; k < level.m_FutureOrders.GetCount(); ++k)
            ++counts[level.m_FutureOrders[k]->m_Parts[phase]];
        return counts;
    }
};

TEST_F(LevelOptions, OlderKeysLandInTheirNewPlacesAndUnknownKeysAreReportedWithTheirFile)
{
    WriteObject("Resources/Levels/Old Level.txt", "CLevelOptions",
                "Goal=250\r\nMax Simultaneous Customers In Line=4\r\nExpert Goal=800.5\r\nWobble=3\r\n");
    testing::internal::CaptureStderr();
    std::unique_ptr<CObject> object(
        LoadObjectFromFile("Resources/Levels/Old Level.txt", 0, IdMode::WithoutIds, ReportUnknownClass::Quiet));
    const std::string errors = testing::internal::GetCapturedStderr();
    auto* level = dynamic_cast<CLevelOptions*>(object.get());
    ASSERT_NE(level, nullptr);
    EXPECT_FLOAT_EQ(level->m_RequiredRevenue, 250.0f);
    ASSERT_EQ(level->m_MaxSimultaneousCustomersInLineInterval.GetCount(), 1u);
    EXPECT_EQ(level->m_MaxSimultaneousCustomersInLineInterval[0], 4);
    ASSERT_EQ(level->m_OptionalGoals.GetCount(), 1u);
    ASSERT_TRUE(level->m_OptionalGoals[0]->IsKindOf(CRevenueGoal::SGetClassInfo()));
    EXPECT_FLOAT_EQ(level->GetRevenueGoalTarget(), 800.5f);
    EXPECT_NE(errors.find("\"Wobble\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("Old Level.txt"), std::string::npos) << errors;
    // The older keys themselves are taken, not reported.
    EXPECT_EQ(errors.find("Expert Goal"), std::string::npos) << errors;
}

TEST_F(LevelOptions, ResetGivesEveryCustomerTheRequiredPhaseAndEightyPercentTheOthers)
{
    auto level = NewLevel();
    ASSERT_EQ(level->m_BuildPhaseFrequency.GetCount(), 3u);
    EXPECT_FLOAT_EQ(level->m_BuildPhaseFrequency[0], 0.8f); // Add On
    EXPECT_FLOAT_EQ(level->m_BuildPhaseFrequency[1], 1.0f); // Frame
    EXPECT_FLOAT_EQ(level->m_BuildPhaseFrequency[2], 0.8f); // Garage
    EXPECT_EQ(level->m_Customers, 12u);
    EXPECT_EQ(level->m_MustBuildAtGridCoordinate, kNoMustBuildCoordinate);
    EXPECT_FALSE(level->HasMustBuildCoordinate());
    level->m_MustBuildAtGridCoordinate = {-100, 2};
    EXPECT_TRUE(level->HasMustBuildCoordinate());
    level->ClearMustBuildCoordinate();
    EXPECT_FALSE(level->HasMustBuildCoordinate());
}

TEST_F(LevelOptions, CustomersInLineFollowTheIntervalOfTheTimePlayed)
{
    auto level = NewLevel();
    // An empty list behaves as, and becomes, the single value 3.
    EXPECT_EQ(level->GetMaxCustomersInLine(), 3);
    EXPECT_EQ(level->m_MaxSimultaneousCustomersInLineInterval.GetCount(), 1u);

    SetMaxInLine(*level, {2, 4, 6});
    level->m_CustomerIntervalDuration = 60.0f;
    level->m_SecondsPlayed = 150.0f;
    EXPECT_EQ(level->GetMaxCustomersInLine(), 6);
    SetMaxInLine(*level, {2, 4});
    EXPECT_EQ(level->GetMaxCustomersInLine(), 4);
    level->m_SecondsPlayed = 59.9f;
    EXPECT_EQ(level->GetMaxCustomersInLine(), 2);
    // No duration: always the first; an endless play stays on the last.
    level->m_CustomerIntervalDuration = 0.0f;
    level->m_SecondsPlayed = 1.0e30f;
    EXPECT_EQ(level->GetMaxCustomersInLine(), 2);
    level->m_CustomerIntervalDuration = 1.0e-30f;
    EXPECT_EQ(level->GetMaxCustomersInLine(), 4);
}

TEST_F(LevelOptions, FutureOrdersSpreadEachPhasesPartsOverItsShareOfCustomers)
{
    const int32_t cabin = Upgrade("Cabin"), chalet = Upgrade("Chalet"), cottage = Upgrade("Cottage");
    const int32_t porch = Upgrade("Porch"), shed = Upgrade("Shed");
    // Add On: one part; Frame: three; Garage: one.
    SetCrewParts({{porch}, {cabin, chalet, cottage}, {shed}});
    auto level = NewLevel();
    level->m_BuildPhaseFrequency[1] = 0.1f; // a required phase is filled whatever its entry
    CRandomGenerator random;
    random.Seed(7);
    level->GenerateFutureOrders(random);
    ASSERT_EQ(level->m_FutureOrders.GetCount(), 12u);
    for (uint32_t k = 0; k < 12; ++k)
        EXPECT_EQ(level->m_FutureOrders[k]->m_Parts.GetCount(), 3u);
    EXPECT_EQ(PartCounts(*level, 1), (std::map<int32_t, int>{{cabin, 4}, {chalet, 4}, {cottage, 4}}));
    // 12 × 0.8 = 9.6: ten porches and ten sheds, the rest without.
    EXPECT_EQ(PartCounts(*level, 0), (std::map<int32_t, int>{{0, 2}, {porch, 10}}));
    EXPECT_EQ(PartCounts(*level, 2), (std::map<int32_t, int>{{0, 2}, {shed, 10}}));

    // The same seed deals the same orders.
    auto again = NewLevel();
    again->m_BuildPhaseFrequency[1] = 0.1f;
    random.Seed(7);
    again->GenerateFutureOrders(random);
    for (uint32_t k = 0; k < 12; ++k)
        EXPECT_TRUE(again->m_FutureOrders[k]->HasSamePartsAs(level->m_FutureOrders[k])) << k;

    // Generating again replaces the orders.
    level->m_Customers = 5;
    level->GenerateFutureOrders(random);
    EXPECT_EQ(level->m_FutureOrders.GetCount(), 5u);
}

TEST_F(LevelOptions, AFrequencyAboveOneFillsEveryOrderAndNoMore)
{
    SetCrewParts({{Upgrade("Porch"), Upgrade("Shed")}, {Upgrade("Cabin")}, {}});
    auto level = NewLevel();
    level->m_Customers = 4;
    level->m_BuildPhaseFrequency[0] = 2.5f; // 250 %: ten orders asked of four
    CRandomGenerator random;
    random.Seed(3);
    level->GenerateFutureOrders(random);
    ASSERT_EQ(level->m_FutureOrders.GetCount(), 4u);
    EXPECT_EQ(PartCounts(*level, 0), (std::map<int32_t, int>{{Upgrade("Porch"), 2}, {Upgrade("Shed"), 2}}));
    EXPECT_EQ(PartCounts(*level, 2), (std::map<int32_t, int>{{0, 4}}));

    // No customers: no orders, and nothing popped.
    level->m_Customers = 0;
    level->GenerateFutureOrders(random);
    EXPECT_EQ(level->m_FutureOrders.GetCount(), 0u);
    EXPECT_EQ(level->PopFutureOrder(), nullptr);
}

TEST_F(LevelOptions, OrdersGoToCustomersByWantAndTheFirstOrderOverrideActsOnce)
{
    const int32_t cabin = Upgrade("Cabin"), chalet = Upgrade("Chalet"), cottage = Upgrade("Cottage");
    SetCrewParts({{}, {cabin, chalet, cottage}, {}});
    auto level = NewLevel();
    level->m_Customers = 3;
    level->EnsureDefaultLayers();
    CRandomGenerator random;
    random.Seed(11);
    level->GenerateFutureOrders(random);
    ASSERT_EQ(level->m_FutureOrders.GetCount(), 3u);

    // A waiting customer already wants what order 0 holds: order 1 goes next.
    CBuildablePackage wanted;
    wanted.CopyFrom(level->m_FutureOrders[0]);
    CSprite* waiting = AddCustomer(*level, Style("Anne"), &wanted)->GetSprite();
    EXPECT_EQ(level->FindOrderWantedByNoCustomer(), 1);
    EXPECT_TRUE(level->IsPartWantedByWaitingCustomer(wanted.m_Parts[1]));
    // A leaving customer (no longer shown) wants nothing any more.
    waiting->SetVisible(false);
    EXPECT_EQ(level->FindOrderWantedByNoCustomer(), 0);
    EXPECT_FALSE(level->IsPartWantedByWaitingCustomer(wanted.m_Parts[1]));
    waiting->SetVisible(true);

    // The override picks the order with the cottage, once.
    level->m_FirstCustomerWillOrder = cottage;
    std::unique_ptr<CBuildablePackage> first(level->PopFutureOrder());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_Parts[1], cottage);
    EXPECT_EQ(level->m_FirstCustomerWillOrder, 0);
    EXPECT_EQ(level->m_FutureOrders.GetCount(), 2u);
    std::unique_ptr<CBuildablePackage> second(level->PopFutureOrder());
    ASSERT_NE(second, nullptr);
    // Every order is different; the one the customer wants waits.
    EXPECT_FALSE(second->HasSamePartsAs(&wanted));

    // Part changes reach the first order holding the old part in that slot.
    CBuildablePackage& last = *level->m_FutureOrders[0];
    const int32_t before = last.m_Parts[1];
    CArrayPOD<int32_t> oldParts, newParts;
    oldParts.Append(0);
    oldParts.Append(before);
    newParts.Append(0);
    newParts.Append(Upgrade("Shed"));
    level->ApplyPartChanges(oldParts, newParts);
    EXPECT_EQ(last.m_Parts[1], Upgrade("Shed"));
    EXPECT_EQ(level->FindOrderContainingPart(Upgrade("Shed")), 0);
    EXPECT_EQ(level->FindOrderContainingPart(before), -1);
    level->ReplaceOrderPart(7, Upgrade("Shed"), before); // no such slot: nothing
    EXPECT_EQ(last.m_Parts[1], Upgrade("Shed"));
}

TEST_F(LevelOptions, TheCustomerPoolComesFromTheWhitelistOrThePeriodLessTheBlacklist)
{
    auto level = NewLevel();
    level->m_Period = GetPeriodList().Find("Period 1");
    CPropertyArrayProperty& blacklist = ArrayProperty(CLevelOptions::SGetClassInfo(), "Customer Blacklist");
    blacklist.ArrayProperty_SetCount(level.get(), 1);
    level->m_CustomerStylesBlacklist[0] = Style("Bert");
    CRandomGenerator random;
    random.Seed(5);
    level->BuildCustomerStylePool(random);
    std::vector<int32_t> rows = level->GetCustomerStylePool();
    EXPECT_EQ(std::multiset<int32_t>(rows.begin(), rows.end()), (std::multiset<int32_t>{Style("Anne"), Style("Cleo")}));

    // A whitelist replaces the period entirely; the blacklist is not asked.
    // Its none is no customer.
    CPropertyArrayProperty& whitelist = ArrayProperty(CLevelOptions::SGetClassInfo(), "Customer Whitelist");
    whitelist.ArrayProperty_SetCount(level.get(), 3);
    level->m_CustomerStylesWhitelist[0] = Style("Bert");
    level->m_CustomerStylesWhitelist[1] = Style("Dora");
    level->BuildCustomerStylePool(random);
    rows = level->GetCustomerStylePool();
    EXPECT_EQ(std::multiset<int32_t>(rows.begin(), rows.end()), (std::multiset<int32_t>{Style("Bert"), Style("Dora")}));

    // A style a designer adds moves the rows, not the pool.
    std::unique_ptr<CNewFileOptions> options(GetCustomerStyleSheetList().GetNewFileOptions());
    auto* named = dynamic_cast<CNewFileOptionsCObject*>(options.get());
    ASSERT_NE(named, nullptr);
    named->m_Name.Set("Aaron");
    ASSERT_EQ(GetCustomerStyleSheetList().AddItemFromNewFileOptions(*named), 1);

    // Styles already walking the "Customers" layer are passed over.
    level->EnsureDefaultLayers();
    AddCustomer(*level, Style("Bert"));
    EXPECT_EQ(level->NextRandomCustomerStyle(random), Style("Dora"));
    // Only Bert is left: in use or not, he is the one.
    EXPECT_EQ(level->NextRandomCustomerStyle(random), Style("Bert"));
    // Empty: rebuilt on demand.
    const int32_t next = level->NextRandomCustomerStyle(random);
    EXPECT_TRUE(next == Style("Dora") || next == Style("Bert"));
    EXPECT_EQ(level->GetCustomerStylePool().size(), 1u);

    // A period without customers gives no style at all.
    auto bare = NewLevel();
    bare->m_Period = GetPeriodList().Find("Quiet");
    EXPECT_EQ(bare->NextRandomCustomerStyle(random), -1);
}

TEST_F(LevelOptions, ALevelTravelsWholeThroughTextAndTheBinaryStream)
{
    auto level = NewLevel();
    level->m_DisplayName.SetText("Harbour Row");
    level->m_Comment = "windy";
    level->m_Customers = 7;
    level->m_Period = GetPeriodList().Find("Period 1");
    level->m_FirstCustomerWillOrder = Upgrade("Chalet");
    level->m_MustBuildAtGridCoordinate = {2, 1};
    level->m_IsTutorialLevel = true;
    level->m_BuildPhaseFrequency[2] = 0.35f;
    SetMaxInLine(*level, {2, 5});
    auto* goal = new CRevenueGoal;
    goal->m_Revenue = 42.0f;
    ArrayProperty(CLevelOptions::SGetClassInfo(), "Optional Goals List").ArrayProperty_SetCount(level.get(), 1);
    level->m_OptionalGoals[0] = goal;
    level->m_ForcedGameState = new CGameState;
    level->EnsureDefaultLayers();
    auto* house = new CSprite;
    house->SetPosition(12.0f, 34.0f);
    level->GetPlayfield().AddSprite(house, "Lot");
    level->m_SecondsPlayed = 12.5f;

    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
        const std::string text = ObjectToText(level.get(), ids);
        std::unique_ptr<CObject> read(ObjectFromText(text, ids, StreamReports::Fatal));
        ASSERT_NE(read, nullptr) << text;
        EXPECT_TRUE(read->IsEqualTo(level.get())) << text;
        EXPECT_EQ(ObjectToText(read.get(), ids), text);
    }

    // The unnamed state of a level in play travels only in the binary form.
    level->m_PendingRevenue = 3.25f;
    level->m_PlayStats = new CLevelPlayStats;
    level->m_PlayStats->m_SignMoved = 4;
    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
        CLevelOptions copy;
        ASSERT_TRUE(ObjectFromBinary(copy, ObjectToBinary(level.get(), ids), ids, StreamReports::Fatal));
        EXPECT_TRUE(copy.IsEqualTo(level.get()));
        EXPECT_EQ(copy.GetPlayfield().FindLayer("Lot")->GetSpriteCount(), 1u);
    }
    std::unique_ptr<CObject> clone(level->Clone());
    EXPECT_TRUE(clone->IsEqualTo(level.get()));
}

TEST_F(LevelOptions, LotsGoalsAndPlayerHistoryComeFromTheLotsGoalsAndProfiles)
{
    auto level = NewLevel();
    level->EnsureDefaultLayers();
    EXPECT_EQ(level->GetPlayfield().GetLayerCount(), 6u);
    // A lot takes its empty look when placed.
    WriteTga("Resources/Sequences/-Tile EmptyLot/0001.tga", 4, 4);
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    for (int i = 0; i < 3; ++i) {
        auto* sprite = new CSprite;
        auto* lot = new CLot;
        sprite->AddAI(lot);
        if (i == 1)
            lot->m_CustomerLivingHere = new CCustomer;
        level->GetPlayfield().AddSprite(sprite, "Lot");
    }
    level->GetPlayfield().AddSprite(new CSprite, "Lot"); // scenery is no lot
    EXPECT_EQ(level->CountEmptyLots(), 2);
    level->GetPlayfield().DeleteAllLayers();
    GetSequenceList().RemoveAll();
    GetSequenceList().SetSource(nullptr, "Nowhere", 0);
    EXPECT_FALSE(level->AnyOptionalGoalAccepts(Style("Anne")));
    EXPECT_EQ(level->GetRevenueGoalTarget(), 0.0f);
    CLevelAuxiliaryRecord& record = level->GetAuxiliaryRecord();
    EXPECT_EQ(&record, &level->GetAuxiliaryRecord());
    EXPECT_EQ(record.m_Words[4], 0u);
}

// A damaged count asks for no more customers than a level may have, so the
// orders dealt at level start stay within memory.
TEST_F(LevelOptions, ACustomerCountPastTheLimitReadsAsTheLimit)
{
    SetCrewParts({{Upgrade("Porch")}, {Upgrade("Cabin")}, {}});
    auto level = NewLevel();
    level->m_Customers = 7;
    const std::string text = ObjectToText(level.get(), IdMode::WithoutIds);
    const size_t at = text.find("Customers=7");
    ASSERT_NE(at, std::string::npos) << text;
    for (const char* count : {"4294967296000", "-1", "1001"}) {
        std::string damaged = text;
        damaged.replace(at, 11, std::string("Customers=") + count);
        std::unique_ptr<CObject> read(ObjectFromText(damaged, IdMode::WithoutIds, StreamReports::Fatal));
        auto* options = dynamic_cast<CLevelOptions*>(read.get());
        ASSERT_NE(options, nullptr) << damaged;
        EXPECT_EQ(options->m_Customers, kMaxLevelCustomers) << count;
        CRandomGenerator random;
        random.Seed(1);
        options->GenerateFutureOrders(random);
        EXPECT_EQ(options->m_FutureOrders.GetCount(), kMaxLevelCustomers) << count;
    }
}

} // namespace
