#include "foundation/MillisecondClock.h"

#include "platform/Clock.h"

namespace {

uint64_t g_WrapOffset = 0;
uint64_t g_LastClock = 0;

} // namespace

void RaiseTimerResolution() {}

void RestoreTimerResolution() {}

uint64_t MillisecondClock()
{
    uint64_t now = uint64_t(plat::GetMillisecondTick()) + g_WrapOffset;
    if (now < g_LastClock) {
        // The 32-bit tick wrapped since the last reading.
        g_WrapOffset += uint64_t(1) << 32;
        now += uint64_t(1) << 32;
    }
    g_LastClock = now;
    return now;
}

uint64_t GetMillisecondClockFrequency()
{
    return 1000;
}

void ResetMillisecondClock()
{
    g_WrapOffset = 0;
    g_LastClock = 0;
}
