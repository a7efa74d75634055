#pragma once
// "Lot Options" of the general objects: the lot grid's geometry and how a
// move-in is shown. Sequences, fonts and overlay options are list indexes.
#include "foundation/CPoint.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "objects/CObject.h"

#include <cstdint>

class CLotOptions : public CObject {
    OMBRISALT_REFLECTED(CLotOptions, CObject)
public:
    CLotOptions();
    ~CLotOptions() override;

    // "Lot Options" of the general objects list; its absence is fatal.
    static CLotOptions* SGetInstance();

    // The screen place of a grid coordinate (column, row).
    CPoint GetLotPosition(CPoint grid) const;

    int32_t m_TimeWaitedFont = -1;                  // "Time Waited Font"
    CPoint m_TimeWaitedOffset{0, 0};                // "Time Waited Offset"
    CPoint m_FirstLotPosition{375, 80};             // "First Lot Position"
    CPoint m_LotPositionRowOffset{0, 160};          // "Lot Position Row Offset"
    CPoint m_LotPositionColumnOffset{173, 0};       // "Lot Position Column Offset"
    int32_t m_MoveInEffectSequence = -1;            // "Move In Effect Sequence"
    int32_t m_ScoreBalloonFoo = -1;                 // "Score Balloon Foo", frame-overlay options
    float m_ScoreBalloonDuration = 2.0f;            // "Score Balloon Duration", seconds
    CPoint m_ScoreBalloonPosition{0, 0};            // "Score Balloon Position"
    CPoint m_LotGridDrawRectUpperLeft{0, 0};        // "Lot Grid Draw Rect Upper Left"
    CPoint m_LotGridDrawRectLowerRight{1024, 768};  // "Lot Grid Draw Rect Lower Right"
    float m_ScenicBonus = 0.2f;                     // "Scenic Lot/Scenic Bonus", a fraction
    int32_t m_ScenicLotImage = -1;                  // "Scenic Lot/Scenic Lot Image"
    CPoint m_ScenicLotImageOffset{0, 0};            // "Scenic Lot/Scenic Lot Image Offset"
    CSpritePlugInSimultaneous m_LotPlugIn;          // "Scripting/Lot Plug In"
};
