#include "BusinessLevelTest.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "images/CFrameList.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "shell/CMouseState.h"

#include <gtest/gtest.h>

namespace {

std::vector<CObjectFileArray*> DataLists()
{
    return {&GetUpgradeSlotList(), &GetBuildPhaseList(), &GetUpgradeList(), &GetBackgroundStyleSheetList(),
            &GetPeriodList(), &GetCustomerStyleSheetList()};
}

} // namespace

void BusinessLevelTest::SetUp()
{
    SequenceFolderTest::SetUp();
    GetIllegalMoveDisplay() = CIllegalMoveDisplay();
    // Index 0 of every list stands for none.
    WriteSequence("!None");
    WriteFrame("!None", 0);
    // What lots and the rules name by default.
    for (const char* name : {"Tile EmptyLot", "Poke Cursor"})
        WriteSequence(name, 40, 40);
    WriteObject("Audio/!None.Audio.txt", "CAudioRandomFromSet");
    WriteObject("Rules.Object.txt", "CRules");
    WriteObject("Lot Options.Object.txt", "CLotOptions");
    WriteObject("Town.Background.txt", "CBackgroundStyleSheet");
    WriteObject("Slots/!None.UpgradeSlot.txt", "CUpgradeSlot");
    WriteObject("Phases/!None.BuildPhase.txt", "CBuildPhase", "Name=None\n");
    WriteObject("Upgrades/!None.Upgrade.txt", "CUpgrade", "Upgrade Cost=0\n");
}

void BusinessLevelTest::TearDown()
{
    GetLevelHolder().Release();
    // The one game state outlives the test: nothing it received stays.
    if (CGameState* state = CGameState::SGetCurrent())
        state->ResetToDefaults();
    ClearDraggedSprite();
    CMouseState::SGetInstance().ResetForTesting();
    GetIllegalMoveDisplay() = CIllegalMoveDisplay();
    for (CObjectFileArray* list : DataLists()) {
        list->RemoveAll();
        list->SetSource(nullptr, "Nowhere", 0);
    }
    for (CObjectFileArray* list :
         {static_cast<CObjectFileArray*>(&GetGeneralObjects()), static_cast<CObjectFileArray*>(&GetSequenceList()),
          static_cast<CObjectFileArray*>(&GetFrameLibrary()),
          static_cast<CObjectFileArray*>(&GetFrameOverlayOptionsList())}) {
        list->RemoveAll();
        list->SetSource(nullptr, "Nowhere", 0);
    }
    GetAudioList().SetSource("Nowhere", nullptr);
    SequenceFolderTest::TearDown();
}

void BusinessLevelTest::WriteObject(const std::string& path, const std::string& className, const std::string& lines)
{
    std::string text = className + "\r\n{\r\n";
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        text += "\t" + lines.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    WriteBytes("Resources/" + path, text + "}\r\n");
}

void BusinessLevelTest::WriteSequence(const std::string& name, int width, int height)
{
    WriteTga("Resources/Sequences/-" + name + "/0001.tga", width, height);
}

void BusinessLevelTest::WriteFrame(const std::string& name, uint32_t bgra)
{
    WriteTga("Resources/Frames/" + name + ".tga", 4, 4, bgra);
}

CLevelOptions* BusinessLevelTest::StartLevel()
{
    GetSequenceList().RemoveAll();
    GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
    GetFrameLibrary().RemoveAll();
    GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
    GetFrameOverlayOptionsList().RemoveAll();
    GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    GetAudioList().SetSource("Resources/Audio", nullptr);
    GetGeneralObjects().RemoveAll();
    GetGeneralObjects().SetSource(nullptr, "Resources", 0);
    InitGeneralObjects();
    for (CObjectFileArray* list : DataLists()) {
        list->RemoveAll();
        list->SetSource(nullptr, "Resources", 0);
    }
    CLevelOptions level;
    level.ResetToDefaults();
    level.EnsureDefaultLayers();
    GetLevelHolder().HoldCopyOf(&level);
    m_Level = CLevelOptions::SGetCurrent();
    if (CGameState* state = CGameState::SGetCurrent())
        state->ResetForLevel();
    return m_Level;
}

CLot* BusinessLevelTest::AddLot(CPoint grid, const std::vector<int32_t>& parts)
{
    auto* sprite = new CSprite;
    auto* lot = new CLot;
    sprite->AddAI(lot);
    lot->m_GridCoordinate = grid;
    sprite->SetPosition(float(100 + 200 * grid.x), float(100 + 200 * grid.y));
    if (!parts.empty())
        SetParts(*lot->GetBuilding(), "Parts List", lot->GetBuilding()->m_Parts, parts);
    m_Level->GetPlayfield().AddSprite(sprite, "Lot");
    return lot;
}

void BusinessLevelTest::SetParts(CObject& owner, const char* key, CPropertyArray<int32_t>& array,
                                 const std::vector<int32_t>& values)
{
    auto* property = static_cast<CPropertyArrayProperty*>(owner.GetClassInfo()->FindProperty(key));
    ASSERT_NE(property, nullptr) << key;
    property->ArrayProperty_SetCount(&owner, uint32_t(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        array[uint32_t(i)] = values[i];
}
