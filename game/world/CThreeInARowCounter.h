#pragma once
// The three-in-a-row counter's sprite AI. The bonus itself, its update and
// drawing belong to the business layer (through the hooks below); what the
// rest of the game relies on is here: the bonus seconds left and the one
// current counter.
#include "foundation/UpwardHook.h"
#include "game/scripting/CSpriteAI.h"

class CThreeInARowCounter : public CSpriteAI {
    OMBRISALT_REFLECTED(CThreeInARowCounter, CSpriteAI)
public:
    // Becomes the current counter.
    CThreeInARowCounter();
    // No counter is current afterwards, whichever this was.
    ~CThreeInARowCounter() override;

    void Update(CSpriteUpdateRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;

    bool IsBonusActive() const { return m_SecondsBonusLeft > 0.0f; }
    bool IsEndOfLevelCountdownStarted() const { return m_EndOfLevelCountdownStarted; }

    float m_SecondsBonusLeft = 0.0f; // "Num Seconds Bonus Left"

    // Not saved: the end-of-level phase that pays the bonus left as money.
    bool m_EndOfLevelCountdownStarted = false;
    float m_DelayBeforeCountdown = 0.0f; // seconds
    float m_DelayBeforeEnd = 0.0f;       // seconds
    float m_RepeatingSoundTimer = 0.0f;  // in bonus seconds counted down
    float m_SecondsSincePhaseBegan = 0.0f;
};

// The current counter; null when there is none.
CThreeInARowCounter* GetThreeInARowCounter();

// The counter's behaviour, filled by the business layer. Uninstalled, the
// counter only passes its update and drawing on along its AI chain.
class CThreeInARowCounterHooks {
public:
    virtual ~CThreeInARowCounterHooks() = default;
    virtual void Update(CThreeInARowCounter& counter, CSpriteUpdateRecord& record) { counter.UpdateNextAI(record); }
    virtual void Draw(CThreeInARowCounter& counter, CSpriteDrawRecord& record) { counter.CSpriteAI::Draw(record); }
};

// Installs hooks (null: none); returns the previous ones. The caller keeps
// ownership.
CThreeInARowCounterHooks* SetThreeInARowCounterHooks(CThreeInARowCounterHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetThreeInARowCounterHooks);
CThreeInARowCounterHooks& GetThreeInARowCounterHooks();
