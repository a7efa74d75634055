#pragma once
// The blend rules with which the rasteriser paths (transformed blits, shape
// fills and outlines, textured shapes) write into 32-bit frames, and the pixel
// format that carries one rule to AGG's renderers.
//
// Pixels are 4 bytes blue, green, red, alpha. A rule combines a source pixel
// s (an image sample, or the solid colour for shapes), the tint t and the
// rasteriser's coverage c (0..255) with the destination d. Each rule has a
// coverage form (Pixel) and a coverless form (PixelFull); the weights have
// thresholds below which d is left alone and above which s is stored, so that
// nearly transparent edges cost nothing and opaque interiors are plain stores.
// Solid rules read t only (the caller passes the colour as s as well).

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_rendering_buffer.h>

#include <algorithm>
#include <cstdint>

namespace blend {

constexpr int B = 0, G = 1, R = 2, A = 3;

inline uint8_t Sat(uint32_t v)
{
    return uint8_t(v > 255 ? 255 : v);
}

// d + (v - d) * w / 65536, the 16-bit weighted move (signed, flooring).
inline uint8_t Move16(uint8_t d, uint32_t v, uint32_t w)
{
    return uint8_t(((int32_t(v) - int32_t(d)) * int32_t(w) + (int32_t(d) << 16)) >> 16);
}
inline uint8_t Move8(uint8_t d, uint32_t v, uint32_t w)
{
    return uint8_t(((int32_t(v) - int32_t(d)) * int32_t(w) + (int32_t(d) << 8)) >> 8);
}

inline void Store(uint8_t* d, uint32_t b, uint32_t g, uint32_t r, uint32_t a)
{
    d[B] = uint8_t(b);
    d[G] = uint8_t(g);
    d[R] = uint8_t(r);
    d[A] = uint8_t(a);
}

// Tinted source over an opaque destination.
//   w = s.a * t.a (* c >> 8); v = s * t >> 8
//   w <= 1020: keep; w >= 64005: d = (v, 0); else d += (v - d) * w >> 16
struct Tinted {
    static void Weighted(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t w)
    {
        if (w <= 1020)
            return;
        const uint32_t vb = (s[B] * t[B]) >> 8, vg = (s[G] * t[G]) >> 8, vr = (s[R] * t[R]) >> 8;
        if (w >= 64005) {
            Store(d, vb, vg, vr, 0);
            return;
        }
        d[B] = Move16(d[B], vb, w);
        d[G] = Move16(d[G], vg, w);
        d[R] = Move16(d[R], vr, w);
    }
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t c)
    {
        Weighted(d, s, t, (s[A] * t[A] * c) >> 8);
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t* t) { Weighted(d, s, t, s[A] * t[A]); }
};

// Untinted source over an opaque destination; stores keep the source alpha.
//   w = s.a * c: keep at <= 1020, store at >= 64005, else 16-bit move
//   coverless w = s.a: keep at <= 4, store at >= 251, else 8-bit move
struct Plain {
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t*, uint32_t c)
    {
        const uint32_t w = s[A] * c;
        if (w <= 1020)
            return;
        if (w >= 64005) {
            Store(d, s[B], s[G], s[R], s[A]);
            return;
        }
        d[B] = Move16(d[B], s[B], w);
        d[G] = Move16(d[G], s[G], w);
        d[R] = Move16(d[R], s[R], w);
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t*)
    {
        const uint32_t w = s[A];
        if (w <= 4)
            return;
        if (w >= 251) {
            Store(d, s[B], s[G], s[R], s[A]);
            return;
        }
        d[B] = Move8(d[B], s[B], w);
        d[G] = Move8(d[G], s[G], w);
        d[R] = Move8(d[R], s[R], w);
    }
};

// Tinted source added with saturation: d = sat(d + (v * w >> 16)) for w > 1020.
struct Additive {
    static void Weighted(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t w)
    {
        if (w < 1021)
            return;
        d[B] = Sat(d[B] + ((((s[B] * t[B]) >> 8) * w) >> 16));
        d[G] = Sat(d[G] + ((((s[G] * t[G]) >> 8) * w) >> 16));
        d[R] = Sat(d[R] + ((((s[R] * t[R]) >> 8) * w) >> 16));
    }
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t c)
    {
        Weighted(d, s, t, (s[A] * t[A] * c) >> 8);
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t* t) { Weighted(d, s, t, s[A] * t[A]); }
};

