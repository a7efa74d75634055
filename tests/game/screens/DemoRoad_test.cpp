// The demo data's road from level to level in the running game, as a player
// takes it: the first street's tutorial messages, a won street's results
// counting up, "Continue" to the map, the next street through the shop and
// its introduction; the last career street and the ending.
#include "ScreensGameTest.h"

#include "game/business/CCustomerArrivals.h"
#include "game/scripting/CSprite.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CCredits.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/CTips.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPlayfield.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTutorial.h"
#include "game/world/CTypedCommands.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/world/WorldHooks.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class DemoRoad : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
        // The ending names its trophies: an earlier test may have left the
        // list pointing nowhere.
        ReadList(GetAchievementList());
    }
    // The game at its first street, past the opening transition and the
    // street's introduction.
    void StartGame()
    {
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
        ASSERT_TRUE(Pass(17));
        ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
        PlayFromTheIntroduction();
    }
    // The game at the tutorial's first street, which follows the career.
    void StartTutorial()
    {
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
        CLevelSet* levels = FindLevels();
        ASSERT_NE(levels, nullptr);
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            intro->Destroy();
        App()->StartLevelByIndex(levels->GetFirstTutorialLevelIndex());
        ASSERT_TRUE(Pass(17));
        ASSERT_STREQ(CLevelOptions::SGetCurrent()->m_DisplayName.GetText().GetString(), "Town");
        EXPECT_EQ(GetLevelIntroWindow(), nullptr) << "a tutorial street starts without one";
    }
    void PlayFromTheIntroduction()
    {
        CLevelIntroWindow* intro = GetLevelIntroWindow();
        ASSERT_NE(intro, nullptr);
        ClickOn(intro->GetDefaultButton());
        ASSERT_EQ(GetLevelIntroWindow(), nullptr);
    }
    template <typename Window>
    static std::string Value(Window& window, const char* key)
    {
        CTextSubstitutionList values;
        window.FillSubstitutions(values);
        return values.Apply(CJString(key)).GetString();
    }
    // A shown amount of dollars, its group separators dropped.
    template <typename Window>
    static int64_t Dollars(Window& window, const char* key)
    {
        std::string shown = Value(window, key);
        shown.erase(std::remove(shown.begin(), shown.end(), ','), shown.end());
        return std::stoll(shown);
    }
    // From the map through the shop and the introduction into the street,
    // which is won with its goals met; on to its results.
    void PlayAndWin(uint32_t street, int64_t* shopWorth = nullptr)
    {
        CTownMapWindow* map = GetTownMapWindow();
        ASSERT_NE(map, nullptr);
        ClickOn(map->GetLevelButton(street));
        ASSERT_EQ(map->GetSelectedLevel(), street);
        ClickOn(map->GetButton("Continue"));
        CShopWindow* shop = GetShopWindow();
        ASSERT_NE(shop, nullptr);
        if (shopWorth)
            *shopWorth = Dollars(*shop, "%s[NetWorth]");
        ClickOn(shop->GetDefaultButton());
        ASSERT_NO_FATAL_FAILURE(PlayFromTheIntroduction());
        ASSERT_EQ(GetCurrentLevelIndex(), street);
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        for (uint32_t g = 0; g < level->m_OptionalGoals.GetCount(); ++g)
            GetGameScreensHooks().MarkOptionalGoalAchieved(level, g);
        CGameState::SGetCurrent()->m_RevenueK = level->m_RequiredRevenue;
        CompleteLevel();
        // The trophies the street earned come first, one card at a time.
        for (int i = 0; i < 20 && GetNewTrophyEarnedMenu(); ++i) {
            Passes(2);
            ClickOn(GetNewTrophyEarnedMenu()->GetDefaultButton());
        }
        ASSERT_NE(GetEndOfLevelWindow(), nullptr);
        Seconds(6.0f);
    }
    // The map's rewards sequence up to the rewards window it opens.
    void AwaitRewards()
    {
        for (int i = 0; i < 600 && !GetLifeRewardWindow(); ++i)
            Passes(1);
    }
    static CCreditsWindow* Credits()
    {
        CJWindow* screen = CScreenWindow::GetScreenWindow();
        for (CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* credits = dynamic_cast<CCreditsWindow*>(child))
                return credits;
        return nullptr;
    }
};

