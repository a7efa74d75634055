// The player profiles: channels, where profiles are added and what deleting
// leaves current, per-level records (never past the level count), stars and
// career progress, and the services the lower layers reach through hooks.
#include "game/screens/CStats.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/business/CBuildPhase.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/business/CUpgrade.h"
#include "objects/CClassInfo.h"
#include "ScreensTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kTutorial = "\t\t\tIs Tutorial Level=1\r\n";
const char* const kLastTutorial = "\t\t\tIs Tutorial Level=1\r\n\t\t\tIs Last Tutorial Level=1\r\n";

// Four career levels then two tutorial levels, read as the game reads
// "Levels"; the profiles start from a folder without "Stats.dat".
class Profiles : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        ASSERT_NE(CBuildPhase::SGetClassInfo(), nullptr);
        ASSERT_NE(CUpgrade::SGetClassInfo(), nullptr);
        ASSERT_NE(CStats::SGetClassInfo(), nullptr);
        WriteProfileLevelLists();
        SetCurrentLevelIndex(0);
    }
    void TearDown() override
    {
        ForgetProfileLevelLists();
        SetCurrentLevelIndex(0);
        CTempFolderTest::TearDown();
    }
    static void LoadLevels(const std::vector<std::string>& levels)
    {
        WriteBytes("Resources/Levels.Object.txt", LevelSetText(levels));
        InitGeneralObjects();
    }
    static void LoadCareerAndTutorial()
    {
        LoadLevels({LevelText("One"), LevelText("Two"), LevelText("Three"), LevelText("Four"),
                    LevelText("Learn", kTutorial), LevelText("Learn More", kLastTutorial)});
    }
    static std::vector<std::string> Names(const CStats& stats)
    {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < stats.GetPlayerCount(); ++i)
            names.push_back(stats.GetPlayer(i)->m_Name.GetString());
        return names;
    }
    static std::string Channel() { return GetChannelName().GetString(); }
};

TEST_F(Profiles, AFirstRunStartsWithOneUnnamedProfileOfTheRunningChannel)
{
    CStats& stats = CStats::SGetInstance();
    ASSERT_EQ(stats.GetPlayerCount(), 1u);
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 0u);
    const CPlayerStats* player = stats.GetCurrentPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->m_Name.IsEmpty());
    EXPECT_EQ(player->m_Channel.GetString(), Channel());
    EXPECT_LT(player->m_ID, 2000000u);
    EXPECT_EQ(player->m_BuildNumberCreatedWith, 24u);
    EXPECT_EQ(player->m_Difficulty, 2u);
    EXPECT_FALSE(stats.NeedsSave());
    // The same object for every later caller.
    EXPECT_EQ(&CStats::SGetInstance(), &stats);
}

TEST_F(Profiles, ChangesWaitForASaveButTheShutdownAlwaysWritesAndTheNextRunReadsIt)
{
    CStats& stats = CStats::SGetInstance();
    stats.SaveIfNeeded();
    EXPECT_FALSE(DiskHas("Stats.dat")) << "nothing changed yet";
    stats.GetCurrentPlayer()->m_Name = "Morgan";
    stats.SetNeedsSave();
    EXPECT_TRUE(stats.SaveIfNeeded());
    EXPECT_FALSE(stats.NeedsSave());
    ASSERT_TRUE(DiskHas("Stats.dat"));

    // Unchanged, the shutdown still writes.
    std::remove(PathOf("Stats.dat").c_str());
    const uint32_t id = stats.GetCurrentPlayer()->m_ID;
    CStats::SShutdown();
    EXPECT_EQ(CStats::SFindInstance(), nullptr);
    ASSERT_TRUE(DiskHas("Stats.dat"));

    CStats& again = CStats::SGetInstance();
    ASSERT_EQ(again.GetPlayerCount(), 1u);
    EXPECT_EQ(again.GetCurrentPlayer()->m_Name.GetString(), std::string("Morgan"));
    EXPECT_EQ(again.GetCurrentPlayer()->m_ID, id);
}

