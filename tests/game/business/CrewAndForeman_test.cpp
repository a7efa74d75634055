// Crews and the foreman on a level in play: the crews' line-up at their
// slot, the walk to a lot and back, the count of crews building, the crew
// skill's speed; the foreman's drop, his three behaviours, his fade and his
// leaving no pointer behind. Slot markers come from a small double of the
// level hooks.
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CForeman.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr const char* kOverlaySets[] = {"Main Menu Overlay",
                                        "Gameplay Overlay",
                                        "Gameplay Overlay Menu Button",
                                        "Shopping Overlay",
                                        "Shopping New Upgrade Overlay",
                                        "Shopping Old Upgrade Overlay",
                                        "Shopping Unaffordable Upgrade Overlay",
                                        "End Of Level Overlay",
                                        "End Of Level Hidden Overlay",
                                        "End Of Tutorial Level Overlay",
                                        "Options Menu Overlay",
                                        "Options Menu From Pause Overlay",
                                        "Level Introduction Menu Overlay",
                                        "Level Select Overlay",
                                        "RewardFlierOverlay"};

// The gameplay set's position markers: the foreman's, and the crews' centred
// on (100, 500), (300, 500) and (600, 480).
const char* const kForemanMarker
    = "Array Item=CFrameOverlayPositionMarker\n{\nID=Foreman\nPosition=900,600\nSize=21,10\n}\n";
const char* const kCrewMarkers
    = "Array Item=CFrameOverlayPositionMarker\n{\nID=Frame Crew\nPosition=90,490\nSize=20,20\n}\n"
      "Array Item=CFrameOverlayPositionMarker\n{\nID=Frame Crew 2\nPosition=290,490\nSize=20,20\n}\n"
      "Array Item=CFrameOverlayPositionMarker\n{\nID=Garage Crew\nPosition=590,470\nSize=20,20\n}\n";