// Composes over a destination whose alpha is coverage: a transparent
// destination takes the colour with the source's weight as alpha, an opaque
// one is blended, a partial one is weighted by both alphas (n / 256 is the
// resulting alpha):
//   k = (255 - w / 256) * d.a;  n = 256 d.a - d.a w / 256 + w
//   d = (k d + v w) / n;        d.a = n / 256
inline void OverAlphaWeighted(uint8_t* d, uint32_t vb, uint32_t vg, uint32_t vr, uint32_t w)
{
    if (w < 256)
        return;
    if (w >= 64770) {
        Store(d, vb, vg, vr, 255);
        return;
    }
    const uint32_t da = d[A];
    if (da == 0) {
        Store(d, vb, vg, vr, (w + 255) >> 8);
        return;
    }
    if (da == 255) {
        d[B] = Move16(d[B], vb, w);
        d[G] = Move16(d[G], vg, w);
        d[R] = Move16(d[R], vr, w);
        return;
    }
    const uint32_t k = (255 - (w >> 8)) * da;
    const uint32_t n = (da << 8) - ((da * w) >> 8) + w;
    d[B] = Sat((k * d[B] + vb * w) / n);
    d[G] = Sat((k * d[G] + vg * w) / n);
    d[R] = Sat((k * d[R] + vr * w) / n);
    d[A] = uint8_t(n >> 8);
}

struct TintedOverAlpha {
    static void Weighted(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t w)
    {
        if (w < 256)
            return;
        OverAlphaWeighted(d, (s[B] * t[B] + 255) >> 8, (s[G] * t[G] + 255) >> 8, (s[R] * t[R] + 255) >> 8, w);
    }
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t c)
    {
        Weighted(d, s, t, (s[A] * t[A] * c + 255) >> 8);
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t* t) { Weighted(d, s, t, s[A] * t[A]); }
};

// Additive over a destination alpha: a transparent destination takes the
// colour with alpha a8; a partial one keeps the larger alpha m and
//   d = sat((d.a d + v a8) / m)
inline void AddOverPartial(uint8_t* d, uint32_t vb, uint32_t vg, uint32_t vr, uint32_t a8)
{
    const uint32_t da = d[A];
    const uint32_t m = std::max(a8, da);
    d[B] = Sat((da * d[B] + vb * a8) / m);
    d[G] = Sat((da * d[G] + vg * a8) / m);
    d[R] = Sat((da * d[R] + vr * a8) / m);
    d[A] = uint8_t(m);
}

struct AdditiveOverAlpha {
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t c)
    {
        const uint32_t w = (s[A] * t[A] * c) >> 8;
        if (w < 256)
            return;
        const uint32_t vb = (s[B] * t[B]) >> 8, vg = (s[G] * t[G]) >> 8, vr = (s[R] * t[R]) >> 8;
        const uint32_t a8 = (w + 255) >> 8;
        if (d[A] == 0)
            Store(d, vb, vg, vr, a8);
        else if (d[A] == 255) {
            d[B] = Sat(d[B] + ((vb * w) >> 16));
            d[G] = Sat(d[G] + ((vg * w) >> 16));
            d[R] = Sat(d[R] + ((vr * w) >> 16));
        } else
            AddOverPartial(d, vb, vg, vr, a8);
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t* t)
    {
        const uint32_t a8 = (s[A] * t[A] + 255) >> 8;
        if (a8 < 2)
            return;
        const uint32_t vb = (s[B] * t[B]) >> 8, vg = (s[G] * t[G]) >> 8, vr = (s[R] * t[R]) >> 8;
        if (d[A] == 0)
            Store(d, vb, vg, vr, a8);
        else if (d[A] == 255) {
            d[B] = Sat(d[B] + ((vb * a8) >> 8));
            d[G] = Sat(d[G] + ((vg * a8) >> 8));
            d[R] = Sat(d[R] + ((vr * a8) >> 8));
        } else
            AddOverPartial(d, vb, vg, vr, a8);
    }
};

// A premultiplied (and already tinted) source over an opaque destination:
//   k = (c + 1) s.a >> 8 (s.a at full coverage)
//   d = min(255, (d (255 - k) + s c) >> 8), d.a = 255
struct Premultiplied {
    static uint32_t K(const uint8_t* s, uint32_t c) { return c < 255 ? ((c + 1) * s[A]) >> 8 : s[A]; }
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t*, uint32_t c)
    {
        const uint32_t k = K(s, c);
        if (k == 0)
            return;
        if (c == 255 && s[A] == 255) {
            Store(d, s[B], s[G], s[R], 255);
            return;
        }
        d[B] = Sat((d[B] * (255 - k) + s[B] * c) >> 8);
        d[G] = Sat((d[G] * (255 - k) + s[G] * c) >> 8);
        d[R] = Sat((d[R] * (255 - k) + s[R] * c) >> 8);
        d[A] = 255;
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t* t) { Pixel(d, s, t, 255); }
};

