#pragma once
// Frame-rate counters: each measurement files the time since the previous
// one into a ring of the last 30 intervals (milliseconds, each capped at one
// second) and answers the mean rate over a full ring, 0 until the ring is
// full. Intervals are whole milliseconds so that the rate is the exact mean
// of the last 30 measurements.
//
// Four process-wide counters: U (updates), P (update plus drawing), D
// (drawing) and A (whole frames, the time between two measurements).

#include "blit/CColor.h"

#include <cstddef>
#include <cstdint>

class CFrameRateCounter {
public:
    static constexpr uint32_t kRingSize = 30;

    CFrameRateCounter() { Reset(); }

    void Reset();
    // The interval starts now.
    void Start();
    // Files the interval since Start (or the previous Measure) and starts the
    // next; answers the rate, frames per second.
    float Measure();
    float GetRate() const { return m_Rate; }

private:
    uint64_t m_Ring[kRingSize];
    uint64_t m_Sum;
    uint64_t m_StartTime; // 0: never started
    uint32_t m_Index;
    uint32_t m_Filled;
    uint64_t m_Frequency;
    float m_Rate;
};

enum class FrameRateCounterId { Update, Processing, Draw, All, Count };

CFrameRateCounter& GetFrameRateCounter(FrameRateCounterId id);
void ResetAllFrameRateCounters();

// The box behind the frame-rate line by the processing rate: blue at 40 and
// above, red fading in below 40, pure red below 30.
CColor GetFrameRateBoxColour(float processingRate);

// "U:%3.1f D:%3.1f P:%3.1f A:%3.1f FPS"; false when it does not fit.
bool FormatFrameRateLine(char* buffer, size_t size, float update, float draw, float processing, float all);
