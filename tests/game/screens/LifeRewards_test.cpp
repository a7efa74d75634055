// Life rewards in the running demo game, its level set grown to thirty
// levels of chosen goal counts: what a reward counts and when it unlocks, how
// the window counts up on a hand-driven clock and which sounds it makes, how
// the player leafs through the rewards, and where Continue leads; the unlock
// rule also without the running game.
#include "ScreensGameTest.h"

#include "foundation/CCommand.h"
#include "game/scripting/CAudio.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CRules.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"
#include "sound/CSoundDevice.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// The level of the "Levels" set offers this many revenue goals.
void SetGoalCount(uint32_t level, uint32_t goals)
{
    CLevelOptions* options = GetLevels()->GetLevel(level);
    auto* list =
        static_cast<CPropertyArrayProperty*>(CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
    list->ArrayProperty_SetCount(options, 0);
    list->ArrayProperty_SetCount(options, goals);
    for (uint32_t i = 0; i < goals; ++i) {
        delete options->m_OptionalGoals[i];
        options->m_OptionalGoals[i] = new CRevenueGoal;
    }
}

class LifeRewards : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/LifeRewardControlsOverlay.FOO"), kControls);
        // Rewards after levels 10, 20 and 30, whatever the demo holds.
        std::filesystem::remove_all(PathOf("Data/Resources/LifeRewards"));
        for (const auto& [name, after] : std::vector<std::pair<std::string, int>>{
                 {"A Early Years", 10}, {"B Middle Years", 20}, {"C Late Years", 30}})
            WriteBytes(PathOf("Data/Resources/LifeRewards/" + name + ".LifeRewards.txt"),
                       ObjectText("CLifeRewards", "Position Marker Name=" + name + "\r\nLevel To Display After=" +
                                                      std::to_string(after) + "\r\n"));
        ReadList(GetDecadeTransitionList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
        ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
        GrowLevelSet(30, 3);
        CGoalOptions& options = *CGoalOptions::SGetInstance();
        options.m_GoalCountDelay = 0.5f;
        options.m_GoalsPerSecond = 22;
        int32_t* sounds[] = {&options.m_StartCountingAudio5,    &options.m_StartCountingAudio10,
                             &options.m_StartCountingAudio15,   &options.m_StartCountingAudio20,
                             &options.m_StartCountingAudio25,   &options.m_StartCountingAudio30,
                             &options.m_DoneCountingBasicAudio, &options.m_DoneCountingExpertAudio};
        const char* names[] = {"Bonus Tick", "Build Done", "Build Start", "Bulldoze",
                               "Drop",       "Pick Up",    "Drop Error",  "Decade Fanfare"};
        for (size_t i = 0; i < std::size(sounds); ++i) {
            *sounds[i] = GetAudioList().Find(names[i]);
            ASSERT_GT(*sounds[i], 0) << names[i];
        }
        CRules::SGetInstance().m_OpenLifeRewardsAudio = GetAudioList().Find("Rustle");
        CRules::SGetInstance().m_PageTurnAudio = GetAudioList().Find("Wobbly Click");
    }
    void TearDown() override
    {
        if (CLifeRewardWindow* window = GetLifeRewardWindow())
            window->Destroy();
        CScreensGameTest::TearDown();
    }

    // The level set grown to count levels; every added level offers goals.
    static void GrowLevelSet(uint32_t count, uint32_t goals)
    {
        CLevelSet* levels = GetLevels();
        while (levels->GetCount() < count)
            levels->InsertLevel(levels->GetCount(), nullptr);
        for (uint32_t i = 0; i < count; ++i)
            SetGoalCount(i, goals);
    }
    // The player achieved the first goals of each level from first to end.
    static void Achieve(uint32_t first, uint32_t end, uint32_t goals)
    {
        for (uint32_t level = first; level < end; ++level)
            for (uint32_t goal = 0; goal < goals; ++goal)
                Player().GetLevelStats(level)->SetOptionalGoalAchieved(goal);
    }
    static CLifeRewards* Reward(const char* name)
    {
        CLifeRewards* reward = GetLifeRewardList().GetObjectByName(name);
        EXPECT_NE(reward, nullptr) << name;
        return reward;
    }
    static bool Plays(const char* audio) { return AudioPlays(GetAudioList().Find(audio)); }
    // Stops every sound, so the next check sees only what plays from now.
    static void Hush()
    {
        for (int32_t i = 1; i < GetAudioList().GetCount(); ++i) {
            CAudioPlaySettings peek;
            peek.noPlay = true;
            for (CSound* s = GetAudioList().PlayAudioByIndex(i, peek).sound; s; s = s->GetNextCopy())
                s->Stop();
        }
    }
    static std::string ContinueTitle(CLifeRewardWindow& window)
    {
        auto* button = dynamic_cast<CJButton*>(window.GetDefaultButton());
        return button ? button->GetTitleText() : "";
    }

    static constexpr const char* kControls = "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n"
                                             "\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=3\r\n"
                                             "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Continue\r\n"
                                             "\t\t\tTitle=%s[ContinueButtonTitle]\r\n\t\t\tPosition=824,700\r\n"
                                             "\t\t\tSize=160,40\r\n\t\t}\r\n"
                                             "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Prev\r\n"
                                             "\t\t\tTitle=< Prev\r\n\t\t\tPosition=360,700\r\n\t\t\tSize=120,40\r\n"
                                             "\t\t}\r\n"
                                             "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Next\r\n"
                                             "\t\t\tTitle=Next >\r\n\t\t\tPosition=544,700\r\n\t\t\tSize=120,40\r\n"
                                             "\t\t}\r\n\t}\r\n}\r\n";

};

