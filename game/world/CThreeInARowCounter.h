#pragma once
// The three-in-a-row counter's sprite AI. The bonus itself, its update and
// drawing belong to the business layer; what the rest of the game relies on
// is here: the bonus seconds left and the one current counter.
#include "game/scripting/CSpriteAI.h"

class CThreeInARowCounter : public CSpriteAI {
    OMBRISALT_REFLECTED(CThreeInARowCounter, CSpriteAI)
public:
    // Becomes the current counter.
    CThreeInARowCounter();
    // No counter is current afterwards, whichever this was.
    ~CThreeInARowCounter() override;

    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }

    bool IsBonusActive() const { return m_SecondsBonusLeft > 0.0f; }
    bool IsEndOfLevelCountdownStarted() const { return m_EndOfLevelCountdownStarted; }

    float m_SecondsBonusLeft = 0.0f; // "Num Seconds Bonus Left"

protected:
    bool m_EndOfLevelCountdownStarted = false;
    float m_CountdownSeconds = 0.0f;
    float m_CountdownStepSeconds = 0.0f;
};

// The current counter; null when there is none.
CThreeInARowCounter* GetThreeInARowCounter();
