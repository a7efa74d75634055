#include "game/business/CUpgradeSlot.h"

#include "game/world/ListReferences.h"
#include "objects/CBoolProperty.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CUpgradeSlot, 1.0)

void CUpgradeSlot::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CUpgradeSlot;
    d.Add(&C::m_Description, "Description", "");
    d.AddListReference<CNoneableListProperty>(&C::m_ButtonBackground, "Button Background", &GetSequenceList(), nullptr)
        .AlternateName("Button Background Sequence");
    d.Add(&C::m_ShowButtonAlways, "Show Button Even When Upgrade Not Purchased", false);
    d.AddListReference<CNoneableListProperty>(&C::m_BuyButtonBackground, "Buy Button Background", &GetSequenceList(),
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_BuyButtonDisabled, "Buy Button Disabled", &GetSequenceList(),
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_BuyButtonHover, "Buy Button Hover", &GetSequenceList(), nullptr);
    d.Add(&C::m_IncludeInPlayLog, "Inlcude In Play Log", true);
    d.Add(&C::m_SelectableOnShoppingScreen, "Selectable On Shopping Screen", true);
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
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CUpgradeSlot* GetUpgradeSlotByIndex(int32_t index)
{
    CUpgradeSlotList& list = GetUpgradeSlotList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

CJString GetUpgradeSlotName(int32_t slot)
{
    const CJString item = GetUpgradeSlotList().GetItemNameString(slot);
    const char* text = item.GetString();
    int from = 0;
    for (int i = 0; text[i]; ++i)
        if (text[i] == '/' || text[i] == '\\')
            from = i + 1;
    return from ? item.Mid(from) : item;
}
