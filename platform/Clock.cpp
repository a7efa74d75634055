#include "platform/Clock.h"

#include <cerrno>
#include <ctime>

namespace plat {

namespace {

MillisecondTickSource g_TickSource = nullptr;

timespec MonotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

} // namespace

uint32_t GetMillisecondTick()
{
    if (g_TickSource)
        return g_TickSource();
    const timespec now = MonotonicNow();
    const uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return uint32_t(ms);
}

uint64_t GetHighResolutionCounter()
{
    const timespec now = MonotonicNow();
    return uint64_t(now.tv_sec) * 1000000000u + uint64_t(now.tv_nsec);
}

uint64_t GetHighResolutionFrequency()
{
    return 1000000000u;
}

void SleepMs(uint32_t milliseconds)
{
    timespec remaining{time_t(milliseconds / 1000u), long(milliseconds % 1000u) * 1000000L};
    // A signal cuts the sleep short; finish the rest.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {}
}

bool LocalTimeToUnixSeconds(int year, int month, int day, int hours, int minutes, int seconds, int64_t& unixSeconds)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hours;
    local.tm_min = minutes;
    local.tm_sec = seconds;
    local.tm_isdst = -1;
    const std::time_t utc = std::mktime(&local);
    if (utc == std::time_t(-1))
        return false;
    unixSeconds = int64_t(utc);
    return true;
}

MillisecondTickSource SetMillisecondTickSource(MillisecondTickSource source)
{
    MillisecondTickSource previous = g_TickSource;
    g_TickSource = source;
    return previous;
}

} // namespace plat
