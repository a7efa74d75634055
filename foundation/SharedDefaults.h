#pragma once
// Default bodies that many operation tables share: a slot that has nothing to
// do points at one of these instead of a one-line function of its own.
// Instantiate for the slot's signature, e.g. &DoNothingOneArg<const CBlitArgs&>.

#include <cstdint>

inline void DoNothingNoArgs() {}

template <typename Arg>
void DoNothingOneArg(Arg)
{
}

template <typename Result = int32_t, typename... Args>
Result ReturnZero(Args...)
{
    return Result(0);
}

template <typename Arg>
bool ReturnFalseOneArg(Arg)
{
    return false;
}

// The one static empty 8-bit text.
inline const char* ReturnEmptyText()
{
    static const char kEmpty[1] = "";
    return kEmpty;
}
