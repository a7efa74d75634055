// The demo data's customers: the shared script that takes a customer off the
// playfield (without it no level ends), and the looks and sounds the
// customer options and style sheets name.
#include "../MessageEarAI.h"
#include "../world/DemoGameTest.h"

#include "game/business/CCustomer.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CDeliverer.h"
#include "game/business/CGreeterUpgrade.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/world/CLevelPlay.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/world/CTypedCommands.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "objects/CMessage.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "support/ScopedHooks.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class DemoCustomers : public CDemoGameTest {
protected:
    // A sprite on the effects layer running a copy of the customers'
    // script, its messages noted in heard.
    CSprite* ScriptedSprite(std::vector<std::string>& heard)
    {
        auto* sprite = new CSprite;
        sprite->AddAI(new CMessageEarAI(heard));
        sprite->AddPlugIn(static_cast<CSpritePlugIn*>(GetCustomerOptions().m_CustomerScript.Clone()));
        GetCurrentPlayfield()->AddSprite(sprite, "Effects");
        return sprite;
    }
    static void Tell(CSprite* sprite, const char* name)
    {
        CMessage message = CMessage::CMessageByName(name);
        sprite->HandleMessage(message);
    }
    static bool OnPlayfield(CSprite* sprite) { return GetCurrentPlayfield()->FindLayerOfSprite(sprite) != nullptr; }
    static bool Heard(const std::vector<std::string>& heard, const char* name)
    {
        return std::find(heard.begin(), heard.end(), name) != heard.end();
    }
    // Runs frames until the game has played the seconds.
    bool PassSeconds(float seconds)
    {
        for (int i = 0; i < int(seconds * 60.0f + 0.5f); ++i)
            if (!Pass(17))
                return false;
        return true;
    }
};

TEST_F(DemoCustomers, TheScriptMovesACustomerInAfterASecondAndTakesItAwayHomeOrLeaving)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    ASSERT_NE(GetCurrentPlayfield(), nullptr);
    ASSERT_GT(GetCustomerOptions().m_CustomerScript.m_PlugIns.GetCount(), 0u) << "no customer would ever leave";

    std::vector<std::string> mover;
    CSprite* movingIn = ScriptedSprite(mover);
    std::vector<std::string> leaver;
    CSprite* leaving = ScriptedSprite(leaver);
    ASSERT_TRUE(Pass(17));

    Tell(movingIn, "CustomerMovingIn");
    ASSERT_TRUE(PassSeconds(0.8f));
    EXPECT_FALSE(Heard(mover, "MoveCustomerIn")) << "the pose lasts a second";
    ASSERT_TRUE(PassSeconds(0.4f));
    EXPECT_TRUE(Heard(mover, "MoveCustomerIn"));
    EXPECT_TRUE(OnPlayfield(movingIn)) << "still walking home";
    EXPECT_FALSE(Heard(leaver, "MoveCustomerIn")) << "each customer runs its own copy";

    Tell(movingIn, "CustomerArrivedHome");
    ASSERT_TRUE(PassSeconds(0.1f));
    EXPECT_FALSE(OnPlayfield(movingIn));
    EXPECT_TRUE(OnPlayfield(leaving));

    Tell(leaving, "LeavingNow");
    ASSERT_TRUE(PassSeconds(0.1f));
    EXPECT_FALSE(OnPlayfield(leaving));
}

TEST_F(DemoCustomers, TheGameReadsTheStyleSheetsUnderTheirBareNames)
{
    ASSERT_TRUE(Start());
    CCustomerStyleSheetList& list = GetCustomerStyleSheetList();
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        names.emplace_back(list.GetItemName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"!None", "Customer A", "Customer B", "Customer C", "Customer D",
                                               "Customer E"}));
}

TEST_F(DemoCustomers, TheOptionsAndStyleSheetsNameLooksAndSoundsThatExist)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    CCustomerOptions& options = GetCustomerOptions();
    EXPECT_GT(options.m_MoveSpeed, 0.0f) << "a refused customer walks back to the line";
    EXPECT_GT(options.m_BuildPhaseDrawOrder.GetCount(), 0u) << "an order shows in the balloon";
    for (int32_t sequence : {options.m_BalloonAppearance, options.m_NeedMenuAppearance, options.m_FullHeartSequence,
                             options.m_EmptyHeartSequence, options.m_EmptyHeartWarningSequence,
                             options.m_CustomerHighlightSequence})
        EXPECT_GT(sequence, 0);

    CAudioList& audio = GetAudioList();
    for (const char* name : {"Customer A", "Customer B"}) {
        SCOPED_TRACE(name);
        const int32_t index = GetCustomerStyleSheetList().Find(name);
        ASSERT_GT(index, 0);
        CCustomerStyleSheet* style = GetCustomerStyleSheet(index);
        ASSERT_NE(style, nullptr);
        CSequence* look = GetSequenceList().GetObject(style->m_Appearance);
        ASSERT_NE(look, nullptr);
        EXPECT_EQ(look->GetFrameCount(), 7u) << "six faces and the pose";
        EXPECT_GT(style->m_AngryBackground, 0);
        for (int32_t sound : {style->m_ThinkingAudio, style->m_ReadyToOrderAudio, style->m_MadFlashingStartedAudio,
                              style->m_ArrivedAudio, style->m_LeavingAudio})
            EXPECT_GT(sound, 0);
    }
    EXPECT_GT(audio.Find("Customer Thinking"), 0);
    for (const char* period : {"Period 1", "Period 2"}) {
        auto* p = static_cast<CPeriod*>(GetPeriodList().GetItemObject(GetPeriodList().Find(period)));
        ASSERT_NE(p, nullptr) << period;
        EXPECT_GT(p->m_PhoneRingAudio, 0) << period;
        EXPECT_GT(p->m_GreeterRingAudio, 0) << period;
    }
}

} // namespace

