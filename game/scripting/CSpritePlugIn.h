#pragma once
// Sprite plug-ins: the data-written scripts of sprites. Every node of a
// script tree derives CSpritePlugIn; nodes with children derive
// CSpritePlugInProxy, which forwards each hook to its children.
//
// A sprite drives its root block once per game step:
//     Restart   once before the first Update, and whenever the node becomes
//               active again (a sequence step entered, a state entered);
//     Update    with the fixed step (kPlugInStepSeconds); a node sets
//               record.done to say it has finished (a sequence then moves on);
//     PreDraw, Draw, PostDraw   into the sprite-space frame, where (0, 0) is
//               the sprite's position and drawing turns and scales with it;
//     HandleMessage   receivers mark the message handled; containers pass it
//               only to their active children.
// The proxy re-reads its child count before each child, so a child list that
// changes while a hook runs is followed, and skips null children.
#include "foundation/CArrayPOD.h"
#include "game/scripting/CExpression.h"
#include "objects/CObject.h"

#include <cstdint>

class CFrameInterface;
class CMessage;
class CSprite;
class CSpritePlugIn;

// The fixed game step every sprite passes (the float nearest 1/60).
inline constexpr float kPlugInStepSeconds = 1.0f / 60.0f;

struct CPlugInUpdateRecord {
    float seconds = kPlugInStepSeconds;
    bool done = false;
};

struct CPlugInDrawRecord {
    CFrameInterface* spriteFrame = nullptr; // the sprite's offset-rotate-scale proxy
    CFrameInterface* destination = nullptr;
};

// What an expression is evaluated for on behalf of a plug-in: the owning
// sprite (also as the base context's object) and the chain of plug-ins
// that asked, the evaluating one last.
struct CSpriteScriptContext : CScriptContext {
    CSpriteScriptContext(CSprite* owner, CSpritePlugIn* asking);

    CSprite* sprite = nullptr;
    CArrayPOD<CSpritePlugIn*> chain;
};

class CSpritePlugIn : public CObject {
    OMBRISALT_REFLECTED(CSpritePlugIn, CObject)
public:
    CSpritePlugIn();
    ~CSpritePlugIn() override;

    virtual void HandleMessage(CMessage&) {}
    virtual void SetSprite(CSprite* sprite) { m_Sprite = sprite; }
    virtual void Update(CPlugInUpdateRecord&) {}
    virtual void Restart(CPlugInUpdateRecord&) {}
    virtual void Signal(uint8_t& /*flag*/) {}
    virtual void PreDraw(CPlugInDrawRecord&) {}
    virtual void Draw(CPlugInDrawRecord&) {}
    virtual void PostDraw(CPlugInDrawRecord&) {}
    // Values may carry pointers, hence pointer-sized.
    virtual intptr_t Fold(intptr_t value, intptr_t /*argument*/) { return value; }

    CSprite* GetSprite() const { return m_Sprite; }
    // 0 (or the empty text) for a null expression; else evaluated in a
    // context of the owning sprite and this plug-in.
    float EvaluateFloat(CExpression* expression);
    void EvaluateText(CExpression* expression, CJString& out);

protected:
    // False without a sprite.
    bool IsSpriteMarkedForDeletion() const;

    CSprite* m_Sprite = nullptr; // not owned
};

class CSpritePlugInProxy : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInProxy, CSpritePlugIn)
public:
    CSpritePlugInProxy();
    ~CSpritePlugInProxy() override;

    virtual uint32_t GetChildCount() = 0;
    virtual CSpritePlugIn* GetChild(uint32_t i) = 0; // may be null
    // Those taking part in the current step.
    virtual uint32_t GetActiveChildCount() { return GetChildCount(); }
    virtual CSpritePlugIn* GetActiveChild(uint32_t i) { return GetChild(i); }

    void HandleMessage(CMessage& message) override;
    // Every child, active or not.
    void SetSprite(CSprite* sprite) override;
    // Done when any active child reported done; each child starts cleared.
    void Update(CPlugInUpdateRecord& record) override;
    void Restart(CPlugInUpdateRecord& record) override;
    // Stops after the first child that left the flag non-zero.
    void Signal(uint8_t& flag) override;
    void PreDraw(CPlugInDrawRecord& record) override;
    void Draw(CPlugInDrawRecord& record) override;
    void PostDraw(CPlugInDrawRecord& record) override;
    // Through every child in order, each result feeding the next.
    intptr_t Fold(intptr_t value, intptr_t argument) override;
};
