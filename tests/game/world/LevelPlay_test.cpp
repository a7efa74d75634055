// The level in play as the game drives it: the revenue count-up and its
// goal-reached effect, play time with and without a window open, the
// messages a level reacts to, the end of player interaction, the statistics
// text, the effects it spawns and the playfield mouse messages. Every caller
// copes with no current level.
#include "game/business/CCustomer.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "game/world/WorldHooks.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"
#include "support/ScopedHooks.h"
#include "support/TestOnlyClasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Remembers every message its sprite hears, by name.
class CListeningAI : public CSpriteAI {
public:
    explicit CListeningAI(std::vector<std::string>& heard)
        : m_Heard(heard)
    {
    }
    void Update(CSpriteUpdateRecord&) override {}
    void HandleMessage(CMessage& message) override
    {
        const char* name = GetMessageTypeName(message.GetType());
        m_Heard.push_back(name ? name : "");
        if (auto* mouse = dynamic_cast<CPlayfieldMouseMessage*>(&message))
            lastMouse = mouse->GetPosition();
    }
    CPoint lastMouse{0, 0};

private:
    std::vector<std::string>& m_Heard;
};

void AddGoal(CLevelOptions& level)
{
    auto* list =
        static_cast<CPropertyArrayProperty*>(CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
    ASSERT_NE(list, nullptr);
    const uint32_t count = level.m_OptionalGoals.GetCount();
    list->ArrayProperty_SetCount(&level, count + 1);
    delete level.m_OptionalGoals[count];
    level.m_OptionalGoals[count] = new CRevenueGoal;
}

class CountingHooks : public CGameScreensHooks {
public:
    bool IsStandardPlayMode() override { return standard; }
    CJString GetLastAdviceName() override { return CJString("Build A Garage"); }
    bool standard = false;
};

class CurrentLevel : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (const char* name : {"Aaa None", "StarGoalEffect"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 4, 4);
        // Ten frames at twenty a second.
        for (int i = 1; i <= 10; ++i)
            WriteTga("Resources/Sequences/-Gold Burst/" + std::to_string(1000 + i) + ".tga", 4, 4);
        WriteBytes("Resources/Sequences/-Gold Burst/Properties.txt", SequenceProperties("Frames Per Second=20"));
        WriteBytes("Resources/Audio/!None.Audio.txt", BareObjectText("CAudioRandomFromSet", ""));
        WriteBytes("Resources/Audio/Cheer.Audio.txt", BareObjectText("CAudioRandomFromSet", ""));
        WriteBytes("Resources/Rules.Object.txt",
                   BareObjectText("CRules",
                                  "Revenue Count Up=1\r\nGoal Achieved Sequence=Gold Burst\r\n"
                                  "Goal Achieved Sequence Pos=300,200\r\nGoal Achieved Audio=Cheer\r\n"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetAudioList().SetSource("Resources/Audio", nullptr);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        CGameState::SGetCurrent()->m_RevenueK = 0.0f;
        GetGlobalTextSubstitutions().RemoveAll();
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        GetGlobalTextSubstitutions().RemoveAll();
        CGameState::SGetCurrent()->m_RevenueK = 0.0f;
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetAudioList().SetSource("Nowhere", nullptr);
        SequenceFolderTest::TearDown();
    }

    // A held copy of a fresh level with the default layers, as the game plays it.
    static CLevelOptions& StartLevel(uint32_t goals = 0)
    {
        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        for (uint32_t i = 0; i < goals; ++i)
            AddGoal(level);
        GetLevelHolder().HoldCopyOf(&level);
        CLevelOptions* current = CLevelOptions::SGetCurrent();
        EXPECT_NE(current, nullptr);
        return *current;
    }
    // A sprite on the "UI" layer that remembers what it hears.
    static CListeningAI& Listen(CLevelOptions& level, std::vector<std::string>& heard)
    {
        auto* ai = new CListeningAI(heard);
        auto* sprite = new CSprite;
        sprite->AddAI(ai);
        level.GetPlayfield().AddSprite(sprite, "UI");
        return *ai;
    }
    static uint32_t EffectCount(CLevelOptions& level)
    {
        CPlayfieldLayer* effects = level.GetPlayfield().FindLayer("Effects");
        return effects ? effects->GetSpriteCount() : 0;
    }
    static std::string Stat(const CTextSubstitutionList& list, const char* key)
    {
        return list.Apply(CJString(key)).GetString();
    }
};

TEST_F(CurrentLevel, RevenueCountsUpAndTheGoalReachedEffectPlaysOnceWhenTheRequirementIsFirstShown)
{
    CLevelOptions& level = StartLevel();
    level.m_Customers = 10;
    level.m_RequiredRevenue = 500.0f;
    CGameState::SGetCurrent()->m_RevenueK = 10000.0f;
    level.AddPendingRevenue(10000.0f);
    // 500 / 10 customers over one second: 50 a second.
    for (int i = 0; i < 9; ++i)
        level.Update(1.0f, false);
    EXPECT_FLOAT_EQ(level.m_PendingRevenue, 9550.0f);
    EXPECT_EQ(EffectCount(level), 0u);
    level.Update(1.0f, false);
    ASSERT_EQ(EffectCount(level), 1u);
    CSprite* burst = level.GetPlayfield().FindLayer("Effects")->GetSprite(0);
    EXPECT_EQ(burst->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Gold Burst")));
    EXPECT_FLOAT_EQ(burst->GetPosition().x, 300.0f);
    EXPECT_FLOAT_EQ(burst->GetPosition().y, 200.0f);
    EXPECT_NE(dynamic_cast<CPlayAnimationOnceSpriteAI*>(burst->GetAI()), nullptr);
    for (int i = 0; i < 20; ++i)
        level.Update(1.0f, false);
    EXPECT_EQ(EffectCount(level), 1u);

    // The count-up never goes below nothing pending.
    level.m_PendingRevenue = 10.0f;
    level.Update(1.0f, false);
    EXPECT_FLOAT_EQ(level.m_PendingRevenue, 0.0f);
}

TEST_F(CurrentLevel, AWindowOverThePlayfieldStopsPlayTimeButNotTheCountUpAndEndOfInteractionStopsPlayTime)
{
    std::vector<std::string> heard;
    CLevelOptions& level = StartLevel();
    Listen(level, heard);
    level.m_Customers = 10;
    level.m_RequiredRevenue = 500.0f;
    CGameState::SGetCurrent()->m_RevenueK = 100.0f;
    level.AddPendingRevenue(100.0f);

    level.Update(0.5f, true);
    EXPECT_FLOAT_EQ(level.m_SecondsPlayed, 0.0f);
    EXPECT_FLOAT_EQ(level.m_PendingRevenue, 75.0f);
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_LevelUpdates, 0);

    level.Update(0.5f, false);
    EXPECT_FLOAT_EQ(level.m_SecondsPlayed, 0.5f);
    EXPECT_FLOAT_EQ(level.m_PendingRevenue, 50.0f);
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_LevelUpdates, 1);

    GetGlobalTextSubstitutions().AddText("%s[Name]", CJString("Ada"));
    CompletePlayerInteraction();
    EXPECT_TRUE(level.IsPlayerInteractionComplete());
    EXPECT_EQ(heard, std::vector<std::string>{"PlayerInteractionComplete"});
    EXPECT_EQ(GetGlobalTextSubstitutions().GetCount(), 0u);
    level.Update(0.5f, false);
    EXPECT_FLOAT_EQ(level.m_SecondsPlayed, 0.5f);
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_LevelUpdates, 2);
}

