#include "blit/CBlitNormalScale_SSE2.h"

#include <cstring>
#include <emmintrin.h>

namespace {

inline uint32_t Load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void Merge(uint8_t* d, uint32_t colour)
{
    const uint32_t kept = Load32(d) & 0xFF000000u;
    const uint32_t v = kept | (colour & 0xFFFFFFu);
    std::memcpy(d, &v, 4);
}

} // namespace

void ScaleRow32Sse2(uint8_t* dst, const uint8_t* srcRow, const uint32_t* columns, uint32_t width)
{
    const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
    uint32_t j = 0;
    for (; j + 4 <= width; j += 4) {
        const __m128i s = _mm_set_epi32(
            int32_t(Load32(srcRow + 4 * size_t(columns[j + 3]))), int32_t(Load32(srcRow + 4 * size_t(columns[j + 2]))),
            int32_t(Load32(srcRow + 4 * size_t(columns[j + 1]))), int32_t(Load32(srcRow + 4 * size_t(columns[j]))));
        __m128i* p = reinterpret_cast<__m128i*>(dst + 4 * size_t(j));
        const __m128i d = _mm_loadu_si128(p);
        _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(d, alpha), _mm_andnot_si128(alpha, s)));
    }
    for (; j < width; ++j)
        Merge(dst + 4 * size_t(j), Load32(srcRow + 4 * size_t(columns[j])));
}

void MergeColourRow32Sse2(uint8_t* dst, const uint8_t* above, uint32_t width)
{
    const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
    uint32_t j = 0;
    for (; j + 4 <= width; j += 4) {
        __m128i* p = reinterpret_cast<__m128i*>(dst + 4 * size_t(j));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + 4 * size_t(j)));
        const __m128i d = _mm_loadu_si128(p);
        _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(d, alpha), _mm_andnot_si128(alpha, a)));
    }
    for (; j < width; ++j)
        Merge(dst + 4 * size_t(j), Load32(above + 4 * size_t(j)));
}
