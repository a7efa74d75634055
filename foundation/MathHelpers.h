#pragma once
// Numeric helpers shared across the engine: integer fixed-point scaling and,
// in 32-bit floats, rounding (to nearest means halves to even), angles, and
// the lookup tables that stand in for library calls in per-frame code. Table
// precision: 7 mantissa bits for square roots, 1/4000 of a turn for angles.

#include <cstdint>

inline constexpr float kPi = 3.1415927410125732f;
inline constexpr float k2Pi = 6.2831854820251465f;

inline constexpr uint32_t kTrigSteps = 4000;   // table steps per turn
inline constexpr uint32_t kArcTanSteps = 1000; // steps of the tangent 0..1

// An angle brought into [0, 2pi] by whole turns; rounding that leaves it
// outside is pinned to 0 or 2pi. Both 0 and 2pi are kept as they are.
float WrapAngle0To2Pi(float angle);

inline float ClampFloat(float value, float min, float max)
{
    return value < min ? min : (value > max ? max : value);
}

// Floor and ceiling as integers; outside the int32 range (and NaN) the answer
// is INT32_MIN, the processor's "integer indefinite".
int32_t FloorToInt(float x);
int32_t CeilToInt(float x);
// Nearest integer, halves to even, held to the int32 range (NaN: 0): for
// values drawn or shown, where a far-off input must still land near an end.
int32_t RoundToIntHeld(float x);
float FloorFloat(float x);
float CeilFloat(float x);

// Bits needed to write n: 0 for 0, 32 from 2^31.
uint32_t BitLength(uint32_t n);

// Whole percent of a fraction, rounded to nearest; never 0 for a fraction
// above 0 nor 100 for one below 1.
int32_t FractionToPercent(float x);

// x rounded to places decimals (negative places round to tens, hundreds...).
float RoundToDecimals(float x, float places);

// Square root with a 7-bit mantissa from the table; exact for even powers of
// two, otherwise low by at most one part in 128. 0 for 0 (and below).
float TableSqrt(float x);

// Sine and cosine of the table entry at floor(angle * 4000 / 2pi), the angle
// first wrapped into [0, 2pi]; no interpolation.
float LookupSin(float angle);
void LookupSinCos(float angle, float& sine, float& cosine);

// Eased position for t in [0, 1]: speed rises along a quarter sine up to a,
// stays constant to b and falls along a quarter sine to 1 (0 <= a <= b <= 1).
float EaseInOut(float t, float a, float b);
float EaseInOutSymmetric(float t, float a);

// The lookup tables, built together on first use of any of them.
struct CMathTables {
    uint8_t sqrtMantissa[256];  // [i]: sqrt(1 + i/128), then [128 + i]: sqrt(2 (1 + i/128))
    float sine[kTrigSteps + 1]; // [i]: function of the angle i/4000 of a turn
    float cosine[kTrigSteps + 1];
    float tangent[kTrigSteps + 1];
    float arcTangent[kArcTanSteps + 1]; // [i]: the angle whose tangent is i/1000
};
const CMathTables& GetMathTables();

// a * b / c through a 64-bit product, rounded to nearest with halves away
// from zero; -1 when c is 0 or the result does not fit 32 bits.
int32_t MultiplyDivide(int32_t a, int32_t b, int32_t c);
// a / b with shift fraction bits (0-30), rounded as MultiplyDivide; -1 when b
// is 0, on overflow, or for a shift outside 0-30.
int32_t FixedPointDivide(int32_t a, int32_t b, int32_t shift);