TEST_F(CurrentLevel, LevelCompleteFailsEveryGoalNotAchievedAndScriptMessagesSetOneSwitchEach)
{
    std::vector<std::string> heard;
    CLevelOptions& level = StartLevel(3);
    Listen(level, heard);
    level.m_OptionalGoals[0]->m_AchievedThisTime = true;
    CMessage complete = CMessage::CMessageByName("LevelComplete");
    level.HandleMessage(complete);
    EXPECT_FALSE(level.m_OptionalGoals[0]->m_Failed);
    EXPECT_TRUE(level.m_OptionalGoals[1]->m_Failed);
    EXPECT_TRUE(level.m_OptionalGoals[2]->m_Failed);
    EXPECT_EQ(heard, (std::vector<std::string>{"Optional Goal Failed", "Optional Goal Failed"}));

    // A goal achieved in an earlier play is never failed; a failed one
    // broadcasts again.
    heard.clear();
    level.m_OptionalGoals[1]->m_AchievedPreviously = true;
    level.HandleMessage(complete);
    EXPECT_EQ(heard, std::vector<std::string>{"Optional Goal Failed"});

    auto send = [&](const char* name) {
        CMessage message = CMessage::CMessageByName(name);
        level.HandleMessage(message);
    };
    send("Disable Customers");
    EXPECT_TRUE(level.m_CustomerSpawningDisabled);
    send("Enable Customers");
    EXPECT_FALSE(level.m_CustomerSpawningDisabled);
    level.m_PacifierPickupDisabled = true;
    send("Enable Pacifier");
    EXPECT_FALSE(level.m_PacifierPickupDisabled);
    send("Enable RequireClickAssist");
    send("Enable RequireMegaClickAssist");
    EXPECT_TRUE(level.m_RequireClickAssist);
    EXPECT_TRUE(level.m_RequireMegaClickAssist);
    send("Disable RequireClickAssist");
    EXPECT_FALSE(level.m_RequireClickAssist);
    EXPECT_TRUE(level.m_RequireMegaClickAssist);
    send("Disable RequireMegaClickAssist");
    EXPECT_FALSE(level.m_RequireMegaClickAssist);
    // No message disables the pacifier; an unknown one changes nothing.
    send("Disable Pacifier");
    send("Wobble");
    EXPECT_FALSE(level.m_PacifierPickupDisabled);
    EXPECT_FALSE(level.m_CustomerSpawningDisabled);
}

