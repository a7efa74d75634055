// Customers as the player meets them, stepped at 1/60 s with seeded
// generators: hearts and patience, faces and their sounds, the line, the
// answer, thinking and the order (signpost and "never what you have"
// included), clicks and the pick-up, the pose and the walk home, and the
// hearts' arithmetic at its edges.
#include "game/business/CCustomer.h"

#include "BusinessLevelTest.h"
#include "../MessageEarAI.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgradeButton.h"

#include "foundation/CRandomGenerator.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "objects/CPropertyArrayProperty.h"
#include "shell/CMouseState.h"
#include "LevelTones.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr float kStep = 1.0f / 60.0f;
const char* const kSounds[] = {"Mad", "Flash", "Think", "Ready", "Moved", "Leaving", "Selected", "Ring", "Greet"};

// A town with a frame phase (two walls, each in its own slot) and a paint
// phase, a signpost, "Customer Options" with a line going left from
// (500, 300), the style "Shopper" (seven 20x40 frames, no blinking, a
// sound for each event) and a noting sprite on the "Effects" layer.
class Customers : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        for (int frame = 1; frame <= 7; ++frame)
            WriteTga("Resources/Sequences/-Shopper/000" + std::to_string(frame) + ".tga", 20, 40);
        WriteSequence("Sign Post", 20, 40);
        WriteObject("Customer Options.Object.txt", "CCustomerOptions",
                    "Front Of Line=500,300\nSpace Between People In Line=-50,0\nMove Speed=60\n"
                    "Angry Flash Duration=50\nPowerup Decision Speed Multiplier=4");
        WriteObject("Customers/!None.Customer.txt", "CCustomerStyleSheet");
        WriteObject("Customers/Shopper.Customer.txt", "CCustomerStyleSheet",
                    "Appearance=Shopper\nBlinks Per Minute=0\nGetting Mad Audio=Mad\n"
                    "Mad Flashing Started Audio=Flash\nThinking Audio=Think\nReady To Order Audio=Ready\n"
                    "Moved In Audio=Moved\nLeaving Audio=Leaving\nSelected Audio=Selected");
        WriteObject("Periods/!None.Period.txt", "CPeriod",
                    "Phone Ring Audio=Ring\nGreeter Ring Audio=Greet");
        for (const char* slot : {"Frame A", "Frame B", "Paint A", "Signpost", "Greeter"})
            WriteObject("Slots/" + std::string(slot) + ".UpgradeSlot.txt", "CUpgradeSlot");
        for (const char* phase : {"Frame", "Paint"})
            WriteObject("Phases/" + std::string(phase) + ".BuildPhase.txt", "CBuildPhase",
                        "Name=" + std::string(phase) + "\nOption Index=Required");
        WriteObject("Upgrades/Walls.Upgrade.txt", "CBuildablePart",
                    "Build Phase=Frame\nUpgrade Slot=Frame A\nResale Value=6");
        WriteObject("Upgrades/Bricks.Upgrade.txt", "CBuildablePart",
                    "Build Phase=Frame\nUpgrade Slot=Frame B\nResale Value=7");
        WriteObject("Upgrades/Blue.Upgrade.txt", "CColorBuildablePart",
                    "Build Phase=Paint\nUpgrade Slot=Paint A\nResale Value=1");
        WriteObject("Upgrades/Sign.Upgrade.txt", "CSignpostUpgrade",
                    "Upgrade Slot=Signpost\nAppearance=Sign Post\nEffect Chance=1");
        WriteObject("Upgrades/Doorman.Upgrade.txt", "CUpgrade", "Upgrade Slot=Greeter");
        ASSERT_NO_FATAL_FAILURE(m_Tones.Load("Customer Sounds", {std::begin(kSounds), std::end(kSounds)}));
        GetCustomerStyleSheetList().RemoveAll();
        GetCustomerStyleSheetList().SetSource(nullptr, "Resources", 0);
        ASSERT_NE(StartLevel(), nullptr);
        m_Tones.Play();
        for (const char* part : {"Walls", "Bricks", "Blue"})
            CGameState::SGetCurrent()->ReceiveUpgrade(GetUpgradeList().Find(part));
        auto* ear = new CSprite;
        ear->AddAI(new CMessageEarAI(m_Broadcasts));
        Playfield().AddSprite(ear, "Effects");
        CRandomGenerator::Global().Seed(45);
        GameRandom().Seed(45);
        SetCustomerLinePosition(0);
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        m_Tones.Release();
        // Back to where the list reads from in every test.
        GetCustomerStyleSheetList().RemoveAll();
        GetCustomerStyleSheetList().SetSource(nullptr, "Resources", 0);
        BusinessLevelTest::TearDown();
    }
    CPlayfield& Playfield() { return m_Level->GetPlayfield(); }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }

    // A new customer of "Shopper" at the spawn point; with heard, its sprite
    // notes its messages.
    CCustomer* AddCustomer(std::vector<std::string>* heard = nullptr)
    {
        auto* sprite = new CSprite;
        if (heard)
            sprite->AddAI(new CMessageEarAI(*heard));
        auto* customer = new CCustomer;
        customer->m_CustomerStyleSheet = GetCustomerStyleSheetList().Find("Shopper");
        sprite->AddAI(customer);
        sprite->SetPosition(-999.0f, -999.0f);
        Playfield().AddSprite(sprite, "Customers");
        return customer;
    }
    // One frame of the customers' layer, as the arrivals and the layer run it.
    void Step(float seconds = kStep)
    {
        SetCustomerLinePosition(0);
        CPlayfieldLayer* layer = Playfield().FindLayer("Customers");
        for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
            CSprite* sprite = layer->GetSprite(i);
            auto* customer = static_cast<CCustomer*>(sprite->FindAI(CCustomer::SGetClassInfo()));
            CSpriteUpdateRecord record{sprite, seconds};
            customer->Update(record);
        }
    }
    void Steps(int count)
    {
        for (int i = 0; i < count; ++i)
            Step();
    }
    bool Click(CCustomer& customer, CPoint at, bool up = false)
    {
        CPlayfieldMouseMessage message = up ? CPlayfieldMouseMessage::MouseUp(0, 1, at)
                                            : CPlayfieldMouseMessage::MouseDown(0, 1, at);
        customer.GetSprite()->HandleMessage(message);
        return message.IsHandled();
    }
    static CPoint On(CCustomer& customer, int dx = 5, int dy = 5)
    {
        const CFPoint at = customer.GetSprite()->GetPosition();
        return {int32_t(at.x) + dx, int32_t(at.y) + dy};
    }
    std::vector<std::string> Played() { return m_Tones.Played(); }
    int CountPlayed(const char* name, int steps)
    {
        int count = 0;
        for (int i = 0; i < steps; ++i) {
            Step();
            const std::vector<std::string> played = Played();
            count += int(std::count(played.begin(), played.end(), name));
        }
        return count;
    }
    bool Heard(const std::vector<std::string>& heard, const char* name)
    {
        return std::find(heard.begin(), heard.end(), name) != heard.end();
    }
    static void SetFloats(CRules& rules, const std::vector<float>& values)
    {
        auto* list = static_cast<CPropertyArrayProperty*>(
            CRules::SGetClassInfo()->FindProperty("Movein Bonus By Hearts List"));
        list->ArrayProperty_SetCount(&rules, uint32_t(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            rules.m_MoveinBonusByHearts[uint32_t(i)] = values[i];
    }
    CLot* AddHouse(CPoint grid, const char* frame)
    {
        return AddLot(grid, {0, Upgrade(frame), Upgrade("Blue")});
    }

    CScopedDataFolder m_DataFolder{"."};
    CLevelTones m_Tones;
    std::vector<std::string> m_Broadcasts;
};

TEST_F(Customers, StyleSheetsComeFromTheCustomersFolderUnderTheirBareNames)
{
    // A style sheet beside the folder is not one of the list's.
    WriteObject("Stray.Customer.txt", "CCustomerStyleSheet");
    CCustomerStyleSheetList& list = GetCustomerStyleSheetList();
    list.RemoveAll();
    list.SetSource(nullptr, "Resources", 0);
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        names.emplace_back(list.GetItemName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"!None", "Shopper"}));
    EXPECT_GT(list.Find("Shopper"), 0);
    EXPECT_EQ(list.Find("Customers/Shopper"), list.Find("Shopper")) << "a level saved with the folder in the name";
}

