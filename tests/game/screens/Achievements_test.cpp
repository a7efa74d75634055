// Trophies as a level earns them: each once, thresholds reached exactly,
// three matching trophies from one move-in, the per-level counters and the
// reset word, the history kept in "Stats.dat", and the "New Trophy Earned"
// menu stepping through what waits and letting the game go on exactly once.
#include "../business/BonusTown.h"
#include "ScreensTestSupport.h"

#include "foundation/CCommand.h"
#include "game/business/CCustomer.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CNewTrophyEarned.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/WorldHooks.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace bonus_town;

namespace {

class Trophies : public BonusTown {
protected:
    void SetUp() override
    {
        BonusTown::SetUp();
        WriteSequence("Cup");
        for (const char* name : kAwardedTrophies) {
            std::string lines = "Display Name=" + std::string(name) + " Cup\nJust Earned Description=For " + name +
                                "\nNew Trophy Earned Menu Image=Cup\n";
            // One trophy is earned without the menu.
            if (std::string(name) == "CraftsmanOfTheCentury")
                lines += "Show New Trophy Earned Menu When Earned=0\n";
            WriteObject("Trophies/" + std::string(name) + ".Achievement.txt", "CAchievement", lines);
        }
        WriteObject("Slots/Model.UpgradeSlot.txt", "CUpgradeSlot");
        WriteObject("Upgrades/Blue Walls.Upgrade.txt", "CBuildablePart",
                    "Build Phase=Frame\nUpgrade Slot=Model\nResale Value=7");
        WriteObject("Achievement Options.Object.txt", "CAchievementOptions",
                    "Builder Of Dreams Required Time=2\nAccomplished Builder Houses=3\n"
                    "Career Earnings Bronze Revenue=5\nCareer Earnings Silver Revenue=10\n"
                    "Career Earnings Gold Revenue=20\nBlue Model Home Master Houses Required=2\n"
                    "Blue Model Home Upgrade Slot=Model\n");
        WriteObject("Frame Overlay Options/New Trophy Earned.FOO", "CFrameOverlayOptions",
                    "Text Overlays=Array\n{\nItem Count=3\n"
                    "Array Item=CFrameOverlayButton\n{\nID=DoneButton\nTitle=Done\nPosition=800,700\nSize=100,40\n}\n"
                    "Array Item=CFrameOverlayButton\n{\nID=TrophyRoom\nTitle=Trophies\nPosition=100,700\n"
                    "Size=100,40\n}\n"
                    "Array Item=CFrameOverlaySequenceOverlay\n{\nID=TrophyImage\nPosition=500,300\n}\n}");
        ASSERT_NE(StartLevel(), nullptr);
        GetAchievementList().RemoveAll();
        GetAchievementList().SetSource(nullptr, "Resources", 0);
        ASSERT_EQ(GetAchievementList().GetCount(), 13); // and its none entry
        RegisterAchievementProperties();
        ASSERT_NE(CStats::SGetInstance().GetCurrentPlayer(), nullptr);
    }
    void TearDown() override
    {
        CStats::SShutdown();
        GetAchievementList().SetKeepsNoneEntry(true);
        GetAchievementList().RemoveAll();
        GetAchievementList().SetSource(nullptr, "Nowhere", 0);
        BonusTown::TearDown();
    }
    static int32_t Trophy(const char* name) { return GetAchievementList().Find(name); }
    static CAchievementHistory& History() { return *GetAchievementHistory(); }
    static CAchievementWorkVariables& Work() { return *GetAchievementWorkVariables(); }
    static bool Earned(const char* name) { return History().HasBeenEarned(Trophy(name)); }
    static std::vector<int32_t> Indexes(const CPropertyArray<int32_t>& array)
    {
        std::vector<int32_t> out;
        for (uint32_t i = 0; i < array.GetCount(); ++i)
            out.push_back(array[i]);
        return out;
    }
    static std::vector<int32_t> Waiting() { return Indexes(History().m_AchievementIndexesToBeShown); }
    // A lot with a resident and these parts.
    CLot* AddHome(CPoint grid, const std::vector<int32_t>& parts)
    {
        CLot* lot = AddLot(grid, parts);
        lot->m_CustomerLivingHere = new CCustomer;
        return lot;
    }

