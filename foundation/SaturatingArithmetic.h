#pragma once
// Sums and products of 32-bit numbers that come from data files (positions,
// sizes, spacings, counts). Past the int32 range the result is held at the
// nearer end instead of wrapping, so a damaged value places things far away,
// where clipping drops them, and never somewhere else on screen.

#include <algorithm>
#include <cstdint>

constexpr int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

constexpr int32_t SaturatingAdd(int32_t a, int32_t b)
{
    return ClampToInt32(int64_t(a) + b);
}

constexpr int32_t SaturatingSub(int32_t a, int32_t b)
{
    return ClampToInt32(int64_t(a) - b);
}

// Exact in 64 bits: both factors are below 2^31 in size.
constexpr int32_t SaturatingMul(int32_t a, int32_t b)
{
    return ClampToInt32(int64_t(a) * b);
}

// base + m * stepM + n * stepN, exact before it is held: the place of cell
// (m, n) of a grid of two steps. Each product alone reaches 2^62.
constexpr int32_t SaturatingGridPlace(int32_t base, int32_t m, int32_t stepM, int32_t n, int32_t stepN)
{
    const __int128 exact = __int128(base) + __int128(m) * stepM + __int128(n) * stepN;
    return int32_t(exact < INT32_MIN ? INT32_MIN : exact > INT32_MAX ? INT32_MAX : exact);
}

// a + b / 2, the centre of a span that starts at a and is b long.
constexpr int32_t SaturatingCentre(int32_t a, int32_t b)
{
    return ClampToInt32(int64_t(a) + b / 2);
}

// The whole part of x, held to the int32 range (NaN: 0).
constexpr int32_t TruncateToInt32(double x)
{
    if (!(x == x))
        return 0;
    return x <= double(INT32_MIN) ? INT32_MIN : x >= double(INT32_MAX) ? INT32_MAX : int32_t(x);
}
