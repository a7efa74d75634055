#pragma once
// Actions: one-shot deeds a script triggers (send a message to named
// sprites, broadcast one to the playfield). Callers use Execute, which
// bounds nesting: an action that sets itself off again through the messages
// it sends runs at most kMaxActionDepth levels deep, per action object.
#include "game/scripting/CScriptPosition.h"
#include "objects/CObject.h"

#include <cstdint>

class CSprite;

inline constexpr uint32_t kMaxActionDepth = 4;

struct CActionRecord {
    CSprite* sprite = nullptr; // on whose behalf the action runs
    bool handled = false;      // set when a receiver handled the message
};

class CAction : public CObject {
    OMBRISALT_REFLECTED(CAction, CObject)
public:
    CAction();
    ~CAction() override;

    virtual void Perform(CActionRecord& record) = 0;
    virtual void Execute(CActionRecord& record);

    uint32_t GetDepth() const { return m_Depth; }

private:
    uint32_t m_Depth = 0;
};

// To the sprite itself for the target "this" (exact), else to every sprite
// of the current playfield the target names (strictly), each a fresh
// message.
class CActionSendMessage : public CAction {
    OMBRISALT_REFLECTED(CActionSendMessage, CAction)
public:
    CActionSendMessage();
    ~CActionSendMessage() override;

    void Perform(CActionRecord& record) override;

    CJString m_Message;
    CScriptReferenceToTarget m_SpriteToSendTo;
};

// To the whole current playfield, last layer first.
class CActionBroadcastMessage : public CAction {
    OMBRISALT_REFLECTED(CActionBroadcastMessage, CAction)
public:
    CActionBroadcastMessage();
    ~CActionBroadcastMessage() override;

    void Perform(CActionRecord& record) override;

    CJString m_Message;
};
