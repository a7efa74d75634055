#include "shell/YCbCrConversion_SSE2.h"

#include "shell/YCbCrConversion.h"

#include <emmintrin.h>

#include <cstring>

void ConvertYCbCrRowSse2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t x, uint32_t count,
                         uint32_t* out)
{
    if (count > 0 && (x & 1)) {
        ConvertYCbCrRowPlain(y, cb, cr, x, 1, out);
        ++x, ++out, --count;
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i sixteen = _mm_set1_epi16(16);
    const __m128i half = _mm_set1_epi16(128);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i rounding = _mm_set1_epi32(128);
    // Coefficient pairs for _mm_madd_epi16 over interleaved lanes.
    const __m128i redCE = _mm_set_epi16(409, 298, 409, 298, 409, 298, 409, 298);
    const __m128i greenCD = _mm_set_epi16(-100, 298, -100, 298, -100, 298, -100, 298);
    const __m128i greenE1 = _mm_set_epi16(128, -208, 128, -208, 128, -208, 128, -208);
    const __m128i blueCD = _mm_set_epi16(516, 298, 516, 298, 516, 298, 516, 298);
    const __m128i alpha = _mm_set1_epi8(char(0xFF));
    for (; count >= 8; count -= 8, x += 8, out += 8) {
        __m128i luma = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x));
        int32_t cbBytes, crBytes;
        std::memcpy(&cbBytes, cb + (x >> 1), 4);
        std::memcpy(&crBytes, cr + (x >> 1), 4);
        __m128i blue8 = _mm_cvtsi32_si128(cbBytes);
        __m128i red8 = _mm_cvtsi32_si128(crBytes);
        // Each chroma sample serves two pixels.
        blue8 = _mm_unpacklo_epi8(blue8, blue8);
        red8 = _mm_unpacklo_epi8(red8, red8);
        const __m128i c = _mm_sub_epi16(_mm_unpacklo_epi8(luma, zero), sixteen);
        const __m128i d = _mm_sub_epi16(_mm_unpacklo_epi8(blue8, zero), half);
        const __m128i e = _mm_sub_epi16(_mm_unpacklo_epi8(red8, zero), half);

        auto channel
            = [&](__m128i lo, __m128i hi) { return _mm_packs_epi32(_mm_srai_epi32(lo, 8), _mm_srai_epi32(hi, 8)); };
        const __m128i ceLo = _mm_unpacklo_epi16(c, e), ceHi = _mm_unpackhi_epi16(c, e);
        const __m128i cdLo = _mm_unpacklo_epi16(c, d), cdHi = _mm_unpackhi_epi16(c, d);
        const __m128i e1Lo = _mm_unpacklo_epi16(e, one), e1Hi = _mm_unpackhi_epi16(e, one);
        const __m128i red = channel(_mm_add_epi32(_mm_madd_epi16(ceLo, redCE), rounding),
                                    _mm_add_epi32(_mm_madd_epi16(ceHi, redCE), rounding));
        const __m128i green = channel(_mm_add_epi32(_mm_madd_epi16(cdLo, greenCD), _mm_madd_epi16(e1Lo, greenE1)),
                                      _mm_add_epi32(_mm_madd_epi16(cdHi, greenCD), _mm_madd_epi16(e1Hi, greenE1)));
        const __m128i blue = channel(_mm_add_epi32(_mm_madd_epi16(cdLo, blueCD), rounding),
                                     _mm_add_epi32(_mm_madd_epi16(cdHi, blueCD), rounding));
        // Saturation to 0..255 is the clamp.
        const __m128i blueBytes = _mm_packus_epi16(blue, blue);
        const __m128i greenBytes = _mm_packus_epi16(green, green);
        const __m128i redBytes = _mm_packus_epi16(red, red);
        const __m128i bg = _mm_unpacklo_epi8(blueBytes, greenBytes);
        const __m128i ra = _mm_unpacklo_epi8(redBytes, alpha);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(bg, ra));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi16(bg, ra));
    }
    ConvertYCbCrRowPlain(y, cb, cr, x, count, out);
}
