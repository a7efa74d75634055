#include "blit/PixelBlends.h"

#include "blit/KernelTable.h"
#include "platform/Cpu.h"
#include "support/KernelSetGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

// The channel formulas in floating point, for every channel, weight pair.
TEST(PixelBlends, Floored565ChannelsMatchTheirFormulaExhaustively)
{
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t d = 0; d < 64; ++d)
            for (uint32_t s = 0; s < 64; ++s) {
                const uint16_t green = BlendPixel565(uint16_t(d << 5), uint16_t(s << 5), uint8_t(a));
                ASSERT_EQ(green >> 5, d + std::floor((double(s) - d) * (a >> 2) / 64)) << a << " " << d << " " << s;
                if (d < 32 && s < 32) {
                    const uint16_t rb = BlendPixel565(uint16_t(d << 11 | d), uint16_t(s << 11 | s), uint8_t(a));
                    const double expected = d + std::floor((double(s) - d) * (a >> 3) / 32);
                    ASSERT_EQ(rb >> 11, expected);
                    ASSERT_EQ(rb & 31, expected);
                }
            }
}

TEST(PixelBlends, RoundedGroupBlendIsTheNearestWeightedMeanExhaustively)
{
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t d = 0; d < 64; ++d)
            for (uint32_t s = 0; s < 64; ++s) {
                const uint32_t w6 = a >> 2, w5 = a >> 3;
                const uint16_t green = BlendPixel565Rounded(uint16_t(d << 5), uint16_t(s << 5), uint8_t(a));
                ASSERT_EQ(green >> 5, std::lround((double(s) * w6 + double(d) * (63 - w6)) / 63));
                if (d < 32 && s < 32) {
                    const uint16_t rb = BlendPixel565Rounded(uint16_t(d << 11 | d), uint16_t(s << 11 | s), uint8_t(a));
                    const long expected = std::lround((double(s) * w5 + double(d) * (31 - w5)) / 31);
                    ASSERT_EQ(rb >> 11, expected);
                    ASSERT_EQ(rb & 31, expected);
                }
            }
}

TEST(PixelBlends, TruncatingChannelBlendMatchesItsFormulaExhaustively)
{
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t d = 0; d < 256; ++d)
            for (uint32_t s = 0; s < 256; s += 3)
                ASSERT_EQ(BlendChannelTrunc(uint8_t(d), uint8_t(s), a), d + std::trunc((double(s) - d) * a / 256))
                    << a << " " << d << " " << s;
}

TEST(PixelBlends, KnownValues)
{
    EXPECT_EQ(BlendPixel565(0x0000, 0xFFFF, 255), 0xF7DE);
    EXPECT_EQ(BlendPixel565(0xFFFF, 0x0000, 128), 0x7BEF);
    EXPECT_EQ(BlendPixel565Rounded(0x0000, 0xFFFF, 255), 0xFFFF);
    EXPECT_EQ(BlendPixel565Rounded(0x1234, 0xFFFF, 0), 0x1234);
    // Alpha 7 moves neither red nor blue; green by a 64th.
    EXPECT_EQ(BlendPixel565(0x0000, 0xFFFF, 7), 0x0000);
    EXPECT_EQ(BlendPixel565(0x07E0, 0x0000, 7) >> 5, 62);
    // Blue 0 toward 31 gives 30, 31 toward 0 gives 0.
    EXPECT_EQ(BlendPixel565(0x0000, 0x001F, 255) & 31, 30);
    EXPECT_EQ(BlendPixel565(0x001F, 0x0000, 255) & 31, 0);
    EXPECT_EQ(BlendChannelTrunc(0, 255, 255), 254);
    EXPECT_EQ(BlendChannelTrunc(255, 0, 255), 1);
    EXPECT_EQ(BlendChannelTrunc(0, 255, 128), 127);
    EXPECT_EQ(BlendChannelTrunc(100, 99, 255), 100);
}

// A fill run groups from its first pixel: groups of four rounded, the last
// count % 4 floored, on both kernel sets and at any alignment.
TEST(PixelBlends, FastFillRunIsGroupsThenFlooredTailOnBothSets)
{
    std::mt19937 random(11);
    for (KernelForce force : {KernelForce::Plain, KernelForce::Sse2}) {
        CKernelSetGuard guard(force);
        for (uint32_t count = 0; count <= 70; ++count)
            for (uint8_t alpha : {0, 1, 4, 127, 128, 251, 255}) {
                std::vector<uint8_t> pixels(2 * 72 + 1);
                for (uint8_t& b : pixels)
                    b = uint8_t(random());
                std::vector<uint8_t> expected = pixels;
                const uint16_t colour = uint16_t(random());
                for (uint32_t i = 0; i < count; ++i) {
                    uint16_t d;
                    std::memcpy(&d, &expected[1 + 2 * i], 2);
                    d = i < (count & ~3u) ? BlendPixel565Rounded(d, colour, alpha) : BlendPixel565(d, colour, alpha);
                    std::memcpy(&expected[1 + 2 * i], &d, 2);
                }
                BlendRun565Fast(pixels.data() + 1, colour, alpha, count);
                ASSERT_EQ(pixels, expected) << count << " " << +alpha;
            }
    }
}

} // namespace
