#pragma once
// The leaves of plug-in scripts: waits, the If, sounds, spawned sprites,
// animations and floating texts, messages, fades, sequences played over the
// sprite, value displays and self-deletion.
//
// Timing: waits count the fixed step (kPlugInStepSeconds) per update, so a
// fast-forward block counts each of its repetitions; the over-time leaves
// add the record's seconds. Both in float, as written: a wait of 1 s ends on
// the 61st update, since sixty steps leave a hair above zero.
//
// Leaves never report errors: a missing sound, prototype, sequence or layer
// is skipped (a layer is made by name), and the leaf still reports done.
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpritePlugIn.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CPrintPlugIn;
class CSpriteAI;

class CSpritePlugInWaitXSeconds : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInWaitXSeconds, CSpritePlugIn)
public:
    CSpritePlugInWaitXSeconds();
    ~CSpritePlugInWaitXSeconds() override;

    void Restart(CPlugInUpdateRecord& record) override;
    void Update(CPlugInUpdateRecord& record) override;
    // The seconds left rounded up, or in the level editor the whole wait.
    void Draw(CPlugInDrawRecord& record) override;
    // "Wait X Seconds", X being the wait's own description.
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CExpression* m_TimeToWait = nullptr;        // owned; the constant 2 by default
    CPrintPlugIn* m_CountdownDisplay = nullptr; // owned; shows nothing by default
    float m_TimeLeft = 0.0f;
};

class CSpritePlugInWaitForMessage : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInWaitForMessage, CSpritePlugIn)
public:
    CSpritePlugInWaitForMessage();
    ~CSpritePlugInWaitForMessage() override;

    // Forgets a message received before.
    void Restart(CPlugInUpdateRecord& record) override;
    void HandleMessage(CMessage& message) override;
    void Update(CPlugInUpdateRecord& record) override;

    CJString m_MessageToWaitFor;
    uint32_t m_MessageType = 0;
    bool m_Received = false;
};

class CSpritePlugInWaitForExpression : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInWaitForExpression, CSpritePlugIn)
public:
    CSpritePlugInWaitForExpression();
    ~CSpritePlugInWaitForExpression() override;

    void Update(CPlugInUpdateRecord& record) override;

    CExpression* m_Condition = nullptr; // owned
};

class CSpritePlugInPlayAudio : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInPlayAudio, CSpritePlugIn)
public:
    CSpritePlugInPlayAudio();
    ~CSpritePlugInPlayAudio() override;

    void Update(CPlugInUpdateRecord& record) override;

    int32_t m_SoundFX = 0; // audio-list reference; 0 = none
};

class CSpritePlugInSpawnSprite : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInSpawnSprite, CSpritePlugIn)
public:
    CSpritePlugInSpawnSprite();
    ~CSpritePlugInSpawnSprite() override;

    // Appends the new sprite at the end of its layer.
    void Update(CPlugInUpdateRecord& record) override;

    CSpriteAI* m_SpriteAI = nullptr; // owned prototype; each spawn gets a clone
    CPoint m_Position{};
    bool m_SpriteCentricPosition = false;
    CJString m_LayerName;
};

class CSpritePlugInSpawnAnimation : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInSpawnAnimation, CSpritePlugIn)
public:
    CSpritePlugInSpawnAnimation();
    ~CSpritePlugInSpawnAnimation() override;

    // Inserts the new sprite at the front of its layer.
    void Update(CPlugInUpdateRecord& record) override;

    int32_t m_Sequence = 0; // sequence-list reference; 0 = none
    CFPoint m_PositionOffset{};
    CJString m_LayerName;
};

class CSpritePlugInSpawnFloatingText : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInSpawnFloatingText, CSpritePlugIn)
public:
    CSpritePlugInSpawnFloatingText();
    ~CSpritePlugInSpawnFloatingText() override;

    void Update(CPlugInUpdateRecord& record) override;

    CExpression* m_Message = nullptr; // owned
    CFPoint m_PositionOffset{};
};

class CBroadcastMessageSpritePlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CBroadcastMessageSpritePlugIn, CSpritePlugIn)
public:
    CBroadcastMessageSpritePlugIn();
    ~CBroadcastMessageSpritePlugIn() override;

    // One message to the current level, then a fresh one to the playfield.
    void Update(CPlugInUpdateRecord& record) override;

    CJString m_MessageToSend;
};

