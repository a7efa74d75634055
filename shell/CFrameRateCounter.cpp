#include "shell/CFrameRateCounter.h"

#include "foundation/MillisecondClock.h"

#include <cstdio>

void CFrameRateCounter::Reset()
{
    for (uint64_t& interval : m_Ring)
        interval = 0;
    m_Sum = 0;
    m_StartTime = 0;
    m_Index = 0;
    m_Filled = 0;
    m_Frequency = GetMillisecondClockFrequency();
    m_Rate = 0.0f;
}

void CFrameRateCounter::Start()
{
    m_StartTime = MillisecondClock();
}

float CFrameRateCounter::Measure()
{
    m_Rate = 0.0f;
    const uint64_t now = MillisecondClock();
    if (m_StartTime != 0) {
        if (m_Filled < kRingSize)
            ++m_Filled;
        uint64_t interval = uint32_t(now - m_StartTime);
        if (interval > m_Frequency)
            interval = m_Frequency;
        m_Sum += interval;
        m_Sum -= m_Ring[m_Index];
        m_Ring[m_Index] = interval;
        m_Index = (m_Index + 1) % kRingSize;
        if (m_Sum != 0 && m_Filled == kRingSize)
            m_Rate = float(m_Frequency * m_Filled) / float(m_Sum);
    }
    m_StartTime = now;
    return m_Rate;
}

CFrameRateCounter& GetFrameRateCounter(FrameRateCounterId id)
{
    static CFrameRateCounter counters[size_t(FrameRateCounterId::Count)];
    return counters[size_t(id)];
}

void ResetAllFrameRateCounters()
{
    for (size_t i = 0; i < size_t(FrameRateCounterId::Count); ++i)
        GetFrameRateCounter(FrameRateCounterId(i)).Reset();
}

CColor GetFrameRateBoxColour(float processingRate)
{
    if (processingRate >= 40.0f)
        return CColor(0, 0, 1, 255);
    if (processingRate >= 30.0f)
        return CColor(uint8_t(int32_t((40.0f - processingRate) * 255.0f / 10.0f)), 0, 0, 255);
    return CColor(255, 0, 0, 255);
}

bool FormatFrameRateLine(char* buffer, size_t size, float update, float draw, float processing, float all)
{
    const int written = std::snprintf(buffer, size, "U:%3.1f D:%3.1f P:%3.1f A:%3.1f FPS", double(update), double(draw),
                                      double(processing), double(all));
    return written >= 0 && size_t(written) < size;
}
