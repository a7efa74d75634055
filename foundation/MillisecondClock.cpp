#include "foundation/MillisecondClock.h"

#include "platform/Clock.h"

namespace {

uint64_t gWrapOffset = 0;
uint64_t gLastClock = 0;

} // namespace

void RaiseTimerResolution() {}

void RestoreTimerResolution() {}

uint64_t MillisecondClock()
{
    uint64_t now = uint64_t(plat::GetMillisecondTick()) + gWrapOffset;
    if (now < gLastClock) {
        // The 32-bit tick wrapped since the last reading.
        gWrapOffset += uint64_t(1) << 32;
        now += uint64_t(1) << 32;
    }
    gLastClock = now;
    return now;
}

uint64_t GetMillisecondClockFrequency()
{
    return 1000;
}

void ResetMillisecondClock()
{
    gWrapOffset = 0;
    gLastClock = 0;
}
