#pragma once
// A business level for the bonus, signpost and deliverer tests: a "Frame"
// and a "Paint" phase, a wall part (and a worthless shed), a paint, the
// signpost and deliverer upgrades in their slots, the gameplay overlay's
// "Signpost" marker centred at (40, 500), the signpost's refusal text and
// "Three In A Row Options" at their defaults. A noting sprite on the
// "Effects" layer records every broadcast the playfield hears.
#include "BusinessLevelTest.h"
#include "../MessageEarAI.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/business/CBuildablePackage.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "objects/CMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace bonus_town {

class BonusTown : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteSequence("Sign Post", 20, 40);
        WriteObject("Three In A Row Options.Object.txt", "CThreeInARowCounterOptions");
        WriteObject("Illegal Move Options.Object.txt", "CIllegalMoveMessageOptions",
                    "Message List=Array\n{\nMessage=CIllegalMoveMessage\n{\nMessage ID=NoSignpostUnfinished\n"
                    "Message=Finish and paint the house first\n}\n}");
        WriteObject("Frame Overlay Options/Gameplay Overlay.FOO", "CFrameOverlayOptions",
                    "Text Overlays=Array\n{\nArray Item=CFrameOverlayPositionMarker\n{\nID=Signpost\n"
                    "Position=30,490\nSize=20,20\n}\n}");
        for (const char* slot : {"Signpost", "Deliverer"})
            WriteObject("Slots/" + std::string(slot) + ".UpgradeSlot.txt", "CUpgradeSlot");
        for (const char* phase : {"Frame", "Paint"})
            WriteObject("Phases/" + std::string(phase) + ".BuildPhase.txt", "CBuildPhase",
                        "Name=" + std::string(phase));
        WriteObject("Upgrades/Walls.Upgrade.txt", "CBuildablePart", "Build Phase=Frame\nResale Value=6");
        WriteObject("Upgrades/Shed.Upgrade.txt", "CBuildablePart", "Build Phase=Frame\nResale Value=0");
        WriteObject("Upgrades/Blue.Upgrade.txt", "CColorBuildablePart", "Build Phase=Paint\nResale Value=1");
        WriteObject("Upgrades/Sign.Upgrade.txt", "CSignpostUpgrade",
                    "Upgrade Slot=Signpost\nAppearance=Sign Post\nEffect Chance=0.4");
        WriteObject("Upgrades/Courier.Upgrade.txt", "CDelivererUpgrade",
                    "Upgrade Slot=Deliverer\nHeart Bonus=1.5\nSeconds To Fade After Moved Someone In=4");
        ASSERT_NE(StartLevel(), nullptr);
        auto* ear = new CSprite;
        ear->AddAI(new CMessageEarAI(m_Heard));
        Playfield().AddSprite(ear, "Effects");
        m_State = CGameState::SGetCurrent();
        m_RevenueBefore = m_State->m_RevenueK;
    }
    void TearDown() override
    {
        m_State->m_RevenueK = m_RevenueBefore;
        BusinessLevelTest::TearDown();
    }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    static int32_t Slot(const char* name) { return GetUpgradeSlotList().Find(name); }
    // Parts by phase: none, frame, paint.
    static std::vector<int32_t> House(const char* frame, const char* paint)
    {
        return {0, frame ? Upgrade(frame) : 0, paint ? Upgrade(paint) : 0};
    }
    // The game state holds the upgrade in its slot.
    void Hold(const char* upgrade) { m_State->ReceiveUpgrade(Upgrade(upgrade)); }
    CPlayfield& Playfield() { return m_Level->GetPlayfield(); }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }
    // The messages heard since the last call.
    std::vector<std::string> TakeHeard() { return std::exchange(m_Heard, {}); }

    CGameState* m_State = nullptr;
    float m_RevenueBefore = 0.0f;
    std::vector<std::string> m_Heard;
};

} // namespace bonus_town
