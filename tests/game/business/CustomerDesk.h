#pragma once
// A business level with waiting customers for the greeter and pacifier
// tests: "Customer Options" at their defaults (9 hearts, 6 at most from the
// pacifier), one customer style that thinks for 6 s, the slots "Greeter"
// and "Pacifier A" with their upgrades, a period with a HUD (so owned
// upgrades get their buttons), and the refusal texts. A noting
// sprite on the "Effects" layer records every broadcast the playfield hears.
#include "BusinessLevelTest.h"
#include "../MessageEarAI.h"
#include "game/business/CCustomer.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/scripting/CSprite.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CPlayfield.h"
#include "game/business/CUpgrade.h"
#include "objects/CMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace customer_desk {

class CustomerDesk : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteSequence("Calm Look", 20, 20);
        WriteSequence("Calm Spring", 20, 20);
        WriteSequence("Calm Summer", 20, 20);
        WriteSequence("Slot Back", 30, 30);
        WriteSequence("Hud");
        WriteObject("Town.Period.txt", "CPeriod", "Hud Background=Hud\n");
        WriteObject("Customer Options.Object.txt", "CCustomerOptions");
        WriteObject("Customers/Plain.Customer.txt", "CCustomerStyleSheet", "Time To Think About Order=6");
        std::string messages = "Message List=Array\n{\n";
        for (const char* id : {"CustomerTooHappyForPacifier", "CantDropOnLot", "PacifierDisabled"})
            messages += std::string("Message=CIllegalMoveMessage\n{\nMessage ID=") + id + "\nMessage=" + id
                + " text\n}\n";
        WriteObject("Illegal Move Options.Object.txt", "CIllegalMoveMessageOptions", messages + "}");
        for (const char* slot : {"Greeter", "Pacifier A"})
            WriteObject("Slots/" + std::string(slot) + ".UpgradeSlot.txt", "CUpgradeSlot",
                        "Button Background=Slot Back");
        WriteObject("Upgrades/Receptionist.Upgrade.txt", "CGreeterUpgrade", "Upgrade Slot=Greeter");
        WriteObject("Upgrades/Calm.Upgrade.txt", "CPacifierUpgrade",
                    "Upgrade Slot=Pacifier A\nAppearance=Calm Look\nNumber Of Uses=2\n"
                    "Image Per Period=Array\n{\nImage=Calm Spring\nImage=Calm Summer\n}");
        GetCustomerStyleSheetList().RemoveAll();
        GetCustomerStyleSheetList().SetSource(nullptr, "Resources", 0);
        ASSERT_NE(StartLevel(), nullptr);
        auto* ear = new CSprite;
        ear->AddAI(new CMessageEarAI(m_Heard));
        Playfield().AddSprite(ear, "Effects");
        m_State = CGameState::SGetCurrent();
        GetIllegalMoveDisplay().Show("");
    }
    void TearDown() override
    {
        BusinessLevelTest::TearDown();
        GetCustomerStyleSheetList().RemoveAll();
        GetCustomerStyleSheetList().SetSource(nullptr, "Nowhere", 0);
    }

    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name); }
    void Hold(const char* upgrade) { m_State->ReceiveUpgrade(Upgrade(upgrade)); }
    CPlayfield& Playfield() { return m_Level->GetPlayfield(); }
    CLevelPlayStats& Stats() { return *CLevelPlayStats::SGetCurrent(); }
    std::vector<std::string> TakeHeard() { return std::exchange(m_Heard, {}); }
    static const CJString& Refusal() { return GetIllegalMoveDisplay().GetText(); }

    // A waiting customer at the end of the line with that many hearts left.
    CCustomer* AddCustomer(float hearts = 9.0f)
    {
        auto* customer = new CCustomer;
        customer->ResetToDefaults();
        customer->m_CustomerStyleSheet = GetCustomerStyleSheetList().Find("Plain");
        auto* sprite = new CSprite;
        sprite->AddAI(customer);
        Playfield().AddSprite(sprite, "Customers");
        customer->m_TimeWaited = 90.0f - hearts * 10.0f;
        return customer;
    }
    // The button the upgrade makes, on the "UI" layer at (100, 100), behind
    // an ear that notes what its sprite hears.
    template <typename Button>
    Button* AddButton(const char* upgrade, std::vector<std::string>& heard)
    {
        CUpgrade* owned = GetUpgradeByIndex(Upgrade(upgrade));
        auto* button = dynamic_cast<Button*>(owned->CreateButtonAI(owned->m_UpgradeSlot));
        auto* sprite = new CSprite;
        sprite->SetPosition(100.0f, 100.0f);
        sprite->AddAI(new CMessageEarAI(heard));
        sprite->AddAI(button);
        Playfield().AddSprite(sprite, "UI");
        return button;
    }

    CGameState* m_State = nullptr;
    std::vector<std::string> m_Heard;
};

} // namespace customer_desk
