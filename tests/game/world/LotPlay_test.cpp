// A lot as it plays step by step: assist clicks spaced by the rules and
// their share of the work, the building run at the foreman's pace, the poke
// swell, what a hovered lot shows for a held customer or upgrade, its
// drawing, and the score balloon of a move-in. The building, the customers,
// the buttons, the foreman and the three-in-a-row counter are the business's
// own.
#include "blit/CColor.h"
#include "../MessageEarAI.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CForeman.h"
#include "game/business/CScoreBalloonAI.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CLotOptions.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "game/world/CRules.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CMouseState.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A layer that notes what the playfield broadcasts.
class CListeningLayer : public CPlayfieldLayer {
public:
    void HandleMessage(CMessage& message) override { heard.push_back(GetMessageTypeName(message.GetType())); }
    std::vector<std::string> heard;
};

int Count(const std::vector<std::string>& heard, const std::string& name)
{
    int n = 0;
    for (const std::string& h : heard)
        n += h == name;
    return n;
}

class LotPlay : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        WriteTga("Resources/Sequences/-Aaa None/0001.tga", 1, 1);
        WriteTga("Resources/Sequences/-Tile EmptyLot/0001.tga", 20, 10, 0xFFFF0000u);
        WriteTga("Resources/Sequences/-Lot Hover/0001.tga", 4, 4, 0xFF0000FFu);
        WriteTga("Resources/Sequences/-Scenic Sign/0001.tga", 4, 4, 0xFF00FF00u);
        WriteTga("Resources/Sequences/-Porch Look/0001.tga", 36, 36, 0xFF00FFFFu);
        for (const char* name : {"Assist Effect", "Assist Hover", "Assist Used"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 2, 2);
        WriteBytes("Resources/Rules.Object.txt",
                   ObjectText("CRules", "Lot Mouse Hover Sequence=Lot Hover\nPoke Duration=1\n"));
        WriteBytes("Resources/Lot Options.Object.txt",
                   ObjectText("CLotOptions",
                              "Score Balloon Foo=Move In Baloon\nScore Balloon Duration=3\n"
                              "Score Balloon Position=5,-40\nScenic Bonus=0.2\n"
                              "Scenic Lot Image=Scenic Sign\n"
                              "Scenic Lot Image Offset=8,2\n"));
        WriteBytes("Resources/Customer Options.Object.txt", ObjectText("CCustomerOptions", ""));
        // The counter's share of a click is 0.03 with or without the bonus;
        // the mega sequence the cursor carries is the assist effect.
        WriteBytes("Resources/Three In A Row Options.Object.txt",
                   ObjectText("CThreeInARowCounterOptions",
                              "Fraction Per Click Without Bonus=0.03\nFraction Per Click With Bonus=0.03\n"
                              "Meter Overlay2 Sequence=Assist Effect"));
        WriteBytes("Resources/Frame Overlay Options/Move In Baloon.FOO", ObjectText("CFrameOverlayOptions", ""));
        // The blue paint: its first rule gives hue 240 at full saturation.
        WriteBytes("Resources/0 Unpainted.HueRemap.txt", ObjectText("CHueRemapperStyleSheet", ""));
        WriteBytes("Resources/Blue.HueRemap.txt",
                   "CHueRemapperStyleSheet\r\n{\r\nHue Remapper Datas=Array\r\n{\r\n"
                   "Hue Remapper Data=CHueRemapData\r\n{\r\nDest Hue=240\r\n}\r\n}\r\n}\r\n");
        for (const char* slot : {"!None", "Frame A", "Foreman", "Dozer"})
            WriteBytes("Resources/Slots/" + std::string(slot) + ".UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Phases/Frame.BuildPhase.txt",
                   ObjectText("CBuildPhase",
                              "Name=Frame\nClick Assist Hover Cursor=Assist Hover\n"
                              "Click Assist Used Cursor=Assist Used\nClick Assist Effect=Assist Effect"));
        WriteBytes("Resources/Phases/Paint.BuildPhase.txt",
                   ObjectText("CBuildPhase", "Name=Paint\nClick Assist Effect=Assist Effect"));
        WriteBytes("Resources/Phases/Add On.BuildPhase.txt", ObjectText("CBuildPhase", "Name=Add On"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", ObjectText("CUpgrade", "Upgrade Cost=0"));
        // A second of work each for the walls and the bricks of slot "Frame A".
        WriteBytes("Resources/Upgrades/Walls.Upgrade.txt",
                   ObjectText("CBuildablePart",
                              "Name=Walls\nBuild Phase=Frame\nResale Value=10\nTime to Build=1\nUpgrade Slot=Frame A"));
        WriteBytes("Resources/Upgrades/Bricks.Upgrade.txt",
                   ObjectText("CBuildablePart",
                              "Name=Bricks\nBuild Phase=Frame\nTime to Build=1\nUpgrade Slot=Frame A"));
        WriteBytes("Resources/Upgrades/Blue.Upgrade.txt",
                   ObjectText("CColorBuildablePart", "Name=Blue\nBuild Phase=Paint\nHue Remap=Blue"));
        WriteBytes("Resources/Upgrades/Porch.Upgrade.txt",
                   ObjectText("CBuildablePart", "Name=Porch\nBuild Phase=Add On\nAppearance=Porch Look"));
        WriteBytes("Resources/Upgrades/Boss.Upgrade.txt",
                   ObjectText("CForemanUpgrade", "Name=Boss\nUpgrade Slot=Foreman\nBuild Speed=2"));
        WriteBytes("Resources/Upgrades/Dozer.Upgrade.txt", ObjectText("CBulldozerUpgrade", "Upgrade Slot=Dozer"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetHueRemapperStyleSheetList().RemoveAll();
        GetHueRemapperStyleSheetList().SetSource(nullptr, "Resources", 0);
        GetUpgradeSlotList().SetSource(nullptr, "Resources", 0);
        GetBuildPhaseList().SetSource(nullptr, "Resources", 0);
        GetUpgradeList().SetSource(nullptr, "Resources", 0);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();

        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        m_Level = CLevelOptions::SGetCurrent();
        ASSERT_NE(m_Level, nullptr);
        m_Broadcasts = new CListeningLayer;
        m_Level->GetPlayfield().AppendLayer(m_Broadcasts);
        m_Walls = GetBuildablePart(Upgrade("Walls"));
        m_Blue = GetBuildablePart(Upgrade("Blue"));
        ASSERT_NE(m_Walls, nullptr);
        ASSERT_NE(m_Blue, nullptr);
    }
    void TearDown() override
    {
        m_Counter.reset();
        ClearDraggedSprite();
        GetLevelHolder().Release();
        for (const char* name : {"Bricks", "Boss", "Dozer", "Walls"})
            CGameState::SGetCurrent()->RemoveUpgrade(Upgrade(name));
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList()),
              static_cast<CObjectFileArray*>(&GetUpgradeList()), static_cast<CObjectFileArray*>(&GetBuildPhaseList()),
              static_cast<CObjectFileArray*>(&GetUpgradeSlotList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetFrameOverlayOptionsList().RemoveAll();
        InitFrameOverlayOptionsList(); // where the game keeps it
        // The style sheets are found where the program starts them.
        GetHueRemapperStyleSheetList().RemoveAll();
        GetHueRemapperStyleSheetList().SetSource("Hue Remapper Style Sheets", "Resources", 0);
        CMouseState::SGetInstance().ResetForTesting(); // no cursor of this folder's sequences stays
        SequenceFolderTest::TearDown();
    }

    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    // A lot sprite on the "Lot" layer at (x, y), its building under
    // construction with the walls.
    CLot& AddLot(float x, float y)
    {
        auto* sprite = new CSprite;
        sprite->SetPosition(x, y);
        sprite->AddAI(new CMessageEarAI(m_Heard));
        auto* lot = new CLot;
        sprite->AddAI(lot);
        if (!lot->m_Building)
            lot->m_Building = new CBuildablePackage;
        lot->m_BackgroundSequence = GetSequenceList().Find("Tile EmptyLot");
        lot->m_Building->m_BeingConstructed = Upgrade("Walls");
        m_Level->GetPlayfield().AddSprite(sprite, "Lot");
        return *lot;
    }
    // The walls in the frame phase; the list stops there, short of the
    // phases after it.
    static void GiveWalls(CLot& lot)
    {
        auto* parts
            = static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty("Parts List"));
        const int32_t frame = GetFramePhase();
        parts->ArrayProperty_SetCount(lot.m_Building, uint32_t(frame + 1));
        for (int32_t i = 0; i < frame; ++i)
            lot.m_Building->m_Parts[uint32_t(i)] = 0;
        lot.m_Building->m_Parts[uint32_t(frame)] = Upgrade("Walls");
    }
    // A sprite on the "UI" layer with the button of the slot (the game state
    // holds the upgrade in it), or on the "Customers" layer with a customer.
    CSprite* AddButton(const char* upgrade)
    {
        CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade(upgrade));
        auto* button = new CUpgradeButton;
        button->m_UpgradeSlot = GetUpgradeByIndex(Upgrade(upgrade))->m_UpgradeSlot;
        auto* sprite = new CSprite;
        sprite->AddAI(button);
        m_Level->GetPlayfield().AddSprite(sprite, "UI");
        return sprite;
    }
    // A customer with the hearts left, as a lot's resident, ordering nothing.
    static CCustomer* NewCustomer(float hearts)
    {
        auto* customer = new CCustomer;
        customer->m_TimeWaited = 90.0f - hearts * 10.0f; // the default wait and seconds per heart
        customer->m_PackageWanted = new CBuildablePackage;
        return customer;
    }
    // Sixtieths of a second, as the sprite passes them.
    static void Step(CLot& lot, int steps)
    {
        for (int i = 0; i < steps; ++i)
            lot.GetSprite()->Update();
    }
    // The share of the work one call does.
    static float Done(CLot& lot, const std::function<void()>& act)
    {
        const float before = lot.m_Building->m_ConstructionProgress;
        act();
        return lot.m_Building->m_ConstructionProgress - before;
    }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }
    CPlayfieldLayer& Effects() { return *m_Level->GetPlayfield().FindOrAddLayer("Effects"); }
    CPlayfieldLayer& Lots() { return *m_Level->GetPlayfield().FindOrAddLayer("Lot"); }
    void StartBonus(bool active)
    {
        if (!m_Counter)
            m_Counter = std::make_unique<CThreeInARowCounter>();
        m_Counter->m_SecondsBonusLeft = active ? 5.0f : 0.0f;
    }
    static void SetHeartBonuses(const std::vector<float>& bonuses)
    {
        CRules& rules = CRules::SGetInstance();
        auto* list = static_cast<CPropertyArrayProperty*>(
            CRules::SGetClassInfo()->FindProperty("Movein Bonus By Hearts List"));
        list->ArrayProperty_SetCount(&rules, uint32_t(bonuses.size()));
        for (size_t i = 0; i < bonuses.size(); ++i)
            rules.m_MoveinBonusByHearts[uint32_t(i)] = bonuses[i];
    }
    static CColor Pixel(CFrame& frame, int32_t x, int32_t y)
    {
        CColor pixel;
        frame.GetPixel(x, y, pixel);
        return pixel;
    }

    CLevelOptions* m_Level = nullptr;
    CListeningLayer* m_Broadcasts = nullptr;
    std::vector<std::string> m_Heard;
    CBuildablePart* m_Walls = nullptr;
    CBuildablePart* m_Blue = nullptr;
    std::unique_ptr<CThreeInARowCounter> m_Counter;
};

