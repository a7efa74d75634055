#include "blit/LineClip.h"

#include <algorithm>

namespace {

// Toward zero; crossings of nearly level lines can land far outside the
// 32-bit range, where a plain conversion is undefined.
int32_t Trunc(float v)
{
    if (!(v > -2147483648.0f))
        return INT32_MIN;
    if (v >= 2147483648.0f)
        return INT32_MAX;
    return int32_t(v);
}

// Where the two coordinate forms differ: how a crossing computed in floats
// becomes a coordinate, and how a difference is taken without overflow.
template <class T>
T FromCrossing(float v)
{
    if constexpr (std::is_same_v<T, int32_t>)
        return Trunc(v);
    else
        return v;
}

float Difference(int32_t a, int32_t b)
{
    return float(int64_t(a) - b);
}

float Difference(float a, float b)
{
    return a - b;
}

template <class T>
struct SHalfOpenRect {
    T left, top, right, bottom;

    bool Contains(T x, T y) const { return left <= x && x < right && top <= y && y < bottom; }
    uint32_t OutCode(T x, T y) const
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
template <class T>
void MovePoint(const SHalfOpenRect<T>& clip, uint32_t code, T& x, T& y, T ox, T oy)
{
    if (x == ox) {
        y = y < clip.top ? clip.top : clip.bottom - T(1);
        return;
    }
    if (y == oy) {
        x = x < clip.left ? clip.left : clip.right - T(1);
        return;
    }
    const float m = Difference(y, oy) / Difference(x, ox);
    const float b = float(y) - float(x) * m;
    T nx, ny;
    if (code & 1) {
        ny = clip.top;
        nx = FromCrossing<T>((float(clip.top) - b) / m);
        if (clip.Contains(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 2) {
        nx = clip.right - T(1);
        ny = FromCrossing<T>(float(nx) * m + b);
        if (clip.Contains(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 4) {
        ny = clip.bottom - T(1);
        nx = FromCrossing<T>((float(ny) - b) / m);
        if (clip.Contains(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 8) {
        x = clip.left;
        y = FromCrossing<T>(float(clip.left) * m + b);
    }
}

template <class T>
bool ClipToHalfOpenRect(const SHalfOpenRect<T>& clip, T& x1, T& y1, T& x2, T& y2)
{
    // Containment rather than zero codes, so a NaN end point is never inside.
    if (clip.Contains(x1, y1) && clip.Contains(x2, y2))
        return true;
    const uint32_t code1 = clip.OutCode(x1, y1), code2 = clip.OutCode(x2, y2);
    if (code1 & code2)
        return false;
    T ax = x1, ay = y1, bx = x2, by = y2;
    if (code1)
        MovePoint(clip, code1, ax, ay, x2, y2);
    if (code2)
        MovePoint(clip, code2, bx, by, x1, y1);
    if (!clip.Contains(ax, ay) || !clip.Contains(bx, by))
        return false;
    x1 = ax, y1 = ay, x2 = bx, y2 = by;
    return true;
}

template <class T>
bool CutToClosedBox(T left, T top, T right, T bottom, T& x1, T& y1, T& x2, T& y2)
{
    T t0 = 0, t1 = 1;
    const T dx = x2 - x1, dy = y2 - y1;
    const T p[4] = {-dx, dx, -dy, dy};
    const T q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const T t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    // Rounding may land a hair outside the box; min over max stays defined
    // for a box that rounding left a hair inside out.
    const auto hold = [](T v, T low, T high) { return std::min(std::max(v, low), high); };
    const T ox = x1, oy = y1;
    if (t0 > 0) {
        x1 = hold(ox + t0 * dx, left, right);
        y1 = hold(oy + t0 * dy, top, bottom);
    }
    if (t1 < 1) {
        x2 = hold(ox + t1 * dx, left, right);
        y2 = hold(oy + t1 * dy, top, bottom);
    }
    return true;
}

} // namespace

bool ClipLine(const CRect& clip, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2)
{
    return ClipToHalfOpenRect(SHalfOpenRect<int32_t>{clip.left, clip.top, clip.right, clip.bottom}, x1, y1, x2, y2);
}

bool ClipLineFloat(float left, float top, float right, float bottom, float& x1, float& y1, float& x2, float& y2)
{
    return ClipToHalfOpenRect(SHalfOpenRect<float>{left, top, right, bottom}, x1, y1, x2, y2);
}

bool CutLineToBox(float left, float top, float right, float bottom, float& x1, float& y1, float& x2, float& y2)
{
    return CutToClosedBox(left, top, right, bottom, x1, y1, x2, y2);
}

bool CutLineToBox(double left, double top, double right, double bottom, double& x1, double& y1, double& x2,
                  double& y2)
{
    return CutToClosedBox(left, top, right, bottom, x1, y1, x2, y2);
}
