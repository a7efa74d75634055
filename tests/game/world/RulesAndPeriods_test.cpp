// The rules and the periods as a designer's data set gives them: the
// gameplay overlay chosen by the upgrades the player holds, the end-of-level
// texts dealt like shuffled decks, a period's place in the level-select
// overlay, and both objects through text and the binary stream.
#include "foundation/CRandomGenerator.h"
#include "support/TestSupport.h"
#include "foundation/CurrentLoadFile.h"
#include "game/scripting/CAudio.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "game/world/CTutorial.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "images/CFrameList.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace {

// Every overlay set the rules name by default, and three more.
constexpr const char* kOverlaySets[] = {
    "Main Menu Overlay", "Gameplay Overlay", "Gameplay Overlay Menu Button", "Shopping Overlay",
    "Shopping New Upgrade Overlay", "Shopping Old Upgrade Overlay", "Shopping Unaffordable Upgrade Overlay",
    "End Of Level Overlay", "End Of Level Hidden Overlay", "End Of Tutorial Level Overlay", "Options Menu Overlay",
    "Options Menu From Pause Overlay", "Level Introduction Menu Overlay", "RewardFlierOverlay", "Garage Overlay",
    "Add-On Overlay", "Other Level Select"};

class GameData : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (const char* name : {"Aaa None", "Hud Fifties", "Sparkle"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 4, 4);
        for (const char* name : {"Aaa None", "Selected"})
            WriteTga("Resources/Frames/" + std::string(name) + ".tga", 4, 4);
        for (const char* name : kOverlaySets)
            WriteBytes("Resources/Frame Overlay Options/" + std::string(name) + ".FOO",
                       ObjectText("CFrameOverlayOptions", ""));
        WriteBytes("Resources/Frame Overlay Options/Level Select Overlay.FOO",
                   ObjectText("CFrameOverlayOptions", "Text Overlays=Array\n{\n"
                                                "Array Item=CFrameOverlayPositionMarker\n{\nID=1950s\nPosition=120,80\n}\n"
                                                "Array Item=CFrameOverlayTextOverlay\n{\nID=1960s\n}\n}"));
        for (const char* name : {"!None", "Add-On A", "Garage A"})
            WriteBytes("Resources/Slots/" + std::string(name) + ".UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        for (const char* name : {"!None", "Shopping Tutorial"})
            WriteBytes("Resources/" + std::string(name) + ".Tutorial.txt", ObjectText("CTutorial", ""));
        WriteBytes("Resources/Initial.GameState.txt", ObjectText("CGameState", ""));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", ObjectText("CUpgrade", ""));
        WriteBytes("Resources/Upgrades/Carport.Upgrade.txt", ObjectText("CUpgrade", "Upgrade Slot=Garage A"));
        WriteBytes("Resources/Upgrades/Porch.Upgrade.txt", ObjectText("CUpgrade", "Upgrade Slot=Add-On A"));
        WriteBytes("Resources/Audio/Bell.Audio.txt", ObjectText("CAudio", ""));
        WriteBytes("Resources/Audio/Fanfare.Audio.txt", ObjectText("CAudio", ""));
        PointListsHere();
    }
    void TearDown() override
    {
        // The lists are the program's: nothing of this folder stays loaded.
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetPeriodList()),
              static_cast<CObjectFileArray*>(&GetFrameOverlayOptionsList()),
              static_cast<CObjectFileArray*>(&GetUpgradeSlotList()), static_cast<CObjectFileArray*>(&GetTutorialList()),
              static_cast<CObjectFileArray*>(&GetGameStateList()), static_cast<CObjectFileArray*>(&GetUpgradeList()),
              static_cast<CObjectFileArray*>(&GetSequenceList()), static_cast<CObjectFileArray*>(&GetFrameLibrary())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetAudioList().SetSource("Nowhere", nullptr);
        GetBackgroundStyleSheetList().RemoveAll();
        GetBackgroundStyleSheetList().SetSource(nullptr, "Nowhere", 0);
        GetLevelHolder().Release();
        SequenceFolderTest::TearDown();
    }

    static void PointListsHere()
    {
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetAudioList().SetSource("Resources/Audio", nullptr);
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetPeriodList()), static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
              static_cast<CObjectFileArray*>(&GetTutorialList()), static_cast<CObjectFileArray*>(&GetGameStateList()),
              static_cast<CObjectFileArray*>(&GetUpgradeList()),
              static_cast<CObjectFileArray*>(&GetBackgroundStyleSheetList())})
            list->SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
    }

    static int32_t Overlay(const char* name) { return GetFrameOverlayOptionsList().Find(name); }
    static int32_t Slot(const char* name) { return GetUpgradeSlotList().Find(name); }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
};

