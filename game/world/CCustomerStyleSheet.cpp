#include "game/world/CCustomerStyleSheet.h"

#include "game/world/ListReferences.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CCustomerStyleSheet, 1.0)

void CCustomerStyleSheet::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CCustomerStyleSheet;
    d.AddListReference<CNoneableListProperty>(&C::m_Appearance, "Appearance", &GetSequenceList(), nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_ScenarioGoalAppearance, "Scenario Goal Appearance",
                                              &GetSequenceList(), nullptr);
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

CCustomerStyleSheetList& GetCustomerStyleSheetList()
{
    static auto* list = [] {
        auto* made = new CCustomerStyleSheetList;
        made->SetSource("Customer", "Resources", 0);
        return made;
    }();
    return *list;
}
