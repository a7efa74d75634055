#pragma once
// Few-line references of the 32-bit source blends, in wide arithmetic, that
// the row and whole-frame tests compare the blitter with. Pixels are blue,
// green, red, alpha bytes; opacity o is the 0-255 level.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace ref {

using Pixel = std::array<uint8_t, 4>;

inline int RoundUp(int d, int s, int a)
{
    return d + int(std::trunc(((s - d) * a + 255) / 256.0));
}
inline int Floor256(int d, int s, int a)
{
    return d + int(std::floor((s - d) * a / 256.0));
}
// Entry alpha of opacity row o: floor(o * alpha / 255).
inline uint32_t OpacityOf(uint32_t o, uint32_t alpha)
{
    return o * alpha / 255;
}

// "Transparent Mask" 32 onto 32 at weight a.
inline Pixel Mask(Pixel d, const Pixel& s, uint32_t a)
{
    if (a < 4)
        return d;
    if (a >= 251)
        return s;
    for (int c = 0; c < 4; ++c)
        d[c] = uint8_t(std::clamp(d[c] + int(std::floor((s[c] - d[c]) * int(a / 2) / 128.0)), 0, 255));
    return d;
}

// 32 onto 24 (byte 3 of d untouched), by alpha or scaled by opacity o.
inline Pixel Over24(Pixel d, const Pixel& s, bool scaled, uint32_t o)
{
    if (scaled ? s[3] <= 5 : s[3] == 0)
        return d;
    const uint32_t t = scaled ? OpacityOf(o, s[3]) : s[3];
    if (scaled ? t > 250 : t >= 253)
        return {s[0], s[1], s[2], d[3]};
    for (int c = 0; c < 3; ++c)
        d[c] = uint8_t(RoundUp(d[c], s[c], int(t)));
    return d;
}

inline Pixel Over32Scaled(Pixel d, const Pixel& s, uint32_t o)
{
    const uint32_t t = OpacityOf(o, s[3]);
    if (t < 8)
        return d;
    if (t >= 248)
        return s;
    for (int c = 0; c < 3; ++c)
        d[c] = uint8_t(Floor256(d[c], s[c], int(t)));
    d[3] = 0;
    return d;
}

inline Pixel Tinted(Pixel d, const Pixel& s, uint32_t tint, bool add)
{
    const uint32_t a = s[3] * (tint >> 24) / 256;
    if (a < 8)
        return d;
    Pixel c{};
    for (int k = 0; k < 3; ++k)
        c[k] = uint8_t(s[k] * ((tint >> (8 * k)) & 0xFF) / 256);
    if (!add && a >= 248)
        return {c[0], c[1], c[2], 0};
    for (int k = 0; k < 3; ++k)
        d[k] = uint8_t(add ? std::min(255u, d[k] + c[k] * a / 256) : uint32_t(Floor256(d[k], c[k], int(a))));
    return d;
}

// RGB565 moved toward s by a, flooring (the per-pixel blend).
inline uint16_t Blend565(uint16_t d, uint16_t s, uint32_t a)
{
    const int w5 = int(a >> 3), w6 = int(a >> 2);
    const auto ch = [](int dc, int sc, int w, int div) { return dc + int(std::floor(double((sc - dc) * w) / div)); };
    return uint16_t(ch(d >> 11, s >> 11, w5, 32) << 11 | ch((d >> 5) & 63, (s >> 5) & 63, w6, 64) << 5
                    | ch(d & 31, s & 31, w5, 32));
}

// RGB565 moved toward s by a, to the nearest (the four-pixel group blend).
inline uint16_t Rounded565(uint16_t d, uint16_t s, uint32_t a)
{
    const int w5 = int(a >> 3), w6 = int(a >> 2);
    const auto ch
        = [](int dc, int sc, int w, int top) { return int(std::lround(double(sc * w + dc * (top - w)) / top)); };
    return uint16_t(ch(d >> 11, s >> 11, w5, 31) << 11 | ch((d >> 5) & 63, (s >> 5) & 63, w6, 63) << 5
                    | ch(d & 31, s & 31, w5, 31));
}

} // namespace ref
