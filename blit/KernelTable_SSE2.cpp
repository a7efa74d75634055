#include "blit/KernelTable_SSE2.h"

#include "blit/KernelLookupTables.h"
#include "blit/PixelBlends.h"
#include "blit/Sse2Lanes.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline uint16_t Load16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(uint8_t* p, uint16_t v)
{
    std::memcpy(p, &v, 2);
}

// The pixels past the last whole group, by the flooring blend.
template <typename Source, typename Weight>
void Tail(uint8_t* dst, uint32_t from, uint32_t n, Source source, Weight weight)
{
    for (uint32_t i = from; i < n; ++i)
        Store16(dst + 2 * i, BlendPixel565(Load16(dst + 2 * i), source(i), weight(i)));
}

#if defined(__SSE2__)

// BlendPixel565Rounded in eight 16-bit lanes; w holds each lane's alpha.
inline __m128i Blend8(__m128i d, __m128i s, __m128i w)
{
    const __m128i mask5 = _mm_set1_epi16(31);
    const __m128i mask6 = _mm_set1_epi16(63);
    const __m128i w5 = _mm_srli_epi16(w, 3);
    const __m128i w6 = _mm_srli_epi16(w, 2);
    const __m128i iw5 = _mm_sub_epi16(mask5, w5);
    const __m128i iw6 = _mm_sub_epi16(mask6, w6);
    const __m128i sixteen = _mm_set1_epi16(16);

    const auto five = [&](__m128i sc, __m128i dc) {
        const __m128i z = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(sc, w5), _mm_mullo_epi16(dc, iw5)), sixteen);
        return _mm_srli_epi16(_mm_add_epi16(z, _mm_srli_epi16(z, 5)), 5);
    };
    const __m128i red = five(_mm_srli_epi16(s, 11), _mm_srli_epi16(d, 11));
    const __m128i blue = five(_mm_and_si128(s, mask5), _mm_and_si128(d, mask5));
    const __m128i gs = _mm_and_si128(_mm_srli_epi16(s, 5), mask6);
    const __m128i gd = _mm_and_si128(_mm_srli_epi16(d, 5), mask6);
    const __m128i x = _mm_add_epi16(_mm_slli_epi16(_mm_add_epi16(_mm_mullo_epi16(gs, w6), _mm_mullo_epi16(gd, iw6)), 4),
                                    _mm_set1_epi16(512));
    const __m128i green = _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 6)), 10);
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(red, 11), _mm_slli_epi16(green, 5)), blue);
}

inline __m128i Load8(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i Load4(const uint8_t* p)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// Alpha bytes widened to 16-bit lanes.
inline __m128i Alphas8(const uint8_t* alpha)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha)), _mm_setzero_si128());
}

inline __m128i Alphas4(const uint8_t* alpha)
{
    int32_t four;
    std::memcpy(&four, alpha, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), _mm_setzero_si128());
}

// Groups of four over pixels 0 .. 4q - 1, eight at a time while eight fit.
// source(i, wide) and weight(i, wide) give the lanes of pixels i onwards
// (eight lanes when wide, else the low four). Answers the pixels done.
template <typename Source, typename Weight>
uint32_t Groups(uint8_t* dst, uint32_t n, Source source, Weight weight)
{
    const uint32_t grouped = n & ~3u;
    uint32_t i = 0;
    for (; i + 8 <= grouped; i += 8) {
        const __m128i result = Blend8(Load8(dst + 2 * i), source(i, true), weight(i, true));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * i), result);
    }
    if (i < grouped) {
        const __m128i result = Blend8(Load4(dst + 2 * i), source(i, false), weight(i, false));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 2 * i), result);
        i += 4;
    }
    return i;
}

// Where a literal run's weights come from.
enum class Weights { AlphaBytes, Opacity, ScaledAlphaBytes };

void LiteralGroups(const SRun& r, uint32_t n, const uint32_t* opacityRow, Weights mode)
{
    const uint8_t o = opacityRow ? uint8_t(opacityRow[255]) : 0;
    const auto source = [&r](uint32_t i, bool wide) { return wide ? Load8(r.src + 2 * i) : Load4(r.src + 2 * i); };
    const __m128i opacity = _mm_set1_epi16(o);
    const auto weight = [&](uint32_t i, bool wide) {
        if (mode == Weights::Opacity)
            return opacity;
        const __m128i a = wide ? Alphas8(r.alpha + i) : Alphas4(r.alpha + i);
        return mode == Weights::AlphaBytes ? a : _mm_srli_epi16(_mm_mullo_epi16(a, opacity), 8);
    };
    const uint32_t done = Groups(r.dst, n, source, weight);
    const auto tailSource = [&r](uint32_t i) { return Load16(r.src + 2 * i); };
    if (mode == Weights::AlphaBytes)
        Tail(r.dst, done, n, tailSource, [&r](uint32_t i) { return r.alpha[i]; });
    else if (mode == Weights::Opacity)
        Tail(r.dst, done, n, tailSource, [o](uint32_t) { return o; });
    else
        Tail(r.dst, done, n, tailSource, [&](uint32_t i) { return uint8_t(opacityRow[r.alpha[i]]); });
}

