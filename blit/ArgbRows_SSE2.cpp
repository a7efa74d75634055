#include "blit/ArgbRows_SSE2.h"

#include "blit/Sse2Lanes.h"

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

inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store(uint8_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Pixel weights k in 16-bit lanes from weights a (keep: a > 3, copy:
// a > 250): 0 below 4, so the destination stays; 128 from 251, which gives
// the source exactly; else a >> 1.
inline __m128i MaskWeights(__m128i a, __m128i keep, __m128i copy)
{
    return _mm_max_epi16(_mm_and_si128(_mm_srli_epi16(a, 1), keep), _mm_and_si128(copy, _mm_set1_epi16(128)));
}

// Four pixels over d: every byte d + (((s - d) * k) >> 7), the even bytes
// and the odd bytes each in 16-bit lanes; kk holds each pixel's k in both
// halves of its 32-bit lane. (s - d) * k fits signed 16 bits for k <= 128
// and the result stays between d and s, so no byte needs clamping.
inline __m128i BlendFour(__m128i d, __m128i s, __m128i kk)
{
    const __m128i even = _mm_set1_epi16(0xFF);
    const auto blend = [kk](__m128i dc, __m128i sc) {
        return _mm_add_epi16(dc, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(sc, dc), kk), 7));
    };
    const __m128i low = blend(_mm_and_si128(d, even), _mm_and_si128(s, even));
    const __m128i high = blend(_mm_srli_epi16(d, 8), _mm_srli_epi16(s, 8));
    return _mm_or_si128(low, _mm_slli_epi16(high, 8));
}

template <bool Scaled>
inline __m128i Weights(__m128i s, __m128i o)
{
    // alpha * opacity <= 65025 fits the low 16-bit lane.
    const __m128i a = _mm_srli_epi32(s, 24);
    if constexpr (Scaled)
        return _mm_srli_epi32(_mm_mullo_epi16(a, o), 8);
    else
        return a;
}

template <bool Scaled>
uint32_t MaskGroups(uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t opacity)
{
    const __m128i o = _mm_set1_epi32(int32_t(opacity));
    uint32_t i = 0;
    // Eight at a time, with one test for eight copies or eight skips.
    for (; i + 8 <= count; i += 8) {
        const __m128i s0 = Load(src + 4 * i), s1 = Load(src + 4 * i + 16);
        const __m128i a = _mm_packs_epi32(Weights<Scaled>(s0, o), Weights<Scaled>(s1, o));
        const __m128i copy = _mm_cmpgt_epi16(a, _mm_set1_epi16(250));
        if (_mm_movemask_epi8(copy) == 0xFFFF) {
            Store(dst + 4 * i, s0);
            Store(dst + 4 * i + 16, s1);
            continue;
        }
        const __m128i keep = _mm_cmpgt_epi16(a, _mm_set1_epi16(3));
        if (_mm_movemask_epi8(keep) == 0)
            continue;
        const __m128i k = MaskWeights(a, keep, copy);
        Store(dst + 4 * i, BlendFour(Load(dst + 4 * i), s0, _mm_unpacklo_epi16(k, k)));
        Store(dst + 4 * i + 16, BlendFour(Load(dst + 4 * i + 16), s1, _mm_unpackhi_epi16(k, k)));
    }
    return i;
}

// d moved toward s by BlendChannelRoundUp, all lanes 0..255. The rising
// part (s - d) * a + 255 and the falling part (d - s) * a - 255 both fit an
// unsigned lane; truncation toward zero floors each.
inline __m128i RoundUpBlend(__m128i d, __m128i s, __m128i a)
{
    const __m128i up = _mm_mullo_epi16(_mm_subs_epu16(s, d), a);
    const __m128i down = _mm_mullo_epi16(_mm_subs_epu16(d, s), a);
    const __m128i rise = _mm_srli_epi16(_mm_add_epi16(up, _mm_set1_epi16(255)), 8);
    const __m128i fall = _mm_srli_epi16(_mm_subs_epu16(down, _mm_set1_epi16(255)), 8);
    return _mm_sub_epi16(_mm_add_epi16(d, rise), fall);
}

// PackColor565 of 16-bit lanes, in its table form (the nearest level) or
// its start-up form (a half step added, truncated, capped). The table form:
// (v * 249 + 1014) >> 11 and (v * 253 + 505) >> 10 equal the tables.
template <bool Table>
inline __m128i Pack565(__m128i r, __m128i g, __m128i b)
{
    if constexpr (Table) {
        const auto scaled = [](__m128i v, int16_t m, int16_t c) {
            return _mm_add_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(m)), _mm_set1_epi16(c));
        };
        const __m128i red = _mm_and_si128(scaled(r, 249, 1014), _mm_set1_epi16(int16_t(0xF800)));
        const __m128i green = _mm_and_si128(_mm_srli_epi16(scaled(g, 253, 505), 5), _mm_set1_epi16(0x07E0));
        return _mm_or_si128(_mm_or_si128(red, green), _mm_srli_epi16(scaled(b, 249, 1014), 11));
    } else {
        const auto five = [](__m128i v) {
            return _mm_min_epi16(_mm_srli_epi16(_mm_add_epi16(v, _mm_set1_epi16(4)), 3), _mm_set1_epi16(31));
        };
        const __m128i six = _mm_min_epi16(_mm_srli_epi16(_mm_add_epi16(g, _mm_set1_epi16(2)), 2), _mm_set1_epi16(63));
        return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(five(r), 11), _mm_slli_epi16(six, 5)), five(b));
    }
}

template <bool Table>
uint32_t Over565Groups(uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const __m128i low = _mm_set1_epi16(0xFF);
    uint32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i s0 = Load(src + 4 * i), s1 = Load(src + 4 * i + 16);
        // Red and alpha, blue and green of each pixel as one 16-bit lane;
        // the arithmetic shifts keep packs from saturating.
        const __m128i ra = _mm_packs_epi32(_mm_srai_epi32(s0, 16), _mm_srai_epi32(s1, 16));
        const __m128i a = _mm_srli_epi16(ra, 8);
        // With the tables, widening then packing gives every pixel back.
        if (Table && _mm_movemask_epi8(_mm_cmpeq_epi16(a, _mm_setzero_si128())) == 0xFFFF)
            continue;
        const __m128i bg
            = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(s0, 16), 16), _mm_srai_epi32(_mm_slli_epi32(s1, 16), 16));
        const __m128i d = Load(dst + 2 * i);
        const __m128i db = Expand5Lanes(_mm_and_si128(d, _mm_set1_epi16(31)));
        const __m128i dg = Expand6InPlace(d);
        const __m128i dr = Expand5Lanes(_mm_srli_epi16(d, 11));
        Store(dst + 2 * i,
              Pack565<Table>(RoundUpBlend(dr, _mm_and_si128(ra, low), a), RoundUpBlend(dg, _mm_srli_epi16(bg, 8), a),
                             RoundUpBlend(db, _mm_and_si128(bg, low), a)));
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

uint32_t ArgbOver565Sse2(uint8_t* dst, const uint8_t* src, uint32_t count, bool tablePacking)
{
#if defined(__SSE2__)
    return tablePacking ? Over565Groups<true>(dst, src, count) : Over565Groups<false>(dst, src, count);
#else
    (void)dst;
    (void)src;
    (void)count;
    (void)tablePacking;
    return 0;
#endif
}
