#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

uint32_t FixedTick()
{
    return 0xFFFFFFFEu;
}

TEST(Clock, TickSourceHookReplacesAndRestoresTheOsClock)
{
    const plat::MillisecondTickSource previous = plat::SetMillisecondTickSource(FixedTick);
    EXPECT_EQ(previous, nullptr);
    EXPECT_EQ(plat::GetMillisecondTick(), 0xFFFFFFFEu);
    EXPECT_EQ(plat::SetMillisecondTickSource(nullptr), FixedTick);
    // The OS tick is the monotonic clock's milliseconds truncated to 32 bits.
    const uint64_t counterMs = plat::GetHighResolutionCounter() / (plat::GetHighResolutionFrequency() / 1000);
    const uint32_t tick = plat::GetMillisecondTick();
    EXPECT_LE(uint32_t(tick - uint32_t(counterMs)), 1000u);
}

} // namespace
