#pragma once
// Drawing helpers built only on the drawable interface, and the float line
// clipper the clipping proxies use beside ClipLine.

#include <cstdint>

class CBlitType;
class CColor;
class CFrameInterface;
struct CFPoint;
struct CRect;

// The whole source with its hot spot on (x, y): source rectangle = its
// bounds, destination = those bounds moved by (x, y).
bool BlitAt(CFrameInterface& destination, CFrameInterface& source, int32_t x, int32_t y, CBlitType& blitType);
void FillRectCoords(CFrameInterface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom, CColor& colour);
// Only for left <= right and top <= bottom.
void RemapRectCoords(CFrameInterface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     const uint8_t* table);
// A one-pixel outline as four FillRect calls (top, bottom, left, right
// edge), corners in any order; translucent corners are blended twice.
void DrawRect(CFrameInterface& surface, const CRect& rect, CColor& colour);
void DrawRectCoords(CFrameInterface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom, CColor& colour);
void DrawLineFloatPoints(CFrameInterface& surface, const CFPoint& first, const CFPoint& second, CColor& colour,
                         float width);

// ClipLine in 32-bit floats: inside is left <= x < right, top <= y < bottom,
// and points moved to the right or bottom edge land on right - 1 or
// bottom - 1. False (points unchanged) when nothing of the segment is inside.
bool ClipLineFloat(float left, float top, float right, float bottom, float& x1, float& y1, float& x2, float& y2);