//   t' = (255 - k) d.a;  n = (256 k + t' + 255) >> 8
//   d = min(255, (d ((t' + 255) >> 8) + s c) / n), d.a = n
struct PremultipliedOverAlpha {
    static void Pixel(uint8_t* d, const uint8_t* s, const uint8_t*, uint32_t c)
    {
        const uint32_t k = Premultiplied::K(s, c);
        if (k == 0)
            return;
        if (k == 255) {
            Store(d, s[B], s[G], s[R], 255);
            return;
        }
        const uint32_t t2 = (255 - k) * d[A];
        const uint32_t n = ((k << 8) + t2 + 255) >> 8;
        const uint32_t keep = (t2 + 255) >> 8;
        d[B] = Sat((d[B] * keep + s[B] * c) / n);
        d[G] = Sat((d[G] * keep + s[G] * c) / n);
        d[R] = Sat((d[R] * keep + s[R] * c) / n);
        d[A] = uint8_t(n);
    }
    static void PixelFull(uint8_t* d, const uint8_t* s, const uint8_t* t) { Pixel(d, s, t, 255); }
};

// Solid colour over an opaque destination; as Plain with the colour as source.
struct Solid {
    static void Pixel(uint8_t* d, const uint8_t*, const uint8_t* t, uint32_t c) { Plain::Pixel(d, t, t, c); }
    static void PixelFull(uint8_t* d, const uint8_t*, const uint8_t* t) { Plain::PixelFull(d, t, t); }
};

// d = sat(d + (t * c * t.a >> 16)) for c * t.a > 1020; coverless
// d = sat(d + (t * t.a >> 8)) for t.a > 4.
struct SolidAdditive {
    static void Pixel(uint8_t* d, const uint8_t*, const uint8_t* t, uint32_t c)
    {
        const uint32_t w = c * t[A];
        if (w < 1021)
            return;
        d[B] = Sat(d[B] + ((t[B] * w) >> 16));
        d[G] = Sat(d[G] + ((t[G] * w) >> 16));
        d[R] = Sat(d[R] + ((t[R] * w) >> 16));
    }
    static void PixelFull(uint8_t* d, const uint8_t*, const uint8_t* t)
    {
        if (t[A] <= 4)
            return;
        d[B] = Sat(d[B] + ((t[B] * t[A]) >> 8));
        d[G] = Sat(d[G] + ((t[G] * t[A]) >> 8));
        d[R] = Sat(d[R] + ((t[R] * t[A]) >> 8));
    }
};

struct SolidOverAlpha {
    static void Pixel(uint8_t* d, const uint8_t*, const uint8_t* t, uint32_t c)
    {
        const uint32_t w = t[A] * c;
        if (w < 256)
            return;
        if (w >= 64770) {
            Store(d, t[B], t[G], t[R], t[A]);
            return;
        }
        const uint32_t da = d[A];
        if (da == 0) {
            Store(d, t[B], t[G], t[R], (w + 255) >> 8);
            return;
        }
        if (da == 255) {
            d[B] = Move16(d[B], t[B], w);
            d[G] = Move16(d[G], t[G], w);
            d[R] = Move16(d[R], t[R], w);
            return;
        }
        const uint32_t q = 255 - (w >> 8);
        const uint32_t n = (da << 8) - ((da * w) >> 8) + w;
        d[B] = Sat((d[B] * q * da + t[B] * w) / n);
        d[G] = Sat((d[G] * q * da + t[G] * w) / n);
        d[R] = Sat((d[R] * q * da + t[R] * w) / n);
        d[A] = uint8_t(n >> 8);
    }
    //   n = (256 - w) d.a + 256 w;  d = (d (255 - w) d.a + 255 t w) / n;  d.a = n >> 8
    static void PixelFull(uint8_t* d, const uint8_t*, const uint8_t* t)
    {
        const uint32_t w = t[A];
        if (w < 2)
            return;
        const uint32_t da = d[A];
        if (w >= 254 || da == 0) {
            Store(d, t[B], t[G], t[R], t[A]);
            return;
        }
        if (da == 255) {
            d[B] = Move8(d[B], t[B], w);
            d[G] = Move8(d[G], t[G], w);
            d[R] = Move8(d[R], t[R], w);
            return;
        }
        const uint32_t n = (256 - w) * da + (w << 8);
        d[B] = Sat((d[B] * (255 - w) * da + t[B] * w * 255) / n);
        d[G] = Sat((d[G] * (255 - w) * da + t[G] * w * 255) / n);
        d[R] = Sat((d[R] * (255 - w) * da + t[R] * w * 255) / n);
        d[A] = uint8_t(n >> 8);
    }
};

