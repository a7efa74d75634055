#pragma once
// The level timer a level start puts at the gameplay overlay's "Timer"
// marker: it only hands its update on to the next AI of its sprite. Its
// options describe how a timer looks (pages, sequences, hue remaps over
// time); nothing reads them yet.
#include "game/scripting/CSpriteAI.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

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

class CLevelTimerOptions : public CObject {
    OMBRISALT_REFLECTED(CLevelTimerOptions, CObject)
public:
    CLevelTimerOptions();
    ~CLevelTimerOptions() override;

    uint32_t m_NumberOfPages = 0;
    int32_t m_TimerSequence = 0;                          // sequence list index, -1 none
    CPropertyArray<int32_t> m_HueRemapperStyleSheetArray; // hue remapper style sheet indices
    int32_t m_ClosedSequence = 0;                         // sequence list index, -1 none
};
