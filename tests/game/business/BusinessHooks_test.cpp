// The installer the launcher calls: after it, what the world asks through
// its hooks tables reaches this layer's services (the typed bonus word, the
// refusal message and its reset, the foreman's default pace, the crews'
// count), and customers stay silent until their layer comes.
#include "BusinessLevelTest.h"

#include "game/business/CIllegalMoveDisplay.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CThreeInARowCounter.h"

#include <gtest/gtest.h>

namespace {

class Installer : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteObject("Three In A Row Options.Object.txt", "CThreeInARowCounterOptions", "Seconds Bonus Lasts=5\n");
        WriteObject("Illegal Move Options.Object.txt", "CIllegalMoveMessageOptions",
                    "Message List=Array\n{\n\tMessage=CIllegalMoveMessage\n\t{\n\t\tMessage ID=CrewNotAvailable\n"
                    "\t\tMessage=Busy\n\t}\n}\n");
        ASSERT_NE(StartLevel(), nullptr);
    }

    // Empty while the test runs; what was there before comes back after.
    CScopedHook<SetLotHooks> m_Lot{nullptr};
    CScopedHook<SetHudHooks> m_Hud{nullptr};
    CScopedHook<SetCurrentLevelHooks> m_Level{nullptr};
    CScopedHook<SetGameAppHooks> m_Game{nullptr};
    CScopedHook<SetTypedCommandHooks> m_Typed{nullptr};
    CScopedHook<SetGameSongHooks> m_Songs{nullptr};
    CScopedHook<SetThreeInARowCounterHooks> m_Counter{nullptr};
    CScopedHook<SetCustomerServices> m_NoCustomers{nullptr};
    CScopedHook<SetLevelOptionsHooks> m_LevelOptions{nullptr};
    CScopedHook<SetGoalHooks> m_Goals{nullptr};
};

TEST_F(Installer, TheWorldsHooksReachTheBusinessOnceInstalled)
{
    CThreeInARowCounter counter;
    GetTypedCommandHooks().GrantThreeInARowBonus(counter);
    GetLotHooks().ShowIllegalMove("CrewNotAvailable");
    EXPECT_FALSE(counter.IsBonusActive()) << "nothing is installed yet";
    EXPECT_TRUE(GetIllegalMoveDisplay().GetText().IsEmpty());

    InstallGameBusinessHooks();
    InstallGameBusinessHooks(); // a second call changes nothing

    GetTypedCommandHooks().GrantThreeInARowBonus(counter);
    EXPECT_EQ(counter.m_SecondsBonusLeft, 5.0f) << "the bonus word grants one bonus";

    GetLotHooks().ShowIllegalMove("crewnotavailable");
    EXPECT_STREQ(GetIllegalMoveDisplay().GetText().GetString(), "Busy");
    GetHudHooks().UpdateIllegalMoveDisplay(0.25f);
    EXPECT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), 0.25f);
    GetGameAppHooks().ResetIllegalMoveDisplay();
    EXPECT_EQ(GetIllegalMoveDisplay().GetSecondsShown(), -1.0f);

    EXPECT_EQ(GetLotHooks().GetForemanSpeed(nullptr), 1.0f) << "no foreman: the crew's own pace";
    GetGameAppHooks().StartCrewCountingFrame();
    EXPECT_EQ(GetGameAppHooks().GetCrewsWorking(), 0u);

    // No customer on the cursor: nothing is held, nothing is idle.
    EXPECT_EQ(GetLotHooks().GetHeldCustomer(), nullptr);
    EXPECT_EQ(GetLotHooks().TakeHeldCustomer(), nullptr);
    EXPECT_FALSE(GetLotHooks().IsIdle(nullptr));
    EXPECT_EQ(GetLotHooks().GetOrder(nullptr), nullptr);

    // The customers answer the level's and goals' questions too.
    CCustomerServices& customers = GetCustomerServices();
    EXPECT_EQ(SetCustomerServices(&customers), &customers);
    CLevelOptionsHooks* levelHooks = SetLevelOptionsHooks(nullptr);
    EXPECT_NE(levelHooks, nullptr);
    SetLevelOptionsHooks(levelHooks);
    CGoalHooks* goalHooks = SetGoalHooks(nullptr);
    EXPECT_NE(goalHooks, nullptr);
    SetGoalHooks(goalHooks);
    EXPECT_EQ(GetGoalHooks().GetCustomerStyle(&counter), -1) << "a sprite AI that is no customer";
}

TEST_F(Installer, DroppingWhatTheCursorHoldsLetsGoOfTheCustomer)
{
    InstallGameBusinessHooks();
    CCustomerDouble customers;
    CScopedHook<SetCustomerServices> installed(&customers);
    CThreeInARowCounter stand;
    customers.held = &stand;
    EXPECT_EQ(GetLotHooks().GetHeldCustomer(), &stand);
    GetCurrentLevelHooks().DropSpriteHeldOnCursor();
    EXPECT_EQ(GetLotHooks().GetHeldCustomer(), nullptr);
    EXPECT_EQ(customers.log, std::vector<std::string>{"drop customer"});
}

} // namespace
