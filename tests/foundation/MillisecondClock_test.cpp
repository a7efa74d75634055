#include "foundation/MillisecondClock.h"

#include "platform/Clock.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

uint32_t gFakeTick = 0;
uint32_t FakeTick()
{
    return gFakeTick;
}

class MillisecondClockTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetMillisecondClock();
    }
    void TearDown() override { ResetMillisecondClock(); }
    CScopedTickSource m_Tick{FakeTick};
};

TEST_F(MillisecondClockTest, CarriesTheWrapOfTheTick)
{
    gFakeTick = 0xFFFFFFF0u;
    EXPECT_EQ(MillisecondClock(), 0xFFFFFFF0u);
    gFakeTick = 0x00000010u;
    EXPECT_EQ(MillisecondClock(), 0x100000010u);
    gFakeTick = 0x00000020u;
    EXPECT_EQ(MillisecondClock(), 0x100000020u);
}

TEST_F(MillisecondClockTest, NeverRunsBackwardsOverSeveralWraps)
{
    uint64_t last = 0;
    uint32_t wraps = 0;
    gFakeTick = 0;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t before = gFakeTick;
        gFakeTick += 0x00100003u; // ~4,000 readings per wrap
        if (gFakeTick < before)
            ++wraps;
        const uint64_t now = MillisecondClock();
        ASSERT_GE(now, last);
        ASSERT_EQ(now, (uint64_t(wraps) << 32) + gFakeTick);
        last = now;
    }
    EXPECT_GE(wraps, 4u);
}

TEST_F(MillisecondClockTest, EqualReadingsDoNotCountAsWrap)
{
    gFakeTick = 1234;
    EXPECT_EQ(MillisecondClock(), 1234u);
    EXPECT_EQ(MillisecondClock(), 1234u);
}

TEST(MillisecondClock, RealTickAdvancesMonotonically)
{
    ResetMillisecondClock();
    uint64_t last = MillisecondClock();
    for (int i = 0; i < 1000; ++i) {
        const uint64_t now = MillisecondClock();
        ASSERT_GE(now, last);
        last = now;
    }
    EXPECT_EQ(GetMillisecondClockFrequency(), 1000u);
}

// Fills through FastMemset at every misalignment and length, checking the
// bytes around the range stay untouched.
TEST(FastMemset, FillsExactlyTheRangeAtAnyAlignment)
{
    alignas(16) std::array<unsigned char, 64> buffer {};
    for (size_t offset = 0; offset < 4; ++offset) {
        for (size_t count = 0; count <= 20; ++count) {
            buffer.fill(0xEE);
            FastMemset(buffer.data() + 8 + offset, 0x5A5A5A5Au, count);
            for (size_t i = 0; i < buffer.size(); ++i) {
                const bool inside = i >= 8 + offset && i < 8 + offset + count;
                ASSERT_EQ(buffer[i], inside ? 0x5A : 0xEE) << "offset " << offset << " count " << count << " at " << i;
            }
        }
    }
}

TEST(FastMemset, LeadAndTailBytesUseTheLowByte)
{
    // 7 bytes one past alignment: three single bytes, then one whole word.
    alignas(16) std::array<unsigned char, 16> buffer {};
    FastMemset(buffer.data() + 1, 0x44332211u, 7);
    const std::vector<unsigned char> got(buffer.begin(), buffer.begin() + 9);
    const std::vector<unsigned char> expected { 0, 0x11, 0x11, 0x11, 0x11, 0x22, 0x33, 0x44, 0 };
    EXPECT_EQ(got, expected);
}

} // namespace
