// The running game ends a level with trophies waiting: the "New Trophy
// Earned" menu covers the screen and the level's results come only after its
// last trophy is dismissed, by clicks on "Done" or by Enter, and a trophy
// dismissed is so on disk by the time the results have saved.
#include "ScreensGameTest.h"

#include "game/business/CCustomerArrivals.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class TrophyAnnouncement : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        // Trophies of the test's own, whatever the demo holds.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(PathOf("Data/Resources")))
            if (entry.path().string().ends_with(".Achievement.txt"))
                std::filesystem::remove(entry.path());
        for (const char* name : kAwardedTrophies)
            WriteBytes(std::string("Data/Resources/Test Trophies/") + name + ".Achievement.txt",
                       ObjectText("CAchievement", std::string("Display Name=") + name + "\r\n"));
        WriteBytes("Data/Resources/Achievement Options.Object.txt", ObjectText("CAchievementOptions", ""));
        WriteBytes("Data/Resources/Frame Overlay Options/New Trophy Earned.FOO",
                   ObjectText("CFrameOverlayOptions",
                              "Text Overlays=Array\r\n{\r\nItem Count=2\r\n"
                              "Array Item=CFrameOverlayButton\r\n{\r\nID=DoneButton\r\nTitle=Done\r\n"
                              "Position=800,600\r\nSize=120,40\r\n}\r\n"
                              "Array Item=CFrameOverlayButton\r\n{\r\nID=TrophyRoom\r\nTitle=Trophies\r\n"
                              "Position=100,600\r\nSize=120,40\r\n}\r\n}\r\n"));
        ReadList(GetDecadeTransitionList());
        GetAchievementList().RemoveAll();
        ReadList(GetAchievementList());
    }
    void ClickDone()
    {
        CNewTrophyEarnedMenu* menu = GetNewTrophyEarnedMenu();
        ASSERT_NE(menu, nullptr);
        auto* done = dynamic_cast<CJButton*>(menu->GetDefaultButton());
        ClickOn(done);
    }

};

TEST_F(TrophyAnnouncement, TheLevelEndShowsWaitingTrophiesBeforeTheLevelStartsAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    ASSERT_TRUE(Pass(17));
    ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
    const auto results = [] { return GetEndOfLevelWindow() != nullptr || GetTutorialEndOfLevelWindow() != nullptr; };
    const uint32_t screens = App()->GetOpenScreens();
    // What a kill would leave: the street won, the cards still to show.
    const auto onDisk = [](uint32_t waiting) {
        CStats read;
        ASSERT_TRUE(read.Load());
        EXPECT_TRUE(read.GetCurrentPlayer()->GetLevelStats(GetCurrentLevelIndex())->HasBeenCompleted());
        EXPECT_EQ(GetAchievementHistory(*read.GetCurrentPlayer())->GetCountToShow(), waiting);
    };

    AwardAchievementByName("MatchingApprentice");
    AwardAchievementByName("MatchingMaster");
    CGameState::SGetCurrent()->m_RevenueK = CLevelOptions::SGetCurrent()->m_RequiredRevenue;
    CompleteLevel();
    ASSERT_NE(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), screens + 1) << "play waits under the menu";
    ASSERT_NO_FATAL_FAILURE(onDisk(2));
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(results()) << "no results yet";

    // Enter goes on as "Done" does, not into the trophy room.
    PressEnter();
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
    ASSERT_NE(GetNewTrophyEarnedMenu(), nullptr) << "the second trophy";
    EXPECT_EQ(GetAchievementHistory()->GetCountToShow(), 1u);
    EXPECT_FALSE(results());
    ClickDone();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_EQ(GetAchievementHistory()->GetCountToShow(), 0u);
    EXPECT_TRUE(results());
    EXPECT_EQ(App()->GetOpenScreens(), screens);
    // The results save as they open: a kill there announces nothing again.
    ASSERT_NO_FATAL_FAILURE(onDisk(0));
    if (CEndOfLevelWindow* window = GetEndOfLevelWindow())
        window->Destroy();

    // A lesson's results, which save nothing else of their own, save the
    // drop of its one card.
    App()->StartLevelByIndex(FindLevels()->GetFirstTutorialLevelIndex());
    CGameState::SGetCurrent()->m_RevenueK = CLevelOptions::SGetCurrent()->m_RequiredRevenue;
    AwardAchievementByName("BuilderOfDreams");
    CompleteLevel();
    ASSERT_NO_FATAL_FAILURE(onDisk(1));
    ClickDone();
    ASSERT_NE(GetTutorialEndOfLevelWindow(), nullptr);
    ASSERT_NO_FATAL_FAILURE(onDisk(0));
    GetTutorialEndOfLevelWindow()->Destroy();

    // With nothing waiting the results come at once.
    App()->StartLevelByIndex(0);
    CompleteLevel();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_TRUE(results());
}

} // namespace
