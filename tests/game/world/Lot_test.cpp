// Lots as a level plays them: the move-in and its refusals, revenue and the
// in-a-row runs, clicks with what the cursor holds, the deliverer, the
// messages a lot reacts to, and the lot layer that maps, clips and finds
// lots. Customers, crews, upgrade buttons and the three-in-a-row counter are
// the business's own; what the player hears and reads of a refusal is
// checked as the tones started and the message shown.
#include "blit/CColor.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CForeman.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CLotOptions.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/CScenery.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "objects/CFloatProperty.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "render/CPointPath.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CMouseState.h"
#include "sound/CSoundDevice.h"
#include "support/ScopedHooks.h"
#include "support/objects/ObjectRoundTrip.h"
#include "../business/LevelTones.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The customers' style "Shopper" says "Sorry" when it cannot move in,
// "Wrong" at a house it did not order and "Moved" when it moves in; the
// porch rustles when poked; the walls hammer while they go up.
const std::vector<std::string> kTones = {"Sorry", "Wrong", "Moved", "Rustle", "Hammer"};
// A customer's hearts run down from its style's 90-second wait at "Seconds
// Per Hearts" (10 by default).
constexpr float kMaximumWait = 90.0f;
constexpr float kSecondsPerHeart = 10.0f;
// Each refusal's text is its own id.
const char* const kRefusals[] = {"CantMoveInUnfinished", "CantMoveInUnpaintedGeneric", "CantMoveInMissingPart",
                                 "CantMoveInOccupied",   "CantBuildHereOccupied",      "CantBuildHereWorking",
                                 "NoBulldozerEmptyLot"};

// The achievements above the game, as the lots report to them.
class CRecordingAchievements final : public CGameScreensHooks {
public:
    void ReportInARowRuns(int32_t runs) override { reportedRuns = runs; }
    int32_t reportedRuns = -1;
};

