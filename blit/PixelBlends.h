#pragma once
// Per-pixel blend formulas shared by the kernels and the frame's fills. All
// integer; right shifts of signed products are arithmetic, so they floor.

#include <cstdint>

// RGB565 moved toward a source by an alpha, channel by channel, flooring:
//   red/blue: d + ((s - d) * (a >> 3)) >> 5
//   green:    d + ((s - d) * (a >> 2)) >> 6
// So alpha 255 moves 31/32 (green 63/64) of the way.
inline uint16_t BlendPixel565(uint16_t d, uint16_t s, uint8_t a)
{
    const int32_t w5 = a >> 3;
    const int32_t w6 = a >> 2;
    const int32_t rd = d >> 11, gd = (d >> 5) & 63, bd = d & 31;
    const int32_t rs = s >> 11, gs = (s >> 5) & 63, bs = s & 31;
    const int32_t r = rd + (((rs - rd) * w5) >> 5);
    const int32_t g = gd + (((gs - gd) * w6) >> 6);
    const int32_t b = bd + (((bs - bd) * w5) >> 5);
    return uint16_t(r << 11 | g << 5 | b);
}

// The four-pixel group blend, one lane: rounds to the nearest instead of
// flooring, so alpha 255 gives the source and 0 the destination exactly.
//   z = s * w5 + d * (31 - w5) + 16;              red/blue = (z + (z >> 5)) >> 5
//   x = 16 * (s * w6 + d * (63 - w6)) + 512;      green = (x + (x >> 6)) >> 10
// Every intermediate fits in 16 unsigned bits, which the SSE2 lanes rely on.
inline uint16_t BlendPixel565Rounded(uint16_t d, uint16_t s, uint8_t a)
{
    const uint32_t w5 = a >> 3;
    const uint32_t w6 = a >> 2;
    const auto five = [w5](uint32_t sc, uint32_t dc) {
        const uint32_t z = sc * w5 + dc * (31 - w5) + 16;
        return (z + (z >> 5)) >> 5;
    };
    const uint32_t x = 16 * (((s >> 5) & 63u) * w6 + ((d >> 5) & 63u) * (63 - w6)) + 512;
    const uint32_t g = (x + (x >> 6)) >> 10;
    return uint16_t(five(s >> 11, d >> 11) << 11 | g << 5 | five(s & 31u, d & 31u));
}

// One byte channel of a 24-bit blend, truncating toward zero:
//   d + trunc((s - d) * a / 256)
// so alpha 255 stops one step short unless d == s.
inline uint8_t BlendChannelTrunc(uint8_t d, uint8_t s, uint32_t a)
{
    return uint8_t(int32_t(d) + (int32_t(s) - int32_t(d)) * int32_t(a) / 256);
}

// A 3-byte blue, green, red pixel blended in place.
inline void BlendRgbTrunc(uint8_t* d, const uint8_t* s, uint32_t a)
{
    d[0] = BlendChannelTrunc(d[0], s[0], a);
    d[1] = BlendChannelTrunc(d[1], s[1], a);
    d[2] = BlendChannelTrunc(d[2], s[2], a);
}

// BlendPixel565(pixel, colour, alpha) over count pixels (unaligned allowed).
void BlendRun565(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count);
// The same pixels as BlendRun565 for counts below 4; otherwise count / 4
// groups by the rounded group blend and the last count % 4 by BlendPixel565.
// Runs on SSE2 unless the plain kernels are chosen (KernelTable.h).
void BlendRun565Fast(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count);
