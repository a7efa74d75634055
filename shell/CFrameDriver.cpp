#include "shell/CFrameDriver.h"

CFrameDriver::CFrameDriver(float minimumStep, float step, float maximumAccumulated)
    : m_MinimumStep(minimumStep)
    , m_Step(step)
    , m_MaximumAccumulated(maximumAccumulated)
{
}

float CFrameDriver::RunPass(double nowMilliseconds, bool realTime, CClient& client)
{
    if (nowMilliseconds < m_LastReading)
        m_LastReading = nowMilliseconds;
    float elapsed = m_Step;
    if (realTime) {
        elapsed = float(double(m_Accumulator) + (nowMilliseconds - m_LastReading) / 1000.0);
        if (m_MaximumAccumulated < elapsed)
            elapsed = m_MaximumAccumulated;
    }
    m_LastReading = nowMilliseconds;
    if (elapsed >= m_MinimumStep) {
        do {
            if (m_Step < elapsed) {
                client.RunStep(m_Step, FrameStep::Whole);
                m_TotalTime += m_Step;
                elapsed -= m_Step;
            } else {
                client.RunStep(elapsed, FrameStep::Rest);
                m_TotalTime += elapsed;
                elapsed = 0.0f;
            }
        } while (m_DrawDivisor == 1 && elapsed >= m_MinimumStep);
        if (++m_PassesSinceDraw >= m_DrawDivisor) {
            m_PassesSinceDraw = 0;
            client.RunDraw();
        }
    }
    m_Accumulator = elapsed;
    return m_MinimumStep - elapsed;
}

uint32_t SleepAfterPassMilliseconds(float timeLeft)
{
    constexpr float kMargin = 0.001f;
    return timeLeft > 2.0f * kMargin ? uint32_t((timeLeft - kMargin) * 1000.0f) : 0;
}
