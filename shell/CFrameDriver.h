#pragma once
// The fixed-step frame driver of the main loop. Each pass adds the clock
// time since the previous pass to an accumulator, capped at the maximum
// accumulated time. Nothing runs until the accumulator reaches the minimum
// step; then whole steps run while more than a step is left and one step
// runs with the rest, and the draw follows (every n-th such pass with a draw
// divisor n; with a divisor above 1 only one step runs per pass and the rest
// waits). The first reading counts from clock 0, so the first pass catches
// up to the cap (five 1/60 s steps with the game's values). A clock that went
// back adds no time. Without real time every pass is one step.
//
// A value: it holds the step lengths and its own accumulator, and calls back
// whoever runs the steps and draws; the caller passes the clock reading.

#include <cstdint>

// A step with the remainder of the accumulator closes the pass's steps.
enum class FrameStep { Whole, Rest };

class CFrameDriver {
public:
    // Who runs the steps and the draw.
    class CClient {
    public:
        virtual void RunStep(float seconds, FrameStep kind) = 0;
        virtual void RunDraw() = 0;

    protected:
        ~CClient() = default;
    };

    // Steps in seconds; the game passes 1/60, 1/60 and 1/12.
    CFrameDriver(float minimumStep, float step, float maximumAccumulated);

    // Runs the pass at the clock reading (milliseconds) and answers the time
    // in seconds left until the next step is due (negative when work is left
    // over). realTime false: one step of the step length, whatever the clock.
    float RunPass(double nowMilliseconds, bool realTime, CClient& client);

    void SetDrawDivisor(uint32_t divisor) { m_DrawDivisor = divisor; }
    double GetTotalTime() const { return m_TotalTime; }

private:
    float m_MinimumStep;
    float m_Step;
    float m_MaximumAccumulated;
    float m_Accumulator = 0.0f;
    double m_LastReading = 0.0;
    double m_TotalTime = 0.0;
    uint32_t m_DrawDivisor = 1;
    uint32_t m_PassesSinceDraw = 0;
};

// The main loop's wait after a pass that left timeLeft seconds until the
// next step is due, in whole milliseconds with a millisecond of margin: 0
// (no sleep) unless more than two milliseconds are left.
uint32_t SleepAfterPassMilliseconds(float timeLeft);