template <typename T>
void SetArray(CObject& owner, const char* key, CPropertyArray<T>& array, const std::vector<T>& values)
{
    auto* property = static_cast<CPropertyArrayProperty*>(owner.GetClassInfo()->FindProperty(key));
    ASSERT_NE(property, nullptr) << key;
    property->ArrayProperty_SetCount(&owner, uint32_t(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        array[uint32_t(i)] = values[i];
}

void SetParts(CBuildablePackage& package, const std::vector<int32_t>& parts)
{
    SetArray(package, "Parts List", package.m_Parts, parts);
}

// Notes every message its sprite (or layer) hears, into the shared log.
class CNotingAI : public CSpriteAI {
public:
    explicit CNotingAI(std::vector<std::string>& log, const char* prefix)
        : m_Log(log)
        , m_Prefix(prefix)
    {
    }
    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
    void HandleMessage(CMessage& message) override
    {
        m_Log.push_back(m_Prefix + GetMessageTypeName(message.GetType()));
        if (auto* mouse = dynamic_cast<CPlayfieldMouseMessage*>(&message))
            lastPoint = mouse->GetPosition();
        CSpriteAI::HandleMessage(message);
    }
    CPoint lastPoint{0, 0};

private:
    std::vector<std::string>& m_Log;
    std::string m_Prefix;
};

// A goal that notes what the level passes on: the lot messages, the
// in-a-row counts and the revenue pending when the move-in arrives.
class CNotingGoal : public CGoal {
public:
    void Draw(CGoalLayout&) override {}
    void HandleMessage(CMessage& message) override
    {
        if (message.GetType() == CCustomerMovedInMessage::SGetType()) {
            movedIn.push_back(GetMessageLot(message));
            pendingAtMoveIn = CLevelOptions::SGetCurrent()->m_PendingRevenue;
        } else if (message.GetType() == CXInARowCheckMessage::SGetType()) {
            checks.push_back(static_cast<CXInARowCheckMessage&>(message).m_Counts);
        }
    }
    std::vector<CLot*> movedIn;
    std::vector<std::vector<int32_t>> checks;
    float pendingAtMoveIn = -1.0f;
};

class Lots : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (const char* name : {"Tile EmptyLot", "Poke Cursor", "Built A", "Lived A", "Lived B", "Vacant A", "Puff"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 40, 40);
        WriteTga("Resources/Sequences/-Porch/0001.tga", 40, 40);
        WriteBytes("Resources/Sequences/-Porch/Properties.txt",
                   SequenceProperties("Dynamic Properties=1\n{\n\tPoke Audio=Rustle\n}"));
        ASSERT_NO_FATAL_FAILURE(m_Tones.Load("Lot Sounds", kTones));
        m_Tones.Play();
        WriteBytes("Resources/Rules.Object.txt", BareObjectText("CRules", ""));
        WriteBytes("Resources/Lot Options.Object.txt",
                   BareObjectText("CLotOptions", "Move In Effect Sequence=Puff\r\nPremium Bonus=0.2\r\n"));
        WriteBytes("Resources/Customer Options.Object.txt", BareObjectText("CCustomerOptions", ""));
        // Each bonus a second, so the seconds left count the bonuses.
        WriteBytes("Resources/Three In A Row Options.Object.txt",
                   BareObjectText("CThreeInARowCounterOptions", "Seconds Bonus Lasts=1\r\nMaximum Bonus Time=100\r\n"));
        std::string messages;
        for (const char* id : kRefusals)
            messages += "Message=CIllegalMoveMessage\r\n{\r\nMessage ID=" + std::string(id) + "\r\nMessage="
                + std::string(id) + "\r\n}\r\n";
        WriteBytes("Resources/Illegal Move Options.Object.txt",
                   BareObjectText("CIllegalMoveMessageOptions", "Message List=Array\r\n{\r\n" + messages + "}\r\n"));
        WriteBytes("Resources/Town.Background.txt", BareObjectText("CBackgroundStyleSheet", ""));
        WriteBytes("Resources/Customers/!None.Customer.txt", BareObjectText("CCustomerStyleSheet", ""));
        WriteBytes("Resources/Customers/Shopper.Customer.txt",
                   BareObjectText("CCustomerStyleSheet",
                                  "Cant Move In Audio=Sorry\r\nNot What I Ordered Audio=Wrong\r\n"
                                  "Moved In Audio=Moved\r\n"));
        WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Deliverer.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Walls.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        // Five phases: the in-a-row counts follow the phases, not a fixed four.
        for (const char* phase : {"Frame", "Garage", "Add On", "Fence", "Pool"})
            WriteBytes("Resources/Phases/" + std::string(phase) + ".BuildPhase.txt",
                       BareObjectText("CBuildPhase", "Name=" + std::string(phase) + "\r\n"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", BareObjectText("CUpgrade", "Upgrade Cost=0\r\n"));
        WriteBytes("Resources/Upgrades/Walls.Upgrade.txt",
                   BareObjectText("CBuildablePart",
                                  "Build Phase=Frame\r\nResale Value=6\r\nUpgrade Slot=Walls\r\n"
                                  "Start Building Sound Index=Hammer\r\n"));
        WriteBytes("Resources/Upgrades/Carport.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Build Phase=Garage\r\nResale Value=4\r\n"));
        WriteBytes("Resources/Upgrades/Pool.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Build Phase=Pool\r\nResale Value=1\r\n"));
        WriteBytes("Resources/Upgrades/Porch.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Build Phase=Add On\r\nAppearance=Porch\r\n"));
        WriteBytes("Resources/Upgrades/Courier.Upgrade.txt",
                   BareObjectText("CDelivererUpgrade", "Upgrade Slot=Deliverer\r\nHeart Bonus=1.5\r\n"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Resources", 0);
        m_Walls = GetUpgradeList().Find("Walls");
        m_Carport = GetUpgradeList().Find("Carport");
        m_Pool = GetUpgradeList().Find("Pool");
        m_Porch = GetUpgradeList().Find("Porch");
        ASSERT_GT(m_Walls, 0);
        ASSERT_GT(m_Pool, 0);
        ASSERT_GT(m_Porch, 0);
        m_Shopper = GetCustomerStyleSheetList().Find("Shopper");
        ASSERT_GT(m_Shopper, 0);

        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        level.m_Background = GetBackgroundStyleSheetList().Find("Town");
        GetLevelHolder().HoldCopyOf(&level);
        m_Level = CLevelOptions::SGetCurrent();
        ASSERT_NE(m_Level, nullptr);
        m_Layer = GetLotLayer();
        ASSERT_NE(m_Layer, nullptr) << "the default \"Lot\" layer is a lot layer";
        m_Goal = new CNotingGoal;
        auto* goals = static_cast<CPropertyArrayProperty*>(m_Level->GetClassInfo()->FindProperty("Optional Goals List"));
        goals->ArrayProperty_SetCount(m_Level, 1);
        delete m_Level->m_OptionalGoals[0];
        m_Level->m_OptionalGoals[0] = m_Goal;

        m_State = CGameState::SGetCurrent();
        m_RevenueBefore = m_State->m_RevenueK;
        m_MovedInBefore = m_State->GetMovedInCount();
        m_EarlyBefore = m_State->GetEarlyMoveInBonusTotal();
        CRules& rules = CRules::SGetInstance();
        SetArray(rules, "Movein Bonus By Hearts List", rules.m_MoveinBonusByHearts, {0.0f, 0.1f, 0.2f, 0.25f});
        SetArray(rules, "Move In Bonus By 3 In ARows List", rules.m_MoveInBonusBy3InARows, {0.1f, 0.3f});
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        ClearDraggedSprite();
        GetIllegalMoveDisplay() = CIllegalMoveDisplay();
        m_State->RemoveUpgrade(GetUpgradeList().Find("Courier"));
        m_State->RemoveUpgrade(m_Walls);
        CMouseState::SGetInstance().ResetForTesting();
        m_Tones.Release();
        m_State->m_RevenueK = m_RevenueBefore;
        for (CObjectFileArray* list : Lists()) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        SequenceFolderTest::TearDown();
    }
    static std::vector<CObjectFileArray*> Lists()
    {
        return {&GetUpgradeSlotList(), &GetBuildPhaseList(), &GetUpgradeList(), &GetBackgroundStyleSheetList(),
                &GetCustomerStyleSheetList()};
    }

    CLot* AddLot(CPoint grid, std::vector<int32_t> parts = {})
    {
        auto* sprite = new CSprite;
        auto* lot = new CLot;
        sprite->AddAI(lot);
        lot->m_GridCoordinate = grid;
        sprite->SetPosition(float(100 + 200 * int64_t(grid.x)), float(100 + 200 * int64_t(grid.y)));
        if (!parts.empty())
            SetParts(*lot->GetBuilding(), parts);
        m_Level->GetPlayfield().AddSprite(sprite, "Lot");
        return lot;
    }
    // A "Shopper" with the hearts left and an order of these parts.
    CCustomer* NewCustomer(float hearts, const std::vector<int32_t>& order) const
    {
        auto* customer = new CCustomer;
        customer->m_CustomerStyleSheet = m_Shopper;
        customer->m_TimeWaited = kMaximumWait - hearts * kSecondsPerHeart;
        customer->m_PackageWanted = new CBuildablePackage;
        SetParts(*customer->m_PackageWanted, order);
        return customer;
    }
    // The same, waiting on the "Customers" layer.
    CCustomer* AddCustomer(float hearts, const std::vector<int32_t>& order)
    {
        CCustomer* customer = NewCustomer(hearts, order);
        auto* sprite = new CSprite;
        sprite->AddAI(customer);
        m_Level->GetPlayfield().AddSprite(sprite, "Customers");
        return customer;
    }
    // A lived-in neighbour with these parts.
    CLot* AddHome(CPoint grid, const std::vector<int32_t>& parts)
    {
        CLot* lot = AddLot(grid, parts);
        lot->m_CustomerLivingHere = NewCustomer(3.0f, parts);
        return lot;
    }
    // The five phases' parts with the part in its phase.
    static std::vector<int32_t> InPhase(std::vector<std::pair<const char*, int32_t>> parts)
    {
        std::vector<int32_t> byPhase(size_t(GetBuildPhaseList().GetCount()), 0);
        for (const auto& [phase, part] : parts)
            byPhase[size_t(FindBuildPhase(phase))] = part;
        return byPhase;
    }
    // The walls' button on the "UI" layer (the game state holds the walls),
    // and an idle frame crew on the "Crew" layer for each build it is to take.
    CSprite* AddWallsButton(int crews)
    {
        m_State->ReceiveUpgrade(m_Walls);
        auto* button = new CUpgradeButton;
        button->m_UpgradeSlot = GetUpgradeSlotList().Find("Walls");
        auto* sprite = new CSprite;
        sprite->AddAI(button);
        m_Level->GetPlayfield().AddSprite(sprite, "UI");
        for (int i = 0; i < crews; ++i) {
            auto* crew = new CSprite;
            crew->AddAI(CreateCrewAI(FindBuildPhase("Frame")));
            m_Level->GetPlayfield().AddSprite(crew, "Crew");
        }
        return sprite;
    }
    // What the player hears and reads of a refusal, since the last call: the
    // tones started, then the message shown.
    std::vector<std::string> Told()
    {
        std::vector<std::string> told = m_Tones.Played();
        m_Tones.NextStep();
        CIllegalMoveDisplay& display = GetIllegalMoveDisplay();
        if (display.GetSecondsShown() >= 0.0f)
            told.push_back(display.GetText().GetString());
        display = CIllegalMoveDisplay();
        return told;
    }
    uint32_t Highlighted() const
    {
        uint32_t n = 0;
        for (uint32_t i = 0; i < m_Layer->GetSpriteCount(); ++i)
            if (CLot* lot = CLot::SFromSprite(m_Layer->GetSprite(i)))
                n += lot->GetBuilding()->m_HighlightActive ? 1 : 0;
        return n;
    }
    float Revenue() const { return m_State->m_RevenueK - m_RevenueBefore; }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }

    CLevelTones m_Tones;
    CRecordingAchievements m_Achievements;
    CScopedHook<SetGameScreensHooks> m_AchievementsInstalled{&m_Achievements};
    CLevelOptions* m_Level = nullptr;
    CLotPlayfieldLayer* m_Layer = nullptr;
    CNotingGoal* m_Goal = nullptr;
    CGameState* m_State = nullptr;
    float m_RevenueBefore = 0.0f;
    uint32_t m_MovedInBefore = 0;
    float m_EarlyBefore = 0.0f;
    int32_t m_Walls = 0;
    int32_t m_Carport = 0;
    int32_t m_Pool = 0;
    int32_t m_Porch = 0;
    int32_t m_Shopper = 0;
};

TEST_F(Lots, EachRefusedMoveInTurnsTheCustomerAwayWithItsMessageAndCounter)
{
    const std::vector<int32_t> walls = InPhase({{"Frame", m_Walls}});
    CLot* lot = AddLot({0, 0}, walls);
    std::unique_ptr<CCustomer> customer(NewCustomer(3.0f, walls));

    lot->GetBuilding()->m_BeingConstructed = 1;
    lot->MoveIn(customer.get(), true);
    EXPECT_EQ(Told(), (std::vector<std::string>{"Sorry", "CantMoveInUnfinished"}));
    EXPECT_EQ(Stats().m_UnfinishedCantMoveIn, 1u);
    EXPECT_EQ(Stats().m_DraggedCustomerIn, 1u);

    lot->GetBuilding()->m_BeingConstructed = 0;
    SetArray(*lot->GetBuilding(), "Unpainted Parts List", lot->GetBuilding()->m_UnpaintedParts, {m_Walls});
    lot->MoveIn(customer.get(), false);
    EXPECT_EQ(Told(), (std::vector<std::string>{"Sorry", "CantMoveInUnpaintedGeneric"}));
    EXPECT_EQ(Stats().m_UnfinishedCantMoveIn, 2u);
    EXPECT_EQ(Stats().m_ClickedCustomerIn, 1u);

    SetArray(*lot->GetBuilding(), "Unpainted Parts List", lot->GetBuilding()->m_UnpaintedParts, {});
    // An order with a garage the house lacks: the house says what is missing.
    std::unique_ptr<CCustomer> wrong(NewCustomer(3.0f, InPhase({{"Frame", m_Walls}, {"Garage", m_Carport}})));
    EXPECT_FALSE(lot->CanHouse(wrong.get()));
    lot->MoveIn(wrong.get(), false);
    EXPECT_EQ(Told(), (std::vector<std::string>{"Wrong", "CantMoveInMissingPart"}));
    EXPECT_EQ(Stats().m_WrongOrderCantMoveIn, 1u);

    lot->m_CustomerLivingHere = NewCustomer(1.0f, walls);
    EXPECT_FALSE(lot->CanHouse(customer.get()));
    lot->MoveIn(customer.get(), false);
    EXPECT_EQ(Told(), (std::vector<std::string>{"Sorry", "CantMoveInOccupied"}));
    EXPECT_EQ(Stats().m_OccupiedCantMoveIn, 1u);

    EXPECT_EQ(Revenue(), 0.0f);
    EXPECT_TRUE(m_Goal->movedIn.empty());
    EXPECT_EQ(m_State->GetMovedInCount(), m_MovedInBefore);
}

TEST_F(Lots, AMoveInRecordsSendsRevealsThenEarnsWithTheScenicAndHeartBonusesAndTellsTheLevelLast)
{
    CBackgroundStyleSheet& sheet = *GetCurrentBackgroundStyleSheet();
    const int32_t lived = GetSequenceList().Find("Lived A");
    SetArray(sheet, "LivedIn Images List", sheet.m_LivedInImages, {lived});

    CLot* lot = AddLot({0, 0}, {m_Walls, m_Carport});
    lot->m_IsScenicLot = true;
    std::vector<std::string> heard;
    lot->GetSprite()->AddAI(new CNotingAI(heard, "lot:"));
    auto* bystander = new CSprite;
    bystander->AddAI(new CNotingAI(heard, "ui:"));
    m_Level->GetPlayfield().AddSprite(bystander, "UI");
    // Scenery hidden on the lot shows again; one beside the lot stays hidden.
    auto* tree = new CSprite;
    tree->SetPosition(110.0f, 110.0f);
    tree->SetVisible(false);
    m_Layer->AddSprite(tree);
    auto* far = new CSprite;
    far->SetPosition(400.0f, 400.0f);
    far->SetVisible(false);
    m_Layer->AddSprite(far);

    std::unique_ptr<CCustomer> customer(NewCustomer(3.0f, {m_Walls, m_Carport}));
    const auto effects = [this] {
        uint32_t n = 0;
        for (uint32_t i = 0; i < m_Layer->GetSpriteCount(); ++i)
            n += m_Layer->GetSprite(i)->FindAI(CPlayAnimationOnceSpriteAI::SGetClassInfo()) != nullptr;
        return n;
    };
    ASSERT_TRUE(lot->CanHouse(customer.get()));
    lot->MoveIn(customer.get(), true);

    // The customer poses with its moved-in sound and will walk home to the lot.
    EXPECT_EQ(customer->GetState(), CCustomer::kInVictoryPose);
    EXPECT_EQ(Told(), (std::vector<std::string>{"Moved"}));
    EXPECT_EQ(customer->GetHomeColumn(), 0);
    EXPECT_EQ(customer->GetHomeRow(), 0);
    // The playfield broadcast reaches the top layer first.
    EXPECT_EQ(heard, (std::vector<std::string>{"ui:Customer Moved In", "lot:Customer Moved In",
                                               "lot:Customer Moved In Here", "lot:MoveInStarted"}));
    EXPECT_EQ(m_State->GetMovedInCount(), m_MovedInBefore + 1);
    EXPECT_EQ(lot->m_BackgroundSequence, lived);
    EXPECT_TRUE(tree->IsVisible());
    EXPECT_FALSE(far->IsVisible());
    EXPECT_EQ(effects(), 1u) << "the move-in effect";
    EXPECT_EQ(customer->GetDestination().x, 100.0f);

    // The resident is the lot's own copy.
    ASSERT_NE(lot->GetResident(), nullptr);
    EXPECT_NE(lot->GetResident(), customer.get());
    ASSERT_NE(lot->GetResidentCustomer(), nullptr);
    EXPECT_EQ(lot->GetResidentCustomer()->GetHeartsLeft(), 3.0f);

    // V = 6 + 4 = 10, scenic: 12; three hearts: E = 0.25 x 12 = 3; no run.
    EXPECT_FLOAT_EQ(Revenue(), 15.0f);
    EXPECT_FLOAT_EQ(m_Level->m_PendingRevenue, 15.0f);
    EXPECT_FLOAT_EQ(m_State->GetEarlyMoveInBonusTotal() - m_EarlyBefore, 3.0f);
    EXPECT_EQ(m_State->GetHeartsSamples()[m_State->GetHeartsSamples().GetCount() - 1], 3.0f);
    EXPECT_EQ(m_State->GetFrameSamples()[m_State->GetFrameSamples().GetCount() - 1], 6.0f);
    EXPECT_EQ(m_State->GetGarageSamples()[m_State->GetGarageSamples().GetCount() - 1], 4.0f);
    EXPECT_EQ(m_State->GetAddOnSamples().GetCount(), m_State->GetFrameSamples().GetCount())
        << "a missing add-on is sampled as 0";

    ASSERT_EQ(m_Goal->movedIn, (std::vector<CLot*>{lot}));
    EXPECT_FLOAT_EQ(m_Goal->pendingAtMoveIn, 15.0f) << "the level hears of the move-in after the revenue";
    EXPECT_EQ(m_Goal->checks.size(), 8u) << "four directions for each of the two parts";
    EXPECT_EQ(m_Achievements.reportedRuns, 0);
}

TEST_F(Lots, AHouseWithoutAGarageSamplesAZeroGarageSoTheAveragesHoldTrue)
{
    m_State->ResetForLevel();
    const std::vector<int32_t> withCarport = InPhase({{"Frame", m_Walls}, {"Garage", m_Carport}});
    const std::vector<int32_t> wallsOnly = InPhase({{"Frame", m_Walls}});
    std::unique_ptr<CCustomer> first(NewCustomer(3.0f, withCarport));
    std::unique_ptr<CCustomer> second(NewCustomer(3.0f, wallsOnly));
    AddLot({0, 0}, withCarport)->MoveIn(first.get(), true);
    AddLot({3, 3}, wallsOnly)->MoveIn(second.get(), true);

    ASSERT_EQ(m_State->GetGarageSamples().GetCount(), 2u);
    EXPECT_EQ(m_State->GetGarageSamples()[1], 0.0f);
    EXPECT_FLOAT_EQ(m_State->GetAverageGarageValue(), 2.0f);
    EXPECT_FLOAT_EQ(m_State->GetAverageBuildingValue(), 8.0f) << "walls 6, carport 4 on one house in two";
}

TEST_F(Lots, RunsCountEachDirectionUnderTheRulesSwitchesAndPayFromTheBonusList)
{
    // The middle of three: one run from -d/+d.
    AddHome({0, 0}, {m_Walls});
    CLot* middle = AddLot({1, 0}, {m_Walls});
    AddHome({2, 0}, {m_Walls});
    CThreeInARowCounter counter;
    CXInARowCheckMessage check(middle);
    EXPECT_FLOAT_EQ(middle->CheckInARow(check), 0.1f);
    EXPECT_EQ(m_Achievements.reportedRuns, 1);
    EXPECT_EQ(counter.m_SecondsBonusLeft, 1.0f) << "one bonus for the run";
    EXPECT_EQ(Highlighted(), 3u) << "the run's three houses light up";
    ASSERT_EQ(m_Goal->checks.size(), 4u) << "one check per direction for the one part";
    EXPECT_EQ(m_Goal->checks[0].size(), 5u) << "one count per build phase";
    EXPECT_EQ(m_Goal->checks[0][0], 3);
    EXPECT_EQ(m_Goal->checks[1][0], 1);
    for (const std::vector<int32_t>& counts : m_Goal->checks)
        EXPECT_EQ(std::count(counts.begin(), counts.end(), 0), 4) << "each count is cleared after it is read";

    // The end of four: the fourth adds to the count, not to the runs.
    AddHome({0, 5}, {m_Walls});
    AddHome({1, 5}, {m_Walls});
    AddHome({2, 5}, {m_Walls});
    CLot* end = AddLot({3, 5}, {m_Walls});
    m_Goal->checks.clear();
    CXInARowCheckMessage row(end);
    EXPECT_FLOAT_EQ(end->CheckInARow(row), 0.1f);
    EXPECT_EQ(m_Goal->checks[0][0], 4);
    EXPECT_EQ(m_Achievements.reportedRuns, 1);

    // A diagonal run, then the switch that ignores it.
    const int32_t pool = GetBuildPhaseList().Find("Pool");
    std::vector<int32_t> poolOnly(5, 0);
    poolOnly[size_t(pool)] = m_Pool;
    CLot* corner = AddLot({3, 3}, poolOnly);
    AddHome({2, 2}, poolOnly);
    AddHome({1, 1}, poolOnly);
    m_Goal->checks.clear();
    CXInARowCheckMessage diagonal(corner);
    EXPECT_FLOAT_EQ(corner->CheckInARow(diagonal), 0.1f);
    ASSERT_EQ(m_Goal->checks.size(), 4u);
    EXPECT_EQ(m_Goal->checks[1][size_t(pool)], 3) << "a part of the fifth phase";
    CRules::SGetInstance().m_DisableDiagonalMatches = true;
    CXInARowCheckMessage ignored(corner);
    EXPECT_FLOAT_EQ(corner->CheckInARow(ignored), 0.0f);
    CRules::SGetInstance().m_DisableDiagonalMatches = false;

    // Vertical runs of two parts at once: more runs than the list holds
    // take its last entry; the vertical switch drops them.
    CLot* top = AddLot({6, 0}, {m_Walls, m_Carport});
    AddHome({6, 1}, {m_Walls, m_Carport});
    AddHome({6, 2}, {m_Walls, m_Carport});
    CXInARowCheckMessage column(top);
    EXPECT_FLOAT_EQ(top->CheckInARow(column), 0.3f) << "two runs";
    CLot* bottom = AddLot({6, 3}, {m_Walls, m_Carport});
    AddHome({6, 4}, {m_Walls, m_Carport});
    top->m_CustomerLivingHere = NewCustomer(3.0f, {});
    CXInARowCheckMessage longer(bottom);
    EXPECT_EQ(bottom->CheckInARow(longer), 0.3f) << "four runs take the last of two entries";
    EXPECT_EQ(m_Achievements.reportedRuns, 4);
    CRules::SGetInstance().m_DisableVerticalMatches = true;
    CXInARowCheckMessage flat(bottom);
    EXPECT_EQ(bottom->CheckInARow(flat), 0.0f);
    CRules::SGetInstance().m_DisableVerticalMatches = false;

    // The run's bonus joins the revenue: V = 6, E = 0.25 x 6, B = 0.1.
    std::unique_ptr<CCustomer> customer(NewCustomer(3.0f, {m_Walls}));
    end->MoveIn(customer.get(), false);
    EXPECT_FLOAT_EQ(Revenue(), 6.0f + 1.5f + 0.6f);
}

TEST_F(Lots, ClicksMoveInTheHeldCustomerBuildWithTheHeldButtonOrRefuseAnOccupiedLot)
{
    CBackgroundStyleSheet& sheet = *GetCurrentBackgroundStyleSheet();
    CLot* lot = AddLot({0, 0});
    const int32_t empty = lot->m_BackgroundSequence;
    EXPECT_EQ(empty, GetSequenceList().Find("Tile EmptyLot"));
    EXPECT_FALSE(lot->GetBuilding()->HasParts());

    // A button builds on a vacant lot (a frame crew takes the job); an
    // empty construction list gives 0.
    CSprite* button = AddWallsButton(2);
    SetDraggedSprite(button, {0.0f, 0.0f});
    EXPECT_TRUE(lot->OnClicked(true));
    EXPECT_EQ(Stats().m_DraggedUpgradeIn, 1u);
    EXPECT_EQ(lot->m_BackgroundSequence, 0);
    EXPECT_EQ(GetDraggedSprite(), nullptr) << "taken from the cursor";
    EXPECT_EQ(lot->GetBuilding()->m_BeingConstructed, m_Walls);

    const int32_t built = GetSequenceList().Find("Built A");
    SetArray(sheet, "Construction Images List", sheet.m_ConstructionImages, {built});
    lot->GetBuilding()->ResetToDefaults();
    SetDraggedSprite(button, {0.0f, 0.0f});
    EXPECT_TRUE(lot->OnClicked(false));
    EXPECT_EQ(Stats().m_ClickedUpgradeIn, 1u);
    EXPECT_EQ(lot->m_BackgroundSequence, built);

    // The customer on the cursor is taken, and moves in once the walls stand.
    lot->GetBuilding()->FinishBuilding();
    CCustomer* customer = AddCustomer(2.0f, InPhase({{"Frame", m_Walls}}));
    SetDraggedSprite(customer->GetSprite(), {0.0f, 0.0f});
    EXPECT_TRUE(lot->OnClicked(false));
    EXPECT_FALSE(lot->IsVacant());
    EXPECT_EQ(GetDraggedSprite(), nullptr) << "taken from the cursor";
    Told();

    SetDraggedSprite(button, {0.0f, 0.0f});
    EXPECT_FALSE(lot->OnClicked(false));
    EXPECT_EQ(Told(), (std::vector<std::string>{"CantBuildHereOccupied"}));
}

TEST_F(Lots, ALotForgetsItsForemanAndTheDelivererBringsAnIdleCustomerWithItsHeartBonus)
{
    CLot* lot = AddLot({0, 0}, {m_Walls});
    CForeman foreman;
    lot->SetForeman(&foreman);
    lot->SetForeman(nullptr);
    EXPECT_EQ(lot->GetForeman(), nullptr);

    CCustomer* busy = AddCustomer(1.0f, {m_Walls});
    busy->m_CustomerState = CCustomer::kInVictoryPose;
    AddCustomer(1.0f, {m_Carport});
    CCustomer* right = AddCustomer(1.0f, {m_Walls});

    EXPECT_FALSE(lot->TryDeliverCustomer()) << "no deliverer in its slot";
    CMessage decided = CMessage::CMessageByName("CustomerDecided");
    lot->HandleMessage(decided);
    EXPECT_FALSE(decided.IsHandled());

    m_State->ReceiveUpgrade(GetUpgradeList().Find("Courier"));
    lot->HandleMessage(decided);
    EXPECT_TRUE(decided.IsHandled());
    EXPECT_FLOAT_EQ(right->GetHeartsLeft(), 2.5f);
    EXPECT_EQ(busy->GetHeartsLeft(), 1.0f);
    ASSERT_FALSE(lot->IsVacant());
    EXPECT_EQ(right->GetState(), CCustomer::kInVictoryPose) << "the right one moves in";
    EXPECT_EQ(foreman.m_ForemanState, CForeman::kIdle) << "a foreman that is gone hears of nothing";
    EXPECT_FALSE(lot->TryDeliverCustomer()) << "the lot is taken";
    m_State->RemoveUpgrade(GetUpgradeList().Find("Courier"));

    // The slot list read again with a slot before "Deliverer": the lots find
    // the deliverer in its new place.
    WriteBytes("Resources/Slots/Attic.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
                                   static_cast<CObjectFileArray*>(&GetUpgradeList())}) {
        list->RemoveAll();
        list->SetSource(nullptr, "Resources", 0);
    }
    ASSERT_EQ(GetUpgradeSlotList().Find("Deliverer"), 2);
    m_State->ReceiveUpgrade(GetUpgradeList().Find("Courier"));
    CLot* another = AddLot({1, 0}, {m_Walls});
    CCustomer* next = AddCustomer(1.0f, {m_Walls});
    CMessage again = CMessage::CMessageByName("CustomerDecided");
    another->HandleMessage(again);
    EXPECT_TRUE(again.IsHandled());
    EXPECT_EQ(next->GetState(), CCustomer::kInVictoryPose);
}

