// The shop in the running demo game: the way into a level that is neither
// the first nor a tutorial opens it over an emptied playfield, the game's
// screen table knows it, and leaving it ("Quit" or the map's "Back") leaves
// the level's starting state in the profile.
#include "ScreensGameTest.h"

#include "game/business/CCustomerArrivals.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

namespace {

class ShopGame : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        std::string buttons;
        for (const char* id : {"Quit", "Return", "Close"}) {
            const int32_t x = id[0] == 'Q' ? 800 : id[0] == 'R' ? 100 : 400;
            buttons += std::string("\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=") + id +
                       "\r\n\t\t\tTitle=" + id + "\r\n\t\t\tPosition=" + std::to_string(x) +
                       ",700\r\n\t\t\tSize=160,40\r\n\t\t}\r\n";
        }
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/Shopping Overlay.FOO"),
                   "CFrameOverlayOptions\r\n{\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=3\r\n" + buttons +
                       "\t}\r\n}\r\n");
        ReadList(GetAchievementList(), "Resources", "Achievement");
        ReadList(GetDecadeTransitionList());
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
        ASSERT_TRUE(Pass(17));
    }
    static uint32_t SpritesIn(const char* layer)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        CPlayfieldLayer* found = playfield ? playfield->FindLayer(layer) : nullptr;
        return found ? found->GetSpriteCount() : 0;
    }

};

TEST_F(ShopGame, TheSecondLevelGoesThroughTheShopAndQuitStartsItWithItsStartingState)
{
    const uint32_t screens = App()->GetOpenScreens();
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    CShopWindow* shop = GetShopWindow();
    ASSERT_NE(shop, nullptr);
    EXPECT_TRUE(GetGameScreensHooks().IsScreenOpen(EGameScreen::Shop));
    EXPECT_EQ(App()->GetOpenScreens(), screens + 1);
    EXPECT_EQ(SpritesIn("Lot"), 0u) << "the level's own sprites are gone";
    ASSERT_TRUE(Pass(17));

    CGameState::SGetCurrent()->m_SpendableMoneyK = 12.5f;
    shop->Quit();
    EXPECT_EQ(GetShopWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), screens);
    CPlayerStatsForLevel* record = CStats::SGetInstance().GetLevelStats(1);
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->GetGameStateBeforeLevelStarted(), nullptr);
    EXPECT_FLOAT_EQ(record->GetGameStateBeforeLevelStarted()->m_SpendableMoneyK, 12.5f);
    EXPECT_GT(SpritesIn("Lot"), 0u) << "the level itself is back";
    ASSERT_TRUE(Pass(17));
}

TEST_F(ShopGame, TheShopsOwnButtonsReturnAnUpgradeClearTheSelectionAndStartTheLevel)
{
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    CShopWindow* shop = GetShopWindow();
    ASSERT_NE(shop, nullptr);
    CGameState& state = *CGameState::SGetCurrent();
    const int32_t garage = GetUpgradeSlotList().Find("Garage A");
    // A garage bought before: the starting kit's is given, so it has no Return.
    SetShopSelectedSlot(garage);
    shop->SlotClicked();
    EXPECT_EQ(shop->GetReturnButton(), nullptr);
    ASSERT_GT(GetOfferedUpgrade(garage), 0);
    state.ReceiveUpgrade(GetOfferedUpgrade(garage));
    const int32_t owned = state.GetUpgradeInSlot(garage);
    ASSERT_GT(owned, 0);
    ASSERT_GT(GetUpgradeByIndex(owned)->m_UpgradeCost, 0.0f);
    const float money = state.m_SpendableMoneyK;
    SetShopSelectedSlot(garage);
    shop->SlotClicked();
    ASSERT_NE(shop->GetReturnButton(), nullptr);
    ASSERT_NE(shop->GetDefaultButton(), nullptr);

    // Each click rebuilds the controls under the button being clicked.
    ClickMiddle(*shop->GetReturnButton());
    EXPECT_FLOAT_EQ(state.m_SpendableMoneyK, money + GetUpgradeByIndex(owned)->m_UpgradeCost);
    EXPECT_FALSE(state.HasReceivedUpgrade(owned));
    EXPECT_EQ(shop->GetReturnButton(), nullptr);
    SetShopSelectedSlot(garage);
    shop->SlotClicked();
    ASSERT_NE(shop->GetCancelButton(), nullptr);
    ClickMiddle(*shop->GetCancelButton());
    EXPECT_EQ(GetShopSelectedSlot(), 0);

    ClickMiddle(*shop->GetDefaultButton());
    EXPECT_EQ(GetShopWindow(), nullptr);
    EXPECT_GT(SpritesIn("Lot"), 0u);
}

