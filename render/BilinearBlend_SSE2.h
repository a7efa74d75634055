#pragma once
// The SSE2 form of the four-tap bilinear sample (private to render/): the
// same exact integer sums as the plain one, so the same bytes. The
// horizontal pairs are weighed by one madd (products below 2^16), the
// vertical pair by 16-bit low and high products joined into 32 bits.

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

// All four taps inside the image, p the upper left one; the sample goes to
// out (blue, green, red, alpha) and its alpha is returned.
inline uint32_t SampleInsideSse2(const uint8_t* p, ptrdiff_t stride, uint32_t fx, uint32_t fy, uint8_t out[4])
{
    const uint8_t* q = p + stride;
    if ((p[3] | p[7] | q[3] | q[7]) == 0)
        return 0;
    const __m128i zero = _mm_setzero_si128();
    __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    __m128i bottom = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)), zero);
    // Left and right tap side by side per channel: b0 b1 g0 g1 r0 r1 a0 a1.
    top = _mm_unpacklo_epi16(top, _mm_srli_si128(top, 8));
    bottom = _mm_unpacklo_epi16(bottom, _mm_srli_si128(bottom, 8));
    const __m128i wx = _mm_set1_epi32(int(fx << 16 | (256 - fx)));
    const __m128i h0 = _mm_madd_epi16(top, wx);
    const __m128i h1 = _mm_madd_epi16(bottom, wx);
    // Both rows as 16-bit lanes (values below 65281, kept bit for bit).
    const __m128i rows
        = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(h0, 16), 16), _mm_srai_epi32(_mm_slli_epi32(h1, 16), 16));
    const __m128i wy = _mm_unpacklo_epi64(_mm_set1_epi16(short(256 - fy)), _mm_set1_epi16(short(fy)));
    const __m128i lo = _mm_mullo_epi16(rows, wy);
    const __m128i hi = _mm_mulhi_epu16(rows, wy);
    const __m128i sum = _mm_add_epi32(_mm_unpacklo_epi16(lo, hi), _mm_unpackhi_epi16(lo, hi));
    __m128i result = _mm_srli_epi32(sum, 16);
    result = _mm_packs_epi32(result, result);
    result = _mm_packus_epi16(result, result);
    const uint32_t word = uint32_t(_mm_cvtsi128_si32(result));
    std::memcpy(out, &word, 4);
    return word >> 24;
}