TEST_F(GameData, RulesReadWithTheirDefaultsAndNameOverlaySetsSlotsAndTheInitialState)
{
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CRules", "Revenue Count Up=3.5\n"
                                                            "Gameplay Overlay 2=Garage Overlay\n"
                                                            "Movein Bonus By Hearts List=Array\n{\n"
                                                            "Movein Bonus By Hearts=0\n"
                                                            "Movein Bonus By Hearts=0.25\n}"));
    CRules& rules = CRules::SGetInstance();
    EXPECT_EQ(&CRules::SGetInstance(), &rules);
    EXPECT_FLOAT_EQ(rules.m_SpendableProfit, 0.1f) << "a rules text without \"Spendable Profit\"";
    EXPECT_FLOAT_EQ(rules.m_RevenueCountUp, 3.5f);
    EXPECT_EQ(rules.m_MainMenuOverlay, Overlay("Main Menu Overlay"));
    EXPECT_EQ(rules.m_GameplayOverlay1, Overlay("Gameplay Overlay"));
    EXPECT_EQ(rules.m_GameplayOverlay2, Overlay("Garage Overlay"));
    EXPECT_EQ(rules.m_LevelSelectMenuFrameOverlay, Overlay("Level Select Overlay"));
    EXPECT_EQ(rules.m_RewardsFlierOverlay, Overlay("RewardFlierOverlay"));
    EXPECT_EQ(rules.m_GameplayOverlay2UpgradeSlotToCheck, Slot("Garage A"));
    EXPECT_EQ(rules.m_GameplayOverlay3UpgradeSlotToCheck, Slot("Add-On A"));
    EXPECT_EQ(rules.m_ShoppingTutorial, GetTutorialList().Find("Shopping Tutorial"));
    EXPECT_EQ(rules.m_InitialGameState, GetGameStateList().Find("Initial"));
    ASSERT_EQ(rules.m_MoveinBonusByHearts.GetCount(), 2u);
    EXPECT_FLOAT_EQ(rules.m_MoveinBonusByHearts[1], 0.25f);
    EXPECT_EQ(rules.m_MoveInBonusBy3InARows.GetCount(), 0u);
    EXPECT_EQ(rules.m_NumberOf3InARowHighlightFlashes, 3u);
    EXPECT_EQ(rules.m_LevelSelectedFrameOffset, (CPoint{10, 10}));
    EXPECT_EQ(rules.m_PeriodRadius, 100u);
    EXPECT_FLOAT_EQ(rules.m_PokeDuration, 1.5f);
    EXPECT_EQ(rules.m_Signpost.GetChildCount(), 0u);
    EXPECT_EQ(rules.m_pPositionMarkerToClone, nullptr);
}

TEST_F(GameData, TheQuietLookUpFindsNoRulesWhereTheDataSetHasNoneAndElseTheSameObject)
{
    EXPECT_EQ(CRules::SFindInstance(), nullptr);
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CRules", "Revenue Count Up=3"));
    InitGeneralObjects();
    CRules* found = CRules::SFindInstance();
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &CRules::SGetInstance());
}

TEST_F(GameData, ADefaultTheDataSetLacksIsNoneButANameItLacksStopsTheGame)
{
    std::remove("Resources/Frame Overlay Options/Shopping Overlay.FOO");
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CRules", "Revenue Count Up=3"));
    CRules& rules = CRules::SGetInstance();
    EXPECT_EQ(rules.m_ShoppingOverlay, -1);
    EXPECT_EQ(rules.m_ShoppingNewUpgradeOverlay, Overlay("Shopping New Upgrade Overlay"));
    const std::string text = ObjectToText(&rules, IdMode::WithoutIds);
    std::unique_ptr<CObject> copy(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<CRules*>(copy.get())->m_ShoppingOverlay, -1);

    GetCurrentLoadFileName().Set("Rules.Object.txt");
    EXPECT_EXIT(ObjectFromText(ObjectText("CRules", "Shopping Overlay=Shoping Overlay"), IdMode::WithoutIds,
                               StreamReports::Fatal),
                testing::ExitedWithCode(255),
                "Fatal Not Found Error(.|\r|\n)*\"Shoping Overlay\"(.|\r|\n)*Rules.Object.txt:Shopping Overlay");
    GetCurrentLoadFileName().Set("Program.EXE");
}