TEST_F(DemoRoad, TheFirstStreetLeadsThroughItsTutorialMessagesOneClickAtATime)
{
    StartTutorial();
    EXPECT_TRUE(OpenMessages().empty());
    Seconds(3.8f);
    EXPECT_TRUE(OpenMessages().empty()) << "the street shows itself first";
    Seconds(0.3f);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Welcome"});

    // The HUD's menu button takes its click alone: the card waiting for any
    // click stays as it was behind the pause menu.
    ClickMiddle(*GetCurrentPlayfield()->GetHUD()->GetMenuControl());
    Passes(2);
    ASSERT_NE(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Welcome"});
    ClickOn(GetPauseMenuWindow()->GetContinueButton());
    ASSERT_EQ(GetPauseMenuWindow(), nullptr);

    // A restart forgets what this play showed: every lesson starts over,
    // whichever card was open.
    const auto restart = [this] {
        ClickMiddle(*GetCurrentPlayfield()->GetHUD()->GetMenuControl());
        Passes(2);
        ASSERT_NE(GetPauseMenuWindow(), nullptr);
        ClickOn(Button(GetPauseMenuWindow(), "Restart Street"));
        Seconds(3.8f);
        EXPECT_TRUE(OpenMessages().empty());
        Seconds(0.3f);
        EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Welcome"});
    };
    CPlayfieldLayer* lots = GetCurrentPlayfield()->FindLayer("Lot");
    const CFPoint lot = lots->LayerToScreen(lots->GetSprite(0)->GetPosition());
    // A click on the sky closes the welcome; picking up a cottage closes the
    // next; the house it builds finished, the hand-over is shown. Never two
    // at once.
    const auto toHandOver = [&] {
        PushClick(600, 150);
        Seconds(0.1f);
        EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Build"});
        PushClick(600, 150);
        Seconds(0.1f);
        EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Build"}) << "a click elsewhere does not do";
        PushClick(52, 730);
        Seconds(0.1f);
        EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Customers"});
        PushClick(int32_t(lot.x), int32_t(lot.y));
        Seconds(1.0f);
        EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Customers"}) << "while the cottage goes up";
        Seconds(5.0f);
        EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Move In"});
    };
    restart();
    toHandOver();
    restart();
    toHandOver();
    CTutorialHistory* history = GetTutorialHistory();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->m_TutorialIndexesHaveBeenDisplayed.GetCount(), 4u);
    // Quitting leaves none of them seen either.
    ClickMiddle(*GetCurrentPlayfield()->GetHUD()->GetMenuControl());
    Passes(2);
    ClickOn(Button(GetPauseMenuWindow(), "Quit Street"));
    Passes(2);
    EXPECT_EQ(history->m_TutorialIndexesHaveBeenDisplayed.GetCount(), 0u);

    // Every street has its tip and its introduction.
    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    ASSERT_EQ(levels->GetCount(), 12u);
    ASSERT_NE(CTipsOptions::SGetInstance(), nullptr);
    for (uint32_t i = 0; i < levels->GetCount(); ++i) {
        EXPECT_FALSE(CTipsOptions::SGetInstance()->GetTipText(i).IsEmpty()) << i;
        EXPECT_FALSE(levels->GetLevel(i)->m_LevelIntro.IsEmpty()) << i;
    }
}

