#include "blit/ArgbRows_SSE2.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

void MaskTail(uint8_t* d, const uint8_t* s, uint32_t count, uint32_t opacity)
{
    for (uint32_t i = 0; i < count; ++i, d += 4, s += 4) {
        const uint32_t a = (s[3] * opacity) >> 8;
        if (a < 4)
            continue;
        if (a >= 251) {
            std::memcpy(d, s, 4);
            continue;
        }
        const int32_t k = int32_t(a >> 1);
        for (uint32_t c = 0; c < 4; ++c) {
            const int16_t product = int16_t((int32_t(s[c]) - int32_t(d[c])) * k);
            d[c] = uint8_t(std::clamp(int32_t(d[c]) + (product >> 7), 0, 255));
        }
    }
}

#if defined(__SSE2__)

// Two pixels' bytes as 16-bit lanes moved toward the source by k (per pixel,
// repeated over its four lanes); the product fits signed 16 bits.
inline __m128i BlendHalf(__m128i d16, __m128i s16, __m128i k16)
{
    const __m128i product = _mm_mullo_epi16(_mm_sub_epi16(s16, d16), k16);
    return _mm_add_epi16(d16, _mm_srai_epi16(product, 7));
}

#endif

} // namespace

void ArgbMask32Sse2(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t opacity)
{
    uint32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i o = _mm_set1_epi32(int32_t(opacity));
    const __m128i three = _mm_set1_epi32(3);
    const __m128i twoFifty = _mm_set1_epi32(250);
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
        // Weight per pixel; alpha * opacity <= 65280 fits the low 16-bit lane.
        const __m128i a = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(s, 24), o), 8);
        const __m128i skip = _mm_cmpgt_epi32(a, three);
        const __m128i copy = _mm_cmpgt_epi32(a, twoFifty);
        const int skipBits = _mm_movemask_ps(_mm_castsi128_ps(skip)); // set: not skipped
        if (skipBits == 0)
            continue;
        const int copyBits = _mm_movemask_ps(_mm_castsi128_ps(copy));
        if (copyBits == 0xF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + 4 * i));
        const __m128i k = _mm_srli_epi32(a, 1);
        const __m128i kk = _mm_or_si128(k, _mm_slli_epi32(k, 16));
        const __m128i low = BlendHalf(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi32(kk, kk));
        const __m128i high = BlendHalf(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi32(kk, kk));
        __m128i result = _mm_packus_epi16(low, high);
        result = _mm_or_si128(_mm_and_si128(copy, s), _mm_andnot_si128(copy, result));
        result = _mm_or_si128(_mm_and_si128(skip, result), _mm_andnot_si128(skip, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), result);
    }
#endif
    MaskTail(dst + 4 * i, src + 4 * i, count - i, opacity);
}
