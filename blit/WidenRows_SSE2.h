#pragma once
// SSE2 parts of the widening rows (private to blit/). Each draws a leading
// part of the row and answers how many pixels it drew (0 without SSE2); the
// caller finishes the rest the plain way. Nothing past the row is read.

#include <cstdint>

uint32_t Rgb24To32Sse2(uint8_t* dst, const uint8_t* src, uint32_t count);
uint32_t Index8To32Sse2(uint8_t* dst, const uint8_t* src, const uint32_t* palette, uint32_t count);
// RGB565 through Expand5To8/Expand6To8; alpha bytes from alpha, or 255 where
// alpha is null. Draws every pixel; dst and src must not overlap.
uint32_t Widen565To32Sse2(uint8_t* dst, const uint8_t* src, const uint8_t* alpha, uint32_t count);