TEST_F(CurrentLevel, StatisticsTextGivesZeroForZeroDenominatorsAndTheGoalsAsDone)
{
    CountingHooks hooks;
    CScopedHook<SetGameScreensHooks> installed(&hooks);
    CLevelOptions& level = StartLevel(2);
    CTextSubstitutionList fresh;
    level.AddLevelStats(fresh);
    EXPECT_EQ(Stat(fresh, "Difficulty"), "Kids");
    EXPECT_EQ(Stat(fresh, "Seconds"), "0");
    EXPECT_EQ(Stat(fresh, "P_FPS"), "0");
    EXPECT_EQ(Stat(fresh, "AvgCrewsWorking"), "0.0");
    EXPECT_EQ(Stat(fresh, "CrewWorkingPct"), "0.0");
    EXPECT_EQ(Stat(fresh, "ClicksPerMinute"), "0.0");
    EXPECT_EQ(Stat(fresh, "OptionalGoal1"), "0");
    EXPECT_EQ(Stat(fresh, "OptionalGoal3"), "");
    EXPECT_EQ(Stat(fresh, "Advice"), "Build A Garage");

    hooks.standard = true;
    AddGoal(level);
    level.m_OptionalGoals[0]->m_AchievedThisTime = true;
    level.m_SecondsPlayed = 119.6f;
    CLevelPlayStats& stats = *CLevelPlayStats::SGetCurrent();
    stats.m_Clicks = 25; // 12.5 a minute, truncated
    stats.m_SecondsInLevel = 100.0f;
    stats.m_SecondsNoCrewWorking = 25.0f;
    stats.AddLevelUpdate(30.0f, 58.0f);
    stats.AddLevelUpdate(31.2f, 61.4f);
    stats.m_ClickAssistsUsed = 7;
    CTextSubstitutionList played;
    level.AddLevelStats(played);
    EXPECT_EQ(Stat(played, "Difficulty"), "Standard");
    EXPECT_EQ(Stat(played, "Seconds"), "120");
    EXPECT_EQ(Stat(played, "P_FPS"), "31"); // 30.6 with no decimals
    EXPECT_EQ(Stat(played, "A_FPS"), "60");
    EXPECT_EQ(Stat(played, "CrewWorkingPct"), "75.0");
    EXPECT_EQ(Stat(played, "ClicksPerMinute"), "12.0");
    EXPECT_EQ(Stat(played, "OptionalGoal1"), "1");
    EXPECT_EQ(Stat(played, "OptionalGoal2"), "0");
    EXPECT_EQ(Stat(played, "OptionalGoal3"), "0");
    EXPECT_EQ(Stat(played, "Click Assists Used"), "7");
}

TEST_F(CurrentLevel, EffectsPlayOnceAndTheStarLandsOffsetOnAnEffectsLayerMadeWhenMissing)
{
    CLevelOptions& level = StartLevel();
    level.GetPlayfield().DeleteAllLayers();
    SpawnStarGoalEffect({100.0f, 40.0f});
    ASSERT_EQ(EffectCount(level), 1u);
    CSprite* star = level.GetPlayfield().FindLayer("Effects")->GetSprite(0);
    EXPECT_FLOAT_EQ(star->GetPosition().x, 124.0f);
    EXPECT_FLOAT_EQ(star->GetPosition().y, 64.0f);
    EXPECT_EQ(star->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("StarGoalEffect")));

    // Ten frames at twenty a second: gone after half a second.
    CSprite* burst = SpawnOneShotAnimation(GetSequenceList().Find("Gold Burst"), {0.0f, 0.0f}, "Effects");
    ASSERT_NE(burst, nullptr);
    CPlayAnimationOnceSpriteAI ai;
    CSpriteUpdateRecord record{burst, 0.1f};
    for (int i = 0; i < 4; ++i)
        ai.Update(record);
    EXPECT_FALSE(burst->IsMarkedForDeletion());
    EXPECT_NEAR(burst->GetFramePosition(), 8.0f, 1e-4f);
    ai.Update(record);
    EXPECT_TRUE(burst->IsMarkedForDeletion());

    EXPECT_EQ(SpawnOneShotAnimation(0, {0.0f, 0.0f}, "Effects"), nullptr);
}

