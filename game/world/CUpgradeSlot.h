#pragma once
// Upgrade slots: the places an upgrade is owned in ("Garage A", "Foreman"...).
// The game state holds one upgrade per slot, by slot index.
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"

class CUpgradeSlot : public CObject {
    OMBRISALT_REFLECTED(CUpgradeSlot, CObject)
public:
    CUpgradeSlot();
    ~CUpgradeSlot() override;

    bool m_ShowButtonAlways = false; // "Show Button Even When Upgrade Not Purchased"
    bool m_IncludeInPlayLog = true;  // "Inlcude In Play Log"
};

class CUpgradeSlotList : public CObjectArrayBaseTemplate<CUpgradeSlot> {
public:
    CUpgradeSlotList();
};
// "UpgradeSlot" under "Resources", "UpgradeSlot.txt"; made on first use.
CUpgradeSlotList& GetUpgradeSlotList();