TEST_F(Profiles, AProfileWithoutABuildNumberIsFromBuildFiveAndResetsKeepThatDefault)
{
    CPlayerStats old;
    EXPECT_EQ(old.m_BuildNumberCreatedWith, 5u);
    old.m_BuildNumberCreatedWith = 24;
    old.m_Name = "Ada";
    old.ResetToDefaults();
    EXPECT_EQ(old.m_BuildNumberCreatedWith, 5u);
    EXPECT_TRUE(old.m_Name.IsEmpty());
    EXPECT_EQ(old.m_Channel.GetString(), Channel());
    EXPECT_LT(old.m_ID, 2000000u);
    EXPECT_EQ(CStats::GetDifficultyName(0).GetString(), std::string("Kids"));
    EXPECT_EQ(CStats::GetDifficultyName(2).GetString(), std::string("Standard"));
    EXPECT_EQ(CStats::GetDifficultyName(1).GetString(), std::string("Standard"));
}

TEST_F(Profiles, TheCurrentPlayerIsAlwaysOneOfTheRunningChannel)
{
    CStats& stats = WithProfiles({{"Away", "Elsewhere"}, {"Home", Channel().c_str()}, {"Also", Channel().c_str()}});
    stats.SetCurrentPlayer(0);
    stats.SelectPlayerOfChannel();
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u);
    // An index past the list is mended the same way.
    stats.SetCurrentPlayer(7);
    stats.SelectPlayerOfChannel();
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u);

    // No profile of the channel: a fresh one is appended and chosen.
    WithProfiles({{"Away", "Elsewhere"}, {"Far", "Yonder"}});
    stats.SelectPlayerOfChannel();
    EXPECT_EQ(stats.GetPlayerCount(), 3u);
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 2u);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_Channel.GetString(), Channel());
    EXPECT_EQ(stats.FindFirstPlayerOfChannel("Yonder"), 1);
    EXPECT_EQ(stats.FindFirstPlayerOfChannel("yonder"), -1);

    // A profile a damaged file could only read as none is dropped, and the
    // index follows the profiles that stay.
    WithProfiles({{"Away", "Elsewhere"}, {"Lost", Channel().c_str()}, {"Home", Channel().c_str()}});
    delete stats.m_Players[1];
    stats.m_Players[1] = nullptr;
    stats.SetCurrentPlayer(2);
    stats.SelectPlayerOfChannel();
    EXPECT_EQ(Names(stats), (std::vector<std::string>{"Away", "Home"}));
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u);
}

// Choosing a player is not among the profile changes the game's rules list,
// yet the game writes "Stats.dat" at the map only when the profiles are
// marked: unmarked, the choice would wait for the shutdown's save and be
// lost to a crash before it.
TEST_F(Profiles, ChoosingAnotherPlayerMarksTheProfilesForSaving)
{
    CStats& stats = WithProfiles({{"Ann", nullptr}, {"Bob", nullptr}});
    ASSERT_TRUE(stats.Save());
    stats.SetCurrentPlayer(0);
    EXPECT_FALSE(stats.NeedsSave()) << "the same player again";
    stats.SetCurrentPlayer(1);
    EXPECT_TRUE(stats.NeedsSave());
}

TEST_F(Profiles, NamesAreUsedCaseBlindOnlyWithinTheChannelAndNotByTheProfileItself)
{
    CStats& stats = WithProfiles({{"Robin", Channel().c_str()}, {"Kim", "Elsewhere"}});
    EXPECT_TRUE(stats.IsNameUsed("rOBIN", nullptr));
    EXPECT_FALSE(stats.IsNameUsed("Robin", stats.GetPlayer(0)));
    EXPECT_FALSE(stats.IsNameUsed("Kim", nullptr));
    EXPECT_FALSE(stats.IsNameUsed("Robin ", nullptr));
}

TEST_F(Profiles, AddedProfilesGoBeforeTheLastOneAndBecomeCurrent)
{
    CStats& stats = WithProfiles({});
    ASSERT_EQ(stats.GetPlayerCount(), 0u);
    auto* first = new CPlayerStats;
    first->m_Name = "First";
    stats.AddPlayer(first);
    EXPECT_EQ(Names(stats), (std::vector<std::string>{"First"}));
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 0u);

    WithProfiles({{"A", Channel().c_str()}, {"B", Channel().c_str()}, {"C", Channel().c_str()}});
    auto* added = new CPlayerStats;
    added->m_Name = "New";
    stats.AddPlayer(added);
    EXPECT_EQ(Names(stats), (std::vector<std::string>{"A", "B", "New", "C"}));
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 2u);
    EXPECT_EQ(stats.GetCurrentPlayer(), added);

    stats.AddNewPlayer();
    EXPECT_EQ(stats.GetPlayerCount(), 5u);
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 4u);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_BuildNumberCreatedWith, 24u);
}

