#include "game/world/CTutorial.h"

#include "game/scripting/CExpression.h"
#include "game/world/ListReferences.h"
#include "objects/CFloatProperty.h"
#include "objects/CPointProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CTutorial, 1.0)

void CTutorial::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CTutorial;
    d.Add(&C::m_Text, "Text", "Blah text blah").EditLines(4);
    d.Add(&C::m_ArrowPoint, "Arrow Point", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_ArrowAngle, "Arrow Angle", 0.0f).Units("degrees").Range(0.0f, 360.0f);
    d.Add(&C::m_Arrow2Point, "Arrow 2 Point", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_Arrow2Angle, "Arrow 2 Angle", 0.0f).Units("degrees").Range(0.0f, 360.0f);
    d.Add(&C::m_MessageToSend, "Script/Message To Send", "");
    d.Add(&C::m_SuccessMessageToWaitFor, "Script/Success Message To Wait For", "");
    d.Add<CExpressionProperty>(&C::m_SuccessExpressionToWaitFor, "Script/Success Expression To Wait For", nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_NextTutorialAfterSuccess, "Script/Next Tutorial After Success",
                                              &GetTutorialList(), nullptr);
    d.Add(&C::m_FailureMessageToWaitFor, "Script/Failure Message To Wait For", "");
    d.Add<CExpressionProperty>(&C::m_FailureExpressionToWaitFor, "Script/Failure Expression To Wait For", nullptr);
    d.AddListReference<CNoneableListProperty>(&C::m_TutorialAfterFailure, "Script/Tutorial After Failure",
                                              &GetTutorialList(), nullptr);
}

CTutorial::CTutorial()
{
    InitDeclaredProperties();
}

CTutorial::~CTutorial()
{
    DestroyDeclaredProperties();
}

CTutorialList::CTutorialList()
    : CObjectArrayBaseTemplate<CTutorial>("Tutorial.txt")
{
}

CTutorialList& GetTutorialList()
{
    static auto* list = [] {
        auto* made = new CTutorialList;
        made->SetSource("Tutorial", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CTutorial* GetTutorialAt(int32_t index)
{
    CTutorialList& list = GetTutorialList();
    return index > 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}
