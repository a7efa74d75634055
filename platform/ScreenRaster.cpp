#include "platform/ScreenRaster.h"

#include "platform/Cpu.h"

#include <algorithm>
#include <cmath>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

namespace {

bool g_PlainRaster = false;

struct Texel {
    float b, g, r, a;
};

// Byte i as the fraction i / 255, read from a table rather than computed per
// channel (the same values: each entry is i times 1 / 255).
struct ByteFractions {
    float value[256];
    ByteFractions()
    {
        constexpr float k = 1.0f / 255.0f;
        for (int i = 0; i < 256; ++i)
            value[i] = float(i) * k;
    }
};
const ByteFractions kFractions;

Texel Unpack(uint32_t pixel)
{
    const float* f = kFractions.value;
    return {f[pixel & 0xFF], f[(pixel >> 8) & 0xFF], f[(pixel >> 16) & 0xFF], f[pixel >> 24]};
}

// Nearest byte, halves up: the value is never negative here, so adding a
// half and truncating rounds as the library would.
uint32_t ToByte(float value)
{
    return uint32_t(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// The whole part of v held to [low, high] (NaN: low). Vertices come from
// data and may lie past the int32 range; the spans the callers take keep
// their meaning when the value is held just outside the screen.
int32_t HeldWhole(float v, int32_t low, int32_t high)
{
    if (!(v > float(low)))
        return low;
    if (v >= float(high))
        return high;
    return int32_t(v);
}

int32_t Address(int32_t index, int32_t size, TextureAddress address)
{
    if (address == TextureAddress::Wrap) {
        const int32_t wrapped = index % size;
        return wrapped < 0 ? wrapped + size : wrapped;
    }
    return std::clamp(index, 0, size - 1);
}

// The four texels around (u, v) and the weights between them.
struct Taps {
    size_t i00, i10, i01, i11;
    float ax, ay;
};

Taps BilinearTaps(const TextureLevel& level, float u, float v, TextureAddress address)
{
    const int32_t w = int32_t(level.width);
    const int32_t h = int32_t(level.height);
    const float tx = u * float(w) - 0.5f;
    const float ty = v * float(h) - 0.5f;
    const float fx = std::floor(tx);
    const float fy = std::floor(ty);
    const int32_t ix = HeldWhole(fx, -(1 << 30), 1 << 30), iy = HeldWhole(fy, -(1 << 30), 1 << 30);
    const int32_t x0 = Address(ix, w, address);
    const int32_t x1 = Address(ix + 1, w, address);
    const int32_t y0 = Address(iy, h, address);
    const int32_t y1 = Address(iy + 1, h, address);
    return {size_t(y0) * size_t(w) + size_t(x0),
            size_t(y0) * size_t(w) + size_t(x1),
            size_t(y1) * size_t(w) + size_t(x0),
            size_t(y1) * size_t(w) + size_t(x1),
            tx - fx,
            ty - fy};
}

Texel SampleBilinear(const TextureLevel& level, float u, float v, TextureAddress address)
{
    const Taps taps = BilinearTaps(level, u, v, address);
    const float ax = taps.ax;
    const float ay = taps.ay;
    const Texel t00 = Unpack(level.pixels[taps.i00]);
    const Texel t10 = Unpack(level.pixels[taps.i10]);
    const Texel t01 = Unpack(level.pixels[taps.i01]);
    const Texel t11 = Unpack(level.pixels[taps.i11]);
    auto mix = [&](float Texel::*channel) {
        const float top = t00.*channel + (t10.*channel - t00.*channel) * ax;
        const float bottom = t01.*channel + (t11.*channel - t01.*channel) * ax;
        return top + (bottom - top) * ay;
    };
    return {mix(&Texel::b), mix(&Texel::g), mix(&Texel::r), mix(&Texel::a)};
}

float Edge(float ax, float ay, float bx, float by, float px, float py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// The corners' weights at a pixel centre.
struct Weights {
    float l0, l1, l2;
};

Weights WeightsAt(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float sign, float signedArea,
                  float px, float py)
{
    const float l0 = Edge(b.x, b.y, c.x, c.y, px, py) * sign / signedArea;
    const float l1 = Edge(c.x, c.y, a.x, a.y, px, py) * sign / signedArea;
    return {l0, l1, 1.0f - l0 - l1};
}

#if defined(__SSE2__)
// The SSE2 spans hold a colour as four floats in the pixel's byte order
// (blue, green, red, alpha) and do per lane what the plain code does per
// channel.
constexpr float kByteFraction = 1.0f / 255.0f;

// Whether bytes survive Unpack and ToByte unchanged and 255 reads as exactly
// 1: then an opaque texel over a white triangle is copied as it is.
const bool kBytesRoundTrip = [] {
    for (uint32_t i = 0; i < 256; ++i)
        if (ToByte(kFractions.value[i]) != i)
            return false;
    return kFractions.value[255] == 1.0f && kFractions.value[0] == 0.0f;
}();

[[gnu::always_inline]] inline __m128 UnpackSse2(uint32_t pixel)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(pixel)), zero);
    lanes = _mm_unpacklo_epi16(lanes, zero);
    return _mm_mul_ps(_mm_cvtepi32_ps(lanes), _mm_set1_ps(kByteFraction));
}

// ToByte of blue, green and red, alpha 255.
[[gnu::always_inline]] inline uint32_t PackSse2(__m128 colour)
{
    colour = _mm_min_ps(_mm_max_ps(colour, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    colour = _mm_add_ps(_mm_mul_ps(colour, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f));
    __m128i bytes = _mm_cvttps_epi32(colour);
    bytes = _mm_packs_epi32(bytes, bytes);
    bytes = _mm_packus_epi16(bytes, bytes);
    return uint32_t(_mm_cvtsi128_si32(bytes)) | 0xFF000000u;
}

[[gnu::always_inline]] inline float AlphaOf(__m128 colour)
{
    return _mm_cvtss_f32(_mm_shuffle_ps(colour, colour, _MM_SHUFFLE(3, 3, 3, 3)));
}

[[gnu::always_inline]] inline void BlendSse2(uint32_t& target, __m128 source, ScreenBlend blend)
{
    const float alpha = AlphaOf(source);
    if (blend == ScreenBlend::Normal) {
        if (alpha == 1.0f) {
            target = PackSse2(source);
            return;
        }
        if (alpha == 0.0f)
            return;
    }
    const float keep = blend == ScreenBlend::Additive ? 1.0f : 1.0f - alpha;
    const __m128 dest = UnpackSse2(target);
    target = PackSse2(_mm_add_ps(_mm_mul_ps(source, _mm_set1_ps(alpha)), _mm_mul_ps(dest, _mm_set1_ps(keep))));
}

// Two texels side by side in memory, each as UnpackSse2 gives it.
[[gnu::always_inline]] inline void UnpackPairSse2(const uint32_t* pair, __m128& left, __m128& right)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pair)), zero);
    const __m128 k = _mm_set1_ps(kByteFraction);
    left = _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(words, zero)), k);
    right = _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(words, zero)), k);
}