TEST_F(Profiles, DeletingKeepsTheCurrentProfileOrFallsBackWithinTheChannel)
{
    const std::string home = Channel();
    CStats& stats = WithProfiles({{"A", home.c_str()}, {"B", home.c_str()}, {"C", home.c_str()}});
    stats.SetCurrentPlayer(2);
    // Choosing and deleting reach the file with the next save.
    stats.Save();
    stats.SetCurrentPlayer(2);
    EXPECT_FALSE(stats.NeedsSave());
    stats.DeletePlayer(0);
    EXPECT_TRUE(stats.NeedsSave());
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_Name.GetString(), std::string("C"));
    stats.DeletePlayer(1);
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 0u);
    EXPECT_EQ(Names(stats), (std::vector<std::string>{"B"}));

    // The current one goes and index 0 is of another channel.
    WithProfiles({{"Away", "Elsewhere"}, {"B", home.c_str()}, {"C", home.c_str()}});
    stats.SetCurrentPlayer(2);
    stats.DeletePlayer(2);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_Name.GetString(), std::string("B"));
    // Past the end: nothing.
    stats.DeletePlayer(9);
    EXPECT_EQ(stats.GetPlayerCount(), 2u);

    // The channel's last profile goes while another channel's stays: a
    // fresh profile of the channel takes its place.
    stats.DeletePlayer(1);
    ASSERT_EQ(stats.GetPlayerCount(), 2u);
    EXPECT_EQ(stats.GetCurrentPlayerIndex(), 1u);
    EXPECT_EQ(stats.GetCurrentPlayer()->m_Channel.GetString(), home);
    EXPECT_TRUE(stats.GetCurrentPlayer()->m_Name.IsEmpty());
    EXPECT_EQ(stats.GetPlayer(0)->m_Name.GetString(), std::string("Away"));
}

TEST_F(Profiles, LevelRecordsAreMadeOnDemandButNeverPastTheLevelCount)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    CPlayerStatsForLevel* third = stats.GetLevelStats(2);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(player->m_pStatsForLevel.GetCount(), 3u);
    EXPECT_FALSE(stats.NeedsSave());
    EXPECT_EQ(stats.GetLevelStats(2), third);
    // The set's six levels end at index 5; all ones is what a set without a
    // tutorial answers for its tutorial index.
    EXPECT_NE(stats.GetLevelStats(5), nullptr);
    EXPECT_EQ(stats.GetLevelStats(6), nullptr);
    EXPECT_EQ(stats.GetLevelStats(0xFFFFFFFFu), nullptr);
    EXPECT_EQ(player->m_pStatsForLevel.GetCount(), 6u);
    SetCurrentLevelIndex(1);
    EXPECT_EQ(stats.GetCurrentLevelStats(), player->m_pStatsForLevel[1]);
}

TEST_F(Profiles, OptionalGoalFlagsGrowToTheGoalAndMarkOnlyRealChanges)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStatsForLevel* record = stats.GetLevelStats(0);
    record->SetOptionalGoalAchieved(5);
    EXPECT_EQ(record->GetOptionalGoalCounts(), (std::pair<uint32_t, uint32_t>{1, 6}));
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_FALSE(record->IsOptionalGoalAchieved(i)) << i;
    EXPECT_TRUE(record->IsOptionalGoalAchieved(5));
    EXPECT_FALSE(record->IsOptionalGoalAchieved(6));
    EXPECT_TRUE(stats.NeedsSave());
    // An absurd goal index does not grow the profile.
    record->SetOptionalGoalAchieved(0x40000000u);
    EXPECT_EQ(record->GetOptionalGoalCounts().second, 6u);

    stats.Save();
    EXPECT_FALSE(stats.NeedsSave());
    record->SetOptionalGoalAchieved(5);
    record->MarkPlayed();
    EXPECT_TRUE(stats.NeedsSave()); // the first play is a change
    stats.Save();
    record->MarkPlayed();
    record->MarkCompletedOnMap();
    record->MarkCompletedOnMap();
    stats.Save();
    record->MarkCompletedOnMap();
    record->SetOptionalGoalAchieved(5);
    EXPECT_FALSE(stats.NeedsSave());
    record->AddFailure();
    EXPECT_TRUE(stats.NeedsSave());
    EXPECT_EQ(record->GetTimesFailed(), 1u);
}

