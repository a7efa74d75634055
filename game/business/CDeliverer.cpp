#include "game/business/CDeliverer.h"

#include "objects/CFloatProperty.h"
#include "objects/CMessage.h"

#include <algorithm>
#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CDelivererUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CDelivererUpgradeButton, 1.0)

void CDelivererUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CDelivererUpgrade::m_SecondsToFade, "Seconds To Fade After Moved Someone In", 2.0f);
    d.Add(&CDelivererUpgrade::m_HeartBonus, "Heart Bonus", 0.0f).Units("hearts");
}

CDelivererUpgrade::CDelivererUpgrade()
{
    InitDeclaredProperties();
}

CDelivererUpgrade::~CDelivererUpgrade()
{
    DestroyDeclaredProperties();
}

CSpriteAI* CDelivererUpgrade::CreateButtonAI(int32_t /*slot*/)
{
    auto* button = new CDelivererUpgradeButton;
    button->ResetToDefaults();
    // The level start places the button in this upgrade's own slot.
    button->m_UpgradeSlot = m_UpgradeSlot;
    button->Bind(this);
    return button;
}

void CDelivererUpgradeButton::DeclareProperties(CPropertyDeclarer&) {}

CDelivererUpgradeButton::CDelivererUpgradeButton()
{
    InitDeclaredProperties();
}

CDelivererUpgradeButton::~CDelivererUpgradeButton()
{
    DestroyDeclaredProperties();
}

void CDelivererUpgradeButton::HandleMessage(CMessage& message)
{
    CUpgradeButton::HandleMessage(message);
    if (message.IsType("DelivererMovedSomeoneIn") && m_Deliverer)
        m_FadeTimer = m_Deliverer->m_SecondsToFade;
}

void CDelivererUpgradeButton::Update(CSpriteUpdateRecord& record)
{
    CUpgradeButton::Update(record);
    if (m_FadeTimer > 0.0f)
        m_FadeTimer = std::max(m_FadeTimer - record.seconds, 0.0f);
}

float CDelivererUpgradeButton::GetFadeFraction() const
{
    // A fade time of 0 (or none given) has nothing to show.
    if (!m_Deliverer || !(m_Deliverer->m_SecondsToFade > 0.0f))
        return 0.0f;
    return std::clamp(m_FadeTimer / m_Deliverer->m_SecondsToFade, 0.0f, 1.0f);
}

int32_t CDelivererUpgradeButton::GetDisabledGrey(int32_t grey)
{
    const int32_t raised = grey + int32_t(std::lround(float(255 - grey) * GetFadeFraction()));
    return std::clamp(raised, 0, 255);
}

float GetDelivererHeartBonus(CUpgrade* deliverer)
{
    auto* upgrade = dynamic_cast<CDelivererUpgrade*>(deliverer);
    return upgrade ? upgrade->m_HeartBonus : 0.0f;
}

float GetDelivererFadeFraction(CSpriteAI* button)
{
    auto* deliverer = dynamic_cast<CDelivererUpgradeButton*>(button);
    return deliverer ? deliverer->GetFadeFraction() : 0.0f;
}