[[gnu::always_inline]] inline __m128 FilterSse2(const uint32_t* pixels, const Taps& taps)
{
    __m128 t00, t10, t01, t11;
    if (taps.i10 == taps.i00 + 1 && taps.i11 == taps.i01 + 1) {
        UnpackPairSse2(pixels + taps.i00, t00, t10);
        UnpackPairSse2(pixels + taps.i01, t01, t11);
    } else {
        t00 = UnpackSse2(pixels[taps.i00]);
        t10 = UnpackSse2(pixels[taps.i10]);
        t01 = UnpackSse2(pixels[taps.i01]);
        t11 = UnpackSse2(pixels[taps.i11]);
    }
    const __m128 ax = _mm_set1_ps(taps.ax);
    const __m128 top = _mm_add_ps(t00, _mm_mul_ps(_mm_sub_ps(t10, t00), ax));
    const __m128 bottom = _mm_add_ps(t01, _mm_mul_ps(_mm_sub_ps(t11, t01), ax));
    return _mm_add_ps(top, _mm_mul_ps(_mm_sub_ps(bottom, top), _mm_set1_ps(taps.ay)));
}

// Floor of lanes whose size is below 2^23 (so truncation is exact); a
// -0 comes out as +0, which no later step tells apart.
[[gnu::always_inline]] inline __m128 FloorSse2(__m128 value)
{
    const __m128 truncated = _mm_cvtepi32_ps(_mm_cvttps_epi32(value));
    return _mm_sub_ps(truncated, _mm_and_ps(_mm_cmpgt_ps(truncated, value), _mm_set1_ps(1.0f)));
}

// Whether every lane's size is below 2^23 (NaN is not).
[[gnu::always_inline]] inline bool FloorableSse2(__m128 value)
{
    const __m128 size = _mm_andnot_ps(_mm_set1_ps(-0.0f), value);
    return _mm_movemask_ps(_mm_cmplt_ps(size, _mm_set1_ps(8388608.0f))) == 0xF;
}

// Address of four indices: clamped, or wrapped in a power-of-two size.
[[gnu::always_inline]] inline __m128i AddressSse2(__m128i index, int32_t size, TextureAddress address)
{
    if (address == TextureAddress::Wrap)
        return _mm_and_si128(index, _mm_set1_epi32(size - 1));
    const __m128i high = _mm_set1_epi32(size - 1);
    const __m128i over = _mm_cmpgt_epi32(index, high);
    index = _mm_or_si128(_mm_and_si128(over, high), _mm_andnot_si128(over, index));
    return _mm_andnot_si128(_mm_cmpgt_epi32(_mm_setzero_si128(), index), index);
}

bool IsPowerOfTwo(uint32_t size)
{
    return size != 0 && (size & (size - 1)) == 0;
}

