// The map screen over the demo data with the screens layer installed: its
// level buttons, where the markers go, what a player may select and play,
// and the progression effects after a completed level, driven by a
// hand-driven clock.
#include "ScreensGameTest.h"

#include "game/screens/CDecadeTransition.h"
#include "game/screens/CCredits.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CStats.h"
#include "game/screens/CShop.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/ScreensHooks.h"
#include "game/scripting/CSprite.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CRules.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(TownMapNames, MarkersButtonImagesAndTheFliersAngle)
{
    EXPECT_STREQ(GetLevelMarkerName(0).GetString(), "Level000");
    EXPECT_STREQ(GetLevelMarkerName(42).GetString(), "Level042");
    EXPECT_STREQ(GetLevelMarkerName(1234).GetString(), "Level1234");

    EXPECT_STREQ(GetLevelButtonImageName(1, 3, 2).GetString(), "LevelButtonActive032");
    EXPECT_STREQ(GetLevelButtonImageName(1, 5, 5).GetString(), "LevelButtonActive033");
    // Period 0 wraps below zero and is capped: 5.
    EXPECT_STREQ(GetLevelButtonImageName(0, 2, 0).GetString(), "LevelButtonActive520");
    EXPECT_STREQ(GetLevelButtonImageName(9, 0, 4).GetString(), "LevelButtonActive522");
    EXPECT_STREQ(GetLevelButtonImageName(4, 1, 1).GetString(), "LevelButtonActive321");

    // A quarter turn on from the direction of travel, in [0, 360).
    EXPECT_FLOAT_EQ(GetRewardsFlierAngle(0, 0, 10, 0), 90.0f);
    EXPECT_FLOAT_EQ(GetRewardsFlierAngle(0, 0, 0, 10), 180.0f);
    EXPECT_FLOAT_EQ(GetRewardsFlierAngle(0, 0, -10, 0), 270.0f);
    EXPECT_FLOAT_EQ(GetRewardsFlierAngle(0, 0, 0, -10), 0.0f);
    EXPECT_NEAR(GetRewardsFlierAngle(5, 5, 15, -5), 45.0f, 1e-4f);
}

std::string ButtonItem(const std::string& id, int x, int y)
{
    return "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=" + id + "\r\n\t\t\tTitle=" + id
        + "\r\n\t\t\tPosition=" + std::to_string(x) + "," + std::to_string(y) + "\r\n\t\t\tSize=40,30\r\n\t\t}\r\n";
}

std::string MarkerItem(const std::string& id, int x, int y)
{
    return "\t\tArray Item=CFrameOverlayPositionMarker\r\n\t\t{\r\n\t\t\tID=" + id
        + "\r\n\t\t\tPosition=" + std::to_string(x) + "," + std::to_string(y) + "\r\n\t\t}\r\n";
}

