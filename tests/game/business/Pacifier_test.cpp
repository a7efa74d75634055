// The pacifier gives hearts back to an unhappy customer, refuses a happy
// one and every lot, counts its uses and goes away after the last.
#include "game/business/CPacifierUpgrade.h"

#include "CustomerDesk.h"
#include "game/world/CPlayfieldMouseMessage.h"
#include "sequences/CSequenceList.h"

#include <algorithm>

using namespace customer_desk;

namespace {

class Pacifier : public CustomerDesk {
protected:
    void SetUp() override
    {
        CustomerDesk::SetUp();
        Hold("Calm");
        m_Pacifier = dynamic_cast<CPacifierUpgrade*>(GetUpgradeByIndex(Upgrade("Calm")));
        ASSERT_NE(m_Pacifier, nullptr);
        m_Button = AddButton<CPacifierUpgradeButton>("Calm", m_ButtonHeard);
        ASSERT_NE(m_Button, nullptr);
    }
    static bool Heard(const std::vector<std::string>& heard, const char* name)
    {
        return std::find(heard.begin(), heard.end(), name) != heard.end();
    }

    CPacifierUpgrade* m_Pacifier = nullptr;
    CPacifierUpgradeButton* m_Button = nullptr;
    std::vector<std::string> m_ButtonHeard;
};

TEST_F(Pacifier, CustomersAtFiveAndAHalfHeartsOrFewerAreCalmedUpToTheMaximum)
{
    CCustomer* customer = AddCustomer(5.5f);
    std::vector<std::string> customerHeard;
    customer->GetSprite()->AddAI(new CMessageEarAI(customerHeard));
    EXPECT_TRUE(m_Button->DropOnCustomer(customer));
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(), 6.0f) << "5.5 + 2 stops at the pacifier maximum";
    EXPECT_TRUE(Heard(customerHeard, "PacifierUsed"));
    EXPECT_TRUE(Heard(TakeHeard(), "Customer Pacified"));
    EXPECT_EQ(Stats().m_PacifierUsed, 1u);
    EXPECT_EQ(m_Button->GetUsesSoFar(), 1u);
    EXPECT_TRUE(Refusal().IsEmpty());

    CCustomer* five = AddCustomer(5.0f);
    EXPECT_TRUE(m_Button->DropOnCustomer(five));
    EXPECT_FLOAT_EQ(five->GetHeartsLeft(), 6.0f) << "5 + 2 ends at 6";
}

TEST_F(Pacifier, AHappierCustomerRefusesAndTheUseIsNotCounted)
{
    CCustomer* customer = AddCustomer(5.6f);
    EXPECT_FALSE(m_Button->DropOnCustomer(customer));
    EXPECT_FLOAT_EQ(customer->GetHeartsLeft(), 5.6f);
    EXPECT_STREQ(Refusal().GetString(), "CustomerTooHappyForPacifier text");
    EXPECT_EQ(Stats().m_PacifierUsed, 0u);
    EXPECT_EQ(m_Button->GetUsesSoFar(), 0u);
    EXPECT_FALSE(Heard(TakeHeard(), "Customer Pacified"));
    EXPECT_FALSE(m_Button->GetSprite()->IsMarkedForDeletion());
}

TEST_F(Pacifier, TheButtonCountsDownItsUsesAndGoesAwayAfterTheLast)
{
    EXPECT_STREQ(m_Button->GetUsesRemainingText().GetString(), "X 2");
    EXPECT_TRUE(m_Button->DropOnCustomer(AddCustomer(1.0f)));
    EXPECT_STREQ(m_Button->GetUsesRemainingText().GetString(), "X 1");
    EXPECT_FALSE(m_Button->GetSprite()->IsMarkedForDeletion());
    EXPECT_TRUE(m_Button->DropOnCustomer(AddCustomer(1.0f)));
    EXPECT_TRUE(m_Button->GetSprite()->IsMarkedForDeletion()) << "removed at the end of the frame";
    EXPECT_EQ(Stats().m_PacifierUsed, 2u);

    CCustomer* late = AddCustomer(1.0f);
    EXPECT_FALSE(m_Button->DropOnCustomer(late)) << "no use left";
    EXPECT_FLOAT_EQ(late->GetHeartsLeft(), 1.0f);
    EXPECT_EQ(Stats().m_PacifierUsed, 2u);
}

TEST_F(Pacifier, LevelCompleteRecordsTheUsesLeft)
{
    EXPECT_TRUE(m_Button->DropOnCustomer(AddCustomer(2.0f)));
    CMessage complete = CMessage::CMessageByName("LevelComplete");
    m_Button->GetSprite()->HandleMessage(complete);
    EXPECT_EQ(Stats().m_LeftoverPacifiers, 1);
}

TEST_F(Pacifier, LotsRefuseItAndOnlyCustomersAreItsTargets)
{
    EXPECT_TRUE(m_Pacifier->IsDraggable());
    EXPECT_TRUE(m_Pacifier->IsUsedOnCustomer());
    EXPECT_FALSE(m_Pacifier->IsUsedOnLot());
    EXPECT_FALSE(m_Pacifier->DropOnLot(Upgrade("Calm"), nullptr));
    EXPECT_STREQ(Refusal().GetString(), "CantDropOnLot text");
}

TEST_F(Pacifier, ThePictureFollowsTheLevelsPeriodAndFallsBackPastTheList)
{
    m_Level->m_Period = 1;
    EXPECT_EQ(m_Pacifier->GetAppearance(), GetSequenceList().Find("Calm Summer"));
    EXPECT_EQ(m_Pacifier->GetCloseUp(), GetSequenceList().Find("Calm Summer")) << "no close-up list: the appearance";
    m_Level->m_Period = 2;
    EXPECT_EQ(m_Pacifier->GetAppearance(), GetSequenceList().Find("Calm Look"));
    EXPECT_EQ(m_Pacifier->GetCloseUp(), GetSequenceList().Find("Calm Look"));
}

TEST_F(Pacifier, TheTutorialCanKeepThePacifierInItsPlace)
{
    m_Level->m_PacifierPickupDisabled = true;
    SendPlayfieldMouseDown(kLeftMouseButton, {105, 105});
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_STREQ(Refusal().GetString(), "PacifierDisabled text");
    m_Level->m_PacifierPickupDisabled = false;
    SendPlayfieldMouseDown(kLeftMouseButton, {105, 105});
    EXPECT_EQ(GetDraggedSprite(), m_Button->GetSprite());
    ClearDraggedSprite();
}

} // namespace
