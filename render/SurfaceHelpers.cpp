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

namespace {

struct SFloatClip {
    float left, top, right, bottom;

    bool Contains(float x, float y) const { return left <= x && x < right && top <= y && y < bottom; }
    uint32_t OutCode(float x, float y) const
    {
        uint32_t code = 0;
        if (y < top)
            code |= 1;
        if (x >= right)
            code |= 2;
        if (y >= bottom)
            code |= 4;
        if (x < left)
            code |= 8;
        return code;
    }
};

// Moves (x, y) toward (ox, oy) onto the first edge, of those its code names,
// whose crossing lies inside; the left edge is taken untested.
void MovePoint(const SFloatClip& clip, uint32_t code, float& x, float& y, float ox, float oy)
{
    if (x == ox) {
        y = y < clip.top ? clip.top : clip.bottom - 1.0f;
        return;
    }
    if (y == oy) {
        x = x < clip.left ? clip.left : clip.right - 1.0f;
        return;
    }
    const float m = (y - oy) / (x - ox);
    const float b = y - x * m;
    float nx, ny;
    if (code & 1) {
        ny = clip.top;
        nx = (clip.top - b) / m;
        if (clip.Contains(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 2) {
        nx = clip.right - 1.0f;
        ny = nx * m + b;
        if (clip.Contains(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 4) {
        ny = clip.bottom - 1.0f;
        nx = (ny - b) / m;
        if (clip.Contains(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 8) {
        x = clip.left;
        y = clip.left * m + b;
    }
}

} // namespace

bool ClipLineFloat(float left, float top, float right, float bottom, float& x1, float& y1, float& x2, float& y2)
{
    const SFloatClip clip{left, top, right, bottom};
    const uint32_t code1 = clip.OutCode(x1, y1), code2 = clip.OutCode(x2, y2);
    // Containment rather than zero codes, so a NaN end point is never inside.
    if (clip.Contains(x1, y1) && clip.Contains(x2, y2))
        return true;
    if (code1 & code2)
        return false;
    float ax = x1, ay = y1, bx = x2, by = y2;
    if (code1)
        MovePoint(clip, code1, ax, ay, x2, y2);
    if (code2)
        MovePoint(clip, code2, bx, by, x1, y1);
    if (!clip.Contains(ax, ay) || !clip.Contains(bx, by))
        return false;
    x1 = ax, y1 = ay, x2 = bx, y2 = by;
    return true;
}