class TownMap : public CScreensGameTest {
protected:
    // Ten levels, each with a button 60 px right of the one before, but
    // none for level 3; the reward after level 4 at "Town A".
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        std::vector<std::string> items;
        for (int i = 0; i < 10; ++i)
            if (i != 3)
                items.push_back(ButtonItem(GetLevelMarkerName(uint32_t(i)).GetString(), 100 + 60 * i, 200));
        for (const char* id : {"Continue", "Quit", "TrophyRoom", "StoryButton", "TutorialButton"})
            items.push_back(ButtonItem(id, 800, 700));
        items.push_back(ButtonItem("Town A", 500, 500));
        items.push_back(ButtonItem("Town B", 600, 500));
        items.push_back(ButtonItem("Hill Years", 700, 500));
        items.push_back(MarkerItem("1950", 500, 300));
        std::string text = "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n"
                           "\t\tItem Count="
            + std::to_string(items.size()) + "\r\n";
        for (const std::string& item : items)
            text += item;
        text += "\t}\r\n}\r\n";
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/Level Select Overlay.FOO"), text);
        // The rewards are these two alone.
        std::filesystem::remove_all(PathOf("Data/Resources/LifeRewards"));
        for (const auto& [name, after] : std::vector<std::pair<std::string, int>>{{"Town A", 5}, {"Town B", 8}})
            WriteBytes(PathOf("Data/Resources/LifeRewards/" + name + ".LifeRewards.txt"),
                       ObjectText("CLifeRewards",
                                  "Position Marker Name=" + name + "\r\nLevel To Display After=" + std::to_string(after)
                                      + "\r\n"));
        WriteBytes(PathOf("Data/Resources/Hill Years.DecadeTransition.txt"),
                   ObjectText("CDecadeTransition", "Position Marker Name=Hill Years\r\nLevel To Display Before=3\r\n"));
        // The active image of a level of "Period 1" (period index 0) with
        // two goals, one achieved, and no other, whatever the demo draws.
        for (const auto& entry : std::filesystem::directory_iterator(PathOf("Data/Resources/Frames")))
            if (entry.path().filename().string().starts_with("LevelButtonActive"))
                std::filesystem::remove(entry.path());
        std::filesystem::copy_file(PathOf("Data/Resources/Frames/Letter A.png"),
                                   PathOf("Data/Resources/Frames/LevelButtonActive521.png"));
        ReadList(GetDecadeTransitionList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
        // The trophy room opened from the map names the demo's trophies.
        ReadList(GetAchievementList(), "Resources", "Achievement");
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
        CLevelSet* levels = GetLevels();
        while (levels->GetCount() < 10)
            levels->InsertLevel(levels->GetCount(), nullptr);
        while (levels->GetCount() > 10)
            levels->RemoveLevel(levels->GetCount() - 1);
        for (uint32_t i = 0; i < 10; ++i) {
            levels->GetLevel(i)->m_Period = 0;
            levels->GetLevel(i)->m_IsTutorialLevel = false;
        }
        levels->ForgetTutorialIndices();
        CRules& rules = CRules::SGetInstance();
        ASSERT_EQ(rules.m_LevelSelectMenuFrameOverlay, GetFrameOverlayOptionsList().Find("Level Select Overlay"));
        rules.m_LevelSelectedFrameOffset = CPoint{-5, -7};
        rules.m_SecondsToMoveHighlight = 1.0f;
        rules.m_SecondsToSpawnUnlockEffect = 0.5f;
        rules.m_UnlockingLevelButtonSequence = GetSequenceList().Find("Coin");
        ASSERT_GT(rules.m_UnlockingLevelButtonSequence, 0);
        Player().m_SelectedLevel = 0;
    }
    void TearDown() override
    {
        if (CTownMapWindow* map = GetTownMapWindow())
            map->Destroy();
        if (CLifeRewardWindow* window = GetLifeRewardWindow())
            window->Destroy();
        CScreensGameTest::TearDown();
    }
    static void Complete(uint32_t level, bool marked)
    {
        CPlayerStatsForLevel* record = Player().GetLevelStats(level);
        record->m_HasBeenCompleted = true;
        record->m_HasBeenMarkedAsCompletedOnWorldMap = marked;
    }
    static CTownMapWindow* Open()
    {
        EXPECT_NE(OpenTownMap(), nullptr);
        return GetTownMapWindow();
    }
    // The rewards sequence run at the rules' quick times up to the reward's
    // window, whose Continue is pressed.
    void FlyToTheRewardAndContinue(CTownMapWindow* map)
    {
        map->Update(0.125f);
        App()->GetGameSprites().Update();
        map->Update(0.125f);
        map->Update(0.125f);
        ASSERT_NE(GetLifeRewardWindow(), nullptr);
        GetLifeRewardWindow()->Continue();
    }
    static std::string Value(const CTownMapWindow& map, const char* token)
    {
        CTextSubstitutionList values;
        map.FillSubstitutions(values);
        return values.Apply(CJString(token)).GetString();
    }
    static CPoint TopLeft(const CJButton* button) { return CPoint{button->GetRect().left, button->GetRect().top}; }
    // Two optional goals, the second met: the level's active image is then
    // "LevelButtonActive521", the one the data holds.
    static void GiveTwoGoalsOneMet(uint32_t level)
    {
        auto* list = static_cast<CPropertyArrayProperty*>(
            CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
        CLevelOptions* options = GetLevels()->GetLevel(level);
        list->ArrayProperty_SetCount(options, 2);
        for (uint32_t g = 0; g < 2; ++g)
            if (!options->m_OptionalGoals[g])
                options->m_OptionalGoals[g] = new CRevenueGoal;
        Player().GetLevelStats(level)->SetOptionalGoalAchieved(1);
    }
    static CFrame* ActiveImage()
    {
        CFrameList& frames = GetFrameLibrary();
        return frames.GetObject(frames.Find("LevelButtonActive521"));
    }

};

TEST_F(TownMap, MarkersAreLaidOutAroundThePeriodCentreAndMovedWhenPresent)
{
    CRules& rules = CRules::SGetInstance();
    rules.m_AngleBetweenLevels = 30.0f;
    rules.m_PeriodRadius = 100;
    delete rules.m_pPositionMarkerToClone;
    rules.m_pPositionMarkerToClone = new CFrameOverlayPositionMarker;
    CLevelSet* levels = GetLevels();
    while (levels->GetCount() < 12)
        levels->InsertLevel(levels->GetCount(), nullptr);
    for (uint32_t i = 0; i < 12; ++i)
        levels->GetLevel(i)->m_Period = 0;
    // One level of the second period (no centre on the map) in between
    // leaves the first period's count alone.
    levels->GetLevel(1)->m_Period = 1;
    GetPeriodList().GetObject(0)->m_PeriodYear = CJString("1950");
    CFrameOverlayOptions* set = FindFrameOverlayOptions("Level Select Overlay");
    const uint32_t before = set->GetOverlayCount();
    // Only when the rules ask for it.
    rules.m_ResetLevelSelectPositionsOnStartup = false;
    GetGameScreensHooks().PrepareTownMap();
    EXPECT_EQ(set->GetOverlayCount(), before);
    rules.m_ResetLevelSelectPositionsOnStartup = true;
    GetGameScreensHooks().PrepareTownMap();

    auto at = [&](uint32_t level) {
        CFrameOverlayPositionMarker* marker = set->FindPositionMarker(GetLevelMarkerName(level));
        EXPECT_NE(marker, nullptr) << level;
        return marker ? marker->m_Position : CPoint{-1, -1};
    };
    // Period 1 counts 0, 2, 3, ...: 0, 30, 60, 90 ... degrees.
    EXPECT_EQ(at(0), (CPoint{600, 300}));
    EXPECT_EQ(at(4), (CPoint{500, 400}));
    EXPECT_EQ(at(7), (CPoint{400, 300}));
    EXPECT_EQ(at(10), (CPoint{500, 200}));
    EXPECT_EQ(at(2).x, 500 + 86);
    // Level 1's marker stays where it was; levels 3, 10 and 11 are new.
    EXPECT_EQ(at(1), (CPoint{160, 200}));
    EXPECT_EQ(set->GetOverlayCount(), before + 3);
    EXPECT_STREQ(set->FindPositionMarker(CJString("Level011"))->m_Title.GetText().GetString(), "Level 12");
}

// A centre and a radius near the ends of the int range put the level markers
// at the held ends, and a huge highlight offset holds the highlight there too.
TEST_F(TownMap, MarkersAndTheHighlightNearTheEndsOfTheIntRangeAreHeldThere)
{
    CRules& rules = CRules::SGetInstance();
    rules.m_AngleBetweenLevels = 90.0f;
    rules.m_PeriodRadius = UINT32_MAX;
    rules.m_ResetLevelSelectPositionsOnStartup = true;
    delete rules.m_pPositionMarkerToClone;
    rules.m_pPositionMarkerToClone = new CFrameOverlayPositionMarker;
    GetPeriodList().GetObject(0)->m_PeriodYear = CJString("1950");
    CFrameOverlayOptions* set = FindFrameOverlayOptions("Level Select Overlay");
    CFrameOverlayPositionMarker* centre = set->FindPositionMarker(CJString("1950"));
    ASSERT_NE(centre, nullptr);
    centre->m_Position = CPoint{INT32_MAX - 10, INT32_MIN + 10};
    GetGameScreensHooks().PrepareTownMap();
    const auto at = [&](uint32_t level) {
        CFrameOverlayPositionMarker* marker = set->FindPositionMarker(GetLevelMarkerName(level));
        EXPECT_NE(marker, nullptr) << level;
        return marker ? marker->m_Position : CPoint{0, 0};
    };
    // Levels 0 to 3 at 0, 90, 180 and 270 degrees, 2^32 - 1 away.
    EXPECT_EQ(at(0), (CPoint{INT32_MAX, INT32_MIN + 10}));
    EXPECT_EQ(at(1).y, INT32_MAX);
    EXPECT_EQ(at(2).x, INT32_MIN);
    EXPECT_EQ(at(3).y, INT32_MIN);

    rules.m_LevelSelectedFrameOffset = CPoint{INT32_MAX, INT32_MIN};
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    ASSERT_NE(map->GetLevelButton(0), nullptr);
    const CPoint first = TopLeft(map->GetLevelButton(0));
    EXPECT_EQ(map->GetHighlightPosition(),
              (CPoint{first.x >= 0 ? INT32_MAX : first.x + INT32_MAX, first.y <= 0 ? INT32_MIN : first.y + INT32_MIN}));
}

TEST_F(TownMap, OneSlotPerLevelEmptyWhereTheMarkerIsMissing)
{
    Complete(0, true);
    Complete(1, true);
    Complete(2, true);
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetLevelButtonSlots(), 10u);
    EXPECT_EQ(map->GetLevelButton(3), nullptr);
    ASSERT_NE(map->GetLevelButton(4), nullptr);
    EXPECT_EQ(TopLeft(map->GetLevelButton(4)).x, 340);
    EXPECT_EQ(map->GetLevelButton(10), nullptr);
    // Level 3 has no button yet may be selected and played.
    map->SelectLevel(3);
    EXPECT_EQ(map->GetSelectedLevel(), 3u);
    EXPECT_EQ(map->GetHighlightPosition(), (CPoint{-5, -7}));
    map->Destroy();

