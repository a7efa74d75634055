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
    int32_t m_AngryBackground = 0;        // "Angry Background", a sequence
    float m_BlinksPerMinute = 15.0f;      // "Blinks Per Minute"
    float m_BlinkDuration = 0.05f;        // "Blink Duration", seconds
    float m_MaximumWait = 90.0f;          // "Maximum Wait", seconds
    // Audio-list indexes; 0 or -1: none.
    int32_t m_ArrivedAudio = 0;           // "Sounds/Arrived"
    int32_t m_ThinkingAudio = 0;          // "Sounds/Thinking Audio"
    int32_t m_ReadyToOrderAudio = 0;      // "Sounds/Ready To Order Audio"
    int32_t m_MovedInAudio = 0;           // "Sounds/Moved In Audio"
    int32_t m_GettingMadAudio = 0;        // "Sounds/Getting Mad Audio"
    int32_t m_MadFlashingStartedAudio = 0; // "Sounds/Mad Flashing Started Audio"
    int32_t m_LeavingAudio = 0;           // "Sounds/Leaving Audio"
    int32_t m_NotWhatIOrderedAudio = 0;   // "Sounds/Not What I Ordered Audio"
    int32_t m_CantMoveInAudio = 0;        // "Sounds/Cant Move In Audio"
    int32_t m_SelectedAudio = 0;          // "Sounds/Selected Audio"
    float m_TimeToThinkAboutOrder = 1.0f; // "Time To Think About Order", seconds
};

// The style sheets keep a folder of their own, "Customers" under the folder
// the list is given, so that their names are bare.
class CCustomerStyleSheetList : public CObjectArrayBaseTemplate<CCustomerStyleSheet> {
public:
    CCustomerStyleSheetList();
    void SetSource(const char* name, const char* folder, uint32_t flags) override;
    // The browser's item (StyleSheetBrowserItems.h).
    ImageBrowserItemFactory GetItemFactory() override;
};
// "Customer", read from "Resources/Customers", "Customer.txt"; made on
// first use.
CCustomerStyleSheetList& GetCustomerStyleSheetList();
// The entry at index, loaded on demand; an index outside the list reads
// entry 0 (null only while the list is empty).
CCustomerStyleSheet* GetCustomerStyleSheet(int32_t index);