// A play that never ended keeps none of its lessons: closed mid-lesson, the
// next start leads Town from its welcome again.
TEST_F(DemoRoad, ClosingTheProgramMidLessonKeepsNoneOfThatPlaysLessonsSeen)
{
    StartTutorial();
    Seconds(4.1f);
    ASSERT_EQ(OpenMessages(), std::vector<std::string>{"Town Welcome"});
    PushClick(600, 150);
    Seconds(0.1f);
    PushClick(52, 730);
    Seconds(0.1f);
    ASSERT_EQ(OpenMessages(), std::vector<std::string>{"Town Customers"});
    Push(plat::WindowEvent::Kind::Close);
    for (int i = 0; i < 20 && Pass(17); ++i) {
    }
    EXPECT_EQ(ShutDownStarted(), 0);

    StartTutorial();
    CTutorialHistory* history = GetTutorialHistory();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->m_TutorialIndexesHaveBeenDisplayed.GetCount(), 0u);
    Seconds(4.1f);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Welcome"});

    // Won, and closed at its results: the lessons of a street that ended stay.
    CGameState::SGetCurrent()->m_RevenueK = CLevelOptions::SGetCurrent()->m_RequiredRevenue;
    CompleteLevel();
    for (int i = 0; i < 20 && GetNewTrophyEarnedMenu(); ++i)
        ClickOn(GetNewTrophyEarnedMenu()->GetDefaultButton());
    ASSERT_NE(GetTutorialEndOfLevelWindow(), nullptr);
    Push(plat::WindowEvent::Kind::Close);
    for (int i = 0; i < 20 && Pass(17); ++i) {
    }
    EXPECT_EQ(ShutDownStarted(), 0);
    StartTutorial();
    EXPECT_GT(GetTutorialHistory()->m_TutorialIndexesHaveBeenDisplayed.GetCount(), 0u);
}

TEST_F(DemoRoad, AWonStreetCountsUpItsResultsThenTheMapTheShopAndTheIntroductionLeadToTheNext)
{
    StartGame();
    ASSERT_EQ(GetCurrentLevelIndex(), 0u) << "a new game opens the career's first street";
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    ASSERT_STREQ(level->m_DisplayName.GetText().GetString(), "Harbour Row");
    CGameState::SGetCurrent()->m_RevenueK = 100.0f;
    CompleteLevel();
    CEndOfLevelWindow* results = GetEndOfLevelWindow();
    ASSERT_NE(results, nullptr);
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(Value(*results, "%s[TotalRevenue]"), "0") << "counting starts after a pause";
    EXPECT_EQ(Value(*results, "%s[WonLevel]"), "0");
    Seconds(2.0f);
    std::string counted = Value(*results, "%s[TotalRevenue]");
    counted.erase(std::remove(counted.begin(), counted.end(), ','), counted.end());
    const int half = std::stoi(counted);
    EXPECT_GT(half, 0);
    EXPECT_LT(half, 100000);
    Seconds(2.5f);
    EXPECT_EQ(Value(*results, "%s[TotalRevenue]"), "100,000");
    EXPECT_EQ(Value(*results, "%s[WonLevel]"), "1");
    EXPECT_EQ(Value(*results, "%s[ShowProfit]"), "1");
    EXPECT_EQ(Value(*results, "%s[GoalScore]"), "40,000");
    EXPECT_FALSE(Value(*results, "%s[Message]").empty()) << "a message of the period";

    // Continue: the map, the next street unlocked and selected.
    ClickOn(results->GetDefaultButton());
    EXPECT_EQ(GetEndOfLevelWindow(), nullptr);
    CTownMapWindow* map = GetTownMapWindow();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->GetLevelButtonSlots(), 12u);
    for (uint32_t i = 0; i < 12; ++i)
        EXPECT_EQ(map->GetLevelButton(i) != nullptr, i < 10) << i << ": the career's streets only";
    EXPECT_EQ(map->GetSelectedLevel(), 1u);
    Seconds(1.5f);
    EXPECT_EQ(Value(*map, "%s[PlayButtonText]"), "Play");

    // Play: the shop, a button per slot, the better garage on offer.
    ClickOn(map->GetButton("Continue"));
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    CShopWindow* shop = GetShopWindow();
    ASSERT_NE(shop, nullptr);
    CPlayfieldLayer* ui = GetCurrentPlayfield() ? GetCurrentPlayfield()->FindLayer("UI") : nullptr;
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(ui->GetSpriteCount(), 13u);
    const int32_t garage = GetUpgradeSlotList().Find("Garage A");
    ASSERT_GT(garage, 0);
    EXPECT_EQ(GetOfferedUpgrade(garage), GetUpgradeList().Find("Double Garage"));
    for (uint32_t i = 0; i < ui->GetSpriteCount(); ++i) {
        auto* button = dynamic_cast<CShoppingUpgradeButton*>(
            ui->GetSprite(i)->FindAI(CShoppingUpgradeButton::SGetClassInfo()));
        ASSERT_NE(button, nullptr);
        EXPECT_NE(button->GetMarker(), nullptr) << "every slot has its marker";
    }

    // Leaving the shop to play: the introduction of the next street.
    ClickOn(shop->GetDefaultButton());
    EXPECT_EQ(GetShopWindow(), nullptr);
    CLevelIntroWindow* intro = GetLevelIntroWindow();
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(Value(*intro, "%s[LevelName]"), "Menders Lane");
    EXPECT_EQ(Value(*intro, "%s[RequiredGoal]"), "60,000");
    ClickOn(intro->GetDefaultButton());
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_STREQ(CLevelOptions::SGetCurrent()->m_DisplayName.GetText().GetString(), "Menders Lane");
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