    // Period index 0, two goals, one achieved: "LevelButtonActive521"; a
    // level after an unmarked one shows no active image.

    GiveTwoGoalsOneMet(0);
    map = Open();
    CFrame* active = ActiveImage();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(map->GetLevelButton(0)->GetIcon(), active);
    EXPECT_EQ(map->GetLevelButton(5)->GetIcon(), nullptr);
}

TEST_F(TownMap, SelectionPlayReplayAndQuit)
{
    Complete(0, true);
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    EXPECT_EQ(Value(*map, "%s[PlayButtonText]"), "Replay");
    const CPoint first = TopLeft(map->GetLevelButton(0));
    EXPECT_EQ(map->GetHighlightPosition(), (CPoint{first.x - 5, first.y - 7}));
    // Level 2 follows an uncompleted level: nothing changes.
    map->SelectLevel(2);
    EXPECT_EQ(map->GetSelectedLevel(), 0u);
    map->SelectLevel(1);
    EXPECT_EQ(map->GetSelectedLevel(), 1u);
    const CPoint second = TopLeft(map->GetLevelButton(1));
    EXPECT_EQ(map->GetHighlightPosition(), (CPoint{second.x - 5, second.y - 7}));
    EXPECT_EQ(Value(*map, "%s[PlayButtonText]"), "Play");

    // Quit keeps the selection for the next visit, saved by the next map's update.
    ASSERT_NE(map->GetButton("Quit"), nullptr);
    map->Quit();
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_EQ(Player().m_SelectedLevel, 1u);
    EXPECT_TRUE(CStats::SGetInstance().NeedsSave());
    map = Open();
    EXPECT_EQ(map->GetSelectedLevel(), 1u);
    map->Update(0.01f);
    EXPECT_FALSE(CStats::SGetInstance().NeedsSave());

    // Play: the level becomes current and the map gives way to the shop.
    const uint32_t screens = App()->GetOpenScreens();
    map->Play();
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
    EXPECT_NE(GetShopWindow(), nullptr);
    EXPECT_EQ(App()->GetOpenScreens(), screens);
}

