// Stubs for bz-button to fill (the skeleton's hooks call them): every
// function declared in CUpgradeButton.h.
#include "game/business/CUpgradeButton.h"

CSpriteAI* CreateUpgradeButton(CUpgrade&, uint32_t) { return nullptr; }
CSpriteAI* GetHeldUpgradeButton() { return nullptr; }
CSpriteAI* TakeHeldUpgradeButton() { return nullptr; }
bool IsHeldSignpostButton() { return false; }
void DropHeldUpgradeButton() {}
CUpgrade* GetButtonUpgrade(CSpriteAI*) { return nullptr; }
bool UseUpgradeButtonOnLot(CSpriteAI*, CLot*) { return false; }
bool GetUpgradeSlotMarkerPosition(uint32_t, CFPoint&) { return false; }