TEST_F(Profiles, StarsAndTheCareerRunCountOnlyCareerLevels)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    EXPECT_EQ(player->GetLastCompletedCareerLevel(), -1);
    EXPECT_EQ(player->GetCareerNetWorth(), 0.0f);
    EXPECT_TRUE(player->GetLastCompletedCareerLevelName().IsEmpty());

    stats.GetLevelStats(0)->SetOptionalGoalAchieved(0);
    stats.GetLevelStats(0)->SetOptionalGoalAchieved(2);
    stats.GetLevelStats(3)->SetOptionalGoalAchieved(1);
    stats.GetLevelStats(4)->SetOptionalGoalAchieved(0); // a tutorial level
    EXPECT_EQ(player->GetStarCount(), 3u);

    CGameState state;
    state.m_SpendableMoneyK = 42.5f;
    player->RecordLevelCompleted(0, &state);
    state.m_SpendableMoneyK = 99.0f;
    player->RecordLevelCompleted(1, &state);
    player->RecordLevelCompletedAndMarked(3);
    // Levels 0, 1 and 3: the run stops at 2.
    EXPECT_EQ(player->GetLastCompletedCareerLevel(), 1);
    EXPECT_EQ(player->GetLastCompletedCareerLevelName().GetString(), std::string("Two"));
    // The state kept for level 2 is a copy, taken when level 1 was done.
    EXPECT_EQ(player->GetCareerNetWorth(), 99.0f);
    EXPECT_NE(stats.GetLevelStats(2)->GetGameStateBeforeLevelStarted(), &state);
    EXPECT_TRUE(stats.GetLevelStats(3)->IsMarkedCompletedOnMap());
    EXPECT_FALSE(stats.GetLevelStats(1)->IsMarkedCompletedOnMap());

    // A level already played keeps the state it started with.
    stats.GetLevelStats(2)->MarkPlayed();
    state.m_SpendableMoneyK = 7.0f;
    player->RecordLevelCompleted(1, &state);
    EXPECT_EQ(player->GetCareerNetWorth(), 99.0f);
    EXPECT_EQ(stats.GetLevelStats(1)->GetTimesCompleted(), 2u);

    // Level 0 not completed: no run at all.
    player->m_pStatsForLevel[0]->m_HasBeenCompleted = false;
    EXPECT_EQ(player->GetLastCompletedCareerLevel(), -1);
    EXPECT_EQ(player->GetCareerNetWorth(), 0.0f);
}

// A player who played the tutorial first: the record after the last career
// level is played already, yet the career is worth what it ended with, its
// latest win, on the next run too.
TEST_F(Profiles, AfterTheLastCareerLevelTheWorthIsWhatItEndedWithTutorialPlayedOrNot)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    stats.GetLevelStats(4)->MarkPlayed();
    CGameState state;
    for (uint32_t level = 0; level < 3; ++level) {
        stats.GetLevelStats(level)->MarkPlayed();
        state.m_SpendableMoneyK = 10.0f * float(level + 1);
        player->RecordLevelCompleted(level, &state);
    }
    EXPECT_EQ(player->GetCareerNetWorth(), 30.0f);
    state.m_SpendableMoneyK = 310.5f;
    player->RecordLevelCompleted(3, &state);
    EXPECT_EQ(player->GetLastCompletedCareerLevel(), 3);
    EXPECT_EQ(player->GetCareerNetWorth(), 310.5f);
    state.m_SpendableMoneyK = 400.0f;
    player->RecordLevelCompleted(3, &state);
    EXPECT_EQ(player->GetCareerNetWorth(), 400.0f);
    // The career levels played keep what they started with.
    state.m_SpendableMoneyK = 1.0f;
    player->RecordLevelCompleted(1, &state);
    EXPECT_EQ(stats.GetLevelStats(2)->GetGameStateBeforeLevelStarted()->m_SpendableMoneyK, 20.0f);

    ASSERT_TRUE(stats.Save());
    CStats::SShutdown();
    EXPECT_EQ(CStats::SGetInstance().GetCurrentPlayer()->GetCareerNetWorth(), 400.0f);
}

