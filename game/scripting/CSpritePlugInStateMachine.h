#pragma once
// A script that switches behaviour on named messages. Each state names the
// message that makes it current and holds the sequence that runs while it
// is. The machine starts in state 0 at every restart; a message whose name
// matches a state (the first such state, names compared case-blind) enters
// that state, restarting its sequence even when it is already current, and
// goes no further. Any other message reaches the current state's sequence.
// There is no transition on done: the machine reports done when the current
// sequence does.
#include "game/scripting/CSpritePlugInContainers.h"

#include <cstdint>

class CState : public CObject {
    OMBRISALT_REFLECTED(CState, CObject)
public:
    CState();
    ~CState() override;

    CJString m_MessageToWaitFor;
    CSpritePlugInSequence m_Sequence;
};

class CSpritePlugInStateMachine : public CSpritePlugInProxy {
    OMBRISALT_REFLECTED(CSpritePlugInStateMachine, CSpritePlugInProxy)
public:
    CSpritePlugInStateMachine();
    ~CSpritePlugInStateMachine() override;

    // Every state's sequence; null for a null state.
    uint32_t GetChildCount() override { return m_States.GetCount(); }
    CSpritePlugIn* GetChild(uint32_t i) override;
    // The current state's sequence alone.
    uint32_t GetActiveChildCount() override { return 1; }
    CSpritePlugIn* GetActiveChild(uint32_t) override { return GetChild(m_CurrentState); }

    void HandleMessage(CMessage& message) override;
    void Restart(CPlugInUpdateRecord& record) override;
    virtual void EnterState(uint32_t index);

    // Takes ownership; appended after the last state.
    void AddState(CState* state);
    uint32_t GetCurrentState() const { return m_CurrentState; }

    CPropertyArray<CState*> m_States;

private:
    uint32_t m_CurrentState = 0;
};
