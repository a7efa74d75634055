// The deliverer's button lights up after each delivery and fades back.
#include "game/business/CDeliverer.h"

#include "BonusTown.h"

#include <gtest/gtest.h>

#include <memory>

using namespace bonus_town;

namespace {

// Reads the grey the upgrade button draws a disabled deliverer with.
class CGreyProbe : public CDelivererUpgradeButton {
public:
    int32_t Grey(int32_t base) { return GetDisabledGrey(base); }
};

class Deliverer : public BonusTown {
protected:
    void SetUp() override
    {
        BonusTown::SetUp();
        m_Upgrade = dynamic_cast<CDelivererUpgrade*>(GetUpgradeByIndex(Upgrade("Courier")));
        ASSERT_NE(m_Upgrade, nullptr);
        m_Button.reset(dynamic_cast<CDelivererUpgradeButton*>(m_Upgrade->CreateButtonAI(m_Upgrade->m_UpgradeSlot)));
        ASSERT_NE(m_Button, nullptr);
    }
    void Step(float seconds)
    {
        CSpriteUpdateRecord record{nullptr, seconds};
        m_Button->Update(record);
    }
    void Delivered()
    {
        CMessage message = CMessage::CMessageByName("DelivererMovedSomeoneIn");
        m_Button->HandleMessage(message);
    }

    CDelivererUpgrade* m_Upgrade = nullptr;
    std::unique_ptr<CDelivererUpgradeButton> m_Button;
};

TEST_F(Deliverer, TheButtonIsBrightestRightAfterADeliveryAndFadesBack)
{
    EXPECT_FALSE(m_Upgrade->IsDraggable());
    Hold("Courier");
    EXPECT_EQ(m_Button->GetUpgrade(), m_Upgrade) << "the button shows the upgrade of its slot";
    EXPECT_EQ(m_Button->GetFadeFraction(), 0.0f);
    CMessage other = CMessage::CMessageByName("CustomerArrived");
    m_Button->HandleMessage(other);
    EXPECT_EQ(m_Button->GetFadeFraction(), 0.0f);
    Delivered();
    EXPECT_FLOAT_EQ(m_Button->GetFadeFraction(), 1.0f);
    Step(1.0f);
    EXPECT_FLOAT_EQ(m_Button->GetFadeFraction(), 0.75f);
    EXPECT_FLOAT_EQ(GetDelivererFadeFraction(m_Button.get()), 0.75f);
    Step(10.0f);
    EXPECT_EQ(m_Button->GetFadeTimer(), 0.0f) << "stops at 0";
}

TEST_F(Deliverer, TheButtonsGreyRisesToFullColourWithTheFade)
{
    auto* probe = new CGreyProbe;
    probe->Bind(m_Upgrade);
    m_Button.reset(probe);
    EXPECT_EQ(probe->Grey(150), 150);
    Delivered();
    EXPECT_EQ(probe->Grey(150), 255);
    Step(2.0f);
    EXPECT_EQ(probe->Grey(150), 203) << "150 + round(105 / 2)";
}

TEST_F(Deliverer, ASecondDeliveryWithinTheFadeRestartsItAtFullValue)
{
    Delivered();
    Step(3.0f);
    Delivered();
    EXPECT_FLOAT_EQ(m_Button->GetFadeTimer(), 4.0f);
}


} // namespace