TEST_F(TownMap, ASelectedLevelPastTheSetDrawsAndPlaysNothing)
{
    Player().m_SelectedLevel = 99;
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetHighlightPosition(), (CPoint{-5, -7}));
    EXPECT_EQ(Value(*map, "%s[PlayButtonText]"), "Play");
    auto canvas = std::make_unique<CFrame>();
    canvas->Create(1024, 768, 32);
    map->Draw(*canvas);
    map->Play();
    EXPECT_EQ(GetTownMapWindow(), map);
    EXPECT_EQ(Player().GetLevelStats(99), nullptr);
}

TEST_F(TownMap, ACompletedLevelGlidesTheHighlightAndUnlocksTheNext)
{
    Complete(0, true);
    Complete(1, false);
    GiveTwoGoalsOneMet(2);
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(Player().GetLevelStats(1)->IsMarkedCompletedOnMap());
    EXPECT_EQ(map->GetNewlyUnlockedLevel(), 2);
    EXPECT_EQ(map->GetSelectedLevel(), 2u);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Glide);
    EXPECT_EQ(Value(*map, "%s[PlayButtonText]"), "Play");
    ASSERT_NE(ActiveImage(), nullptr);
    CJButton* unlocked = map->GetLevelButton(2);
    ASSERT_NE(unlocked, nullptr);
    EXPECT_EQ(unlocked->GetIcon(), nullptr) << "inactive until the highlight arrives";

    const CPoint from = TopLeft(map->GetLevelButton(1));
    const CPoint to = TopLeft(unlocked);
    map->Update(0.25f);
    EXPECT_EQ(map->GetHighlightPosition().x, from.x + (to.x - from.x) / 4 - 5);
    EXPECT_EQ(map->GetUnlockFrame(), -1);
    map->Update(0.25f);
    // The unlock effect starts with its countdown's end.
    EXPECT_EQ(map->GetUnlockFrame(), 0);
    EXPECT_EQ(unlocked->GetIcon(), nullptr) << "still gliding";
    map->Update(0.5f);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    EXPECT_EQ(map->GetHighlightPosition(), (CPoint{to.x - 5, to.y - 7}));
    EXPECT_EQ(unlocked->GetIcon(), ActiveImage()) << "active once the glide ends";
    // Played on at the sequence's rate until past its last frame.
    CSequence* coin = GetSequenceList().GetObject(CRules::SGetInstance().m_UnlockingLevelButtonSequence);
    const float last = float(coin->GetFrameCount()) / coin->GetFramesPerSecond();
    map->Update(last);
    EXPECT_EQ(map->GetUnlockFrame(), -1);

    // Focus restarts the clock; a second visit has nothing new.
    map->SetFocus(true);
    EXPECT_EQ(map->GetClock(), 0.0f);
    map->Destroy();
    map = Open();
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    EXPECT_EQ(map->GetNewlyUnlockedLevel(), -1);
}

