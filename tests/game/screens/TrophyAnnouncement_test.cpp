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
#include <vector>

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
    // What a kill would leave: the profile on disk.
    const auto onDisk = [](uint32_t level, uint32_t waiting) {
        CStats read;
        ASSERT_TRUE(read.Load());
        ASSERT_NE(read.GetCurrentPlayer(), nullptr);
        EXPECT_TRUE(read.GetCurrentPlayer()->GetLevelStats(level)->HasBeenCompleted());
        EXPECT_EQ(GetAchievementHistory(*read.GetCurrentPlayer())->GetCountToShow(), waiting);
    };

    // A career street with two trophies, then a tutorial street with one,
    // whose results save nothing else of their own.
    const uint32_t streets[] = {GetCurrentLevelIndex(), FindLevels()->GetFirstTutorialLevelIndex()};
    for (uint32_t street : streets) {
        SCOPED_TRACE(street);
        App()->StartLevelByIndex(street);
        ASSERT_TRUE(Pass(17));
        CGameState::SGetCurrent()->m_RevenueK = CLevelOptions::SGetCurrent()->m_RequiredRevenue;
        const std::vector<const char*> trophies = street == streets[0]
                                                      ? std::vector<const char*>{"MatchingApprentice", "MatchingMaster"}
                                                      : std::vector<const char*>{"BuilderOfDreams"};
        for (const char* name : trophies)
            AwardAchievementByName(name);
        CompleteLevel();
        ASSERT_NE(GetNewTrophyEarnedMenu(), nullptr);
        EXPECT_EQ(App()->GetOpenScreens(), screens + 1) << "play waits under the menu";
        // The street is won on disk with its trophies, before any card.
        ASSERT_NO_FATAL_FAILURE(onDisk(street, uint32_t(trophies.size())));
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(Pass(17));
        EXPECT_FALSE(results()) << "no results yet";

        // Enter goes on as "Done" does, not into the trophy room.
        for (size_t left = trophies.size(); left > 1; --left) {
            PressEnter();
            EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
            ASSERT_NE(GetNewTrophyEarnedMenu(), nullptr) << "the next trophy";
            EXPECT_EQ(GetAchievementHistory()->GetCountToShow(), left - 1);
            EXPECT_FALSE(results());
        }
        ClickDone();
        EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
        EXPECT_EQ(GetAchievementHistory()->GetCountToShow(), 0u);
        EXPECT_TRUE(results());
        EXPECT_EQ(App()->GetOpenScreens(), screens);
        // The results save as they open: a kill there announces nothing again.
        ASSERT_NO_FATAL_FAILURE(onDisk(street, 0));
        if (CEndOfLevelWindow* window = GetEndOfLevelWindow())
            window->Destroy();
        if (CTutorialEndOfLevelWindow* window = GetTutorialEndOfLevelWindow())
            window->Destroy();
    }

    // With nothing waiting the results come at once.
    App()->StartLevelByIndex(streets[0]);
    CompleteLevel();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_TRUE(results());
}

} // namespace
