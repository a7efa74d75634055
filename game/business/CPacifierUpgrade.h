#pragma once
// The pacifier: an upgrade of a few uses that the player drags onto an
// unhappy waiting customer to give back hearts. A customer still too happy
// refuses it, and lots never take it. Its button counts the uses and goes
// away after the last one.
#include "foundation/CPoint.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CPacifierUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CPacifierUpgrade, CUpgrade)
public:
    CPacifierUpgrade();
    ~CPacifierUpgrade() override;

    // A pacifier button with no uses spent.
    CSpriteAI* CreateButtonAI(int32_t slot) override;
    bool IsDraggable() override { return true; }
    // Shows "CantDropOnLot" and refuses.
    bool DropOnLot(int32_t upgradeIndex, CLot* lot) override;
    // Gives "Hearts To Add" to a customer with at most the options' maximum
    // less "Pacifier/Max Heart Percent To Fill" hearts; a happier one
    // refuses with "CustomerTooHappyForPacifier".
    bool DropOnCustomer(int32_t upgradeIndex, CCustomer* customer) override;
    bool IsUsedOnCustomer() override { return true; }
    // The picture of the current level's period when the list has one.
    int32_t GetAppearance() override;
    int32_t GetCloseUp() override;

    float m_HeartsToAdd = 2.0f;                       // "Hearts To Add", hearts
    uint32_t m_NumberOfUses = 1;                      // "Number Of Uses"
    CPropertyArray<int32_t> m_ImagePerPeriod;         // "Image Per Period", sequences by period
    CPropertyArray<int32_t> m_BuyCloseUpImagePerPeriod; // "Buy Close Up Image Per Period"
    CTranslatedText m_UsesRemainingText;              // "Uses Remaining Text"
    int32_t m_UsesRemainingFont = -1;                 // "Uses Remaining Font", into the font list; -1 none
    CPoint m_UsesRemainingOffset{0, 0};               // "Uses Remaining Offset"
};

class CPacifierUpgradeButton : public CUpgradeButton {
    OMBRISALT_REFLECTED(CPacifierUpgradeButton, CUpgradeButton)
public:
    CPacifierUpgradeButton();
    ~CPacifierUpgradeButton() override;

    // Counts a successful use; after the last one the sprite is deleted at
    // the end of the frame. With no use left it refuses at once.
    bool DropOnCustomer(CCustomer* customer) override;
    // "LevelComplete" records the uses left in the level's statistics.
    void HandleMessage(CMessage& message) override;
    // The button, then the uses left.
    void Draw(CSpriteDrawRecord& record) override;

    uint32_t GetUsesSoFar() const { return m_UsesSoFar; }
    // "Number Of Uses" less the uses so far; 0 without a pacifier.
    uint32_t GetUsesLeft() const;
    // "Uses Remaining Text" with the uses left put in.
    CJString GetUsesRemainingText() const;

protected:
    // The tutorial may keep the pacifier on its place.
    bool RefusesPickup(CUpgrade& upgrade) override;

private:
    CPacifierUpgrade* GetPacifier() const;

    uint32_t m_UsesSoFar = 0;
};
