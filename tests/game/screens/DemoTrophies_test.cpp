// The demo's own trophies, advice and life reward, and the road a player
// takes through them in the running game: the first street entered through
// its transition, trophies earned by play, announced at the level's end, the
// trophy room opened from the announcement, and the next start finding them
// in the profile.
#include "ScreensGameTest.h"

#include "game/business/CCustomerArrivals.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

class DemoTrophies : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
        ReadList(GetAchievementList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards", "LifeRewards");
    }
    static int32_t Trophy(const char* name) { return GetAchievementList().Find(name); }
    // The trophy on the card now, by name; "" without a card.
    static std::string Announced()
    {
        CAchievementHistory* history = GetAchievementHistory();
        if (!GetNewTrophyEarnedMenu() || !history || !history->GetFirstToShow())
            return "";
        return GetAchievementList().GetItemName(GetAchievementList().FindObjectIndex(history->GetFirstToShow()));
    }
    // From the street's results over the map, the shop and the introduction
    // into the next street.
    void OnToTheNextStreet()
    {
        CEndOfLevelWindow* results = GetEndOfLevelWindow();
        ASSERT_NE(results, nullptr);
        Seconds(5.0f);
        ClickOn(results->GetDefaultButton());
        ASSERT_NE(GetTownMapWindow(), nullptr);
        Seconds(1.5f);
        ClickOn(GetTownMapWindow()->GetButton("Continue"));
        ASSERT_NE(GetShopWindow(), nullptr);
        ClickOn(GetShopWindow()->GetDefaultButton());
        ASSERT_NE(GetLevelIntroWindow(), nullptr);
        ClickOn(GetLevelIntroWindow()->GetDefaultButton());
        ASSERT_EQ(GetLevelIntroWindow(), nullptr);
    }
    static int32_t Sequence(const std::string& name) { return GetSequenceList().Find(name.c_str()); }
    // The trophies of the profile, by name.
    static std::set<std::string> Earned()
    {
        std::set<std::string> names;
        for (const char* name : kAwardedTrophies)
            if (GetAchievementHistory()->HasBeenEarned(Trophy(name)))
                names.insert(name);
        return names;
    }

};

// Every name the award checks look up is a trophy with pictures that draw,
// placed once in the room; the advice, the reward and the menus the screens
// find by name are there.
TEST_F(DemoTrophies, TheDataHoldsEveryTrophyAndTheScreensSets)
{
    ASSERT_TRUE(Start());
    CAchievementList& trophies = GetAchievementList();
    EXPECT_EQ(trophies.GetCount(), 13) << "the twelve and the none placeholder";
    for (const char* name : kAwardedTrophies) {
        const int32_t index = Trophy(name);
        ASSERT_GT(index, 0) << name;
        CAchievement* trophy = trophies.GetObject(index);
        EXPECT_FALSE(trophy->m_DisplayName.GetTranslation().IsEmpty()) << name;
        EXPECT_FALSE(trophy->m_JustEarnedDescription.GetTranslation().IsEmpty()) << name;
        EXPECT_EQ(trophy->m_EarnedImage, Sequence(std::string("Trophy ") + name)) << name;
        for (int32_t image : {trophy->m_EarnedImage, trophy->m_UnEarnedImage, trophy->m_HoverSequence,
                              trophy->m_NewTrophyEarnedMenuImage}) {
            ASSERT_GT(image, 0) << name;
            EXPECT_NE(GetSequenceList().GetObject(image)->GetFrame(0), nullptr) << name;
        }
    }
    EXPECT_GT(GetAchievementOptions().m_JustEarnedSound, 0) << "an earned trophy chimes";
    EXPECT_EQ(GetGameScreensHooks().GetWatchedUpgradeSlot(), GetUpgradeSlotList().Find("Paint B"))
        << "sky blue houses are the blue model homes";

    CFrameOverlayOptions* room = FindFrameOverlayOptions("Trophy Screen Overlay");
    ASSERT_NE(room, nullptr);
    std::multiset<int32_t> placed;
    for (uint32_t i = 0; i < room->GetOverlayCount(); ++i)
        if (auto* spot = dynamic_cast<CAchievementFrameOverlayOverlay*>(room->GetOverlay(i)))
            placed.insert(spot->m_Achievement);
    for (const char* name : kAwardedTrophies)
        EXPECT_EQ(placed.count(Trophy(name)), 1u) << name;
    EXPECT_EQ(placed.size(), 12u);

    CFrameOverlayOptions* announcement = FindNewTrophyEarnedOverlay();
    ASSERT_NE(announcement, nullptr);
    for (const char* id : {"DoneButton", "TrophyRoom"})
        EXPECT_NE(dynamic_cast<CFrameOverlayButton*>(announcement->FindOverlay(CJString(id), nullptr, nullptr)),
                  nullptr)
            << id;
    EXPECT_NE(dynamic_cast<CFrameOverlaySequenceOverlay*>(
                  announcement->FindOverlay(CJString("TrophyImage"), nullptr, nullptr)),
              nullptr);

    // The tenth career street is followed by its reward, with its page and
    // controls.
    CLifeRewards* reward = FindLifeRewardForLevel(9);
    ASSERT_NE(reward, nullptr);
    EXPECT_GT(reward->m_LifeRewardOverlay, 0);
    EXPECT_NE(FindFrameOverlayOptions("LifeRewardControlsOverlay"), nullptr);

    // A first street played without matching gets the matching advice.
    CAdvice* advice = ChooseAdvice(false);
    ASSERT_NE(advice, nullptr);
    EXPECT_FALSE(advice->GetTitle().IsEmpty());
}