TEST_F(Lots, TheEndOfPlayBulldozesUnfinishedBuildingsAndHidesVacantLots)
{
    CBackgroundStyleSheet& sheet = *GetCurrentBackgroundStyleSheet();
    CLot* unfinished = AddLot({0, 0}, {m_Walls});
    unfinished->GetBuilding()->m_BeingConstructed = 1;
    CLot* home = AddHome({1, 0}, {m_Walls});
    std::vector<std::string> heard;
    unfinished->GetSprite()->AddAI(new CNotingAI(heard, "lot:"));

    CMessage done = CMessage::CMessageByName("PlayerInteractionComplete");
    m_Level->GetPlayfield().BroadcastMessage(done);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "lot:BulldozerUsed"), 1);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "lot:Building Destroyed"), 1);
    EXPECT_FALSE(unfinished->GetSprite()->IsVisible());
    EXPECT_TRUE(home->GetSprite()->IsVisible());

    // The bulldozer clears a vacant building; an empty lot is refused.
    unfinished->GetBuilding()->m_BeingConstructed = 0;
    CMessage remove = CMessage::CMessageByName("RemoveBuilding");
    const int32_t vacant = GetSequenceList().Find("Vacant A");
    SetArray(sheet, "Vacant Images List", sheet.m_VacantImages, {vacant});
    unfinished->HandleMessage(remove);
    EXPECT_FALSE(unfinished->GetBuilding()->HasParts());
    EXPECT_EQ(unfinished->m_BackgroundSequence, vacant);
    unfinished->Bulldoze();
    EXPECT_EQ(Told(), (std::vector<std::string>{"NoBulldozerEmptyLot"}));

    // A pause silences the sound of a building going up.
    CLot* site = AddLot({2, 0});
    site->GetBuilding()->StartBuilding(*GetBuildablePart(m_Walls), m_Walls, site->GetSprite());
    ASSERT_NE(site->GetBuilding()->GetBuildingSound(), nullptr);
    CMessage paused = CMessage::CMessageByName("GamePaused");
    site->HandleMessage(paused);
    home->HandleMessage(paused);
    EXPECT_EQ(site->GetBuilding()->GetBuildingSound()->GetVolume(), -10000);
}