TEST_F(LifeRewards, TenLevelsCountAndUnlockOnlyWhenEveryLevelOffersGoalsAndAllAreAchieved)
{
    ASSERT_EQ(GetLifeRewardList().GetCount(), 3);
    CLifeRewards* middle = Reward("B Middle Years");
    ASSERT_EQ(FindLifeRewardForLevel(19), middle);
    EXPECT_EQ(FindLifeRewardForLevel(20), nullptr);

    // Levels 10 to 19; goals of level 9 and 20 do not count.
    Achieve(9, 21, 2);
    EXPECT_EQ(middle->GetGoalsAvailable(), 30u);
    EXPECT_EQ(middle->GetGoalsEarned(), 20u);
    EXPECT_FALSE(middle->IsUnlocked());
    Achieve(10, 20, 3);
    EXPECT_EQ(middle->GetGoalsEarned(), 30u);
    EXPECT_TRUE(middle->IsUnlocked());

    // A level offering no goal keeps the reward locked whatever was earned.
    SetGoalCount(15, 0);
    EXPECT_EQ(middle->GetGoalsAvailable(), 27u);
    EXPECT_FALSE(middle->IsUnlocked());

    // Placed before the tenth level the reward covers nothing: unlocked with
    // nothing to count, whatever the player did.
    for (uint32_t after : {0u, 1u, 9u}) {
        Reward("A Early Years")->m_LevelToDisplayAfter = after;
        EXPECT_TRUE(Reward("A Early Years")->IsUnlocked()) << after;
        EXPECT_EQ(Reward("A Early Years")->GetGoalsAvailable(), 0u) << after;
        EXPECT_EQ(Reward("A Early Years")->GetGoalsEarned(), 0u) << after;
    }
    // Reading the rewards made no level record.
    EXPECT_EQ(Player().FindLevelStats(25), nullptr);
}

TEST_F(LifeRewards, ThirtyGoalsCountUpAtTwentyTwoASecondWithStartAndExpertSounds)
{
    Achieve(10, 20, 3);
    Hush();
    auto* window = new CLifeRewardWindow(nullptr, Reward("B Middle Years"), false, nullptr);
    EXPECT_TRUE(Plays("Rustle"));
    EXPECT_EQ(App()->GetOpenScreens(), 1u);
    float clock = 0.0f;
    // Up to just before the first goal at 0.5 + 1 / 22 seconds.
    while (clock + kFrame < 0.5f + 1.0f / 22.0f - 0.001f) {
        window->Update(kFrame);
        clock += kFrame;
        ASSERT_EQ(window->GetCountedGoals(), 0u) << clock;
    }
    EXPECT_FALSE(Plays("Pick Up"));
    while (window->GetCountedGoals() < 30u && clock < 3.0f) {
        window->Update(kFrame);
        clock += kFrame;
    }
    // 0.5 + 30 / 22 seconds.
    EXPECT_NEAR(clock, 1.864f, 0.02f);
    EXPECT_TRUE(Plays("Pick Up"));
    EXPECT_FALSE(Plays("Bonus Tick"));
    EXPECT_TRUE(Plays("Decade Fanfare"));
    EXPECT_FALSE(Plays("Drop Error"));
    CTextSubstitutionList values;
    window->FillSubstitutions(values);
    EXPECT_STREQ(values.Apply(CJString("%s[GoalsEarned]/%s[GoalsAvailable] %s[DoneCounting] %s[GotExpert]")).GetString(),
                 "30/30 1 1");

    // Each sound once: a long stay plays nothing more.
    Hush();
    for (int i = 0; i < 120; ++i)
        window->Update(kFrame);
    EXPECT_EQ(window->GetCountedGoals(), 30u);
    EXPECT_FALSE(Plays("Pick Up"));
    EXPECT_FALSE(Plays("Decade Fanfare"));
    window->Destroy();
    EXPECT_EQ(App()->GetOpenScreens(), 0u);
}