TEST_F(DemoTrophies, TheFirstStreetsTrophiesAreAnnouncedShownInTheRoomAndKeptForTheNextStart)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    // A new game opens on the first street's transition.
    CDecadeTransitionWindow* transition = GetDecadeTransitionWindow();
    ASSERT_NE(transition, nullptr);
    Passes(80);
    ASSERT_NE(transition->GetDefaultButton(), nullptr);
    ClickMiddle(*transition->GetDefaultButton());
    ASSERT_EQ(GetDecadeTransitionWindow(), nullptr) << "Continue leads into the street";
    // The street's introduction, then play.
    if (CLevelIntroWindow* intro = GetLevelIntroWindow()) {
        ASSERT_NE(intro->GetDefaultButton(), nullptr);
        ClickMiddle(*intro->GetDefaultButton());
    }
    ASSERT_EQ(GetLevelIntroWindow(), nullptr);
    ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
    const uint32_t screens = App()->GetOpenScreens();

    // Play as the business rules report it: the street's pay and three
    // families moving into sky blue houses.
    CGameState::SGetCurrent()->AddRevenue(60.0f);
    for (int i = 0; i < 3; ++i)
        GetGameScreensHooks().ReportWatchedUpgradeMovedIn(true);
    EXPECT_EQ(Earned(), (std::set<std::string>{"CareerEarningsBronze", "BlueModelHomeMaster", "AccomplishedBuilder"}));
    ASSERT_EQ(GetAchievementHistory()->GetCountToShow(), 3u);

    CompleteLevel();
    CNewTrophyEarnedMenu* menu = GetNewTrophyEarnedMenu();
    ASSERT_NE(menu, nullptr);
    Passes(2);
    auto* picture = dynamic_cast<CFrameOverlaySequenceOverlay*>(
        FindNewTrophyEarnedOverlay()->FindOverlay(CJString("TrophyImage"), nullptr, nullptr));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->m_Sequence, Sequence("Trophy CareerEarningsBronze")) << "the first earned shows first";
    ASSERT_NE(menu->GetDefaultButton(), nullptr);
    ClickMiddle(*menu->GetDefaultButton());
    ASSERT_EQ(GetNewTrophyEarnedMenu(), menu);
    Passes(1);
    EXPECT_EQ(picture->m_Sequence, Sequence("Trophy BlueModelHomeMaster"));

    // "Trophy Room", at its place on the card.
    PushClick(382, 580);
    Passes(3);
    CTrophyRoomWindow* room = GetTrophyRoomWindow();
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr) << "the room takes the card's place";
    // The mouse on the second trophy of the first shelf, earned.
    plat::WindowEvent move;
    move.kind = plat::WindowEvent::Kind::MouseMove;
    move.x = 287;
    move.y = 200;
    m_Platform.GetHeadlessWindow().PushEvent(move);
    Passes(2);
    EXPECT_EQ(GetHoveredTrophy(), Trophy("AccomplishedBuilder"));
    SaveScreenshot("trophy-room.ppm");
    ClickMiddle(*room->GetContinueButton());
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), screens) << "the street plays again";
    EXPECT_TRUE(GetEndOfLevelWindow() || GetTutorialEndOfLevelWindow()) << "its results waited behind the room";

    const uint32_t id = CStats::SGetInstance().GetCurrentPlayer()->m_ID;
    EndRun();
    ASSERT_TRUE(DiskHas("Stats.dat"));

    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    ASSERT_NE(CStats::SGetInstance().GetCurrentPlayer(), nullptr);
    EXPECT_EQ(CStats::SGetInstance().GetCurrentPlayer()->m_ID, id);
    EXPECT_EQ(Earned(), (std::set<std::string>{"CareerEarningsBronze", "BlueModelHomeMaster", "AccomplishedBuilder"}));
    EXPECT_FLOAT_EQ(GetAchievementWorkVariables()->m_CareerRevenueK, 60.0f);
}

