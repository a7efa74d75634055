#include "blit/WidenRows_SSE2.h"

#include "blit/Sse2Lanes.h"

#include <cstring>

#if defined(__SSE2__)

namespace {

inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store(uint8_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Four 3-byte pixels from the low 12 bytes of v, alpha 255: each 64-bit
// half takes two pixels, the second moved up one byte.
inline __m128i Rgb24Four(__m128i v)
{
    const __m128i pairs = _mm_unpacklo_epi64(v, _mm_srli_si128(v, 6));
    const __m128i first = _mm_and_si128(pairs, _mm_set1_epi64x(0x0000000000FFFFFFll));
    const __m128i second = _mm_and_si128(_mm_slli_epi64(pairs, 8), _mm_set1_epi64x(0x00FFFFFF00000000ll));
    return _mm_or_si128(_mm_or_si128(first, second), _mm_set1_epi32(int32_t(0xFF000000u)));
}

} // namespace

uint32_t Rgb24To32Sse2(uint8_t* dst, const uint8_t* src, uint32_t count)
{
    uint32_t i = 0;
    // Each 16-byte load at pixel j uses 12 bytes and reads up to 3j + 16:
    // eight pixels need 3i + 28 <= 3 * count.
    for (; i + 10 <= count; i += 8) {
        Store(dst + 4 * i, Rgb24Four(Load(src + 3 * i)));
        Store(dst + 4 * i + 16, Rgb24Four(Load(src + 3 * i + 12)));
    }
    return i;
}

uint32_t Index8To32Sse2(uint8_t* dst, const uint8_t* src, const uint32_t* palette, uint32_t count)
{
    uint32_t i = 0;
    // Four pixels gathered per 16-byte store.
    for (; i + 4 <= count; i += 4) {
        const __m128i p0 = _mm_cvtsi32_si128(int32_t(palette[src[i]]));
        const __m128i p1 = _mm_cvtsi32_si128(int32_t(palette[src[i + 1]]));
        const __m128i p2 = _mm_cvtsi32_si128(int32_t(palette[src[i + 2]]));
        const __m128i p3 = _mm_cvtsi32_si128(int32_t(palette[src[i + 3]]));
        Store(dst + 4 * i, _mm_unpacklo_epi64(_mm_unpacklo_epi32(p0, p1), _mm_unpacklo_epi32(p2, p3)));
    }
    return i;
}

uint32_t Widen565To32Sse2(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, uint32_t count)
{
    Widen565To32Lanes(dst, src, alpha, count);
    return count;
}

#else

uint32_t Rgb24To32Sse2(uint8_t*, const uint8_t*, uint32_t)
{
    return 0;
}

uint32_t Index8To32Sse2(uint8_t*, const uint8_t*, const uint32_t*, uint32_t)
{
    return 0;
}

uint32_t Widen565To32Sse2(uint8_t*, const uint8_t*, const uint8_t*, uint32_t)
{
    return 0;
}

#endif