TEST_F(Lots, APressThenAQuickReleaseIsAClickNotADrop)
{
    CLot* lot = AddLot({0, 0});
    CSprite* button = AddWallsButton(2);
    SetDraggedSprite(button, {0.0f, 0.0f});

    // The press lands on the lot (inside its polygon) and builds.
    CPlayfieldMouseMessage down = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {100, 100});
    m_Level->GetPlayfield().BroadcastMessage(down);
    EXPECT_TRUE(down.IsHandled());
    EXPECT_EQ(Stats().m_ClickedUpgradeIn, 1u);

    SetDraggedSprite(button, {0.0f, 0.0f}); // picked up again
    CPlayfieldMouseMessage up = CPlayfieldMouseMessage::MouseUp(0, kLeftMouseButton, {100, 100});
    m_Level->GetPlayfield().BroadcastMessage(up);
    EXPECT_FALSE(up.IsHandled()) << "released within 0.15 s of the press";
    lot->m_SecondsWaitingForMouseUp = 0.0f;
    CPlayfieldMouseMessage later = CPlayfieldMouseMessage::MouseUp(0, kLeftMouseButton, {100, 100});
    m_Level->GetPlayfield().BroadcastMessage(later);
    EXPECT_EQ(Stats().m_DraggedUpgradeIn, 1u);

    // Outside the polygon nothing is taken.
    SetDraggedSprite(button, {0.0f, 0.0f});
    CPlayfieldMouseMessage beside = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {100 + 130, 100 + 70});
    m_Level->GetPlayfield().BroadcastMessage(beside);
    EXPECT_FALSE(beside.IsHandled());
    ClearDraggedSprite();
}

