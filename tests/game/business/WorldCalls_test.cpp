// What the game and its levels ask of the building business reaches it
// without a table in between: the HUD runs the refusal message and a press
// hides it, the crews count afresh each frame, the lots build at the crews'
// own pace without a foreman, and a press without the left button lets go of
// the customer on the cursor.
#include "BusinessLevelTest.h"

#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CForeman.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/scripting/CSprite.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "game/world/CPlayfieldMouseMessage.h"

#include <gtest/gtest.h>

namespace {

class WorldCalls : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteObject("Illegal Move Options.Object.txt", "CIllegalMoveMessageOptions",
                    "Message List=Array\n{\n\tMessage=CIllegalMoveMessage\n\t{\n\t\tMessage ID=CrewNotAvailable\n"
                    "\t\tMessage=Busy\n\t}\n}\n");
        ASSERT_NE(StartLevel(), nullptr);
    }
};

TEST_F(WorldCalls, TheHudRunsTheRefusalMessageAndTheCrewsCountAfresh)
{
    GetIllegalMoveDisplay().Show("crewnotavailable");
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "Busy");
    CHUD hud;
    hud.Update(0.25f);
    EXPECT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), 0.25f);
    GetIllegalMoveDisplay().Hide();
    EXPECT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), -1.0f);

    EXPECT_EQ(GetForemanBuildSpeed(), 1.0f) << "no foreman: the crew's own pace";
    BeginCrewFrame();
    EXPECT_EQ(GetCrewsWorking(), 0u);

    // No customer on the cursor: nothing is held, and no sprite is one.
    EXPECT_EQ(GetDraggedCustomer(), nullptr);
    EXPECT_EQ(TakeDraggedCustomer(), nullptr);
    EXPECT_EQ(FindCustomer(nullptr), nullptr);
    CSprite plain;
    EXPECT_EQ(FindCustomer(&plain), nullptr) << "a sprite that is no customer";
}

TEST_F(WorldCalls, APressWithoutTheLeftButtonLetsGoOfTheCustomer)
{
    auto* sprite = new CSprite;
    auto* customer = new CCustomer;
    sprite->AddAI(customer);
    m_Level->GetPlayfield().AddSprite(sprite, "Customers");
    SetDraggedSprite(sprite, {0.0f, 0.0f});
    EXPECT_EQ(GetDraggedCustomer(), customer);
    SendPlayfieldMouseDown(2, {0, 0});
    EXPECT_EQ(GetDraggedCustomer(), nullptr);
    EXPECT_EQ(GetDraggedSprite(), nullptr);
}

} // namespace
