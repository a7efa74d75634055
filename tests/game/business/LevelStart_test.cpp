// A level starting with what the player owns: through this layer's hooks the
// world places one button per owned upgrade at its slot's marker (with a copy
// of the upgrade's plug-in), a crew for a phase that has its crew skill, and
// the foreman and the signpost beside their buttons.
#include "BusinessLevelTest.h"

#include "game/business/CCrew.h"
#include "game/business/CForeman.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpritePlugInLeaves.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlay.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LevelStart : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteSequence("Hud");
        WriteObject("Town.Period.txt", "CPeriod", "Hud Background=Hud\n");
        std::string markers;
        int x = 10;
        for (const char* slot : {"Boss", "Crew", "Frame A", "Sign", "Spare"}) {
            WriteObject("Slots/" + std::string(slot) + ".UpgradeSlot.txt", "CUpgradeSlot");
            markers += "Array Item=CFrameOverlayPositionMarker\r\n{\r\nID=" + std::string(slot) + "\r\nPosition="
                + std::to_string(x) + ",20\r\nSize=10,6\r\n}\r\n";
            x += 100;
        }
        WriteBytes("Resources/Frame Overlay Options/Gameplay Overlay.FOO",
                   "CFrameOverlayOptions\r\n{\r\nText Overlays=Array\r\n{\r\n" + markers + "}\r\n}\r\n");
        WriteObject("Phases/Frame.BuildPhase.txt", "CBuildPhase",
                    "Name=Frame\nUpgrade Slot List=Array\n{\n\tUpgrade Slot=Crew\n}\n");
        WriteObject("Upgrades/Walls.Upgrade.txt", "CBuildablePart",
                    "Build Phase=Frame\nUpgrade Slot=Frame A\n"
                    "Sprite Plug In=CSpritePlugInSimultaneous\n{\n\tSimultaneous PlugIns=Array\n\t{\n"
                    "\t\tSimultaneous PlugIn=CSpritePlugInWaitXSeconds\n\t\t{\n\t\t}\n\t}\n}\n");
        WriteObject("Upgrades/Builders.Upgrade.txt", "CCrewSkillUpgrade", "Build Phase=Frame\nUpgrade Slot=Crew\n");
        WriteObject("Upgrades/Boss.Upgrade.txt", "CForemanUpgrade", "Upgrade Slot=Boss\n");
        WriteObject("Upgrades/Sign.Upgrade.txt", "CSignpostUpgrade", "Upgrade Slot=Sign\nEffect Chance=0.25\n");
        ASSERT_NE(StartLevel(), nullptr);
        m_Level->m_Period = GetPeriodList().Find("Town");
        CGameState* state = CGameState::SGetCurrent();
        for (const char* name : {"Walls", "Builders", "Boss", "Sign"})
            state->ReceiveUpgrade(GetUpgradeList().Find(name));
    }
    CPlayfieldLayer& Layer(const char* name) { return *m_Level->GetPlayfield().FindLayer(name); }
    template <typename AI>
    AI* Find(const char* layer, uint32_t& found)
    {
        AI* first = nullptr;
        found = 0;
        for (uint32_t i = 0; i < Layer(layer).GetSpriteCount(); ++i)
            if (auto* ai = dynamic_cast<AI*>(Layer(layer).GetSprite(i)->FindAI(AI::SGetClassInfo()))) {
                first = first ? first : ai;
                ++found;
            }
        return first;
    }
};

TEST_F(LevelStart, OwnedUpgradesGetButtonsAtTheirMarkersAndTheCrewForemanAndSignpostComeOut)
{
    PlaceSlotSprites();

    // Buttons: the part, the foreman and the signpost; the crew skill has a
    // crew instead, and the spare slot holds nothing.
    ASSERT_EQ(Layer("UI").GetSpriteCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        CSprite* sprite = Layer("UI").GetSprite(i);
        auto* button = dynamic_cast<CUpgradeButton*>(sprite->FindAI(CUpgradeButton::SGetClassInfo()));
        ASSERT_NE(button, nullptr);
        const int32_t slot = button->m_UpgradeSlot;
        EXPECT_NE(GetUpgradeSlotList().Find("Crew"), slot);
        // The marker's centre: its left plus half its width, its top plus
        // half its height; the markers stand 100 pixels apart in slot order.
        const float left = 10.0f + 100.0f * float(slot - 1);
        EXPECT_EQ(sprite->GetPosition().x, left + 5.0f);
        EXPECT_EQ(sprite->GetPosition().y, 23.0f);
    }
    // Slots in name order: "Boss", "Crew", "Frame A"...
    CSprite* walls = Layer("UI").GetSprite(1);
    EXPECT_EQ(static_cast<CUpgradeButton*>(walls->FindAI(CUpgradeButton::SGetClassInfo()))->m_UpgradeSlot,
              GetUpgradeSlotList().Find("Frame A"));
    ASSERT_EQ(walls->GetPlugIns().GetChildCount(), 1u);
    auto* copy = dynamic_cast<CSpritePlugInSimultaneous*>(walls->GetPlugIns().GetChild(0));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->GetChildCount(), 1u) << "the button carries a copy of the part's plug-in";
    EXPECT_NE(dynamic_cast<CSpritePlugInWaitXSeconds*>(copy->GetChild(0)), nullptr);
    EXPECT_NE(copy, &GetUpgradeByIndex(GetUpgradeList().Find("Walls"))->m_SpritePlugIn);

    uint32_t crews = 0;
    uint32_t foremen = 0;
    uint32_t signs = 0;
    EXPECT_NE(Find<CCrew>("Crew", crews), nullptr);
    EXPECT_NE(Find<CForeman>("Crew", foremen), nullptr);
    CSignpost* sign = Find<CSignpost>("Crew", signs);
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(crews, 1u);
    EXPECT_EQ(foremen, 1u);
    EXPECT_EQ(signs, 1u);
    EXPECT_EQ(sign->m_EffectChance, 0.25f);
    EXPECT_EQ(sign->GetSprite()->GetPlugIns().GetChildCount(), 1u) << "the rules' signpost plug-in";
    EXPECT_EQ(Layer("Crew").GetSpriteCount(), 3u);
}

} // namespace
