#include "game/business/CGreeterUpgrade.h"

#include "game/business/CCustomer.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "objects/CFloatProperty.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CGreeterUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CGreeterUpgradeButton, 1.0)

namespace {

// The first customer of the "Customers" layer still waiting to be answered.
CCustomer* FirstWaitingCustomer()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CPlayfieldLayer* layer = level ? level->GetPlayfield().FindLayer("Customers") : nullptr;
    if (!layer)
        return nullptr;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* sprite = layer->GetSprite(i);
        CSpriteAI* ai = sprite ? sprite->GetAI() : nullptr;
        auto* customer = ai && ai->IsKindOf(CCustomer::SGetClassInfo()) ? static_cast<CCustomer*>(ai) : nullptr;
        if (customer && customer->IsWaitingToBeAnswered())
            return customer;
    }
    return nullptr;
}

} // namespace

void CGreeterUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CGreeterUpgrade;
    d.Add(&C::m_AnswerResponseTime, "Answer Response Time", 0.5f).Units("seconds");
    d.Add(&C::m_CustomerDecideSpeedMultiplier, "Customer Decide Speed Multiplier", 3.0f);
    d.Add(&C::m_AnsweringOnCustomerOffset, "Answering On Customer Offset", CPoint{0, 0});
    d.Add(&C::m_SecondsToFade, "Seconds To Fade After Phone Answered", 1.0f);
}

CGreeterUpgrade::CGreeterUpgrade()
{
    InitDeclaredProperties();
}

CGreeterUpgrade::~CGreeterUpgrade()
{
    DestroyDeclaredProperties();
}

CSpriteAI* CGreeterUpgrade::CreateButtonAI(int32_t /*slot*/)
{
    auto* button = new CGreeterUpgradeButton;
    button->ResetToDefaults();
    // The level start places the button in this upgrade's own slot.
    button->m_UpgradeSlot = m_UpgradeSlot;
    button->Bind(this);
    return button;
}

void CGreeterUpgradeButton::DeclareProperties(CPropertyDeclarer&) {}

CGreeterUpgradeButton::CGreeterUpgradeButton()
{
    InitDeclaredProperties();
}

CGreeterUpgradeButton::~CGreeterUpgradeButton()
{
    DestroyDeclaredProperties();
}

void CGreeterUpgradeButton::HandleMessage(CMessage& message)
{
    CUpgradeButton::HandleMessage(message);
    if (message.IsType("CustomerArrived") && m_Greeter)
        m_RingFadeTimer = m_Greeter->m_SecondsToFade;
}

void CGreeterUpgradeButton::Update(CSpriteUpdateRecord& record)
{
    if (m_RingFadeTimer > 0.0f)
        m_RingFadeTimer = std::max(m_RingFadeTimer - record.seconds, 0.0f);
    CCustomer* customer = m_Greeter ? FirstWaitingCustomer() : nullptr;
    if (!customer) {
        m_AnswerTimer = 0.0f;
        return;
    }
    m_AnswerTimer += record.seconds;
    if (m_AnswerTimer < m_Greeter->m_AnswerResponseTime)
        return;
    m_AnswerTimer = 0.0f;
    customer->StartThinking();
    // A multiplier of 0 would leave the customer thinking for ever.
    if (m_Greeter->m_CustomerDecideSpeedMultiplier > 0.0f)
        customer->m_TimeLeftToDecideWhatToOrder /= m_Greeter->m_CustomerDecideSpeedMultiplier;
    customer->m_SecondsUntilSelectionAllowed = GetCustomerOptions().m_CanSelectCustomerDelay;
    if (CSprite* sprite = GetSprite()) {
        CMessage answered = CMessage::CMessageByName("AnsweredPhone");
        sprite->HandleMessage(answered);
    }
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage broadcast = CMessage::CMessageByName("Answered Phone");
        playfield->BroadcastMessage(broadcast);
    }
}

float CGreeterUpgradeButton::GetFadeFraction() const
{
    // A fade time of 0 has nothing to show and must not divide.
    if (!m_Greeter || !(m_Greeter->m_SecondsToFade > 0.0f))
        return 0.0f;
    return std::clamp(m_RingFadeTimer / m_Greeter->m_SecondsToFade, 0.0f, 1.0f);
}

int32_t CGreeterUpgradeButton::GetDisabledGrey(int32_t grey)
{
    const int32_t raised = grey + int32_t(std::lround(105.0f * GetFadeFraction()));
    return std::clamp(raised, 0, 255);
}

CGreeterUpgrade* GetHeldGreeter()
{
    CGameState* state = CGameState::SGetCurrent();
    const int32_t slot = GetUpgradeSlotList().Find("Greeter");
    if (!state || slot < 0)
        return nullptr;
    return dynamic_cast<CGreeterUpgrade*>(GetUpgradeByIndex(state->GetUpgradeInSlot(slot)));
}
