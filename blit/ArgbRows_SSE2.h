#pragma once
// The SSE2 form of the "Transparent Mask" 32-bit blend (private to blit/):
// the same bytes as RowArgbMask32ScaledPlain at opacity o, or as
// RowArgbMask32Plain for o = 256 ((alpha * 256) >> 8 is the alpha).

#include "blit/BlitArgs.h"

#include <cstdint>

void ArgbMask32Sse2(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t opacity);
