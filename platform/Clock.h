#pragma once
// Clocks and sleeping. The millisecond tick is a 32-bit count that wraps after
// about 49.7 days; callers that need a count that never wraps go through
// MillisecondClock.

#include <cstdint>

namespace plat {

// Milliseconds since an arbitrary start, truncated to 32 bits (wraps).
uint32_t GetMillisecondTick();

// A monotonic high-resolution counter and its ticks per second.
uint64_t GetHighResolutionCounter();
uint64_t GetHighResolutionFrequency();

void SleepMs(uint32_t milliseconds);

// A wall-clock date and time in the local time zone (month 1-12), under the
// daylight rule of that date, as seconds since 1970-01-01 UTC; false when the
// C library cannot place it.
bool LocalTimeToUnixSeconds(int year, int month, int day, int hours, int minutes, int seconds, int64_t& unixSeconds);

// Test hook: replaces the source of GetMillisecondTick (null restores the OS
// clock), so that wrap handling above this layer can be driven by hand.
using MillisecondTickSource = uint32_t (*)();
MillisecondTickSource SetMillisecondTickSource(MillisecondTickSource source);

} // namespace plat
