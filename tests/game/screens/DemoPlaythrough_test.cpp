// The whole demo road in the real program on the headless platform, from no
// "Stats.dat", by injected clicks, drags and keys only: the main menu, a new
// player named in the dialog, the story with the tutorial skipped, the first
// career street played to its results (customers answered, houses built
// from the bar's buttons, customers dropped on them), the map, the shop and
// the next street's introduction, the pause menu, the way out; then a second
// start that finds the profile as it was left.
//
// What to click is read from the running game (windows' buttons, lots,
// customers in line, the bar's buttons), never from fixed places, so the
// data may move things around.
#include "ScreensGameTest.h"

#include "foundation/CRandomGenerator.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CUpgradeButton.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// What the player did in a street, counted by the test's hand.
struct SPlayRecord {
    uint32_t answered = 0;     // customers clicked while waiting
    uint32_t partsDragged = 0; // bar buttons dropped on lots that took them
    uint32_t droppedHome = 0;  // customers dropped on their houses and moved in
};

class DemoPlaythrough : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        // The program opens on its main menu.
        InstallMainMenuScreen();
        ReadList(GetDecadeTransitionList());
        ReadList(GetAchievementList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards", "LifeRewards");
    }

    // --- the player's hands ---

    void Mouse(plat::WindowEvent::Kind kind, CPoint at, bool held, bool down = false)
    {
        plat::WindowEvent event;
        event.kind = kind;
        event.x = at.x;
        event.y = at.y;
        event.button = 1;
        event.down = down;
        event.heldButtons = held ? 1u : 0u;
        m_Platform.GetHeadlessWindow().PushEvent(event);
        ASSERT_TRUE(Pass(17));
    }
    void Click(CPoint at)
    {
        Mouse(plat::WindowEvent::Kind::MouseMove, at, false);
        Mouse(plat::WindowEvent::Kind::MouseButton, at, true, true);
        Mouse(plat::WindowEvent::Kind::MouseButton, at, false, false);
    }
    // As long as a person's drag: a lot takes no drop within 0.15 s of a press.
    void Drag(CPoint from, CPoint to)
    {
        Mouse(plat::WindowEvent::Kind::MouseMove, from, false);
        Mouse(plat::WindowEvent::Kind::MouseButton, from, true, true);
        for (int32_t step = 1; step <= 12; ++step)
            Mouse(plat::WindowEvent::Kind::MouseMove,
                  CPoint{from.x + (to.x - from.x) * step / 12, from.y + (to.y - from.y) * step / 12}, true);
        Mouse(plat::WindowEvent::Kind::MouseButton, to, false, false);
        Mouse(plat::WindowEvent::Kind::MouseMove, CPoint{to.x + 1, to.y}, false);
    }
    void Type(const char* text)
    {
        for (const char* c = text; *c; ++c) {
            plat::WindowEvent event;
            event.kind = plat::WindowEvent::Kind::Char;
            event.character = uint8_t(*c);
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(2);
    }
    // Lets the game run; frames of about 50 ms (three updates and a draw)
    // while nobody touches anything.
    void Wait(float seconds)
    {
        for (int i = 0; i < int(seconds * 20.0f) + 1; ++i)
            ASSERT_TRUE(Pass(50));
    }
    // Runs until the window shows (at most the seconds); null when it never did.
    template <typename Window>
    Window* WaitFor(Window* (*get)(), float seconds)
    {
        for (int i = 0; i < int(seconds * 20.0f) && !get(); ++i)
            if (!Pass(50))
                return nullptr;
        return get();
    }
    // A window's button once its timeline lets it take clicks.
    void Press(CJWindow* button)
    {
        ASSERT_NE(button, nullptr);
        ClickMiddle(*button);
    }

    // --- what the player sees of a street ---

    static CPoint ToScreen(CPlayfieldLayer& layer, CSprite& sprite)
    {
        const CFPoint at = layer.LayerToScreen(sprite.GetPosition());
        return CPoint{int32_t(at.x), int32_t(at.y)};
    }
    static CPlayfieldLayer* Layer(const char* name)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        return playfield ? playfield->FindLayer(name) : nullptr;
    }
    static std::vector<CLot*> Lots()
    {
        std::vector<CLot*> lots;
        CLotPlayfieldLayer* layer = GetLotLayer();
        for (uint32_t i = 0; layer && i < layer->GetSpriteCount(); ++i)
            if (CLot* lot = CLot::SFromSprite(layer->GetSprite(i)))
                lots.push_back(lot);
        return lots;
    }
    // The customers on the playfield that stand in the line.
    static std::vector<CCustomer*> Customers()
    {
        std::vector<CCustomer*> out;
        CPlayfieldLayer* line = Layer("Customers");
        for (uint32_t i = 0; line && i < line->GetSpriteCount(); ++i) {
            CSprite* sprite = line->GetSprite(i);
            auto* customer = dynamic_cast<CCustomer*>(sprite->FindAI(CCustomer::SGetClassInfo()));
            // Arrivals wait off screen until their place comes.
            if (customer && sprite->GetPosition().x > -999.0f)
                out.push_back(customer);
        }
        return out;
    }
    static bool StillInLine(const CCustomer* customer)
    {
        const std::vector<CCustomer*> line = Customers();
        return std::find(line.begin(), line.end(), customer) != line.end();
    }
    // The bar's button holding the upgrade; null when the bar has none.
    static CSprite* BarButton(int32_t upgrade)
    {
        CPlayfieldLayer* ui = Layer("UI");
        for (uint32_t i = 0; ui && i < ui->GetSpriteCount(); ++i) {
            auto* button = dynamic_cast<CUpgradeButton*>(ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo()));
            if (button && button->GetUpgradeIndex() == upgrade && button->IsUsedOnLot())
                return ui->GetSprite(i);
        }
        return nullptr;
    }
    static bool AnyBuilding()
    {
        for (CLot* lot : Lots())
            if (lot->GetBuilding() && lot->GetBuilding()->IsBeingConstructed())
                return true;
        return false;
    }
    // The part the lot still lacks for the order, frame first and paint
    // last; 0 when the house is as ordered.
    static int32_t NextPart(const CLot& lot, const CBuildablePackage& order)
    {
        std::vector<int32_t> phases{GetFramePhase()};
        for (int32_t phase = 0; phase < int32_t(order.m_Parts.GetCount()); ++phase)
            if (phase != GetFramePhase() && phase != GetColorPhase())
                phases.push_back(phase);
        phases.push_back(GetColorPhase());
        for (int32_t phase : phases) {
            if (phase < 0 || uint32_t(phase) >= order.m_Parts.GetCount())
                continue;
            const int32_t wanted = order.m_Parts[uint32_t(phase)];
            if (wanted != 0 && lot.GetBuildingPart(phase) != wanted)
                return wanted;
        }
        return 0;
    }
    // A lot the player builds on for a customer, and the order it is built
    // for. A customer who left may be followed by a new one at the same
    // address, so an address alone never says whose lot it is: the order
    // and the lot's vacancy must still match.
    struct SHome {
        CLot* lot = nullptr;
        std::vector<int32_t> order;
    };
    using Homes = std::map<CCustomer*, SHome>;
    static std::vector<int32_t> Parts(const CBuildablePackage& order)
    {
        std::vector<int32_t> parts;
        for (uint32_t i = 0; i < order.m_Parts.GetCount(); ++i)
            parts.push_back(order.m_Parts[i]);
        return parts;
    }
    static bool StillHome(CCustomer* customer, const SHome& home)
    {
        return StillInLine(customer) && customer->GetPackageWanted()
               && Parts(*customer->GetPackageWanted()) == home.order && home.lot->IsVacant();
    }
    // An empty vacant lot no customer waits for.
    static CLot* FreeLot(const Homes& homes)
    {
        for (CLot* lot : Lots()) {
            bool taken = false;
            for (const auto& [customer, home] : homes)
                taken = taken || home.lot == lot;
            if (!taken && lot->IsVacant() && lot->GetBuilding() && !lot->GetBuilding()->HasParts())
                return lot;
        }
        return nullptr;
    }
    // Tutorial messages open on the playfield.
    static bool MessageOpen()
    {
        CPlayfieldLayer* effects = Layer("Effects");
        for (uint32_t i = 0; effects && i < effects->GetSpriteCount(); ++i)
            if (effects->GetSprite(i)->FindAI(CTutorialPopUpSpriteAI::SGetClassInfo()))
                return true;
        return false;
    }

    // Plays the street in front by clicks and drags until a screen covers
    // it: answers the waiting customers, builds each decided order on a
    // free lot one part at a time from the bar, and drops the customer on
    // its finished house.
    void PlayStreet(SPlayRecord& record, float seconds)
    {
        Homes homes;
        for (int round = 0; round < int(seconds * 10.0f); ++round) {
            if (GetEndOfLevelWindow() || GetNewTrophyEarnedMenu() || GetTutorialEndOfLevelWindow()
                || !CLevelOptions::SGetCurrent())
                return;
            if (MessageOpen()) {
                // A click on the sky closes a message that waits for one.
                Click(CPoint{600, 120});
                continue;
            }
            for (auto it = homes.begin(); it != homes.end();)
                it = StillHome(it->first, it->second) ? std::next(it) : homes.erase(it);
            bool acted = false;
            CPlayfieldLayer* line = Layer("Customers");
            for (CCustomer* customer : Customers()) {
                if (customer->IsWaitingToBeAnswered()) {
                    Click(ToScreen(*line, *customer->GetSprite()));
                    ++record.answered;
                    acted = true;
                    break;
                }
                const CBuildablePackage* order = customer->GetPackageWanted();
                // A thinking customer's balloon changes its house every frame.
                if (!order || customer->IsDecidingOrder() || customer->GetState() != CCustomer::kIdle)
                    continue;
                auto found = homes.find(customer);
                if (found == homes.end()) {
                    CLot* lot = FreeLot(homes);
                    if (!lot)
                        continue;
                    found = homes.emplace(customer, SHome{lot, Parts(*order)}).first;
                }
                CLot* home = found->second.lot;
                if (home->CanHouse(customer)) {
                    Drag(ToScreen(*line, *customer->GetSprite()), ToScreen(*GetLotLayer(), *home->GetSprite()));
                    record.droppedHome += home->IsVacant() ? 0u : 1u;
                    acted = true;
                    break;
                }
                if (AnyBuilding())
                    continue;
                const int32_t part = NextPart(*home, *order);
                if (part == 0)
                    continue;
                CSprite* button = BarButton(part);
                ASSERT_NE(button, nullptr)
                    << "the bar offers every part a customer orders: " << GetUpgradeList().GetItemName(part);
                Drag(ToScreen(*Layer("UI"), *button), ToScreen(*GetLotLayer(), *home->GetSprite()));
                record.partsDragged += home->GetBuilding()->m_BeingConstructed == part ? 1u : 0u;
                acted = true;
                break;
            }
            if (!acted) {
                ASSERT_TRUE(Pass(50));
            }
            ASSERT_TRUE(Pass(50));
        }
        FAIL() << "the street did not end in time";
    }

    // Clicks "Done" on every trophy announced; the names announced.
    std::vector<std::string> DismissTrophies()
    {
        std::vector<std::string> shown;
        while (CNewTrophyEarnedMenu* menu = GetNewTrophyEarnedMenu()) {
            CAchievementHistory* history = GetAchievementHistory();
            if (history && history->GetFirstToShow())
                shown.push_back(
                    GetAchievementList().GetItemName(GetAchievementList().FindObjectIndex(history->GetFirstToShow())));
            Wait(1.5f);
            if (!menu->GetDefaultButton())
                break;
            Press(menu->GetDefaultButton());
            Passes(2);
            if (shown.size() > 20)
                break;
        }
        return shown;
    }
};