TEST_F(Customers, NineHeartsLastNinetySecondsThenTheCustomerLeavesOnce)
{
    std::vector<std::string> heard;
    CCustomer* customer = AddCustomer(&heard);
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(), 9.0f);
    Steps(60 * 90 - 1);
    EXPECT_GT(customer->GetHeartsLeft(), 0.0f);
    EXPECT_FALSE(Heard(heard, "LeavingNow"));
    Played();
    EXPECT_EQ(CountPlayed("Leaving", 2 * 60), 1);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "LeavingNow"), 1);
    EXPECT_FALSE(customer->GetSprite()->IsVisible());
}

TEST_F(Customers, InATutorialOrForAKidsPlayerTheHeartsStopAtThree)
{
    m_Level->m_IsTutorialLevel = true;
    std::vector<std::string> heard;
    CCustomer* customer = AddCustomer(&heard);
    Steps(60 * 200);
    // The last step taken from above 3.0 ends at most a frame's worth below.
    EXPECT_NEAR(customer->GetHeartsLeft(), 3.0f, 1.0f / 600.0f);
    EXPECT_TRUE(customer->GetSprite()->IsVisible());
    EXPECT_FALSE(Heard(heard, "LeavingNow"));
}

TEST_F(Customers, TheFaceFollowsTheHeartsTheBlinkAndAHoverOverAHouseThatTakesThem)
{
    CCustomer* customer = AddCustomer();
    CSprite* sprite = customer->GetSprite();
    const auto faceAt = [&](float waited) {
        customer->m_TimeWaited = waited;
        Step(0.0f);
        return sprite->GetFrameIndex();
    };
    EXPECT_EQ(faceAt(70.0f), 0u) << "exactly 2.0 hearts";
    EXPECT_EQ(faceAt(60.0f), 4u) << "exactly 3.0 hearts";
    EXPECT_EQ(faceAt(59.9f), 2u);
    customer->m_SecondsOfBlinkingLeft = 0.5f;
    EXPECT_EQ(faceAt(59.9f), 3u);

    customer->m_SecondsOfBlinkingLeft = 0.0f;
    customer->m_PackageWanted = new CBuildablePackage;
    BusinessLevelTest::SetParts(*customer->m_PackageWanted, "Parts List", customer->m_PackageWanted->m_Parts,
                                {0, Upgrade("Walls"), Upgrade("Blue")});
    EXPECT_FALSE(customer->NoteHoverOverLot(AddHouse({1, 0}, "Bricks")));
    EXPECT_TRUE(customer->NoteHoverOverLot(AddHouse({2, 0}, "Walls")));
    EXPECT_EQ(faceAt(59.9f), 6u) << "the pose while over the house";
    EXPECT_EQ(faceAt(59.9f), 2u) << "gone once the hover is not renewed";
}