template <int kShift>
[[gnu::always_inline]] inline __m128 PlaneSse2(__m128i pixels)
{
    __m128i bytes = _mm_srli_epi32(pixels, kShift);
    if constexpr (kShift < 24)
        bytes = _mm_and_si128(bytes, _mm_set1_epi32(0xFF));
    return _mm_mul_ps(_mm_cvtepi32_ps(bytes), _mm_set1_ps(kByteFraction));
}

template <int kShift>
[[gnu::always_inline]] inline __m128 FilterPlaneSse2(__m128i t00, __m128i t10, __m128i t01, __m128i t11, __m128 ax,
                                                     __m128 ay)
{
    const __m128 f00 = PlaneSse2<kShift>(t00), f10 = PlaneSse2<kShift>(t10);
    const __m128 f01 = PlaneSse2<kShift>(t01), f11 = PlaneSse2<kShift>(t11);
    const __m128 top = _mm_add_ps(f00, _mm_mul_ps(_mm_sub_ps(f10, f00), ax));
    const __m128 bottom = _mm_add_ps(f01, _mm_mul_ps(_mm_sub_ps(f11, f01), ax));
    return _mm_add_ps(top, _mm_mul_ps(_mm_sub_ps(bottom, top), ay));
}

// ToByte of each lane, shifted into its channel.
template <int kShift>
[[gnu::always_inline]] inline __m128i ChannelSse2(__m128 value)
{
    value = _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    value = _mm_add_ps(_mm_mul_ps(value, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f));
    return _mm_slli_epi32(_mm_cvttps_epi32(value), kShift);
}

// Four neighbouring pixels blended at once, one pixel a lane, from the
// source's channels: per lane what BlendSse2 does per channel. An opaque
// source needs no branch of its own: s * 1 + d * 0 is s exactly.
[[gnu::always_inline]] inline void Blend4Sse2(uint32_t* target, __m128 b, __m128 g, __m128 r, __m128 alpha,
                                              ScreenBlend blend)
{
    const bool normal = blend == ScreenBlend::Normal;
    const __m128 one = _mm_set1_ps(1.0f);
    if (normal && _mm_movemask_ps(_mm_cmpeq_ps(alpha, one)) == 0xF) {
        const __m128i opaque = _mm_or_si128(_mm_or_si128(ChannelSse2<0>(b), ChannelSse2<8>(g)),
                                            _mm_or_si128(ChannelSse2<16>(r), _mm_set1_epi32(int32_t(0xFF000000u))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), opaque);
        return;
    }
    const __m128 keep = normal ? _mm_sub_ps(one, alpha) : one;
    const __m128i dest = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target));
    b = _mm_add_ps(_mm_mul_ps(b, alpha), _mm_mul_ps(PlaneSse2<0>(dest), keep));
    g = _mm_add_ps(_mm_mul_ps(g, alpha), _mm_mul_ps(PlaneSse2<8>(dest), keep));
    r = _mm_add_ps(_mm_mul_ps(r, alpha), _mm_mul_ps(PlaneSse2<16>(dest), keep));
    const __m128i packed = _mm_or_si128(_mm_or_si128(ChannelSse2<0>(b), ChannelSse2<8>(g)),
                                        _mm_or_si128(ChannelSse2<16>(r), _mm_set1_epi32(int32_t(0xFF000000u))));
    // A normal blend leaves the pixels under a clear source as they are.
    const __m128i write = normal ? _mm_castps_si128(_mm_cmpneq_ps(alpha, _mm_setzero_ps())) : _mm_set1_epi32(-1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target),
                     _mm_or_si128(_mm_and_si128(write, packed), _mm_andnot_si128(write, dest)));
}

// Four neighbouring pixels filtered and blended at once, one pixel a lane:
// per lane the operations FilterSse2 and BlendSse2 do per channel.
// The four texels around each of four pixel centres (one pixel a lane) and
// the filter's weights between them.
struct Texels4 {
    __m128i t00, t10, t01, t11;
    __m128 ax, ay;
};

void FilterAndBlend4Sse2(uint32_t* target, const Texels4& texels, __m128 colour, bool white, ScreenBlend blend)
{
    const __m128i t00 = texels.t00, t10 = texels.t10, t01 = texels.t01, t11 = texels.t11;
    const bool normal = blend == ScreenBlend::Normal;
    const __m128i any = _mm_or_si128(_mm_or_si128(t00, t10), _mm_or_si128(t01, t11));
    if (normal && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(any, 24), _mm_setzero_si128())) == 0xFFFF)
        return;
    const __m128 ax = texels.ax;
    const __m128 ay = texels.ay;
    __m128 b = FilterPlaneSse2<0>(t00, t10, t01, t11, ax, ay);
    __m128 g = FilterPlaneSse2<8>(t00, t10, t01, t11, ax, ay);
    __m128 r = FilterPlaneSse2<16>(t00, t10, t01, t11, ax, ay);
    __m128 alpha = FilterPlaneSse2<24>(t00, t10, t01, t11, ax, ay);
    if (!white) {
        b = _mm_mul_ps(_mm_shuffle_ps(colour, colour, _MM_SHUFFLE(0, 0, 0, 0)), b);
        g = _mm_mul_ps(_mm_shuffle_ps(colour, colour, _MM_SHUFFLE(1, 1, 1, 1)), g);
        r = _mm_mul_ps(_mm_shuffle_ps(colour, colour, _MM_SHUFFLE(2, 2, 2, 2)), r);
        alpha = _mm_mul_ps(_mm_shuffle_ps(colour, colour, _MM_SHUFFLE(3, 3, 3, 3)), alpha);
    }
    Blend4Sse2(target, b, g, r, alpha, blend);
}