TEST_F(TownMap, AnUnlockEffectAtARatePastTheIntRangeEnds)
{
    Complete(0, true);
    Complete(1, false);
    GiveTwoGoalsOneMet(2);
    CSequence* coin = GetSequenceList().GetObject(CRules::SGetInstance().m_UnlockingLevelButtonSequence);
    const CProperty* rate = coin->GetClassInfo()->FindProperty("Frames Per Second");
    ASSERT_NE(rate, nullptr);
    coin->SetPropertyFromText(rate, CJString("-3.4e38"), nullptr);
    ASSERT_EQ(coin->GetFramesPerSecond(), -3.4e38f);
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    map->Update(0.5f);
    ASSERT_EQ(map->GetUnlockFrame(), 0);
    map->Update(0.25f);
    EXPECT_LT(map->GetUnlockFrame(), 0);
    map->Destroy();
}

TEST_F(TownMap, ARewardLevelFliesToItsTownOpensTheRewardsAndFlashesTheNewTown)
{
    CRules& rules = CRules::SGetInstance();
    rules.m_SecondsToSpawnRewardsFlier = 0.5f;
    rules.m_RewardsFlierPixelsPerSecond = 60000.0f;
    rules.m_SecondsToUnlockRewardsButton = 0.5f;
    rules.m_SecondsToOpenRewardsScreen = 1.0f;
    rules.m_SecondsForNewTownToShow = 2.0f;
    rules.m_FlashNewTownDuration = 1.0f;
    for (uint32_t i = 0; i < 4; ++i)
        Complete(i, true);
    Complete(4, false);
    Player().m_SelectedLevel = 4;
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Rewards);
    EXPECT_EQ(map->GetRewardsLevel(), 4);
    EXPECT_EQ(map->GetSelectedLevel(), 4u);
    ASSERT_NE(map->GetRewardsButton(), nullptr);
    EXPECT_FALSE(map->IsRewardsButtonShown());
    EXPECT_EQ(Value(*map, "%s[ShowTown1]"), "0");
    // Buttons wait for the sequence.
    map->Play();
    EXPECT_EQ(GetTownMapWindow(), map);

    CSpriteArray& sprites = App()->GetGameSprites();
    const uint32_t before = sprites.count;
    map->Update(0.5f);
    ASSERT_EQ(sprites.count, before + 1);
    // The flier leaves the selected level for the town, its sparkles turned
    // to the way it flies.
    CSprite* flier = sprites.GetAt(sprites.count - 1);
    auto* look = dynamic_cast<CRewardsUnlockFlierAI*>(flier->FindAI(CRewardsUnlockFlierAI::SGetClassInfo()));
    ASSERT_NE(look, nullptr);
    EXPECT_FLOAT_EQ(flier->GetPosition().x, 360.0f);
    EXPECT_FLOAT_EQ(flier->GetPosition().y, 215.0f);
    EXPECT_FLOAT_EQ(look->m_AngleDegrees, GetRewardsFlierAngle(360, 215, 520, 515));
    CFrameOverlayOptions* flierSet = GetFrameOverlayOptionsList().GetObject(rules.m_RewardsFlierOverlay);
    ASSERT_NE(flierSet, nullptr);
    auto* sparkles = new CFrameOverlayTimeline;
    sparkles->m_ID = CJString("Sparkles");
    flierSet->Append(sparkles);
    auto canvas = std::make_unique<CFrame>();
    canvas->Create(1024, 768, 32);
    flier->PostDraw(*canvas);
    EXPECT_FLOAT_EQ(sparkles->m_InitialRotation, look->m_AngleDegrees);
    sprites.Update();
    sprites.Update();
    EXPECT_EQ(sprites.count, before);
    map->Update(0.5f);
    EXPECT_TRUE(map->IsRewardsButtonShown());
    EXPECT_EQ(map->GetUnlockFrame(), 0);
    EXPECT_EQ(GetLifeRewardWindow(), nullptr);
    map->Update(0.5f);
    ASSERT_NE(GetLifeRewardWindow(), nullptr);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::WaitingForRewards);
    EXPECT_EQ(map->GetRewardsLevel(), -1);

    // Its continuation: the glide to the next level and the new town.
    GetLifeRewardWindow()->Continue();
    EXPECT_EQ(GetLifeRewardWindow(), nullptr);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Glide);
    EXPECT_EQ(map->GetSelectedLevel(), 5u);
    map->Update(0.9f);
    EXPECT_EQ(map->GetTownBlink(), 0u);
    map->Update(0.12f); // 0.98 s left: blinks at five a second
    EXPECT_EQ(map->GetTownBlink(), 0u);
    map->Update(0.1f); // 0.88 s left
    EXPECT_EQ(map->GetTownBlink(), 1u);
    EXPECT_EQ(Value(*map, "%s[ShowTown1]"), "1");
    EXPECT_EQ(Value(*map, "%s[ShowTown2]"), "0");
    map->Update(1.0f);
    EXPECT_EQ(map->GetTownsShown(), 1u);
    EXPECT_EQ(map->GetTownBlink(), 0u);

    // Back later: the town is on the map at once.
    map->Destroy();
    map = Open();
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    EXPECT_EQ(map->GetTownsShown(), 1u);
}