namespace {

// The game as the launcher runs it: the player answers a customer with a
// click and drags it onto a house built to its order.
class DemoCustomersInPlay : public CDemoGameTest {
protected:
    void Mouse(plat::WindowEvent::Kind kind, CFPoint at, bool held, bool down = false)
    {
        plat::WindowEvent event;
        event.kind = kind;
        event.x = int32_t(at.x);
        event.y = int32_t(at.y);
        event.button = 1;
        event.down = down;
        event.heldButtons = held ? 1u : 0u;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        ASSERT_TRUE(Pass(17));
    }
    void Click(CFPoint at)
    {
        Mouse(plat::WindowEvent::Kind::MouseMove, at, false);
        Mouse(plat::WindowEvent::Kind::MouseButton, at, true, true);
        Mouse(plat::WindowEvent::Kind::MouseButton, at, false, false);
    }
    void Drag(CFPoint from, CFPoint to)
    {
        Mouse(plat::WindowEvent::Kind::MouseMove, from, false);
        Mouse(plat::WindowEvent::Kind::MouseButton, from, true, true);
        for (int step = 1; step <= 12; ++step)
            Mouse(plat::WindowEvent::Kind::MouseMove,
                  CFPoint{from.x + (to.x - from.x) * float(step) / 12.0f, from.y + (to.y - from.y) * float(step) / 12.0f},
                  true);
        Mouse(plat::WindowEvent::Kind::MouseButton, to, false, false);
    }
    // The first customer in line once it stands there, or null.
    CCustomer* FirstCustomerInLine(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            CPlayfieldLayer* line = GetCurrentPlayfield()->FindLayer("Customers");
            if (line && line->GetSpriteCount() > 0 && line->GetSprite(0)->GetPosition().x > -999.0f)
                return dynamic_cast<CCustomer*>(line->GetSprite(0)->FindAI(CCustomer::SGetClassInfo()));
            if (!Pass(17))
                return nullptr;
        }
        return nullptr;
    }
    // Takes the greeter's and the deliverer's buttons off the bar, so the
    // customers wait for the player's click and drop.
    static void SendTheHelpersHome()
    {
        CPlayfieldLayer* ui = GetCurrentPlayfield()->FindLayer("UI");
        for (uint32_t i = 0; ui && i < ui->GetSpriteCount(); ++i)
            if (ui->GetSprite(i)->FindAI(CGreeterUpgradeButton::SGetClassInfo()) ||
                ui->GetSprite(i)->FindAI(CDelivererUpgradeButton::SGetClassInfo()))
                ui->GetSprite(i)->MarkForDeletion();
    }

};

// A customer's looks are built from their pictures on first use (the data
// copy has no cache), and the build lets the window's messages through: a
// word typed since the pass began arrives there, with the customer half made.
TEST_F(DemoCustomersInPlay, TheFinishWordTypedWhileACustomersLooksAreBuiltFinishesTheStreetAfterwards)
{
    const CScopedThrowingFatal throwing;
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Pass(17));
    std::vector<std::string> heard;
    auto* ear = new CSprite;
    ear->AddAI(new CMessageEarAI(heard));
    GetCurrentPlayfield()->AddSprite(ear, "Effects");
    for (const char* c = "zorpCompleteTier"; *c; ++c) {
        plat::WindowEvent event;
        event.kind = plat::WindowEvent::Kind::Char;
        event.character = uint8_t(*c);
        m_Platform.GetHeadlessWindow().PushEvent(event);
    }
    // The street's update when the first customer is due: it comes, then
    // its first update asks for its looks.
    CSprite* sprite = SpawnCustomer();
    ASSERT_NE(sprite, nullptr);
    try {
        GetCurrentPlayfield()->Update(1.0f / 60.0f);
    } catch (const CFatalErrorException& fatal) {
        FAIL() << fatal.message;
    }
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "PlayerInteractionComplete"), 0)
        << "nothing runs inside the build";
    CSequence* looks = sprite->GetImageSequence();
    ASSERT_NE(looks, nullptr);
    EXPECT_EQ(looks->GetFrameCount(), 7u) << "the customer is whole";

    ASSERT_TRUE(Pass(17));
    // The word ran once the build was over: the street is finished.
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "PlayerInteractionComplete"), 1);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "LevelComplete"), 1);
}