TEST_F(Customers, TheMadAndFlashingSoundsPlayOnceWhenTheirHeartsAreCrossed)
{
    CCustomer* customer = AddCustomer();
    // "Angry Flash Duration" 50 s is 5 hearts; "Get Mad When Hearts Reaches" 2.
    customer->m_TimeWaited = 39.9f;
    Step(0.0f);
    Played();
    EXPECT_EQ(CountPlayed("Flash", 60), 1);
    customer->m_TimeWaited = 69.9f;
    EXPECT_EQ(CountPlayed("Mad", 60), 1);
    EXPECT_EQ(CountPlayed("Mad", 60), 0);
}

TEST_F(Customers, TheLineIsHandedOutInLayerOrderAndWalkedAtTheMoveSpeed)
{
    CCustomer* first = AddCustomer();
    CCustomer* second = AddCustomer();
    CCustomer* third = AddCustomer();
    Step();
    EXPECT_EQ(first->GetSprite()->GetPosition(), (CFPoint{500.0f, 300.0f}));
    EXPECT_EQ(second->GetSprite()->GetPosition(), (CFPoint{450.0f, 300.0f}));
    EXPECT_EQ(third->GetSprite()->GetPosition(), (CFPoint{400.0f, 300.0f}));

    // The first moves in: the others step up, one pixel a frame.
    first->StartVictoryPose();
    CMessage moveIn = CMessage::CMessageByName("MoveCustomerIn");
    first->GetSprite()->HandleMessage(moveIn);
    Step();
    EXPECT_NEAR(second->GetSprite()->GetPosition().x, 451.0f, 1e-3f);
    Steps(59);
    EXPECT_NEAR(second->GetSprite()->GetPosition().x, 500.0f, 1e-3f);
    EXPECT_NEAR(third->GetSprite()->GetPosition().x, 450.0f, 1e-3f);
}

