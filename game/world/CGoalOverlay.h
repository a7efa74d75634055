#pragma once
// One optional goal of the current level shown inside an overlay set: its
// panel backdrop (open, achieved or failed look from "Goal Options"), the
// goal's own line, and the star effect when the goal has just been awarded.
#include "foundation/CPoint.h"
#include "overlays/CFrameOverlay.h"

#include <cstdint>

class CGoal;

class CFrameOverlayGoalOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayGoalOverlay, CFrameOverlay)
public:
    CFrameOverlayGoalOverlay();
    ~CFrameOverlayGoalOverlay() override;

    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;

    // The current level's goal at "Goal Number"; null when there is none.
    CGoal* GetGoal() const;

    uint32_t m_GoalNumber = 0;
    CPoint m_Positon{0, 0};
};