TEST_F(Lots, APressOnTheAddOnPokesItOnceUntilItsSwellEndsAndHoveringShowsThePokeCursor)
{
    CLot* lot = AddLot({0, 0}, InPhase({{"Add On", m_Porch}}));
    ASSERT_GT(GetPokeAudio(lot->GetBuilding()->GetAddOnAppearance()), 0);

    CPlayfieldMouseMessage first = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {100, 100});
    m_Level->GetPlayfield().BroadcastMessage(first);
    EXPECT_TRUE(first.IsHandled());
    EXPECT_EQ(Stats().m_PokeSoundsPlayed, 1u);
    EXPECT_GT(lot->m_PokeClock, 0.0f);
    CPlayfieldMouseMessage second = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {100, 100});
    m_Level->GetPlayfield().BroadcastMessage(second);
    EXPECT_FALSE(second.IsHandled()) << "still swelling";
    EXPECT_EQ(Stats().m_PokeSoundsPlayed, 1u);

    // The image, not the polygon, decides: a corner of the polygon misses it.
    lot->m_PokeClock = 0.0f;
    CPlayfieldMouseMessage corner = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {100 + 100, 100 - 40});
    m_Level->GetPlayfield().BroadcastMessage(corner);
    EXPECT_FALSE(corner.IsHandled());

    CPlayfieldMouseMessage over = CPlayfieldMouseMessage::MouseMoved(0, {105, 95}, {105, 95});
    m_Level->GetPlayfield().BroadcastMessage(over);
    EXPECT_TRUE(over.IsHandled());
    EXPECT_NE(CMouseState::SGetInstance().GetCursor(), nullptr);
    EXPECT_FALSE(lot->m_IsHovered) << "the poke cursor takes the hover's place";
}