TEST_F(DemoCustomersInPlay, AClickAnswersACustomerAndADropOnAHouseBuiltToItsOrderMovesItInAndPays)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Pass(17));
    SendTheHelpersHome();
    // The town's flag holds the customers back for five seconds.
    CCustomer* customer = FirstCustomerInLine(60 * 8);
    ASSERT_NE(customer, nullptr);
    CSprite* sprite = customer->GetSprite();
    EXPECT_TRUE(customer->IsWaitingToBeAnswered());
    ASSERT_NE(customer->GetStyleSheet(), nullptr);
    // A heart for every ten seconds of patience: 9 or 7.5 hearts on arrival.
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(),
                    (customer->GetStyleSheet()->m_MaximumWait - customer->m_TimeWaited) / 10.0f);
    EXPECT_GT(customer->GetHeartsLeft(), 7.0f);

    Click(sprite->GetPosition());
    EXPECT_TRUE(customer->IsDecidingOrder()) << "the click answers";
    EXPECT_EQ(GetDraggedSprite(), nullptr) << "and does not pick the customer up";
    // The balloon shows a different house every frame while it thinks.
    for (int i = 0; i < 60 * 2 && customer->IsDecidingOrder(); ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(customer->IsDecidingOrder()) << "decided after its thinking time";
    ASSERT_NE(customer->GetPackageWanted(), nullptr);

    // A house built to the order stands on the lot in the middle of the
    // town: Town's customers take the cottage bare, as the crew leaves it.
    CLot* lot = GetLotLayer()->FindLot(1, 1);
    ASSERT_NE(lot, nullptr);
    ASSERT_NE(lot->GetBuilding(), nullptr);
    CBuildablePackage& house = *lot->GetBuilding();
    const int32_t cottage = GetUpgradeList().Find("Cottage");
    ASSERT_NE(GetBuildablePart(cottage), nullptr);
    house.StartBuilding(*GetBuildablePart(cottage), cottage, nullptr);
    house.FinishBuilding();
    ASSERT_FALSE(house.IsFullyPainted());
    ASSERT_TRUE(house.HasSamePartsAs(customer->GetPackageWanted()));
    EXPECT_TRUE(lot->CanHouse(customer));

    // The career's rule: an order that asks for paint takes no house whose
    // parts still wait for it, not even from the deliverer.
    CGameState* state = CGameState::SGetCurrent();
    const int32_t deliverer = GetUpgradeList().Find("Deliverer");
    const uint32_t color = uint32_t(GetColorPhase());
    state->ReceiveUpgrade(deliverer);
    customer->GetPackageWanted()->m_Parts[color] = house.m_Parts[color] = GetUpgradeList().Find("Lemon Paint");
    EXPECT_FALSE(lot->CanHouse(customer));
    EXPECT_FALSE(lot->TryDeliverCustomer());
    EXPECT_TRUE(lot->IsVacant());
    state->RemoveUpgrade(deliverer);
    customer->GetPackageWanted()->m_Parts[color] = house.m_Parts[color] = 0;
    const float revenueBefore = CGameState::SGetCurrent()->m_RevenueK;
    ASSERT_TRUE(Pass(17));
    EXPECT_TRUE(lot->IsVacant()) << "nobody moves in before the drop";

    // A painted house with a garage the order lacks is refused with a word.
    CLot* garaged = GetLotLayer()->FindLot(0, 1);
    ASSERT_NE(garaged, nullptr);
    for (const char* name : {"Cottage", "Single Garage", "Lemon Paint"}) {
        const int32_t part = GetUpgradeList().Find(name);
        ASSERT_NE(GetBuildablePart(part), nullptr) << name;
        garaged->GetBuilding()->StartBuilding(*GetBuildablePart(part), part, nullptr);
        garaged->GetBuilding()->FinishBuilding();
    }
    customer->GetPackageWanted()->m_Parts[color] = GetUpgradeList().Find("Lemon Paint");
    garaged->MoveIn(customer, true);
    EXPECT_TRUE(garaged->IsVacant());
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "That is not what was ordered.");
    customer->GetPackageWanted()->m_Parts[color] = 0;

    const CFPoint home = GetLotLayer()->LayerToScreen(lot->GetSprite()->GetPosition());
    Drag(sprite->GetPosition(), home);
    EXPECT_EQ(customer->GetState(), int32_t(CCustomer::kInVictoryPose));
    EXPECT_FALSE(lot->IsVacant());
    EXPECT_GT(CGameState::SGetCurrent()->m_RevenueK, revenueBefore) << "the lot pays the move-in";

    // The script ends the pose after a second; the customer walks home and
    // its sprite goes.
    bool gone = false;
    for (int i = 0; i < 60 * 4 && !gone; ++i) {
        ASSERT_TRUE(Pass(17));
        gone = GetCurrentPlayfield()->FindLayerOfSprite(sprite) == nullptr;
    }
    EXPECT_TRUE(gone);
}

} // namespace
