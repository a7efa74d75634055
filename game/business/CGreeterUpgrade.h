#pragma once
// The greeter: while it stands in the slot named "Greeter", its button
// answers the waiting customers one at a time, each after "Answer Response
// Time", and they then decide faster. The button lights up when a customer
// arrives and fades back over "Seconds To Fade After Phone Answered".
#include "foundation/CPoint.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"

class CGreeterUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CGreeterUpgrade, CUpgrade)
public:
    CGreeterUpgrade();
    ~CGreeterUpgrade() override;

    // A greeter button bound to this upgrade.
    CSpriteAI* CreateButtonAI(int32_t slot) override;

    float m_AnswerResponseTime = 0.5f;          // "Answer Response Time", seconds
    float m_CustomerDecideSpeedMultiplier = 3.0f; // "Customer Decide Speed Multiplier"
    CPoint m_AnsweringOnCustomerOffset{0, 0};   // "Answering On Customer Offset"
    float m_SecondsToFade = 1.0f;               // "Seconds To Fade After Phone Answered"
};

class CGreeterUpgradeButton : public CUpgradeButton {
    OMBRISALT_REFLECTED(CGreeterUpgradeButton, CUpgradeButton)
public:
    CGreeterUpgradeButton();
    ~CGreeterUpgradeButton() override;

    // Answers the first waiting customer once it has waited long enough;
    // the update ends here, the sprite's other AIs do not get it.
    void Update(CSpriteUpdateRecord& record) override;
    void HandleMessage(CMessage& message) override;

    void Bind(CGreeterUpgrade* upgrade) { m_Greeter = upgrade; }
    CGreeterUpgrade* GetGreeter() const { return m_Greeter; }
    float GetAnswerTimer() const { return m_AnswerTimer; }
    float GetRingFadeTimer() const { return m_RingFadeTimer; }
    // 1 right after a customer arrived, down to 0 when the fade is over.
    float GetFadeFraction() const;

protected:
    int32_t GetDisabledGrey(int32_t grey) override;

private:
    CGreeterUpgrade* m_Greeter = nullptr; // not owned
    float m_AnswerTimer = 0.0f;           // seconds the first waiting customer has waited
    float m_RingFadeTimer = 0.0f;         // seconds; 0 when idle
};

// The greeter held in the "Greeter" slot of the current game state; null
// when the slot is empty, missing or holds another kind of upgrade.
CGreeterUpgrade* GetHeldGreeter();
