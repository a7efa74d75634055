// The demo's whole road in the real SDL window on the OpenGL screen of a
// virtual X display, every click, key and drag a real one through the XTEST
// extension: the main menu, a new player named in the dialog, the story with
// the tutorial skipped, the first career street played to its results
// (customers answered, houses built from the bar's buttons, customers moved
// in), the map, the shop, the introduction, the next street, the pause menu,
// the way out; then a second start that finds the profile as it was left.
#include "RealWindowRoad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kChildTest[] = "DemoRoadWindowChild.TheDemoRoadInTheRealWindow";

class DemoRoadWindow : public CRealWindowRoadRun {};

TEST_F(DemoRoadWindow, APlayerTakesTheDemoRoadInTheRealWindowAndTheNextStartFindsTheProfile)
{
    PlayRoad(kChildTest, 8,
             "OpenGL window\n"
             "main menu\n"
             "new player dialog\n"
             "named road\n"
             "story page 0\n"
             "tutorial skipped\n"
             "career street\n"
             "street won\n"
             "results\n"
             "map\n"
             "shop\n"
             "introduction\n"
             "next street\n"
             "paused\n"
             "map\n"
             "main menu\n"
             "exit\n"
             "same profile\n");
}

class DemoRoadWindowChild : public CRealWindowRoad {};

TEST_F(DemoRoadWindowChild, TheDemoRoadInTheRealWindow)
{
    {
        // The real platform for the game's run, its window on the display,
        // and real time.
        m_Platform.StopManualClock();
        std::unique_ptr<plat::CPlatform> real = plat::CreatePlatform(plat::PlatformKind::SDL);
        ASSERT_NE(real, nullptr);
        CScopedPlatform installed{real.get()};
        // A window of the game's own size.
        WriteBytes(PathOf("Ombrisalt.CFG"), "[Options]\r\nFull Screen=0\r\nScreen Width=1024\r\nScreen Height=768\r\n");
        ASSERT_FALSE(DiskHas("Stats.dat"));
        ASSERT_TRUE(Start());
        ASSERT_TRUE(RunUntil([] { return SDL_GL_GetCurrentContext() != nullptr && GetMainMenu() != nullptr; }, 30.0));
        Note("OpenGL window");
        Note("main menu");

        uint32_t career = 0;
        ASSERT_NO_FATAL_FAILURE(EnterTheFirstCareerStreet("road", career));

        ASSERT_NO_FATAL_FAILURE(PlayTheStreet());
        ASSERT_NO_FATAL_FAILURE(PastTheTrophiesToTheResults());
        ASSERT_NE(Player().FindLevelStats(career), nullptr);
        EXPECT_TRUE(Player().FindLevelStats(career)->HasBeenCompleted()) << "the street was lost";
        Note("street won");
        // Counted up, then "Continue".
        RunUntil([] { return false; }, 5.0);
        Note("results");
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetEndOfLevelWindow() ? GetEndOfLevelWindow()->GetDefaultButton() : nullptr; },
                       [] { return GetEndOfLevelWindow() == nullptr && GetTownMapWindow() != nullptr; }, "the map"));
        Note("map");
        std::vector<int32_t> trophies;
        for (int32_t i = 1; i < GetAchievementList().GetCount(); ++i)
            if (GetAchievementHistory()->HasBeenEarned(i))
                trophies.push_back(i);
        EXPECT_FALSE(trophies.empty()) << "no trophy for a won first street";
        const uint32_t stars = Player().GetStarCount();

        // "Play" on the map: the shop, then the introduction, then the street.
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetTownMapWindow() ? GetTownMapWindow()->GetButton("Continue") : nullptr; },
                       [] { return GetShopWindow() != nullptr; }, "the shop"));
        Note("shop");
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetShopWindow() ? GetShopWindow()->GetDefaultButton() : nullptr; },
                       [] { return GetLevelIntroWindow() != nullptr; }, "the introduction"));
        Note("introduction");
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetLevelIntroWindow() ? GetLevelIntroWindow()->GetDefaultButton() : nullptr; },
                       InStreet, "the next street"));
        ASSERT_TRUE(Settled());
        EXPECT_EQ(GetCurrentLevelIndex(), career + 1);
        Note("next street");

        // The HUD's menu button pauses; "Quit Street" leads to the map, its
        // "Quit" to the main menu, and "Exit" ends the program.
        const auto hudMenu = []() -> CJWindow* {
            CPlayfield* playfield = GetCurrentPlayfield();
            for (uint32_t i = 0; playfield && i < playfield->GetLayerCount(); ++i)
                if (auto* hud = dynamic_cast<CHUD*>(playfield->GetLayer(i)))
                    return hud->GetMenuControl();
            return nullptr;
        };
        ASSERT_NO_FATAL_FAILURE(ClickUntil(
            hudMenu, [] { return GetPauseMenuWindow() != nullptr; }, "the pause menu"));
        Note("paused");
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetPauseMenuWindow() ? Button(GetPauseMenuWindow(), "Quit Street") : nullptr; },
                       [] { return GetTownMapWindow() != nullptr; }, "the map again"));
        Note("map");
        ASSERT_NO_FATAL_FAILURE(
            ClickUntil([] { return GetTownMapWindow() ? GetTownMapWindow()->GetButton("Quit") : nullptr; },
                       [] { return GetMainMenu() != nullptr; }, "the main menu again"));
        Note("main menu");
        bool running = true;
        CJWindow* exit = GetMainMenu()->GetButton("Exit");
        ASSERT_NE(exit, nullptr);
        for (int attempt = 0; attempt < 5 && running; ++attempt) {
            Play(
                At(Middle(*exit)) + " wait:150 down wait:100 up", [] { return false; }, 0.0);
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (running && std::chrono::steady_clock::now() < until)
                running = Pass(17);
        }
        ASSERT_FALSE(running) << "Exit did not end the program";
        Note("exit");
        EndRun();
        ASSERT_TRUE(DiskHas("Stats.dat"));

        // The next start: the same player, its street completed, its stars
        // and trophies.
        ASSERT_TRUE(Start());
        ASSERT_TRUE(RunUntil([] { return GetMainMenu() != nullptr; }, 30.0));
        CPlayerStats& again = Player();
        std::vector<int32_t> kept;
        for (int32_t i = 1; i < GetAchievementList().GetCount(); ++i)
            if (GetAchievementHistory()->HasBeenEarned(i))
                kept.push_back(i);
        const CPlayerStatsForLevel* record = again.FindLevelStats(career);
        if (std::string(again.m_Name.GetString()) == "road" && record && record->HasBeenCompleted()
            && again.GetStarCount() == stars && kept == trophies)
            Note("same profile");
        EndRun();
    }
}

} // namespace
