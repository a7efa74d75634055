#pragma once
// SSE2 forms of the 32-bit source rows (private to blit/). Each gives the
// bytes of its plain form.

#include "blit/BlitArgs.h"

#include <cstdint>

// The "Transparent Mask" blend: the bytes of RowArgbMask32ScaledPlain at
// opacity o, or of RowArgbMask32Plain for o = 256 ((alpha * 256) >> 8 is the
// alpha).
void ArgbMask32Sse2(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t opacity);

// RowArgbOver565 over the first count & ~7 pixels; returns how many it drew
// (0 without SSE2). tablePacking: the colour tables are built, so pixels
// pack to the nearest level instead of adding a half step and truncating.
uint32_t ArgbOver565Sse2(uint8_t* dst, const uint8_t* src, uint32_t count, bool tablePacking);
