#include "game/world/CBuildPhase.h"

#include "foundation/CStaticContentsList.h"
#include "game/world/CUpgradeSlot.h"
#include "game/world/ListReferences.h"
#include "objects/CIntProperty.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CBuildPhase, 1.0)

CCodeTableList& GetBuildPhaseOptionList()
{
    static const CCodeTableRow kRows[] = {{0, "Optional", nullptr}, {1, "Required", nullptr}, {}};
    static CCodeTableList list(kRows);
    return list;
}

void CBuildPhase::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBuildPhase;
    d.Add(&C::m_Name, "Name", "");
    d.AddListReference<CNoneableListProperty>(&C::m_OptionIndex, "Option Index", &GetBuildPhaseOptionList(),
                                              "Optional");
    d.Add(&C::m_MinimumNumberOfSlots, "Minimum Number Of Slots", 0u);
    auto slots = d.AddArray<CNoneableListProperty>(&C::m_UpgradeSlotIndexArray, "Upgrade Slot List", "Upgrade Slot", 0);
    static_cast<CListProperty*>(slots.Get().GetElementProperty())->SetList(&GetUpgradeSlotList());
    CVirtualArray* sequences = &GetSequenceList();
    d.AddListReference<CNoneableListProperty>(&C::m_ClickAssistHoverCursor, "Click Assist Hover Cursor", sequences,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_ClickAssistUsedCursor, "Click Assist Used Cursor", sequences,
                                              nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_ClickAssistEffect, "Click Assist Effect", sequences, nullptr);
}

CBuildPhase::CBuildPhase()
{
    InitDeclaredProperties();
}

CBuildPhase::~CBuildPhase()
{
    DestroyDeclaredProperties();
}

CBuildPhaseList::CBuildPhaseList()
    : CObjectArrayBaseTemplate<CBuildPhase>("BuildPhase.txt")
{
}

CBuildPhaseList& GetBuildPhaseList()
{
    static auto* list = [] {
        auto* made = new CBuildPhaseList;
        made->SetSource("Build Phase", "Resources", 0);
        return made;
    }();
    return *list;
}

int32_t FindBuildPhase(const char* name)
{
    return GetBuildPhaseList().Find(name);
}