TEST_F(TownMap, AnExpertLevelUnlockingARewardFliesWithoutANewLevelOrTown)
{
    CRules& rules = CRules::SGetInstance();
    rules.m_SecondsToSpawnRewardsFlier = 0.125f;
    rules.m_RewardsFlierPixelsPerSecond = 60000.0f;
    rules.m_SecondsToUnlockRewardsButton = 0.125f;
    rules.m_SecondsToOpenRewardsScreen = 0.25f;
    for (uint32_t i = 0; i < 5; ++i)
        Complete(i, true);
    auto* list
        = static_cast<CPropertyArrayProperty*>(CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
    CLevelOptions* level = GetLevels()->GetLevel(4);
    list->ArrayProperty_SetCount(level, 2);
    for (uint32_t g = 0; g < 2; ++g) {
        if (!level->m_OptionalGoals[g])
            level->m_OptionalGoals[g] = new CRevenueGoal;
        Player().GetLevelStats(4)->SetOptionalGoalAchieved(g);
    }
    Player().m_SelectedLevel = 4;
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(Player().GetLevelStats(4)->IsMarkedExpertOnMap());
    EXPECT_TRUE(map->IsRewardsFlagSet());
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Rewards);
    EXPECT_EQ(map->GetNewlyUnlockedLevel(), -1);
    // The town's button is on the map already.
    EXPECT_TRUE(map->IsRewardsButtonShown());
    EXPECT_EQ(map->GetTownsShown(), 1u);
    EXPECT_EQ(Value(*map, "%s[PlayButtonText]"), "Replay");

    ASSERT_NO_FATAL_FAILURE(FlyToTheRewardAndContinue(map));
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    EXPECT_EQ(map->GetSelectedLevel(), 4u);
    map->Update(3.0f);
    EXPECT_EQ(map->GetTownsShown(), 1u);

    // Marked once: the next visit is quiet.
    map->Destroy();
    map = Open();
    EXPECT_FALSE(map->IsRewardsFlagSet());
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
}

