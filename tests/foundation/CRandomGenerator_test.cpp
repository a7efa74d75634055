#include "foundation/CRandomGenerator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Expected values come from a separate model of the generator (seeding with the
// 64-bit LCG from the last word down, the 32 masked words, the XOR tap 103
// ahead) written in Python and run once; they are not produced by this code.
// seed 0xDEADBEEF: the first 16 words, then words around the points where
// the tap (draw 147) and the table (draw 250) wrap, as (draw, word).
const uint32_t kWordsDeadBeef[16] = {
    0x4ED712D3, 0x3A6087ED, 0xEBBBFB5A, 0x65F2ECC7, 0xA51C009A, 0x7CB08E99, 0x2FF0B99C, 0xC0856E97,
    0x1F1FB6D7, 0x496CC3E7, 0x92D6300E, 0x39444390, 0xD75985FB, 0xDC1CDAB7, 0xACFEF4E9, 0x0268570C,
};
const std::pair<uint32_t, uint32_t> kLaterWordsDeadBeef[] = {
    {145, 0xD2FC4EED}, {146, 0xEF320016}, {147, 0x5DCB0EC1},
    {148, 0x57BE0D79}, {149, 0xBFB9D885}, {150, 0x65F2EA56},
    {246, 0x4E3AFF44}, {247, 0xE5FF4CC0}, {248, 0x9A004EDD},
    {249, 0x61230657}, {250, 0x66CFFC9B}, {251, 0x5D3CD3C2},
    {252, 0x69E470E5}, {253, 0x0411B695}, {254, 0x52202B99},
    {255, 0x880FD007}, {297, 0xF5BECD3A}, {298, 0x4A3BFEAF},
};
// seed 7, the first Next(1000) draws
const uint32_t kNext1000Seed7[16] = {
    159, 7, 902, 838, 284, 264, 255, 641, 686, 150, 634, 958, 16, 838, 347, 228,
};
// seed 1, the first NextInRange(100, 105) draws
const uint32_t kRange100To105Seed1[16] = {
    101, 104, 102, 103, 104, 101, 103, 100, 102, 100, 102, 101, 105, 100, 101, 104,
};

TEST(RandomGenerator, DrawsMatchIndependentModelAcrossTableWrap)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    std::vector<uint32_t> drawn;
    for (uint32_t i = 0; i < 300; ++i)
        drawn.push_back(random.NextInRange(0, 0xFFFFFFFF));
    EXPECT_EQ(random.GetDrawCount(), 300u);
    for (uint32_t i = 0; i < 16; ++i)
        EXPECT_EQ(drawn[i], kWordsDeadBeef[i]) << "draw " << i;
    for (const auto& [draw, word] : kLaterWordsDeadBeef)
        EXPECT_EQ(drawn[draw], word) << "draw " << draw;
}

TEST(RandomGenerator, RangesMapByMultiplicationNotRemainder)
{
    CRandomGenerator random;
    random.Seed(7);
    for (uint32_t i = 0; i < 16; ++i)
        ASSERT_EQ(random.Next(1000), kNext1000Seed7[i]) << "draw " << i;
    random.Seed(1);
    for (uint32_t i = 0; i < 16; ++i)
        ASSERT_EQ(random.NextInRange(100, 105), kRange100To105Seed1[i]) << "draw " << i;
    // The mapping holds for every word: the high part of range * word.
    random.Seed(0xDEADBEEF);
    for (uint32_t i = 0; i < 16; ++i)
        ASSERT_EQ(random.NextInRange(100, 105), 100 + uint32_t((uint64_t(6) * kWordsDeadBeef[i]) >> 32)) << i;
}

TEST(RandomGenerator, RangeZeroAnswersZeroWithoutDrawing)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    EXPECT_EQ(random.Next(0), 0u);
    EXPECT_EQ(random.GetDrawCount(), 0u);
    EXPECT_EQ(random.Next(0xFFFFFFFF), uint32_t((uint64_t(0xFFFFFFFF) * kWordsDeadBeef[0]) >> 32));
}

TEST(RandomGenerator, FullSpanGivesRawWordPlusLow)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    EXPECT_EQ(random.NextInRange(5, 4), kWordsDeadBeef[0] + 5);
}

TEST(RandomGenerator, SameSeedSameSequenceAndReseedRestarts)
{
    CRandomGenerator a;
    CRandomGenerator b;
    a.Seed(424242);
    b.Seed(424242);
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(a.Next(0xFFFFFFFF), b.Next(0xFFFFFFFF));
    a.Seed(0xDEADBEEF);
    EXPECT_EQ(a.GetSeed(), 0xDEADBEEFu);
    EXPECT_EQ(a.NextInRange(0, 0xFFFFFFFF), kWordsDeadBeef[0]);
}

TEST(RandomGenerator, NextFloatScalesTheWordAndExcludesHigh)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    for (uint32_t i = 0; i < 16; ++i) {
        const float expected = 2.0f + (6.0f - 2.0f) * float(kWordsDeadBeef[i]) * 0x1p-32f;
        ASSERT_EQ(random.NextFloat(2.0f, 6.0f), expected);
    }
    // Words that round up to 2^32 as floats must still land below hi.
    random.Seed(0xDEADBEEF);
    for (int i = 0; i < 100000; ++i) {
        const float value = random.NextFloat(0.0f, 1.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
}

TEST(RandomGenerator, ChanceComparesAgainstTruncatedProbability)
{
    CRandomGenerator random;
    random.Seed(0xDEADBEEF);
    const float probability = 0.3f;
    const uint32_t limit = uint32_t(probability * 65535.0f);
    for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t drawn = uint32_t((uint64_t(65535) * kWordsDeadBeef[i]) >> 32);
        ASSERT_EQ(random.Chance(probability), drawn < limit) << "draw " << i;
    }
    // Out-of-range probabilities answer plainly and still take their draw.
    EXPECT_FALSE(random.Chance(-2.0f));
    EXPECT_TRUE(random.Chance(3.0f));
    EXPECT_EQ(random.GetDrawCount(), 18u);
}

} // namespace
