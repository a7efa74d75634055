#pragma once
// The engine's millisecond clock: a 64-bit count over the 32-bit wrapping
// platform tick that never runs backwards, and the timer-period bracket that
// surrounds the run.

#include <cstdint>

// The system timer needs no period change on Linux; kept as the start-up and
// exit bracket the engine calls.
void RaiseTimerResolution();
void RestoreTimerResolution();

uint64_t MillisecondClock();
uint64_t GetMillisecondClockFrequency();

// Forgets the wrap offset and the last value, as at process start (tests).
void ResetMillisecondClock();