// Only the last career level before the tutorial writes over a played next
// street; a set whose tutorial comes first, or that has none, never does.
TEST_F(Profiles, AStreetReplayedKeepsThePlayedNextStreetsStartTutorialFirstOrNone)
{
    for (const bool tutorialFirst : {true, false}) {
        std::vector<std::string> levels{LevelText("One"), LevelText("Two")};
        if (tutorialFirst)
            levels.insert(levels.begin(), {LevelText("Learn", kTutorial), LevelText("Learn More", kLastTutorial)});
        LoadLevels(levels);
        const uint32_t street = tutorialFirst ? 2u : 0u;
        CStats& stats = CStats::SGetInstance();
        CGameState state;
        state.m_SpendableMoneyK = 20.0f;
        stats.GetCurrentPlayer()->RecordLevelCompleted(street, &state);
        stats.GetLevelStats(street + 1)->MarkPlayed();
        state.m_SpendableMoneyK = 1.0f;
        stats.GetCurrentPlayer()->RecordLevelCompleted(street, &state);
        EXPECT_EQ(stats.GetLevelStats(street + 1)->GetGameStateBeforeLevelStarted()->m_SpendableMoneyK, 20.0f)
            << tutorialFirst;
        CStats::SShutdown();
        std::remove(PathOf("Stats.dat").c_str());
    }
}

TEST_F(Profiles, TheTutorialIsTrackedFromItsFirstToItsLastLevel)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    EXPECT_FALSE(player->IsFirstTutorialLevelPlayed());
    EXPECT_FALSE(player->IsLastTutorialLevelCompleted());
    EXPECT_EQ(player->GetLastCompletedTutorialLevel(), 3);
    stats.GetLevelStats(4)->MarkPlayed();
    player->RecordLevelCompletedAndMarked(4);
    EXPECT_TRUE(player->IsFirstTutorialLevelPlayed());
    EXPECT_EQ(player->GetLastCompletedTutorialLevel(), 4);
    player->MarkTutorialCompleted();
    EXPECT_TRUE(player->IsLastTutorialLevelCompleted());
    EXPECT_EQ(player->GetLastCompletedTutorialLevel(), 5);
    EXPECT_EQ(stats.GetLevelStats(4)->GetTimesCompleted(), 2u);
    EXPECT_TRUE(stats.GetLevelStats(5)->IsMarkedCompletedOnMap());
    EXPECT_EQ(player->GetLastCompletedCareerLevel(), -1);
}

TEST_F(Profiles, ASetWithoutATutorialCountsItsTutorialAsDoneWithoutGrowingRecords)
{
    LoadLevels({LevelText("One"), LevelText("Two")});
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    EXPECT_TRUE(player->IsFirstTutorialLevelPlayed());
    EXPECT_TRUE(player->IsLastTutorialLevelCompleted());
    player->MarkTutorialCompleted();
    EXPECT_EQ(player->m_pStatsForLevel.GetCount(), 0u);
    // Every level is a career level.
    player->RecordLevelCompleted(0, nullptr);
    player->RecordLevelCompleted(1, nullptr);
    EXPECT_EQ(player->GetLastCompletedCareerLevel(), 1);
    EXPECT_EQ(player->m_pStatsForLevel.GetCount(), 2u);
}

