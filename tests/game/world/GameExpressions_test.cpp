// Game expressions and tutorial script steps, driven as data would: objects
// read from text against a small upgrade set, evaluated or updated on a
// sprite while a level is held.
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameExpressions.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelTimer.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorialPlugIns.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/ScopedHooks.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

template <typename T>
std::unique_ptr<T> Read(const std::string& className, const std::string& lines)
{
    CJString error;
    CObject* object
        = ObjectFromText(BareObjectText(className, lines), IdMode::WithoutIds, StreamReports::Quiet, &error);
    EXPECT_NE(object, nullptr) << error.GetString();
    auto* typed = dynamic_cast<T*>(object);
    if (!typed)
        delete object;
    return std::unique_ptr<T>(typed);
}

bool Holds(CExpression& expression)
{
    CScriptValue value;
    expression.Evaluate(nullptr, value);
    return value.AsBoolean();
}

class GameExpressions : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameWorldClasses();
        WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Garage A.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Crew A.UpgradeSlot.txt", BareObjectText("CUpgradeSlot", ""));
        for (const char* phase : {"Frame", "Garage", "Roof"})
            WriteBytes(std::string("Resources/Phases/") + phase + ".BuildPhase.txt",
                       BareObjectText("CBuildPhase", std::string("Name=") + phase + "\r\n"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", BareObjectText("CUpgrade", ""));
        WriteBytes("Resources/Upgrades/Garage Big.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Upgrade Slot=Garage A\r\nBuild Phase=Garage\r\n"));
        WriteBytes("Resources/Upgrades/Garage Small.Upgrade.txt",
                   BareObjectText("CBuildablePart", "Upgrade Slot=Garage A\r\nBuild Phase=Garage\r\n"));
        WriteBytes("Resources/Upgrades/Crew Basic.Upgrade.txt",
                   BareObjectText("CCrewUpgrade", "Upgrade Slot=Crew A\r\n"));
        // Lots take their look from these when placed and let go of the cursor.
        for (const char* name : {"Tile EmptyLot", "Mouse Cursor"})
            WriteTga("Resources/Sequences/-" + std::string(name) + "/0001.tga", 4, 4);
        // What a spawned customer reads.
        WriteBytes("Resources/Customer Options.Object.txt", BareObjectText("CCustomerOptions", ""));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        GetUpgradeSlotList().SetSource(nullptr, "Resources", 0);
        GetBuildPhaseList().SetSource(nullptr, "Resources", 0);
        GetUpgradeList().SetSource(nullptr, "Resources", 0);
        big = GetUpgradeList().Find("Garage Big");
        small = GetUpgradeList().Find("Garage Small");
        ASSERT_GT(big, 0);
        ASSERT_GT(small, 0);
    }
    void TearDown() override
    {
        ClearDraggedSprite();
        GetLevelHolder().Release();
        SetCurrentLevelIndex(0);
        CGameState::SGetCurrent()->RemoveUpgrade(big);
        CGameState::SGetCurrent()->RemoveUpgrade(small);
        for (CObjectFileArray* list :
             {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetUpgradeList()),
              static_cast<CObjectFileArray*>(&GetUpgradeSlotList()),
              static_cast<CObjectFileArray*>(&GetBuildPhaseList()),
              static_cast<CObjectFileArray*>(&GetSequenceList())}) {
            list->RemoveAll();
            list->SetSource(nullptr, "Nowhere", 0);
        }
        SequenceFolderTest::TearDown();
    }

    // A held copy of a fresh level with the default layers.
    static CLevelOptions& StartLevel()
    {
        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        CLevelOptions* current = CLevelOptions::SGetCurrent();
        EXPECT_NE(current, nullptr);
        return *current;
    }

    // A lot at (column, row) whose building holds nothing, the big garage,
    // nothing, as a saved lot holds it.
    static CSprite* LotSprite(int32_t column, int32_t row)
    {
        auto* sprite = new CSprite;
        auto* lot = new CLot;
        sprite->AddAI(lot);
        lot->m_GridCoordinate = CPoint{column, row};
        auto building = Read<CBuildablePackage>("CBuildablePackage",
                                                "Parts List=Array\r\n{\r\nPart=\r\nPart=Garage Big\r\nPart=\r\n}\r\n");
        EXPECT_EQ(building ? building->m_Parts.GetCount() : 0u, 3u);
        delete lot->m_Building;
        lot->m_Building = building.release();
        return sprite;
    }

    int32_t big = 0;
    int32_t small = 0;
};

