#pragma once
// Row functions that draw 32-bit sources (blue, green, red, alpha bytes) over
// 24-bit, 32-bit and RGB565 rows, one destination row per call (RowFunction
// form; count >= 0). Each skips nearly transparent pixels, copies nearly
// opaque ones and blends the rest; the thresholds differ per function and
// are part of the result. The scaled forms read args.tables.opacityRow, the
// tinted forms args.tables.tintColor.

#include "blit/BlitArgs.h"

#include <cstdint>

// Per channel d + trunc(((s - d) * a + 255) / 256): rising channels reach
// the source at a = 255, falling ones stop short (255 toward 0 gives 2).
inline uint8_t BlendChannelRoundUp(uint8_t d, uint8_t s, uint32_t a)
{
    return uint8_t(int32_t(d) + ((int32_t(s) - int32_t(d)) * int32_t(a) + 255) / 256);
}

// Three bytes blue, green, red of d moved toward s by BlendChannelRoundUp.
inline void BlendRgbRoundUp(uint8_t* d, const uint8_t* s, uint32_t a)
{
    d[0] = BlendChannelRoundUp(d[0], s[0], a);
    d[1] = BlendChannelRoundUp(d[1], s[1], a);
    d[2] = BlendChannelRoundUp(d[2], s[2], a);
}

// 24-bit destination, a = source alpha: a >= 253 copies blue, green, red,
// a = 0 skips, otherwise BlendRgbRoundUp by a.
void RowArgbOver24(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// 24-bit destination: alpha <= 5 skips; t = OpacityRow[alpha]; t > 250
// copies, otherwise BlendRgbRoundUp by t.
void RowArgbOver24Scaled(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// 32-bit destination: t = OpacityRow[alpha]; t < 8 skips; t >= 248 copies
// all four bytes; otherwise each colour byte d + floor((s - d) * t / 256)
// and the destination alpha byte becomes 0.
void RowArgbOver32Scaled(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// 32-bit destination, m = tintColor: a = (alpha * m.alpha) >> 8, c = each
// channel (s * m) >> 8; a < 8 skips; a >= 248 writes c with alpha byte 0;
// otherwise colour bytes d + floor((c - d) * a / 256), alpha byte kept.
void RowArgbTintedOver32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// As RowArgbTintedOver32 for a and c, then colour bytes min(255, d + ((c *
// a) >> 8)); the alpha byte is kept.
void RowArgbTintedAdd32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);

// The "Transparent Mask" blend of 32-bit onto 32-bit, a = source alpha (the
// Scaled form: (alpha * OpacityRow[255]) >> 8): a < 4 skips, a >= 251 copies
// all four bytes, otherwise every byte (alpha included)
//   d + (((s - d) * (a >> 1)) >> 7), arithmetic shift, clamped to 0..255.
// Runs on SSE2 unless the plain kernels are chosen; both give the same bytes.
void RowArgbMask32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
void RowArgbMask32Scaled(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// The plain forms, which define the result.
void RowArgbMask32Plain(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
void RowArgbMask32ScaledPlain(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);

// One RGB565 pixel under a 32-bit one at opacity o (0-255): the destination
// widened (Expand5To8/Expand6To8), a = (alpha * o + 255) >> 8, each channel
// by BlendChannelRoundUp, packed again by PackColor565 (so even a = 0 can
// change a pixel where the packing rounds).
uint16_t BlendArgbOver565(uint16_t destination, uint32_t source, uint32_t opacity);
// BlendArgbOver565 at o = 255 over a row; on SSE2 unless the plain kernels
// are chosen, the same bytes either way.
void RowArgbOver565(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// The plain form, which defines the result.
void RowArgbOver565Plain(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
