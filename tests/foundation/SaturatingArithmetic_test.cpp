#include "foundation/CRect.h"
#include "foundation/SaturatingArithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int32_t kMax = INT32_MAX;
constexpr int32_t kMin = INT32_MIN;

TEST(SaturatingArithmetic, SumsAndProductsPastTheRangeHoldAtTheNearerEnd)
{
    struct Case {
        int32_t a, b, sum, difference, product, centre;
    };
    const Case cases[] = {
        {2, 3, 5, -1, 6, 3},
        {-7, 4, -3, -11, -28, -5},
        {kMax, 1, kMax, kMax - 1, kMax, kMax},
        {kMax, kMax, kMax, 0, kMax, kMax},
        {kMin, -1, kMin, kMin + 1, kMax, kMin},
        {kMin, kMin, kMin, 0, kMax, kMin},
        {kMin, kMax, -1, kMin, kMin, -1073741825},
        {kMax, kMin, -1, kMax, kMin, 1073741823},
        {-1, kMin, kMin, kMax, kMax, -1073741825},
        {65536, 65536, 131072, 0, kMax, 98304},
        {-65536, 65536, 0, -131072, kMin, -32768},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaturatingAdd(c.a, c.b), c.sum) << c.a << " + " << c.b;
        EXPECT_EQ(SaturatingSub(c.a, c.b), c.difference) << c.a << " - " << c.b;
        EXPECT_EQ(SaturatingMul(c.a, c.b), c.product) << c.a << " * " << c.b;
        EXPECT_EQ(SaturatingCentre(c.a, c.b), c.centre) << c.a << " + " << c.b << " / 2";
    }
}

TEST(SaturatingArithmetic, TruncationHoldsLargeNumbersAndTakesNaNAsZero)
{
    EXPECT_EQ(TruncateToInt32(-2.9), -2);
    EXPECT_EQ(TruncateToInt32(2.9), 2);
    EXPECT_EQ(TruncateToInt32(2147483647.5), kMax);
    EXPECT_EQ(TruncateToInt32(-2147483648.5), kMin);
    EXPECT_EQ(TruncateToInt32(1e300), kMax);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), kMin);
    EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

TEST(SaturatingArithmetic, ARectangleWiderThanTheIntRangeMeasuresTheLargestInt)
{
    const CRect whole{kMin, -5, kMax, kMax};
    EXPECT_EQ(whole.GetWidth(), kMax);
    EXPECT_EQ(whole.GetHeight(), kMax);
    const CRect inverted{kMax, kMax, kMin, kMin};
    EXPECT_EQ(inverted.GetWidth(), kMin);
    EXPECT_EQ(inverted.GetHeight(), kMin);
    EXPECT_EQ((CRect{-3, -4, 7, 9}).GetWidth(), 10);
    EXPECT_EQ((CRect{-3, -4, 7, 9}).GetHeight(), 13);
}

} // namespace