// A tip of ten seconds on every level.
class CTipShowing : public CGameScreensHooks {
public:
    CJString GetTipText(uint32_t) override { return CJString("Build fast"); }
    float GetTipDuration() override { return 10.0f; }
};

TEST_F(Customers, TheLineMovesUpWhileATipShows)
{
    CTipShowing tips;
    CScopedHook<SetGameScreensHooks> installed(&tips);
    m_Level->m_SecondsPlayed = 1.0f;
    CCustomer* customer = AddCustomer();
    Step();
    EXPECT_EQ(customer->GetSprite()->GetPosition(), (CFPoint{500.0f, 100.0f}));
    m_Level->m_SecondsPlayed = 11.0f;
    Step();
    EXPECT_NEAR(customer->GetSprite()->GetPosition().y, 101.0f, 1e-3f);
}

TEST_F(Customers, OnlyACustomerThatCanBePickedUpNowIsHighlightedUnderTheMouse)
{
    CCustomer* customer = AddCustomer();
    Step();
    const CPoint at = On(*customer);
    CMouseState::SGetInstance().SetPosition(at.x, at.y);
    Step();
    EXPECT_TRUE(customer->m_Highlighted) << "waiting to be answered";
    customer->StartThinking();
    Step();
    EXPECT_FALSE(customer->m_Highlighted) << "thinking";
    Steps(60);
    EXPECT_TRUE(customer->m_Highlighted) << "decided";
    CMouseState::SGetInstance().SetPosition(at.x - 100, at.y);
    Step();
    EXPECT_FALSE(customer->m_Highlighted);
}

TEST_F(Customers, AClickAnswersWithoutPickingUpAndAClickWhileThinkingDoesNothing)
{
    CCustomer* customer = AddCustomer();
    Step();
    EXPECT_TRUE(customer->IsWaitingToBeAnswered());
    Played();
    EXPECT_TRUE(Click(*customer, On(*customer)));
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_TRUE(Heard(m_Broadcasts, "Answered Phone"));
    EXPECT_EQ(Played(), std::vector<std::string>{"Think"});
    EXPECT_TRUE(customer->IsDecidingOrder());

    Step();
    EXPECT_FALSE(Click(*customer, On(*customer)));
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_NE(customer->m_PackageWanted, nullptr) << "a house in the balloon while thinking";

    // One second of thinking, then the order; nothing was left to order,
    // so the customer makes a wish of its own.
    Steps(60);
    EXPECT_FALSE(customer->IsDecidingOrder());
    ASSERT_NE(customer->m_PackageWanted, nullptr);
    EXPECT_TRUE(customer->m_PackageWanted->HasParts());
    EXPECT_TRUE(Heard(m_Broadcasts, "CustomerDecided"));
    EXPECT_EQ(Played(), std::vector<std::string>{"Ready"});
}

TEST_F(Customers, ThinkingRunsFasterWhileTheThreeInARowBonusRuns)
{
    auto* counterSprite = new CSprite;
    auto* counter = new CThreeInARowCounter;
    counterSprite->AddAI(counter);
    Playfield().AddSprite(counterSprite, "UI");
    counter->m_SecondsBonusLeft = 30.0f;
    CCustomer* customer = AddCustomer();
    customer->StartThinking();
    Steps(14);
    EXPECT_TRUE(customer->IsDecidingOrder());
    Steps(2);
    EXPECT_FALSE(customer->IsDecidingOrder()) << "a quarter of the second at four times the speed";
}

