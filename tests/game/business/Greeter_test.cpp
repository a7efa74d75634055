// The greeter answers waiting customers one at a time, each after its
// response time, and its button lights up when a customer arrives.
#include "game/business/CGreeterUpgrade.h"
#include "game/business/CPacifierUpgrade.h"
#include "game/world/CLevelPlay.h"

#include "CustomerDesk.h"

#include <algorithm>
#include <memory>

using namespace customer_desk;

namespace {

// Reads the grey the upgrade button draws a disabled greeter with.
class CGreyProbe : public CGreeterUpgradeButton {
public:
    int32_t Grey(int32_t base) { return GetDisabledGrey(base); }
};

class Greeter : public CustomerDesk {
protected:
    void SetUp() override
    {
        CustomerDesk::SetUp();
        Hold("Receptionist");
        m_Button = AddButton<CGreeterUpgradeButton>("Receptionist", m_ButtonHeard);
        ASSERT_NE(m_Button, nullptr);
    }
    void Step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i) {
            CSpriteUpdateRecord record{m_Button->GetSprite(), 1.0f / 60.0f};
            m_Button->Update(record);
        }
    }
    static size_t Count(const std::vector<std::string>& heard, const char* name)
    {
        return size_t(std::count(heard.begin(), heard.end(), name));
    }

    CGreeterUpgradeButton* m_Button = nullptr;
    std::vector<std::string> m_ButtonHeard;
};

TEST_F(Greeter, AWaitingCustomerIsAnsweredAfterHalfASecondAndDecidesThreeTimesFaster)
{
    EXPECT_EQ(GetHeldGreeter(), m_Button->GetGreeter()) << "the slot named \"Greeter\" holds it";
    CCustomer* customer = AddCustomer();
    Step(29);
    EXPECT_TRUE(customer->IsWaitingToBeAnswered()) << "29 frames are short of 0.5 s";
    EXPECT_EQ(Count(TakeHeard(), "Answered Phone"), 0u);
    Step();
    EXPECT_FALSE(customer->IsWaitingToBeAnswered());
    EXPECT_FLOAT_EQ(customer->m_TimeLeftToDecideWhatToOrder, 2.0f) << "a third of the style's 6 s";
    EXPECT_FLOAT_EQ(customer->m_SecondsUntilSelectionAllowed, 3.0f) << "\"Can Select Customer Delay \"";
    EXPECT_EQ(Count(TakeHeard(), "Answered Phone"), 1u) << "the broadcast of a player's answering click";
    EXPECT_EQ(Count(m_ButtonHeard, "AnsweredPhone"), 1u) << "to the button's own sprite";
    EXPECT_EQ(m_Button->GetAnswerTimer(), 0.0f);
    Step(60);
    EXPECT_EQ(Count(TakeHeard(), "Answered Phone"), 0u) << "nobody else waits";
}

TEST_F(Greeter, TwoWaitingCustomersAreAnsweredHalfASecondApartInLineOrder)
{
    CCustomer* first = AddCustomer();
    CCustomer* second = AddCustomer();
    Step(30);
    EXPECT_FALSE(first->IsWaitingToBeAnswered());
    EXPECT_TRUE(second->IsWaitingToBeAnswered()) << "one customer a frame";
    Step(29);
    EXPECT_TRUE(second->IsWaitingToBeAnswered());
    Step();
    EXPECT_FALSE(second->IsWaitingToBeAnswered());
    EXPECT_EQ(Count(TakeHeard(), "Answered Phone"), 2u);
}

TEST_F(Greeter, ACustomerAnsweredByClickResetsTheTimerAndTheNextWaitsTheFullTime)
{
    CCustomer* clicked = AddCustomer();
    Step(20);
    EXPECT_GT(m_Button->GetAnswerTimer(), 0.3f);
    clicked->StartThinking();
    Step();
    EXPECT_EQ(m_Button->GetAnswerTimer(), 0.0f) << "nobody waits";
    CCustomer* next = AddCustomer();
    Step(29);
    EXPECT_TRUE(next->IsWaitingToBeAnswered()) << "no time carried over from the clicked customer";
    Step();
    EXPECT_FALSE(next->IsWaitingToBeAnswered());
    EXPECT_FLOAT_EQ(clicked->m_TimeLeftToDecideWhatToOrder, 6.0f) << "a click does not speed the decision";
}

TEST_F(Greeter, TheButtonBrightensWhenACustomerArrivesAndFadesBackOverItsTime)
{
    auto* probe = new CGreyProbe;
    probe->Bind(m_Button->GetGreeter());
    std::unique_ptr<CGreyProbe> owned(probe);
    EXPECT_EQ(probe->Grey(150), 150);
    CMessage arrived = CMessage::CMessageByName("CustomerArrived");
    probe->HandleMessage(arrived);
    EXPECT_EQ(probe->Grey(150), 255) << "150 + 105";
    CSpriteUpdateRecord half{nullptr, 0.5f};
    probe->Update(half);
    EXPECT_EQ(probe->Grey(150), 203) << "150 + round(52.5)";
    probe->Update(half);
    probe->Update(half);
    EXPECT_EQ(probe->GetRingFadeTimer(), 0.0f) << "stops at 0";
    EXPECT_EQ(probe->Grey(150), 150);

    probe->GetGreeter()->m_SecondsToFade = 0.0f;
    probe->HandleMessage(arrived);
    EXPECT_EQ(probe->Grey(150), 150) << "no fade time: nothing to light, no division by 0";
}

} // namespace

namespace {

TEST_F(CustomerDesk, TheLevelStartGivesTheGreeterAndThePacifierTheirOwnButtons)
{
    Hold("Receptionist");
    Hold("Calm");
    PlaceSlotSprites();
    CPlayfieldLayer* ui = Playfield().FindLayer("UI");
    ASSERT_NE(ui, nullptr);
    CGreeterUpgradeButton* greeter = nullptr;
    CPacifierUpgradeButton* pacifier = nullptr;
    for (uint32_t i = 0; i < ui->GetSpriteCount(); ++i) {
        CSpriteAI* ai = ui->GetSprite(i)->FindAI(CUpgradeButton::SGetClassInfo());
        if (auto* found = dynamic_cast<CGreeterUpgradeButton*>(ai))
            greeter = found;
        else if (auto* other = dynamic_cast<CPacifierUpgradeButton*>(ai))
            pacifier = other;
    }
    ASSERT_NE(greeter, nullptr);
    EXPECT_EQ(greeter->GetGreeter(), GetHeldGreeter()) << "bound to the upgrade that made it";
    ASSERT_NE(pacifier, nullptr);
    EXPECT_EQ(pacifier->GetUpgrade(), GetUpgradeByIndex(Upgrade("Calm")));

    m_State->RemoveUpgrade(Upgrade("Receptionist"));
    EXPECT_EQ(GetHeldGreeter(), nullptr) << "the pacifier in its own slot is no greeter";
}

} // namespace