// Each lane times factor, low 32 bits (texel indices stay far below 2^31).
[[gnu::always_inline]] inline __m128i MultiplySse2(__m128i lanes, int32_t factor)
{
    const __m128i by = _mm_set1_epi32(factor);
    const __m128i even = _mm_mul_epu32(lanes, by);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(lanes, 32), by);
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// The texels and weights of four neighbouring pixel centres of a row, lane
// for lane what WeightsAt and BilinearTaps give; false when a lane is out of
// FloorSse2's reach.
bool BilinearTaps4(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float sign, float signedArea,
                   const TextureLevel& level, TextureAddress address, int32_t x, float py, Texels4& texels)
{
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 px = _mm_add_ps(_mm_cvtepi32_ps(_mm_setr_epi32(x, x + 1, x + 2, x + 3)), half);
    const __m128 vsign = _mm_set1_ps(sign);
    const __m128 varea = _mm_set1_ps(signedArea);
    const __m128 e0 = _mm_sub_ps(_mm_set1_ps((c.x - b.x) * (py - b.y)),
                                 _mm_mul_ps(_mm_set1_ps(c.y - b.y), _mm_sub_ps(px, _mm_set1_ps(b.x))));
    const __m128 e1 = _mm_sub_ps(_mm_set1_ps((a.x - c.x) * (py - c.y)),
                                 _mm_mul_ps(_mm_set1_ps(a.y - c.y), _mm_sub_ps(px, _mm_set1_ps(c.x))));
    const __m128 l0 = _mm_div_ps(_mm_mul_ps(e0, vsign), varea);
    const __m128 l1 = _mm_div_ps(_mm_mul_ps(e1, vsign), varea);
    const __m128 l2 = _mm_sub_ps(_mm_sub_ps(_mm_set1_ps(1.0f), l0), l1);
    const __m128 u = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(a.u), l0), _mm_mul_ps(_mm_set1_ps(b.u), l1)),
                                _mm_mul_ps(_mm_set1_ps(c.u), l2));
    const __m128 v = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(a.v), l0), _mm_mul_ps(_mm_set1_ps(b.v), l1)),
                                _mm_mul_ps(_mm_set1_ps(c.v), l2));
    const int32_t w = int32_t(level.width);
    const int32_t h = int32_t(level.height);
    const __m128 tx = _mm_sub_ps(_mm_mul_ps(u, _mm_set1_ps(float(w))), half);
    const __m128 ty = _mm_sub_ps(_mm_mul_ps(v, _mm_set1_ps(float(h))), half);
    if (!FloorableSse2(tx) || !FloorableSse2(ty))
        return false;
    const __m128 fx = FloorSse2(tx);
    const __m128 fy = FloorSse2(ty);
    const __m128i ix = _mm_cvttps_epi32(fx);
    const __m128i iy = _mm_cvttps_epi32(fy);
    const __m128i one = _mm_set1_epi32(1);
    const __m128i x0 = AddressSse2(ix, w, address);
    const __m128i x1 = AddressSse2(_mm_add_epi32(ix, one), w, address);
    const __m128i top = MultiplySse2(AddressSse2(iy, h, address), w);
    const __m128i bottom = MultiplySse2(AddressSse2(_mm_add_epi32(iy, one), h, address), w);
    alignas(16) int32_t i00[4], i01[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(i00), _mm_add_epi32(top, x0));
    _mm_store_si128(reinterpret_cast<__m128i*>(i01), _mm_add_epi32(bottom, x0));
    const uint32_t* pixels = level.pixels.data();
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(x1, _mm_add_epi32(x0, one))) == 0xFFFF) {
        // Each pixel's two texels of a row lie side by side: read as pairs.
        auto pairs = [pixels](const int32_t(&at)[4], __m128i& left, __m128i& right) {
            auto pair = [pixels](int32_t i) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels + i)); };
            const __m128 low = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(at[0]), pair(at[1])));
            const __m128 high = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(at[2]), pair(at[3])));
            left = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
            right = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
        };
        pairs(i00, texels.t00, texels.t10);
        pairs(i01, texels.t01, texels.t11);
    } else {
        alignas(16) int32_t i10[4], i11[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(i10), _mm_add_epi32(top, x1));
        _mm_store_si128(reinterpret_cast<__m128i*>(i11), _mm_add_epi32(bottom, x1));
        auto gather = [pixels](const int32_t(&at)[4]) {
            return _mm_setr_epi32(int32_t(pixels[at[0]]), int32_t(pixels[at[1]]), int32_t(pixels[at[2]]),
                                  int32_t(pixels[at[3]]));
        };
        texels.t00 = gather(i00);
        texels.t10 = gather(i10);
        texels.t01 = gather(i01);
        texels.t11 = gather(i11);
    }
    texels.ax = _mm_sub_ps(tx, fx);
    texels.ay = _mm_sub_ps(ty, fy);
    return true;
}
#endif

