#include "blit/ArgbRows.h"

#include "blit/ArgbRows_SSE2.h"
#include "blit/ColorTables.h"
#include "blit/KernelLookupTables.h"
#include "blit/KernelTable.h"

#include <algorithm>
#include <cstring>

namespace {

inline uint32_t Opacity255(const SBlitArgs& args)
{
    return args.tables.opacityRow ? args.tables.opacityRow[255] & 0xFF : 255;
}

inline uint32_t Scaled(const SBlitArgs& args, uint32_t alpha)
{
    return args.tables.opacityRow ? args.tables.opacityRow[alpha] & 0xFF : alpha;
}

// d + floor((s - d) * t / 256) on the colour bytes; the arithmetic shift floors.
inline void BlendFloor(uint8_t* d, const uint8_t* s, uint32_t t)
{
    for (uint32_t c = 0; c < 3; ++c)
        d[c] = uint8_t(int32_t(d[c]) + (((int32_t(s[c]) - int32_t(d[c])) * int32_t(t)) >> 8));
}

// The tinted colour of a source pixel and its weight.
inline uint32_t Tint(const uint8_t* s, uint32_t tint, uint8_t* colour)
{
    for (uint32_t c = 0; c < 3; ++c)
        colour[c] = uint8_t((s[c] * ((tint >> (8 * c)) & 0xFF)) >> 8);
    return (s[3] * (tint >> 24)) >> 8;
}

} // namespace

void RowArgbOver24(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, dst += 3, src += 4) {
        const uint32_t a = src[3];
        if (a >= 253)
            std::memcpy(dst, src, 3);
        else if (a != 0)
            BlendRgbRoundUp(dst, src, a);
    }
}

void RowArgbOver24Scaled(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, dst += 3, src += 4) {
        const uint32_t a = src[3];
        if (a <= 5)
            continue;
        const uint32_t t = Scaled(args, a);
        if (t > 250)
            std::memcpy(dst, src, 3);
        else
            BlendRgbRoundUp(dst, src, t);
    }
}

void RowArgbOver32Scaled(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, dst += 4, src += 4) {
        const uint32_t t = Scaled(args, src[3]);
        if (t < 8)
            continue;
        if (t >= 248) {
            std::memcpy(dst, src, 4);
            continue;
        }
        BlendFloor(dst, src, t);
        dst[3] = 0;
    }
}

void RowArgbTintedOver32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, dst += 4, src += 4) {
        uint8_t c[3];
        const uint32_t a = Tint(src, args.tables.tintColor, c);
        if (a < 8)
            continue;
        if (a >= 248) {
            std::memcpy(dst, c, 3);
            dst[3] = 0;
            continue;
        }
        BlendFloor(dst, c, a);
    }
}

void RowArgbTintedAdd32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i, dst += 4, src += 4) {
        uint8_t c[3];
        const uint32_t a = Tint(src, args.tables.tintColor, c);
        if (a < 8)
            continue;
        for (uint32_t k = 0; k < 3; ++k)
            dst[k] = uint8_t(ClampTable512[dst[k] + ((c[k] * a) >> 8)]);
    }
}

namespace {

// a is the pixel's weight, already scaled by the opacity where asked.
inline void MaskPixel(uint8_t* d, const uint8_t* s, uint32_t a)
{
    if (a < 4)
        return;
    if (a >= 251) {
        std::memcpy(d, s, 4);
        return;
    }
    const int32_t k = int32_t(a >> 1);
    for (uint32_t c = 0; c < 4; ++c) {
        // (s - d) * k stays within signed 16 bits for k <= 127.
        const int16_t product = int16_t((int32_t(s[c]) - int32_t(d[c])) * k);
        d[c] = uint8_t(std::clamp(int32_t(d[c]) + (product >> 7), 0, 255));
    }
}

} // namespace

void RowArgbMask32Plain(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        MaskPixel(dst + 4 * i, src + 4 * i, src[4 * i + 3]);
}

void RowArgbMask32ScaledPlain(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint32_t o = Opacity255(args);
    for (uint32_t i = 0; i < count; ++i)
        MaskPixel(dst + 4 * i, src + 4 * i, (src[4 * i + 3] * o) >> 8);
}

void RowArgbMask32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    if (ChosenKernelSet() == KernelSet::Sse2)
        ArgbMask32Sse2(args, dst, src, count, 256);
    else
        RowArgbMask32Plain(args, dst, src, count);
}

void RowArgbMask32Scaled(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    if (ChosenKernelSet() == KernelSet::Sse2)
        ArgbMask32Sse2(args, dst, src, count, Opacity255(args));
    else
        RowArgbMask32ScaledPlain(args, dst, src, count);
}

uint16_t BlendArgbOver565(uint16_t destination, uint32_t source, uint32_t opacity)
{
    uint8_t d[3];
    Widen565(destination, d);
    const uint8_t s[3] = {uint8_t(source), uint8_t(source >> 8), uint8_t(source >> 16)};
    BlendRgbRoundUp(d, s, ((source >> 24) * opacity + 255) >> 8);
    return PackColor565(d[2], d[1], d[0]);
}

void RowArgbOver565(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    uint32_t done = 0;
    if (ChosenKernelSet() == KernelSet::Sse2)
        done = ArgbOver565Sse2(dst, src, count, BlitTablesBuilt());
    RowArgbOver565Plain(args, dst + 2 * done, src + 4 * done, count - done);
}

void RowArgbOver565Plain(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    if (BlitTablesBuilt()) {
        // BlendArgbOver565 with the packing tables read here, not per call.
        const CColorTables& t = GetColorTables();
        for (uint32_t i = 0; i < count; ++i, dst += 2, src += 4) {
            uint16_t d;
            std::memcpy(&d, dst, 2);
            uint32_t b = Expand5To8[d & 31], g = Expand6To8[(d >> 5) & 63], r = Expand5To8[d >> 11];
            // At o = 255 the weight (alpha * 255 + 255) >> 8 is the alpha itself.
            if (const uint32_t a = src[3]; a != 0) {
                b = BlendChannelRoundUp(uint8_t(b), src[0], a);
                g = BlendChannelRoundUp(uint8_t(g), src[1], a);
                r = BlendChannelRoundUp(uint8_t(r), src[2], a);
            }
            d = uint16_t(t.Red565[r] + t.Green6[g] + t.Blue5[b]);
            std::memcpy(dst, &d, 2);
        }
        return;
    }
    for (uint32_t i = 0; i < count; ++i, dst += 2, src += 4) {
        uint16_t d;
        uint32_t s;
        std::memcpy(&d, dst, 2);
        std::memcpy(&s, src, 4);
        d = BlendArgbOver565(d, s, 255);
        std::memcpy(dst, &d, 2);
    }
}
