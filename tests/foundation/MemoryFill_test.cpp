#include "foundation/MemoryFill.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// Fills through FastMemset at every misalignment and length, checking the
// bytes around the range stay untouched.
TEST(FastMemset, FillsExactlyTheRangeAtAnyAlignment)
{
    alignas(16) std::array<unsigned char, 64> buffer{};
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
    alignas(16) std::array<unsigned char, 16> buffer{};
    FastMemset(buffer.data() + 1, 0x44332211u, 7);
    const std::vector<unsigned char> got(buffer.begin(), buffer.begin() + 9);
    const std::vector<unsigned char> expected{0, 0x11, 0x11, 0x11, 0x11, 0x22, 0x33, 0x44, 0};
    EXPECT_EQ(got, expected);
}

} // namespace