    CScreensHooks m_Screens;
    CScopedHook<SetGameScreensHooks> m_ScreensInstalled{&m_Screens};
};

TEST_F(Trophies, EachIsEarnedOnceAndQueuedOnceAndAMenuLessOneIsNeverQueued)
{
    AwardAchievementByName("MatchingMaster");
    AwardAchievementByName("MatchingMaster");
    AwardAchievement(Trophy("CareerEarningsGold"));
    AwardAchievementByName("CraftsmanOfTheCentury");
    EXPECT_EQ(Indexes(History().m_AchievementIndexesHaveBeenEarned),
              (std::vector<int32_t>{Trophy("MatchingMaster"), Trophy("CareerEarningsGold"),
                                    Trophy("CraftsmanOfTheCentury")}));
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy("MatchingMaster"), Trophy("CareerEarningsGold")}));
    // Dismissed, an earned trophy does not come back into the queue.
    History().DropFirstToShow();
    AwardAchievementByName("MatchingMaster");
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy("CareerEarningsGold")}));
    EXPECT_EQ(History().GetFirstToShow(), GetAchievementList().GetObject(Trophy("CareerEarningsGold")));
}

// Earning a trophy is not among the profile changes the game's rules list,
// yet the game writes "Stats.dat" at the map only when the profiles are
// marked: unmarked, the trophy would wait for the shutdown's save and be
// lost to a crash before it.
TEST_F(Trophies, EarningATrophyMarksTheProfilesForSaving)
{
    CStats& stats = CStats::SGetInstance();
    ASSERT_TRUE(stats.Save());
    AwardAchievementByName("MatchingMaster");
    EXPECT_TRUE(stats.NeedsSave());
    ASSERT_TRUE(stats.Save());
    AwardAchievementByName("MatchingMaster");
    EXPECT_FALSE(stats.NeedsSave()) << "earned before";
}

TEST_F(Trophies, RevenueAndHouseThresholdsAwardWhenReachedExactly)
{
    // Revenue reaches the trophies through the game state and the world's hooks.
    m_State->AddRevenue(4.5f);
    EXPECT_FALSE(Earned("CareerEarningsBronze"));
    m_State->AddRevenue(0.5f);
    EXPECT_TRUE(Earned("CareerEarningsBronze")) << "5 of 5";
    EXPECT_FALSE(Earned("CareerEarningsSilver"));
    m_State->AddRevenue(15.0f);
    EXPECT_TRUE(Earned("CareerEarningsSilver"));
    EXPECT_TRUE(Earned("CareerEarningsGold")) << "20 of 20, in the same addition";
    EXPECT_FLOAT_EQ(Work().m_CareerRevenueK, 20.0f);
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy("CareerEarningsBronze"), Trophy("CareerEarningsSilver"),
                                               Trophy("CareerEarningsGold")}));

    // Move-ins count houses; only a house built with the model slot's part
    // counts as a blue model home.
    Hold("Blue Walls");
    CLot* model = AddLot({0, 0}, House("Blue Walls", nullptr));
    CLot* plain = AddLot({3, 0}, House("Walls", nullptr));
    CLot* empty = AddLot({6, 0}, {});
    // What a lot reports at a move-in: whether its house holds the part the
    // player owns in the watched slot.
    CGameScreensHooks& achievements = GetGameScreensHooks();
    const auto holds = [&achievements](CLot* lot) {
        return lot->GetBuilding()->HoldsUpgradeOwnedIn(achievements.GetWatchedUpgradeSlot());
    };
    EXPECT_TRUE(holds(model));
    EXPECT_FALSE(holds(plain));
    EXPECT_FALSE(holds(empty)) << "a house without parts";
    achievements.ReportWatchedUpgradeMovedIn(holds(model));
    achievements.ReportWatchedUpgradeMovedIn(holds(plain));
    EXPECT_FALSE(Earned("AccomplishedBuilder"));
    EXPECT_FALSE(Earned("BlueModelHomeMaster"));
    achievements.ReportWatchedUpgradeMovedIn(holds(model));
    EXPECT_TRUE(Earned("AccomplishedBuilder")) << "3 of 3";
    EXPECT_TRUE(Earned("BlueModelHomeMaster")) << "2 of 2";
    EXPECT_EQ(Work().m_NumberOfHousesBuilt, 3u);
}

