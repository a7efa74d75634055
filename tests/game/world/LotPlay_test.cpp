// A lot as it plays step by step: assist clicks spaced by the rules and
// their share of the work, the building run at the foreman's pace, the poke
// swell, what a hovered lot shows for a held customer or upgrade, its
// drawing, and the score balloon of a move-in. The building business is a
// double that follows what the lot may ask of it.
#include "blit/CColor.h"
#include "../MessageEarAI.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
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
#include "game/business/CScoreBalloonAI.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CMouseState.h"
#include "tests/support/ScopedHooks.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The building business as the lot sees it.
class CFakeBusiness : public CLotHooks {
public:
    CSpriteAI* GetHeldCustomer() override { return heldCustomer; }
    CSpriteAI* GetHeldUpgradeButton() override { return heldButton; }
    CUpgrade* GetButtonUpgrade(CSpriteAI*) override { return buttonUpgrade; }
    bool IsUsedOnLots(CUpgrade*) override { return true; }
    bool IsUsedOnLot(CUpgrade*, CLot*) override { return usedOnThisLot; }
    bool IsBulldozer(CUpgrade* upgrade) override { return upgrade == bulldozer; }
    bool CanTakePart(CBuildablePackage*, CBuildablePart*) override { return takesPart; }
    float GetHeartsLeft(CSpriteAI*) override { return hearts; }
    float GetMoveInBonus(CSpriteAI*) override { return moveInBonus; }
    void ReactToLot(CSpriteAI*, CLot*) override { ++reactions; }
    void InitializeBuilding(CBuildablePackage*, CLot*) override { ++initialized; }
    void AdvanceConstruction(CBuildablePackage* building, float seconds) override
    {
        advanced.push_back(seconds);
        if (finishNextStep) {
            building->m_BeingConstructed = 0;
            finishNextStep = false;
        }
    }
    void AdvanceConstructionBy(CBuildablePackage*, float fraction) override { assisted.push_back(fraction); }
    void ReplacePrebuiltParts(CBuildablePackage*) override { ++replaced; }
    void DrawBuilding(CBuildablePackage*, CFrameInterface&, float scale) override { drawScales.push_back(scale); }
    CBuildablePart* GetPartUnderConstruction(CBuildablePackage*) override { return partUnderConstruction; }
    float GetForemanSpeed(CSpriteAI*) override { return foremanSpeed; }
    float GetCounterBuildPercentPerClick(CThreeInARowCounter*, float) override { return counterShare; }
    uint32_t GetCounterMegaSequence(CThreeInARowCounter*) override { return 77; }
    void SetCursorDecoration(const CColor& colour, uint32_t mega) override
    {
        decorationColour = colour;
        decorationMega = mega;
        ++decorations;
    }
    CColor GetPaintColour(CBuildablePart*) override { return CColor(0, 0, 255, 255); }

    CSpriteAI* heldCustomer = nullptr;
    CSpriteAI* heldButton = nullptr;
    CUpgrade* buttonUpgrade = nullptr;
    CUpgrade* bulldozer = nullptr;
    bool usedOnThisLot = false;
    bool takesPart = false;
    float hearts = 0.0f;
    float moveInBonus = 0.0f;
    int reactions = 0;
    int initialized = 0;
    bool finishNextStep = false;
    std::vector<float> advanced;
    std::vector<float> assisted;
    int replaced = 0;
    std::vector<float> drawScales;
    CBuildablePart* partUnderConstruction = nullptr;
    float foremanSpeed = 1.0f;
    float counterShare = 0.03f;
    CColor decorationColour;
    uint32_t decorationMega = 0;
    int decorations = 0;
};

// A layer that notes what the playfield broadcasts.
class CListeningLayer : public CPlayfieldLayer {
public:
    void HandleMessage(CMessage& message) override { heard.push_back(GetMessageTypeName(message.GetType())); }
    std::vector<std::string> heard;
};