TEST_F(ShopGame, TheMapButtonKeepsWhatWasBoughtOrReturnedOnDiskForTheNextVisit)
{
    const int32_t garage = GetUpgradeSlotList().Find("Garage A");
    auto visit = [] {
        SetCurrentLevelIndex(1);
        App()->EnterCurrentLevel();
        return GetShopWindow();
    };
    auto leaveByMap = [](CShopWindow& shop) {
        shop.Back();
        EXPECT_EQ(GetShopWindow(), nullptr);
        ASSERT_NE(GetTownMapWindow(), nullptr);
        GetTownMapWindow()->Destroy();
    };
    auto onDisk = [](int32_t upgrade) {
        CStats read;
        EXPECT_TRUE(read.Load());
        const CPlayerStats* player = read.GetCurrentPlayer();
        const CPlayerStatsForLevel* record = player ? player->FindLevelStats(1) : nullptr;
        const CGameState* state = record ? record->GetGameStateBeforeLevelStarted() : nullptr;
        return state && state->HasReceivedUpgrade(upgrade);
    };

    CShopWindow* shop = visit();
    ASSERT_NE(shop, nullptr);
    CGameState::SGetCurrent()->m_SpendableMoneyK = 100.0f;
    SetShopSelectedSlot(garage);
    shop->SlotClicked();
    const int32_t bought = GetOfferedUpgrade(garage);
    ASSERT_GT(bought, 0);
    shop->Buy();
    ASSERT_TRUE(CGameState::SGetCurrent()->HasReceivedUpgrade(bought));
    const float left = CGameState::SGetCurrent()->m_SpendableMoneyK;
    ASSERT_NO_FATAL_FAILURE(leaveByMap(*shop));
    EXPECT_TRUE(onDisk(bought)) << "a kill at the map keeps the purchase";

    shop = visit();
    ASSERT_NE(shop, nullptr);
    EXPECT_TRUE(CGameState::SGetCurrent()->HasReceivedUpgrade(bought));
    EXPECT_FLOAT_EQ(CGameState::SGetCurrent()->m_SpendableMoneyK, left);
    SetShopSelectedSlot(garage);
    shop->SlotClicked();
    shop->Return();
    ASSERT_NO_FATAL_FAILURE(leaveByMap(*shop));
    EXPECT_FALSE(onDisk(bought));

    ASSERT_NE(visit(), nullptr);
    EXPECT_FALSE(CGameState::SGetCurrent()->HasReceivedUpgrade(bought));
    EXPECT_FLOAT_EQ(CGameState::SGetCurrent()->m_SpendableMoneyK, 100.0f);
}

TEST_F(ShopGame, ClosingEveryOverlayScreenClosesTheShop)
{
    SetCurrentLevelIndex(2);
    App()->EnterCurrentLevel();
    ASSERT_NE(GetShopWindow(), nullptr);
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetShopWindow(), nullptr);
    EXPECT_FALSE(GetGameScreensHooks().IsScreenOpen(EGameScreen::Shop));
    ASSERT_TRUE(Pass(17));
}

} // namespace