TEST_F(Trophies, OneMoveInMakingThreeMatchesEarnsAllThreeMatchingTrophiesInOrder)
{
    const std::vector<int32_t> walls = House("Walls", nullptr);
    // Neighbours on a row, a column and a diagonal through the new house.
    for (CPoint grid : {CPoint{0, 1}, CPoint{2, 1}, CPoint{1, 0}, CPoint{1, 2}, CPoint{0, 0}, CPoint{2, 2}})
        AddHome(grid, walls);
    CLot* middle = AddLot({1, 1}, walls);
    CXInARowCheckMessage check(middle);
    middle->CheckInARow(check);
    EXPECT_TRUE(Earned("MatchingApprentice"));
    EXPECT_TRUE(Earned("MatchingMaster"));
    EXPECT_TRUE(Earned("SupremeMatchingAce"));
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy("MatchingApprentice"), Trophy("MatchingMaster"),
                                               Trophy("SupremeMatchingAce")}));
}

TEST_F(Trophies, TheBonusMustRunUnbrokenAndALevelStartRestartsTheCount)
{
    auto* sprite = new CSprite;
    auto* counter = new CThreeInARowCounter;
    sprite->AddAI(counter);
    Playfield().AddSprite(sprite, "UI");
    ASSERT_EQ(GetThreeInARowCounter(), counter);
    CScreensHooks frames;
    counter->m_SecondsBonusLeft = 10.0f;
    frames.AdvanceAchievementTimers(1.5f);
    // One frame without the bonus starts over.
    counter->m_SecondsBonusLeft = 0.0f;
    frames.AdvanceAchievementTimers(0.1f);
    EXPECT_FLOAT_EQ(Work().m_MegaClickAssistDuration, 0.0f);
    counter->m_SecondsBonusLeft = 10.0f;
    frames.AdvanceAchievementTimers(1.5f);
    EXPECT_FALSE(Earned("BuilderOfDreams"));
    // A level start clears the duration and the level's blue houses.
    Work().m_BlueHousesBuiltThisLevel = 1;
    CScreensHooks game;
    game.ResetPlayerLevelVariables();
    EXPECT_FLOAT_EQ(Work().m_MegaClickAssistDuration, 0.0f);
    EXPECT_EQ(Work().m_BlueHousesBuiltThisLevel, 0u);
    frames.AdvanceAchievementTimers(1.0f);
    EXPECT_FALSE(Earned("BuilderOfDreams"));
    frames.AdvanceAchievementTimers(1.0f);
    EXPECT_TRUE(Earned("BuilderOfDreams")) << "2 s of 2 s";
    // A tutorial that requires the bonus never counts it.
    Work().m_MegaClickAssistDuration = 0.0f;
    m_Level->m_RequireMegaClickAssist = true;
    frames.AdvanceAchievementTimers(5.0f);
    EXPECT_FLOAT_EQ(Work().m_MegaClickAssistDuration, 0.0f);
}