TEST_F(DemoPlaythrough, ANewPlayerSkipsTheTutorialWinsTheFirstStreetShopsStartsTheNextQuitsAndIsFoundAgain)
{
    ASSERT_FALSE(DiskHas("Stats.dat"));
    ASSERT_TRUE(Start());
    Passes(2);
    CMainMenu* menu = GetMainMenu();
    ASSERT_NE(menu, nullptr) << "the program opens on its main menu";

    // "Play" asks a first run's player for a name.
    Press(menu->GetButton("PlayGame"));
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    Type("Mira");
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitleText(), "Mira");
    Press(dialog->GetSaveButton());
    ASSERT_EQ(GetNewPlayerDialog(), nullptr);

    // The story offers to skip the tutorial; skipped, its second page leads
    // into the career.
    CStoryWindow* story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetPage(), 0u);
    Wait(1.0f);
    Press(story->GetSkipButton());
    story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetPage(), 1u);
    EXPECT_EQ(story->GetSkipButton(), nullptr);
    EXPECT_TRUE(Player().IsLastTutorialLevelCompleted()) << "skipping counts the tutorial as done";
    Wait(1.0f);
    Press(story->GetDefaultButton());
    ASSERT_EQ(GetStoryWindow(), nullptr);

    // The period's transition, then the street's introduction.
    CDecadeTransitionWindow* transition = WaitFor(&GetDecadeTransitionWindow, 2.0f);
    ASSERT_NE(transition, nullptr) << "a career opens with its period";
    Wait(5.0f);
    Press(transition->GetDefaultButton());
    ASSERT_EQ(GetDecadeTransitionWindow(), nullptr);
    CLevelIntroWindow* intro = WaitFor(&GetLevelIntroWindow, 2.0f);
    ASSERT_NE(intro, nullptr);
    Wait(1.0f);
    Press(intro->GetDefaultButton());
    ASSERT_EQ(GetLevelIntroWindow(), nullptr);

    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    const uint32_t first = GetCurrentLevelIndex();
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    EXPECT_FALSE(level->m_IsTutorialLevel);
    EXPECT_EQ(first, 0u) << "the first career street";
    EXPECT_LT(first, levels->GetFirstTutorialLevelIndex());
    const std::string firstName = level->m_DisplayName.GetText().GetString();

    // The street, played by hand to its end.
    SPlayRecord record;
    ASSERT_NO_FATAL_FAILURE(PlayStreet(record, 240.0f));
    const uint32_t customers = uint32_t(level->m_Customers);
    EXPECT_GE(record.answered, 1u) << "customers answered by a click";
    EXPECT_EQ(record.droppedHome, customers) << "every customer moved in by the player's drop";
    EXPECT_GE(record.partsDragged, customers) << "every house built from the bar";
    EXPECT_GE(CGameState::SGetCurrent()->m_RevenueK, level->m_RequiredRevenue);

    // Trophies are announced around the results, which count up first.
    std::vector<std::string> trophies = DismissTrophies();
    CEndOfLevelWindow* results = WaitFor(&GetEndOfLevelWindow, 5.0f);
    ASSERT_NE(results, nullptr) << "the results of a career street";
    Wait(6.0f);
    for (const std::string& name : DismissTrophies())
        trophies.push_back(name);
    ASSERT_EQ(GetEndOfLevelWindow(), results);
    // Customers served while still cheerful pay a move-in bonus, shown in
    // the results.
    EXPECT_GT(CGameState::SGetCurrent()->GetEarlyMoveInBonusTotal(), 0.0f);
    {
        CTextSubstitutionList values;
        results->FillSubstitutions(values);
        const std::string bonus = values.Apply(CJString("%s[TotalEarlyMoveInBonus]")).GetString();
        EXPECT_NE(bonus, "0") << "the results' move-in bonuses";
        EXPECT_NE(bonus, "");
    }
    Press(results->GetDefaultButton());
    for (const std::string& name : DismissTrophies())
        trophies.push_back(name);

    // The map, the next street chosen; "Play" leads through the shop.
    CTownMapWindow* map = WaitFor(&GetTownMapWindow, 3.0f);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetSelectedLevel(), first + 1);
    Wait(2.0f);
    Press(map->GetButton("Continue"));
    CShopWindow* shop = WaitFor(&GetShopWindow, 2.0f);
    ASSERT_NE(shop, nullptr);
    Wait(1.0f);
    // The money of the won street buys the first offer it can pay for.
    int32_t bought = 0, boughtSlot = 0;
    // A purchase makes the shop's scene anew: everything is looked up again.
    for (uint32_t i = 0; Layer("UI") && i < Layer("UI")->GetSpriteCount() && !bought; ++i) {
        CSprite* sprite = Layer("UI")->GetSprite(i);
        auto* slot = dynamic_cast<CShoppingUpgradeButton*>(sprite->FindAI(CShoppingUpgradeButton::SGetClassInfo()));
        if (!slot || slot->GetOffered() == 0)
            continue;
        const int32_t offered = slot->GetOffered();
        const int32_t slotIndex = slot->m_UpgradeSlot;
        Click(ToScreen(*Layer("UI"), *sprite));
        Passes(2);
        CJButton* buy = shop->GetBuyButton();
        if (buy && buy->IsEnabledWithParent() && buy->IsVisible()) {
            Press(buy);
            if (CGameState::SGetCurrent()->GetUpgradeInSlot(slotIndex) == offered) {
                bought = offered;
                boughtSlot = slotIndex;
            }
        }
    }
    EXPECT_NE(bought, 0) << "a won street pays for something in the shop";
    Press(shop->GetDefaultButton());
    ASSERT_EQ(GetShopWindow(), nullptr);
    intro = WaitFor(&GetLevelIntroWindow, 2.0f);
    ASSERT_NE(intro, nullptr);
    Wait(1.0f);
    Press(intro->GetDefaultButton());
    ASSERT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), first + 1);
    ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_NE(CLevelOptions::SGetCurrent()->m_DisplayName.GetText().GetString(), firstName);
    if (bought) {
        EXPECT_EQ(CGameState::SGetCurrent()->GetUpgradeInSlot(boughtSlot), bought) << "the next street plays with it";
    }

    // The HUD's menu button pauses the street; quitting it leads back over
    // the map to the main menu, and "Exit" ends the program.
    Wait(1.0f);
    auto* hud = dynamic_cast<CHUD*>(Layer("HUD"));
    ASSERT_NE(hud, nullptr);
    ASSERT_NE(hud->GetMenuControl(), nullptr);
    {
        const CRect rect = hud->GetMenuControl()->GetRect();
        Click(CPoint{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }
    CPauseMenuWindow* pause = WaitFor(&GetPauseMenuWindow, 1.0f);
    ASSERT_NE(pause, nullptr);
    Wait(1.0f);
    Press(pause->GetQuitButton());
    ASSERT_EQ(GetPauseMenuWindow(), nullptr);
    map = WaitFor(&GetTownMapWindow, 2.0f);
    ASSERT_NE(map, nullptr);
    Wait(2.0f);
    Press(map->GetButton("Quit"));
    menu = WaitFor(&GetMainMenu, 2.0f);
    ASSERT_NE(menu, nullptr);
    Wait(1.0f);
    const uint32_t stars = Player().GetStarCount();
    EXPECT_GT(stars, 0u);
    const uint32_t earned = GetAchievementHistory()->m_AchievementIndexesHaveBeenEarned.GetCount();
    ASSERT_NE(menu->GetButton("Exit"), nullptr);
    const CRect exit = menu->GetButton("Exit")->GetScreenRect();
    PushClick((exit.left + exit.right) / 2, (exit.top + exit.bottom) / 2);
    bool running = true;
    for (int i = 0; i < 10 && running; ++i)
        running = Pass(17);
    EXPECT_FALSE(running) << "Exit ends the program";
    EndRun();
    ASSERT_TRUE(DiskHas("Stats.dat"));

    // The next start finds the player with the street won.
    ASSERT_TRUE(Start());
    Passes(2);
    ASSERT_NE(GetMainMenu(), nullptr);
    CPlayerStats& again = Player();
    EXPECT_STREQ(again.m_Name.GetString(), "Mira");
    EXPECT_TRUE(again.IsLastTutorialLevelCompleted());
    ASSERT_NE(again.FindLevelStats(first), nullptr);
    EXPECT_TRUE(again.FindLevelStats(first)->HasBeenCompleted());
    EXPECT_EQ(again.GetLastCompletedCareerLevel(), int32_t(first));
    EXPECT_EQ(again.GetStarCount(), stars);
    ASSERT_NE(GetAchievementHistory(), nullptr);
    EXPECT_EQ(GetAchievementHistory()->m_AchievementIndexesHaveBeenEarned.GetCount(), earned);
    EXPECT_GE(earned, 1u) << "a plainly won first street earns a trophy";
    for (const std::string& name : trophies)
        EXPECT_TRUE(GetAchievementHistory()->HasBeenEarned(GetAchievementList().Find(name.c_str()))) << name;
}

// Whatever a customer of the demo orders, the lots can take it in: a part
// that waits for paint comes with the paint, or the house would never be
// finished for its customer.
TEST_F(DemoPlaythrough, EveryOrderACustomerCanMakeNamesThePaintItsPartsWaitFor)
{
    ASSERT_TRUE(Start());
    Passes(2);
    CRandomGenerator random;
    random.Seed(51);
    CBuildablePackage order;
    const int32_t color = GetColorPhase();
    ASSERT_GE(color, 0);
    for (int i = 0; i < 300; ++i) {
        order.MakeRandomWish(random);
        bool waitsForPaint = false;
        for (uint32_t phase = 0; phase < order.m_Parts.GetCount(); ++phase) {
            CBuildPhase* kind = GetBuildPhaseAt(int32_t(phase));
            waitsForPaint = waitsForPaint || (order.m_Parts[phase] != 0 && kind && kind->m_GetsColored);
        }
        if (waitsForPaint) {
            ASSERT_NE(order.m_Parts[uint32_t(color)], 0) << "order " << i;
        }
    }
}

} // namespace
