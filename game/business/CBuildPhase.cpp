#include "game/business/CBuildPhase.h"

#include "foundation/CStaticContentsList.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeSlot.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "blit/CColorProperty.h"
#include "objects/CPointProperty.h"
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
    d.Add(&C::m_GetsColored, "Gets Colored", false);
    d.Add(&C::m_CanBeReDone, "Can Be ReDone", false);
    d.Add(&C::m_BuildButtonScale, "Build Button Scale", 1.0f).Range(0.1f, 2.0f).SpinStep(0.05f);
    auto slots = d.AddArray<CNoneableListProperty>(&C::m_UpgradeSlotIndexArray, "Upgrade Slot List", "Upgrade Slot", 0);
    static_cast<CListProperty*>(slots.Get().GetElementProperty())->SetList(&GetUpgradeSlotList());
    d.Add(&C::m_SpaceBetweenIdleCrews, "Space Between Idle Crews", 55.0f).Units("pixels");
    d.AddOwned(&C::m_DefaultPartValues, "Default Part Values").DefaultClass(CBuildablePart::SGetClassInfo());
    d.Add(&C::m_CustomerWantedScale, "Customer Wanted Scale", 0.5f);
    d.Add(&C::m_CustomerWantedPosition, "Customer Wanted Position", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_ProgressBarColor, "Progress Bar Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_ProgressBarBackgroundColor, "Progress Bar Background Color", CColor(0, 0, 0, 255)).WithAlpha();
    d.Add(&C::m_BuildButtonDisabledTint, "Build Button Disabled Tint", CColor(120, 120, 120, 255)).WithAlpha();
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

CBuildPhase* GetBuildPhaseAt(int32_t phase)
{
    CBuildPhaseList& phases = GetBuildPhaseList();
    if (phase < 0 || phase >= phases.GetCount())
        return nullptr;
    return phases.GetObject(phase);
}

int32_t GetFramePhase()
{
    return FindBuildPhase("Frame");
}

int32_t GetGaragePhase()
{
    return FindBuildPhase("Garage");
}

int32_t GetAddOnPhase()
{
    return FindBuildPhase("Add On");
}

int32_t GetColorPhase()
{
    return FindBuildPhase("Color");
}