TEST_F(Lots, TheLotLayerFindsTheFirstLotMapsPointsByTheLevelScaleAndRestoresThem)
{
    CLot* first = AddLot({2, 1});
    AddLot({2, 1});
    EXPECT_EQ(m_Layer->FindLot(2, 1), first);
    EXPECT_EQ(m_Layer->FindLot(1, 2), nullptr);

    m_Level->m_ScalePercent = 50.0f;
    EXPECT_EQ(m_Layer->ScreenToLayer({30.0f, 41.0f}).x, 60.0f);
    EXPECT_EQ(m_Layer->LayerToScreen({60.0f, 82.0f}).y, 41.0f);

    std::vector<std::string> heard;
    auto* noting = new CNotingAI(heard, "");
    first->GetSprite()->AddAI(noting);
    CPlayfieldMouseMessage moved = CPlayfieldMouseMessage::MouseMoved(0, {15, 21}, {3, 5});
    m_Layer->HandleMessage(moved);
    EXPECT_EQ(noting->lastPoint.x, 30);
    EXPECT_EQ(noting->lastPoint.y, 42);
    EXPECT_EQ(moved.GetPosition().x, 15);
    EXPECT_EQ(moved.GetSecondPoint().y, 5);
    CPlayfieldMouseMessage down = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, {7, 7});
    m_Layer->HandleMessage(down);
    EXPECT_EQ(noting->lastPoint.x, 14);
    EXPECT_EQ(down.GetPosition().x, 7);
}

