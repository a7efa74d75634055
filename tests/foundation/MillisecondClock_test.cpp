#include "foundation/MillisecondClock.h"

#include "platform/Clock.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

uint32_t g_FakeTick = 0;
uint32_t FakeTick()
{
    return g_FakeTick;
}

class MillisecondClockTest : public testing::Test {
protected:
    void SetUp() override { ResetMillisecondClock(); }
    void TearDown() override { ResetMillisecondClock(); }
    CScopedTickSource m_Tick{FakeTick};
};

TEST_F(MillisecondClockTest, NeverRunsBackwardsOverSeveralWraps)
{
    uint64_t last = 0;
    uint32_t wraps = 0;
    g_FakeTick = 0;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t before = g_FakeTick;
        g_FakeTick += 0x00100003u; // ~4,000 readings per wrap
        if (g_FakeTick < before)
            ++wraps;
        const uint64_t now = MillisecondClock();
        ASSERT_GE(now, last);
        ASSERT_EQ(now, (uint64_t(wraps) << 32) + g_FakeTick);
        last = now;
    }
    EXPECT_GE(wraps, 4u);
}

TEST_F(MillisecondClockTest, EqualReadingsDoNotCountAsWrap)
{
    g_FakeTick = 1234;
    EXPECT_EQ(MillisecondClock(), 1234u);
    EXPECT_EQ(MillisecondClock(), 1234u);
}

} // namespace
