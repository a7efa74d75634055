#include "foundation/CRect.h"

#include <algorithm>

bool IntersectRects(CRect& out, const CRect& a, const CRect& b)
{
    out.left = std::max(a.left, b.left);
    out.top = std::max(a.top, b.top);
    out.right = std::min(a.right, b.right);
    out.bottom = std::min(a.bottom, b.bottom);
    return out.right > out.left && out.bottom > out.top;
}

void UnionRectInPlace(CRect& target, const CRect& other)
{
    if (other.IsAllZero())
        return;
    if (target.IsAllZero()) {
        target = other;
        return;
    }
    target.left = std::min(target.left, other.left);
    target.top = std::min(target.top, other.top);
    target.right = std::max(target.right, other.right);
    target.bottom = std::max(target.bottom, other.bottom);
}

bool ClipRect(const CRect& clip, CRect& rect)
{
    CRect unused = rect;
    return ClipRectPair(clip, unused, rect);
}

bool ClipRectPair(const CRect& clip, CRect& source, CRect& destination)
{
    // Differences in 64 bits: rectangles far apart must not overflow.
    if (destination.top < clip.top) {
        source.top = int32_t(int64_t(source.top) + (int64_t(clip.top) - destination.top));
        destination.top = clip.top;
    }
    if (destination.bottom <= destination.top)
        return false;
    if (destination.bottom > clip.bottom) {
        source.bottom = int32_t(int64_t(source.bottom) - (int64_t(destination.bottom) - clip.bottom));
        destination.bottom = clip.bottom;
    }
    if (destination.bottom <= destination.top)
        return false;
    if (destination.left < clip.left) {
        source.left = int32_t(int64_t(source.left) + (int64_t(clip.left) - destination.left));
        destination.left = clip.left;
    }
    if (destination.right <= destination.left)
        return false;
    if (destination.right > clip.right) {
        source.right = int32_t(int64_t(source.right) - (int64_t(destination.right) - clip.right));
        destination.right = clip.right;
    }
    return destination.right > destination.left;
}

CRect SizeToRect(int32_t width, int32_t height)
{
    return CRect{0, 0, width, height};
}
