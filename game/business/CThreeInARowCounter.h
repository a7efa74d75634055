#pragma once
// The three-in-a-row bonus: three matching houses in a row grant timed
// "mega" click assists. The one CThreeInARowCounter (the AI of the
// "ThreeInARowCounter" sprite) holds the seconds left and draws its meter;
// its tuning is the general object "Three In A Row Options". At most one
// counter exists, and every user copes with none (no bonus runs).
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

struct SSparkleOptions;

class CThreeInARowCounter : public CSpriteAI {
    OMBRISALT_REFLECTED(CThreeInARowCounter, CSpriteAI)
public:
    // Becomes the current counter when there is none; an updated counter
    // always becomes it.
    CThreeInARowCounter();
    // No counter is current afterwards when this one was.
    ~CThreeInARowCounter() override;

    void Update(CSpriteUpdateRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;

    // Tops the bonus up by "Seconds Bonus Lasts", at most to "Maximum Bonus
    // Time"; counts it in the level's statistics and broadcasts "Mega Click
    // Assist Start".
    void AddBonus();
    // The share of a part's work one click on a lot does: 1 under the
    // always-full switch, else the options' share with or without the bonus;
    // the fallback when the data set has no options.
    float GetFractionPerClick(float fallback) const;
    // The customers are done: the seconds left are paid out as money.
    void StartEndOfLevelPhase();

    bool IsBonusActive() const { return m_SecondsBonusLeft > 0.0f; }
    bool IsInEndOfLevelPhase() const { return m_EndOfLevelCountdownStarted; }

    float m_SecondsBonusLeft = 0.0f; // "Num Seconds Bonus Left"

    // Not saved: the end-of-level phase that pays the bonus left as money.
    bool m_EndOfLevelCountdownStarted = false;
    float m_DelayBeforeCountdown = 0.0f; // seconds
    float m_DelayBeforeEnd = 0.0f;       // seconds
    float m_RepeatingSoundTimer = 0.0f;  // in bonus seconds counted down
    float m_SecondsSincePhaseBegan = 0.0f;

private:
    // One step of the end-of-level countdown: pays the bonus seconds it uses.
    void CountDown(float seconds);
};

// The current counter; null when there is none.
CThreeInARowCounter* GetThreeInARowCounter();

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

// The game object's sparkle and bonus cursor; false without options.
bool GetThreeInARowSparkleOptions(SSparkleOptions& out);
// "Power Up Song"; 0 for none.
int32_t GetThreeInARowSong();
// The sequence the click-assist cursor carries while the bonus runs ("Meter
// Overlay2 Sequence"); 0 for none.
uint32_t GetThreeInARowMegaSequence();
