#include "foundation/MathHelpers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

TEST(MathHelpers, WrapAngleKeepsTheClosedRangeAndRemovesWholeTurns)
{
    EXPECT_EQ(WrapAngle0To2Pi(-0.5f), k2Pi - 0.5f);
    EXPECT_EQ(WrapAngle0To2Pi(k2Pi), k2Pi);
    EXPECT_EQ(WrapAngle0To2Pi(0.0f), 0.0f);
    EXPECT_EQ(WrapAngle0To2Pi(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(WrapAngle0To2Pi(7.0f), 7.0f - k2Pi);
    EXPECT_EQ(WrapAngle0To2Pi(2.0f * k2Pi), 0.0f);
    EXPECT_EQ(WrapAngle0To2Pi(-k2Pi), k2Pi); // gains two turns
    for (float a = -100.0f; a < 100.0f; a += 0.37f) {
        const float wrapped = WrapAngle0To2Pi(a);
        ASSERT_GE(wrapped, 0.0f) << a;
        ASSERT_LE(wrapped, k2Pi) << a;
        ASSERT_NEAR(std::remainder(double(wrapped) - a, double(k2Pi)), 0.0, 1e-4) << a;
    }
}

TEST(MathHelpers, FloorAndCeilIncludingNegativesAndOutOfRange)
{
    EXPECT_EQ(FloorToInt(2.5f), 2);
    EXPECT_EQ(FloorToInt(-2.5f), -3);
    EXPECT_EQ(FloorToInt(-3.0f), -3);
    EXPECT_EQ(FloorToInt(0.9999f), 0);
    EXPECT_EQ(CeilToInt(2.01f), 3);
    EXPECT_EQ(CeilToInt(-2.99f), -2);
    EXPECT_EQ(CeilToInt(4.0f), 4);
    EXPECT_EQ(FloorFloat(-0.5f), -1.0f);
    EXPECT_EQ(CeilFloat(-0.5f), -0.0f);
    EXPECT_EQ(FloorToInt(3e9f), INT32_MIN);
    EXPECT_EQ(CeilToInt(-3e9f), INT32_MIN);
    EXPECT_EQ(FloorToInt(std::numeric_limits<float>::quiet_NaN()), INT32_MIN);
    EXPECT_EQ(FloorToInt(-2147483648.0f), INT32_MIN);
}

TEST(MathHelpers, RoundingHeldToTheRangeTakesHalvesToEvenAndSaturates)
{
    EXPECT_EQ(RoundToIntHeld(2.5f), 2);
    EXPECT_EQ(RoundToIntHeld(3.5f), 4);
    EXPECT_EQ(RoundToIntHeld(-2.5f), -2);
    EXPECT_EQ(RoundToIntHeld(-2.6f), -3);
    EXPECT_EQ(RoundToIntHeld(3e9f), INT32_MAX);
    EXPECT_EQ(RoundToIntHeld(std::numeric_limits<float>::infinity()), INT32_MAX);
    EXPECT_EQ(RoundToIntHeld(-3e9f), INT32_MIN);
    EXPECT_EQ(RoundToIntHeld(-2147483648.0f), INT32_MIN);
    EXPECT_EQ(RoundToIntHeld(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(MathHelpers, BitLength)
{
    const uint32_t inputs[] = {0, 1, 2, 3, 5, 255, 256, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const uint32_t lengths[] = {0, 1, 2, 2, 3, 8, 9, 31, 32, 32};
    for (size_t i = 0; i < std::size(inputs); ++i)
        EXPECT_EQ(BitLength(inputs[i]), lengths[i]) << inputs[i];
}

TEST(MathHelpers, FractionToPercentRoundsHalfToEvenAndAvoidsTheEnds)
{
    EXPECT_EQ(FractionToPercent(0.001f), 1);
    EXPECT_EQ(FractionToPercent(0.999f), 99);
    EXPECT_EQ(FractionToPercent(1.0f), 100);
    EXPECT_EQ(FractionToPercent(0.0f), 0);
    EXPECT_EQ(FractionToPercent(0.125f), 12);
    EXPECT_EQ(FractionToPercent(0.375f), 38);
    EXPECT_EQ(FractionToPercent(-0.001f), 0);
    EXPECT_EQ(FractionToPercent(1.5f), 150);
}

TEST(MathHelpers, RoundToDecimals)
{
    EXPECT_FLOAT_EQ(RoundToDecimals(1.23456f, 2.0f), 1.23f);
    EXPECT_EQ(RoundToDecimals(1234.0f, -2.0f), 1200.0f);
    EXPECT_EQ(RoundToDecimals(2.5f, 0.0f), 2.0f); // halves to even
    EXPECT_EQ(RoundToDecimals(3.5f, 0.5f), 4.0f); // |places| below 1 means whole numbers
    EXPECT_EQ(RoundToDecimals(-1250.0f, -2.0f), -1200.0f);
    EXPECT_FLOAT_EQ(RoundToDecimals(12.3456f, 3.0f), 12.346f);
}

TEST(MathHelpers, TableSqrtMatchesItsWorkedValues)
{
    EXPECT_EQ(TableSqrt(0.0f), 0.0f);
    EXPECT_EQ(TableSqrt(2.0f), 1.4140625f);
    EXPECT_EQ(TableSqrt(3.0f), 1.7265625f);
    EXPECT_EQ(TableSqrt(10.0f), 3.15625f);
    EXPECT_EQ(TableSqrt(4.0f), 2.0f);
    EXPECT_EQ(TableSqrt(9.0f), 3.0f);
    EXPECT_EQ(TableSqrt(100.0f), 10.0f);
    EXPECT_EQ(TableSqrt(0.25f), 0.5f);
    // Odd negative exponents halve towards minus infinity.
    EXPECT_EQ(TableSqrt(0.5f), 1.4140625f / 2.0f);
    EXPECT_EQ(TableSqrt(0.125f), 1.4140625f / 4.0f);
}

TEST(MathHelpers, TableSqrtIsNeverHighAndAtMostAboutOnePercentLow)
{
    // The index keeps 7 bits of x (up to 1/256 low in the root) and the result
    // keeps 7 bits of the root (up to 1/128 more).
    for (float x = 1e-30f; x < 1e30f; x *= 1.0137f) {
        const float root = TableSqrt(x);
        const double exact = std::sqrt(double(x));
        ASSERT_LE(root, exact) << x;
        ASSERT_GT(root, exact * (1.0 - 1.0 / 128.0) * (1.0 - 1.0 / 256.0)) << x;
        ASSERT_EQ(std::bit_cast<uint32_t>(root) & 0xFFFF, 0u) << x; // a 7-bit mantissa
    }
    for (int k = -60; k <= 60; ++k)
        ASSERT_EQ(TableSqrt(std::ldexp(1.0f, 2 * k)), std::ldexp(1.0f, k)) << k;
}

TEST(MathHelpers, TablesAgreeWithTheLibrary)
{
    const CMathTables& tables = GetMathTables();
    for (uint32_t i = 0; i < 128; ++i) {
        EXPECT_EQ(tables.sqrtMantissa[i], uint8_t(std::floor((std::sqrt(1.0 + i / 128.0) - 1.0) * 128.0))) << i;
        EXPECT_EQ(tables.sqrtMantissa[128 + i], uint8_t(std::floor((std::sqrt(2.0 + i / 64.0) - 1.0) * 128.0))) << i;
    }
    for (uint32_t i = 0; i <= kTrigSteps; ++i) {
        const double angle = 2.0 * M_PI * i / kTrigSteps;
        ASSERT_NEAR(tables.sine[i], std::sin(angle), 2e-6) << i;
        ASSERT_NEAR(tables.cosine[i], std::cos(angle), 2e-6) << i;
        if (std::fabs(std::cos(angle)) > 0.01) { // away from the poles
            ASSERT_NEAR(tables.tangent[i], std::tan(angle), 1e-3 * (1 + std::fabs(std::tan(angle)))) << i;
        }
    }
    EXPECT_EQ(tables.arcTangent[0], 0.0f);
    for (uint32_t i = 1; i <= kArcTanSteps; ++i)
        ASSERT_NEAR(tables.arcTangent[i], std::atan(i / 1000.0), 1e-6) << i;
}

TEST(MathHelpers, LookupSinReadsTheEntryBelowTheAngle)
{
    const CMathTables& tables = GetMathTables();
    EXPECT_EQ(LookupSin(k2Pi), tables.sine[4000]);
    EXPECT_NEAR(LookupSin(k2Pi), 0.0f, 1e-6f);
    EXPECT_EQ(LookupSin(-kPi / 2.0f), tables.sine[3000]);
    EXPECT_EQ(LookupSin(0.0f), 0.0f);
    // One step is 2pi/4000: the table lags by at most that much.
    for (float a = -20.0f; a < 20.0f; a += 0.0123f) {
        const double step = 2.0 * M_PI / kTrigSteps;
        float sine;
        float cosine;
        LookupSinCos(a, sine, cosine);
        ASSERT_EQ(sine, LookupSin(a));
        ASSERT_NEAR(sine, std::sin(double(a)), step + 1e-5) << a;
        ASSERT_NEAR(cosine, std::cos(double(a)), step + 1e-5) << a;
    }
    EXPECT_EQ(LookupSin(std::numeric_limits<float>::quiet_NaN()), tables.sine[0]);
}

TEST(MathHelpers, EaseInOutEndsAtZeroAndOneAndNeverGoesBack)
{
    const float pairs[][2] = {{0.25f, 0.75f}, {0.0f, 1.0f}, {0.1f, 0.3f}, {0.5f, 0.5f}, {0.0f, 0.0f}, {1.0f, 1.0f}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(EaseInOut(0.0f, pair[0], pair[1]), 0.0f) << pair[0] << " " << pair[1];
        EXPECT_EQ(EaseInOut(1.0f, pair[0], pair[1]), 1.0f) << pair[0] << " " << pair[1];
        float last = 0.0f;
        for (float t = 0.0f; t <= 1.0f; t += 0.001f) {
            const float eased = EaseInOut(t, pair[0], pair[1]);
            ASSERT_GE(eased, last - 1e-6f) << t;
            last = eased;
        }
    }
    EXPECT_FLOAT_EQ(EaseInOutSymmetric(0.5f, 0.25f), 0.5f);
    EXPECT_FLOAT_EQ(EaseInOutSymmetric(0.5f, 0.4f), 0.5f);
}

TEST(MathHelpers, EaseInOutFollowsTheQuarterSineCurve)
{
    // The curve from the formula in double, against the table-driven one.
    const double a = 0.2;
    const double b = 0.6;
    const double easeIn = 2 * a / M_PI;
    const double easeOut = 2 * (1 - b) / M_PI;
    const double total = easeIn + (b - a) + easeOut;
    for (double t = 0.0; t <= 1.0; t += 0.01) {
        double distance;
        if (t < a)
            distance = (std::sin(M_PI / 2 * t / a - M_PI / 2) + 1) * easeIn;
        else if (t <= b)
            distance = easeIn + (t - a);
        else
            distance = easeIn + (b - a) + std::sin(M_PI / 2 * (t - b) / (1 - b)) * easeOut;
        ASSERT_NEAR(EaseInOut(float(t), float(a), float(b)), distance / total, 2e-3) << t;
    }
}

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

TEST(FixedPoint, DividesWithRoundedFractionBits)
{
    EXPECT_EQ(FixedPointDivide(1, 3, 16), 21845);
    EXPECT_EQ(FixedPointDivide(2, 3, 16), 43691);
    EXPECT_EQ(FixedPointDivide(-2, 3, 16), -43691);
    EXPECT_EQ(FixedPointDivide(2, -3, 16), -43691);
    EXPECT_EQ(FixedPointDivide(-7, -2, 0), 4);
    EXPECT_EQ(FixedPointDivide(5, 0, 16), -1);
    EXPECT_EQ(FixedPointDivide(1 << 15, 1, 16), -1) << "2^31 does not fit";
    EXPECT_EQ(FixedPointDivide(-(1 << 15), 1, 16), kInt32Min);
    EXPECT_EQ(FixedPointDivide(1, 1, 31), -1);
    EXPECT_EQ(FixedPointDivide(1, 1, -1), -1);
}

TEST(FixedPoint, MultiplyDivideRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MultiplyDivide(1, 1, 2), 1);
    EXPECT_EQ(MultiplyDivide(3, 1, 2), 2);
    EXPECT_EQ(MultiplyDivide(-1, 1, 2), -1);
    EXPECT_EQ(MultiplyDivide(1, -3, 2), -2);
    EXPECT_EQ(MultiplyDivide(5, 1, -2), -3);
    EXPECT_EQ(MultiplyDivide(4, 1, 3), 1);
    EXPECT_EQ(MultiplyDivide(5, 1, 3), 2);
    EXPECT_EQ(MultiplyDivide(kInt32Max, kInt32Max, kInt32Max), kInt32Max) << "the product needs 62 bits";
    EXPECT_EQ(MultiplyDivide(kInt32Min, kInt32Min, kInt32Min), kInt32Min);
    EXPECT_EQ(MultiplyDivide(kInt32Max, 2, 1), -1);
    EXPECT_EQ(MultiplyDivide(kInt32Min, -1, 1), -1);
    EXPECT_EQ(MultiplyDivide(0, 0, 0), -1);
}

} // namespace
