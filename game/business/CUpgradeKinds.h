#pragma once
// The upgrade kinds only the business layer knows, and what every kind does
// on the playfield. The world declares CUpgrade and the part and crew kinds
// with their data; their playfield behaviour is reached through the
// functions here, which the rest of this layer calls instead of the
// upgrade's own virtuals.
#include "game/world/CUpgrade.h"

#include <cstdint>

class CLot;
class CSpriteAI;

// Clears a lot: dropped on a built lot it destroys the building.
class CBulldozerUpgrade : public CUpgrade {
    OMBRISALT_REFLECTED(CBulldozerUpgrade, CUpgrade)
public:
    CBulldozerUpgrade();
    ~CBulldozerUpgrade() override;

    bool IsDraggable() override { return true; }
    bool IsUsedOnLot() override { return true; }
    bool DropOnLot(int32_t upgradeIndex, CLot* lot) override;
};

// The button AI of the upgrade at level start, its "Upgrade Slot" set to the
// slot; null when the upgrade has no button.
CSpriteAI* CreateUpgradeButtonAI(CUpgrade& upgrade, uint32_t slot);
// CanUse with the parts' crew check.
bool CanUseUpgrade(CUpgrade& upgrade, bool showMessage);
// DropOnLot with the parts' building.
bool DropUpgradeOnLot(CUpgrade& upgrade, int32_t upgradeIndex, CLot* lot);
// Whether the upgrade may be dropped on this lot now.
bool IsUpgradeUsedOnLot(CUpgrade& upgrade, CLot* lot);
bool IsBulldozer(const CUpgrade* upgrade);
// The upgrade's "Button Hover", else its slot's "Buy Button Hover".
int32_t GetUpgradeButtonHover(CUpgrade& upgrade);
// A part the current game state lists as available in the phase, drawn from
// the business generator; 0 when it lists none.
int32_t GetRandomAvailablePart(int32_t phase);
