#pragma once
// Drawing helpers built only on the drawable interface.

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