TEST_F(LifeRewards, NothingEarnedSoundsOnlyTheBasicEndAndTheStartSoundFollowsTheGoalsEarned)
{
    Hush();
    auto* window = new CLifeRewardWindow(nullptr, Reward("A Early Years"), false, nullptr);
    window->Update(kFrame);
    EXPECT_TRUE(Plays("Drop Error"));
    EXPECT_FALSE(Plays("Decade Fanfare"));
    for (const char* start : {"Bonus Tick", "Build Done", "Build Start", "Bulldoze", "Drop", "Pick Up"})
        EXPECT_FALSE(Plays(start)) << start;
    EXPECT_EQ(window->GetCountedGoals(), 0u);
    window->Destroy();

    // The start sound by goals earned, each band's upper end inclusive.
    const std::pair<uint32_t, const char*> bands[] = {
        {5, "Bonus Tick"}, {6, "Build Done"}, {10, "Build Done"}, {11, "Build Start"},
        {20, "Bulldoze"},  {25, "Drop"},      {26, "Pick Up"}};
    for (const auto& [earned, sound] : bands) {
        for (uint32_t goal = 0; goal < earned; ++goal)
            Player().GetLevelStats(goal / 3)->SetOptionalGoalAchieved(goal % 3);
        ASSERT_EQ(Reward("A Early Years")->GetGoalsEarned(), earned);
        Hush();
        window = new CLifeRewardWindow(nullptr, Reward("A Early Years"), false, nullptr);
        for (int i = 0; i < 36; ++i)
            window->Update(kFrame);
        EXPECT_TRUE(Plays(sound)) << earned;
        for (const char* other : {"Bonus Tick", "Build Done", "Build Start", "Bulldoze", "Drop", "Pick Up"})
            EXPECT_TRUE(other == std::string(sound) || !Plays(other)) << earned << " " << other;
        window->Destroy();
    }
}

TEST_F(LifeRewards, LeafingShowsCountsCompleteAndOffersNextOnlyPastItsLastLevel)
{
    Achieve(0, 10, 3);
    Achieve(10, 20, 1);
    Player().GetLevelStats(19)->AddCompletion(false);
    int closed = 0;
    auto* window = new CLifeRewardWindow(nullptr, Reward("A Early Years"), false, new CCountingCommand(closed));
    CScreenWindow::GetScreenWindow()->AddChild(window, EPlace::Centred);
    EXPECT_EQ(Button(window, "< Prev"), nullptr);
    ASSERT_TRUE(window->IsNextRewardOpen());
    CJButton* next = Button(window, "Next >");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(ContinueTitle(*window), "Continue");

    // "Next" clicked: the page turns with its sound, its count shown whole.
    Hush();
    ASSERT_TRUE(Pass(17));
    const CRect at = next->GetScreenRect();
    PushClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17));
    ASSERT_EQ(window->GetPage(), 1u);
    EXPECT_TRUE(Plays("Wobbly Click"));
    EXPECT_EQ(window->GetCountedGoals(), 10u);
    EXPECT_FALSE(Plays("Build Done"));
    EXPECT_FALSE(Plays("Drop Error"));
    ASSERT_NE(Button(window, "< Prev"), nullptr);
    // Level 29 is not completed: no way on to the last reward.
    EXPECT_FALSE(window->IsNextRewardOpen());
    EXPECT_EQ(Button(window, "Next >"), nullptr);

    // Back on the first page the full count shows at once, without sounds.
    Hush();
    window->PreviousPage();
    window->Update(kFrame);
    EXPECT_EQ(window->GetPage(), 0u);
    EXPECT_EQ(window->GetCountedGoals(), 30u);
    EXPECT_FALSE(Plays("Pick Up"));
    EXPECT_FALSE(Plays("Decade Fanfare"));
    window->PreviousPage();
    EXPECT_EQ(window->GetPage(), 0u);

    // Enter is Continue: the closing command once, the window gone.
    EXPECT_TRUE(window->OnKeyDown(kKeyEnter));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(GetLifeRewardWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), 0u);

    // Closed from outside, the command still runs once.
    window = new CLifeRewardWindow(nullptr, Reward("A Early Years"), true, new CCountingCommand(closed));
    window->Destroy();
    EXPECT_EQ(closed, 2);
}

