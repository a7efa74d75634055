#pragma once
// The three-in-a-row bonus: three matching houses in a row grant timed
// "mega" click assists. The world's CThreeInARowCounter holds the seconds
// left; its update, drawing and bonus live here as functions over it, and
// its tuning in the general object "Three In A Row Options".
//
// Normal play runs the bonus down by the frame's seconds (twelve times
// slower in a tutorial level that requires the mega click assist) until the
// player's interaction is complete. At the end of the customers the seconds
// left are counted down at "Countdown Multiplier" bonus seconds per second
// and paid out as money: per bonus second, "Percent Of Average Lot" of the
// game state's average lot value.
#include "foundation/CFPoint.h"
#include "game/scripting/CSpriteAI.h"
#include "objects/CObject.h"

#include <cstdint>

class CThreeInARowCounter;
struct SSparkleOptions;

class CThreeInARowCounterOptions : public CObject {
    OMBRISALT_REFLECTED(CThreeInARowCounterOptions, CObject)
public:
    CThreeInARowCounterOptions();
    ~CThreeInARowCounterOptions() override;

    float m_SecondsBonusLasts = 5.0f;               // "Seconds Bonus Lasts"
    float m_MaximumBonusTime = 20.0f;               // "Maximum Bonus Time", seconds
    float m_FractionPerClickWithoutBonus = 0.01f;   // "Fraction Per Click Without Bonus"
    float m_FractionPerClickWithBonus = 0.25f;      // "Fraction Per Click With Bonus"
    int32_t m_MeterUnderlaySequence = -1;           // sequences; -1 none
    int32_t m_MeterArrowSequence = -1;
    int32_t m_MeterOverlaySequence = -1;
    int32_t m_MeterOverlay2Sequence = -1;
    CFPoint m_Pos{0.0f, 0.0f};                      // "Pos"
    CFPoint m_Pos2{0.0f, 0.0f};                     // "Pos2"
    float m_Scale = 1.0f;                           // "Scale"
    float m_MouseScale = 1.0f;                      // "Mouse Scale"
    bool m_DrawBehindMouse = true;                  // "Draw Behind Mouse"
    int32_t m_PowerUpSong = -1;                     // "Power Up Song", song list
    float m_DelayBeforeCountdown = 1.0f;            // "End Of Level/Delay Before Countdown"
    float m_DelayBeforeCountdownEnds = 0.5f;        // "End Of Level/Delay Before End Of Level Countdown Ends"
    float m_CountdownMultiplier = 10.0f;            // bonus seconds per second
    uint32_t m_PercentOfAverageLot = 4;             // per bonus second
    int32_t m_RepeatingAudio = -1;                  // audio list
    int32_t m_EndOfLevelFrameOverlay = -1;          // overlay sets
    int32_t m_CursorSequence = -1;                  // "Cursor/Cursor Sequence"
    int32_t m_ParticleSequence = -1;                // "Cursor/Particle Sequence"
    float m_SecondsBetweenParticles = 0.05f;        // "Cursor/Seconds Between Particles"
    float m_ParticleSpawnRadius = 20.0f;            // "Cursor/Particle Spawn Radius", pixels
};

// The general object "Three In A Row Options"; a data set without it is the
// general objects' fatal missing-item report.
CThreeInARowCounterOptions& GetThreeInARowOptions();
// The same, or null when the data set has none.
CThreeInARowCounterOptions* FindThreeInARowOptions();

// Tops the bonus up by "Seconds Bonus Lasts", at most to "Maximum Bonus
// Time"; counts it in the level's statistics and broadcasts "Mega Click
// Assist Start".
void AddThreeInARowBonus(CThreeInARowCounter& counter);
// The share of a part's work one click on a lot does.
float GetThreeInARowFractionPerClick(CThreeInARowCounter& counter);
// The customers are done: the seconds left are paid out as money.
void StartThreeInARowEndOfLevelPhase(CThreeInARowCounter& counter);
bool IsThreeInARowEndOfLevelPhase(const CThreeInARowCounter& counter);

void UpdateThreeInARowCounter(CThreeInARowCounter& counter, CSpriteUpdateRecord& record);
void DrawThreeInARowCounter(CThreeInARowCounter& counter, CSpriteDrawRecord& record);

// The game object's sparkle and bonus cursor; false without options.
bool GetThreeInARowSparkleOptions(SSparkleOptions& out);
// "Power Up Song"; 0 for none.
int32_t GetThreeInARowSong();

// What the lots and the typed word ask (through the business hooks).
void AddInARowBonus(CThreeInARowCounter& counter);
// The fallback when the data set has no options.
float GetCounterBuildPercentPerClick(CThreeInARowCounter& counter, float fallback);
// The sequence the cursor carries while the bonus runs; 0 for none.
uint32_t GetCounterMegaSequence(CThreeInARowCounter& counter);
void GrantThreeInARowBonus(CThreeInARowCounter& counter);

// Runs the counter's update and drawing through the world's hooks.
void InstallThreeInARowCounterHooks();
