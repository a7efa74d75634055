// The demo data's road from level to level in the running game, as a player
// takes it: the first street's tutorial messages, a won street's results
// counting up, "Continue" to the map, the next street through the shop and
// its introduction.
#include "ScreensGameTest.h"

#include "game/business/CCustomerArrivals.h"
#include "game/scripting/CSprite.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
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
    static std::string Value(const Window& window, const char* key)
    {
        CTextSubstitutionList values;
        window.FillSubstitutions(values);
        return values.Apply(CJString(key)).GetString();
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

    // A click on the sky closes the welcome; picking up a cottage closes the
    // next; the drop the last. Never two at once.
    PushClick(600, 150);
    Seconds(0.1f);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Build"});
    PushClick(600, 150);
    Seconds(0.1f);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Build"}) << "a click elsewhere does not do";
    PushClick(52, 730);
    Seconds(0.1f);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Town Customers"});
    PushClick(600, 150);
    Seconds(0.1f);
    EXPECT_TRUE(OpenMessages().empty());
    CTutorialHistory* history = GetTutorialHistory();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->m_TutorialIndexesHaveBeenDisplayed.GetCount(), 3u);

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

} // namespace
