#pragma once
// The deliverer: while an upgrade stands in the slot named "Deliverer", lots
// move waiting customers into matching finished houses by themselves and
// give them "Heart Bonus" extra hearts (the lots do the moving). Its button
// is not dragged; it lights up after each delivery and fades back over
// "Seconds To Fade After Moved Someone In".
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"

class CDelivererUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CDelivererUpgrade, CUpgrade)
public:
    CDelivererUpgrade();
    ~CDelivererUpgrade() override;

    // A deliverer button bound to this upgrade.
    CSpriteAI* CreateButtonAI(int32_t slot) override;

    float m_SecondsToFade = 2.0f; // "Seconds To Fade After Moved Someone In"
    float m_HeartBonus = 0.0f;    // "Heart Bonus", hearts
};

class CDelivererUpgradeButton : public CUpgradeButton {
    OMBRISALT_REFLECTED(CDelivererUpgradeButton, CUpgradeButton)
public:
    CDelivererUpgradeButton();
    ~CDelivererUpgradeButton() override;

    void Update(CSpriteUpdateRecord& record) override;
    void HandleMessage(CMessage& message) override;

    void Bind(CDelivererUpgrade* upgrade) { m_Deliverer = upgrade; }
    // 1 right after a delivery, down to 0 when the fade is over.
    float GetFadeFraction() const;
    float GetFadeTimer() const { return m_FadeTimer; }

protected:
    // Brighter by the fade: full colour right after a delivery.
    int32_t GetDisabledGrey(int32_t grey) override;

private:
    CDelivererUpgrade* m_Deliverer = nullptr; // not owned
    float m_FadeTimer = 0.0f;                 // seconds; 0 when idle
};

// The upgrade's "Heart Bonus"; 0 for any other upgrade.
float GetDelivererHeartBonus(CUpgrade* deliverer);
// The fade fraction of a deliverer button; 0 for any other button.
float GetDelivererFadeFraction(CSpriteAI* button);