TEST_F(Profiles, TheHooksReadAndRecordTheCurrentProfile)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    player->m_Name = "Quinn";
    player->m_Difficulty = 0;
    stats.GetLevelStats(1)->SetOptionalGoalAchieved(0);
    stats.Save();

    CScreensHooks world;
    CCareerPlayerRecord record;
    ASSERT_TRUE(world.GetCurrentPlayer(record));
    EXPECT_EQ(record.name.GetString(), std::string("Quinn"));
    EXPECT_EQ(record.id, player->m_ID);
    EXPECT_EQ(record.careerStars, 1u);
    EXPECT_EQ(record.difficulty, 0);
    EXPECT_EQ(world.GetGameBuildNumber(), 24u);

    // The state before the level goes to the current level's record.
    SetCurrentLevelIndex(2);
    auto* copy = new CGameState;
    copy->m_SpendableMoneyK = 12.0f;
    world.StoreStateBeforeLevel(copy);
    EXPECT_EQ(stats.GetLevelStats(2)->GetGameStateBeforeLevelStarted(), copy);
    EXPECT_TRUE(stats.NeedsSave());
    // Past the level count the copy is dropped, not kept anywhere.
    SetCurrentLevelIndex(40);
    world.StoreStateBeforeLevel(new CGameState);
    EXPECT_EQ(player->m_pStatsForLevel.GetCount(), 3u);

    CScreensHooks app;
    EXPECT_EQ(app.GetSavedStateForLevel(2), copy);
    EXPECT_TRUE(stats.GetLevelStats(2)->HasBeenPlayed());
    EXPECT_EQ(app.GetSavedStateForLevel(0), nullptr);
    EXPECT_EQ(app.GetSavedStateForLevel(99), nullptr);
    app.AddPlayTime(0.5f);
    app.AddPlayTime(0.25f);
    app.AddLevelPlayTime(0.25f);
    EXPECT_EQ(player->m_SecondsProgramRunning, 0.75f);
    EXPECT_EQ(player->m_SecondsPlaying, 0.25f);

    // A goal of a level of the set lands on that level's record, whatever
    // level is current.
    stats.Save();
    SetCurrentLevelIndex(0);
    CScreensHooks goals;
    goals.MarkOptionalGoalAchieved(GetLevels()->GetLevel(3), 2);
    EXPECT_TRUE(stats.GetLevelStats(3)->IsOptionalGoalAchieved(2));
    EXPECT_FALSE(stats.GetLevelStats(0)->IsOptionalGoalAchieved(2));
    EXPECT_TRUE(stats.NeedsSave());
}

TEST_F(Profiles, TheLevelReadsItsHistoryFromTheProfile)
{
    LoadCareerAndTutorial();
    CStats& stats = CStats::SGetInstance();
    CPlayerStats* player = stats.GetCurrentPlayer();
    player->m_IsFirstTimePlaying = true;
    player->RecordLevelCompleted(1, nullptr);
    stats.GetLevelStats(1)->AddFailure();
    stats.GetLevelStats(1)->AddFailure();
    stats.GetLevelStats(1)->SetOptionalGoalAchieved(1);
    CLevelOptions* second = GetLevels()->GetLevel(1);

    CScreensHooks level;
    CScreensHooks goals;
    EXPECT_EQ(level.GetTimesCompleted(second), 1);
    EXPECT_EQ(level.GetTimesFailed(second), 2);
    EXPECT_EQ(level.GetPlayerBuildNumber(), 24);
    EXPECT_TRUE(level.IsFirstTimePlayer());
    EXPECT_TRUE(level.WasGoalAchievedBefore(second, 1));
    EXPECT_FALSE(level.WasGoalAchievedBefore(second, 0));
    EXPECT_FALSE(level.WasGoalAchievedBefore(GetLevels()->GetLevel(2), 1));
    goals.MarkOptionalGoalAchieved(second, 0);
    EXPECT_TRUE(stats.GetLevelStats(1)->IsOptionalGoalAchieved(0));
}

TEST_F(Profiles, TheScreenTableOpensWhatARegisteredScreenOffers)
{
    static int opened = 0;
    static bool open = false;
    SGameScreenEntry entry;
    entry.open = [] {
        ++opened;
        open = true;
        return true;
    };
    entry.close = [] { open = false; };
    entry.isOpen = [] { return open; };
    SetGameScreenEntry(EGameScreen::Rewards, entry);
    CScreensHooks app;
    EXPECT_FALSE(app.OpenScreen(EGameScreen::Shop));
    EXPECT_TRUE(app.OpenScreen(EGameScreen::Rewards));
    EXPECT_TRUE(app.IsScreenOpen(EGameScreen::Rewards));
    app.CloseScreen(EGameScreen::Rewards);
    app.CloseScreen(EGameScreen::Shop);
    EXPECT_FALSE(app.IsScreenOpen(EGameScreen::Rewards));
    EXPECT_EQ(opened, 1);
    SetGameScreenEntry(EGameScreen::Rewards, {});
    EXPECT_FALSE(app.OpenScreen(EGameScreen::Rewards));

    static int made = 0;
    AddProgressionListMaker([] { ++made; });
    AddProgressionListMaker(nullptr);
    app.CreateProgressionLists();
    EXPECT_EQ(made, 1);
}

} // namespace