TEST_F(GameExpressions, LevelNumberAndReceivedUpgradeReadTheGameInPlay)
{
    CLevelOptions& level = StartLevel();
    auto number = Read<CLevelExpression>("CLevelExpression", "");
    auto received = Read<CHasUpgradeExpression>("CHasUpgradeExpression", "Required Upgrade=Garage Big\r\n");
    ASSERT_TRUE(number && received);
    SetCurrentLevelIndex(2);
    CScriptValue value;
    number->Evaluate(nullptr, value);
    EXPECT_EQ(value.AsInteger(), 3);
    level.m_IsTutorialLevel = true;
    number->Evaluate(nullptr, value);
    EXPECT_EQ(value.AsInteger(), 0);

    EXPECT_FALSE(Holds(*received));
    CGameState::SGetCurrent()->ReceiveUpgrade(big);
    EXPECT_TRUE(Holds(*received));
    received->m_RequiredUpgrade = small;
    EXPECT_FALSE(Holds(*received));
}

TEST_F(GameExpressions, HeldThingMustMeetEveryRequirementSet)
{
    auto any = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "");
    auto phase = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "Required Build Phase=Garage\r\n");
    auto roof = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "Required Build Phase=Roof\r\n");
    auto upgrade = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "Required Upgrade=Garage Big\r\n");
    auto part = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "Required Class=CBuildablePart\r\n");
    auto crew = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "Required Class=CCrewUpgrade\r\n");
    auto ai = Read<CUpgradeOnCursorExpression>("CUpgradeOnCursorExpression", "Required Class=CSpriteAI\r\n");
    for (auto* e : {any.get(), phase.get(), roof.get(), upgrade.get(), part.get(), crew.get(), ai.get()})
        ASSERT_NE(e, nullptr);
    ASSERT_EQ(part->m_RequiredClass, CBuildablePart::SGetClassInfo());

    EXPECT_FALSE(Holds(*any)) << "nothing held";
    CSprite bare;
    SetDraggedSprite(&bare, {0.0f, 0.0f});
    EXPECT_FALSE(Holds(*any)) << "a held sprite without an AI";

    // Something that is no button: only the AI's own class can match.
    CSprite plain;
    plain.AddAI(new CLevelTimer);
    SetDraggedSprite(&plain, {0.0f, 0.0f});
    EXPECT_TRUE(Holds(*any));
    EXPECT_FALSE(Holds(*phase));
    EXPECT_FALSE(Holds(*upgrade));
    EXPECT_FALSE(Holds(*part));
    EXPECT_TRUE(Holds(*ai));

    // A button holding a garage part: the one the game state holds in its slot.
    CGameState::SGetCurrent()->ReceiveUpgrade(big);
    CSprite button;
    auto* buttonAI = new CUpgradeButton;
    buttonAI->m_UpgradeSlot = GetUpgradeSlotList().Find("Garage A");
    button.AddAI(buttonAI);
    ASSERT_EQ(buttonAI->GetUpgrade(), GetUpgradeByIndex(big));
    SetDraggedSprite(&button, {0.0f, 0.0f});
    EXPECT_TRUE(Holds(*any));
    EXPECT_TRUE(Holds(*phase));
    EXPECT_FALSE(Holds(*roof));
    EXPECT_TRUE(Holds(*upgrade));
    EXPECT_TRUE(Holds(*part)) << "the button's upgrade is of the class";
    EXPECT_FALSE(Holds(*crew));
    EXPECT_TRUE(Holds(*ai)) << "the held AI is of the class though its upgrade is not";
    CGameState::SGetCurrent()->ReceiveUpgrade(small);
    ASSERT_EQ(buttonAI->GetUpgrade(), GetUpgradeByIndex(small));
    EXPECT_FALSE(Holds(*upgrade));
    EXPECT_TRUE(Holds(*phase));
}

TEST_F(GameExpressions, LotItemIsLookedUpOnlyOnTheLotLayerAtItsGridCoordinate)
{
    CLevelOptions& level = StartLevel();
    CPlayfield& playfield = level.GetPlayfield();
    CScopedHook<SetCurrentPlayfield> current(&playfield);
    auto expression = Read<CLotHasItemExpression>("CLotHasItemExpression",
                                                  "Required Upgrade=Garage Big\r\nLot Grid Coordinate=1,2\r\n");
    ASSERT_NE(expression, nullptr);
    playfield.DeleteAllLayers();
    auto* plain = new CPlayfieldLayer;
    plain->m_Name = "Lot";
    playfield.AppendLayer(plain);
    plain->AddSprite(LotSprite(1, 2));
    EXPECT_FALSE(Holds(*expression)) << "a \"Lot\" layer that is no lot layer";

    playfield.DeleteAllLayers();
    auto* lots = new CLotPlayfieldLayer;
    lots->m_Name = "lot";
    playfield.AppendLayer(lots);
    lots->AddSprite(LotSprite(1, 2));

    EXPECT_TRUE(Holds(*expression));
    expression->m_RequiredUpgrade = small;
    EXPECT_FALSE(Holds(*expression));
    expression->m_RequiredUpgrade = big;
    for (CPoint outside : {CPoint{2, 1}, CPoint{-1, 2}, CPoint{1000, 1000}}) {
        expression->m_LotGridCoordinate = outside;
        EXPECT_FALSE(Holds(*expression)) << outside.x << "," << outside.y;
    }
}

