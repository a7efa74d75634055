#pragma once
// The level timer a level start puts at the gameplay overlay's "Timer"
// marker: it only hands its update on to the next AI of its sprite.
#include "game/scripting/CSpriteAI.h"

class CLevelTimer : public CSpriteAI {
    OMBRISALT_REFLECTED(CLevelTimer, CSpriteAI)
public:
    // Becomes the most recent timer.
    CLevelTimer();
    // Clears the most recent timer only when it is this one.
    ~CLevelTimer() override;

    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
};

// The most recently constructed timer still alive, or null.
CLevelTimer* GetLevelTimer();
