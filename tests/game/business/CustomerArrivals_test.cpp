// Customers arriving at the level's pace and the level ending once they have
// come and gone: the first delay, a full line, scripted styles, the debug
// finish and fail switches, the three-in-a-row pay-out and the end of the
// player's interaction.
#include "game/business/CCustomerArrivals.h"

#include "BonusTown.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace bonus_town;

namespace {

int g_Completions = 0;

void CountCompletion()
{
    ++g_Completions;
}

class CustomerArrivals : public BonusTown {
protected:
    void SetUp() override
    {
        BonusTown::SetUp();
        WriteObject("Customer Options.Object.txt", "CCustomerOptions", "First Customer Delay =1.25");
        WriteObject("Customers/!None.Customer.txt", "CCustomerStyleSheet");
        WriteObject("Customers/Anna.Customer.txt", "CCustomerStyleSheet", "Maximum Wait=60");
        WriteObject("Customers/Bert.Customer.txt", "CCustomerStyleSheet", "Maximum Wait=30");
        for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetGeneralObjects()),
                                       static_cast<CObjectFileArray*>(&GetCustomerStyleSheetList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Resources", 0);
        }
        g_Completions = 0;
        m_Level->m_SecondsPlayed = 2.0f;
        CRandomGenerator::Global().Seed(45);
    }
    void TearDown() override
    {
        GetTypedCommandSwitches() = STypedCommandSwitches();
        GetCustomerStyleSheetList().RemoveAll();
        GetCustomerStyleSheetList().SetSource(nullptr, "Nowhere", 0);
        BonusTown::TearDown();
    }
    uint32_t Waiting() { return Customers() ? Customers()->GetSpriteCount() : 0; }
    CPlayfieldLayer* Customers() { return Playfield().FindLayer("Customers"); }
    CCustomer* CustomerAt(uint32_t i) { return FindCustomer(Customers()->GetSprite(i)); }
    void EmptyLine()
    {
        while (CSprite* sprite = Customers()->GetSprite(0)) {
            Customers()->GetSprites().Remove(sprite);
            delete sprite;
        }
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            UpdateCustomerSpawning();
    }
    // Every customer of the level has come; the line holds n idle ones.
    void AllCame(uint32_t n)
    {
        m_Level->m_Customers = n;
        m_Level->m_FamesPerNewCustomer = 1;
        Frames(int(n) + 2);
        ASSERT_EQ(Waiting(), n);
        TakeHeard();
    }
    int Heard(const char* name)
    {
        const std::vector<std::string> heard = TakeHeard();
        return int(std::count(heard.begin(), heard.end(), std::string(name)));
    }

    // The results screens stand-in: counts each completion.
    class CCountingCompletion final : public CGameScreensHooks {
    public:
        void CompleteLevel() override { CountCompletion(); }
    } m_Counting;
    CScopedHook<SetGameScreensHooks> m_Completer{&m_Counting};
};

TEST_F(CustomerArrivals, TheFirstComesAtTheFirstDelayWithoutADrawAndThenOneInFamesPerNewCustomer)
{
    m_Level->m_FamesPerNewCustomer = 1000000000;
    m_Level->m_SecondsPlayed = 1.24f;
    Frames(3);
    EXPECT_EQ(Waiting(), 0u) << "none before the first delay";
    m_Level->m_SecondsPlayed = 1.25f;
    UpdateCustomerSpawning();
    ASSERT_EQ(Waiting(), 1u) << "an empty line takes the first at once, however unlikely a draw";
    EXPECT_EQ(m_Level->m_CustomersSpawned, 1);
    EXPECT_EQ(Customers()->GetSprite(0)->GetPosition().x, -999.0f) << "placed in line by its first update";
    Frames(60);
    EXPECT_EQ(Waiting(), 1u) << "then one chance in a billion a frame";

    m_Level->m_FamesPerNewCustomer = 0;
    UpdateCustomerSpawning();
    EXPECT_EQ(Waiting(), 2u) << "0 frames per customer: at the first chance, no division by zero";
}

TEST_F(CustomerArrivals, AFullLineSpawnsNobodyAndTheSwitchesAndTutorialHoldArrivalsBack)
{
    m_Level->m_FamesPerNewCustomer = 1;
    Frames(600);
    EXPECT_EQ(Waiting(), 3u) << "an empty \"Max In Line List\" allows 3";
    EXPECT_EQ(m_Level->m_CustomersSpawned, 3);

    EmptyLine();
    m_Level->m_CustomerSpawningDisabled = true;
    Frames(10);
    EXPECT_EQ(Waiting(), 0u) << "a tutorial that disables spawning";
    SpawnCustomer();
    EXPECT_EQ(Waiting(), 1u) << "its script brings one itself";
    EXPECT_EQ(m_Level->m_CustomersSpawned, 4);
    m_Level->m_CustomerSpawningDisabled = false;
    UpdateCustomerSpawning();
    EXPECT_EQ(Waiting(), 2u);
}

TEST_F(CustomerArrivals, ScriptedStylesComeInOrderAndAStyleOfNoneIsDrawnFromThePool)
{
    const int32_t anna = GetCustomerStyleSheetList().Find("Anna");
    const int32_t bert = GetCustomerStyleSheetList().Find("Bert");
    ASSERT_GT(anna, 0);
    ASSERT_GT(bert, 0);
    SetParts(*m_Level, "Scripted Customer List", m_Level->m_ForcedOrderedCustomerStylesScript,
             {bert, 0, anna});
    m_Level->m_FamesPerNewCustomer = 1;
    Frames(3);
    ASSERT_EQ(Waiting(), 3u);
    EXPECT_EQ(CustomerAt(0)->m_CustomerStyleSheet, bert);
    EXPECT_EQ(CustomerAt(2)->m_CustomerStyleSheet, anna);
    EXPECT_NE(CustomerAt(1)->GetStyleSheet(), nullptr);
}