#endif

} // namespace

#if defined(__SSE2__)

void BlendRun565FastSse2(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count)
{
    const __m128i colours = _mm_set1_epi16(int16_t(colour));
    const __m128i alphas = _mm_set1_epi16(alpha);
    const uint32_t done = Groups(
        pixels, count, [colours](uint32_t, bool) { return colours; }, [alphas](uint32_t, bool) { return alphas; });
    Tail(
        pixels, done, count, [colour](uint32_t) { return colour; }, [alpha](uint32_t) { return alpha; });
}

void AlphaBlend16GroupSse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    LiteralGroups(run, count, nullptr, Weights::AlphaBytes);
}

void OpacityBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    LiteralGroups(run, count, args.tables.opacityRow, Weights::Opacity);
}

void ScaledAlphaBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    LiteralGroups(run, count, args.tables.opacityRow, Weights::ScaledAlphaBytes);
}

#else

void BlendRun565FastSse2(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count)
{
    BlendRun565FastPlain(pixels, colour, alpha, count);
}

void AlphaBlend16GroupSse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    const uint32_t grouped = count & ~3u;
    for (uint32_t i = 0; i < grouped; ++i)
        Store16(run.dst + 2 * i, BlendPixel565Rounded(Load16(run.dst + 2 * i), Load16(run.src + 2 * i), run.alpha[i]));
    Tail(
        run.dst, grouped, count, [&run](uint32_t i) { return Load16(run.src + 2 * i); },
        [&run](uint32_t i) { return run.alpha[i]; });
}

void OpacityBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    const uint8_t o = uint8_t(args.tables.opacityRow[255]);
    const uint32_t grouped = count & ~3u;
    for (uint32_t i = 0; i < grouped; ++i)
        Store16(run.dst + 2 * i, BlendPixel565Rounded(Load16(run.dst + 2 * i), Load16(run.src + 2 * i), o));
    Tail(
        run.dst, grouped, count, [&run](uint32_t i) { return Load16(run.src + 2 * i); }, [o](uint32_t) { return o; });
}

void ScaledAlphaBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    const uint32_t* row = args.tables.opacityRow;
    const uint32_t o = row[255] & 0xFF;
    const uint32_t grouped = count & ~3u;
    for (uint32_t i = 0; i < grouped; ++i)
        Store16(
            run.dst + 2 * i,
            BlendPixel565Rounded(Load16(run.dst + 2 * i), Load16(run.src + 2 * i), uint8_t((run.alpha[i] * o) >> 8)));
    Tail(
        run.dst, grouped, count, [&run](uint32_t i) { return Load16(run.src + 2 * i); },
        [&](uint32_t i) { return uint8_t(row[run.alpha[i]]); });
}

#endif

void AlphaBlend16GroupFillSse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    BlendRun565FastSse2(run.dst, uint16_t(run.value), uint8_t(run.alphaValue), count);
}

void OpacityBlend16GroupFillSse2(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    BlendRun565FastSse2(run.dst, uint16_t(run.value), uint8_t(args.tables.opacityRow[255]), count);
}

void ScaledAlphaBlend16GroupFillSse2(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    BlendRun565FastSse2(run.dst, uint16_t(run.value), uint8_t(args.tables.opacityRow[run.alphaValue & 0xFF]), count);
}

#if defined(__SSE2__)

namespace {

uint32_t Widened(uint32_t value, uint32_t alpha)
{
    uint8_t p[4];
    Widen565(uint16_t(value), p);
    p[3] = uint8_t(alpha);
    uint32_t pixel;
    std::memcpy(&pixel, p, 4);
    return pixel;
}

} // namespace

void Copy565To32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    Widen565To32Lanes(run.dst, run.src, nullptr, count);
}

void Fill565To32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    FillPixel32Lanes(run.dst, Widened(run.value, 255), count);
}

void Copy565AlphaTo32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    Widen565To32Lanes(run.dst, run.src, run.alpha, count);
}

void Fill565AlphaTo32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    FillPixel32Lanes(run.dst, Widened(run.value, run.alphaValue & 0xFF), count);
}

#else

namespace {

void WidenRun(const SRun& run, bool literal, const uint8_t* alpha, uint32_t alphaValue, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* p = run.dst + 4 * i;
        Widen565(literal ? Load16(run.src + 2 * i) : uint16_t(run.value), p);
        p[3] = alpha ? alpha[i] : uint8_t(alphaValue);
    }
}

} // namespace

void Copy565To32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    WidenRun(run, true, nullptr, 255, count);
}

void Fill565To32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    WidenRun(run, false, nullptr, 255, count);
}

void Copy565AlphaTo32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    WidenRun(run, true, run.alpha, 0, count);
}

void Fill565AlphaTo32Sse2(const SBlitArgs&, const SRun& run, uint32_t count)
{
    WidenRun(run, false, nullptr, run.alphaValue & 0xFF, count);
}

#endif