// The program closed during the last reward's flier: the profile holds every
// street marked expert, the reward earned, its story page never shown. The
// next visit runs the sequence to that page and the credits; then never again.
// Replaying the first of the ten for its goals flags the reward as well.
TEST_F(TownMap, AnEndingCutShortRunsOnTheNextVisitOnceAndTheFirstOfTheTenCounts)
{
    InstallMainMenuScreen();
    CRules& rules = CRules::SGetInstance();
    rules.m_SecondsToSpawnRewardsFlier = 0.125f;
    rules.m_RewardsFlierPixelsPerSecond = 60000.0f;
    rules.m_SecondsToUnlockRewardsButton = 0.125f;
    rules.m_SecondsToOpenRewardsScreen = 0.25f;
    GetLifeRewardList().GetObjectByName("Town B")->m_LevelToDisplayAfter = 10;
    for (uint32_t i = 0; i < 10; ++i) {
        GiveTwoGoalsOneMet(i);
        Player().GetLevelStats(i)->SetOptionalGoalAchieved(0);
        Complete(i, true);
        Player().GetLevelStats(i)->MarkExpertOnMap();
    }
    Player().m_NumStoryPagesViewed = 1;
    Player().m_SelectedLevel = 9;
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Rewards);
    ASSERT_NO_FATAL_FAILURE(FlyToTheRewardAndContinue(map));
    ASSERT_NE(GetStoryWindow(), nullptr);
    EXPECT_EQ(GetStoryWindow()->GetPage(), kLastRewardStoryPage);
    GetStoryWindow()->Continue();
    bool credits = false;
    for (CJWindow* child = CScreenWindow::GetScreenWindow()->GetFirstChild(); child; child = child->GetNextSibling())
        credits = credits || dynamic_cast<CCreditsWindow*>(child);
    EXPECT_TRUE(credits);

    map = Open();
    EXPECT_EQ(map->GetState(), CTownMapWindow::EState::Idle);
    map->Destroy();
    Player().GetLevelStats(0)->m_HasBeenMarkedAsExpertOnWorldMap = false;
    map = Open();
    EXPECT_TRUE(map->IsRewardsFlagSet());
}

