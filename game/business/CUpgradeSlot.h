#pragma once
// Upgrade slots: the places an upgrade is owned in ("Garage A", "Foreman"...).
// The game state holds one upgrade per slot, by slot index.
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CUpgradeSlot : public CObject {
    OMBRISALT_REFLECTED(CUpgradeSlot, CObject)
public:
    CUpgradeSlot();
    ~CUpgradeSlot() override;

    CTranslatedText m_Description;            // "Description"
    int32_t m_ButtonBackground = 0;           // "Button Background", a sequence
    bool m_ShowButtonAlways = false;          // "Show Button Even When Upgrade Not Purchased"
    int32_t m_BuyButtonBackground = 0;        // "Buy Button Background", a sequence
    int32_t m_BuyButtonDisabled = 0;          // "Buy Button Disabled", a sequence
    int32_t m_BuyButtonHover = 0;             // "Buy Button Hover", a sequence
    bool m_IncludeInPlayLog = true;           // "Inlcude In Play Log"
    bool m_SelectableOnShoppingScreen = true; // "Selectable On Shopping Screen"
};

class CUpgradeSlotList : public CObjectArrayBaseTemplate<CUpgradeSlot> {
public:
    CUpgradeSlotList();
};
// "UpgradeSlot" under "Resources", "UpgradeSlot.txt"; made on first use.
CUpgradeSlotList& GetUpgradeSlotList();
// The slot of that index; null outside the list.
CUpgradeSlot* GetUpgradeSlotByIndex(int32_t index);
// The slot's list name without the folder its file sits in: the name its
// markers and overlays go by.
CJString GetUpgradeSlotName(int32_t slot);