TEST_F(Trophies, OwningEveryPricedPartEarnsTheUpgradeMaster)
{
    // Paints, signs and couriers do not count; every priced part does.
    Hold("Blue");
    Hold("Sign");
    Hold("Walls");
    Hold("Shed");
    EXPECT_FALSE(Earned("BuildingUpgradeMaster"));
    Hold("Blue Walls");
    EXPECT_TRUE(Earned("BuildingUpgradeMaster"));
}

// The last build gave the trophy list no none entry of its own: on data
// without "!None.Achievement.txt" its row 5 was the sixth trophy, here the
// fifth. A profile it saved names what it earned, so each trophy stays
// earned: one named to sort before "!None", one whose name differs from
// another's only by case. Data with the file has the rows it had.
TEST_F(Trophies, AProfileSavedWhenTheListHadNoNoneEntryKeepsItsTrophies)
{
    CAchievementList& list = GetAchievementList();
    const auto rows = [&](bool keepsNone) {
        list.SetKeepsNoneEntry(keepsNone);
        list.RemoveAll();
        list.SetSource(nullptr, "Resources", 0);
        std::vector<std::string> names;
        for (int32_t i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetItemName(i));
        return names;
    };
    WriteObject(" Early.Achievement.txt", "CAchievement", "Display Name=Early Cup\n");
    WriteObject("Trophies/careerearningsgold.Achievement.txt", "CAchievement", "Display Name=Twin\n");
    const std::vector<std::string> lastBuild = rows(false);
    ASSERT_EQ(lastBuild.size(), 13u);
    EXPECT_EQ(lastBuild[0], " Early");
    ASSERT_EQ(lastBuild[5], "Trophies/CareerEarningsBronze");
    for (const int32_t row : {0, 5, 6})
        AwardAchievement(row);
    ASSERT_TRUE(CStats::SGetInstance().Save());
    CStats::SShutdown();

    const std::vector<std::string> now = rows(true);
    ASSERT_EQ(now.size(), 14u);
    EXPECT_NE(now[5], lastBuild[5]);
    std::vector<std::string> earned;
    for (const int32_t row : Indexes(History().m_AchievementIndexesHaveBeenEarned))
        earned.push_back(list.GetItemName(row));
    EXPECT_EQ(earned, (std::vector<std::string>{lastBuild[0], lastBuild[5], lastBuild[6]}));
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy(" Early"), Trophy("CareerEarningsBronze"),
                                               Trophy("CareerEarningsGold")}));
    EXPECT_STREQ(list.GetObject(Trophy("CareerEarningsGold"))->m_DisplayName.GetText().GetString(),
                 "CareerEarningsGold Cup");

    std::filesystem::remove(PathOf("Resources/ Early.Achievement.txt"));
    WriteObject("!None.Achievement.txt", "CAchievement");
    const std::vector<std::string> withFile = rows(true);
    EXPECT_EQ(withFile.front(), "!None");
    EXPECT_EQ(withFile, rows(false));
}

TEST_F(Trophies, TheResetWordForgetsEarningsAndCountersButKeepsWhatWaits)
{
    AwardAchievementByName("MatchingApprentice");
    Work().m_NumberOfHousesBuilt = 7;
    GetGameScreensHooks().ResetAchievements(); // what the reset word asks
    EXPECT_FALSE(Earned("MatchingApprentice"));
    EXPECT_EQ(Work().m_NumberOfHousesBuilt, 0u) << "made anew with defaults";
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy("MatchingApprentice")}));
    // Earned again, it is not queued twice.
    AwardAchievementByName("MatchingApprentice");
    EXPECT_TRUE(Earned("MatchingApprentice"));
    EXPECT_EQ(Waiting().size(), 1u);
}