class CrewAndForeman : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        for (const char* name : {"!None", "Tile EmptyLot", "Crew Look", "Crew Close", "Boss"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 20, 20);
        WriteBytes("Resources/Audio/!None.Audio.txt", BareObjectText("CAudioRandomFromSet", ""));
        for (const char* name : kOverlaySets)
            WriteBytes("Resources/Frame Overlay Options/" + std::string(name) + ".FOO",
                       BareObjectText("CFrameOverlayOptions", ""));
        WriteGameplayMarkers(std::string(kForemanMarker) + kCrewMarkers);
        WriteBytes("Resources/Rules.Object.txt", BareObjectText("CRules", ""));
        WriteBytes("Resources/Illegal Move Options.Object.txt",
                   BareObjectText("CIllegalMoveMessageOptions",
                                  "Message List=Array\n{\nMessage=CIllegalMoveMessage\n{\n"
                                  "Message ID=NoForemanEmptyLot\nMessage=Nothing to oversee\n}\n}\n"));
        WriteBytes("Resources/Lot Options.Object.txt", BareObjectText("CLotOptions", ""));
        for (const char* slot : {"!None", "Frame Crew", "Frame Crew 2", "Garage Crew", "Foreman"})
            WriteBytes("Resources/Slots/" + std::string(slot) + ".UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Phases/Frame.BuildPhase.txt",
                   BareObjectText("CBuildPhase",
                                  "Name=Frame\nSpace Between Idle Crews=40\nUpgrade Slot List=Array\n{\n"
                                  "Upgrade Slot=Frame Crew\nUpgrade Slot=Frame Crew 2\n}\n"));
        WriteBytes(
            "Resources/Phases/Garage.BuildPhase.txt",
            BareObjectText("CBuildPhase", "Name=Garage\nUpgrade Slot List=Array\n{\nUpgrade Slot=Garage Crew\n}\n"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", BareObjectText("CUpgrade", "Upgrade Cost=0\n"));
        WriteBytes("Resources/Upgrades/Walls.Upgrade.txt", BareObjectText("CBuildablePart", "Build Phase=Frame\n"));
        WriteBytes("Resources/Upgrades/Fast Crew.Upgrade.txt",
                   BareObjectText("CCrewSkillUpgrade",
                                  "Upgrade Slot=Frame Crew\nBuild Phase=Frame\nBuild Speed=2.5\n"
                                  "Appearance=Crew Look\nBuy Close Up Sequence=Crew Close\n"));
        WriteBytes("Resources/Upgrades/More Hands.Upgrade.txt",
                   BareObjectText("CCrewQuantityUpgrade", "Upgrade Slot=Frame Crew 2\nBuild Phase=Frame\n"));
        WriteBytes("Resources/Upgrades/Boss.Upgrade.txt",
                   BareObjectText("CForemanUpgrade", "Upgrade Slot=Foreman\nAppearance=Boss\nBuild Speed=2\n"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetAudioList().SetSource("Resources/Audio", nullptr);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Resources", 0);

        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
        m_Playfield = GetCurrentPlayfield();
        ASSERT_NE(m_Playfield, nullptr);
        m_Frame = GetBuildPhaseList().Find("Frame");
        m_Garage = GetBuildPhaseList().Find("Garage");
        // Each test starts with empty slots, whatever earlier tests left in
        // the game state, and from idle counts of zero.
        CGameState* state = CGameState::SGetCurrent();
        for (uint32_t i = 0; i < state->m_UpgradeInSlot.GetCount(); ++i)
            state->m_UpgradeInSlot[i] = 0;
        BeginCrewFrame();
        BeginCrewFrame();
    }
    void TearDown() override
    {
        for (const char* name : {"Fast Crew", "More Hands", "Boss"})
            Drop(name);
        GetLevelHolder().Release();
        ClearDraggedSprite();
        GetIllegalMoveDisplay().Hide();
        for (CObjectFileArray* list : Lists()) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList()),
              static_cast<CObjectFileArray*>(&GetFrameOverlayOptionsList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetAudioList().SetSource("Nowhere", nullptr);
        SequenceFolderTest::TearDown();
    }
    static std::vector<CObjectFileArray*> Lists()
    {
        return {&GetUpgradeSlotList(), &GetBuildPhaseList(), &GetUpgradeList()};
    }
    static void Own(const char* upgrade) { CGameState::SGetCurrent()->ReceiveUpgrade(GetUpgradeList().Find(upgrade)); }
    static void Drop(const char* upgrade)
    {
        const int32_t index = GetUpgradeList().Find(upgrade);
        if (index > 0 && CGameState::SGetCurrent()->HasReceivedUpgrade(index))
            CGameState::SGetCurrent()->RemoveUpgrade(index);
    }

    CSprite* AddSprite(CSpriteAI* ai, const char* layer, CFPoint at)
    {
        auto* sprite = new CSprite;
        sprite->SetPosition(at.x, at.y);
        sprite->AddAI(ai);
        m_Playfield->AddSprite(sprite, layer);
        return sprite;
    }
    CCrew* AddCrew(int32_t phase, CFPoint at = {300.0f, 500.0f})
    {
        CCrew* crew = CreateCrewAI(phase);
        AddSprite(crew, "Crew", at);
        return crew;
    }
    CLot* AddLot(CFPoint at, bool withParts)
    {
        auto* lot = new CLot;
        AddSprite(lot, "Lot", at);
        if (withParts) {
            CBuildablePackage& building = *lot->GetBuilding();
            auto* parts = static_cast<CPropertyArrayProperty*>(building.GetClassInfo()->FindProperty("Parts List"));
            parts->ArrayProperty_SetCount(&building, 1);
            building.m_Parts[0] = GetUpgradeList().Find("Walls");
        }
        return lot;
    }
    static int32_t WallsIndex() { return GetUpgradeList().Find("Walls"); }
    static CBuildablePart* Walls()
    {
        return static_cast<CBuildablePart*>(GetUpgradeByIndex(GetUpgradeList().Find("Walls")));
    }
    static void SetBuilding(CLot* lot, bool underConstruction)
    {
        lot->GetBuilding()->m_BeingConstructed = underConstruction ? GetUpgradeList().Find("Walls") : 0;
    }
    // Frames of play: the crews' counting frame, then the "Crew" layer.
    void Play(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            BeginCrewFrame();
            m_Playfield->FindOrAddLayer("Crew")->Update(1.0f / 60.0f);
        }
    }
    static CFPoint At(CSpriteAI* ai) { return ai->GetSprite()->GetPosition(); }
    CFPoint LotScreen(CLot* lot, CFPoint offset)
    {
        const CFPoint at = lot->GetSprite()->GetPosition();
        return m_Playfield->FindOrAddLayer("Lot")->LayerToScreen({at.x + offset.x, at.y + offset.y});
    }

    // The gameplay set holding these position markers, read afresh.
    void WriteGameplayMarkers(const std::string& markers)
    {
        WriteBytes("Resources/Frame Overlay Options/Gameplay Overlay.FOO",
                   BareObjectText("CFrameOverlayOptions", "Text Overlays=Array\n{\n" + markers + "}\n"));
        GetFrameOverlayOptionsList().RemoveAll();
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    }

    CPlayfield* m_Playfield = nullptr;
    int32_t m_Frame = -1;
    int32_t m_Garage = -1;
};

#define EXPECT_AT(point, ex, ey)                                                                                       \
    do {                                                                                                               \
        EXPECT_FLOAT_EQ((point).x, ex);                                                                                \
        EXPECT_FLOAT_EQ((point).y, ey);                                                                                \
    } while (0)

} // namespace

TEST_F(CrewAndForeman, IdleCrewsLineUpCentredOnTheirSlotMarker)
{
    ASSERT_GE(m_Frame, 0);
    // One crew stands on the marker of the phase's second slot, walking at
    // most 30 pixels an update.
    CCrew* only = AddCrew(m_Frame, {300.0f, 560.0f});
    Play(1);
    EXPECT_AT(At(only), 300.0f, 530.0f);
    Play(5);
    EXPECT_AT(At(only), 300.0f, 500.0f);

    // Three: at -spacing, 0 and +spacing, in the order they update.
    CCrew* second = AddCrew(m_Frame, {200.0f, 500.0f});
    CCrew* third = AddCrew(m_Frame, {400.0f, 500.0f});
    Play(10);
    EXPECT_AT(At(only), 260.0f, 500.0f);
    EXPECT_AT(At(second), 300.0f, 500.0f);
    EXPECT_AT(At(third), 340.0f, 500.0f);

    // A phase with a single slot lines up at that slot; two crews stand
    // half the default spacing (55) either side, rounded to whole pixels.
    CCrew* garageA = AddCrew(m_Garage, {600.0f, 480.0f});
    CCrew* garageB = AddCrew(m_Garage, {600.0f, 480.0f});
    Play(5);
    EXPECT_AT(At(garageA), 573.0f, 480.0f);
    EXPECT_AT(At(garageB), 628.0f, 480.0f);
}

// A slot the gameplay set has no marker for is at (0, 0), as every marker
// lookup answers for a missing marker.
TEST_F(CrewAndForeman, ACrewOfAPhaseOutsideTheListStaysPutAndOneWithoutMarkersGoesToTheCorner)
{
    CCrew* lost = AddCrew(GetBuildPhaseList().GetCount() + 3, {10.0f, 20.0f});
    WriteGameplayMarkers(kForemanMarker);
    CCrew* unmarked = AddCrew(m_Frame, {30.0f, 40.0f});
    Play(3);
    EXPECT_AT(At(lost), 10.0f, 20.0f);
    EXPECT_AT(At(unmarked), 0.0f, 0.0f);
    CFPoint out{-1.0f, -1.0f};
    EXPECT_FALSE(GetIdleCrewPosition(-1, 0, 1, out));
    EXPECT_EQ(FindIdleCrew(-1), nullptr);
}

TEST_F(CrewAndForeman, TheFirstIdleCrewInLayerOrderTakesTheJobAndComesBackWhenItIsDone)
{
    EXPECT_EQ(FindIdleCrew(m_Frame), nullptr) << "no crews yet";
    CCrew* first = AddCrew(m_Frame);
    CCrew* second = AddCrew(m_Frame);
    AddCrew(m_Garage);
    ASSERT_EQ(FindIdleCrewAI(m_Frame), first);

    CLot* lot = AddLot({500.0f, 300.0f}, true);
    first->StartJob(*Walls(), WallsIndex(), *lot);
    SetBuilding(lot, true);
    EXPECT_FALSE(first->IsIdle());
    EXPECT_EQ(first->GetLot(), lot);
    EXPECT_EQ(FindIdleCrewAI(m_Frame), second) << "a working crew is not idle";

    Play(40);
    EXPECT_EQ(GetCrewsWorking(), 1u);
    const CFPoint work = LotScreen(lot, {-70.0f, 10.0f});
    EXPECT_AT(At(first), work.x, work.y);

    // The part is finished: the crew is idle again, keeping its place for
    // that frame, and walks back into line from then on.
    SetBuilding(lot, false);
    Play(1);
    EXPECT_TRUE(first->IsIdle());
    EXPECT_EQ(first->GetLot(), nullptr);
    EXPECT_EQ(GetCrewsWorking(), 0u);
    EXPECT_AT(At(first), work.x, work.y);
    Play(60);
    EXPECT_FLOAT_EQ(At(first).y, 500.0f);
    EXPECT_EQ(FindIdleCrewAI(m_Frame), first);
}

TEST_F(CrewAndForeman, CrewsBuildingAreCountedIntoTheStatisticsOnceAFrame)
{
    CLevelPlayStats& stats = *CLevelPlayStats::SGetCurrent();
    CLot* lot = AddLot({500.0f, 300.0f}, true);
    for (int i = 0; i < 2; ++i) {
        CCrew* crew = AddCrew(m_Frame);
        crew->StartJob(*Walls(), WallsIndex(), *lot);
    }
    SetBuilding(lot, true);
    const float total = stats.m_SecondsInLevel;
    // The game's counting frame adds no time of its own: the game frame adds
    // its one step with the count.
    BeginCrewFrame();
    m_Playfield->FindOrAddLayer("Crew")->Update(1.0f / 60.0f);
    EXPECT_EQ(GetCrewsWorking(), 2u);
    EXPECT_EQ(stats.m_SecondsInLevel, total);
    Play(1);
    ASSERT_EQ(GetCrewsWorking(), 2u);
    RecordCrewWorkTime();
    EXPECT_FLOAT_EQ(stats.m_SecondsInLevel - total, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(stats.m_Seconds2CrewsWorking, 1.0f / 60.0f);
    BeginCrewFrame();
    EXPECT_EQ(GetCrewsWorking(), 0u) << "each frame counts afresh";
}

TEST_F(CrewAndForeman, CrewLooksAndSpeedComeFromThePhasesFirstSlot)
{
    EXPECT_FLOAT_EQ(GetCrewBuildSpeed(m_Frame), 1.0f) << "no crew skill upgrade: speed 1";
    EXPECT_FLOAT_EQ(GetCrewBuildSpeed(-1), 1.0f);
    auto* hands = static_cast<CCrewQuantityUpgrade*>(GetUpgradeByIndex(GetUpgradeList().Find("More Hands")));
    ASSERT_NE(hands, nullptr);
    EXPECT_EQ(hands->GetAppearance(), 0) << "its own looks (none) while the slot is empty";

    Own("Fast Crew");
    EXPECT_FLOAT_EQ(GetCrewBuildSpeed(m_Frame), 2.5f);
    const int32_t look = GetSequenceList().Find("Crew Look");
    EXPECT_EQ(hands->GetAppearance(), look);
    EXPECT_EQ(hands->GetCloseUp(), GetSequenceList().Find("Crew Close"));
    CCrew* crew = AddCrew(m_Frame);
    EXPECT_EQ(crew->GetSprite()->GetImageSequenceIndex(), uint32_t(look));
}

TEST_F(CrewAndForeman, DroppingTheForemanNeedsALotWithPartsAndCountsTheMove)
{
    Own("Boss");
    CForemanUpgrade* upgrade = GetForemanUpgrade();
    ASSERT_NE(upgrade, nullptr);
    EXPECT_FLOAT_EQ(GetForemanBuildSpeed(), 2.0f);
    CLevelPlayStats& stats = *CLevelPlayStats::SGetCurrent();

    CLot* empty = AddLot({100.0f, 100.0f}, false);
    EXPECT_FALSE(upgrade->DropOnLot(0, empty));
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "Nothing to oversee");

    // Without a foreman sprite the drop still succeeds and counts nothing.
    CLot* built = AddLot({300.0f, 100.0f}, true);
    EXPECT_TRUE(upgrade->DropOnLot(0, built));
    EXPECT_EQ(built->GetForeman(), nullptr);
    EXPECT_EQ(stats.m_ForemanMovedManually, 0u);

    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    AddSprite(foreman, "Crew", {900.0f, 600.0f});
    EXPECT_EQ(foreman->GetSprite()->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Boss")));
    EXPECT_TRUE(upgrade->DropOnLot(0, built));
    EXPECT_EQ(built->GetForeman(), foreman);
    EXPECT_EQ(foreman->GetLot(), built);
    EXPECT_EQ(foreman->m_ForemanState, CForeman::kOverseeing);
    EXPECT_FALSE(foreman->m_PlacedByPlayer) << "the upgrade does not override his behaviour";
    EXPECT_EQ(stats.m_ForemanMovedManually, 1u);
    EXPECT_FALSE(foreman->Assign(built, true)) << "already there";

    // Moving him on frees the old lot.
    CLot* other = AddLot({500.0f, 100.0f}, true);
    EXPECT_TRUE(upgrade->DropOnLot(0, other));
    EXPECT_EQ(built->GetForeman(), nullptr);
    EXPECT_EQ(other->GetForeman(), foreman);
    EXPECT_EQ(stats.m_ForemanMovedManually, 2u);
}

TEST_F(CrewAndForeman, ForemanBehavioursDecideWhenHeLooksForWork)
{
    Own("Boss");
    CForemanUpgrade* upgrade = GetForemanUpgrade();
    ASSERT_NE(upgrade, nullptr);
    CLevelPlayStats& stats = *CLevelPlayStats::SGetCurrent();
    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    AddSprite(foreman, "Crew", {880.0f, 560.0f});
    CLot* first = AddLot({100.0f, 100.0f}, true);
    CLot* second = AddLot({300.0f, 100.0f}, true);
    SetBuilding(second, true);

    // "!Default": he stays at home (the marker's centre, whole pixels).
    Play(10);
    EXPECT_EQ(foreman->m_ForemanState, CForeman::kIdle);
    EXPECT_AT(At(foreman), 910.0f, 605.0f);

    // "Roam When Idle": the first lot under construction, only while idle.
    upgrade->m_ForemanBehavior = CForemanUpgrade::kRoamWhenIdle;
    Play(1);
    EXPECT_EQ(foreman->GetLot(), second);
    EXPECT_EQ(stats.m_ForemanMovedAutomatically, 1u);
    SetBuilding(second, false);
    SetBuilding(first, true);
    Play(60);
    EXPECT_EQ(foreman->GetLot(), second) << "he stays while the lot holds parts, is visible and vacant";
    const CFPoint beside = LotScreen(second, {80.0f, 10.0f});
    EXPECT_AT(At(foreman), beside.x, beside.y);

    // "Free Roam": he leaves a finished lot for one under construction.
    upgrade->m_ForemanBehavior = CForemanUpgrade::kFreeRoam;
    Play(1);
    EXPECT_EQ(foreman->GetLot(), first);
    EXPECT_EQ(second->GetForeman(), nullptr);
    EXPECT_EQ(first->GetForeman(), foreman);
    EXPECT_EQ(stats.m_ForemanMovedAutomatically, 2u);
}

TEST_F(CrewAndForeman, APlacedForemanStaysUntilThePartThereIsFinished)
{
    Own("Boss");
    CForemanUpgrade* upgrade = GetForemanUpgrade();
    upgrade->m_ForemanBehavior = CForemanUpgrade::kFreeRoam;
    upgrade->m_PlayerOverridesBehavior = true;
    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    AddSprite(foreman, "Crew", {900.0f, 600.0f});
    CLot* placed = AddLot({100.0f, 100.0f}, true);
    CLot* busy = AddLot({300.0f, 100.0f}, true);
    SetBuilding(placed, true);
    SetBuilding(busy, true);
    ASSERT_TRUE(upgrade->DropOnLot(0, placed));
    EXPECT_TRUE(foreman->m_PlacedByPlayer);

    SetBuilding(placed, false);
    Play(5);
    EXPECT_EQ(foreman->GetLot(), placed) << "placed by the player: he does not look for work";

    foreman->OnPackageFinished(busy->GetBuilding());
    EXPECT_TRUE(foreman->m_PlacedByPlayer) << "another lot's part does not free him";
    foreman->OnPackageFinished(placed->GetBuilding());
    EXPECT_FALSE(foreman->m_PlacedByPlayer);
    Play(1);
    EXPECT_EQ(foreman->GetLot(), busy);
}

TEST_F(CrewAndForeman, TheForemanFadesInAtALotAndGoesHomeWhenItNoLongerQualifies)
{
    Own("Boss");
    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    AddSprite(foreman, "Crew", {900.0f, 600.0f});
    CLot* lot = AddLot({100.0f, 100.0f}, true);
    ASSERT_TRUE(foreman->Assign(lot, true));
    Play(15);
    EXPECT_NEAR(foreman->m_Presence, 0.25f, 1e-5f);
    EXPECT_NEAR(foreman->GetSprite()->GetColor().GetAlpha(), 128, 1);
    Play(30);
    EXPECT_FLOAT_EQ(foreman->m_Presence, 0.5f) << "presence stops at a half";
    EXPECT_EQ(foreman->GetSprite()->GetColor().GetAlpha(), 255);

    // Someone moved in: home he goes, and the lot stops counting on him.
    lot->m_CustomerLivingHere = CreateCrewAI(0);
    Play(1);
    EXPECT_EQ(foreman->m_ForemanState, CForeman::kIdle);
    EXPECT_EQ(foreman->GetLot(), nullptr);
    EXPECT_EQ(lot->GetForeman(), nullptr);
    EXPECT_FALSE(foreman->m_PlacedByPlayer);
    Play(30);
    EXPECT_EQ(foreman->m_Presence, 0.0f) << "presence stops at 0";
    EXPECT_EQ(foreman->GetSprite()->GetColor().GetAlpha(), 0);
}

TEST_F(CrewAndForeman, ALotDeletedUnderItsCrewAndForemanSendsThemHome)
{
    Own("Boss");
    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    AddSprite(foreman, "Crew", {900.0f, 600.0f});
    CCrew* crew = AddCrew(m_Frame);
    CLot* lot = AddLot({100.0f, 100.0f}, true);
    crew->StartJob(*Walls(), WallsIndex(), *lot);
    ASSERT_TRUE(foreman->Assign(lot, true));
    ASSERT_TRUE(lot->GetBuilding()->IsBeingConstructed());
    Play(2);

    lot->GetSprite()->MarkForDeletion();
    m_Playfield->FindOrAddLayer("Lot")->Update(1.0f / 60.0f);
    ASSERT_FALSE(IsLotOnPlayfield(lot));
    Play(1);
    EXPECT_TRUE(crew->IsIdle());
    EXPECT_EQ(crew->GetLot(), nullptr);
    EXPECT_EQ(foreman->m_ForemanState, CForeman::kIdle);
    EXPECT_EQ(foreman->GetLot(), nullptr);
}

TEST_F(CrewAndForeman, ADeletedForemanLeavesNoPointerInHisLot)
{
    Own("Boss");
    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    CSprite* sprite = AddSprite(foreman, "Crew", {900.0f, 600.0f});
    CLot* lot = AddLot({100.0f, 100.0f}, true);
    ASSERT_TRUE(foreman->Assign(lot, false));
    ASSERT_EQ(lot->GetForeman(), foreman);
    sprite->MarkForDeletion();
    Play(1);
    EXPECT_EQ(FindForeman(), nullptr);
    EXPECT_EQ(lot->GetForeman(), nullptr);
}


TEST_F(CrewAndForeman, ClickingTheForemanAtALotPicksUpHisButton)
{
    Own("Boss");
    CForeman* foreman = CreateForemanAI(*GetForemanUpgrade());
    CSprite* sprite = AddSprite(foreman, "Crew", {400.0f, 300.0f});
    const CPoint on{405, 305};
    ASSERT_TRUE(sprite->HitTestFrames(on.x, on.y));
    auto Down = [&](CPoint at) {
        CPlayfieldMouseMessage message = CPlayfieldMouseMessage::MouseDown(0, kLeftMouseButton, at);
        sprite->HandleMessage(message);
        return message.IsHandled();
    };
    auto Moved = [&](CPoint at) {
        CPlayfieldMouseMessage message = CPlayfieldMouseMessage::MouseMoved(0, at, at);
        sprite->HandleMessage(message);
        return message.IsHandled();
    };

    CLot* lot = AddLot({100.0f, 100.0f}, true);
    ASSERT_TRUE(foreman->Assign(lot, false));
    EXPECT_FALSE(Down(on)) << "no foreman button on the playfield";
    EXPECT_EQ(GetDraggedSprite(), nullptr);

    auto* button = new CUpgradeButton;
    button->m_UpgradeSlot = GetUpgradeSlotList().Find("Foreman");
    CSprite* buttonSprite = AddSprite(button, "UI", {50.0f, 700.0f});
    ASSERT_EQ(FindForemanButton(), buttonSprite);

    EXPECT_TRUE(Moved(on)) << "the cursor shows he can be used";
    EXPECT_FALSE(Moved({600, 600}));
    EXPECT_FALSE(Down({600, 600})) << "a click beside him";
    EXPECT_TRUE(Down(on));
    EXPECT_EQ(GetDraggedSprite(), buttonSprite);
    EXPECT_FALSE(Down(on)) << "something is dragged already";
    EXPECT_FALSE(Moved(on));
    ClearDraggedSprite();

    // At home he can't be picked up.
    ASSERT_TRUE(foreman->Assign(nullptr, false));
    EXPECT_EQ(lot->GetForeman(), nullptr);
    EXPECT_FALSE(Down(on));
    EXPECT_FALSE(Moved(on));
    EXPECT_EQ(GetDraggedSprite(), nullptr);
}

TEST_F(CrewAndForeman, ALevelStartBringsACrewPerCrewUpgradeAndTheForeman)
{
    WriteGameplayMarkers(
        std::string(kForemanMarker)
        + "Array Item=CFrameOverlayPositionMarker\n{\nID=Frame Crew 2\nPosition=290,490\nSize=20,20\n}\n");
    WriteBytes("Resources/Town.Period.txt", BareObjectText("CPeriod", "Hud Background=Boss\n"));
    GetPeriodList().SetSource(nullptr, "Resources", 0);
    CLevelOptions::SGetCurrent()->m_Period = GetPeriodList().Find("Town");
    for (const char* name : {"Fast Crew", "More Hands", "Boss"})
        Own(name);

    PlaceSlotSprites();
    CPlayfieldLayer* crews = m_Playfield->FindLayer("Crew");
    ASSERT_NE(crews, nullptr);
    ASSERT_EQ(crews->GetSpriteCount(), 3u) << "the skill's crew, the quantity's crew and the foreman";
    std::vector<CCrew*> found;
    for (uint32_t i = 0; i < crews->GetSpriteCount(); ++i)
        if (auto* crew = static_cast<CCrew*>(crews->GetSprite(i)->FindAI(CCrew::SGetClassInfo())))
            found.push_back(crew);
    ASSERT_EQ(found.size(), 2u);
    CCrew* first = found[0];
    CCrew* second = found[1];
    for (CCrew* crew : found) {
        EXPECT_EQ(crew->m_BuildingPhase, m_Frame);
        EXPECT_EQ(crew->GetSprite()->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Crew Look")));
    }
    ASSERT_NE(FindForeman(), nullptr);
    EXPECT_NE(FindForemanButton(), nullptr);

    Play(20);
    EXPECT_AT(At(first), 280.0f, 500.0f);
    EXPECT_AT(At(second), 320.0f, 500.0f);
    EXPECT_AT(At(FindForeman()), 910.0f, 605.0f);

    GetPeriodList().RemoveAll();
    GetPeriodList().SetSource(nullptr, "Nowhere", 0);
}