TEST_F(CurrentLevel, OnlyALeftPressReachesThePlayfieldAndCountsAClick)
{
    CountingHooks hooks;
    CScopedHook<SetGameScreensHooks> installed(&hooks);
    std::vector<std::string> heard;
    CLevelOptions& level = StartLevel();
    CListeningAI& ai = Listen(level, heard);
    auto* held = new CSprite;
    held->AddAI(new CCustomer);
    level.GetPlayfield().AddSprite(held, "Customers");
    SetDraggedSprite(held, {0.0f, 0.0f});

    SendPlayfieldMouseDown(2, {5, 6}); // right button
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(GetDraggedSprite(), nullptr) << "the customer on the cursor goes back";
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_Clicks, 0);

    SendPlayfieldMouseDown(kLeftMouseButton | 2, {7, 8});
    SendPlayfieldMouseUp(0, {9, 10});
    SendPlayfieldMouseMoved({11, 12}, {9, 10});
    EXPECT_EQ(heard, (std::vector<std::string>{"CMouseDownMessage", "CMouseUpMessage", "CMouseMovedMessage"}));
    EXPECT_EQ(ai.lastMouse, (CPoint{11, 12}));
    EXPECT_EQ(CLevelPlayStats::SGetCurrent()->m_Clicks, 1);

    CPlayfieldMouseMessage moved = CPlayfieldMouseMessage::MouseMoved(0, {1, 2}, {3, 4});
    EXPECT_TRUE(moved.IsType("CMouseMovedMessage"));
    EXPECT_EQ(moved.GetSecondPoint(), (CPoint{3, 4}));
    EXPECT_TRUE(CPlayfieldMouseMessage::MouseDown(0, 1, {}).IsType("cmousedownmessage"));
    EXPECT_FALSE(CPlayfieldMouseMessage::MouseUp(0, 1, {}).IsType("CMouseDownMessage"));
    // The wheel and double-click names are registered with the others.
    EXPECT_NE(GetMessageTypeName(CMessage::SGetMessageType("CMouseWheelMovedMessage")), nullptr);
}

} // namespace

// An upgrade that shows no button at level start.
class CNoButtonUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CNoButtonUpgrade, CUpgrade)
public:
    CNoButtonUpgrade() { InitDeclaredProperties(); }
    ~CNoButtonUpgrade() override { DestroyDeclaredProperties(); }
    bool HasButton() override { return false; }
};
OMBRISALT_IMPLEMENT_CLASS(CNoButtonUpgrade, 1.0)
const CTestOnlyClass kNoButtonUpgradeIsTestOnly("CNoButtonUpgrade");
void CNoButtonUpgrade::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// The upgrade and slot a button placed at level start shows, as "upgrade@slot".
std::string Shown(CSprite& sprite)
{
    auto* button = dynamic_cast<CUpgradeButton*>(sprite.FindAI(CUpgradeButton::SGetClassInfo()));
    if (!button)
        return "no button";
    return std::to_string(button->GetUpgradeIndex()) + "@" + std::to_string(button->m_UpgradeSlot);
}

std::string Asked(const char* upgrade, const char* slot)
{
    return std::to_string(GetUpgradeList().Find(upgrade)) + "@" + std::to_string(GetUpgradeSlotList().Find(slot));
}