class CSpritePlugInDeleteSelf : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInDeleteSelf, CSpritePlugIn)
public:
    CSpritePlugInDeleteSelf();
    ~CSpritePlugInDeleteSelf() override;

    void Update(CPlugInUpdateRecord& record) override;
};

enum class PlugInDrawPass : int32_t { Default = 0, Pre = 1, Post = 2 };

class CSpritePlugInPlaySequence : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInPlaySequence, CSpritePlugIn)
public:
    CSpritePlugInPlaySequence();
    ~CSpritePlugInPlaySequence() override;

    void Restart(CPlugInUpdateRecord& record) override;
    // With no time to display, done after one play of the sequence.
    void Update(CPlugInUpdateRecord& record) override;
    void PreDraw(CPlugInDrawRecord& record) override;
    void Draw(CPlugInDrawRecord& record) override;
    void PostDraw(CPlugInDrawRecord& record) override;

    int32_t m_Sequence = 0; // sequence-list reference; 0 = none
    float m_TimeToDisplay = 0.0f;
    int32_t m_DrawType = 0; // PlugInDrawPass
    CPoint m_Offset{};
    float m_TimeDisplaying = 0.0f; // elapsed

private:
    void DrawFrame(CPlugInDrawRecord& record);
};

class CSpritePlugInOpacityOverTime : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInOpacityOverTime, CSpritePlugIn)
public:
    CSpritePlugInOpacityOverTime();
    ~CSpritePlugInOpacityOverTime() override;

    // The elapsed time is kept over restarts: a second pass is done at once.
    void Update(CPlugInUpdateRecord& record) override;

    CPropertyArray<float> m_Opacities;
    float m_SecondsToShift = 0.0f;
    float m_SecondsShifting = 0.0f; // elapsed
};

class CSpritePlugInDisplayValue : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInDisplayValue, CSpritePlugIn)
public:
    CSpritePlugInDisplayValue();
    ~CSpritePlugInDisplayValue() override;

    // Never done.
    void Draw(CPlugInDrawRecord& record) override;

    CExpression* m_Value = nullptr;    // owned
    CPrintPlugIn* m_Display = nullptr; // owned
};

// A holder for trying expressions in the editor; does nothing in play.
class CSpritePlugInExpressionTester : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInExpressionTester, CSpritePlugIn)
public:
    CSpritePlugInExpressionTester();
    ~CSpritePlugInExpressionTester() override;

    CPropertyArray<CExpression*> m_Expressions;
    bool m_ShowExpression = false;
};

enum class EvaluateCondition : int32_t { EveryTime = 0, OnlyAtBeginning = 1 };

// Runs "Then" while the condition holds and "Else" while it does not; the
// one to run is done or missing: the If is done.
class CSpritePlugInIf : public CSpritePlugInProxy {
    OMBRISALT_REFLECTED(CSpritePlugInIf, CSpritePlugInProxy)
public:
    CSpritePlugInIf();
    ~CSpritePlugInIf() override;

    uint32_t GetChildCount() override { return 2; }
    CSpritePlugIn* GetChild(uint32_t i) override { return i == 0 ? m_Then : i == 1 ? m_Else : nullptr; }
    uint32_t GetActiveChildCount() override { return 1; }
    CSpritePlugIn* GetActiveChild(uint32_t) override { return m_Result ? m_Then : m_Else; }

    void Update(CPlugInUpdateRecord& record) override;
    // With "Restart When Condition Changes" only the branch of the last
    // result restarts, else both.
    void Restart(CPlugInUpdateRecord& record) override;

    CExpression* m_Condition = nullptr; // owned
    int32_t m_EvaluateCondition = 0;    // EvaluateCondition
    CSpritePlugIn* m_Then = nullptr;    // owned
    CSpritePlugIn* m_Else = nullptr;    // owned
    bool m_RestartWhenConditionChanges = false;
    bool m_Evaluated = false;
    bool m_Result = false;
};

// Registers the leaf classes and the old names data may use; idempotent.
void RegisterLeafPlugInClasses();
