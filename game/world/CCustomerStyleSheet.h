#pragma once
// One kind of customer; customers and periods name it by its index in the
// customer style list.
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"

#include <cstdint>

class CCustomerStyleSheet : public CObject {
    OMBRISALT_REFLECTED(CCustomerStyleSheet, CObject)
public:
    CCustomerStyleSheet();
    ~CCustomerStyleSheet() override;

    int32_t m_Appearance = 0;             // "Appearance", a sequence
    int32_t m_ScenarioGoalAppearance = 0; // "Scenario Goal Appearance", a sequence
};

class CCustomerStyleSheetList : public CObjectArrayBaseTemplate<CCustomerStyleSheet> {
public:
    CCustomerStyleSheetList();
};
// "Customer" under "Resources", "Customer.txt"; made on first use.
CCustomerStyleSheetList& GetCustomerStyleSheetList();