// The whole-texel offset (texel = pixel + offset) when the triangle maps
// back-buffer pixels to texels of the level 1:1 without turning or scaling;
// bilinear filtering at texel centres then reads single texels.
bool OneToOneOffset(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float area, float w, float h,
                    int32_t& offsetX, int32_t& offsetY)
{
    constexpr float kTolerance = 1.0f / 4096.0f;
    const float dudx = ((b.u - a.u) * (c.y - a.y) - (c.u - a.u) * (b.y - a.y)) / area * w;
    const float dvdx = ((b.v - a.v) * (c.y - a.y) - (c.v - a.v) * (b.y - a.y)) / area * h;
    const float dudy = ((c.u - a.u) * (b.x - a.x) - (b.u - a.u) * (c.x - a.x)) / area * w;
    const float dvdy = ((c.v - a.v) * (b.x - a.x) - (b.v - a.v) * (c.x - a.x)) / area * h;
    if (std::fabs(dudx - 1.0f) > kTolerance || std::fabs(dvdy - 1.0f) > kTolerance || std::fabs(dudy) > kTolerance
        || std::fabs(dvdx) > kTolerance)
        return false;
    const float ox = a.u * w - a.x, oy = a.v * h - a.y;
    const float rx = std::round(ox), ry = std::round(oy);
    if (std::fabs(ox - rx) > kTolerance || std::fabs(oy - ry) > kTolerance)
        return false;
    if (!(std::fabs(rx) < 1e9f && std::fabs(ry) < 1e9f))
        return false;
    offsetX = int32_t(rx);
    offsetY = int32_t(ry);
    return true;
}

// Top and left edges own the pixels whose centres lie exactly on them.
bool IsTopLeft(float ax, float ay, float bx, float by, bool clockwise)
{
    const float dx = bx - ax;
    const float dy = by - ay;
    if (!clockwise)
        return (dy == 0.0f && dx < 0.0f) || dy > 0.0f;
    return (dy == 0.0f && dx > 0.0f) || dy < 0.0f;
}

} // namespace

bool SetPlainScreenRaster(bool plain)
{
    return std::exchange(g_PlainRaster, plain);
}

// What every span of a one-colour triangle shares.
struct CScreenRaster::Span {
    const ScreenVertex& a;
    const ScreenVertex& b;
    const ScreenVertex& c;
    float sign;
    float signedArea;
    const TextureLevel* level;
    bool copies;
    int32_t offsetX;
    int32_t offsetY;
    TextureAddress address;
    ScreenBlend blend;
};