// A resident stand-in: the lot only hands it to the business.
class CResident : public CSpriteAI {
public:
    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
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
        WriteBytes("Resources/Frame Overlay Options/Move In Baloon.FOO", ObjectText("CFrameOverlayOptions", ""));
        WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", ObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Phases/Frame.BuildPhase.txt",
                   ObjectText("CBuildPhase",
                              "Name=Frame\nClick Assist Hover Cursor=Assist Hover\n"
                              "Click Assist Used Cursor=Assist Used\nClick Assist Effect=Assist Effect"));
        WriteBytes("Resources/Phases/Paint.BuildPhase.txt",
                   ObjectText("CBuildPhase", "Name=Paint\nClick Assist Effect=Assist Effect"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", ObjectText("CUpgrade", "Upgrade Cost=0"));
        WriteBytes("Resources/Upgrades/Walls.Upgrade.txt",
                   ObjectText("CBuildablePart", "Name=Walls\nBuild Phase=Frame\nResale Value=10"));
        WriteBytes("Resources/Upgrades/Blue.Upgrade.txt",
                   ObjectText("CColorBuildablePart", "Name=Blue\nBuild Phase=Paint"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
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
        m_Walls = static_cast<CBuildablePart*>(GetUpgradeList().GetObject(GetUpgradeList().Find("Walls")));
        m_Blue = static_cast<CBuildablePart*>(GetUpgradeList().GetObject(GetUpgradeList().Find("Blue")));
        ASSERT_NE(m_Walls, nullptr);
        ASSERT_NE(m_Blue, nullptr);
        m_Business.partUnderConstruction = m_Walls;
    }
    void TearDown() override
    {
        m_Counter.reset();
        GetLevelHolder().Release();
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList()),
              static_cast<CObjectFileArray*>(&GetUpgradeList()), static_cast<CObjectFileArray*>(&GetBuildPhaseList()),
              static_cast<CObjectFileArray*>(&GetUpgradeSlotList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        GetFrameOverlayOptionsList().RemoveAll();
        InitFrameOverlayOptionsList();                 // where the game keeps it
        CMouseState::SGetInstance().ResetForTesting(); // no cursor of this folder's sequences stays
        SequenceFolderTest::TearDown();
    }

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
        lot->m_Building->m_BeingConstructed = 1;
        m_Level->GetPlayfield().AddSprite(sprite, "Lot");
        return *lot;
    }
    static void GiveWalls(CLot& lot)
    {
        auto* parts
            = static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty("Parts List"));
        parts->ArrayProperty_SetCount(lot.m_Building, 1);
        lot.m_Building->m_Parts[0] = GetUpgradeList().Find("Walls");
    }
    // Sixtieths of a second, as the sprite passes them.
    static void Step(CLot& lot, int steps)
    {
        for (int i = 0; i < steps; ++i)
            lot.GetSprite()->Update();
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
    static CColor Pixel(CFrame& frame, int32_t x, int32_t y)
    {
        CColor pixel;
        frame.GetPixel(x, y, pixel);
        return pixel;
    }

    CFakeBusiness m_Business;
    CScopedHook<SetLotHooks> m_Installed{&m_Business};
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
    SendPlayfieldMouseDown(kLeftMouseButton, {130, 90});
    ASSERT_EQ(m_Business.assisted.size(), 1u);
    EXPECT_FLOAT_EQ(m_Business.assisted[0], 0.01f);
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
    EXPECT_FALSE(lot.ClickAssist());
    EXPECT_EQ(m_Business.assisted.size(), 1u);
    EXPECT_EQ(Stats().m_EarlyClickAssistAttempts, 1u);
    EXPECT_EQ(Stats().m_ClickAssistsUsed, 1u);
    EXPECT_EQ(Stats().m_AssistedClicks, 2);
    EXPECT_EQ(Effects().GetSpriteCount(), 1u);

    // Nothing to assist: a finished building, an occupied lot, a level
    // without click assist. None of these counts as a click.
    Step(lot, 30);
    lot.m_Building->m_BeingConstructed = 0;
    EXPECT_FALSE(lot.ClickAssist());
    lot.m_Building->m_BeingConstructed = 1;
    m_Level->m_AllowClickAssist = false;
    EXPECT_FALSE(lot.ClickAssist());
    EXPECT_EQ(Stats().m_AssistedClicks, 2);
    m_Level->m_AllowClickAssist = true;
    EXPECT_TRUE(lot.ClickAssist());
}

TEST_F(LotPlay, TheTutorialQuadruplesTheAssistButNotDuringTheBonusWhoseCounterSetsTheShare)
{
    CLot& lot = AddLot(0.0f, 0.0f);
    m_Level->m_RequireClickAssist = true;
    Step(lot, 16);
    EXPECT_TRUE(lot.ClickAssist());
    StartBonus(false);
    Step(lot, 16);
    EXPECT_TRUE(lot.ClickAssist());
    StartBonus(true);
    m_Business.partUnderConstruction = m_Blue;
    Step(lot, 16);
    EXPECT_TRUE(lot.ClickAssist());
    ASSERT_EQ(m_Business.assisted.size(), 3u);
    EXPECT_FLOAT_EQ(m_Business.assisted[0], 0.04f);
    EXPECT_FLOAT_EQ(m_Business.assisted[1], 0.12f) << "the counter's own share, still quadrupled";
    EXPECT_FLOAT_EQ(m_Business.assisted[2], 0.03f) << "no tutorial boost while the bonus runs";
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
    EXPECT_GE(m_Business.decorations, 1);
    EXPECT_EQ(m_Business.decorationColour.GetBlue(), 255);
    EXPECT_EQ(m_Business.decorationMega, 77u);
}

TEST_F(LotPlay, TheBuildingRunsAtTheForemansPaceAndAFinishedPhaseIsReportedOnce)
{
    CLot& lot = AddLot(0.0f, 0.0f);
    lot.m_SecondsWaitingForMouseUp = 0.02f;
    lot.m_ForcePrebuiltItemsToUsePurchasedUpgrades = true;
    CResident foreman;
    m_Business.foremanSpeed = 2.0f;
    lot.SetForeman(&foreman);
    Step(lot, 2);
    EXPECT_EQ(m_Business.initialized, 1);
    EXPECT_EQ(m_Business.replaced, 1);
    EXPECT_FALSE(lot.m_ForcePrebuiltItemsToUsePurchasedUpgrades);
    EXPECT_FLOAT_EQ(lot.m_SecondsWaitingForMouseUp, 0.0f);
    EXPECT_NEAR(lot.m_SecondsBetweenAssistClicks, 2.0f / 60.0f, 1e-6f);
    ASSERT_EQ(m_Business.advanced.size(), 2u);
    EXPECT_FLOAT_EQ(m_Business.advanced[1], 2.0f / 60.0f);

    // A foreman that is gone leaves the lot at the plain pace.
    lot.SetForeman(nullptr);
    Step(lot, 1);
    EXPECT_FLOAT_EQ(m_Business.advanced.back(), 1.0f / 60.0f);

    m_Business.finishNextStep = true;
    Step(lot, 3);
    EXPECT_EQ(Count(m_Heard, "PhaseComplete"), 1);
    EXPECT_EQ(m_Business.initialized, 1);
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
    CResident customer;
    m_Business.heldCustomer = &customer;
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget) << "not hovered";
    EXPECT_FALSE(hoverShown());
    SendPlayfieldMouseMoved({12, 12}, {0, 0});
    Step(lot, 1);
    EXPECT_TRUE(lot.m_IsDropTarget);
    EXPECT_EQ(m_Business.reactions, 1);
    EXPECT_TRUE(hoverShown());

    m_Business.heldCustomer = nullptr;
    CResident button;
    CUpgrade bulldozer;
    m_Business.heldButton = &button;
    m_Business.buttonUpgrade = &bulldozer;
    m_Business.bulldozer = &bulldozer;
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget) << "nothing to bulldoze";
    GiveWalls(lot);
    Step(lot, 1);
    EXPECT_TRUE(lot.m_IsDropTarget);
    lot.m_CustomerLivingHere = new CResident;
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget) << "no bulldozing an occupied lot";

    m_Business.buttonUpgrade = m_Walls;
    Step(lot, 1);
    EXPECT_FALSE(lot.m_IsDropTarget);
    m_Business.takesPart = true;
    Step(lot, 1);
    EXPECT_TRUE(lot.m_IsDropTarget) << "the building answers for parts";
    m_Business.heldButton = nullptr;
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
    ASSERT_EQ(m_Business.drawScales.size(), 1u);
    EXPECT_FLOAT_EQ(m_Business.drawScales[0], 1.1f);

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
}

TEST_F(LotPlay, TheScoreBalloonShowsHeartsRevenueAndTheSignedBonusOverTheLot)
{
    CLot& lot = AddLot(200.0f, 150.0f);
    GiveWalls(lot);
    lot.m_Building->m_BeingConstructed = 0;
    lot.m_IsScenicLot = true; // 10 thousand, 12 with the scenic bonus
    lot.m_CustomerLivingHere = new CResident;
    m_Business.hearts = 2.2f;
    const auto balloon = [this](uint32_t i) {
        CSprite* sprite = Lots().GetSprite(i);
        return sprite ? dynamic_cast<CScoreBalloonAI*>(sprite->GetAI()) : nullptr;
    };
    const auto text = [&balloon](uint32_t i, const char* token) {
        return std::string(balloon(i)->m_pTextSubstitutionList->Apply(CJString(token)).GetString());
    };

    m_Business.moveInBonus = 0.25f;
    lot.ShowScoreBalloon(0.5f);
    m_Business.moveInBonus = 0.0f;
    lot.ShowScoreBalloon(0.0f);
    m_Business.moveInBonus = -0.1f;
    lot.ShowScoreBalloon(0.0f);
    ASSERT_EQ(Lots().GetSpriteCount(), 4u);
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
