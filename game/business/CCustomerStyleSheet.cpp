#include "game/business/CCustomerStyleSheet.h"

#include "game/scripting/CAudio.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/ListReferences.h"
#include "objects/CFloatProperty.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CCustomerStyleSheet, 1.0)

void CCustomerStyleSheet::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCustomerStyleSheet;
    d.AddListReference<CNoneableListProperty>(&C::m_Appearance, "Appearance", &GetSequenceList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_ScenarioGoalAppearance, "Scenario Goal Appearance",
                                              &GetSequenceList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_AngryBackground, "Angry Background", &GetSequenceList(), nullptr);
    d.Add(&C::m_BlinksPerMinute, "Blinks Per Minute", 15.0f).Units("BPM");
    d.Add(&C::m_BlinkDuration, "Blink Duration", 0.05f).Units("seconds");
    d.Add(&C::m_MaximumWait, "Maximum Wait", 90.0f).Units("seconds");
    CVirtualArray* audio = &GetAudioList();
    d.AddListReference<CDataReferenceProperty>(&C::m_ArrivedAudio, "Sounds/Arrived", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_ThinkingAudio, "Sounds/Thinking Audio", audio,
                                               "Customer Thinking");
    d.AddListReference<CDataReferenceProperty>(&C::m_ReadyToOrderAudio, "Sounds/Ready To Order Audio", audio,
                                               "Customer Decided");
    d.AddListReference<CDataReferenceProperty>(&C::m_MovedInAudio, "Sounds/Moved In Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_GettingMadAudio, "Sounds/Getting Mad Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MadFlashingStartedAudio, "Sounds/Mad Flashing Started Audio",
                                               audio, "Customer Mad Flashing");
    d.AddListReference<CDataReferenceProperty>(&C::m_LeavingAudio, "Sounds/Leaving Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_NotWhatIOrderedAudio, "Sounds/Not What I Ordered Audio", audio,
                                               nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_CantMoveInAudio, "Sounds/Cant Move In Audio", audio, nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_SelectedAudio, "Sounds/Selected Audio", audio, nullptr);
    d.Add(&C::m_TimeToThinkAboutOrder, "Time To Think About Order", 1.0f).Units("seconds");
}

CCustomerStyleSheet::CCustomerStyleSheet()
{
    InitDeclaredProperties();
}

CCustomerStyleSheet::~CCustomerStyleSheet()
{
    DestroyDeclaredProperties();
}

CCustomerStyleSheetList::CCustomerStyleSheetList()
    : CObjectArrayBaseTemplate<CCustomerStyleSheet>("Customer.txt")
{
}

void CCustomerStyleSheetList::SetSource(const char* name, const char* folder, uint32_t flags)
{
    CJString own(folder ? folder : "");
    if (!own.IsEmpty())
        own.Append("/");
    own.Append("Customers");
    CObjectArrayBaseTemplate<CCustomerStyleSheet>::SetSource(name, own.GetString(), flags);
}

CCustomerStyleSheetList& GetCustomerStyleSheetList()
{
    static auto* list = [] {
        auto* made = new CCustomerStyleSheetList;
        made->SetSource("Customer", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CCustomerStyleSheet* GetCustomerStyleSheet(int32_t index)
{
    CCustomerStyleSheetList& list = GetCustomerStyleSheetList();
    const int32_t count = list.GetCount();
    if (count <= 0)
        return nullptr;
    return list.GetObject(index >= 0 && index < count ? index : 0);
}
