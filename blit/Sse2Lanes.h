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

// count RGB565 pixels to blue, green, red bytes with the alpha bytes of
// alpha, or 255 where alpha is null. Every pixel depends on its source alone,
// so a last group overlaps the one before it instead of leaving a tail; dst
// and src must not overlap. Nothing outside the count is read or written.
inline void Widen565To32Lanes(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, uint32_t count)
{
    const __m128i opaque = _mm_set1_epi16(int16_t(0xFF00));
    const __m128i zero = _mm_setzero_si128();
    __m128i low, high;
    const auto eight = [&](uint32_t i) {
        const __m128i a = alpha ? _mm_unpacklo_epi8(zero, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + i)))
                                : opaque;
        Widen565Lanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i)), a, low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i + 16), high);
    };
    const auto four = [&](uint32_t i) {
        __m128i a = opaque;
        if (alpha) {
            int32_t bytes;
            std::memcpy(&bytes, alpha + i, 4);
            a = _mm_unpacklo_epi8(zero, _mm_cvtsi32_si128(bytes));
        }
        Widen565Lanes(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + 2 * i)), a, low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), low);
    };
    if (count >= 8) {
        // One branch per group: a whole last group is drawn as an overlap.
        for (uint32_t i = 0; i + 8 < count; i += 8)
            eight(i);
        eight(count - 8);
    } else if (count >= 4) {
        four(0);
        four(count - 4);
    } else {
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t pixel;
            std::memcpy(&pixel, src + 2 * i, 2);
            Widen565(pixel, dst + 4 * i);
            dst[4 * i + 3] = alpha ? alpha[i] : 255;
        }
    }
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
