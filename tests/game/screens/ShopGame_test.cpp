// The shop in the running demo game: the way into a level that is neither
// the first nor a tutorial opens it over an emptied playfield, the game's
// screen table knows it, and "Quit" leaves the level's starting state in the
// profile before the level starts.
#include "../world/DemoGameTest.h"

#include "game/business/BusinessHooks.h"
#include "game/business/CCustomerArrivals.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CCurrentLevel.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/LotHooks.h"
#include "game/world/WorldHooks.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

namespace {

class ShopGame : public CDemoGameTest {
protected:
    void SetUp() override
    {
        CDemoGameTest::SetUp();
        GetAchievementList().SetSource("Achievement", "Resources", 0);
        GetDecadeTransitionList().SetSource(nullptr, "Resources", 0);
        InstallGameBusinessHooks();
        InstallGameScreensHooks();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Pass(17));
        if (CDecadeTransitionWindow* opening = GetDecadeTransitionWindow())
            opening->Destroy();
        ASSERT_TRUE(Pass(17));
    }
    void TearDown() override
    {
        CDemoGameTest::TearDown();
        CStats::SShutdown();
        for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetAchievementList()),
                                       static_cast<CObjectFileArray*>(&GetDecadeTransitionList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
    }
    static uint32_t SpritesIn(const char* layer)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        CPlayfieldLayer* found = playfield ? playfield->FindLayer(layer) : nullptr;
        return found ? found->GetSpriteCount() : 0;
    }

    CScopedHook<SetLotHooks> m_Lot{nullptr};
    CScopedHook<SetHudHooks> m_Hud{nullptr};
    CScopedHook<SetCurrentLevelHooks> m_Level{nullptr};
    CScopedHook<SetGameAppHooks> m_App{nullptr};
    CScopedHook<SetTypedCommandHooks> m_Typed{nullptr};
    CScopedHook<SetGameSongHooks> m_Songs{nullptr};
    CScopedHook<SetThreeInARowCounterHooks> m_Counter{nullptr};
    CScopedHook<SetWorldHooks> m_World{nullptr};
    CScopedHook<SetGoalHooks> m_Goal{nullptr};
    CScopedHook<SetLevelOptionsHooks> m_LevelOptions{nullptr};
    CScopedHook<SetAchievementServices> m_Achievements{nullptr};
    CScopedHook<SetPlayfieldHooks> m_Playfield{nullptr};
    CScopedHook<SetLevelCompleter> m_Completer{nullptr};
    CScopedHook<SetTrophyRoomMaker> m_RoomMaker{nullptr};
};

TEST_F(ShopGame, TheSecondLevelGoesThroughTheShopAndQuitStartsItWithItsStartingState)
{
    const uint32_t screens = App()->GetOpenScreens();
    SetCurrentLevelIndex(1);
    App()->EnterCurrentLevel();
    CShopWindow* shop = GetShopWindow();
    ASSERT_NE(shop, nullptr);
    EXPECT_TRUE(GetGameAppHooks().IsScreenOpen(EGameScreen::Shop));
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

TEST_F(ShopGame, ClosingEveryOverlayScreenClosesTheShop)
{
    SetCurrentLevelIndex(2);
    App()->EnterCurrentLevel();
    ASSERT_NE(GetShopWindow(), nullptr);
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetShopWindow(), nullptr);
    EXPECT_FALSE(GetGameAppHooks().IsScreenOpen(EGameScreen::Shop));
    ASSERT_TRUE(Pass(17));
}

} // namespace
