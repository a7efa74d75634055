#pragma once
// A tutorial pop-up message; the rules name the shop's ("Shopping Tutorial").
// A message is known by its index in the tutorial list, 0 = none. What the
// pop-up does with these fields lives with the game screens.
#include "foundation/CFPoint.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CExpression;

class CTutorial : public CObject {
    OMBRISALT_REFLECTED(CTutorial, CObject)
public:
    CTutorial();
    ~CTutorial() override;

    CTranslatedText m_Text;           // "Text"
    CFPoint m_ArrowPoint{0.0f, 0.0f}; // screen pixels; (0, 0): no arrow
    float m_ArrowAngle = 0.0f;        // degrees
    CFPoint m_Arrow2Point{0.0f, 0.0f};
    float m_Arrow2Angle = 0.0f;
    CJString m_MessageToSend;                            // sent to the level on open
    CJString m_SuccessMessageToWaitFor;                  // a message name
    CExpression* m_SuccessExpressionToWaitFor = nullptr; // owned; may be null
    int32_t m_NextTutorialAfterSuccess = 0;              // tutorial list; none: 0 or less
    CJString m_FailureMessageToWaitFor;
    CExpression* m_FailureExpressionToWaitFor = nullptr;
    int32_t m_TutorialAfterFailure = 0;
};

class CTutorialList : public CObjectArrayBaseTemplate<CTutorial> {
public:
    CTutorialList();
};
// "Tutorial" under "Resources", "Tutorial.txt"; made on first use.
CTutorialList& GetTutorialList();
// The entry, or null for none and indexes outside the list.
CTutorial* GetTutorialAt(int32_t index);