TEST_F(Lots, TheLotLayerDrawsOnlyInsideTheGridRectangleAtTheLevelScale)
{
    CLotOptions& options = *CLotOptions::SGetInstance();
    options.m_LotGridDrawRectUpperLeft = {0, 0};
    options.m_LotGridDrawRectLowerRight = {100, 100};
    // A solid 40 x 40 ground centred on the lot at (100, 100).
    CLot* lot = AddLot({0, 0});
    lot->GetSprite()->SetImageSequence(uint32_t(lot->m_BackgroundSequence));
    CFrame target;
    target.Create(300, 300, 32);
    target.Clear();
    m_Layer->Draw(target);
    EXPECT_NE(target.GetRawPixel(90, 90), 0u);
    EXPECT_EQ(target.GetRawPixel(110, 110), 0u) << "outside the clip rectangle";

    m_Level->m_ScalePercent = 50.0f;
    options.m_LotGridDrawRectLowerRight = {300, 300};
    target.Clear();
    m_Layer->Draw(target);
    EXPECT_NE(target.GetRawPixel(50, 50), 0u);
    EXPECT_EQ(target.GetRawPixel(75, 75), 0u) << "the ground ends at half its place";

    // The editor's grid joins each lot to its right-hand neighbour.
    AddLot({1, 0});
    target.Clear();
    {
        CScopedHook<SetLotGridConnectionsQuery> hidden{[] { return false; }};
        m_Layer->DrawEditorGrid(target);
    }
    EXPECT_EQ(target.GetRawPixel(200, 100), 0u) << "only while the editor asks for it";
    CScopedHook<SetLotGridConnectionsQuery> shown{[] { return true; }};
    m_Layer->DrawEditorGrid(target);
    CColor colour;
    ASSERT_TRUE(target.GetPixel(200, 100, colour));
    EXPECT_EQ(colour.GetRed(), 50);
    EXPECT_EQ(colour.GetGreen(), 255);

    // Damaged corners at the ends of the range clip to the whole canvas.
    options.m_LotGridDrawRectUpperLeft = {INT32_MIN, -1};
    options.m_LotGridDrawRectLowerRight = {INT32_MAX, INT32_MAX};
    m_Level->m_ScalePercent = 100.0f;
    target.Clear();
    m_Layer->Draw(target);
    EXPECT_NE(target.GetRawPixel(90, 90), 0u);
}

