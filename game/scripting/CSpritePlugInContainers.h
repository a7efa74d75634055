#pragma once
// The control flow of plug-in scripts, and the two triggers.
//
// Containers own their children ("m_PlugIns", an array of owned plug-ins):
//     sequence       one step at a time; a step that reports done is left
//                    for the next, which is restarted but not updated until
//                    the following step; after the last step it either
//                    wraps ("Repeat Sequence": step 0 is restarted twice,
//                    once by the wrap and once as the entered step) or stays
//                    past the end and reports done ("Stop");
//    random order    the same, the steps shuffled at each restart;
//    simultaneous    every child every step; done when any child is;
//    fast forward    the simultaneous update "Speed" times per step. Nested
//                    fast-forward blocks multiply, so the repetitions of one
//                    step are bounded as a whole by kMaxFastForwardSpeed.
// A message of type "AdvanceToNextItemInSequence" that no one has handled
// moves the first sequence on its road to the next step.
#include "game/scripting/CSpritePlugIn.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CTranslator.h"

#include <cstdint>

class CAction;
class CClassInfo;

using CPlugInArray = CPropertyArray<CSpritePlugIn*>;

inline constexpr uint32_t kMaxFastForwardSpeed = 3600;

enum class WhenDone : int32_t { RepeatSequence = 0, Stop = 1 };

class CSpritePlugInSequence : public CSpritePlugInProxy {
    OMBRISALT_REFLECTED(CSpritePlugInSequence, CSpritePlugInProxy)
public:
    CSpritePlugInSequence();
    ~CSpritePlugInSequence() override;

    uint32_t GetChildCount() override { return m_PlugIns.GetCount(); }
    CSpritePlugIn* GetChild(uint32_t i) override { return i < m_PlugIns.GetCount() ? m_PlugIns[i] : nullptr; }
    uint32_t GetActiveChildCount() override { return m_CurrentStepIndex < m_PlugIns.GetCount() ? 1 : 0; }
    CSpritePlugIn* GetActiveChild(uint32_t) override { return GetChild(m_CurrentStepIndex); }

    void HandleMessage(CMessage& message) override;
    void Update(CPlugInUpdateRecord& record) override;
    void Restart(CPlugInUpdateRecord& record) override;
    virtual void AdvanceToNextStep();

    // Takes ownership; appended after the last step.
    void AddStep(CSpritePlugIn* step);

    CPlugInArray m_PlugIns; // "Steps"
    uint32_t m_CurrentStepIndex = 0;
    int32_t m_WhenDone = 0; // WhenDone
};

class CSpritePlugInRandomOrderSequence : public CSpritePlugInSequence {
    OMBRISALT_REFLECTED(CSpritePlugInRandomOrderSequence, CSpritePlugInSequence)
public:
    CSpritePlugInRandomOrderSequence();
    ~CSpritePlugInRandomOrderSequence() override;

    // Shuffles the steps, then restarts as a sequence.
    void Restart(CPlugInUpdateRecord& record) override;
};

class CSpritePlugInSimultaneous : public CSpritePlugInProxy {
    OMBRISALT_REFLECTED(CSpritePlugInSimultaneous, CSpritePlugInProxy)
public:
    CSpritePlugInSimultaneous();
    ~CSpritePlugInSimultaneous() override;

    uint32_t GetChildCount() override { return m_PlugIns.GetCount(); }
    CSpritePlugIn* GetChild(uint32_t i) override { return i < m_PlugIns.GetCount() ? m_PlugIns[i] : nullptr; }

    // Takes ownership; appended after the last child.
    void AddPlugIn(CSpritePlugIn* plugIn);

    CPlugInArray m_PlugIns; // "Simultaneous PlugIns"
};

class CSpritePlugInFastForward : public CSpritePlugInSimultaneous {
    OMBRISALT_REFLECTED(CSpritePlugInFastForward, CSpritePlugInSimultaneous)
public:
    CSpritePlugInFastForward();
    ~CSpritePlugInFastForward() override;

    // Stops early once done, or when the sprite is marked for deletion.
    void Update(CPlugInUpdateRecord& record) override;

    uint32_t m_Speed = 0;
};

class CSpritePlugInTriggerActionEveryXSeconds : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInTriggerActionEveryXSeconds, CSpritePlugIn)
public:
    CSpritePlugInTriggerActionEveryXSeconds();
    ~CSpritePlugInTriggerActionEveryXSeconds() override;

    void Restart(CPlugInUpdateRecord& record) override;
    // Counts the fixed step whatever the record says.
    void Update(CPlugInUpdateRecord& record) override;

    float m_TimeToWait = 0.0f;
    CAction* m_Action = nullptr; // owned
    uint32_t m_RepeatLimit = 0;  // 0: never done
    float m_TimeLeft = 0.0f;
    uint32_t m_TriggersLeft = 0;
    bool m_Finished = false;
};

class CSpritePlugInTriggerActionWhenDestroyed : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInTriggerActionWhenDestroyed, CSpritePlugIn)
public:
    CSpritePlugInTriggerActionWhenDestroyed();
    ~CSpritePlugInTriggerActionWhenDestroyed() override;

    // Runs the action on "SpriteDestroyed".
    void HandleMessage(CMessage& message) override;

    CAction* m_Action = nullptr; // owned
};

// The editor's offers to turn a plug-in into a container of another kind
// (CTranslator): wrapping translators hold a copy of the source.
using CPlugInTranslator = CTranslator;

// The six plug-in translators, in a fixed order; built on first use.
uint32_t GetPlugInTranslatorCount();
const CPlugInTranslator& GetPlugInTranslator(uint32_t index);

// Registers the plug-in, action, reference and position classes, the old
// class names data may still use and the plug-in translators; idempotent.
void RegisterPlugInClasses();
