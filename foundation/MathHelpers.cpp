#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

CMathTables g_Tables;
bool g_TablesBuilt = false;

void BuildTables()
{
    for (uint32_t i = 0; i < 128; ++i) {
        const float x = 1.0f + float(i) / 128.0f;
        // Truncate the root's fraction to its top 7 bits.
        g_Tables.sqrtMantissa[i] = uint8_t((std::sqrt(x) - 1.0f) * 128.0f);
        g_Tables.sqrtMantissa[128 + i] = uint8_t((std::sqrt(2.0f * x) - 1.0f) * 128.0f);
    }
    for (uint32_t i = 0; i <= kTrigSteps; ++i) {
        const float angle = (float(i) / float(kTrigSteps) * kPi) * 2.0f;
        g_Tables.sine[i] = float(std::sin(double(angle)));
        g_Tables.cosine[i] = float(std::cos(double(angle)));
        g_Tables.tangent[i] = float(std::tan(double(angle)));
    }
    g_Tables.arcTangent[0] = 0.0f;
    for (uint32_t i = 1; i <= kArcTanSteps; ++i)
        g_Tables.arcTangent[i] = float(std::atan2(10.0, double(10000.0f / float(i))));
    g_TablesBuilt = true;
}

const CMathTables& Tables()
{
    if (!g_TablesBuilt)
        BuildTables();
    return g_Tables;
}

// The table index of an angle; out-of-range results (a NaN angle) read entry 0.
uint32_t TrigIndex(float angle)
{
    const float position = std::floor(WrapAngle0To2Pi(angle) * float(kTrigSteps) / k2Pi);
    if (!(position >= 0.0f && position <= float(kTrigSteps)))
        return 0;
    return uint32_t(position);
}

bool FitsInt32(float x)
{
    return x >= -2147483648.0f && x < 2147483648.0f;
}

} // namespace

const CMathTables& GetMathTables()
{
    return Tables();
}

float WrapAngle0To2Pi(float angle)
{
    if (angle >= 0.0f && angle <= k2Pi)
        return angle;
    if (angle > k2Pi)
        angle -= std::floor(angle / k2Pi) * k2Pi;
    else if (angle < 0.0f)
        angle += (std::floor(angle / -k2Pi) + 1.0f) * k2Pi;
    if (angle < 0.0f)
        return 0.0f;
    if (angle >= k2Pi)
        return k2Pi;
    return angle;
}

int32_t FloorToInt(float x)
{
    if (!FitsInt32(x))
        return INT32_MIN;
    return int32_t(std::floor(x));
}

int32_t CeilToInt(float x)
{
    const float up = std::ceil(x);
    if (!FitsInt32(up))
        return INT32_MIN;
    return int32_t(up);
}

int32_t RoundToIntHeld(float x)
{
    return TruncateToInt32(std::nearbyint(double(x)));
}

float FloorFloat(float x)
{
    return std::floor(x);
}

float CeilFloat(float x)
{
    return std::ceil(x);
}

uint32_t BitLength(uint32_t n)
{
    return uint32_t(std::bit_width(n));
}

int32_t FractionToPercent(float x)
{
    const float percent = std::nearbyint(x * 100.0f);
    if (!FitsInt32(percent))
        return INT32_MIN;
    int32_t result = int32_t(percent);
    if (result == 0 && x > 0.0f)
        result = 1;
    else if (result == 100 && x < 1.0f)
        result = 99;
    return result;
}

float RoundToDecimals(float x, float places)
{
    float factor = 1.0f;
    if (places >= 1.0f)
        factor = std::pow(10.0f, places);
    else if (places <= -1.0f)
        factor = 1.0f / std::pow(10.0f, -places);
    return std::nearbyint(x * factor) / factor;
}

float TableSqrt(float x)
{
    if (!(x > 0.0f))
        return 0.0f;
    const uint32_t bits = std::bit_cast<uint32_t>(x);
    const int32_t biased = int32_t(bits >> 23);
    const uint32_t top7 = (bits >> 16) & 0x7F;
    const uint32_t index = (biased & 1) ? top7 : 128 + top7;
    // Arithmetic shift: the halving rounds towards minus infinity, so that
    // 0.5 (unbiased -1) lands on -1 and not 0.
    const int32_t exponent = ((biased - 127) >> 1) + 127;
    return std::bit_cast<float>(uint32_t(exponent) << 23 | uint32_t(Tables().sqrtMantissa[index]) << 16);
}

float LookupSin(float angle)
{
    return Tables().sine[TrigIndex(angle)];
}

void LookupSinCos(float angle, float& sine, float& cosine)
{
    const uint32_t index = TrigIndex(angle);
    sine = Tables().sine[index];
    cosine = Tables().cosine[index];
}

float EaseInOut(float t, float a, float b)
{
    constexpr float kHalfPi = kPi / 2.0f;
    const float easeIn = 2.0f * a / kPi;
    const float easeOut = 2.0f * (1.0f - b) / kPi;
    float distance;
    if (t < a)
        distance = (LookupSin(kHalfPi * t / a - kHalfPi) + 1.0f) * easeIn;
    else if (t <= b)
        distance = easeIn + (t - a);
    else
        distance = easeIn + (b - a) + LookupSin(kHalfPi * (t - b) / (1.0f - b)) * easeOut;
    return distance / (easeIn + (b - a) + easeOut);
}

float EaseInOutSymmetric(float t, float a)
{
    return EaseInOut(t, a, 1.0f - a);
}

int32_t MultiplyDivide(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = int64_t(a) * int64_t(b);
    const bool negative = (product < 0) != (c < 0);
    // Magnitudes: the product is at most 2^62, so adding half the divisor
    // cannot overflow in 64 bits.
    const uint64_t numerator = product < 0 ? uint64_t(0) - uint64_t(product) : uint64_t(product);
    const uint64_t divisor = c < 0 ? uint64_t(0) - uint64_t(int64_t(c)) : uint64_t(c);
    const uint64_t quotient = (numerator + divisor / 2) / divisor;
    const uint64_t limit
        = negative ? uint64_t(std::numeric_limits<int32_t>::max()) + 1 : uint64_t(std::numeric_limits<int32_t>::max());
    if (quotient > limit)
        return -1;
    return negative ? int32_t(-int64_t(quotient)) : int32_t(quotient);
}

int32_t FixedPointDivide(int32_t a, int32_t b, int32_t shift)
{
    if (shift < 0 || shift > 30)
        return -1;
    return MultiplyDivide(a, int32_t(1) << shift, b);
}