TEST_F(Trophies, HistoryAndCountersTravelWithTheProfileInStatsDat)
{
    AwardAchievementByName("SupremeMatchingAce");
    AwardAchievementByName("MatchingApprentice");
    Work().m_CareerRevenueK = 3.25f;
    ASSERT_TRUE(CStats::SGetInstance().Save());
    CStats::SShutdown();
    EXPECT_TRUE(Earned("SupremeMatchingAce"));
    EXPECT_TRUE(Earned("MatchingApprentice"));
    EXPECT_FALSE(Earned("MatchingMaster"));
    EXPECT_EQ(Waiting(), (std::vector<int32_t>{Trophy("SupremeMatchingAce"), Trophy("MatchingApprentice")}));
    EXPECT_FLOAT_EQ(Work().m_CareerRevenueK, 3.25f);
    // The world's statistics see each trophy with the player's flag.
    std::vector<CAchievementEarned> all;
    GetGameScreensHooks().GetAchievements(all);
    ASSERT_EQ(all.size(), 13u); // the none entry at row 0 too
    EXPECT_EQ(all[size_t(Trophy("SupremeMatchingAce"))].earned, true);
    EXPECT_EQ(all[size_t(Trophy("MatchingMaster"))].earned, false);
}

TEST_F(Trophies, DoneStepsThroughThreeAndTheGameGoesOnOnceAfterTheLast)
{
    for (const char* name : {"MatchingApprentice", "MatchingMaster", "SupremeMatchingAce"})
        AwardAchievementByName(name);
    int runs = 0;
    auto* menu = new CNewTrophyEarnedMenu(nullptr, new CCountingCommand(runs));
    ASSERT_EQ(GetNewTrophyEarnedMenu(), menu);
    CTextSubstitutionList values;
    menu->FillSubstitutions(values);
    EXPECT_STREQ(values.Apply(CJString("%s[TrophyName]: %s[TrophyReason]")).GetString(),
                 "MatchingApprentice Cup: For MatchingApprentice");
    menu->Done();
    menu->Done();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(GetNewTrophyEarnedMenu(), menu);
    values.RemoveAll();
    menu->FillSubstitutions(values);
    EXPECT_STREQ(values.Apply(CJString("%s[TrophyName]")).GetString(), "SupremeMatchingAce Cup");
    menu->Done();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_TRUE(Waiting().empty());
}

TEST_F(Trophies, TheMenuShowsTheTrophyImageAndItsButtons)
{
    AwardAchievementByName("MatchingMaster");
    int runs = 0;
    auto* menu = new CNewTrophyEarnedMenu(nullptr, new CCountingCommand(runs));
    int buttons = 0;
    for (CJWindow* child = menu->GetFirstChild(); child; child = child->GetNextSibling())
        ++buttons;
    EXPECT_EQ(buttons, 2) << "Done and Trophy Room";
    CFrame canvas;
    canvas.Create(1024, 768, 32);
    menu->Draw(canvas);
    auto* image = dynamic_cast<CFrameOverlaySequenceOverlay*>(
        FindNewTrophyEarnedOverlay()->FindOverlay(CJString("TrophyImage"), nullptr, nullptr));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_Sequence, GetSequenceList().Find("Cup"));
    menu->Destroy();
    EXPECT_EQ(runs, 1) << "destroyed while holding the command";
}

TEST_F(Trophies, TheTrophyRoomTakesTheMenusPlaceAndTheGameGoesOnExactlyOnce)
{
    AwardAchievementByName("MatchingMaster");
    AwardAchievementByName("MatchingApprentice");
    CJWindow root(nullptr);
    int runs = 0;
    auto* menu = new CNewTrophyEarnedMenu(nullptr, new CCountingCommand(runs));
    root.AddChild(menu, EPlace::AsIs);
    menu->OpenTrophyRoom();
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_EQ(runs, 1) << "the game goes on behind the room";
    auto* room = dynamic_cast<CTrophyRoomWindow*>(root.GetFirstChild());
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(GetTrophyRoomWindow(), room);
    EXPECT_EQ(room->GetReplacedWindow(), nullptr);
    room->Destroy();
    EXPECT_EQ(root.GetFirstChild(), nullptr) << "nothing comes back";
    EXPECT_EQ(runs, 1);

    // A menu outside the window tree has no place to give the room: the
    // button only closes the menu.
    auto* second = new CNewTrophyEarnedMenu(nullptr, new CCountingCommand(runs));
    second->OpenTrophyRoom();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
    EXPECT_EQ(root.GetFirstChild(), nullptr);
}

} // namespace