TEST_F(LotPlay, AssistClicksCountOnlyWhenSpacedByTheRulesAndEachGivesTheBuildingItsShare)
{
    // A level drawn at half size: the click lands on the lot at half its
    // place, and the effect plays where the mouse is.
    m_Level->m_ScalePercent = 50.0f;
    CLot& lot = AddLot(260.0f, 180.0f);
    CMouseState::SGetInstance().SetPosition(130, 90);
    Step(lot, 18); // 0.3 s: past the 0.25 s spacing
    EXPECT_NEAR(Done(lot, [] { SendPlayfieldMouseDown(kLeftMouseButton, {130, 90}); }), 0.01f, 1e-6f);
    EXPECT_EQ(Stats().m_ClickAssistsUsed, 1u);
    EXPECT_EQ(Stats().m_AssistedClicks, 1);
    EXPECT_EQ(Count(m_Heard, "AssistingBuild"), 1);
    EXPECT_EQ(Count(m_Broadcasts->heard, "Click Assisting"), 1);
    ASSERT_EQ(Effects().GetSpriteCount(), 1u);
    CSprite* effect = Effects().GetSprite(0);
    EXPECT_EQ(effect->GetImageSequenceIndex(), uint32_t(GetSequenceList().Find("Assist Effect")));
    EXPECT_FLOAT_EQ(effect->GetPosition().x, 130.0f);
    EXPECT_FLOAT_EQ(effect->GetPosition().y, 90.0f);
    EXPECT_NE(dynamic_cast<CPlayAnimationOnceSpriteAI*>(effect->GetAI()), nullptr);
    EXPECT_EQ(effect->GetColor().GetRed(), 255) << "only paint tints the effect";

    Step(lot, 6); // 0.1 s later: too early
    EXPECT_EQ(Done(lot, [&lot] { EXPECT_FALSE(lot.ClickAssist()); }), 0.0f);
    EXPECT_EQ(Stats().m_EarlyClickAssistAttempts, 1u);
    EXPECT_EQ(Stats().m_ClickAssistsUsed, 1u);
    EXPECT_EQ(Stats().m_AssistedClicks, 2);
    EXPECT_EQ(Effects().GetSpriteCount(), 1u);

    // Nothing to assist: a finished building, an occupied lot, a level
    // without click assist. None of these counts as a click.
    Step(lot, 30);
    lot.m_Building->m_BeingConstructed = 0;
    EXPECT_FALSE(lot.ClickAssist());
    lot.m_Building->m_BeingConstructed = Upgrade("Walls");
    m_Level->m_AllowClickAssist = false;
    EXPECT_FALSE(lot.ClickAssist());
    EXPECT_EQ(Stats().m_AssistedClicks, 2);
    m_Level->m_AllowClickAssist = true;
    EXPECT_TRUE(lot.ClickAssist());
}