TEST_F(GameExpressions, TutorialStepsEachWriteTheLevelOnceAndTheScriptMovesOn)
{
    CLevelOptions& level = StartLevel();
    level.m_MustBuildAtGridCoordinate = CPoint{0, 0};
    auto script = Read<CSpritePlugInSequence>(
        "CSpritePlugInSequence",
        "Steps=Array\r\n{\r\n"
        "Step=CControlCustomerSpawningSpritePlugIn\r\n{\r\n}\r\n"
        "Step=CControlCustomerDeliverySpritePlugIn\r\n{\r\nAllow Customer Delivery=1\r\n}\r\n"
        "Step=CControlPacifierPickupSpritePlugIn\r\n{\r\n}\r\n"
        "Step=CSetMustBuildWhatCustomerWantsSpritePlugIn\r\n{\r\nMust Build What Customer Wants=1\r\n}\r\n"
        "Step=CSetWhatNextCustomerWillOrderSpritePlugIn\r\n{\r\nNext Customer Will Order Upgrade=Garage Big\r\n}\r\n"
        "Step=CSetMustBuildAtGridCoordinateSpritePlugIn\r\n{\r\nGrid Coordinate=3,4\r\n}\r\n"
        "Step=CSpawnOneCustomerSpritePlugIn\r\n{\r\n}\r\n"
        "}\r\nWhen Done=Stop\r\n");
    ASSERT_NE(script, nullptr);
    ASSERT_EQ(script->m_PlugIns.GetCount(), 7u);
    CSprite sprite;
    sprite.AddPlugIn(script.release());

    // One step per game step, in order.
    sprite.Update();
    EXPECT_TRUE(level.m_CustomerSpawningDisabled) << "the default stops customers from spawning";
    EXPECT_FALSE(level.m_CustomerDeliveryDisabled);
    for (int i = 0; i < 30; ++i)
        sprite.Update();
    EXPECT_FALSE(level.m_CustomerDeliveryDisabled);
    EXPECT_TRUE(level.m_PacifierPickupDisabled);
    EXPECT_TRUE(level.m_MustBuildWhatCustomerWants);
    EXPECT_EQ(level.m_FirstCustomerWillOrder, big);
    EXPECT_EQ(level.m_MustBuildAtGridCoordinate.x, 3);
    EXPECT_EQ(level.m_MustBuildAtGridCoordinate.y, 4);
    EXPECT_EQ(level.GetPlayfield().FindLayer("Customers")->GetSpriteCount(), 1u) << "a step acts once";
    EXPECT_EQ(level.m_CustomersSpawned, 1);

    // A later change by the game is not undone by steps already run.
    level.m_CustomerSpawningDisabled = false;
    sprite.Update();
    EXPECT_FALSE(level.m_CustomerSpawningDisabled);

    CClearMustBuildAtGridCoordinateSpritePlugIn clear;
    CPlugInUpdateRecord record;
    clear.Update(record);
    EXPECT_TRUE(record.done);
    EXPECT_FALSE(level.HasMustBuildCoordinate());
}

TEST_F(GameExpressions, WithoutACurrentLevelAStepWritesNothingAndIsStillDone)
{
    GetLevelHolder().Release();
    SetCurrentLevelIndex(100000);
    ASSERT_EQ(CLevelOptions::SGetCurrent(), nullptr);
    CControlCustomerSpawningSpritePlugIn spawning;
    CSetWhatNextCustomerWillOrderSpritePlugIn order;
    CClearMustBuildAtGridCoordinateSpritePlugIn clear;
    for (CSpritePlugIn* step : {static_cast<CSpritePlugIn*>(&spawning), static_cast<CSpritePlugIn*>(&order),
                                static_cast<CSpritePlugIn*>(&clear)}) {
        CPlugInUpdateRecord record;
        step->Update(record);
        EXPECT_TRUE(record.done) << step->GetClassInfo()->GetName();
    }
}

} // namespace
