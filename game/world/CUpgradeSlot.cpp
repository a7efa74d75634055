#include "game/world/CUpgradeSlot.h"

#include "objects/CBoolProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CUpgradeSlot, 1.0)

void CUpgradeSlot::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CUpgradeSlot::m_ShowButtonAlways, "Show Button Even When Upgrade Not Purchased", false);
    d.Add(&CUpgradeSlot::m_IncludeInPlayLog, "Inlcude In Play Log", true);
}

CUpgradeSlot::CUpgradeSlot()
{
    InitDeclaredProperties();
}

CUpgradeSlot::~CUpgradeSlot()
{
    DestroyDeclaredProperties();
}

CUpgradeSlotList::CUpgradeSlotList()
    : CObjectArrayBaseTemplate<CUpgradeSlot>("UpgradeSlot.txt")
{
}

CUpgradeSlotList& GetUpgradeSlotList()
{
    // Lives to the end of the process, as the registry of lists expects.
    static auto* list = [] {
        auto* made = new CUpgradeSlotList;
        made->SetSource("UpgradeSlot", "Resources", 0);
        return made;
    }();
    return *list;
}
