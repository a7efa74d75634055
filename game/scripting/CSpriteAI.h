#pragma once
// CSpriteAI: behaviour written in code. A sprite holds a chain of AIs and
// calls only the first; each default below that passes a call on hands the
// same record to the next AI, so every AI sees every hook once, in the order
// of AddAI. An AI that overrides a hook decides whether to pass it on.
// GetBounds is never passed on: only the first AI may change the bounds.
//
// Deleting an AI deletes its successor, so deleting the head ends the chain.
#include "objects/CObject.h"

#include <cstdint>

class CCommand;
class CFrameInterface;
class CMessage;
class CPointPath;
class CSprite;
struct CRect;

// What an AI's Update is given; the sprite always passes 1/60 s.
struct CSpriteUpdateRecord {
    CSprite* sprite = nullptr;
    float seconds = 0.0f;
};

// What the AI draw hooks are given.
struct CSpriteDrawRecord {
    CSprite* sprite = nullptr;
    CFrameInterface* spriteFrame = nullptr; // the sprite's offset-rotate-scale proxy of destination
    CFrameInterface* destination = nullptr;
};

class CSpriteAI : public CObject {
    OMBRISALT_REFLECTED(CSpriteAI, CObject)
public:
    CSpriteAI();
    ~CSpriteAI() override;

    virtual void OnAddedToSprite(CSprite*) {}
    virtual intptr_t CustomQuery1(intptr_t, intptr_t) { return 0; }
    virtual void Update(CSpriteUpdateRecord& record) = 0;
    virtual void OnPreDraw(CSprite*, CFrameInterface&) {}
    virtual void PreDraw(CSpriteDrawRecord& record);
    virtual intptr_t CustomQuery2(intptr_t, intptr_t) { return 0; }
    virtual void OnDraw(CSprite*, CFrameInterface&) {}
    virtual void Draw(CSpriteDrawRecord& record);
    virtual void OnPostDraw(CSprite*, CFrameInterface&) {}
    virtual void PostDraw(CSpriteDrawRecord& record);
    virtual void GetBounds(CRect&) {}
    virtual bool Query(CSprite* sprite, intptr_t a, intptr_t b);
    virtual bool CustomTest(intptr_t) { return true; }
    virtual void HandleMessage(CMessage& message);
    virtual intptr_t CustomQuery3(intptr_t, intptr_t) { return 0; }
    virtual void OnPlainDraw(CSprite*, CFrameInterface&) {}
    virtual intptr_t CustomQuery4(intptr_t, intptr_t) { return 0; }
    virtual void OnNotify(CSprite*, intptr_t) {}
    virtual CPointPath* GetHitArea(CSprite* sprite);

    void UpdateNextAI(CSpriteUpdateRecord& record);

    CSpriteAI* GetNextAI() const { return m_Next; }
    void SetNextAI(CSpriteAI* next) { m_Next = next; }
    CSprite* GetSprite() const { return m_Sprite; }
    void SetSprite(CSprite* sprite) { m_Sprite = sprite; }

private:
    CSpriteAI* m_Next = nullptr;
    CSprite* m_Sprite = nullptr;
};

// Plays a sequence once on its sprite, optionally fading out over the last
// part of the play, then marks the sprite for deletion.
class CSpriteAIPlayAnimationOnce : public CSpriteAI {
    OMBRISALT_REFLECTED(CSpriteAIPlayAnimationOnce, CSpriteAI)
public:
    CSpriteAIPlayAnimationOnce();
    ~CSpriteAIPlayAnimationOnce() override;

    void Update(CSpriteUpdateRecord& record) override;

    float m_FadeFraction = 0.0f;  // "Fraction Of Life Spent Fading Out"
    int32_t m_Sequence = 0;       // "Sequence", a sequence-list reference (-1: none)
    float m_SecondsToPlay = 0.0f; // "Seconds To Play"; 0 = the sequence's own rate
};

// Flies its sprite to a point at a fixed speed; on arrival the sprite is
// marked for deletion and the command, if any, runs last (it may end the
// sprite). Built in code only: it has no class of its own, so it is not saved.
class CSpriteAIFlyToPoint : public CSpriteAI {
public:
    // speed in pixels per second; the command is owned and may be null.
    CSpriteAIFlyToPoint(float x, float y, float speed, CCommand* command);
    ~CSpriteAIFlyToPoint() override;

    void Update(CSpriteUpdateRecord& record) override;
    // Played in a loop on the way; 0 = none.
    void SetAnimationSequence(uint32_t index) { m_AnimationSequence = index; }

private:
    float m_TargetX;
    float m_TargetY;
    float m_SpeedPerStep;
    CCommand* m_Command;
    uint32_t m_AnimationSequence = 0;
};