// A card left for the trophy room, or dismissed by Enter ("Done"), has told
// its trophy: the next street's end announces only what that street earned.
TEST_F(DemoTrophies, ATrophyCardLeftForTheRoomIsNotShownAgainAfterTheNextStreet)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CGameState::SGetCurrent()->AddRevenue(60.0f);
    CompleteLevel();
    ASSERT_EQ(Announced(), "CareerEarningsBronze");
    Passes(2);
    ClickOn(Button(GetNewTrophyEarnedMenu(), "Trophy Room"));
    ASSERT_NE(GetTrophyRoomWindow(), nullptr);
    ClickOn(GetTrophyRoomWindow()->GetContinueButton());
    ASSERT_NO_FATAL_FAILURE(OnToTheNextStreet());
    CompleteLevel();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr) << "announced again: " << Announced();

    ASSERT_NO_FATAL_FAILURE(OnToTheNextStreet());
    for (int i = 0; i < 3; ++i)
        GetGameScreensHooks().ReportWatchedUpgradeMovedIn(true);
    CompleteLevel();
    ASSERT_EQ(Announced(), "BlueModelHomeMaster");
    Passes(2);
    PressEnter();
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr) << "Enter is \"Done\", not the room";
    ASSERT_NE(GetNewTrophyEarnedMenu(), nullptr) << "Enter steps to the next trophy";
    EXPECT_EQ(Announced(), "AccomplishedBuilder");
    PressEnter();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr) << "Enter leaves the last card";
    ASSERT_NO_FATAL_FAILURE(OnToTheNextStreet());
    CompleteLevel();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr) << "announced again: " << Announced();
}

// The scrapbook opened from the trophy room that stands over a street's
// results covers them: the results are hidden while the viewer is open and
// come back, working, once the viewer and the room are closed.
TEST_F(DemoTrophies, TheScrapbookOverTheResultsHidesThemUntilItCloses)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    CGameState::SGetCurrent()->AddRevenue(60.0f);
    CompleteLevel();
    ASSERT_NE(GetNewTrophyEarnedMenu(), nullptr);
    Passes(2);
    ClickOn(Button(GetNewTrophyEarnedMenu(), "Trophy Room"));
    CTrophyRoomWindow* room = GetTrophyRoomWindow();
    ASSERT_NE(room, nullptr);
    CEndOfLevelWindow* results = GetEndOfLevelWindow();
    ASSERT_NE(results, nullptr) << "the results wait behind the room";
    ClickOn(Button(room, "Scrapbook"));
    CNeighborhoodViewer* viewer = GetNeighborhoodViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(results->IsShownOnScreen()) << "the results show through the scrapbook";

    ClickOn(viewer->GetContinueButton());
    ASSERT_EQ(GetNeighborhoodViewer(), nullptr);
    room = GetTrophyRoomWindow();
    ASSERT_NE(room, nullptr) << "the room comes back";
    results = GetEndOfLevelWindow();
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->IsShownOnScreen());
    ClickOn(room->GetContinueButton());
    ASSERT_EQ(GetTrophyRoomWindow(), nullptr);
    Seconds(5.0f);
    ClickOn(results->GetDefaultButton());
    EXPECT_EQ(GetEndOfLevelWindow(), nullptr);
    EXPECT_NE(GetTownMapWindow(), nullptr) << "the results' Continue leads to the map";
}

} // namespace
