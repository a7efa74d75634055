#pragma once
// A one-pixel anti-aliased line between two float points, drawn in the
// frame's own pixel format. The line's major axis is walked in 16.16 fixed
// point, one step per whole row (steep) or column (shallow, also when
// |dx| == |dy|); each step shares the colour between the two pixels that
// straddle the line: weight 255 - f to the nearer, f to the next, where
// f = (minor >> 8) & 255.
//
// End points are taken relative to the frame's pixel buffer (the offset
// subtracted) and the line is clipped to the buffer, so nothing is written
// outside it whatever the frame's offset. Points of any magnitude (and
// infinities) are safe: the segment is first cut in double precision to a
// box of +-32767 pixels, inside which 16.16 values fit 32 bits; a NaN
// coordinate draws nothing.
//
// Pixel blends by weight w:
//   8-bit   each channel of the palette colours d + trunc((c - d) * w / 256),
//           then InversePalette555 (nothing drawn without a game palette or
//           inverse table); end points are cut to whole pixels first
//   16-bit  BlendPixel565(d, colour, w)
//   24-bit  BlendRgbTrunc(d, colour, w)
//   32-bit  a = (alpha * w + 255) >> 8; d + trunc(((c - d) * a + 255) / 256),
//           alpha byte 255

#include <cstdint>

class CColor;
class CFrameInterface;

void DrawLineAA(CFrameInterface& frame, float x1, float y1, float x2, float y2, CColor& colour);

// The per-format walkers, on 16.16 end points already clipped to the frame's
// pixel buffer; colour in the frame's pixel form (index, RGB565, blue-green-
// red bytes, or the colour word with blue in bits 0-7).
void DrawLineAA8(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t index);
void DrawLineAA16(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colour);
void DrawLineAA24(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const uint8_t* bgr);
void DrawLineAA32(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

// a / b in 16.16 (a * 65536 / b), rounded half away from zero; -1 when b is
// 0. The 64-bit form of FixedPointDivide for the line's differences, which
// may exceed 32 bits.
int64_t LineGradient(int64_t a, int64_t b);