#if defined(__SSE2__)
void CScreenRaster::DrawSpanSse2(const Span& span, int32_t y, int32_t first, int32_t last)
{
    uint32_t* row = m_Pixels.data() + size_t(y) * size_t(m_Width);
    const uint32_t argb = span.a.argb;
    const __m128 colour = UnpackSse2(argb);
    const bool white = argb == 0xFFFFFFFFu;
    const TextureLevel* level = span.level;
    if (!level) {
        const float alpha = AlphaOf(colour);
        if (span.blend == ScreenBlend::Normal && alpha == 0.0f)
            return;
        if (span.blend == ScreenBlend::Normal && alpha == 1.0f) {
            std::fill(row + first, row + last + 1, PackSse2(colour));
            return;
        }
        int32_t x = first;
        const __m128 b = _mm_shuffle_ps(colour, colour, _MM_SHUFFLE(0, 0, 0, 0));
        const __m128 g = _mm_shuffle_ps(colour, colour, _MM_SHUFFLE(1, 1, 1, 1));
        const __m128 r = _mm_shuffle_ps(colour, colour, _MM_SHUFFLE(2, 2, 2, 2));
        const __m128 a = _mm_shuffle_ps(colour, colour, _MM_SHUFFLE(3, 3, 3, 3));
        for (; x + 3 <= last; x += 4)
            Blend4Sse2(row + x, b, g, r, a, span.blend);
        for (; x <= last; ++x)
            BlendSse2(row[x], colour, span.blend);
        return;
    }
    if (span.copies) {
        const int32_t width = int32_t(level->width);
        const int32_t ty = Address(y + span.offsetY, int32_t(level->height), span.address);
        const uint32_t* texels = level->pixels.data() + size_t(ty) * level->width;
        // Wrapping in a power of two is a mask; clamping is needed only
        // where the run reads past the row.
        const int32_t from = first + span.offsetX, to = last + span.offsetX;
        const bool direct
            = span.address == TextureAddress::Clamp ? from >= 0 && to < width : IsPowerOfTwo(level->width);
        const int32_t mask = span.address == TextureAddress::Clamp ? -1 : width - 1;
        if (direct) {
            const uint32_t* source = texels;
            const int32_t offset = span.offsetX;
            if (white && span.blend == ScreenBlend::Normal && kBytesRoundTrip) {
                int32_t x = first;
                // Four texels in a row at a time where the run reads them in
                // order: all opaque are copied, all clear skipped.
                if (span.address == TextureAddress::Clamp) {
                    const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000u));
                    for (; x + 3 <= last; x += 4) {
                        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + offset));
                        const __m128i alphas = _mm_and_si128(four, opaque);
                        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphas, opaque)) == 0xFFFF) {
                            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), four);
                            continue;
                        }
                        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphas, _mm_setzero_si128())) == 0xFFFF)
                            continue;
                        Blend4Sse2(row + x, PlaneSse2<0>(four), PlaneSse2<8>(four), PlaneSse2<16>(four),
                                   PlaneSse2<24>(four), ScreenBlend::Normal);
                    }
                }
                for (; x <= last; ++x) {
                    const uint32_t texel = source[(x + offset) & mask];
                    const uint32_t alpha = texel >> 24;
                    if (alpha == 0xFF)
                        row[x] = texel;
                    else if (alpha != 0)
                        BlendSse2(row[x], UnpackSse2(texel), ScreenBlend::Normal);
                }
                return;
            }
            for (int32_t x = first; x <= last; ++x) {
                const __m128 texel = UnpackSse2(source[(x + offset) & mask]);
                BlendSse2(row[x], white ? texel : _mm_mul_ps(colour, texel), span.blend);
            }
            return;
        }
        if (white && span.blend == ScreenBlend::Normal && kBytesRoundTrip) {
            for (int32_t x = first; x <= last; ++x) {
                const uint32_t texel = texels[Address(x + span.offsetX, width, span.address)];
                const uint32_t alpha = texel >> 24;
                if (alpha == 0xFF)
                    row[x] = texel;
                else if (alpha != 0)
                    BlendSse2(row[x], UnpackSse2(texel), ScreenBlend::Normal);
            }
            return;
        }
        for (int32_t x = first; x <= last; ++x) {
            const __m128 texel = UnpackSse2(texels[Address(x + span.offsetX, width, span.address)]);
            BlendSse2(row[x], white ? texel : _mm_mul_ps(colour, texel), span.blend);
        }
        return;
    }
    const float py = float(y) + 0.5f;
    const uint32_t* pixels = level->pixels.data();
    const bool normal = span.blend == ScreenBlend::Normal;
    // Four equal texels filter to that texel exactly (each step adds a zero
    // difference), and four clear ones to clear, which a normal blend skips.
    auto filterAndBlend = [&](uint32_t& target, const Taps& taps) {
        const uint32_t t00 = pixels[taps.i00];
        if (normal && ((t00 | pixels[taps.i10] | pixels[taps.i01] | pixels[taps.i11]) >> 24) == 0)
            return;
        if (t00 == pixels[taps.i10] && t00 == pixels[taps.i01] && t00 == pixels[taps.i11]) {
            if (white && normal && t00 >> 24 == 0xFF && kBytesRoundTrip)
                target = t00;
            else
                BlendSse2(target, white ? UnpackSse2(t00) : _mm_mul_ps(colour, UnpackSse2(t00)), span.blend);
            return;
        }
        const __m128 texel = FilterSse2(pixels, taps);
        BlendSse2(target, white ? texel : _mm_mul_ps(colour, texel), span.blend);
    };
    auto one = [&](int32_t x) {
        const Weights l = WeightsAt(span.a, span.b, span.c, span.sign, span.signedArea, float(x) + 0.5f, py);
        const float u = span.a.u * l.l0 + span.b.u * l.l1 + span.c.u * l.l2;
        const float v = span.a.v * l.l0 + span.b.v * l.l1 + span.c.v * l.l2;
        filterAndBlend(row[x], BilinearTaps(*level, u, v, span.address));
    };
    int32_t x = first;
    const bool fours
        = span.address == TextureAddress::Clamp || (IsPowerOfTwo(level->width) && IsPowerOfTwo(level->height));
    for (Texels4 texels; fours && x + 3 <= last; x += 4) {
        if (!BilinearTaps4(span.a, span.b, span.c, span.sign, span.signedArea, *level, span.address, x, py, texels)) {
            for (int lane = 0; lane < 4; ++lane)
                one(x + lane);
            continue;
        }
        FilterAndBlend4Sse2(row + x, texels, colour, white, span.blend);
    }
    for (; x <= last; ++x)
        one(x);
}
#endif