TEST_F(GameData, TheGameplayOverlayFollowsTheUpgradesTheGameStateHolds)
{
    WriteBytes("Resources/Rules.Object.txt",
               ObjectText("CRules", "Gameplay Overlay 2=Garage Overlay\nGameplay Overlay 3=Add-On Overlay"));
    CRules& rules = CRules::SGetInstance();
    CGameState& state = *CGameState::SGetCurrent();
    state.ResetForLevel();
    EXPECT_EQ(rules.GetGameplayOverlay(), Overlay("Gameplay Overlay")) << "no upgrade in either slot";
    state.ReceiveUpgrade(Upgrade("Porch"));
    EXPECT_EQ(rules.GetGameplayOverlay(), Overlay("Add-On Overlay")) << "the add-on alone";
    state.ReceiveUpgrade(Upgrade("Carport"));
    EXPECT_EQ(rules.GetGameplayOverlay(), Overlay("Add-On Overlay")) << "both slots filled";
    state.RemoveUpgrade(Upgrade("Porch"));
    EXPECT_EQ(rules.GetGameplayOverlay(), Overlay("Garage Overlay")) << "the garage alone";
    state.RemoveUpgrade(Upgrade("Carport"));
    EXPECT_EQ(rules.GetGameplayOverlay(), Overlay("Gameplay Overlay"));
}

TEST_F(GameData, RulesAndPeriodsRoundTripThroughTextAndTheBinaryStream)
{
    WriteBytes("Resources/Rules.Object.txt",
               ObjectText("CRules", "Gameplay Overlay 3=Add-On Overlay\n"
                              "Move In Bonus By 3 In ARows List=Array\n{\nMove In Bonus By 3 In ARows=0.5\n}\n"
                              "Disable Vertical Matches=1\n"
                              "Goal Achieved Audio=Fanfare\n"
                              "Signpost=CSpritePlugInSimultaneous\n{\n"
                              "Simultaneous PlugIns=Array\n{\nSimultaneous PlugIn=CSpritePlugInSimultaneous\n{\n}\n}\n}\n"
                              "Position Marker To Clone=CFrameOverlayPositionMarker\n{\nID=Town\nPosition=5,6\n}\n"
                              "Level Selected Frame Index=Selected\n"
                              "Level Selected Frame Offset=3,-4\n"
                              "Lot Mouse Hover Sequence=Sparkle\n"
                              "Poke Duration=0.75"));
    CRules& rules = CRules::SGetInstance();
    EXPECT_EQ(rules.m_Signpost.GetChildCount(), 1u);
    ASSERT_NE(rules.m_pPositionMarkerToClone, nullptr);
    EXPECT_EQ(rules.m_pPositionMarkerToClone->m_Position, (CPoint{5, 6}));
    EXPECT_EQ(rules.m_GoalAchievedAudio, GetAudioList().Find("Fanfare"));
    EXPECT_EQ(rules.m_LevelSelectedFrameIndex, GetFrameLibrary().Find("Selected"));
    EXPECT_TRUE(rules.m_DisableVerticalMatches);

    WriteBytes("Resources/Fifties.Period.txt",
               ObjectText("CPeriod", "Period Year=1950s\nHud Background=Hud Fifties\nPhone Ring Audio=Bell\n"
                               "Level Failed Strings=Array\n{\nFailed String=Too bad\nFailed String=Again?\n}"));
    CPeriod* period = GetPeriodList().GetObject(0);
    ASSERT_NE(period, nullptr);

    for (CObject* object : {static_cast<CObject*>(&rules), static_cast<CObject*>(period)}) {
        SCOPED_TRACE(object->GetClassInfo()->GetName());
        const std::string text = ObjectToText(object, IdMode::WithoutIds);
        std::unique_ptr<CObject> copy(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Fatal));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(ObjectToText(copy.get(), IdMode::WithoutIds), text);
        std::unique_ptr<CObject> fromBinary(object->GetClassInfo()->CreateObject(0, 0));
        ASSERT_TRUE(ObjectFromBinary(*fromBinary, ObjectToBinary(object, IdMode::WithIds), IdMode::WithIds,
                                     StreamReports::Fatal));
        EXPECT_EQ(ObjectToText(fromBinary.get(), IdMode::WithoutIds), text);
    }
}