// The map's play button names what it does for the street selected now:
// after the first street is won the next one is selected and played anew;
// the won one, clicked, is replayed.
TEST_F(DemoRoad, TheMapsPlayButtonSaysPlayForANewStreetAndReplayForAWonOne)
{
    StartGame();
    CGameState::SGetCurrent()->m_RevenueK = 100.0f;
    CompleteLevel();
    CEndOfLevelWindow* results = GetEndOfLevelWindow();
    ASSERT_NE(results, nullptr);
    Seconds(5.0f);
    ClickOn(results->GetDefaultButton());
    CTownMapWindow* map = GetTownMapWindow();
    ASSERT_NE(map, nullptr);
    Seconds(1.5f);
    CJButton* play = map->GetButton("Continue");
    ASSERT_NE(play, nullptr);
    ASSERT_EQ(map->GetSelectedLevel(), 1u);
    EXPECT_STREQ(play->GetTitleText(), "Play");

    ClickOn(map->GetLevelButton(0));
    ASSERT_EQ(map->GetSelectedLevel(), 0u);
    EXPECT_STREQ(play->GetTitleText(), "Replay");
    ClickOn(map->GetLevelButton(1));
    ASSERT_EQ(map->GetSelectedLevel(), 1u);
    EXPECT_STREQ(play->GetTitleText(), "Play");
}