TEST_F(LotPlay, AnAssistClickExactlyTheSpacingAfterTheLastCounts)
{
    CLot& lot = AddLot(0.0f, 0.0f);
    Step(lot, 1);
    const float spacing = CRules::SGetInstance().m_SecondsBetweenBuildAssistClicks;
    lot.m_SecondsBetweenAssistClicks = std::nextafter(spacing, 0.0f);
    EXPECT_FALSE(lot.ClickAssist());
    lot.m_SecondsBetweenAssistClicks = spacing;
    EXPECT_NEAR(Done(lot, [&lot] { EXPECT_TRUE(lot.ClickAssist()); }), 0.01f, 1e-6f);
    EXPECT_EQ(Stats().m_EarlyClickAssistAttempts, 1u);
    EXPECT_EQ(Stats().m_ClickAssistsUsed, 1u);
}

TEST_F(LotPlay, TheTutorialQuadruplesTheAssistButNotDuringTheBonusWhoseCounterSetsTheShare)
{
    CLot& lot = AddLot(0.0f, 0.0f);
    m_Level->m_RequireClickAssist = true;
    const auto assist = [&lot] { EXPECT_TRUE(lot.ClickAssist()); };
    Step(lot, 16);
    EXPECT_NEAR(Done(lot, assist), 0.04f, 1e-6f);
    StartBonus(false);
    Step(lot, 16);
    EXPECT_NEAR(Done(lot, assist), 0.12f, 1e-6f) << "the counter's own share, still quadrupled";
    StartBonus(true);
    lot.m_Building->m_BeingConstructed = Upgrade("Blue");
    Step(lot, 16);
    EXPECT_NEAR(Done(lot, assist), 0.03f, 1e-6f) << "no tutorial boost while the bonus runs";
    EXPECT_EQ(Stats().m_ClickAssistsUsed, 2u);
    EXPECT_EQ(Stats().m_MegaClickAssistsUsed, 1u);
    EXPECT_EQ(Count(m_Heard, "MegaAssistingPaint"), 1);
    ASSERT_EQ(Effects().GetSpriteCount(), 3u);
    EXPECT_EQ(Effects().GetSprite(2)->GetColor().GetBlue(), 255);
    EXPECT_EQ(Effects().GetSprite(2)->GetColor().GetRed(), 0) << "paint tints the effect";

    // The hovered cursor carries the paint and, during the bonus, the
    // counter's mega sequence.
    lot.m_IsHovered = true;
    Step(lot, 1);
    EXPECT_EQ(GetCursorDecoration().colour.GetBlue(), 255);
    EXPECT_EQ(GetCursorDecoration().colour.GetRed(), 0);
    EXPECT_EQ(GetCursorDecoration().megaSequence, uint32_t(GetSequenceList().Find("Assist Effect")));
}