struct SolidAdditiveOverAlpha {
    static void WithAlpha(uint8_t* d, const uint8_t* t, uint32_t a8)
    {
        const uint32_t da = d[A];
        if (da == 0)
            Store(d, t[B], t[G], t[R], a8);
        else if (da == 255) {
            d[B] = Sat(d[B] + ((t[B] * a8) >> 8));
            d[G] = Sat(d[G] + ((t[G] * a8) >> 8));
            d[R] = Sat(d[R] + ((t[R] * a8) >> 8));
        } else
            AddOverPartial(d, t[B], t[G], t[R], a8);
    }
    static void Pixel(uint8_t* d, const uint8_t*, const uint8_t* t, uint32_t c)
    {
        const uint32_t a8 = (t[A] * c + 255) >> 8;
        if (a8 >= 2)
            WithAlpha(d, t, a8);
    }
    static void PixelFull(uint8_t* d, const uint8_t*, const uint8_t* t)
    {
        if (t[A] > 1)
            WithAlpha(d, t, t[A]);
    }
};

} // namespace blend

// A colour as its four bytes in frame order (blue, green, red, alpha).
inline void ColorBytes(const agg::rgba8& c, uint8_t out[4])
{
    out[blend::B] = c.b;
    out[blend::G] = c.g;
    out[blend::R] = c.r;
    out[blend::A] = c.a;
}

// AGG's pixel-format concept over a 32-bit frame, writing through Rule. Only
// the span operations the scanline and outline renderers call are provided;
// renderer_base clips before calling them, so nothing here clips. A span with
// a coverage per pixel uses the coverage form; a span with one coverage uses
// the coverless form when that coverage is full.
template <class Rule>
class CBlendPixfmt {
public:
    using color_type = agg::rgba8;
    using value_type = uint8_t;
    using row_data = agg::rendering_buffer::row_data;
    enum { pix_width = 4 };

    CBlendPixfmt(agg::rendering_buffer& buffer, uint32_t tintWord)
        : m_Buffer(&buffer)
    {
        for (int i = 0; i < 4; ++i)
            m_Tint[i] = uint8_t(tintWord >> (8 * i));
    }

    unsigned width() const { return m_Buffer->width(); }
    unsigned height() const { return m_Buffer->height(); }
    int stride() const { return m_Buffer->stride(); }
    uint8_t* pix_ptr(int x, int y) { return m_Buffer->row_ptr(y) + ptrdiff_t(x) * 4; }

    color_type pixel(int x, int y) const
    {
        const uint8_t* p = m_Buffer->row_ptr(y) + ptrdiff_t(x) * 4;
        return color_type(p[blend::R], p[blend::G], p[blend::B], p[blend::A]);
    }

    void blend_pixel(int x, int y, const color_type& c, agg::int8u cover) { blend_hline(x, y, 1, c, cover); }

    void blend_hline(int x, int y, unsigned len, const color_type& c, agg::int8u cover)
    {
        uint8_t s[4];
        ColorBytes(c, s);
        uint8_t* d = pix_ptr(x, y);
        for (; len; --len, d += 4) {
            if (cover == 255)
                Rule::PixelFull(d, s, s);
            else
                Rule::Pixel(d, s, s, cover);
        }
    }

    void blend_vline(int x, int y, unsigned len, const color_type& c, agg::int8u cover)
    {
        for (; len; --len, ++y)
            blend_hline(x, y, 1, c, cover);
    }

    void blend_solid_hspan(int x, int y, unsigned len, const color_type& c, const agg::int8u* covers)
    {
        uint8_t s[4];
        ColorBytes(c, s);
        uint8_t* d = pix_ptr(x, y);
        for (; len; --len, d += 4)
            Rule::Pixel(d, s, s, *covers++);
    }

    void blend_solid_vspan(int x, int y, unsigned len, const color_type& c, const agg::int8u* covers)
    {
        uint8_t s[4];
        ColorBytes(c, s);
        for (; len; --len, ++y)
            Rule::Pixel(pix_ptr(x, y), s, s, *covers++);
    }

    void blend_color_hspan(int x, int y, unsigned len, const color_type* colors, const agg::int8u* covers,
                           agg::int8u cover)
    {
        uint8_t* d = pix_ptr(x, y);
        uint8_t s[4];
        if (covers) {
            for (; len; --len, d += 4, ++colors) {
                ColorBytes(*colors, s);
                Rule::Pixel(d, s, m_Tint, *covers++);
            }
        } else if (cover == 255) {
            for (; len; --len, d += 4, ++colors) {
                ColorBytes(*colors, s);
                Rule::PixelFull(d, s, m_Tint);
            }
        } else {
            for (; len; --len, d += 4, ++colors) {
                ColorBytes(*colors, s);
                Rule::Pixel(d, s, m_Tint, cover);
            }
        }
    }

    void blend_color_vspan(int x, int y, unsigned len, const color_type* colors, const agg::int8u* covers,
                           agg::int8u cover)
    {
        for (; len; --len, ++y, ++colors)
            blend_color_hspan(x, y, 1, colors, covers ? covers++ : nullptr, cover);
    }

private:
    agg::rendering_buffer* m_Buffer;
    uint8_t m_Tint[4];
};