// A player who played the tutorial wins the last career street with the
// goals of an earlier one still open: the career is worth what the street
// ended with, and the reward page says "The End?". Replaying that street and
// meeting its goals unlocks the reward on that visit: its page leads to the
// last story page and the credits. Once.
TEST_F(DemoRoad, ReplayingAStreetForItsGoalsAfterTheLastOneLeadsToTheEndingAndTheCareerKeepsItsWorth)
{
    ReadList(GetLifeRewardList(), "Resources/LifeRewards", "LifeRewards");
    ASSERT_NO_FATAL_FAILURE(StartTutorial());
    Player().MarkTutorialCompleted();
    InstallMainMenuScreen();
    CLevelSet* levels = FindLevels();
    const uint32_t last = levels->GetFirstTutorialLevelIndex() - 1;
    ASSERT_STREQ(levels->GetLevel(last)->m_DisplayName.GetText().GetString(), "Far Side");
    CLifeRewards* reward = FindLifeRewardForLevel(last);
    ASSERT_NE(reward, nullptr);

    // The streets before the last won on earlier visits, each with its goals
    // but the fifth, and the money to show for them.
    const uint32_t open = 4;
    CGameStateList& states = GetGameStateList();
    CGameState career;
    career.CopyFromAndReset(states.GetObject(states.Find("Initial")));
    for (uint32_t i = 0; i < last; ++i) {
        CPlayerStatsForLevel* record = Player().GetLevelStats(i);
        record->MarkPlayed();
        career.m_SpendableMoneyK += 30.0f;
        Player().RecordLevelCompleted(i, &career);
        record->MarkCompletedOnMap();
        if (i == open)
            continue;
        for (uint32_t g = 0; g < levels->GetLevel(i)->m_OptionalGoals.GetCount(); ++g)
            record->SetOptionalGoalAchieved(g);
        record->MarkExpertOnMap();
    }
    ASSERT_GT(levels->GetLevel(open)->m_OptionalGoals.GetCount(), 0u);
    ASSERT_NE(OpenTownMap(), nullptr);

    int64_t shopWorth = 0;
    ASSERT_NO_FATAL_FAILURE(PlayAndWin(last, &shopWorth));
    EXPECT_EQ(shopWorth, std::llround(career.GetNetWorth() * 1000.0f));
    const int64_t worth = shopWorth + Dollars(*GetEndOfLevelWindow(), "%s[EarnedSpendable]");
    ClickOn(GetEndOfLevelWindow()->GetDefaultButton());
    AwaitRewards();
    CLifeRewardWindow* page = GetLifeRewardWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Value(*page, "%s[ContinueButtonTitle]"), "The End?");
    ClickOn(page->GetDefaultButton());
    EXPECT_EQ(GetLifeRewardWindow(), nullptr);
    EXPECT_EQ(GetStoryWindow(), nullptr) << "goals are still open";
    CTownMapWindow* map = GetTownMapWindow();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(Dollars(*map, "%s[NetWorth]"), worth) << "what the shop and the results showed";
    EXPECT_EQ(std::llround(Player().GetCareerNetWorth() * 1000.0f), worth);

    // The fifth street again, its goals met this time.
    Seconds(2.0f);
    ASSERT_NO_FATAL_FAILURE(PlayAndWin(open));
    ClickOn(GetEndOfLevelWindow()->GetDefaultButton());
    map = GetTownMapWindow();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->IsRewardsFlagSet());
    AwaitRewards();
    page = GetLifeRewardWindow();
    ASSERT_NE(page, nullptr);
    Seconds(3.0f);
    EXPECT_EQ(Value(*page, "%s[GoalsEarned]"), Value(*page, "%s[GoalsAvailable]"));
    EXPECT_EQ(Value(*page, "%s[ContinueButtonTitle]"), "Continue");
    ClickOn(page->GetDefaultButton());
    CStoryWindow* story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetPage(), CStoryWindow::GetPageCount() - 1);
    EXPECT_FALSE(story->IsBrowsing());
    ClickOn(story->GetDefaultButton());
    EXPECT_EQ(GetStoryWindow(), nullptr);
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_NE(Credits(), nullptr);
    EXPECT_EQ(std::llround(Player().GetCareerNetWorth() * 1000.0f), worth) << "the replay took nothing away";

    // Back on the map the reward is quiet; its button opens a review, whose
    // Continue only closes.
    ClickOn(Credits()->GetCloseButton());
    if (GetTownMapWindow() == nullptr) {
        ASSERT_NE(OpenTownMap(), nullptr);
    }
    map = GetTownMapWindow();
    EXPECT_FALSE(map->IsRewardsFlagSet());
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    ClickOn(Button(map, "Rewards"));
    ASSERT_NE(GetLifeRewardWindow(), nullptr);
    ClickOn(GetLifeRewardWindow()->GetDefaultButton());
    EXPECT_EQ(GetLifeRewardWindow(), nullptr);
    EXPECT_EQ(GetStoryWindow(), nullptr);

    // The next start finds the career's worth.
    EndRun();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    EXPECT_EQ(std::llround(Player().GetCareerNetWorth() * 1000.0f), worth);
}

} // namespace