TEST_F(LotPlay, TheBuildingRunsAtTheForemansPaceAndAFinishedPhaseIsReportedOnce)
{
    // Prebuilt walls on a short list; the player owns the bricks of their
    // slot, and the foreman who doubles the pace.
    CLot& lot = AddLot(0.0f, 0.0f);
    GiveWalls(lot);
    lot.m_SecondsWaitingForMouseUp = 0.02f;
    lot.m_ForcePrebuiltItemsToUsePurchasedUpgrades = true;
    CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade("Bricks"));
    CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade("Boss"));
    CForeman foreman;
    lot.SetForeman(&foreman);
    Step(lot, 1);
    EXPECT_EQ(lot.m_Building->m_Parts.GetCount(), uint32_t(GetBuildPhaseList().GetCount()))
        << "sized to every phase when the lot starts";
    EXPECT_EQ(lot.m_Building->GetPartInPhase(GetFramePhase()), Upgrade("Bricks")) << "the owned part replaces it";
    EXPECT_FALSE(lot.m_ForcePrebuiltItemsToUsePurchasedUpgrades);
    // Walls of one second's work at the crew's own pace, doubled.
    EXPECT_NEAR(Done(lot, [&lot] { Step(lot, 1); }), 2.0f / 60.0f, 1e-6f);
    EXPECT_FLOAT_EQ(lot.m_SecondsWaitingForMouseUp, 0.0f);
    EXPECT_NEAR(lot.m_SecondsBetweenAssistClicks, 2.0f / 60.0f, 1e-6f);

    // A foreman that is gone leaves the lot at the plain pace.
    lot.SetForeman(nullptr);
    EXPECT_NEAR(Done(lot, [&lot] { Step(lot, 1); }), 1.0f / 60.0f, 1e-6f);

    // The walls finish; the lot started once, so a short list stays short.
    GiveWalls(lot);
    lot.m_Building->m_ConstructionProgress = 0.999f;
    Step(lot, 3);
    EXPECT_EQ(Count(m_Heard, "PhaseComplete"), 1);
    EXPECT_EQ(lot.m_Building->m_Parts.GetCount(), uint32_t(GetFramePhase() + 1));
}