TEST_F(Customers, ADecidedCustomerIsPickedUpAtTheClickedPixelOrAboveItsFeet)
{
    CCustomer* customer = AddCustomer();
    Step();
    customer->StartThinking();
    Steps(60);
    Played();
    customer->m_SecondsUntilSelectionAllowed = 0.5f;
    EXPECT_FALSE(Click(*customer, On(*customer)));
    Steps(30);

    Played();
    const CPoint at = On(*customer);
    EXPECT_TRUE(Click(*customer, at));
    EXPECT_EQ(GetDraggedSprite(), customer->GetSprite());
    // Grabbed at the clicked pixel: held there, it covers what it covered.
    CFrame standing;
    CFrame held;
    for (CFrame* frame : {&standing, &held}) {
        frame->Create(800, 600, 32);
        frame->Clear();
    }
    customer->GetSprite()->DrawImage(standing);
    DrawDraggedSprite(held, at.x, at.y);
    for (CPoint pixel : {at, CPoint{at.x - 5, at.y - 5}, CPoint{at.x + 20, at.y + 40}}) {
        CColor a;
        CColor b;
        standing.GetPixel(pixel.x, pixel.y, a);
        held.GetPixel(pixel.x, pixel.y, b);
        EXPECT_EQ(a, b) << pixel.x << "," << pixel.y;
    }
    EXPECT_TRUE(Heard(m_Broadcasts, "Customer Selected"));
    EXPECT_EQ(Played(), std::vector<std::string>{"Selected"});
    EXPECT_EQ(TakeDraggedCustomer(), customer);
    EXPECT_EQ(GetDraggedSprite(), nullptr);

    // A second click on the held customer puts it back.
    EXPECT_TRUE(Click(*customer, On(*customer)));
    EXPECT_TRUE(Click(*customer, On(*customer)));
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_EQ(TakeDraggedCustomer(), nullptr);
    EXPECT_FALSE(Click(*customer, On(*customer), true)) << "a mouse-up over a customer is not a click";
}

TEST_F(Customers, WithDeliveryDisabledTheClickShowsWhyAndPicksNothingUp)
{
    m_Level->m_CustomerDeliveryDisabled = true;
    CCustomer* customer = AddCustomer();
    Step();
    customer->StartThinking();
    Steps(60);
    EXPECT_FALSE(Click(*customer, On(*customer)));
    EXPECT_EQ(GetDraggedSprite(), nullptr);
}

TEST_F(Customers, APosedCustomerWalksHomeAndTellsItselfAndItsLot)
{
    std::vector<std::string> heard;
    std::vector<std::string> lotHeard;
    CCustomer* customer = AddCustomer(&heard);
    Step();
    auto* lotSprite = new CSprite;
    lotSprite->AddAI(new CMessageEarAI(lotHeard));
    auto* lot = new CLot;
    lotSprite->AddAI(lot);
    lot->m_GridCoordinate = {2, 1};
    Playfield().AddSprite(lotSprite, "Lot");

    Played();
    customer->SetHome(lot, 500.0f, 700.0f);
    customer->StartVictoryPose();
    EXPECT_EQ(customer->GetState(), CCustomer::kInVictoryPose);
    EXPECT_EQ(customer->GetSprite()->GetFrameIndex(), 6u);
    EXPECT_TRUE(Heard(heard, "CustomerMovingIn"));
    EXPECT_EQ(Played(), std::vector<std::string>{"Moved"});
    EXPECT_FALSE(Click(*customer, On(*customer))) << "not clickable while posing";
    Steps(30);
    EXPECT_EQ(customer->GetSprite()->GetPosition(), (CFPoint{500.0f, 300.0f})) << "keeps its place in line";

    CMessage moveIn = CMessage::CMessageByName("MoveCustomerIn");
    customer->GetSprite()->HandleMessage(moveIn);
    EXPECT_EQ(customer->GetState(), CCustomer::kMovingIn);
    // 400 pixels at 800 a second: half a second.
    Steps(29);
    EXPECT_FALSE(Heard(heard, "CustomerArrivedHome"));
    Step();
    EXPECT_EQ(customer->GetState(), CCustomer::kArrivedHome);
    EXPECT_TRUE(Heard(heard, "CustomerArrivedHome"));
    EXPECT_TRUE(Heard(lotHeard, "CustomerArrivedHome"));
}

TEST_F(Customers, TheSignpostTurnsTheOrderIntoItsHouse)
{
    CLot* lot = AddHouse({1, 0}, "Bricks");
    lot->GetBuilding()->m_BeingConstructed = 0;
    auto* signSprite = new CSprite;
    std::vector<std::string> signHeard;
    signSprite->AddAI(new CMessageEarAI(signHeard));
    auto* sign = static_cast<CSignpost*>(CreateSignpostAI(*GetUpgradeByIndex(Upgrade("Sign"))));
    signSprite->AddAI(sign);
    Playfield().AddSprite(signSprite, "Crew");
    sign->PlaceOnLot(lot);
    ASSERT_EQ(sign->GetState(), CSignpost::EState::Placed);

    std::vector<std::string> heard;
    CCustomer* customer = AddCustomer(&heard);
    customer->DecideOrder();
    ASSERT_NE(customer->m_PackageWanted, nullptr);
    EXPECT_TRUE(customer->m_PackageWanted->HasSamePartsAs(lot->GetBuilding()));
    EXPECT_NE(customer->m_PackageWanted, lot->GetBuilding());
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_SignInfluencedCustomer, 1u);
    EXPECT_TRUE(Heard(heard, "SignpostDecision"));
    EXPECT_TRUE(Heard(signHeard, "SignpostDecision"));
}

