#include "render/SurfaceHelpers.h"

#include "blit/CFrameInterface.h"
#include "foundation/CFPoint.h"
#include "foundation/SaturatingArithmetic.h"

#include <algorithm>
#include <cstdint>
#include <utility>

// A place near the int32 limits (a damaged data file) saturates rather than
// wraps, so the clipped blit draws nothing instead of somewhere else.
bool BlitAt(CFrameInterface& destination, CFrameInterface& source, int32_t x, int32_t y, CBlitType& blitType)
{
    CRect s;
    source.GetBounds(s);
    const CRect d
        = {SaturatingAdd(s.left, x), SaturatingAdd(s.top, y), SaturatingAdd(s.right, x), SaturatingAdd(s.bottom, y)};
    return destination.Blit(source, s, d, blitType);
}

void FillRectCoords(CFrameInterface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom, CColor& colour)
{
    surface.FillRect(CRect{left, top, right, bottom}, colour);
}

void RemapRectCoords(CFrameInterface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     const uint8_t* table)
{
    if (left <= right && top <= bottom)
        surface.RemapRect(CRect{left, top, right, bottom}, table);
}

void DrawRect(CFrameInterface& surface, const CRect& rect, CColor& colour)
{
    DrawRectCoords(surface, rect.left, rect.top, rect.right, rect.bottom, colour);
}

void DrawRectCoords(CFrameInterface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom, CColor& colour)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    surface.FillRect(CRect{left, top, right, SaturatingAdd(top, 1)}, colour);
    surface.FillRect(CRect{left, SaturatingSub(bottom, 1), right, bottom}, colour);
    surface.FillRect(CRect{left, top, SaturatingAdd(left, 1), bottom}, colour);
    surface.FillRect(CRect{SaturatingSub(right, 1), top, right, bottom}, colour);
}

void DrawLineFloatPoints(CFrameInterface& surface, const CFPoint& first, const CFPoint& second, CColor& colour,
                         float width)
{
    surface.DrawLineFloat(first.x, first.y, second.x, second.y, colour, width);
}