TEST_F(LotPlay, APokeSwellsFromOnePointOneFiveBackToOneAndAZeroDurationEndsIt)
{
    CLot& lot = AddLot(0.0f, 0.0f);
    lot.m_PokeClock = 0.001f; // as a poke starts it
    Step(lot, 1);
    EXPECT_NEAR(lot.m_DrawScale, 1.15f, 0.003f);
    Step(lot, 29); // half of the 1 s poke
    EXPECT_NEAR(lot.m_DrawScale, 1.075f, 0.003f);
    Step(lot, 29);
    EXPECT_GT(lot.m_DrawScale, 1.0f);
    Step(lot, 1);
    EXPECT_FLOAT_EQ(lot.m_DrawScale, 1.0f);
    EXPECT_FLOAT_EQ(lot.m_PokeClock, 0.0f);

    CRules::SGetInstance().m_PokeDuration = 0.0f;
    lot.m_PokeClock = 0.001f;
    Step(lot, 1);
    EXPECT_FLOAT_EQ(lot.m_DrawScale, 1.0f);
    EXPECT_FLOAT_EQ(lot.m_PokeClock, 0.0f);
}

TEST_F(LotPlay, AHoveredLotMarksItselfForAHeldCustomerOrAnUpgradeItCanTake)
{
    CLot& lot = AddLot(10.0f, 10.0f);
    lot.m_Building->m_BeingConstructed = 0;
    SendPlayfieldMouseMoved({300, 300}, {0, 0});
    const auto hoverShown = [&lot]() {
        auto frame = CFrame::MakeOwned(40, 40, 32);
        lot.GetSprite()->DrawAllPasses(*frame);
        return Pixel(*frame, 11, 11).GetBlue() == 255;
    };
    // A customer ordering the empty house on the cursor.
    CCustomer* customer = NewCustomer(3.0f);
    auto* held = new CSprite;
    held->AddAI(customer);
    m_Level->GetPlayfield().AddSprite(held, "Customers");
    SetDraggedSprite(held, {0.0f, 0.0f});
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget) << "not hovered";
    EXPECT_EQ(customer->GetHoverCounter(), 0u);
    EXPECT_FALSE(hoverShown());
    SendPlayfieldMouseMoved({12, 12}, {0, 0});
    Step(lot, 1);
    EXPECT_TRUE(lot.m_IsDropTarget);
    EXPECT_EQ(customer->GetHoverCounter(), 2u) << "the customer sees a house it could move into";
    EXPECT_TRUE(hoverShown());

    SetDraggedSprite(AddButton("Dozer"), {0.0f, 0.0f});
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget) << "nothing to bulldoze";
    GiveWalls(lot);
    Step(lot, 1);
    EXPECT_TRUE(lot.m_IsDropTarget);
    lot.m_CustomerLivingHere = NewCustomer(3.0f);
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget) << "no bulldozing an occupied lot";

    // The walls again: a frame cannot be redone, an empty building takes them.
    SetDraggedSprite(AddButton("Walls"), {0.0f, 0.0f});
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget);
    lot.m_Building->ResetToDefaults();
    Step(lot, 1);
    EXPECT_TRUE(lot.m_IsDropTarget) << "the building answers for parts";
    ClearDraggedSprite();
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget);
    EXPECT_FALSE(hoverShown());
}