TEST_F(CustomerArrivals, AStyleIndexPastTheListReadsEntryZero)
{
    CCustomerStyleSheetList& list = GetCustomerStyleSheetList();
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(GetCustomerStyleSheet(3), list.GetObject(0));
    EXPECT_EQ(GetCustomerStyleSheet(-1), list.GetObject(0));
    EXPECT_EQ(GetCustomerStyleSheet(2), list.GetObject(2));
    CCustomer customer;
    customer.m_CustomerStyleSheet = 77;
    EXPECT_EQ(customer.GetStyleSheet(), list.GetObject(0));
}

TEST_F(CustomerArrivals, TheFinishSwitchEndsALevelWithCustomersWaitingAsWonAndTheFailSwitchWithNoRevenue)
{
    m_Level->m_FamesPerNewCustomer = 1;
    Frames(2);
    ASSERT_EQ(Waiting(), 2u);
    m_State->m_RevenueK = 10.0f;
    GetTypedCommandSwitches().levelFinishedByCommand = true;
    UpdateCustomerSpawning();
    EXPECT_EQ(g_Completions, 1);
    EXPECT_EQ(m_State->m_RevenueK, m_Level->m_RequiredRevenue);
    EXPECT_EQ(Waiting(), 2u) << "no one else came";

    m_State->m_RevenueK = 900.0f;
    UpdateCustomerSpawning();
    EXPECT_EQ(m_State->m_RevenueK, 900.0f) << "a revenue above the goal stays";

    GetTypedCommandSwitches().levelFailedByCommand = true;
    UpdateCustomerSpawning();
    EXPECT_EQ(m_State->m_RevenueK, 0.0f);
    EXPECT_EQ(g_Completions, 3);
}

TEST_F(CustomerArrivals, TheStandInCompletionTellsTheLevelAndPlayfieldAndClearsTheSwitches)
{
    CScopedHook<SetGameScreensHooks> standIn{nullptr};
    GetTypedCommandSwitches().levelFinishedByCommand = true;
    GetTypedCommandSwitches().levelFailedByCommand = true;
    TakeHeard();
    UpdateCustomerSpawning();
    EXPECT_EQ(Heard("LevelComplete"), 1);
    EXPECT_FALSE(GetTypedCommandSwitches().levelFinishedByCommand);
    EXPECT_FALSE(GetTypedCommandSwitches().levelFailedByCommand);
}

TEST_F(CustomerArrivals, InteractionCompletesOnceWhenNobodyIsIdleAndTheLevelWhenTheLineIsEmpty)
{
    AllCame(2);
    Frames(5);
    EXPECT_EQ(Heard("PlayerInteractionComplete"), 0) << "two customers still wait";
    CustomerAt(0)->m_CustomerState = CCustomer::kMovingIn;
    CustomerAt(1)->m_CustomerState = CCustomer::kInVictoryPose;
    Frames(5);
    EXPECT_EQ(Heard("PlayerInteractionComplete"), 1) << "once, not every frame";
    EXPECT_TRUE(m_Level->IsPlayerInteractionComplete());
    EXPECT_EQ(g_Completions, 0) << "they are still walking home";
    EmptyLine();
    UpdateCustomerSpawning();
    EXPECT_EQ(g_Completions, 1);
    EXPECT_EQ(Heard("PlayerInteractionComplete"), 0);
}

TEST_F(CustomerArrivals, AnActiveBonusIsPaidOutBeforeTheLevelCompletes)
{
    auto* sprite = new CSprite;
    auto* counter = new CThreeInARowCounter;
    sprite->AddAI(counter);
    Playfield().AddSprite(sprite, "UI");
    AllCame(1);
    CustomerAt(0)->m_CustomerState = CCustomer::kMovingIn;
    counter->m_SecondsBonusLeft = 3.0f;
    UpdateCustomerSpawning();
    EXPECT_TRUE(counter->IsInEndOfLevelPhase()) << "while the bonus runs only idle customers hold it back";
    EXPECT_EQ(Waiting(), 1u);
    EXPECT_EQ(g_Completions, 0);
    Frames(3);
    EXPECT_EQ(g_Completions, 0) << "paying out";
    counter->m_SecondsBonusLeft = 0.0f;
    UpdateCustomerSpawning();
    EXPECT_EQ(g_Completions, 0) << "the customer walking home";
    EmptyLine();
    UpdateCustomerSpawning();
    EXPECT_EQ(g_Completions, 1) << "completes at once, without waiting for the end delay";
}

TEST_F(CustomerArrivals, TheGoalsAndTheLevelSeeCustomersByTheirSprites)
{
    m_Level->m_FamesPerNewCustomer = 1;
    Frames(2);
    ASSERT_EQ(Waiting(), 2u);
    CSprite* first = Customers()->GetSprite(0);
    CCustomer* customer = CustomerAt(0);
    EXPECT_EQ(FindCustomer(first), customer);
    EXPECT_EQ(FindCustomer(Playfield().FindLayer("Effects")->GetSprite(0)), nullptr) << "no customer there";
    EXPECT_EQ(FindWaitingCustomer(first), customer);
    first->SetFlags(first->GetFlags() & ~kSpriteVisible);
    EXPECT_EQ(FindWaitingCustomer(first), nullptr) << "leaving";
    EXPECT_EQ(CountIdleCustomers(), 2u);

    HighlightCustomersOfStyle(CustomerAt(1)->m_CustomerStyleSheet);
    EXPECT_EQ(CustomerAt(1)->GetHighlightCountdown(), 6u);
    EXPECT_EQ(customer->GetState(), CCustomer::kIdle);
}

} // namespace