TEST_F(TownMap, ATransitionReplaysOnceItsPeriodIsReachedAndPrecedesItsFirstPlay)
{
    Complete(0, true);
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(Button(map, "Hill Years"), nullptr);
    map->Destroy();

    Complete(1, true);
    map = Open();
    ASSERT_NE(Button(map, "Hill Years"), nullptr);
    map->SelectLevel(2);
    map->Play();
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), 2u);
    EXPECT_EQ(Player().m_SelectedLevel, 2u);
    CDecadeTransitionWindow* transition = GetDecadeTransitionWindow();
    ASSERT_NE(transition, nullptr);
    EXPECT_STREQ(transition->GetTransition()->m_PositionMarkerName.GetString(), "Hill Years");
    transition->Destroy();

    // Completed, the level is replayed without its transition.
    Complete(2, true);
    map = Open();
    map->SelectLevel(2);
    map->Play();
    EXPECT_EQ(GetDecadeTransitionWindow(), nullptr);
    EXPECT_EQ(GetTownMapWindow(), nullptr);
}

TEST_F(TownMap, TheMapDrawsOnlyWhileAtMostOneGameScreenIsOpen)
{
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    auto canvas = std::make_unique<CFrame>();
    canvas->Create(1024, 768, 32);
    CColor grey(90, 90, 90, 255);
    auto changed = [&] {
        canvas->FillRect(CRect{0, 0, 1024, 768}, grey);
        map->Draw(*canvas);
        int count = 0;
        for (int32_t y = 0; y < 768; y += 4)
            for (int32_t x = 0; x < 1024; x += 4) {
                CColor pixel;
                canvas->GetPixel(x, y, pixel);
                count += pixel.GetRed() != 90 || pixel.GetGreen() != 90 || pixel.GetBlue() != 90;
            }
        return count;
    };
    App()->IncrementOpenScreens();
    EXPECT_EQ(changed(), 0);
    App()->DecrementOpenScreens();
    EXPECT_GT(changed(), 0);
}

TEST_F(TownMap, ClosingEveryScreenTakesTheTrophyRoomStandingInForTheMap)
{
    CTownMapWindow* map = Open();
    ASSERT_NE(map, nullptr);
    CTrophyRoomWindow* room = OpenTrophyRoom(map);
    ASSERT_EQ(GetTrophyRoomWindow(), room);
    ASSERT_EQ(map->GetParent(), nullptr);
    App()->CloseAllOverlayScreens();
    Passes(2);
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_EQ(GetTrophyRoomWindow(), nullptr);
    EXPECT_FALSE(CScreenWindow::GetScreenWindow()->HasChildren());
}

} // namespace