TEST_F(LotPlay, ALotDrawsItsGroundBuildingScenicSignAndItsGoalMarkOncePerMarking)
{
    CLot& lot = AddLot(10.0f, 10.0f);
    lot.m_DrawScale = 1.1f;
    lot.m_IsScenicLot = true;
    auto frame = CFrame::MakeOwned(40, 40, 32);
    lot.GetSprite()->DrawAllPasses(*frame);
    // Frames are centred on their sprite.
    EXPECT_EQ(Pixel(*frame, 0, 5).GetRed(), 255) << "the ground on the sprite";
    EXPECT_EQ(Pixel(*frame, 19, 14).GetRed(), 255);
    EXPECT_EQ(Pixel(*frame, 20, 10).GetRed(), 0);
    EXPECT_EQ(Pixel(*frame, 16, 10).GetGreen(), 255) << "the scenic sign at its offset";
    EXPECT_EQ(Pixel(*frame, 15, 10).GetGreen(), 0);

    lot.MarkGoalLocation();
    auto marked = CFrame::MakeOwned(40, 40, 32);
    lot.GetSprite()->DrawAllPasses(*marked);
    EXPECT_EQ(Pixel(*marked, 11, 11).GetBlue(), 255);
    auto unmarked = CFrame::MakeOwned(40, 40, 32);
    lot.GetSprite()->DrawAllPasses(*unmarked);
    EXPECT_EQ(Pixel(*unmarked, 11, 11).GetBlue(), 0) << "the goals mark the lot again at each draw";

    CRect bounds{};
    lot.GetBounds(bounds);
    CRect ground{};
    GetSequenceList().GetObject(lot.m_BackgroundSequence)->GetCurrentFrame()->GetBounds(ground);
    EXPECT_EQ(bounds.left, ground.left + 10) << "the ground's bounds where the sprite stands";
    EXPECT_EQ(bounds.top, ground.top + 10);
    EXPECT_EQ(bounds.right, ground.right + 10);
    EXPECT_EQ(bounds.bottom, ground.bottom + 10);

    // The building is drawn at the lot's scale (a poke's swell): its cyan
    // add-on covers more at 1.1 than at 1.
    CLot& porch = AddLot(100.0f, 100.0f);
    porch.m_Building->m_BeingConstructed = 0;
    porch.m_BackgroundSequence = 0;
    auto* parts = static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty("Parts List"));
    parts->ArrayProperty_SetCount(porch.m_Building, uint32_t(GetBuildPhaseList().GetCount()));
    porch.m_Building->m_Parts[uint32_t(GetAddOnPhase())] = Upgrade("Porch");
    const auto covered = [&porch](float scale) {
        porch.m_DrawScale = scale;
        auto target = CFrame::MakeOwned(200, 200, 32);
        porch.GetSprite()->DrawAllPasses(*target);
        uint32_t n = 0;
        for (int32_t y = 0; y < 200; ++y)
            for (int32_t x = 0; x < 200; ++x)
                n += Pixel(*target, x, y).GetGreen() > 0 ? 1 : 0;
        return n;
    };
    const uint32_t plain = covered(1.0f);
    EXPECT_GT(plain, 0u);
    EXPECT_GT(covered(1.1f), plain);
}

