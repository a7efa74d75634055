#include "game/scripting/CSpritePlugInStateMachine.h"

#include "game/scripting/ScriptingClassBody.h"
#include "objects/CMessage.h"
#include "objects/CObjectProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CStringProperty.h"

OMBRISALT_SCRIPTING_CLASS(CState, 1.0)
void CState::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CState::m_MessageToWaitFor, "Message To Wait For", "");
    d.AddEmbedded(&CState::m_Sequence, "Sequence");
}

OMBRISALT_SCRIPTING_CLASS(CSpritePlugInStateMachine, 1.0)
void CSpritePlugInStateMachine::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CState>>(&CSpritePlugInStateMachine::m_States, "States", "State", nullptr);
}

CSpritePlugIn* CSpritePlugInStateMachine::GetChild(uint32_t i)
{
    if (i >= m_States.GetCount() || !m_States[i])
        return nullptr;
    return &m_States[i]->m_Sequence;
}

void CSpritePlugInStateMachine::AddState(CState* state)
{
    auto* property = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("States"));
    const uint32_t count = m_States.GetCount();
    property->ArrayProperty_SetCount(this, count + 1);
    m_States[count] = state;
}

void CSpritePlugInStateMachine::EnterState(uint32_t index)
{
    m_CurrentState = index;
    if (CSpritePlugIn* active = GetActiveChild(0)) {
        CPlugInUpdateRecord record;
        active->Restart(record);
    }
}

void CSpritePlugInStateMachine::Restart(CPlugInUpdateRecord&)
{
    EnterState(0);
}

void CSpritePlugInStateMachine::HandleMessage(CMessage& message)
{
    const char* name = GetMessageTypeName(message.GetType());
    if (!name)
        name = "";
    for (uint32_t i = 0; i < m_States.GetCount(); ++i) {
        CState* state = m_States[i];
        if (state && state->m_MessageToWaitFor.CompareNoCase(name) == 0) {
            EnterState(i);
            message.SetHandled();
            return;
        }
    }
    CSpritePlugInProxy::HandleMessage(message);
}