void CScreenRaster::Resize(int32_t width, int32_t height)
{
    m_Width = std::max(width, 0);
    m_Height = std::max(height, 0);
    m_Pixels.assign(size_t(m_Width) * size_t(m_Height), 0xFF000000u);
}

void CScreenRaster::SwapPixels(std::vector<uint32_t>& pixels)
{
    m_Pixels.swap(pixels);
    m_Pixels.resize(size_t(m_Width) * size_t(m_Height), 0xFF000000u);
}

void CScreenRaster::Clear(uint32_t argb)
{
    std::fill(m_Pixels.begin(), m_Pixels.end(), argb | 0xFF000000u);
}

void CScreenRaster::Blend(int32_t x, int32_t y, const Colour& source, ScreenBlend blend)
{
    uint32_t& target = m_Pixels[size_t(y) * size_t(m_Width) + size_t(x)];
    if (blend == ScreenBlend::Normal) {
        // The two ends of the formula, exactly: opaque replaces, clear keeps.
        if (source.a == 1.0f) {
            target = 0xFF000000u | ToByte(source.r) << 16 | ToByte(source.g) << 8 | ToByte(source.b);
            return;
        }
        if (source.a == 0.0f)
            return;
    }
    const Texel dest = Unpack(target);
    const float keep = blend == ScreenBlend::Additive ? 1.0f : 1.0f - source.a;
    const float b = source.b * source.a + dest.b * keep;
    const float g = source.g * source.a + dest.g * keep;
    const float r = source.r * source.a + dest.r * keep;
    target = 0xFF000000u | ToByte(r) << 16 | ToByte(g) << 8 | ToByte(b);
}

