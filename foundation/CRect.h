#pragma once
// Integer rectangles (left, top, right, bottom; right and bottom exclusive)
// and the clipping every blit starts with. A rectangle whose four values are
// all 0 counts as empty where emptiness matters (UnionRectInPlace). Width
// and height of a rectangle spanning more than the int32 range (edges held
// at the limits by saturating sums) are held at INT32_MAX.

#include "foundation/SaturatingArithmetic.h"

#include <cstdint>

struct CRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    int32_t GetWidth() const { return SaturatingSub(right, left); }
    int32_t GetHeight() const { return SaturatingSub(bottom, top); }
    bool IsAllZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool ContainsPoint(int32_t x, int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }

    friend bool operator==(const CRect&, const CRect&) = default;
};

// out = the overlap of a and b; true when it has width and height above 0.
bool IntersectRects(CRect& out, const CRect& a, const CRect& b);

// Grows target to cover other; an all-zero other changes nothing and an
// all-zero target becomes other.
void UnionRectInPlace(CRect& target, const CRect& other);

// Clips rect to clip in place, edge by edge: top, bottom, left, right. False
// as soon as no height or no width is left (rect may then be partly clipped).
bool ClipRect(const CRect& clip, CRect& rect);

// Clips destination like ClipRect and moves the same edge of source by the
// same amount each time, so that a blit keeps its pixels aligned.
bool ClipRectPair(const CRect& clip, CRect& source, CRect& destination);

// rect moved by (dx, dy), and by minus (dx, dy), each edge held to the
// int32 range: a proxy's offset from a damaged data file moves a rectangle
// far away, where clipping drops it, instead of wrapping.
constexpr CRect MoveRect(const CRect& rect, int32_t dx, int32_t dy)
{
    return {SaturatingAdd(rect.left, dx), SaturatingAdd(rect.top, dy), SaturatingAdd(rect.right, dx),
            SaturatingAdd(rect.bottom, dy)};
}

constexpr CRect MoveRectBack(const CRect& rect, int32_t dx, int32_t dy)
{
    return {SaturatingSub(rect.left, dx), SaturatingSub(rect.top, dy), SaturatingSub(rect.right, dx),
            SaturatingSub(rect.bottom, dy)};
}

// The rectangle (0, 0, width, height).
CRect SizeToRect(int32_t width, int32_t height);