TEST_F(LotPlay, TheScoreBalloonShowsHeartsRevenueAndTheSignedBonusOverTheLot)
{
    CLot& lot = AddLot(200.0f, 150.0f);
    GiveWalls(lot);
    lot.m_Building->m_BeingConstructed = 0;
    lot.m_IsScenicLot = true; // 10 thousand, 12 with the scenic bonus
    lot.m_CustomerLivingHere = NewCustomer(2.2f);
    // In front of the street, not among the lots the layers after them cover.
    CPlayfieldLayer& front = *m_Level->GetPlayfield().FindOrAddLayer("Effects");
    const auto balloon = [&front](uint32_t i) {
        CSprite* sprite = front.GetSprite(i - 1);
        return sprite ? dynamic_cast<CScoreBalloonAI*>(sprite->GetAI()) : nullptr;
    };
    const auto text = [&balloon](uint32_t i, const char* token) {
        return std::string(balloon(i)->m_pTextSubstitutionList->Apply(CJString(token)).GetString());
    };

    // The resident's 2.2 hearts take the rules' third move-in bonus.
    SetHeartBonuses({0.0f, 0.0f, 0.25f});
    lot.ShowScoreBalloon(0.5f);
    SetHeartBonuses({0.0f, 0.0f, 0.0f});
    lot.ShowScoreBalloon(0.0f);
    SetHeartBonuses({0.0f, 0.0f, -0.1f});
    lot.ShowScoreBalloon(0.0f);
    ASSERT_EQ(front.GetSpriteCount(), 3u);
    ASSERT_NE(balloon(1), nullptr);
    EXPECT_EQ(text(1, "%s[Bonus]"), " + 25");
    EXPECT_EQ(text(1, "%s[Revenue]"), "15,000");
    EXPECT_EQ(text(1, "%s[Hearts]"), "3") << "hearts rounded up";
    EXPECT_EQ(text(2, "%s[Bonus]"), "");
    EXPECT_EQ(text(2, "%s[Revenue]"), "12,000");
    EXPECT_EQ(text(3, "%s[Bonus]"), " - 10");
    EXPECT_EQ(text(3, "%s[Revenue]"), "10,800");

    CScoreBalloonAI& first = *balloon(1);
    EXPECT_FLOAT_EQ(first.m_Duration, 3.0f);
    EXPECT_EQ(first.m_Foo, GetFrameOverlayOptionsList().Find("Move In Baloon"));
    EXPECT_FLOAT_EQ(first.GetSprite()->GetPosition().x, 205.0f);
    EXPECT_FLOAT_EQ(first.GetSprite()->GetPosition().y, 110.0f);
}

} // namespace
