#include "render/SurfaceHelpers.h"

#include "blit/CFrameInterface.h"
#include "foundation/CFPoint.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// A place near the int32 limits (a damaged data file) saturates rather than
// wraps, so the clipped blit draws nothing instead of somewhere else.
int32_t ClampedSum(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

bool BlitAt(CFrameInterface& destination, CFrameInterface& source, int32_t x, int32_t y, CBlitType& blitType)
{
    CRect s;
    source.GetBounds(s);
    const CRect d = {ClampedSum(int64_t(s.left) + x), ClampedSum(int64_t(s.top) + y),
                     ClampedSum(int64_t(s.right) + x), ClampedSum(int64_t(s.bottom) + y)};
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
    surface.FillRect(CRect{left, top, right, ClampedSum(int64_t(top) + 1)}, colour);
    surface.FillRect(CRect{left, ClampedSum(int64_t(bottom) - 1), right, bottom}, colour);
    surface.FillRect(CRect{left, top, ClampedSum(int64_t(left) + 1), bottom}, colour);
    surface.FillRect(CRect{ClampedSum(int64_t(right) - 1), top, right, bottom}, colour);
}

void DrawLineFloatPoints(CFrameInterface& surface, const CFPoint& first, const CFPoint& second, CColor& colour,
                         float width)
{
    surface.DrawLineFloat(first.x, first.y, second.x, second.y, colour, width);
}
