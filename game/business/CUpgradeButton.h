#pragma once
// Upgrade buttons: the sprites in the "UI" layer that show the upgrade owned
// in a slot and are dragged onto lots, and the button held on the cursor.
#include "foundation/CFPoint.h"

#include <cstdint>

class CLot;
class CSpriteAI;
class CUpgrade;

// A plain upgrade button for the upgrade, reset to its defaults.
CSpriteAI* CreateUpgradeButton(CUpgrade& upgrade, uint32_t slot);
// The button held on the cursor; taking releases it from the cursor.
CSpriteAI* GetHeldUpgradeButton();
CSpriteAI* TakeHeldUpgradeButton();
bool IsHeldSignpostButton();
// Lets go of a held button (it goes back to its place).
void DropHeldUpgradeButton();
// The upgrade the button shows; null for none.
CUpgrade* GetButtonUpgrade(CSpriteAI* button);
bool UseUpgradeButtonOnLot(CSpriteAI* button, CLot* lot);
// Where the slot's marker puts its sprite; false when the slot has none.
bool GetUpgradeSlotMarkerPosition(uint32_t slot, CFPoint& out);
