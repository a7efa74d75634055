#pragma once
// Every number and asset the customers share: the line layout, the hearts,
// the balloon, the timings and the script each customer sprite runs. One
// general object, "Customer Options"; the game only reads it.
#include "foundation/CFPoint.h"
#include "foundation/CPoint.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CCustomerOptions : public CObject {
    OMBRISALT_REFLECTED(CCustomerOptions, CObject)
public:
    CCustomerOptions();
    ~CCustomerOptions() override;

    CFPoint m_FrontOfLine{0.0f, 0.0f};                // "Front Of Line"
    CFPoint m_SpaceBetweenPeopleInLine{0.0f, 0.0f};   // "Space Between People In Line"
    float m_MoveSpeed = 0.0f;                         // "Move Speed", pixels a second
    int32_t m_BalloonAppearance = 0;                  // sequence indexes here: 0 or -1 none
    int32_t m_NeedMenuAppearance = 0;
    CFPoint m_BoxOffset{0.0f, 0.0f};                  // "Box Offset"
    CFPoint m_WantedItemsOffset{70.0f, -78.0f};       // "Wanted Items Offset"
    int32_t m_LevelTimeFont = 0;                      // fonts; 0 none
    float m_GetMadWhenHeartsReaches = 2.0f;           // "Get Mad When Hearts Reaches"
    float m_ThoughtScale = 0.6f;                      // stored only
    CFPoint m_ThoughtPosition{0.0f, 0.0f};            // stored only
    CFPoint m_FirstHeartOffset{0.0f, 0.0f};           // "Hearts/First Heart Offset"
    CFPoint m_OffsetBetweenHearts{0.0f, 0.0f};        // "Hearts/Offset Between Hearts"
    int32_t m_FullHeartSequence = 0;
    int32_t m_EmptyHeartSequence = 0;
    int32_t m_EmptyHeartWarningSequence = 0;
    float m_SecondsPerHeart = 10.0f;                  // "Hearts/Seconds Per Hearts"
    float m_VictoryPoseTime = 2.5f;                   // stored only
    CPropertyArray<int32_t> m_BuildPhaseDrawOrder;    // build phases
    float m_AngryFlashDuration = 500.0f;              // "Angry Flash Duration", seconds
    float m_AngryFlashInterval = 1.0f;                // seconds per flash
    float m_AngryFlashEaseInOut = 0.2f;
    uint32_t m_PacifierMaxHearts = 6;                 // "Pacifier/Max Number Of Customer Hearts"
    float m_PacifierMaxHeartPercentToFill = 0.5f;     // "Pacifier/Max Heart Percent To Fill"
    CSpritePlugInSimultaneous m_CustomerScript;       // "Scripting/Customer"
    float m_CustomerMoveInSpeed = 800.0f;             // "Scripting/Customer Move In Speed"
    int32_t m_CustomerHighlightSequence = 0;          // sequences; 0 none
    CPoint m_CustomerHighlightOffset{0, 0};           // "Customer/Customer Highlight Offset"
    bool m_ShowVictoryPoseInHoverCursor = true;
    float m_PowerupDecisionSpeedMultiplier = 1.0f;    // while the three-in-a-row bonus runs
    float m_FirstCustomerDelay = 1.5f;                // "First Customer Delay ", seconds
    float m_CanSelectCustomerDelay = 3.0f;            // "Can Select Customer Delay ", seconds
};

// The general object "Customer Options", looked up on every call; a data
// set without it is the general objects' fatal missing-item report.
CCustomerOptions& GetCustomerOptions();
// The same, or null when the data set has none.
CCustomerOptions* FindCustomerOptions();