TEST_F(LifeRewards, TheLastRewardLeadsToTheStoryOnlyWhenEarnedAndNotInReview)
{
    CLifeRewards* last = Reward("C Late Years");
    ASSERT_EQ(GetLifeRewardList().FindObjectIndex(last), 2);

    auto* window = new CLifeRewardWindow(nullptr, last, false, nullptr);
    EXPECT_EQ(ContinueTitle(*window), "The End?");
    window->Continue();
    EXPECT_EQ(GetLifeRewardWindow(), nullptr);
    EXPECT_EQ(GetStoryWindow(), nullptr);

    Achieve(20, 30, 3);
    window = new CLifeRewardWindow(nullptr, last, true, nullptr);
    EXPECT_EQ(ContinueTitle(*window), "Continue");
    window->Continue();
    EXPECT_EQ(GetStoryWindow(), nullptr);

    int closed = 0;
    window = new CLifeRewardWindow(nullptr, last, false, new CCountingCommand(closed));
    window->Continue();
    EXPECT_EQ(closed, 1);
    ASSERT_NE(GetStoryWindow(), nullptr);
    EXPECT_EQ(GetStoryWindow()->GetPage(), 2u);
    EXPECT_FALSE(GetStoryWindow()->IsBrowsing());
    GetStoryWindow()->Destroy();
}

TEST_F(LifeRewards, TheGameObjectOpensAndClosesTheRewardsThroughItsScreenTable)
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    SetCurrentLevelIndex(19);
    ASSERT_TRUE(hooks.OpenScreen(EGameScreen::Rewards));
    ASSERT_TRUE(hooks.IsScreenOpen(EGameScreen::Rewards));
    EXPECT_EQ(GetLifeRewardWindow()->GetPageReward(), Reward("B Middle Years"));
    hooks.CloseScreen(EGameScreen::Rewards);
    EXPECT_FALSE(hooks.IsScreenOpen(EGameScreen::Rewards));
    // Its closing command went on through the first decade transition.
    EXPECT_EQ(GetCurrentLevelIndex(), 0u);
    EXPECT_NE(GetDecadeTransitionWindow(), nullptr);
}

// The unlock rule alone, over ten levels read from a temporary folder rather
// than the running game.
class LifeRewardUnlock : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        ASSERT_NE(CStats::SGetClassInfo(), nullptr);
        ASSERT_NE(CLifeRewards::SGetClassInfo(), nullptr);
        WriteProfileLevelLists();
        std::vector<std::string> levels;
        for (int i = 0; i < 10; ++i)
            levels.push_back(LevelText("Level " + std::to_string(i)));
        WriteBytes("Resources/Levels.Object.txt", LevelSetText(levels));
        InitGeneralObjects();
        ASSERT_EQ(GetLevels()->GetCount(), 10u);
        m_Reward.m_LevelToDisplayAfter = 10;
    }
    void TearDown() override
    {
        ForgetProfileLevelLists();
        CTempFolderTest::TearDown();
    }
    // Every level offers two goals and the player achieved both.
    static void AllAchieved()
    {
        for (uint32_t level = 0; level < 10; ++level) {
            SetGoalCount(level, 2);
            for (uint32_t goal = 0; goal < 2; ++goal)
                CStats::SGetInstance().GetLevelStats(level)->SetOptionalGoalAchieved(goal);
        }
    }

    CLifeRewards m_Reward;
};

TEST_F(LifeRewardUnlock, ALevelWithoutOptionalGoalsKeepsTheRewardLocked)
{
    AllAchieved();
    ASSERT_TRUE(m_Reward.IsUnlocked());

    // Its goals taken away, the level's record still says both were won.
    SetGoalCount(4, 0);
    EXPECT_EQ(m_Reward.GetGoalsAvailable(), 18u);
    EXPECT_FALSE(m_Reward.IsUnlocked());
    // A level of the ten never played, without goals, locks it as well.
    SetGoalCount(4, 2);
    SetGoalCount(9, 0);
    CStats::SGetInstance().GetCurrentPlayer()->m_pStatsForLevel[9]->ResetToDefaults();
    EXPECT_FALSE(m_Reward.IsUnlocked());
}

} // namespace
