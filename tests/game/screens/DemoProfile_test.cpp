// The game program over the demo data with the business and screens hooks
// installed as their registration installs them: the player's profile counts the
// time, records the level as played, and goes (saved) with the game object,
// before the lists it names.
#include "ScreensGameTest.h"

#include "game/business/CThreeInARowCounter.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CStats.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/WorldHooks.h"
#include "sequences/HueRemap.h"
#include "shell/StartGame.h"
#include "support/ScopedHooks.h"

namespace {

class DemoProfile : public CScreensGameTest {};

TEST_F(DemoProfile, PlayingCountsIntoTheProfileWhichGoesWithTheGameObject)
{
    ASSERT_TRUE(Start());
    // A new game opens on the first level's transition; "Continue" starts it,
    // and the level plays once its introduction is gone.
    if (CDecadeTransitionWindow* transition = GetDecadeTransitionWindow())
        transition->Continue();
    if (CLevelIntroWindow* intro = GetLevelIntroWindow())
        intro->Continue();
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(Pass(17));
    CStats* stats = CStats::SFindInstance();
    ASSERT_NE(stats, nullptr);
    const CPlayerStats* player = stats->GetCurrentPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->m_BuildNumberCreatedWith, 24u);
    EXPECT_GT(player->m_SecondsProgramRunning, 0.25f);
    EXPECT_GT(player->m_SecondsPlaying, 0.25f) << "the demo level plays at once";
    EXPECT_LE(player->m_SecondsPlaying, player->m_SecondsProgramRunning);
    const CPlayerStatsForLevel* record = player->FindLevelStats(GetCurrentLevelIndex());
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->HasBeenPlayed());

    const uint32_t id = player->m_ID;
    const float running = player->m_SecondsProgramRunning;
    EndRun();
    EXPECT_EQ(CStats::SFindInstance(), nullptr) << "the profiles go with the game object";
    ASSERT_TRUE(DiskHas("Stats.dat")) << "the orderly exit writes them";

    // The next run plays on with the same profile.
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Pass(17));
    ASSERT_NE(CStats::SFindInstance(), nullptr);
    const CPlayerStats* again = CStats::SFindInstance()->GetCurrentPlayer();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_ID, id);
    EXPECT_GE(again->m_SecondsProgramRunning, running);
    ASSERT_NE(again->FindLevelStats(GetCurrentLevelIndex()), nullptr);
    EXPECT_TRUE(again->FindLevelStats(GetCurrentLevelIndex())->HasBeenPlayed());
}

} // namespace