TEST_F(GameData, EndOfLevelTextsAreDealtLikeShuffledDecks)
{
    WriteBytes("Resources/Fifties.Period.txt",
               ObjectText("CPeriod", "Level Failed Strings=Array\n{\n"
                               "Failed String=Too bad\nFailed String=Again?\nFailed String=So close\n}\n"
                               "Level Success Expert Strings=Array\n{\nExpert String=Superb\n}"));
    CPeriod& period = *GetPeriodList().GetObject(0);
    GameRandom().Seed(7);
    const std::set<std::string> all{"Too bad", "Again?", "So close"};
    for (int pass = 0; pass < 3; ++pass) {
        std::set<std::string> dealt;
        for (int i = 0; i < 3; ++i)
            dealt.insert(period.GetNextLevelFailedString().GetString());
        EXPECT_EQ(dealt, all) << "each text once in pass " << pass;
    }
    EXPECT_TRUE(period.GetNextLevelSuccessBasicString().IsEmpty()) << "no basic texts at all";
    EXPECT_STREQ(period.GetNextLevelSuccessExpertString().GetString(), "Superb");
    EXPECT_STREQ(period.GetNextLevelSuccessExpertString().GetString(), "Superb");

    // The deal order comes from the game's generator: the same seed deals alike.
    auto deal = [&] {
        std::string order;
        for (int i = 0; i < 3; ++i)
            order += std::string(period.GetNextLevelFailedString().GetString()) + "|";
        return order;
    };
    GameRandom().Seed(99);
    const std::string first = deal();
    GameRandom().Seed(99);
    EXPECT_EQ(deal(), first);

    // A deck begun on a longer array (an editor cut it since) deals no text
    // that is gone.
    period.GetNextLevelFailedString();
    auto* failed = static_cast<CPropertyArrayProperty*>(period.GetClassInfo()->FindProperty("Level Failed Strings"));
    ASSERT_NE(failed, nullptr);
    failed->ArrayProperty_SetCount(&period, 1);
    EXPECT_STREQ(period.GetNextLevelFailedString().GetString(), "Too bad");
    EXPECT_STREQ(period.GetNextLevelFailedString().GetString(), "Too bad");
}

TEST_F(GameData, PeriodsReadTheOldAudioKeyAndFindTheirLevelSelectMarker)
{
    WriteBytes("Resources/Rules.Object.txt", ObjectText("CRules", ""));
    WriteBytes("Resources/A Fifties.Period.txt",
               ObjectText("CPeriod", "Period Year=1950s\nExpert Goal Achieved Audio=Fanfare"));
    WriteBytes("Resources/B Sixties.Period.txt", ObjectText("CPeriod", "Period Year=1960s"));
    WriteBytes("Resources/C Seventies.Period.txt", ObjectText("CPeriod", "Period Year=1970s"));
    CPeriod& fifties = *GetPeriodList().GetObject(0);
    EXPECT_EQ(fifties.m_OptionalGoalAchievedAudio, GetAudioList().Find("Fanfare"));

    CFrameOverlayPositionMarker* marker = fifties.FindLevelSelectElement();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->m_Position, (CPoint{120, 80}));
    EXPECT_EQ(GetPeriodList().GetObject(1)->FindLevelSelectElement(), nullptr) << "a text overlay is no marker";
    EXPECT_EQ(GetPeriodList().GetObject(2)->FindLevelSelectElement(), nullptr) << "no element of that ID";
}

TEST_F(GameData, TheCurrentLevelPicksItsPeriodAndBackgroundByIndex)
{
    for (const char* name : {"A Fifties", "B Sixties", "C Seventies"})
        WriteBytes("Resources/" + std::string(name) + ".Period.txt", ObjectText("CPeriod", std::string("Period Year=") + name));
    for (const char* name : {"Beach", "Hills"})
        WriteBytes("Resources/" + std::string(name) + ".Background.txt", ObjectText("CBackgroundStyleSheet", ""));
    EXPECT_EQ(GetCurrentPeriod(), nullptr) << "no level in play";
    EXPECT_EQ(GetCurrentBackgroundStyleSheet(), nullptr);

    CLevelOptions level;
    level.m_Period = 2;
    level.m_Background = 2; // after the none entry
    GetLevelHolder().HoldCopyOf(&level);
    ASSERT_NE(GetCurrentPeriod(), nullptr);
    EXPECT_STREQ(GetCurrentPeriod()->m_PeriodYear.GetString(), "C Seventies");
    EXPECT_STREQ(GetBackgroundStyleSheetList().GetItemName(2), "Hills");
    EXPECT_EQ(GetCurrentBackgroundStyleSheet(), GetBackgroundStyleSheetList().GetObject(2));

    // An index the data set has no entry for falls back on the first entry,
    // which for backgrounds is none.
    level.m_Period = 3;
    level.m_Background = -1;
    GetLevelHolder().HoldCopyOf(&level);
    EXPECT_EQ(GetCurrentPeriod(), GetPeriodList().GetObject(0));
    EXPECT_EQ(GetCurrentBackgroundStyleSheet(), nullptr);
}

} // namespace
