#pragma once
// A small town for the bonus, signpost and deliverer tests: a held level
// with the standard layers, a "Frame" and a "Paint" phase, a wall part, a
// paint, the signpost and deliverer upgrades in their slots, the gameplay
// overlay's "Signpost" marker at (40, 500) and "Three In A Row Options" at
// their defaults. A noting sprite on the "Effects" layer records every
// broadcast the playfield hears.
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CBuildPhase.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/CUpgrade.h"
#include "game/world/CUpgradeSlot.h"
#include "objects/CMessage.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"
#include "shell/CMouseState.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace bonus_town {

inline std::string Text(const std::string& className, const std::string& lines)
{
    return className + "\r\n{\r\n" + lines + "}\r\n";
}

inline void SetInts(CObject& owner, const char* key, CPropertyArray<int32_t>& array, const std::vector<int32_t>& values)
{
    auto* property = static_cast<CPropertyArrayProperty*>(owner.GetClassInfo()->FindProperty(key));
    ASSERT_NE(property, nullptr) << key;
    property->ArrayProperty_SetCount(&owner, uint32_t(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        array[uint32_t(i)] = values[i];
}

// Notes the names of the messages its sprite hears.
class CEarAI : public CSpriteAI {
public:
    explicit CEarAI(std::vector<std::string>& heard)
        : m_Heard(heard)
    {
    }
    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
    void HandleMessage(CMessage& message) override
    {
        m_Heard.push_back(GetMessageTypeName(message.GetType()));
        CSpriteAI::HandleMessage(message);
    }

private:
    std::vector<std::string>& m_Heard;
};

class BonusTown : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        WriteTga("Resources/Sequences/-Sign Post/0001.tga", 20, 40);
        WriteTga("Resources/Sequences/-Tile EmptyLot/0001.tga", 40, 40);
        WriteTga("Resources/Sequences/-Can Use Cursor/0001.tga", 8, 8);
        WriteBytes("Resources/Audio/!None.Audio.txt", Text("CAudioRandomFromSet", ""));
        WriteBytes("Resources/Rules.Object.txt", Text("CRules", ""));
        WriteBytes("Resources/Lot Options.Object.txt", Text("CLotOptions", ""));
        WriteBytes("Resources/Illegal Move Options.Object.txt",
                   Text("CIllegalMoveMessageOptions",
                        "Message List=Array\n{\nMessage=CIllegalMoveMessage\n{\nMessage ID=NoSignpostUnfinished\n"
                        "Message=Finish and paint the house first\n}\n}\n"));
        WriteBytes("Resources/Three In A Row Options.Object.txt", Text("CThreeInARowCounterOptions", ""));
        WriteBytes("Resources/Frame Overlay Options/Gameplay Overlay.FOO",
                   Text("CFrameOverlayOptions", "Text Overlays=Array\n{\nArray Item=CFrameOverlayPositionMarker\n{\n"
                                                "ID=Signpost\nPosition=30,490\nSize=20,20\n}\n}\n"));
        WriteBytes("Resources/Slots/!None.UpgradeSlot.txt", Text("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Signpost.UpgradeSlot.txt", Text("CUpgradeSlot", ""));
        WriteBytes("Resources/Slots/Deliverer.UpgradeSlot.txt", Text("CUpgradeSlot", ""));
        for (const char* phase : {"Frame", "Paint"})
            WriteBytes("Resources/Phases/" + std::string(phase) + ".BuildPhase.txt",
                       Text("CBuildPhase", "Name=" + std::string(phase) + "\r\n"));
        WriteBytes("Resources/Upgrades/!None.Upgrade.txt", Text("CUpgrade", "Upgrade Cost=0\r\n"));
        WriteBytes("Resources/Upgrades/Walls.Upgrade.txt",
                   Text("CBuildablePart", "Build Phase=Frame\r\nResale Value=6\r\n"));
        WriteBytes("Resources/Upgrades/Shed.Upgrade.txt",
                   Text("CBuildablePart", "Build Phase=Frame\r\nResale Value=0\r\n"));
        WriteBytes("Resources/Upgrades/Blue.Upgrade.txt",
                   Text("CColorBuildablePart", "Build Phase=Paint\r\nResale Value=1\r\n"));
        WriteBytes("Resources/Upgrades/Sign.Upgrade.txt",
                   Text("CSignpostUpgrade", "Upgrade Slot=Signpost\r\nAppearance=Sign Post\r\nEffect Chance=0.4\r\n"));
        WriteBytes("Resources/Upgrades/Courier.Upgrade.txt",
                   Text("CDelivererUpgrade", "Upgrade Slot=Deliverer\r\nHeart Bonus=1.5\r\n"
                                             "Seconds To Fade After Moved Someone In=4\r\n"));
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        GetFrameOverlayOptionsList().SetSource(nullptr, "Resources/Frame Overlay Options", 0);
        GetAudioList().SetSource("Resources/Audio", nullptr);
        GetGeneralObjects().SetSource(nullptr, "Resources", 0);
        InitGeneralObjects();
        for (CObjectFileArray* list : Lists())
            list->SetSource(nullptr, "Resources", 0);

        CLevelOptions level;
        level.ResetToDefaults();
        level.EnsureDefaultLayers();
        GetLevelHolder().HoldCopyOf(&level);
        m_Level = CLevelOptions::SGetCurrent();
        ASSERT_NE(m_Level, nullptr);
        auto* ear = new CSprite;
        ear->AddAI(new CEarAI(m_Heard));
        m_Level->GetPlayfield().AddSprite(ear, "Effects");
        m_State = CGameState::SGetCurrent();
        m_RevenueBefore = m_State->m_RevenueK;
    }
    void TearDown() override
    {
        GetLevelHolder().Release();
        ClearDraggedSprite();
        CMouseState::SGetInstance().ResetForTesting();
        m_State->m_RevenueK = m_RevenueBefore;
        m_State->ResetForLevel();
        for (int32_t held : m_Held)
            m_State->RemoveUpgrade(held);
        GetAudioList().SetSource("Nowhere", nullptr);
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
        SequenceFolderTest::TearDown();
    }
    static std::vector<CObjectFileArray*> Lists()
    {
        return {&GetUpgradeSlotList(), &GetBuildPhaseList(), &GetUpgradeList()};
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    static int32_t Slot(const char* name) { return GetUpgradeSlotList().Find(name); }

    CPlayfield& Playfield() { return m_Level->GetPlayfield(); }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }

    // A lot at that point holding the parts (upgrade indexes by phase).
    CLot* AddLot(CFPoint at, const std::vector<int32_t>& parts)
    {
        auto* sprite = new CSprite;
        auto* lot = new CLot;
        sprite->AddAI(lot);
        sprite->SetPosition(at.x, at.y);
        Playfield().AddSprite(sprite, "Lot");
        if (!parts.empty())
            SetInts(*lot->GetBuilding(), "Parts List", lot->GetBuilding()->m_Parts, parts);
        return lot;
    }
    // The game state holds the upgrade in its slot (put back at tear-down).
    void Hold(const char* upgrade)
    {
        m_State->ReceiveUpgrade(Upgrade(upgrade));
        m_Held.push_back(Upgrade(upgrade));
    }
    // The messages heard since the last call.
    std::vector<std::string> TakeHeard() { return std::exchange(m_Heard, {}); }

    CLevelOptions* m_Level = nullptr;
    CGameState* m_State = nullptr;
    float m_RevenueBefore = 0.0f;
    std::vector<std::string> m_Heard;
    std::vector<int32_t> m_Held;
};

} // namespace bonus_town
