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

#if defined(__SSE2__)

// Four pixels s at weights a (32-bit lanes) over dst.
inline void MaskFour(uint8_t* dst, __m128i s, __m128i a)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i skip = _mm_cmpgt_epi32(a, _mm_set1_epi32(3)); // set: not skipped
    const __m128i copy = _mm_cmpgt_epi32(a, _mm_set1_epi32(250));
    const int skipBits = _mm_movemask_ps(_mm_castsi128_ps(skip));
    if (skipBits == 0)
        return;
    const int copyBits = _mm_movemask_ps(_mm_castsi128_ps(copy));
    if (copyBits == 0xF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), s);
        return;
    }
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i k = _mm_srli_epi32(a, 1);
    const __m128i kk = _mm_or_si128(k, _mm_slli_epi32(k, 16));
    const __m128i low = BlendHalf(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi32(kk, kk));
    const __m128i high = BlendHalf(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi32(kk, kk));
    __m128i result = _mm_packus_epi16(low, high);
    // Mixed groups are rare inside a sprite and at its edge alike.
    if (copyBits != 0)
        result = _mm_or_si128(_mm_and_si128(copy, s), _mm_andnot_si128(copy, result));
    if (skipBits != 0xF)
        result = _mm_or_si128(_mm_and_si128(skip, result), _mm_andnot_si128(skip, d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), result);
}

template <bool Scaled>
inline __m128i Weights(__m128i s, __m128i o)
{
    // alpha * opacity <= 65280 fits the low 16-bit lane.
    const __m128i a = _mm_srli_epi32(s, 24);
    if constexpr (Scaled)
        return _mm_srli_epi32(_mm_mullo_epi16(a, o), 8);
    else
        return a;
}

template <bool Scaled>
uint32_t MaskGroups(uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t opacity)
{
    uint32_t i = 0;
    const __m128i o = _mm_set1_epi32(int32_t(opacity));
    // Eight at a time, with one test for eight copies or eight skips.
    for (; i + 8 <= count; i += 8) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i + 16));
        const __m128i a0 = Weights<Scaled>(s0, o), a1 = Weights<Scaled>(s1, o);
        const __m128i a = _mm_packs_epi32(a0, a1);
        if (_mm_movemask_epi8(_mm_cmpgt_epi16(a, _mm_set1_epi16(250))) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), s0);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i + 16), s1);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpgt_epi16(a, _mm_set1_epi16(3))) == 0)
            continue;
        MaskFour(dst + 4 * i, s0, a0);
        MaskFour(dst + 4 * i + 16, s1, a1);
    }
    if (i + 4 <= count) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
        MaskFour(dst + 4 * i, s0, Weights<Scaled>(s0, o));
        i += 4;
    }
    return i;
}

#endif

} // namespace

void ArgbMask32Sse2(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t opacity)
{
    uint32_t i = 0;
#if defined(__SSE2__)
    i = opacity >= 256 ? MaskGroups<false>(dst, src, count, opacity) : MaskGroups<true>(dst, src, count, opacity);
#endif
    MaskTail(dst + 4 * i, src + 4 * i, count - i, opacity);
}