TEST_F(Customers, CustomersNeverOrderWhatYouHaveWhenTheLevelSaysSo)
{
    m_Level->m_CustomersNeverOrderWhatYouHave = true;
    AddLot({1, 0}, {0, Upgrade("Walls"), 0});
    for (int i = 0; i < 20; ++i) {
        CCustomer* customer = AddCustomer();
        customer->DecideOrder();
        ASSERT_NE(customer->m_PackageWanted, nullptr);
        EXPECT_FALSE(customer->IsOrderAlreadyBuilt());
        EXPECT_EQ(customer->m_PackageWanted->m_Parts[1], Upgrade("Bricks"));
    }
}

TEST_F(Customers, ArrivingRingsThePhoneOrTheGreetersBell)
{
    CCustomer* customer = AddCustomer();
    Played();
    customer->Arrive();
    EXPECT_TRUE(Heard(m_Broadcasts, "CustomerArrived"));
    EXPECT_EQ(Played(), std::vector<std::string>{"Ring"});
    CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade("Doorman"));
    customer->Arrive();
    EXPECT_EQ(Played(), std::vector<std::string>{"Greet"});
}

TEST_F(Customers, AddedHeartsStopAtThePacifierMaximumAndNeverTakeAnyAway)
{
    CCustomer* customer = AddCustomer();
    customer->m_TimeWaited = 50.0f;
    customer->AddHearts(0.5f);
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(), 4.5f);
    customer->AddHearts(5.0f);
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(), 6.0f);
    customer->m_TimeWaited = 0.0f;
    customer->AddHearts(1.0f);
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(), 9.0f) << "above the maximum already: kept";
}

TEST_F(Customers, TheMoveInBonusTruncatesTheHeartsTakesAWholeHeartsOwnEntryAndHoldsAtBothEnds)
{
    CRules& rules = CRules::SGetInstance();
    CCustomer* customer = AddCustomer();
    EXPECT_EQ(customer->GetMoveInBonus(), 0.0f);
    EXPECT_EQ(rules.m_MoveinBonusByHearts.GetCount(), 1u) << "an empty list keeps the entry it receives";

    SetFloats(rules, {0.05f, 0.1f, 0.2f});
    const auto bonusAt = [&](float waited) {
        customer->m_TimeWaited = waited;
        return customer->GetMoveInBonus();
    };
    EXPECT_FLOAT_EQ(bonusAt(71.0f), 0.1f) << "1.9 hearts";
    EXPECT_FLOAT_EQ(bonusAt(95.0f), 0.05f) << "-0.5 hearts";
    EXPECT_FLOAT_EQ(bonusAt(150.0f), 0.05f) << "-6 hearts";
    EXPECT_FLOAT_EQ(bonusAt(0.0f), 0.2f) << "9 hearts";
    EXPECT_FLOAT_EQ(bonusAt(-1e30f), 0.2f) << "hearts far past the list";
    // A whole heart left takes the entry of its own count.
    EXPECT_FLOAT_EQ(bonusAt(90.0f), 0.05f) << "no hearts";
    EXPECT_FLOAT_EQ(bonusAt(80.0f), 0.1f) << "exactly one heart";
    EXPECT_FLOAT_EQ(bonusAt(70.0f), 0.2f) << "exactly two hearts";
    EXPECT_FLOAT_EQ(bonusAt(60.0f), 0.2f) << "exactly three hearts: one past the list";
}

TEST_F(Customers, NoSecondsPerHeartMeansNoHeartsAndNoEndlessCount)
{
    GetCustomerOptions().m_SecondsPerHeart = 0.0f;
    std::vector<std::string> heard;
    CCustomer* customer = AddCustomer(&heard);
    EXPECT_EQ(customer->GetHeartsLeft(), 0.0f);
    EXPECT_EQ(customer->GetMoveInBonus(), 0.0f);
    customer->AddHearts(2.0f);
    EXPECT_EQ(customer->GetHeartsLeft(), 0.0f);
    Step();
    EXPECT_TRUE(Heard(heard, "LeavingNow"));
}

} // namespace