// Lots whose file gave them coordinates at the ends of the range: their
// neighbours and runs are looked for without stepping past it.
TEST_F(Lots, LotsAtTheEndsOfTheCoordinateRangeFindNoNeighboursPastThem)
{
    CLot* high = AddLot({INT32_MAX, INT32_MAX}, {m_Walls});
    CLot* low = AddLot({INT32_MIN, INT32_MIN}, {m_Walls});
    AddHome({INT32_MAX - 1, INT32_MAX}, {m_Walls});
    AddHome({INT32_MIN + 1, INT32_MIN}, {m_Walls});
    EXPECT_EQ(m_Layer->FindLotFrom({INT32_MAX, 0}, 1, 0), nullptr);
    EXPECT_EQ(m_Layer->FindLotFrom({0, INT32_MIN}, 0, -2), nullptr);
    EXPECT_EQ(m_Layer->FindLotFrom({INT32_MAX, INT32_MAX}, -1, 0)->GetSprite(),
              m_Layer->FindLot(INT32_MAX - 1, INT32_MAX)->GetSprite());
    for (CLot* lot : {high, low}) {
        CXInARowCheckMessage check(lot);
        EXPECT_FLOAT_EQ(lot->CheckInARow(check), 0.0f) << "two in a row make no run";
    }
    CFrame target;
    target.Create(64, 64, 32);
    CScopedHook<SetLotGridConnectionsQuery> shown{[] { return true; }};
    m_Layer->DrawEditorGrid(target);
}

// Grid coordinates and lot offsets from data at the ends of the int range
// place the lot at the held end, even where both products are 2^62.
TEST_F(Lots, LotPlacesFromGridPointsAtTheEndsOfTheIntRangeAreHeldThere)
{
    CLotOptions& options = *CLotOptions::SGetInstance();
    EXPECT_EQ(options.GetLotPosition({INT32_MAX, INT32_MIN}), (CPoint{INT32_MAX, INT32_MIN}));
    EXPECT_EQ(options.GetLotPosition({INT32_MIN, INT32_MAX}), (CPoint{INT32_MIN, INT32_MAX}));
    const CPoint first = options.m_FirstLotPosition, rows = options.m_LotPositionRowOffset,
                 columns = options.m_LotPositionColumnOffset;
    options.m_FirstLotPosition = CPoint{INT32_MAX, INT32_MIN};
    options.m_LotPositionRowOffset = CPoint{INT32_MIN, INT32_MAX};
    options.m_LotPositionColumnOffset = CPoint{INT32_MIN, INT32_MAX};
    EXPECT_EQ(options.GetLotPosition({INT32_MIN, INT32_MIN}), (CPoint{INT32_MAX, INT32_MIN}));
    EXPECT_EQ(options.GetLotPosition({1, 0}), (CPoint{-1, -1}));
    EXPECT_EQ(options.GetLotPosition({1, -1}), (CPoint{INT32_MAX, INT32_MIN}));
    EXPECT_EQ(options.GetLotPosition({INT32_MAX, -INT32_MAX}), (CPoint{INT32_MAX, INT32_MIN})) << "2^62 less 2^62";
    options.m_FirstLotPosition = first;
    options.m_LotPositionRowOffset = rows;
    options.m_LotPositionColumnOffset = columns;
}

TEST_F(Lots, LotsAndTheirOptionsReadTheirOldKeys)
{
    CLotOptions& options = *CLotOptions::SGetInstance();
    EXPECT_FLOAT_EQ(options.m_ScenicBonus, 0.2f);
    EXPECT_EQ(options.m_ScoreBalloonDuration, 2.0f);
    EXPECT_EQ(options.GetLotPosition({2, 3}).x, 375 + 2 * 173);
    EXPECT_EQ(options.GetLotPosition({2, 3}).y, 80 + 3 * 160);

    std::unique_ptr<CObject> read(
        ObjectFromText(BareObjectText("CLot", "\tIs Premium Lot=1\r\n"), IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(read, nullptr);
    CLot& lot = static_cast<CLot&>(*read);
    EXPECT_TRUE(lot.m_IsScenicLot);

    // The shared polygon of every lot.
    CPointPath* area = lot.GetHitArea(nullptr);
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->ContainsPoint(0.0f, 0.0f));
    EXPECT_TRUE(area->ContainsPoint(-120.0f, 50.0f));
    EXPECT_FALSE(area->ContainsPoint(130.0f, 70.0f));
    EXPECT_FALSE(area->ContainsPoint(-139.0f, -72.0f));
}

} // namespace