namespace {

// Three levels: two optional goals, one goal on the last standard level, and
// a bonus level after it without goals.
class TrophyLevels : public Trophies {
protected:
    void SetUp() override
    {
        Trophies::SetUp();
        std::string levels = "CLevelSetUserMade\r\n{\r\n\tLevel List=Array\r\n\t{\r\n\t\tItem Count=3\r\n";
        for (const char* lines : {"Display Name=One", "Display Name=Two\r\n\t\t\tIs Last Standard Level=1",
                                  "Display Name=Extra"})
            levels += std::string("\t\tLevel=CLevelOptions\r\n\t\t{\r\n\t\t\t") + lines + "\r\n\t\t}\r\n";
        WriteBytes("Resources/Levels.Object.txt", levels + "\t}\r\n}\r\n");
        GetGeneralObjects().RemoveAll();
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        ASSERT_NE(FindLevels(), nullptr);
        ASSERT_EQ(FindLevels()->GetCount(), 3u);
        SetGoalCount(0, 2);
        SetGoalCount(1, 1);
    }
    static void SetGoalCount(uint32_t level, uint32_t count)
    {
        CLevelOptions* options = FindLevels()->GetLevel(level);
        static_cast<CPropertyArrayProperty*>(options->GetClassInfo()->FindProperty("Optional Goals List"))
            ->ArrayProperty_SetCount(options, count);
    }
    void Achieve(uint32_t level, uint32_t goal) { m_Goals.MarkOptionalGoalAchieved(FindLevels()->GetLevel(level), goal); }

    CScreensHooks m_Goals;
};

TEST_F(TrophyLevels, TheLastStandardLevelBoundsTheExcellenceAwardAndPassedEarnsTheCraftsman)
{
    Achieve(0, 0);
    Achieve(0, 1);
    EXPECT_FALSE(Earned("OutstandingBuildingAwardOfExcellence"));
    Achieve(1, 0);
    EXPECT_TRUE(Earned("OutstandingBuildingAwardOfExcellence")) << "the goal-less level after the last is not walked";

    // A level before the last without goals can never award it.
    ResetAllAchievements();
    SetGoalCount(0, 0);
    Achieve(1, 0);
    EXPECT_FALSE(Earned("OutstandingBuildingAwardOfExcellence"));

    AchievementLevelComplete(true);
    EXPECT_FALSE(Earned("CraftsmanOfTheCentury")) << "not the last standard level";
    m_Level->m_IsLastStandardLevel = true;
    AchievementLevelComplete(false);
    EXPECT_FALSE(Earned("CraftsmanOfTheCentury"));
    AchievementLevelComplete(true);
    EXPECT_TRUE(Earned("CraftsmanOfTheCentury"));
}

} // namespace

namespace {

TEST_F(Trophies, WithoutItsOverlaySetTheMenuIsSkippedAndTheGameGoesOn)
{
    AwardAchievementByName("MatchingMaster");
    std::filesystem::remove(PathOf("Resources/Frame Overlay Options/New Trophy Earned.FOO"));
    GetFrameOverlayOptionsList().RemoveAll();
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    int runs = 0;
    AnnounceEarnedTrophies(new CCountingCommand(runs));
    EXPECT_EQ(runs, 1) << "a menu without buttons could never be left";
    EXPECT_EQ(GetNewTrophyEarnedMenu(), nullptr);
    EXPECT_EQ(Waiting().size(), 1u) << "kept for the next announcement";
}

} // namespace