TEST_F(CurrentLevel, SlotSpritesGoToTheirMarkersOnlyUnderAPeriodWithAHudBackground)
{
    WriteTga("Resources/Sequences/-Hud/0001.tga", 4, 4);
    GetSequenceList().RemoveAll();
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    WriteBytes("Resources/Bare.Period.txt", BareObjectText("CPeriod", ""));
    WriteBytes("Resources/Hud.Period.txt", BareObjectText("CPeriod", "Hud Background=Hud\r\n"));
    WriteBytes("Resources/!None.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Crew.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Empty.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Porch.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Shop.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/Show.UpgradeSlot.txt",
               BareObjectText("CUpgradeSlot", "Show Button Even When Upgrade Not Purchased=1\r\n"));
    WriteBytes("Resources/Sign.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
    WriteBytes("Resources/!None.Upgrade.txt", BareObjectText("CUpgrade", ""));
    WriteBytes("Resources/Crew A.Upgrade.txt", BareObjectText("CCrewUpgrade", "Upgrade Slot=Crew\r\n"));
    WriteBytes("Resources/Porch.Upgrade.txt", BareObjectText("CUpgrade", "Upgrade Slot=Porch\r\n"));
    CNoButtonUpgrade::SGetClassInfo();
    WriteBytes("Resources/Shed.Upgrade.txt", BareObjectText("CNoButtonUpgrade", "Upgrade Slot=Shop\r\n"));
    WriteBytes("Resources/Sign.Upgrade.txt", BareObjectText("CSignpostUpgrade", "Upgrade Slot=Sign\r\n"));
    for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetPeriodList()),
                                   static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
                                   static_cast<CObjectFileArray*>(&GetUpgradeList())})
        list->SetSource(nullptr, "Resources", 0);
    // The gameplay set's slot markers, centred on (100 x slot, 50).
    std::string markers;
    for (int32_t slot = 1; slot < GetUpgradeSlotList().GetCount(); ++slot)
        markers += "Array Item=CFrameOverlayPositionMarker\r\n{\r\nID="
            + std::string(GetUpgradeSlotName(slot).GetString()) + "\r\nPosition=" + std::to_string(100 * slot - 5)
            + ",47\r\nSize=10,6\r\n}\r\n";
    WriteBytes("Resources/Frame Overlay Options/Gameplay Overlay.FOO",
               BareObjectText("CFrameOverlayOptions", "Text Overlays=Array\r\n{\r\n" + markers + "}\r\n"));
    GetFrameOverlayOptionsList().RemoveAll();
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    CGameState* state = CGameState::SGetCurrent();
    for (const char* name : {"Crew A", "Porch", "Shed", "Sign"})
        state->ReceiveUpgrade(GetUpgradeList().Find(name));

    CLevelOptions& level = StartLevel();
    CPlayfield& playfield = level.GetPlayfield();
    level.m_Period = GetPeriodList().Find("Bare");
    PlaceSlotSprites();
    EXPECT_EQ(playfield.FindLayer("UI")->GetSpriteCount() + playfield.FindLayer("Crew")->GetSpriteCount(), 0u);

    level.m_Period = GetPeriodList().Find("Hud");
    PlaceSlotSprites();
    // The crew upgrade's phase has no crew slot: no crew sprite. The shed
    // shows nothing; the always-shown empty slot shows the "none" upgrade.
    const int32_t show = GetUpgradeSlotList().Find("Show");
    CPlayfieldLayer* ui = playfield.FindLayer("UI");
    ASSERT_EQ(ui->GetSpriteCount(), 3u);
    EXPECT_EQ((std::vector<std::string>{Shown(*ui->GetSprite(0)), Shown(*ui->GetSprite(1)), Shown(*ui->GetSprite(2))}),
              (std::vector<std::string>{Asked("Porch", "Porch"), Asked("!None", "Show"), Asked("Sign", "Sign")}));
    EXPECT_FLOAT_EQ(ui->GetSprite(1)->GetPosition().x, 100.0f * float(show));
    CPlayfieldLayer* crew = playfield.FindLayer("Crew");
    ASSERT_EQ(crew->GetSpriteCount(), 1u);
    EXPECT_EQ(crew->GetSprite(0)->GetPosition(), ui->GetSprite(2)->GetPosition());

    for (const char* name : {"Crew A", "Porch", "Shed", "Sign"})
        state->RemoveUpgrade(GetUpgradeList().Find(name));
    for (CObjectFileArray* list : {static_cast<CObjectFileArray*>(&GetPeriodList()),
                                   static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
                                   static_cast<CObjectFileArray*>(&GetUpgradeList())}) {
        list->RemoveAll();
        list->SetSource(nullptr, "Nowhere", 0);
    }
    GetFrameOverlayOptionsList().RemoveAll();
    InitFrameOverlayOptionsList(); // where the game keeps it
}

TEST_F(CurrentLevel, WithoutACurrentLevelEveryEntryPointDoesNothing)
{
    GetLevelHolder().Release();
    SetCurrentLevelIndex(100000);
    ASSERT_EQ(CLevelOptions::SGetCurrent(), nullptr);
    CompletePlayerInteraction();
    PlaceSlotSprites();
    SpawnStarGoalEffect({0.0f, 0.0f});
    SendPlayfieldMouseDown(kLeftMouseButton, {1, 1});
    SendPlayfieldMouseUp(kLeftMouseButton, {1, 1});
    EXPECT_EQ(CLevelPlayStats::SGetCurrent(), nullptr);
    SetCurrentLevelIndex(0);
}

} // namespace
