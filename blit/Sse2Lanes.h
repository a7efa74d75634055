#pragma once
// Lane helpers shared by the SSE2 kernels (private to blit/).

#include "blit/KernelLookupTables.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

// Expand5To8 and Expand6To8 as arithmetic on 16-bit lanes, equal to the
// tables for every entry (red and blue 11 giving 91 included).
inline __m128i Expand5Lanes(__m128i v)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(1053)), _mm_set1_epi16(65)), 7);
}

inline __m128i Expand6Lanes(__m128i v)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(259)), _mm_set1_epi16(33)), 6);
}

// The green field of RGB565 lanes widened where it lies: ((g * 32 + 4) *
// 8289) >> 16 equals Expand6To8 for every g.
inline __m128i Expand6InPlace(__m128i pixels)
{
    const __m128i g32 = _mm_or_si128(_mm_and_si128(pixels, _mm_set1_epi16(0x07E0)), _mm_set1_epi16(4));
    return _mm_mulhi_epu16(g32, _mm_set1_epi16(8289));
}

// Eight RGB565 pixels to blue, green, red, alpha bytes; alphaHigh holds each
// pixel's alpha in the high byte of its lane. Low four pixels first.
inline void Widen565Lanes(__m128i v, __m128i alphaHigh, __m128i& low, __m128i& high)
{
    const __m128i b = Expand5Lanes(_mm_and_si128(v, _mm_set1_epi16(31)));
    const __m128i g = Expand6InPlace(v);
    const __m128i r = Expand5Lanes(_mm_srli_epi16(v, 11));
    const __m128i bg = _mm_or_si128(b, _mm_slli_epi16(g, 8));
    const __m128i ra = _mm_or_si128(r, alphaHigh);
    low = _mm_unpacklo_epi16(bg, ra);
    high = _mm_unpackhi_epi16(bg, ra);
}

// Widen565Lanes with alpha 255: red * 1053 + 65 stays below 0x8000, so
// with 0x8000 added the arithmetic shift of Expand5Lanes fills the high byte
// with ones.
inline void Widen565LanesOpaque(__m128i v, __m128i& low, __m128i& high)
{
    const __m128i b = Expand5Lanes(_mm_and_si128(v, _mm_set1_epi16(31)));
    const __m128i g = Expand6InPlace(v);
    const __m128i r = _mm_mullo_epi16(_mm_srli_epi16(v, 11), _mm_set1_epi16(1053));
    const __m128i ra = _mm_srai_epi16(_mm_add_epi16(r, _mm_set1_epi16(int16_t(0x8000 + 65))), 7);
    const __m128i bg = _mm_or_si128(b, _mm_slli_epi16(g, 8));
    low = _mm_unpacklo_epi16(bg, ra);
    high = _mm_unpackhi_epi16(bg, ra);
}

// count RGB565 pixels to blue, green, red bytes with the alpha bytes of
// alpha (Alpha) or 255. Every pixel depends on its source alone, so groups
// may overlap instead of leaving a tail: runs of 8 to 16 pixels, the usual
// literals of sprites, take two groups and no data-dependent branch beyond
// the size class. dst and src must not overlap. Nothing outside the count
// is read or written. Inlined into the run decoders, where a call per run
// and the mispredicted loop exits cost more than the widening.
template <bool Alpha>
[[gnu::always_inline]] inline void Widen565Run(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, uint32_t count)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i low, high;
    const auto lanes = [&](__m128i v, __m128i a) {
        if constexpr (Alpha)
            Widen565Lanes(v, a, low, high);
        else
            Widen565LanesOpaque(v, low, high);
    };
    const auto eight = [&](uint32_t i) {
        __m128i a = zero;
        if constexpr (Alpha)
            a = _mm_unpacklo_epi8(zero, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + i)));
        lanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i)), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i + 16), high);
    };
    // Pixels 0 to 3 and j to j + 3 (j at most 4) in one group.
    const auto fourTwice = [&](uint32_t j) {
        __m128i a = zero;
        if constexpr (Alpha) {
            int32_t first, second;
            std::memcpy(&first, alpha, 4);
            std::memcpy(&second, alpha + j, 4);
            a = _mm_unpacklo_epi8(zero, _mm_unpacklo_epi32(_mm_cvtsi32_si128(first), _mm_cvtsi32_si128(second)));
        }
        lanes(_mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src)),
                                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + 2 * j))),
              a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * j), high);
    };
    // Pixel i alone.
    const auto one = [&](uint32_t i) {
        uint16_t pixel;
        std::memcpy(&pixel, src + 2 * i, 2);
        Widen565(pixel, dst + 4 * i);
        dst[4 * i + 3] = Alpha ? alpha[i] : 255;
    };
    if (count - 8 <= 8) {
        eight(0);
        if (count > 8)
            eight(count - 8);
    } else if (count > 16) {
        for (uint32_t i = 0; i + 8 < count; i += 8)
            eight(i);
        eight(count - 8);
    } else if (count >= 4) {
        fourTwice(count - 4);
    } else if (count > 0) {
        one(0);
        one(count >> 1);
        one(count - 1);
    }
}

inline void Widen565To32Lanes(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, uint32_t count)
{
    if (alpha)
        Widen565Run<true>(dst, src, alpha, count);
    else
        Widen565Run<false>(dst, src, nullptr, count);
}

// One pixel written count times.
inline void FillPixel32Lanes(uint8_t* dst, uint32_t pixel, uint32_t count)
{
    const __m128i four = _mm_set1_epi32(int32_t(pixel));
    uint32_t i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), four);
    for (; i < count; ++i)
        std::memcpy(dst + 4 * i, &pixel, 4);
}

#endif