void CScreenRaster::DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                 const std::vector<TextureLevel>* levels, TextureAddress address, ScreenBlend blend)
{
    const float area = Edge(a.x, a.y, b.x, b.y, c.x, c.y);
    if (area == 0.0f || m_Width == 0 || m_Height == 0)
        return;
    const bool clockwise = area > 0.0f;
    const int32_t left = std::max(0, HeldWhole(std::floor(std::min({a.x, b.x, c.x})), -1, m_Width));
    const int32_t right = std::min(m_Width - 1, HeldWhole(std::ceil(std::max({a.x, b.x, c.x})), -1, m_Width));
    const int32_t top = std::max(0, HeldWhole(std::floor(std::min({a.y, b.y, c.y})), -1, m_Height));
    const int32_t bottom = std::min(m_Height - 1, HeldWhole(std::ceil(std::max({a.y, b.y, c.y})), -1, m_Height));

    // The mip level follows the texel-to-pixel scale, constant over an affine triangle.
    const TextureLevel* level = nullptr;
    if (levels && !levels->empty()) {
        const float w = float((*levels)[0].width);
        const float h = float((*levels)[0].height);
        const float dudx = ((b.u - a.u) * (c.y - a.y) - (c.u - a.u) * (b.y - a.y)) / area * w;
        const float dvdx = ((b.v - a.v) * (c.y - a.y) - (c.v - a.v) * (b.y - a.y)) / area * h;
        const float dudy = ((c.u - a.u) * (b.x - a.x) - (b.u - a.u) * (c.x - a.x)) / area * w;
        const float dvdy = ((c.v - a.v) * (b.x - a.x) - (b.v - a.v) * (c.x - a.x)) / area * h;
        const float rho = std::max(std::sqrt(dudx * dudx + dvdx * dvdx), std::sqrt(dudy * dudy + dvdy * dvdy));
        const float lod = rho > 0.0f ? std::log2(rho) : 0.0f;
        size_t index = lod <= 0.5f ? 0 : size_t(std::ceil(lod + 0.5f) - 1.0f);
        index = std::min(index, levels->size() - 1);
        level = &(*levels)[index];
    }

    const bool ownAB = IsTopLeft(a.x, a.y, b.x, b.y, clockwise);
    const bool ownBC = IsTopLeft(b.x, b.y, c.x, c.y, clockwise);
    const bool ownCA = IsTopLeft(c.x, c.y, a.x, a.y, clockwise);
    const float sign = clockwise ? 1.0f : -1.0f;
    const float signedArea = area * sign;
    // Whether the centre of pixel (x, y) is covered, top-left edges owning ties.
    auto covered = [&](int32_t x, float py) {
        const float px = float(x) + 0.5f;
        const float w0 = Edge(b.x, b.y, c.x, c.y, px, py) * sign;
        const float w1 = Edge(c.x, c.y, a.x, a.y, px, py) * sign;
        const float w2 = Edge(a.x, a.y, b.x, b.y, px, py) * sign;
        if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
            return false;
        return !((w0 == 0.0f && !ownBC) || (w1 == 0.0f && !ownCA) || (w2 == 0.0f && !ownAB));
    };
    // Each edge as a function of the centre's x on a row: slope * px + base,
    // nonnegative inside.
    struct Line {
        float ax, ay, bx, by;
    };
    const Line edges[3] = {{b.x, b.y, c.x, c.y}, {c.x, c.y, a.x, a.y}, {a.x, a.y, b.x, b.y}};

    const bool flat = a.argb == b.argb && b.argb == c.argb;
    const Texel flatColour = Unpack(a.argb);
    int32_t offsetX = 0, offsetY = 0;
    const bool copies = level && level == &(*levels)[0]
        && OneToOneOffset(a, b, c, area, float(level->width), float(level->height), offsetX, offsetY);
#if defined(__SSE2__)
    const bool spans = flat && !g_PlainRaster && HasSse2() && !PlainKernelsRequested();
    const Span span{a, b, c, sign, signedArea, level, copies, offsetX, offsetY, address, blend};
#endif

    for (int32_t y = top; y <= bottom; ++y) {
        const float py = float(y) + 0.5f;
        // The covered run of the row: the edges' crossings estimate it, the
        // exact test settles its two ends (a convex shape covers one run).
        float from = float(left), to = float(right) + 1.0f;
        bool none = false;
        for (const Line& e : edges) {
            const float slope = -(e.by - e.ay) * sign;
            const float base = ((e.bx - e.ax) * (py - e.ay) + (e.by - e.ay) * e.ax) * sign;
            if (slope == 0.0f) {
                none = none || base < 0.0f;
                continue;
            }
            const float cross = -base / slope;
            if (slope > 0.0f)
                from = std::max(from, cross);
            else
                to = std::min(to, cross);
        }
        if (none || from > to + 2.0f)
            continue;
        int32_t first = std::max(left, HeldWhole(std::ceil(from - 0.5f), left, right + 2) - 1);
        int32_t last = std::min(right, HeldWhole(std::floor(to - 0.5f), left - 2, right) + 1);
        while (first <= last && !covered(first, py))
            ++first;
        while (last >= first && !covered(last, py))
            --last;
#if defined(__SSE2__)
        if (spans) {
            if (first <= last)
                DrawSpanSse2(span, y, first, last);
            continue;
        }
#endif
        for (int32_t x = first; x <= last; ++x) {
            Colour colour;
            float l0 = 0.0f, l1 = 0.0f, l2 = 0.0f;
            if (!flat || (level && !copies)) {
                const Weights weights = WeightsAt(a, b, c, sign, signedArea, float(x) + 0.5f, py);
                l0 = weights.l0;
                l1 = weights.l1;
                l2 = weights.l2;
            }
            if (flat) {
                colour = {flatColour.b, flatColour.g, flatColour.r, flatColour.a};
            } else {
                auto channel = [&](int shift) {
                    return (float((a.argb >> shift) & 0xFF) * l0 + float((b.argb >> shift) & 0xFF) * l1
                            + float((c.argb >> shift) & 0xFF) * l2)
                        / 255.0f;
                };
                colour = {channel(0), channel(8), channel(16), channel(24)};
            }
            if (level) {
                Texel texel;
                if (copies) {
                    const int32_t tx = Address(x + offsetX, int32_t(level->width), address);
                    const int32_t ty = Address(y + offsetY, int32_t(level->height), address);
                    texel = Unpack(level->pixels[size_t(ty) * level->width + size_t(tx)]);
                } else {
                    const float u = a.u * l0 + b.u * l1 + c.u * l2;
                    const float v = a.v * l0 + b.v * l1 + c.v * l2;
                    texel = SampleBilinear(*level, u, v, address);
                }
                colour = {colour.b * texel.b, colour.g * texel.g, colour.r * texel.r, colour.a * texel.a};
            }
            Blend(x, y, colour, blend);
        }
    }
}

void CScreenRaster::DrawLine(const ScreenVertex& a, const ScreenVertex& b, ScreenBlend blend)
{
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    if (dx == 0.0f && dy == 0.0f)
        return;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const float start = xMajor ? a.x : a.y;
    const float end = xMajor ? b.x : b.y;
    const float step = end > start ? 1.0f : -1.0f;
    // Centres from the first one at or after the start, up to but not including the end.
    float centre = step > 0.0f ? std::ceil(start - 0.5f) + 0.5f : std::floor(start + 0.5f) - 0.5f;
    for (; step > 0.0f ? centre < end : centre > end; centre += step) {
        const float t = (centre - start) / (end - start);
        const float minor = xMajor ? a.y + dy * t : a.x + dx * t;
        const int32_t x = HeldWhole(std::floor(xMajor ? centre : minor), -1, m_Width);
        const int32_t y = HeldWhole(std::floor(xMajor ? minor : centre), -1, m_Height);
        if (x < 0 || y < 0 || x >= m_Width || y >= m_Height)
            continue;
        auto channel = [&](int shift) {
            return (float((a.argb >> shift) & 0xFF) * (1.0f - t) + float((b.argb >> shift) & 0xFF) * t) / 255.0f;
        };
        Blend(x, y, Colour{channel(0), channel(8), channel(16), channel(24)}, blend);
    }
}

} // namespace plat
