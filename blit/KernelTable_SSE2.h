#pragma once
// SSE2 forms of the group-blend rows and of BlendRun565Fast (private to
// blit/). Each takes the same arguments as its plain form and writes the same
// bytes: whole groups of four through the rounded blend, the last count % 4
// pixels through BlendPixel565.

#include "blit/BlitArgs.h"

#include <cstdint>

void AlphaBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void AlphaBlend16GroupFillSse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void OpacityBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void OpacityBlend16GroupFillSse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void ScaledAlphaBlend16GroupSse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void ScaledAlphaBlend16GroupFillSse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void BlendRun565FastSse2(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count);
// The RGB565 to 32-bit conversion lists (B, G, R, then 255 or the alpha).
void Copy565To32Sse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void Fill565To32Sse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void Copy565AlphaTo32Sse2(const SBlitArgs& args, const SRun& run, uint32_t count);
void Fill565AlphaTo32Sse2(const SBlitArgs& args, const SRun& run, uint32_t count);
// The plain form of BlendRun565Fast, which defines its result.
void BlendRun565FastPlain(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count);
